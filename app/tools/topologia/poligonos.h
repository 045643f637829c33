// Polygons built from the node and arc graph. Around each node the ways out (half-edges) are
// ordered clockwise from north by the direction of their first segment; ways out that leave in
// the same direction are ordered by where their courses part, so that the order is the one the
// geometry gives, whatever the numbering of the arcs. A walk that arrives at a node leaves it by
// the way out that follows, clockwise, the way back: the sharpest left turn. So faces come out
// counter-clockwise and the outer boundary of each connected part of the network clockwise.
// A walk ends when it comes back to its first arc in its first direction: every side of every
// arc (the arc and a direction) lies on exactly one ring, and a face that touches itself at a
// node is one ring. Where only the way back is left the walk turns back along it; at an end of
// the network (a node of valence 1, which only the elevation commands keep) the ring is cut
// there into open polygons.
//
// Arcs whose courses are the same (a line digitised twice, either way) bound nothing between
// them: the first in arc order is walked and the others are passed over, and counted.
//
// Bounds of the work: every side is walked exactly once; sorting the stars is n log n, and two
// ways out in the same direction are compared along their common stretch only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "hoja.h"
#include "progreso.h"
#include "texto.h"
#include "topologia/grafo.h"

namespace telmora {

// One entry of a polygon's arc list.
struct ArcoDePoligono {
  std::int32_t tramo = 0;
  bool invierteTramo = false;  // walked from N2 to N1
  friend bool operator==(const ArcoDePoligono&, const ArcoDePoligono&) = default;
};

struct Poligono {
  std::uint32_t primer_arco = 0;  // into TablaPoligonos::arcos
  std::int32_t num_tramos = 0;
  bool cerrado = false;
  std::int32_t numero_cerrado = 0;  // 1, 2 ... among closed polygons; 0 for open ones
  friend bool operator==(const Poligono&, const Poligono&) = default;
};

// A closed polygon as an element: "C=", code "1", no attributes, its ring of vertices (the last
// repeats the first) and their range.
struct RecintoTopologia {
  std::uint32_t primer_vertice = 0;  // into TablaPoligonos::vertices
  std::uint32_t num_vertices = 0;
  Rango rango;
  friend bool operator==(const RecintoTopologia&, const RecintoTopologia&) = default;
};

struct ResumenPoligono {
  std::int32_t NumPol = 0;  // the closed-polygon number
  double Sup = 0;           // area in square metres, absolute
  bool sentido = false;     // clockwise (signed area 0 or more): an envelope
  // The face's centroid once checked: 0 none, the text-list entry, or kVariosPoligonos.
  std::int32_t Puntero_Sup = 0;
  friend bool operator==(const ResumenPoligono&, const ResumenPoligono&) = default;
};

// An arc passed over because an arc before it in arc order runs the same course.
struct ArcoPasado {
  std::int32_t tramo = 0;
  std::int32_t igual_a = 0;  // the arc walked in its place
  friend bool operator==(const ArcoPasado&, const ArcoPasado&) = default;
};

class TablaPoligonos {
 public:
  std::vector<Poligono> poligonos;           // polygon k is poligonos[k - 1]
  std::vector<ArcoDePoligono> arcos;         // every arc list, polygon after polygon
  std::vector<std::int32_t> adyacencia;      // parallel to arcos
  std::vector<RecintoTopologia> recintos;    // closed polygon c is recintos[c - 1]
  std::vector<Vertice> vertices;             // the rings of the recintos
  std::vector<ResumenPoligono> resumen;      // by closed-polygon number
  std::vector<std::int32_t> por_superficie;  // closed-polygon numbers, ascending Sup (stable)
  std::vector<ArcoPasado> pasados;           // in arc order

  std::int32_t num_poligonos() const { return static_cast<std::int32_t>(poligonos.size()); }
  std::int32_t num_cerrados() const { return static_cast<std::int32_t>(recintos.size()); }
  const Poligono& poligono(std::int32_t k) const { return poligonos[std::size_t(k - 1)]; }
  std::span<const ArcoDePoligono> arcos_de(std::int32_t k) const {
    const Poligono& p = poligono(k);
    return {arcos.data() + p.primer_arco, std::size_t(p.num_tramos)};
  }
  std::span<const std::int32_t> adyacencia_de(std::int32_t k) const {
    const Poligono& p = poligono(k);
    return {adyacencia.data() + p.primer_arco, std::size_t(p.num_tramos)};
  }
  const RecintoTopologia& recinto(std::int32_t c) const { return recintos[std::size_t(c - 1)]; }
  std::span<const Vertice> vertices_de(std::int32_t c) const {
    const RecintoTopologia& r = recinto(c);
    return {vertices.data() + r.primer_vertice, r.num_vertices};
  }
  const ResumenPoligono& resumen_de(std::int32_t c) const { return resumen[std::size_t(c - 1)]; }
  ResumenPoligono& resumen_de(std::int32_t c) { return resumen[std::size_t(c - 1)]; }
  // The polygon number of a closed-polygon number.
  std::int32_t poligono_de(std::int32_t cerrado) const {
    return poligono_de_cerrado_[std::size_t(cerrado - 1)];
  }

 private:
  friend void construye_recintos(const Hoja& hoja, const GrafoTopologico& grafo, int uds,
                                 TablaPoligonos& tabla);
  std::vector<std::int32_t> poligono_de_cerrado_;
};

// Walks every side of the arcs that pruning left, filling P1, P2 and their places in the arc
// table. Each ring starts at the first arc in arc order with a side not yet walked (its own
// direction first), so polygons are numbered in arc order. `progreso` follows the arcs stored.
TablaPoligonos proceso_recorrido(const Hoja& hoja, GrafoTopologico& grafo,
                                 Progreso& progreso = Progreso::ninguno());

// The order of two ways out of the same node (half-edges), clockwise from north: -1 when `a`
// comes first, 1 when `b` does. Ways out in the same direction are ordered by the first place
// where their courses part, the one that turns right there coming later; a course that ends
// there comes before one that goes on. 0 only for the same course.
int compara_salidas(const Hoja& hoja, const GrafoTopologico& grafo, std::int32_t a, std::int32_t b);

// Numbers the closed polygons, builds their rings, ranges and areas (`uds` file units a metre;
// the sign and size of each area exact, whatever vertex the ring starts at), and the order by
// area. The drawing of them is PintorTopologia::dibujarecintos.
void construye_recintos(const Hoja& hoja, const GrafoTopologico& grafo, int uds,
                        TablaPoligonos& tabla);

// Each polygon's neighbour across each of its arcs (0 when none walked it the other way).
void calculaAdyacencia(const GrafoTopologico& grafo, TablaPoligonos& tabla);

// The polygon listing (after the node and arc listing) with, when there are any, the arcs passed
// over; and the listing of the closed polygons as elements, in summary order or by area.
void imprimepol(const TablaPoligonos& tabla, const SalidaLineas& linea);
void imprimepolVekt(const TablaPoligonos& tabla, bool por_superficie, const SalidaLineas& linea);

}  // namespace telmora
