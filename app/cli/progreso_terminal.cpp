#include "progreso_terminal.h"

#include <csignal>
#include <cstdio>
#include <iostream>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace telmora::cli {

namespace {

// A line longer than the terminal would wrap, and "\r" would rewrite only its last row.
constexpr std::size_t kColumnas = 79;

std::atomic<bool> ctrl_c_pulsado{false};

extern "C" void al_pulsar_ctrl_c(int) {
  ctrl_c_pulsado.store(true);
  std::signal(SIGINT, SIG_DFL);
}

bool error_estandar_es_terminal() {
#if defined(_WIN32)
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

// Characters (not bytes) of a UTF-8 text.
std::size_t columnas(const std::string& texto) {
  std::size_t n = 0;
  for (const char c : texto) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The text cut to `maximo` characters, never inside one.
std::string recorta(const std::string& texto, std::size_t maximo) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < texto.size(); ++i) {
    if ((static_cast<unsigned char>(texto[i]) & 0xC0) != 0x80 && n++ == maximo) {
      return texto.substr(0, i);
    }
  }
  return texto;
}

std::string dos_cifras(long long n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

std::string tiempo_restante(std::chrono::steady_clock::duration transcurrido, std::int64_t hecho,
                            std::int64_t total) {
  const double segundos = std::chrono::duration<double>(transcurrido).count();
  if (hecho <= 0 || total <= hecho || segundos < 1) return {};
  const auto quedan =
      static_cast<long long>(segundos * static_cast<double>(total - hecho) / hecho + 0.5);
  if (quedan < 1) return {};
  if (quedan < 60) return "quedan " + std::to_string(quedan) + " s";
  if (quedan < 3600) {
    return "quedan " + std::to_string(quedan / 60) + " min " + dos_cifras(quedan % 60) + " s";
  }
  return "quedan " + std::to_string(quedan / 3600) + " h " + dos_cifras(quedan % 3600 / 60) +
         " min";
}

ProgresoTerminal::ProgresoTerminal(std::ostream* pantalla, const std::atomic<bool>& cancelar,
                                   Reloj reloj)
    : pantalla_(pantalla), cancelar_(cancelar), reloj_(std::move(reloj)), inicio_paso_(reloj_()) {}

ProgresoTerminal::~ProgresoTerminal() {
  if (pantalla_ != nullptr && columnas_mostradas_ > 0) {
    *pantalla_ << '\r' << std::string(columnas_mostradas_, ' ') << '\r' << std::flush;
  }
}

void ProgresoTerminal::comprueba_cancelacion() const {
  if (cancelar_.load()) throw OperacionCancelada();
}

void ProgresoTerminal::paso(std::string_view texto) {
  comprueba_cancelacion();
  paso_ = std::string(texto);
  inicio_paso_ = reloj_();
  muestra(paso_);
}

void ProgresoTerminal::porcentaje(int porcentaje, std::int64_t hecho, std::int64_t total) {
  avance(std::to_string(porcentaje) + " %", hecho, total);
}

void ProgresoTerminal::avance(std::string_view detalle, std::int64_t hecho, std::int64_t total) {
  comprueba_cancelacion();
  if (pantalla_ == nullptr) return;
  std::string linea = (paso_.empty() ? "" : paso_ + ": ") + std::string(detalle);
  const std::string quedan = tiempo_restante(reloj_() - inicio_paso_, hecho, total);
  if (!quedan.empty()) linea += ", " + quedan;
  muestra(linea);
}

void ProgresoTerminal::muestra(const std::string& linea) {
  if (pantalla_ == nullptr) return;
  const std::string visible = recorta(linea, kColumnas);
  const std::size_t ancho = columnas(visible);
  *pantalla_ << '\r' << visible;
  if (ancho < columnas_mostradas_) *pantalla_ << std::string(columnas_mostradas_ - ancho, ' ');
  *pantalla_ << std::flush;
  columnas_mostradas_ = std::max(ancho, columnas_mostradas_);
}

ProgresoTerminal progreso_de_orden(std::ostream& errores) {
  static const bool instalado = [] {
    std::signal(SIGINT, al_pulsar_ctrl_c);
    return true;
  }();
  (void)instalado;
  const bool en_pantalla = &errores == &std::cerr && error_estandar_es_terminal();
  return ProgresoTerminal(en_pantalla ? &errores : nullptr, ctrl_c_pulsado);
}

}  // namespace telmora::cli
