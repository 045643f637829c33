// File access shared by every reader and writer: whole-file reads, complete-or-absent writes,
// and failures that name the path and the system's reason.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "memoria.h"
#include "texto.h"

namespace telmora {

// A failure of the system that the user must be told about; what() is the message to show.
class ErrorTelmora : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that should be there and is not: the message is "No existe el fichero :" and the path.
class ErrorFicheroInexistente : public ErrorTelmora {
 public:
  explicit ErrorFicheroInexistente(const std::filesystem::path& ruta);
  const std::filesystem::path& ruta() const { return ruta_; }

 private:
  std::filesystem::path ruta_;
};

// Path as UTF-8 text, for messages and listings.
std::string ruta_texto(const std::filesystem::path& ruta);
std::filesystem::path ruta_desde_texto(std::string_view utf8);

bool existe_archivo(const std::filesystem::path& ruta);

// The files that go with a sheet are named after it, in its folder: its name without its
// extension (when it has one of three letters, as ".bin") followed by a suffix, such as ".mdb"
// or ".MDT".
std::filesystem::path ruta_companera(const std::filesystem::path& hoja, std::string_view sufijo);

// The first of "<base><sufijo><extension>", "<base><sufijo>2<extension>", "…3…" in `carpeta`
// that names no existing file: a proposed output never replaces anything.
std::filesystem::path ruta_libre(const std::filesystem::path& carpeta,
                                 const std::filesystem::path& base, std::string_view sufijo,
                                 std::string_view extension);

// True when two paths name one file: the same spelling, or (when both exist) the same file on
// disk, which also covers ".." in a path, links and case-insensitive file systems.
bool mismo_fichero(const std::filesystem::path& a, const std::filesystem::path& b);

// A file written is never one of the files read: ErrorTelmora, naming both, when `salida` is the
// file `entrada`, however the two paths spell it.
void exige_salida_distinta(const std::filesystem::path& salida,
                           const std::filesystem::path& entrada);

// The name of a file made from a sheet, such as "_c.bin" or a report's ".txt": ruta_companera,
// refused by exige_salida_distinta when it would be the sheet itself (a sheet called "hoja.txt"
// and its report).
std::filesystem::path ruta_con_sufijo(const std::filesystem::path& hoja, std::string_view sufijo);

// The whole file in memory.
Lista<char> lee_fichero(const std::filesystem::path& ruta);

// A name beside `ruta` for a file to be renamed over it when complete.
std::filesystem::path ruta_temporal(const std::filesystem::path& ruta);

// A new file written under a temporary name in the target's folder and renamed over the target
// by confirma() only when every byte was written and flushed to the disk; dropped without
// confirming, it leaves the target as it was. A journal left beside the target by a change that
// never ended belonged to the file replaced, and goes with it.
class FicheroNuevo {
 public:
  explicit FicheroNuevo(std::filesystem::path destino);
  ~FicheroNuevo();
  FicheroNuevo(const FicheroNuevo&) = delete;
  FicheroNuevo& operator=(const FicheroNuevo&) = delete;

  void escribe(std::string_view bytes);
  void confirma();
  const std::filesystem::path& destino() const { return destino_; }

 private:
  [[noreturn]] void abandona(const std::string& razon);

  std::filesystem::path destino_;
  std::filesystem::path temporal_;
  std::FILE* fichero_ = nullptr;
};

// New files written into a temporary folder made inside their destination folder, and moved
// into the destination by confirma() only when all of them are complete; dropped without
// confirming, the temporary folder goes with everything in it. For writers that make several
// files at once (a format with companion files, one file per layer).
class CarpetaNueva {
 public:
  explicit CarpetaNueva(const std::filesystem::path& destino);
  ~CarpetaNueva();
  CarpetaNueva(const CarpetaNueva&) = delete;
  CarpetaNueva& operator=(const CarpetaNueva&) = delete;

  // The temporary folder, where the files are to be written under their final names.
  const std::filesystem::path& ruta() const { return temporal_; }
  // Removes everything written so far.
  void vacia();
  // Moves every entry of the temporary folder into the destination, replacing files of the same
  // name, and returns their final paths in name order. When a move fails, the entries already
  // moved are removed again and ErrorTelmora names the one that failed.
  std::vector<std::filesystem::path> confirma();

 private:
  std::filesystem::path destino_;
  std::filesystem::path temporal_;
  bool confirmada_ = false;
};

// Writes the bytes to a temporary file beside the target and renames it over the target only
// when everything was written and flushed: the target is complete or left as it was.
void escribe_fichero_atomico(const std::filesystem::path& ruta, std::string_view contenido);

// Text lines written as UTF-8 with LF line ends, complete or absent.
void escribe_lineas(const std::filesystem::path& ruta, const std::vector<std::string>& lineas);
// The same for a listing made as it is written: `genera` hands each line to the SalidaLineas it
// gets, so that a long listing is never held whole in memory.
void escribe_listado(const std::filesystem::path& ruta,
                     const std::function<void(const SalidaLineas&)>& genera);

// Reads bytes at a position of an existing file; fewer bytes come back at its end.
std::string lee_en_posicion(const std::filesystem::path& ruta, std::int64_t posicion,
                            std::size_t cantidad);

}  // namespace telmora
