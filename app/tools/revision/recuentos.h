// What the batch check counts on one sheet: the file report's counts and the findings of each
// check, in the order of the report's columns.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace telmora {

struct RecuentosRevision {
  // The file report: entities (cartographic and texts), linear and point elements, texts, and
  // the codes of the sheet that the code table lacks (each once per kind, as listed).
  std::int64_t entidades = 0, lineales = 0, puntuales = 0, textos = 0, codigos_no_encontrados = 0;
  // Duplicates: elements that repeat another whole, elements that share segments.
  std::int64_t duplicados = 0, segmentos_compartidos = 0;
  // Inside single elements: vertices that are double points, crossings, semi-loops and pairs of
  // duplicated segments.
  std::int64_t puntos_dobles = 0, lazos = 0, semilazos = 0, segmentos_duplicados = 0;
  // Topology: closed polygons; faces without a centroid text and with several; texts in no face
  // and in several; dangling arcs.
  std::int64_t poligonos_cerrados = 0, sin_centroide = 0, varios_centroides = 0, nopol = 0,
               maspol = 0, arcos_colgantes = 0;
  // Network cleanup: nodes that snapping would move, elements that splitting would cut.
  std::int64_t nodos_movidos = 0, elementos_partidos = 0;

  friend bool operator==(const RecuentosRevision&, const RecuentosRevision&) = default;
};

struct ColumnaRecuento {
  std::string_view nombre;
  std::int64_t RecuentosRevision::*campo;
  bool hallazgo;  // a fault to mend: a sheet is correct when every one of these is 0
};

inline constexpr std::array<ColumnaRecuento, 19> kColumnasRecuento{{
    {"entidades", &RecuentosRevision::entidades, false},
    {"lineales", &RecuentosRevision::lineales, false},
    {"puntuales", &RecuentosRevision::puntuales, false},
    {"textos", &RecuentosRevision::textos, false},
    {"codigos_no_encontrados", &RecuentosRevision::codigos_no_encontrados, true},
    {"duplicados", &RecuentosRevision::duplicados, true},
    {"segmentos_compartidos", &RecuentosRevision::segmentos_compartidos, true},
    {"puntos_dobles", &RecuentosRevision::puntos_dobles, true},
    {"lazos", &RecuentosRevision::lazos, true},
    {"semilazos", &RecuentosRevision::semilazos, true},
    {"segmentos_duplicados", &RecuentosRevision::segmentos_duplicados, true},
    {"poligonos_cerrados", &RecuentosRevision::poligonos_cerrados, false},
    {"sin_centroide", &RecuentosRevision::sin_centroide, true},
    {"varios_centroides", &RecuentosRevision::varios_centroides, true},
    {"nopol", &RecuentosRevision::nopol, true},
    {"maspol", &RecuentosRevision::maspol, true},
    {"arcos_colgantes", &RecuentosRevision::arcos_colgantes, true},
    {"nodos_movidos", &RecuentosRevision::nodos_movidos, true},
    {"elementos_partidos", &RecuentosRevision::elementos_partidos, true},
}};

// The sum of the findings.
inline std::int64_t hallazgos(const RecuentosRevision& r) {
  std::int64_t total = 0;
  for (const ColumnaRecuento& c : kColumnasRecuento) total += c.hallazgo ? r.*c.campo : 0;
  return total;
}

}  // namespace telmora
