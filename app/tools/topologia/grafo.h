// The node and arc graph of a sheet's line elements: every open line drawn in the current
// display becomes an arc between the nodes at its two ends. Nodes are matched by exact x and y
// (no tolerance): the graph does not snap ends nor split lines where they cross; the cleanup
// tools do that beforehand.
//
// Tables are flat and 1-based by number (node n is nodos[n - 1], arc a is tramos[a - 1]). Each
// node's star lists the half-edges that leave it, 2 × arc + (1 when the arc leaves the node
// from its N2 end), in arc order: the order in which a scan of the arc table meets them.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dibujadas.h"
#include "hoja.h"

namespace telmora {

struct Nodo {
  std::int32_t x = 0, y = 0;
  std::int32_t z = 0;  // of the last arc end matched to the node
  std::int16_t valencia = 0;
  std::int16_t valenciaReal = 0;  // valencia before pruning
  friend bool operator==(const Nodo&, const Nodo&) = default;
};

// P1 / P2: the polygon that walked the arc from N1 to N2 / from N2 to N1 (0 while not walked,
// kTramoAnulado when the arc was pruned), each with the arc's place in that polygon's list.
struct Tramo {
  // The line element: its place in the C array, not a position in the file. The arc listing
  // heads it "Offset".
  std::int32_t elemento = 0;
  std::int32_t N1 = 0;
  std::int32_t N2 = 0;
  std::int32_t P1 = 0;
  std::int32_t posicion_P1 = 0;
  std::int32_t P2 = 0;
  std::int32_t posicion_P2 = 0;
  friend bool operator==(const Tramo&, const Tramo&) = default;
};

inline constexpr std::int32_t kTramoAnulado = -1;

// A text drawn in the current display: the candidates for the faces' centroids.
struct TextoTopologia {
  std::int32_t posicion = 0;  // place in the T array
  std::array<char, kAnchoCodigo> codigo{};
  std::int32_t x = 0, y = 0, z = 0;
  // 0 while in no face, the face holding it, or kVariosPoligonos when in more than one.
  std::int32_t centroide = 0;
  friend bool operator==(const TextoTopologia&, const TextoTopologia&) = default;
};

inline constexpr std::int32_t kVariosPoligonos = -2;

// A plane position packed into one key for the hashes of positions.
inline std::uint64_t clave_posicion(std::int32_t x, std::int32_t y) {
  return std::uint64_t{static_cast<std::uint32_t>(x)} << 32 | static_cast<std::uint32_t>(y);
}

// Half-edges: arc a left from its N1 end is 2a, from its N2 end 2a + 1.
inline std::int32_t semiarco(std::int32_t tramo, bool invertido) {
  return 2 * tramo + (invertido ? 1 : 0);
}
inline std::int32_t tramo_de(std::int32_t semiarco) {
  return semiarco >> 1;
}
inline bool invertido_de(std::int32_t semiarco) {
  return (semiarco & 1) != 0;
}

class GrafoTopologico {
 public:
  std::vector<Nodo> nodos;
  std::vector<Tramo> tramos;
  std::vector<TextoTopologia> textos;
  std::int32_t nodos_valencia_1 = 0;  // counted before pruning: shown as "Arcos colgantes :"

  std::int32_t num_nodos() const { return static_cast<std::int32_t>(nodos.size()); }
  std::int32_t num_tramos() const { return static_cast<std::int32_t>(tramos.size()); }
  Nodo& nodo(std::int32_t n) { return nodos[static_cast<std::size_t>(n - 1)]; }
  const Nodo& nodo(std::int32_t n) const { return nodos[static_cast<std::size_t>(n - 1)]; }
  Tramo& tramo(std::int32_t a) { return tramos[static_cast<std::size_t>(a - 1)]; }
  const Tramo& tramo(std::int32_t a) const { return tramos[static_cast<std::size_t>(a - 1)]; }

  // The half-edges leaving node n, in arc order. Valid for the arc table as it was when the
  // stars were last built (by CargoNodosTramos and ReCalculoTramos).
  std::span<const std::int32_t> estrella(std::int32_t n) const {
    const auto i = static_cast<std::size_t>(n - 1);
    return {estrellas_.data() + inicio_estrella_[i], inicio_estrella_[i + 1] - inicio_estrella_[i]};
  }
  void construye_estrellas();

  // The node at exactly this x and y (the first one, as a scan of the node table finds it), or
  // 0. Answers for the positions the nodes had when the graph was built.
  std::int32_t busca_nodo(std::int32_t x, std::int32_t y) const;

 private:
  friend GrafoTopologico CargoNodosTramos(const Hoja& hoja, const EntidadesDibujadas& dibujadas);
  std::int32_t nodo_de_extremo(const Vertice& v);
  void prepara_hash(std::size_t extremos);

  std::vector<std::uint32_t> inicio_estrella_{0};
  std::vector<std::int32_t> estrellas_;
  std::vector<std::uint64_t> claves_;  // hash of packed (x, y): open addressing
  std::vector<std::int32_t> numeros_;  // node number of each slot, 0 when empty
};

// Builds the node table, the arc table and the text list from the elements a drawing drew and
// that are still active: each open line of two or more vertices becomes an arc; nodes are
// numbered in the order their positions are first met.
GrafoTopologico CargoNodosTramos(const Hoja& hoja, const EntidadesDibujadas& dibujadas);

// The text list: every text drawn and still active, in the order of the T array.
std::vector<TextoTopologia> textos_dibujados(const Hoja& hoja, const EntidadesDibujadas& dibujadas);

// The number of nodes of valence 1 (the dangling ends).
void CuentaNodosV1(GrafoTopologico& grafo);

// Keeps every node's valence before pruning.
void RellenamosVReal(GrafoTopologico& grafo);

// Prunes the trees hanging off the network and every isolated chain, to a fixed point: their
// arcs get P1 = P2 = kTramoAnulado and their nodes' valences drop.
void AnulaValencia1(GrafoTopologico& grafo);

// Drops the pruned arcs from the arc table, keeping the order of the others (nodes are not
// renumbered), and rebuilds the stars.
void ReCalculoTramos(GrafoTopologico& grafo);

// The node listing and the arc listing, in list spacing, and the file both tools that build a
// graph (topology, network cleanup) write it to.
std::vector<std::string> listado_nodos_tramos(const GrafoTopologico& grafo);
inline constexpr const char* kListadoNodos = "Nodos.txt";

}  // namespace telmora
