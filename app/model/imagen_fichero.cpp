#include "imagen_fichero.h"

#include <cstring>
#include <utility>

#include "fichero.h"

#if defined(__linux__)
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#endif

namespace telmora {

namespace {

#if defined(__linux__)
// Whether the file lies on a file system that another machine may change under a mapping (or
// whose kind cannot be told).
bool en_red(int descriptor) {
  struct statfs sistema {};
  if (fstatfs(descriptor, &sistema) != 0) return true;
  switch (static_cast<unsigned long>(sistema.f_type) & 0xFFFFFFFFul) {
    case 0x6969ul:      // NFS
    case 0x517Bul:      // SMB
    case 0xFF534D42ul:  // CIFS
    case 0xFE534D42ul:  // SMB2
    case 0x65735546ul:  // FUSE (sshfs and the like)
    case 0x01021997ul:  // 9P
    case 0x00C36400ul:  // Ceph
    case 0x5346414Ful:  // AFS
    case 0x564Cul:      // NCP
      return true;
    default:
      return false;
  }
}

// The sheets mapped in this process. Another program may cut a sheet's file short while it is
// loaded; reading a page of the mapping past the new end would end the process (SIGBUS). The
// handler below gives such a page zeros instead: the loaded sheet reads zeros there (lines to
// nowhere, empty texts) until it is loaded again, and the program goes on.
struct Mapeado {
  std::atomic<char*> inicio{nullptr};
  std::atomic<std::size_t> tamano{0};
};
constexpr std::size_t kMaxMapeados = 64;
Mapeado mapeados[kMaxMapeados];
struct sigaction accion_previa {};
std::uintptr_t pagina = 4096;

void al_fallar_la_lectura(int senal, siginfo_t* informacion, void* contexto) {
  auto* const direccion = static_cast<char*>(informacion->si_addr);
  for (const Mapeado& m : mapeados) {
    char* const inicio = m.inicio.load(std::memory_order_acquire);
    if (inicio == nullptr || direccion < inicio || direccion >= inicio + m.tamano.load()) continue;
    auto* const base =
        reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(direccion) & ~(pagina - 1));
    if (mmap(base, pagina, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
             0) != MAP_FAILED) {
      return;
    }
  }
  // Not a page of a sheet: what was there before this handler.
  if ((accion_previa.sa_flags & SA_SIGINFO) != 0) {
    accion_previa.sa_sigaction(senal, informacion, contexto);
  } else if (accion_previa.sa_handler != SIG_DFL && accion_previa.sa_handler != SIG_IGN) {
    accion_previa.sa_handler(senal);
  } else {
    signal(senal, SIG_DFL);  // the access is made again and ends the process
  }
}

// Notes a mapping for the handler, installed the first time; false when too many are mapped.
bool anota_mapeado(char* inicio, std::size_t tamano) {
  static std::once_flag instalado;
  std::call_once(instalado, [] {
    pagina = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    struct sigaction accion {};
    accion.sa_sigaction = al_fallar_la_lectura;
    accion.sa_flags = SA_SIGINFO;
    sigemptyset(&accion.sa_mask);
    sigaction(SIGBUS, &accion, &accion_previa);
  });
  for (Mapeado& m : mapeados) {
    char* libre = nullptr;
    if (m.inicio.compare_exchange_strong(libre, inicio)) {
      m.tamano.store(tamano);
      return true;
    }
  }
  return false;
}

void olvida_mapeado(const char* inicio) {
  for (Mapeado& m : mapeados) {
    char* este = const_cast<char*>(inicio);
    if (m.inicio.compare_exchange_strong(este, nullptr)) return;
  }
}

// The whole file mapped privately and writable, or nullptr when it is to be read instead.
void* mapea(const std::filesystem::path& ruta, std::size_t& tamano) {
  const int descriptor = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  struct stat estado {};
  void* mapa = MAP_FAILED;
  if (fstat(descriptor, &estado) == 0 && S_ISREG(estado.st_mode) && estado.st_size > 0 &&
      !en_red(descriptor)) {
    tamano = static_cast<std::size_t>(estado.st_size);
    // Mapped for reading with every page in place at once, then made writable: populating a
    // writable private mapping would copy every page.
    mapa = mmap(nullptr, tamano, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
    if (mapa != MAP_FAILED && (mprotect(mapa, tamano, PROT_READ | PROT_WRITE) != 0 ||
                               !anota_mapeado(static_cast<char*>(mapa), tamano))) {
      munmap(mapa, tamano);
      mapa = MAP_FAILED;
    }
  }
  ::close(descriptor);
  return mapa == MAP_FAILED ? nullptr : mapa;
}
#endif

}  // namespace

ImagenFichero::ImagenFichero(Lista<char> bytes)
    : leidos_(std::move(bytes)), datos_(leidos_.data()), tamano_(leidos_.size()) {}

ImagenFichero ImagenFichero::de_fichero(const std::filesystem::path& ruta) {
#if defined(__linux__)
  std::size_t tamano = 0;
  if (void* mapa = mapea(ruta, tamano)) {
    ImagenFichero imagen;
    imagen.mapa_ = mapa;
    imagen.datos_ = static_cast<char*>(mapa);
    imagen.tamano_ = tamano;
    return imagen;
  }
#endif
  return ImagenFichero(lee_fichero(ruta));
}

ImagenFichero::~ImagenFichero() {
  libera();
}

void ImagenFichero::libera() {
#if defined(__linux__)
  if (mapa_ != nullptr) {
    olvida_mapeado(static_cast<char*>(mapa_));
    munmap(mapa_, tamano_);
  }
#endif
  mapa_ = nullptr;
  leidos_ = {};
  datos_ = nullptr;
  tamano_ = 0;
}

ImagenFichero::ImagenFichero(ImagenFichero&& otra) noexcept
    : leidos_(std::move(otra.leidos_)),
      mapa_(std::exchange(otra.mapa_, nullptr)),
      datos_(std::exchange(otra.datos_, nullptr)),
      tamano_(std::exchange(otra.tamano_, 0)) {}

ImagenFichero& ImagenFichero::operator=(ImagenFichero&& otra) noexcept {
  if (this != &otra) {
    libera();
    leidos_ = std::move(otra.leidos_);
    mapa_ = std::exchange(otra.mapa_, nullptr);
    datos_ = std::exchange(otra.datos_, nullptr);
    tamano_ = std::exchange(otra.tamano_, 0);
  }
  return *this;
}

ImagenFichero::ImagenFichero(const ImagenFichero& otra)
    : ImagenFichero(Lista<char>(otra.datos_, otra.datos_ + otra.tamano_)) {}

ImagenFichero& ImagenFichero::operator=(const ImagenFichero& otra) {
  if (this != &otra) *this = ImagenFichero(otra);
  return *this;
}

}  // namespace telmora
