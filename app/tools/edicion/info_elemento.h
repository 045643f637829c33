// The listing of one entity that the element-information window shows: every field of the entity
// as its file holds it, with the code-table and palette data of its code, and the listing printed
// to a text file beside the sheet. The window also numbers the entity's vertices on the map
// (numera_vertices, edicion/dibujo_edicion.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formato_bin.h"
#include "sesion.h"

namespace telmora {

// A coordinate in metres as the listing shows it: the value divided by uds with "." as the
// decimal separator and at least three decimals ("1234.560", "1.500", "2.000").
std::string formatea_salida(std::int32_t num_entero, int uds);

// One entity read from the entity file at its start position.
struct EntidadEnFichero {
  std::int64_t posicion = 0;
  Cabecera cabecera;
  Rango rango;
  std::vector<Vertice> vertices;  // C: its vertices; T: the insertion point
  std::string bytes_texto;        // T: the text pieces, 12 bytes each
  std::vector<Atributo> atributos;
};

// Reads entity `numero` (1-based) of the sheet from the file at the start position of its index
// row. The listing shows what the file holds, which is what printing and deletion act on. Throws
// ErrorTelmora when the number is outside the sheet or the bytes there are no longer a whole
// entity (the file changed since it was loaded).
EntidadEnFichero lee_entidad_en_fichero(const Hoja& hoja, std::int32_t numero);

// The lines of the listing of entity `numero`, in the order the window shows them.
std::vector<std::string> lista_entidad(const Sesion& sesion, std::int32_t numero,
                                       const EntidadEnFichero& entidad);

// The listing file of entity `numero`: the sheet's name without its last four characters (the
// extension), "_", the number and ".txt", in the sheet's folder.
std::filesystem::path ruta_listado(const std::filesystem::path& fich_entrada, std::int32_t numero);

// Writes the listing to its file, replacing an older one; the file is complete or absent. Throws
// ErrorTelmora with the path and the reason when it cannot be written. Returns the path.
std::filesystem::path ImprimeEntidad(const std::vector<std::string>& lineas,
                                     const std::filesystem::path& fich_entrada,
                                     std::int32_t numero);

}  // namespace telmora
