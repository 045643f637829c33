#include "fichero.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>

#include "diario.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace telmora {

namespace {

std::string razon_del_sistema() {
  return std::strerror(errno);
}

[[noreturn]] void falla(std::string_view accion, const std::filesystem::path& ruta) {
  throw ErrorTelmora(std::string(accion) + " " + ruta_texto(ruta) + ": " + razon_del_sistema());
}

// Sends what was written to the file to the disk.
bool a_disco(std::FILE* fichero) {
#if defined(_WIN32)
  return _commit(_fileno(fichero)) == 0;
#else
  return ::fsync(::fileno(fichero)) == 0;
#endif
}

}  // namespace

std::filesystem::path ruta_temporal(const std::filesystem::path& ruta) {
  std::random_device azar;
  auto temporal = ruta;
  temporal += ".tmp" + std::to_string(azar() % 1000000);
  return temporal;
}

ErrorFicheroInexistente::ErrorFicheroInexistente(const std::filesystem::path& ruta)
    : ErrorTelmora("No existe el fichero :" + ruta_texto(ruta)), ruta_(ruta) {}

std::string ruta_texto(const std::filesystem::path& ruta) {
  const auto texto = ruta.u8string();
  return std::string(texto.begin(), texto.end());
}

std::filesystem::path ruta_desde_texto(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool existe_archivo(const std::filesystem::path& ruta) {
  std::error_code error;
  return std::filesystem::is_regular_file(ruta, error);
}

std::filesystem::path ruta_companera(const std::filesystem::path& hoja, std::string_view sufijo) {
  auto nombre = hoja.extension().native().size() == 4 ? hoja.stem() : hoja.filename();
  nombre += ruta_desde_texto(sufijo);
  return hoja.parent_path() / nombre;
}

std::filesystem::path ruta_libre(const std::filesystem::path& carpeta,
                                 const std::filesystem::path& base, std::string_view sufijo,
                                 std::string_view extension) {
  for (int numero = 1;; ++numero) {
    auto nombre = base;
    nombre += ruta_desde_texto(std::string(sufijo) + (numero > 1 ? std::to_string(numero) : "") +
                               std::string(extension));
    auto ruta = carpeta / nombre;
    std::error_code error;  // a name that cannot be checked is offered: the dialog still asks
    if (!std::filesystem::exists(ruta, error)) return ruta;
  }
}

bool mismo_fichero(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return a.lexically_normal() == b.lexically_normal() || std::filesystem::equivalent(a, b, error);
}

void exige_salida_distinta(const std::filesystem::path& salida,
                           const std::filesystem::path& entrada) {
  if (!mismo_fichero(salida, entrada)) return;
  throw ErrorTelmora("No se escribe " + ruta_texto(salida) + ": es el fichero de entrada " +
                     ruta_texto(entrada) + ", que no se sobrescribe");
}

std::filesystem::path ruta_con_sufijo(const std::filesystem::path& hoja, std::string_view sufijo) {
  auto ruta = ruta_companera(hoja, sufijo);
  exige_salida_distinta(ruta, hoja);
  return ruta;
}

Lista<char> lee_fichero(const std::filesystem::path& ruta) {
  std::ifstream entrada(ruta, std::ios::binary);
  if (!entrada) {
    if (!existe_archivo(ruta)) throw ErrorFicheroInexistente(ruta);
    falla("No se puede abrir", ruta);
  }
  entrada.seekg(0, std::ios::end);
  const std::streamoff longitud = entrada.tellg();
  if (longitud < 0) falla("No se puede leer", ruta);
  entrada.seekg(0, std::ios::beg);
  Lista<char> bytes(static_cast<std::size_t>(longitud));
  if (!bytes.empty() && !entrada.read(bytes.data(), longitud)) falla("No se puede leer", ruta);
  return bytes;
}

FicheroNuevo::FicheroNuevo(std::filesystem::path destino)
    : destino_(std::move(destino)), temporal_(ruta_temporal(destino_)) {
#if defined(_WIN32)
  fichero_ = _wfopen(temporal_.c_str(), L"wb");
#else
  fichero_ = std::fopen(temporal_.c_str(), "wb");
#endif
  if (fichero_ == nullptr) {
    throw ErrorTelmora("No se puede crear " + ruta_texto(destino_) + ": " + razon_del_sistema());
  }
}

FicheroNuevo::~FicheroNuevo() {
  if (fichero_ == nullptr) return;
  std::fclose(fichero_);
  std::error_code ignorado;
  std::filesystem::remove(temporal_, ignorado);
}

void FicheroNuevo::abandona(const std::string& razon) {
  std::fclose(fichero_);
  fichero_ = nullptr;
  std::error_code ignorado;
  std::filesystem::remove(temporal_, ignorado);
  throw ErrorTelmora("No se puede escribir " + ruta_texto(destino_) + ": " + razon);
}

void FicheroNuevo::escribe(std::string_view bytes) {
  if (fichero_ == nullptr)
    throw ErrorTelmora("El fichero " + ruta_texto(destino_) + " ya se cerró");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), fichero_) != bytes.size()) {
    abandona(razon_del_sistema());
  }
}

