// Writers of entity files: the compacted copy, the processed copy after duplicate detection, new
// texts and cut pieces appended in place, and deletion marks applied in place. New files are
// complete or absent; each change in place is whole or absent (MarcadorBorrados); every failure
// names the file and the system's reason (ErrorTelmora) and leaves the sheet as it was.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "dibujadas.h"
#include "edicion/duplicados.h"
#include "fichero.h"
#include "sesion.h"

namespace telmora {

// A new entity file written entity by entity, with every code normalised. Nothing replaces the
// target until confirma() (see FicheroNuevo).
class SalidaBin {
 public:
  explicit SalidaBin(std::filesystem::path destino);

  void entidad(const Cabecera& cabecera, const Rango& rango, std::span<const Vertice> vertices,
               std::string_view bytes_texto, std::span<const Atributo> atributos);
  // An entity of the loaded sheet, whole, as it is in memory.
  void entidad(const Hoja& hoja, const Entidad& e);
  // An entity's bytes as they are in a file, with only its code normalised.
  void bytes_entidad(std::string_view bytes);
  void confirma();

 private:
  void vacia_si_hace_falta();

  FicheroNuevo fichero_;
  std::string pendiente_;
};

// Writes the active entities of the file, in order and byte for byte except for the padding of
// their codes, to "_c.bin" beside it, and returns that path. The input is not changed; a corrupt
// input throws ErrorCorrupcion and writes nothing.
std::filesystem::path comprimir(const std::filesystem::path& fich_entrada);
// The same with the file's bytes already read.
std::filesystem::path comprimir(const std::filesystem::path& fich_entrada, ImagenFichero bytes);

// Appends to the sheet's file the text "Jd" (code "NuevoT", height 20, justification 6, angle
// 1957) at the clicked point (metres), its range reaching the tolerance to the upper right. The
// loaded sheet does not hold it until the file is loaded again.
void NuevaEntidadTexto(Sesion& sesion, double xtentativo, double ytentativo);

// Applies the marks of a duplicate search to the sheet's file, in index order: elements
// marked 0 or 2 are deleted (their later copy stays); for an element marked 3 or 4 that is the
// first element of a matched pair, one of the pair is cut (the codes "5099" and "5108" decide,
// then different codes cut the first, then the one earlier in the file): the runs of vertices
// left between its matched segments are appended as new elements and it is deleted. A matched
// segment is taken from an element only while every segment matched with it is still held by
// its own element: of two matched segments at most one goes, and every segment an active
// element held is still held by one afterwards. An element that would lose no segment is left
// as it is. Deletions update the file, the index and the loaded copy; the appended pieces are in
// the file only. An element already deleted is not cut again. All of it is one change of the
// file. Returns the number of pieces appended.
std::int32_t marca_borrados(Sesion& sesion, const ResultadoDuplicados& duplicados);

// Writes "_d.bin" beside the sheet and returns its path: every entity of the loaded sheet that is
// active and that the search does not mark as a copy of a later one (marks 0 and 2), in order,
// followed by the entities appended to the file since it was loaded (new texts, pieces of cut
// elements), which the loaded copy does not hold.
std::filesystem::path graba_nuevo_bin(const Sesion& sesion, const ResultadoDuplicados& duplicados);

// Deletes every entity that a drawing drew (the view's last one) and that is still listed
// (active, and not marked by the session's last duplicate search), in the file, the index and the
// loaded copy. Returns how many were deleted.
std::int32_t borra_entidades_en_ventana(Sesion& sesion, const EntidadesDibujadas& dibujadas);

}  // namespace telmora
