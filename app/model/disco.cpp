#include "disco.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace telmora {

namespace {

// The lock is one byte far beyond the end of any sheet, so that on systems whose locks are
// mandatory (Windows) it keeps other writers out without ever stopping a reader.
constexpr std::int64_t kByteCerrojo = std::int64_t{1} << 40;

GanchoDisco& gancho() {
  static GanchoDisco instalado;
  return instalado;
}

// Runs the test hook before an operation; true when the hook makes it fail.
bool falla_por_gancho(OperacionDisco operacion, const std::filesystem::path& ruta) {
  const auto& antes = gancho().antes;
  if (!antes || !antes(operacion, ruta)) return false;
  errno = EIO;
  return true;
}

std::string razon() {
  return std::strerror(errno);
}

}  // namespace

void pon_gancho_disco(GanchoDisco nuevo) {
  gancho() = std::move(nuevo);
}

const GanchoDisco& gancho_disco() {
  return gancho();
}

HuellaFichero huella_de(const std::filesystem::path& ruta) {
  std::error_code error;
  const auto tamano = std::filesystem::file_size(ruta, error);
  if (error) return {};
  const auto hora = std::filesystem::last_write_time(ruta, error);
  if (error) return {};
  return {
      static_cast<std::int64_t>(tamano),
      static_cast<std::int64_t>(
          std::chrono::duration_cast<std::chrono::nanoseconds>(hora.time_since_epoch()).count())};
}

FicheroAbierto::FicheroAbierto(std::filesystem::path ruta, int descriptor)
    : ruta_(std::move(ruta)), descriptor_(descriptor) {}

FicheroAbierto::FicheroAbierto(FicheroAbierto&& otro) noexcept
    : ruta_(std::move(otro.ruta_)), descriptor_(std::exchange(otro.descriptor_, -1)) {}

FicheroAbierto& FicheroAbierto::operator=(FicheroAbierto&& otro) noexcept {
  if (this != &otro) {
    FicheroAbierto saliente(std::move(*this));
    ruta_ = std::move(otro.ruta_);
    descriptor_ = std::exchange(otro.descriptor_, -1);
  }
  return *this;
}

void FicheroAbierto::falla(std::string_view accion) const {
  throw ErrorTelmora(std::string(accion) + " " + ruta_texto(ruta_) + ": " + razon());
}

#if defined(_WIN32)

