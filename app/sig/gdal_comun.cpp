#include "gdal_comun.h"

#include <algorithm>
#include <mutex>

namespace telmora::sig {

namespace {

// Warnings kept for the user; a format that warns about every feature would otherwise fill
// memory with the same news.
constexpr std::size_t kMaxAvisos = 20;

}  // namespace

void inicia_gdal() {
  static std::once_flag una_vez;
  std::call_once(una_vez, [] { GDALAllRegister(); });
}

RecogeMensajes::RecogeMensajes() {
  CPLPushErrorHandlerEx(&RecogeMensajes::recoge, this);
}

RecogeMensajes::~RecogeMensajes() {
  CPLPopErrorHandler();
}

void CPL_STDCALL RecogeMensajes::recoge(CPLErr clase, CPLErrorNum, const char* texto) {
  auto* yo = static_cast<RecogeMensajes*>(CPLGetErrorHandlerUserData());
  if (yo == nullptr || clase == CE_None || clase == CE_Debug) return;
  std::string mensaje = texto == nullptr ? std::string() : std::string(texto);
  if (clase == CE_Warning && yo->avisos_++ >= kMaxAvisos) return;
  yo->mensajes_.push_back({clase, std::move(mensaje)});
}

std::string RecogeMensajes::fallo(std::size_t desde, const std::string& por_defecto) const {
  // A failure often comes after its cause ("Unterminated string", then "Failed to read GeoJSON
  // data"): the last few are given, in order.
  constexpr std::size_t kMaxFallos = 3;
  std::vector<std::string> fallos;
  for (std::size_t i = mensajes_.size(); i > desde && fallos.size() < kMaxFallos; --i) {
    const Mensaje& m = mensajes_[i - 1];
    if (m.clase >= CE_Failure && std::find(fallos.begin(), fallos.end(), m.texto) == fallos.end()) {
      fallos.push_back(m.texto);
    }
  }
  if (fallos.empty()) return por_defecto;
  std::string texto;
  for (auto f = fallos.rbegin(); f != fallos.rend(); ++f) texto += (texto.empty() ? "" : "; ") + *f;
  return texto;
}

bool RecogeMensajes::hay_fallo(std::size_t desde) const {
  for (std::size_t i = desde; i < mensajes_.size(); ++i) {
    if (mensajes_[i].clase >= CE_Failure) return true;
  }
  return false;
}

void RecogeMensajes::olvida(std::size_t desde) {
  mensajes_.resize(std::min(desde, mensajes_.size()));
  avisos_ = static_cast<std::size_t>(std::count_if(
      mensajes_.begin(), mensajes_.end(), [](const Mensaje& m) { return m.clase == CE_Warning; }));
}

std::vector<std::string> RecogeMensajes::avisos() const {
  std::vector<std::string> salida;
  for (const Mensaje& m : mensajes_) {
    if (m.clase != CE_Warning) continue;
    if (std::find(salida.begin(), salida.end(), m.texto) == salida.end()) salida.push_back(m.texto);
  }
  return salida;
}

}  // namespace telmora::sig
