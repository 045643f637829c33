#include "modulo_apis.h"

#include <filesystem>
#include <vector>

#include "fichero.h"
#include "orogrid.h"
#include "proyeccion.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace telmora {

namespace {

#if defined(_WIN32)
void* abre(const std::filesystem::path& ruta) {
  return LoadLibraryW(ruta.c_str());
}
void* busca(void* manejador, const char* nombre) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(manejador), nombre));
}
void cierra(void* manejador) {
  FreeLibrary(static_cast<HMODULE>(manejador));
}
std::string ultimo_error() {
  return "código " + std::to_string(GetLastError());
}
#else
void* abre(const std::filesystem::path& ruta) {
  return dlopen(ruta.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* busca(void* manejador, const char* nombre) {
  return dlsym(manejador, nombre);
}
void cierra(void* manejador) {
  dlclose(manejador);
}
std::string ultimo_error() {
  const char* error = dlerror();
  return error ? error : "error desconocido";
}
#endif

}  // namespace

BibliotecaDinamica::BibliotecaDinamica(std::string nombre_fichero)
    : nombre_fichero_(std::move(nombre_fichero)) {}

BibliotecaDinamica::~BibliotecaDinamica() {
  if (manejador_ != nullptr) cierra(manejador_);
}

void BibliotecaDinamica::carga() {
  // Beside the program (a build tree, Windows), in the installation's own folder of libraries
  // (/usr/lib/telmora for /usr/bin), then by file name alone, through the system's search path.
  const auto programa = ruta_desde_texto(carpeta_del_programa());
  const auto fichero = ruta_desde_texto(nombre_fichero_);
  for (const auto& ruta :
       {programa / fichero, programa / ".." / ruta_desde_texto(TELMORA_DIR_BIBLIOTECAS) / fichero,
        fichero}) {
    manejador_ = abre(ruta);
    if (manejador_ != nullptr) return;
  }
  throw ErrorTelmora("No se puede cargar la biblioteca " + nombre_fichero_ + ": " + ultimo_error());
}

void* BibliotecaDinamica::funcion(const char* nombre) {
  if (manejador_ == nullptr) carga();
  void* direccion = busca(manejador_, nombre);
  if (direccion == nullptr) {
    throw ErrorTelmora("La biblioteca " + nombre_fichero_ + " no tiene la función " +
                       std::string(nombre));
  }
  return direccion;
}

const char* fichero_proyeccion() {
#if defined(_WIN32)
  return "proyeccion.dll";
#else
  return "libproyeccion.so";
#endif
}

const char* fichero_orogrid() {
#if defined(_WIN32)
  return "Orogrid.dll";
#else
  return "libOrogrid.so";
#endif
}

std::string carpeta_del_programa() {
#if defined(_WIN32)
  std::vector<wchar_t> ruta(32768);
  const DWORD largo = GetModuleFileNameW(nullptr, ruta.data(), static_cast<DWORD>(ruta.size()));
  return ruta_texto(std::filesystem::path(std::wstring(ruta.data(), largo)).parent_path());
#else
  std::error_code error;
  const auto ejecutable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : ruta_texto(ejecutable.parent_path());
#endif
}

namespace {

BibliotecaDinamica& biblioteca_orogrid() {
  static BibliotecaDinamica biblioteca(fichero_orogrid());
  return biblioteca;
}

}  // namespace

std::int32_t fnOrogrid(const std::filesystem::path& ruta) {
  static const auto funcion =
      reinterpret_cast<FuncionOrogrid>(biblioteca_orogrid().funcion("fnOrogrid"));
  // The library takes a single-byte path: the system's narrow form of it.
  return funcion(ruta.string().c_str());
}

double fnGetZValue(double x, double y) {
  static const auto funcion =
      reinterpret_cast<FuncionGetZValue>(biblioteca_orogrid().funcion("fnGetZValue"));
  return funcion(x, y);
}

std::int32_t fnUnloadMDT() {
  static const auto funcion =
      reinterpret_cast<FuncionUnloadMDT>(biblioteca_orogrid().funcion("fnUnloadMDT"));
  return funcion();
}

void enlaza_orogrid() {
  for (const char* nombre : {"fnOrogrid", "fnGetZValue", "fnUnloadMDT"}) {
    biblioteca_orogrid().funcion(nombre);
  }
}

Proyeccion proyeccion(double x1, double y1, double x2, double y2, double xp, double yp) {
  static BibliotecaDinamica biblioteca(fichero_proyeccion());
  static const auto funcion = reinterpret_cast<FuncionProyeccion>(biblioteca.funcion("proyeccion"));
  Proyeccion resultado;
  std::int32_t en_segmento = 0;
  funcion(x1, y1, x2, y2, xp, yp, &resultado.xf, &resultado.yf, &resultado.distancia, &en_segmento);
  resultado.en_segmento = en_segmento != 0;
  return resultado;
}

}  // namespace telmora