void FicheroNuevo::confirma() {
  if (fichero_ == nullptr)
    throw ErrorTelmora("El fichero " + ruta_texto(destino_) + " ya se cerró");
  if (std::fflush(fichero_) != 0 || !a_disco(fichero_)) abandona(razon_del_sistema());
  const int cierre = std::fclose(fichero_);
  fichero_ = nullptr;
  std::error_code error;
  if (cierre != 0) {
    error = std::error_code(errno, std::generic_category());
  } else {
    std::filesystem::rename(temporal_, destino_, error);
  }
  if (error) {
    std::error_code ignorado;
    std::filesystem::remove(temporal_, ignorado);
    throw ErrorTelmora("No se puede escribir " + ruta_texto(destino_) + ": " + error.message());
  }
  std::error_code ignorado;
  std::filesystem::remove(ruta_diario(destino_), ignorado);
  try {
    sincroniza_carpeta(destino_.parent_path());
  } catch (const ErrorTelmora&) {
    // The file is complete under its name; only a crash right now could still lose the name.
  }
}

CarpetaNueva::CarpetaNueva(const std::filesystem::path& destino)
    : destino_(destino),
      temporal_(
          ruta_temporal((destino.empty() ? std::filesystem::path(".") : destino) / ".nuevo")) {
  std::error_code error;
  if (!std::filesystem::create_directory(temporal_, error) || error) {
    throw ErrorTelmora(
        "No se puede escribir en " + ruta_texto(destino_) + ": " +
        (error ? error.message() : std::string("ya existe ") + ruta_texto(temporal_)));
  }
}

CarpetaNueva::~CarpetaNueva() {
  std::error_code ignorado;
  std::filesystem::remove_all(temporal_, ignorado);
}

void CarpetaNueva::vacia() {
  std::error_code ignorado;
  for (const auto& entrada : std::filesystem::directory_iterator(temporal_, ignorado)) {
    std::filesystem::remove_all(entrada.path(), ignorado);
  }
}

std::vector<std::filesystem::path> CarpetaNueva::confirma() {
  if (confirmada_) throw ErrorTelmora("La carpeta " + ruta_texto(temporal_) + " ya se confirmó");
  std::vector<std::filesystem::path> nombres;
  std::error_code error_lista;
  for (const auto& entrada : std::filesystem::directory_iterator(temporal_, error_lista)) {
    nombres.push_back(entrada.path().filename());
  }
  if (error_lista) {
    throw ErrorTelmora("No se puede leer " + ruta_texto(temporal_) + ": " + error_lista.message());
  }
  std::sort(nombres.begin(), nombres.end());
  std::vector<std::filesystem::path> movidos;
  for (const auto& nombre : nombres) {
    std::error_code error;
    std::filesystem::rename(temporal_ / nombre, destino_ / nombre, error);
    if (error) {
      std::error_code ignorado;
      for (const auto& movido : movidos) std::filesystem::remove_all(movido, ignorado);
      throw ErrorTelmora("No se puede escribir " + ruta_texto(destino_ / nombre) + ": " +
                         error.message());
    }
    movidos.push_back(destino_ / nombre);
  }
  confirmada_ = true;
  return movidos;
}

void escribe_fichero_atomico(const std::filesystem::path& ruta, std::string_view contenido) {
  FicheroNuevo fichero(ruta);
  fichero.escribe(contenido);
  fichero.confirma();
}

void escribe_lineas(const std::filesystem::path& ruta, const std::vector<std::string>& lineas) {
  escribe_listado(ruta, [&](const SalidaLineas& salida) {
    for (const auto& linea : lineas) salida(linea);
  });
}

void escribe_listado(const std::filesystem::path& ruta,
                     const std::function<void(const SalidaLineas&)>& genera) {
  FicheroNuevo fichero(ruta);
  genera([&](std::string_view linea) {
    fichero.escribe(linea);
    fichero.escribe("\n");
  });
  fichero.confirma();
}

std::string lee_en_posicion(const std::filesystem::path& ruta, std::int64_t posicion,
                            std::size_t cantidad) {
  std::ifstream entrada(ruta, std::ios::binary);
  if (!entrada) {
    if (!existe_archivo(ruta)) throw ErrorFicheroInexistente(ruta);
    falla("No se puede abrir", ruta);
  }
  std::string bytes(cantidad, '\0');
  entrada.seekg(posicion);
  entrada.read(bytes.data(), static_cast<std::streamsize>(cantidad));
  bytes.resize(static_cast<std::size_t>(entrada.gcount()));
  return bytes;
}

}  // namespace telmora
