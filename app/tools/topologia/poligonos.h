// Polygons built from the node and arc graph: each walk leaves every node by the sharpest left
// turn, so that faces come out counter-clockwise and the outer boundary of each connected part
// of the network clockwise. A walk closes when the arc it takes leads back to the node where it
// began; it stops open at a dead end or where no way out is left.
//
// Bounds of the work: every arc is walked at most once in each direction. On damaged networks
// (arcs copied or overlapping, so that two ways out leave a node in the same direction) the
// turn that the rule picks may have been walked already in that direction: such an arc is
// passed over, and counted, and when no way out is left the polygon is closed as open. Every
// closed polygon is therefore a continuous ring, and the walk always ends.
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

// A turn that the walk could not take because the arc had been walked that way already.
struct ArcoPasado {
  std::int32_t tramo = 0;
  bool invierteTramo = false;
  std::int32_t nodo = 0;      // where the walk stood
  std::int32_t poligono = 0;  // the polygon being built
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
  std::vector<ArcoPasado> pasados;

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
  friend class Recorrido;
  friend void construye_recintos(const Hoja& hoja, const GrafoTopologico& grafo, int uds,
                                 TablaPoligonos& tabla);
  std::vector<std::int32_t> poligono_de_cerrado_;
};

// Walks the graph from arc 1 until every arc is walked both ways (or cannot be), filling P1, P2
// and their places in the arc table. `progreso` follows the arcs stored.
TablaPoligonos proceso_recorrido(const Hoja& hoja, GrafoTopologico& grafo,
                                 Progreso& progreso = Progreso::ninguno());

// The turning angle from the way back along arc `actual` to the way out along `candidato`,
// counter-clockwise in [0, 2π).
double calcula_angulo(const Hoja& hoja, const Tramo& actual, bool invierte_actual,
                      const Tramo& candidato, bool invierte_candidato);

// Numbers the closed polygons, builds their rings, ranges and areas (`uds` file units a metre),
// and the order by area. This is the building half of dibujarecintos, which also drew each
// polygon as it was built; the drawing is PintorTopologia::dibujarecintos.
void construye_recintos(const Hoja& hoja, const GrafoTopologico& grafo, int uds,
                        TablaPoligonos& tabla);

// Each polygon's neighbour across each of its arcs (0 when none walked it the other way).
void calculaAdyacencia(const GrafoTopologico& grafo, TablaPoligonos& tabla);

// The polygon listing (after the node and arc listing), the arcs passed over, and the listing of
// the closed polygons as elements, in summary order or in the order by area.
void imprimepol(const TablaPoligonos& tabla, const SalidaLineas& linea);
void imprimepolVekt(const TablaPoligonos& tabla, bool por_superficie, const SalidaLineas& linea);

}  // namespace telmora
