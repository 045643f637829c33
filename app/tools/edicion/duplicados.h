// Duplicate detection: elements that repeat a later element whole (their four bounds equal or
// within the tolerance) and elements that share segments with another one. A search yields the
// marks and the matched segments (ResultadoDuplicados) and changes nothing; the marks are then
// drawn (edicion/dibujo_edicion.h), applied to the sheet as deletions and cuts (marca_borrados)
// or left out of a processed copy (graba_nuevo_bin), both in reescritura.h. The viewer keeps the
// last search in the session.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "progreso.h"
#include "sesion.h"

namespace telmora {

// The marks of a search. An element marked 0 or 2 repeats a later element, which keeps 1; 3 and
// 4 mark both elements of a pair that share segments.
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

// The matched-segment table of a search, in the order the pairs were found.
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

class ResultadoDuplicados {
 public:
  // By entity number (entry 0 unused): its mark, kSinDuplicado when it has none.
  std::vector<std::int8_t> marcas;
  TablaSegmentos segmentos;  // the pairs this search matched
  // Its marks were applied to the sheet (marca_borrados): a later search of the session passes
  // over the elements they mark. A search only drawn is forgotten by the next one, which finds
  // the same pairs again.
  bool aplicado = false;

  std::int32_t marca(std::int32_t numero) const {
    return numero > 0 && static_cast<std::size_t>(numero) < marcas.size()
               ? marcas[static_cast<std::size_t>(numero)]
               : kSinDuplicado;
  }
  // "N MARCA" for each marked element, in file order.
  std::vector<std::string> lineas() const;
};

// The marks of the session's last search (none before the first one).
const ResultadoDuplicados& ultimos_duplicados(const Sesion& sesion);

// Searches the sheet's duplicates. Element i (in file order, active and unmarked) is compared
// with every later element j and the first j that matches ends its search: a later element
// active and still unmarked whose bounds all lie within the tolerance (i gets 0 when they are
// equal, 2 otherwise), or, unless `SoloEntidades`, a later cartographic element whose range
// overlaps i's and that shares at least one segment with it (both get 3 when the last matching
// pair is identical, 4 when it is only near). Elements deleted in the sheet take no part, nor
// do those marked by the session's last search when it was applied (they keep their marks). The
// result is the same as comparing every pair; the close pairs of elements and of segments are
// found in one pass over the whole sheet (parejas_cercanas), so the cost grows in step with the
// sheet's size.
ResultadoDuplicados Duplicados(const Sesion& sesion, const OpcionesDuplicados& opciones,
                               Progreso& progreso = Progreso::ninguno());

// Compares the segments of two elements and appends every pair whose boxes coincide within the
// tolerance (file units) to the table, by segment of the first element and then of the second.
// `igualdad` is left as the status of the last matching pair (0 identical, 2 near), or as it
// was when no pair matches.
void ProcesoElementos(const Hoja& hoja, std::int32_t NumElemento1, std::int32_t NumElemento2,
                      double tolerancia, int& igualdad, TablaSegmentos& tabla);

}  // namespace telmora
