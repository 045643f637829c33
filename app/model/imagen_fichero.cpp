#include "imagen_fichero.h"

#include <cstring>
#include <utility>

#include "fichero.h"

#if defined(__linux__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
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
    if (mapa != MAP_FAILED && mprotect(mapa, tamano, PROT_READ | PROT_WRITE) != 0) {
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
  if (mapa_ != nullptr) munmap(mapa_, tamano_);
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
