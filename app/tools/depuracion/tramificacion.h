// Splitting of line elements where they cross: the cut table, the rule that turns a crossing of
// two segments into cuts, the pairs of segments that may cross, and the pieces an element is cut
// into. Nothing here touches a file; the cleanup run (binjunta.h) writes the pieces.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "formato_bin.h"
#include "funciones.h"
#include "rejilla_cajas.h"

namespace telmora {

// A cut of an element: after vertex `vertice` (1-based), `distancia` units along the segment
// that starts there, at (x, y); on the vertex itself when the distance is 0. Vertex 0 stands for
// one of the element's two ends (a snap onto an end cuts nothing).
struct Corte {
  std::int32_t vertice = 0;
  std::int32_t x = 0, y = 0, z = 0;
  std::int32_t distancia = 0;
  friend bool operator==(const Corte&, const Corte&) = default;
};

struct ElementoAPartir {
  std::int32_t elemento = 0;  // place in the C array
  std::int32_t posicion = 0;  // start of its record in the file
  std::vector<Corte> cortes;  // in order of registration
};

// The elements to split, in the order their first cut was registered.
class TablaCortes {
 public:
  // Registers a cut of an element. A cut on the same vertex at the same point, or within one
  // unit of it on each axis (the same crossing rounded two ways), is not added again.
  void AlmacenaElementosAPartir(std::int32_t elemento, std::int32_t posicion, const Corte& corte);

  // The element lost its first vertex: its cuts count from the vertex that is first now (a cut
  // that lay on the lost segment falls on the new first vertex, an end).
  void quita_primer_vertice(std::int32_t elemento);

  const std::vector<ElementoAPartir>& entradas() const { return entradas_; }

 private:
  std::vector<ElementoAPartir> entradas_;
  std::unordered_map<std::int32_t, std::size_t> lugar_;  // element -> its entry
};

// The cut listing: for each element a line of 77 "-", a line with the element, its file position
// and its number of cuts, and a line per cut with vertex, x, y, z and distance (list spacing).
std::vector<std::string> imprimeEntidadesPartidas(const TablaCortes& tabla);

// The pieces of an element cut at its cuts, in the element's vertex order: the cuts are taken
// by vertex and, on one segment, by their distance from its first vertex. A cut between two
// vertices adds its point to both pieces; a cut on a vertex makes that vertex the end of one
// piece and the start of the next. A point equal to the one before it is not repeated and a
// piece with fewer than two points is not made, so cuts on the element's ends and repeated
// cuts give no piece of their own. One piece back means the element is not split.
std::vector<std::vector<Vertice>> piezas_de(std::span<const Vertice> vertices,
                                            std::span<const Corte> cortes);

// Elevation at (x, y) on the segment a-b, in proportion to the plane distance from a, rounded;
// that of a when the segment has no length.
std::int32_t cota_en_segmento(const Vertice& a, const Vertice& b, double x, double y);

// A double rounded to the nearest integer (halves to even), kept within the 32-bit range.
std::int32_t redondea(double valor);

// An element that takes part in the crossing search.
struct ElementoCortable {
  std::int32_t elemento = 0;  // place in the C array
  std::int32_t posicion = 0;  // start of its record in the file
  std::span<const Vertice> vertices;
};

// The crossing of segment v of `a` with segment w of `b` (segment v runs from vertex v - 1 to
// vertex v, 1-based) as interseccion_segmentos finds it, and the cut it gives each element.
// No crossing gives nothing. An element takes no cut when the crossing lies within one unit, on
// each axis, of its first vertex on its first segment or of its last vertex on its last segment
// (a node of the network). Otherwise a crossing less than T from the segment's first vertex is
// taken on that vertex (even when its last vertex is nearer), else one less than T from its last
// vertex on that one, and any other at the crossing point, rounded.
void corta_en_cruce(const ElementoCortable& a, std::int32_t v, const ElementoCortable& b,
                    std::int32_t w, std::int32_t tolerancia, TablaCortes& tabla);

// A pair of segments that may cross: segment v of the element being searched and segment w of
// the later element j (its place in the list given to ParesEntreElementos).
struct ParSegmentos {
  std::int32_t j = 0;
  std::int32_t v = 0, w = 0;
  friend bool operator==(const ParSegmentos&, const ParSegmentos&) = default;
};

// Which segments of a list of elements may cross: a grid over every segment's box.
class ParesEntreElementos {
 public:
  // The elements' vertices, which must outlive this object.
  explicit ParesEntreElementos(std::span<const ElementoCortable> elementos);

  // The pairs of element i with later elements whose segment boxes overlap (touching edges
  // count), in the order of the plain search: by element j, then by v, then by w.
  void pares_de(std::size_t i, std::vector<ParSegmentos>& salida) const;

 private:
  std::span<const ElementoCortable> elementos_;
  std::vector<std::uint32_t> primer_segmento_;  // place of each element's first segment
  std::vector<std::int32_t> elemento_de_;       // element of each segment place
  RejillaCajas rejilla_;
  mutable std::vector<std::int32_t> candidatas_;
};

}  // namespace telmora
