// Elevations given in place to the arcs of the sheet's line network: from the PSCT elevation
// points on their ends (interpolated along each arc by length, and split at PSCT points lying on
// inner vertices), or from the centroid texts of the faces on either side. The analyses read the
// sheet and the graph and yield the vertices to write; aplica_cambios_cota writes them into the
// sheet's file and the loaded sheet.
//
// Lookups go through hashes: a PSCT point's node through the graph's node hash, the arcs at a
// node through its star, an arc's entry through a table by arc number and the PSCT points off
// every node through a hash of their positions. Results are those of the plain scans: the first
// node and the first PSCT point off the nodes at a position, arcs in arc order, entries in the
// order they were first met.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dibujadas.h"
#include "hoja.h"
#include "progreso.h"
#include "sesion.h"
#include "topologia/grafo.h"
#include "topologia/poligonos.h"

namespace telmora {

// A PSCT elevation point: the first vertex of a drawn C entity whose code begins with "PSCT".
struct PuntoPSCT {
  std::int32_t x = 0, y = 0, z = 0;
  std::int32_t nodo = 0;  // the node at exactly this x and y, or 0
  friend bool operator==(const PuntoPSCT&, const PuntoPSCT&) = default;
};

// An arc with a PSCT point at one of its ends or both: 1-based entries of the PSCT table.
struct TramoASubir {
  std::int32_t elemento = 0;  // the line element (the arc's Offset: its place in the C array)
  std::int32_t tramo = 0;
  std::int32_t psct_N1 = 0;
  std::int32_t psct_N2 = 0;
  friend bool operator==(const TramoASubir&, const TramoASubir&) = default;
};

// New vertices for line elements, each with the range block to store with them.
struct ReescrituraElemento {
  std::int32_t elemento = 0;  // place in the C array
  Rango rango;
  std::uint32_t primer_vertice = 0;  // into CambiosDeCota::vertices
  std::uint32_t num_vertices = 0;
  friend bool operator==(const ReescrituraElemento&, const ReescrituraElemento&) = default;
};

class CambiosDeCota {
 public:
  std::vector<ReescrituraElemento> elementos;
  std::vector<Vertice> vertices;

  std::int32_t num_elementos() const { return static_cast<std::int32_t>(elementos.size()); }
  void anade(std::int32_t elemento, const Rango& rango, std::span<const Vertice> nuevos);
  std::span<const Vertice> vertices_de(const ReescrituraElemento& r) const {
    return {vertices.data() + r.primer_vertice, r.num_vertices};
  }
};

// Z from PSCT points: the PSCT table, the arcs to raise and what raising them writes.
struct SubidaCotaTramos {
  std::vector<PuntoPSCT> puntos;
  std::vector<TramoASubir> tramos;
  std::int32_t no_modificados = 0;  // arcs lacking a PSCT point at one end
  CambiosDeCota cambios;
};

// The drawn, active C entities whose code, cut at its first NUL, trimmed and upper-cased, begins
// with "PSCT", in C-array order, each with the node at its first vertex.
std::vector<PuntoPSCT> CargaPuntosParaSubirCotaTramos(const Hoja& hoja,
                                                      const EntidadesDibujadas& dibujadas,
                                                      const GrafoTopologico& grafo);

// Every arc with an end on the node of a PSCT point, each once, with the PSCT point at each of
// its ends (a later point at the same node replaces an earlier one).
std::vector<TramoASubir> CreaTramosASubir(const GrafoTopologico& grafo,
                                          std::span<const PuntoPSCT> puntos);

// Elevations between vertices `desde` and `hasta` of a line (0-based): each vertex after `desde`
// gets cota1 plus the slope times its length along the line from `desde` (`longitud` in all),
// rounded to the nearest whole number, halves to even; `desde` keeps its z. A zero length (the
// vertices on one spot) gives them cota2.
void interpola(std::span<Vertice> vertices, std::size_t desde, std::size_t hasta,
               std::int32_t cota1, std::int32_t cota2, double longitud);

// For each arc with a PSCT point at both ends: its vertices from the first end's z to the last
// end's, split at every inner vertex that carries a PSCT point off every node whose z is not 0;
// the range block the one the vertices span, its last three values as loaded. Arcs lacking a point
// at one end are counted and left out.
void InterpolaZTramos(const Hoja& hoja, SubidaCotaTramos& subida);

// The three steps in order, on the unpruned graph.
SubidaCotaTramos ProcesarSubirCotaTramos(const Hoja& hoja, const EntidadesDibujadas& dibujadas,
                                         const GrafoTopologico& grafo);

// Z from texts: every arc gets, at all its vertices, the larger elevation of the faces on its two
// sides, where a face's elevation is the z of its centroid text and only a face with exactly
// one centroid has one; envelopes and open polygons have none. An arc passed over as a repeat
// of another takes that arc's sides. Arcs with no elevation on either side are left out and
// counted. The range block is the one the vertices span (a negative
// elevation or one above 1,000,000,000 included), with 20, 6 and 1957 in its last three values.
struct CotaDeRecintos {
  std::int32_t sin_cota = 0;
  CambiosDeCota cambios;
};
CotaDeRecintos BuscaCotaADar(const Hoja& hoja, const GrafoTopologico& grafo,
                             const TablaPoligonos& tabla);

// Writes the new vertices into the sheet's file in place with their range blocks and into the
// loaded sheet (vertices, range, index row), as one change of the file (MarcadorBorrados); the
// spatial index is rebuilt when an element's box moved. A failure leaves the file and the loaded
// sheet as they were: no element is written, and `fallo` gives the path and the reason.
struct EscrituraCotas {
  std::int32_t escritos = 0;
  std::string fallo;  // empty when every element was written
};
EscrituraCotas aplica_cambios_cota(Sesion& sesion, const CambiosDeCota& cambios,
                                   Progreso& progreso = Progreso::ninguno());

}  // namespace telmora
