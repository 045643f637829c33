// The bytes of an entity file held in memory for as long as its sheet is loaded, so that the
// loaded sheet reads its vertices and texts where they lie instead of copying them.
//
// On a local disk of a POSIX system the file is mapped privately: its pages are the system's
// file cache, shared and read on demand, and a write into them (the loaded copy taking a change
// that was just written to the file) makes a private copy of that page alone; the file never
// sees it. The in-place writers of this system only ever set bytes that they also set in the
// loaded copy, and never shorten a sheet below the length it was loaded with (appends are cut
// back to the length before them), so the mapping never reads past the end of the file nor
// disagrees with the loaded index. Should another program cut the file short all the same, the
// pages past its new end read as zeros instead of ending the program. A sheet on a network
// share, where another machine may rewrite or shorten it under the mapping, and any file that
// cannot be mapped, are read whole into memory instead; so is every file on Windows, whose
// production sheets live on shares.
#pragma once

#include <cstddef>
#include <filesystem>

#include "memoria.h"

namespace telmora {

class ImagenFichero {
 public:
  ImagenFichero() = default;
  // Bytes already in memory.
  explicit ImagenFichero(Lista<char> bytes);
  // The file mapped or read as said above. A missing file throws ErrorFicheroInexistente, one
  // that cannot be read ErrorTelmora.
  static ImagenFichero de_fichero(const std::filesystem::path& ruta);

  ~ImagenFichero();
  ImagenFichero(ImagenFichero&& otra) noexcept;
  ImagenFichero& operator=(ImagenFichero&& otra) noexcept;
  // A copy holds its own bytes in memory.
  ImagenFichero(const ImagenFichero& otra);
  ImagenFichero& operator=(const ImagenFichero& otra);

  char* datos() { return datos_; }
  const char* datos() const { return datos_; }
  std::size_t tamano() const { return tamano_; }
  // Whether the bytes are the file's pages mapped, not a copy read into memory.
  bool mapeada() const { return mapa_ != nullptr; }

 private:
  void libera();

  Lista<char> leidos_;
  void* mapa_ = nullptr;
  char* datos_ = nullptr;
  std::size_t tamano_ = 0;
};

}  // namespace telmora
