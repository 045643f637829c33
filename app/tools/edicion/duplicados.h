// Duplicate detection: elements that repeat a later element whole (their four bounds equal or
// within the tolerance) and elements that share segments with another one are marked in the
// entity index. The marks are then drawn (leo_bin_pinto_duplicados) or turned into deletions
// and cuts in the entity file (marca_borrados, graba_nuevo_bin in reescritura.h).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "progreso.h"
#include "sesion.h"
#include "superficie.h"
#include "vista.h"

namespace telmora {

// Values of the index's active column (FilaIndice::activo) after a search. An element marked
// 0 or 2 repeats a later element, which keeps 1; 3 and 4 mark both elements of a pair that
// share segments.
inline constexpr std::int32_t kDuplicadoExacto = 0;
inline constexpr std::int32_t kSinDuplicado = 1;
inline constexpr std::int32_t kDuplicadoSimilar = 2;
inline constexpr std::int32_t kSegmentosIdenticos = 3;
inline constexpr std::int32_t kSegmentosCercanos = 4;

// A pair of matching segments: the file position of each element and the number of the
// segment in it (segment k joins vertices k and k + 1, both 1-based).
struct SegmentoCoincidente {
  std::int32_t posicion1 = 0, segmento1 = 0;
  std::int32_t posicion2 = 0, segmento2 = 0;
  friend bool operator==(const SegmentoCoincidente&, const SegmentoCoincidente&) = default;
};

// The matched-segment table of the last search, in the order the pairs were found.
using TablaSegmentos = std::vector<SegmentoCoincidente>;

struct OpcionesDuplicados {
  bool SoloEntidades = false;         // compare whole elements only, never their segments
  bool ObtengoCasoVirtuales = false;  // only pairs in which one element has a virtual code
};

// Codes that are never duplicates ("5007" to "5014"), and the virtual codes (5020, 5632 to
// 5639, compared as numbers), both given as cleaned code texts.
bool es_codigo_excluido(std::string_view codigo_limpio);
bool es_codigo_virtual(std::string_view codigo_limpio);

// The session's tolerance (metres) in file units.
double tolerancia_en_unidades(const Ajustes& ajustes);

// Marks the sheet's duplicates in its index and returns the matched-segment table. Element i
// (in file order, still marked 1) is compared with every later element j and the first j that
// matches ends its search: a later element still marked 1 whose bounds all lie within the
// tolerance (i gets 0 when they are equal, 2 otherwise), or, unless `SoloEntidades`, a later
// cartographic element whose range overlaps i's and that shares at least one segment with it
// (both get 3 when the last matching pair is identical, 4 when it is only near). Elements
// deleted in the sheet take no part. The result is the same as comparing every pair; the close
// pairs of elements and of segments are found in one pass over the whole sheet
// (parejas_cercanas), so the cost grows in step with the sheet's size.
TablaSegmentos Duplicados(Sesion& sesion, const OpcionesDuplicados& opciones,
                          Progreso& progreso = Progreso::ninguno());

// Compares the segments of two elements and appends every pair whose boxes coincide within the
// tolerance (file units) to the table, by segment of the first element and then of the second.
// `igualdad` is left as the status of the last matching pair (0 identical, 2 near), or as it
// was when no pair matches.
void ProcesoElementos(const Hoja& hoja, std::int32_t NumElemento1, std::int32_t NumElemento2,
                      double tolerancia, int& igualdad, TablaSegmentos& tabla);

// Draws over the view every element of the sheet that the last search marked (pen width 1, in
// its code's colour) and, for elements that share segments, their matched segments with pen
// width 5.
void leo_bin_pinto_duplicados(const Sesion& sesion, const TablaSegmentos& tabla,
                              Superficie& superficie, const Vista& vista);

}  // namespace telmora
