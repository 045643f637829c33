// What the closed polygons say about the sheet: islands (a connected part of the network inside
// a face of another), the faces that make up each island, the centroid check (every face should
// hold exactly one text) and the face under a map point. Polygons are known here by their
// closed-polygon numbers (the summary order); faces are the counter-clockwise ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hoja.h"
#include "rejilla_cajas.h"
#include "topologia/grafo.h"
#include "topologia/poligonos.h"

namespace telmora {

struct Isla {
  std::int32_t Pol_Externo = 0;  // the face that holds the island
  std::int32_t Pol_Interno = 0;  // the island's envelope
  std::int32_t num_componentes = 0;
  std::vector<std::int32_t> componentes;  // polygons sharing an arc with the envelope
  friend bool operator==(const Isla&, const Isla&) = default;
};

struct ComponenteIsla {
  std::int32_t Envolvente = 0;
  std::int32_t componente = 0;
  friend bool operator==(const ComponenteIsla&, const ComponenteIsla&) = default;
};

struct IslasTopologia {
  std::vector<Isla> islas;
  std::vector<ComponenteIsla> componentes;
};

// Every envelope whose range lies strictly inside a face's range and whose lowest vertex (the
// leftmost of the lowest) lies inside the face's ring, one entry per face that holds it (nested
// faces give several), faces in summary order and envelopes in summary order within each.
void BuscoIslas(const TablaPoligonos& tabla, IslasTopologia& islas);

// The closed polygons that share an arc with each island's envelope.
void PoligonosComponentesIslas(const GrafoTopologico& grafo, const TablaPoligonos& tabla,
                               IslasTopologia& islas);

// Gives each face the text inside it (Puntero_Sup) and each text its face (centroide), or
// kVariosPoligonos for a face with several texts or a text in several faces. A text belongs to
// the innermost face around it: a face whose ring holds it, unless it also lies inside one of
// that face's islands (nested islands included). So it belongs to no face around an island it
// lies in, and to several faces only where faces overlap (lines that cross without a node).
// Needs the islands (BuscoIslas) of the same polygons.
void ChequeoCentroidesPoligonos(const IslasTopologia& islas, TablaPoligonos& tabla,
                                GrafoTopologico& grafo);

// The face under a map point (file units): of the faces whose rings hold it the smallest, which
// is the innermost one (the first in summary order among equal areas), or 0. Envelopes never
// answer.
class LocalizadorPoligonos {
 public:
  LocalizadorPoligonos() = default;
  explicit LocalizadorPoligonos(const TablaPoligonos& tabla);
  std::int32_t LocalizaPol(const TablaPoligonos& tabla, std::int32_t x, std::int32_t y) const;

 private:
  std::vector<std::int32_t> caras_;  // closed-polygon numbers of the faces, ascending
  RejillaCajas rejilla_;
};

// Listings: the islands, the island components, and each closed polygon with its neighbours
// across its arcs, named by their centroid texts.
std::vector<std::string> imprimeIslas(const IslasTopologia& islas);
std::vector<std::string> imprimeComponentesIslas(const IslasTopologia& islas);
std::vector<std::string> imprimeAdyacencia(const Hoja& hoja, const GrafoTopologico& grafo,
                                           const TablaPoligonos& tabla);

}  // namespace telmora