namespace {

HANDLE manejador(int descriptor) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

int abre(const std::filesystem::path& ruta, int modo) {
  return _wsopen(ruta.c_str(), modo | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
}

constexpr std::size_t kTrozoMaximo = std::size_t{1} << 30;

long long lee_trozo(int descriptor, std::int64_t posicion, char* destino, std::size_t cantidad) {
  if (_lseeki64(descriptor, posicion, SEEK_SET) < 0) return -1;
  return _read(descriptor, destino, static_cast<unsigned>(std::min(cantidad, kTrozoMaximo)));
}

long long escribe_trozo(int descriptor, std::int64_t posicion, const char* origen,
                        std::size_t cantidad) {
  if (_lseeki64(descriptor, posicion, SEEK_SET) < 0) return -1;
  return _write(descriptor, origen, static_cast<unsigned>(std::min(cantidad, kTrozoMaximo)));
}

}  // namespace

FicheroAbierto::~FicheroAbierto() {
  if (descriptor_ >= 0) _close(descriptor_);
}

std::int64_t FicheroAbierto::tamano() const {
  const auto tamano = _filelengthi64(descriptor_);
  if (tamano < 0) falla("No se puede leer");
  return tamano;
}

void FicheroAbierto::sincroniza() {
  if (falla_por_gancho(OperacionDisco::sincroniza, ruta_) || _commit(descriptor_) != 0)
    falla("No se puede escribir");
}

void FicheroAbierto::recorta(std::int64_t longitud) {
  if (falla_por_gancho(OperacionDisco::recorta, ruta_)) falla("No se puede recortar");
  const errno_t error = _chsize_s(descriptor_, longitud);
  if (error != 0) {
    errno = error;
    falla("No se puede recortar");
  }
}

bool FicheroAbierto::bloquea() {
  OVERLAPPED posicion{};
  posicion.Offset = static_cast<DWORD>(kByteCerrojo & 0xffffffff);
  posicion.OffsetHigh = static_cast<DWORD>(kByteCerrojo >> 32);
  return LockFileEx(manejador(descriptor_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                    1, 0, &posicion) != 0;
}

void sincroniza_carpeta(const std::filesystem::path& carpeta) {
  // NTFS keeps its names in its own journal: a folder has nothing to flush.
  (void)carpeta;
}

#else

namespace {

int abre(const std::filesystem::path& ruta, int modo) {
  int descriptor = -1;
  do {
    descriptor = ::open(ruta.c_str(), modo | O_CLOEXEC, 0666);
  } while (descriptor < 0 && errno == EINTR);
  return descriptor;
}

long long lee_trozo(int descriptor, std::int64_t posicion, char* destino, std::size_t cantidad) {
  ssize_t n = 0;
  do {
    n = ::pread(descriptor, destino, cantidad, static_cast<off_t>(posicion));
  } while (n < 0 && errno == EINTR);
  return n;
}

long long escribe_trozo(int descriptor, std::int64_t posicion, const char* origen,
                        std::size_t cantidad) {
  ssize_t n = 0;
  do {
    n = ::pwrite(descriptor, origen, cantidad, static_cast<off_t>(posicion));
  } while (n < 0 && errno == EINTR);
  return n;
}

}  // namespace

FicheroAbierto::~FicheroAbierto() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

std::int64_t FicheroAbierto::tamano() const {
  struct stat datos {};
  if (::fstat(descriptor_, &datos) != 0) falla("No se puede leer");
  return datos.st_size;
}

void FicheroAbierto::sincroniza() {
  if (falla_por_gancho(OperacionDisco::sincroniza, ruta_)) falla("No se puede escribir");
#if defined(__linux__)
  const int resultado = ::fdatasync(descriptor_);
#else
  const int resultado = ::fsync(descriptor_);
#endif
  if (resultado != 0) falla("No se puede escribir");
}

void FicheroAbierto::recorta(std::int64_t longitud) {
  if (falla_por_gancho(OperacionDisco::recorta, ruta_) ||
      ::ftruncate(descriptor_, static_cast<off_t>(longitud)) != 0) {
    falla("No se puede recortar");
  }
}

bool FicheroAbierto::bloquea() {
  struct flock cerrojo {};
  cerrojo.l_type = F_WRLCK;
  cerrojo.l_whence = SEEK_SET;
  cerrojo.l_start = static_cast<off_t>(kByteCerrojo);
  cerrojo.l_len = 1;
#if defined(F_OFD_SETLK)
  // Held by this open file, not by the process: closing another descriptor of the sheet (a
  // reader of this process) keeps it, and two writers of one process exclude each other.
  const int orden = F_OFD_SETLK;
#else
  const int orden = F_SETLK;
#endif
  int resultado = 0;
  do {
    resultado = ::fcntl(descriptor_, orden, &cerrojo);
  } while (resultado != 0 && errno == EINTR);
  if (resultado == 0) return true;
  if (errno == EACCES || errno == EAGAIN) return false;
  falla("No se puede bloquear");
}

void sincroniza_carpeta(const std::filesystem::path& carpeta) {
  const auto ruta = carpeta.empty() ? std::filesystem::path(".") : carpeta;
  if (falla_por_gancho(OperacionDisco::sincroniza_carpeta, ruta)) {
    throw ErrorTelmora("No se puede escribir en " + ruta_texto(ruta) + ": " + razon());
  }
  const int descriptor = abre(ruta, O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) {
    throw ErrorTelmora("No se puede abrir " + ruta_texto(ruta) + ": " + razon());
  }
  const int resultado = ::fsync(descriptor);
  const std::string motivo = resultado != 0 ? razon() : "";
  ::close(descriptor);
  if (resultado != 0)
    throw ErrorTelmora("No se puede escribir en " + ruta_texto(ruta) + ": " + motivo);
}

#endif

std::string FicheroAbierto::lee(std::int64_t posicion, std::size_t cantidad) const {
  std::string bytes(cantidad, '\0');
  bytes.resize(lee(posicion, bytes));
  return bytes;
}

std::size_t FicheroAbierto::lee(std::int64_t posicion, std::span<char> destino) const {
  std::size_t leidos = 0;
  while (leidos < destino.size()) {
    const long long n = lee_trozo(descriptor_, posicion + static_cast<std::int64_t>(leidos),
                                  destino.data() + leidos, destino.size() - leidos);
    if (n < 0) falla("No se puede leer");
    if (n == 0) break;
    leidos += static_cast<std::size_t>(n);
  }
  return leidos;
}

void FicheroAbierto::escribe(std::int64_t posicion, std::string_view bytes) {
  if (falla_por_gancho(OperacionDisco::escribe, ruta_)) falla("No se puede escribir");
  std::size_t escritos = 0;
  while (escritos < bytes.size()) {
    const long long n = escribe_trozo(descriptor_, posicion + static_cast<std::int64_t>(escritos),
                                      bytes.data() + escritos, bytes.size() - escritos);
    if (n <= 0) falla("No se puede escribir");
    escritos += static_cast<std::size_t>(n);
  }
}

FicheroAbierto FicheroAbierto::existente(const std::filesystem::path& ruta) {
#if defined(_WIN32)
  const int descriptor = abre(ruta, _O_RDWR);
#else
  const int descriptor = abre(ruta, O_RDWR);
#endif
  if (descriptor < 0) {
    if (!existe_archivo(ruta)) throw ErrorFicheroInexistente(ruta);
    throw ErrorTelmora("No se puede abrir para escribir " + ruta_texto(ruta) + ": " + razon());
  }
  return {ruta, descriptor};
}

FicheroAbierto FicheroAbierto::nuevo(const std::filesystem::path& ruta) {
  if (falla_por_gancho(OperacionDisco::crea, ruta)) {
    throw ErrorTelmora("No se puede crear " + ruta_texto(ruta) + ": " + razon());
  }
#if defined(_WIN32)
  const int descriptor = abre(ruta, _O_RDWR | _O_CREAT | _O_TRUNC);
#else
  const int descriptor = abre(ruta, O_RDWR | O_CREAT | O_TRUNC);
#endif
  if (descriptor < 0) throw ErrorTelmora("No se puede crear " + ruta_texto(ruta) + ": " + razon());
  return {ruta, descriptor};
}

void borra_fichero(const std::filesystem::path& ruta) {
  if (falla_por_gancho(OperacionDisco::borra, ruta)) {
    throw ErrorTelmora("No se puede borrar " + ruta_texto(ruta) + ": " + razon());
  }
  std::error_code error;
  std::filesystem::remove(ruta, error);
  if (error) throw ErrorTelmora("No se puede borrar " + ruta_texto(ruta) + ": " + error.message());
}

ErrorHojaOcupada::ErrorHojaOcupada(const std::filesystem::path& ruta)
    : ErrorTelmora("La hoja " + ruta_texto(ruta) + " la está modificando otro proceso") {}

CerrojoHoja::CerrojoHoja(const std::filesystem::path& ruta)
    : fichero_(FicheroAbierto::existente(ruta)) {
  if (!fichero_.bloquea()) throw ErrorHojaOcupada(ruta);
}

}  // namespace telmora
