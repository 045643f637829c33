// Snapping of dangling ends: the state of a cleanup run (the node and arc graph of the drawn open
// lines, the elements' vertices as the run changes them, the cut table) and the moves it makes.
// A dangling end (a node of valence 1) within the tolerance of another node moves onto it; one
// within the tolerance of another element moves onto that element (onto a vertex, onto the
// crossing of its extended arc with a segment, or onto the foot of the perpendicular), and that
// element is registered for a cut there. The run reads the sheet and never writes it: what
// changed is applied afterwards (binjunta.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ajustes.h"
#include "depuracion/tramificacion.h"
#include "dibujadas.h"
#include "hoja.h"
#include "progreso.h"
#include "rejilla_cajas.h"
#include "topologia/grafo.h"

namespace telmora {

// The snapping tolerance in file units: half the session's tolerance, rounded (halves to even).
// Ends are compared per axis, strictly.
std::int32_t tolerancia_binjunta(const Ajustes& ajustes);

// Kinds of move of a dangling end onto an element.
inline constexpr int kSinMovimiento = 0;
inline constexpr int kAVertice = 1;
inline constexpr int kACruceDeArco = 2;
inline constexpr int kAPie = 3;

// Where a dangling end would go on an element: the point, the kind of move, the vertex after
// which the element is to be cut (0 when the point is one of its ends) and the distance from
// that vertex to the point.
struct Enganche {
  double xc = 0, yc = 0;
  int tipoMov = kSinMovimiento;
  std::int32_t vertice_elemento = 0;
  double distanc = 0;
};

// The element whose end lies on a node: its place in the C array (0 when there is none left),
// the end's vertex and its neighbour (1 and 2 at the first end, n and n - 1 at the last).
struct ExtremoNodo {
  std::int32_t elemento = 0;
  std::int32_t vertice_p = 0, vertice_s = 0;
};

class RedBinjunta {
 public:
  // The graph of the drawn open lines, without pruning; every element as loaded.
  RedBinjunta(const Hoja& hoja, const EntidadesDibujadas& dibujadas, std::int32_t tolerancia);

  const Hoja& hoja() const { return hoja_; }
  std::int32_t tolerancia() const { return tolerancia_; }
  std::int32_t num_elementos() const { return static_cast<std::int32_t>(hoja_.c.size()); }

  // Elements by their place in the C array (1-based).
  std::span<const Vertice> vertices(std::int32_t elemento) const;
  const Caja& caja(std::int32_t elemento) const { return cajas_[indice(elemento)]; }
  // Active in the sheet (a snap never removes an element).
  bool activo(std::int32_t elemento) const;
  bool dibujado(std::int32_t elemento) const {
    return dibujadas_.contiene(hoja_.c[indice(elemento)]);
  }
  // Its vertices moved (same count), or it lost a doubled vertex (to be written anew, with one
  // vertex at least).
  bool movido(std::int32_t elemento) const { return estado(elemento) & kMovido; }
  bool acortado(std::int32_t elemento) const { return estado(elemento) & kAcortado; }
  // Its record's start in the file.
  std::int32_t posicion(std::int32_t elemento) const;

  // The drawn, active lines of two or more vertices, in C-array order, as the crossing search
  // takes them.
  std::vector<ElementoCortable> elementos_cortables() const;

  // Node-to-node snapping: node j lies within the tolerance of node i.
  bool nodos_cercanos(std::int32_t i, std::int32_t j) const;
  // Node i takes the position of node j; both gain a valence; i's element follows.
  void engancha_a_nodo(std::int32_t i, std::int32_t j);

  // The element of the first arc (in arc order) that ends on the node.
  ExtremoNodo ConNodoObtenerElemento(std::int32_t nodo) const;
  // Where the dangling end on `nodo` (the end `colgante` of its element) would go on the
  // element; tipoMov 0 when nowhere.
  Enganche ChequeaCortes(std::int32_t elemento, std::int32_t nodo,
                         const ExtremoNodo& colgante) const;
  // The node moves onto the point found on the element and gains a valence; its element
  // follows, and the element is registered for a cut there.
  void engancha_a_elemento(std::int32_t nodo, const ExtremoNodo& colgante, std::int32_t elemento,
                           const Enganche& enganche);

  GrafoTopologico grafo;  // positions and valences follow the moves
  TablaCortes cortes;
  std::int32_t nodos_movidos = 0;

 private:
  static constexpr unsigned char kMovido = 1, kAcortado = 2;
  static std::size_t indice(std::int32_t elemento) {
    return static_cast<std::size_t>(elemento - 1);
  }
  unsigned char estado(std::int32_t elemento) const { return estados_[indice(elemento)]; }
  // Moves the element's end onto its node; a vertex left equal to its neighbour is dropped, so a
  // two-vertex stub whose ends meet is left as one vertex.
  void ModificaElemento(std::int32_t nodo, const ExtremoNodo& extremo);

  const Hoja& hoja_;
  EntidadesDibujadas dibujadas_;
  std::int32_t tolerancia_;
  std::vector<std::int32_t> copia_de_;  // per element: its copy in copias_, or -1 (as loaded)
  std::vector<std::vector<Vertice>> copias_;
  std::vector<Caja> cajas_;
  std::vector<unsigned char> estados_;
};

// Every node of valence 1, in order, against every other node in order: each node found within
// the tolerance takes the dangling node there (later nodes see it moved, the last one wins).
// A grid on the nodes' positions makes the search grow with the number of nodes.
void BuscaNodoProximo(RedBinjunta& red, Progreso& progreso = Progreso::ninguno());

// Every node still of valence 1, in order, against every other active element in C-array
// order: the first element that offers a move takes the end. A grid on the elements' segments
// narrows the elements tried.
void BuscaNodoEntidadProxima(RedBinjunta& red, Progreso& progreso = Progreso::ninguno());

}  // namespace telmora
