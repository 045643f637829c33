#include <gtest/gtest.h>

#include "constructor_bin.h"
#include "red_aleatoria.h"
#include "topologia_literal.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

// The graph of a sheet wholly drawn.
GrafoTopologico grafo_de(const ConstructorBin& b) {
  const prueba::HojaDibujada h = prueba::hoja_dibujada(b);
  return CargoNodosTramos(h.hoja, h.dibujadas);
}

std::vector<std::int32_t> estrella(const GrafoTopologico& g, std::int32_t n) {
  const auto s = g.estrella(n);
  return {s.begin(), s.end()};
}

}  // namespace

TEST(Grafo, NodosPorCoincidenciaExactaDeXeY) {
  ConstructorBin b;
  b.c("100", {{0, 0, 5}, {50, 50, 0}, {100, 0, 7}})  // arc 1
      .c("100", {{100, 0, 9}, {200, 0, 3}})          // touches arc 1's end with another z
      .c("100", {{201, 0, 1}, {300, 0, 1}})          // one unit away: a node of its own
      .c("100", {{0, 0, 0}, {0, 90, 0}, {0, 0, 4}})  // closed: no arc, no node
      .c("100", {{400, 400, 0}})                     // a point: no arc
      .t("TXT", {10, 20, 30}, "A");
  const GrafoTopologico g = grafo_de(b);
  ASSERT_EQ(g.num_nodos(), 5);
  EXPECT_EQ(g.nodo(1), (Nodo{0, 0, 5, 1, 0}));
  EXPECT_EQ(g.nodo(2), (Nodo{100, 0, 9, 2, 0}));  // z of the element loaded later
  EXPECT_EQ(g.nodo(3), (Nodo{200, 0, 3, 1, 0}));
  EXPECT_EQ(g.nodo(4), (Nodo{201, 0, 1, 1, 0}));
  ASSERT_EQ(g.num_tramos(), 3);
  EXPECT_EQ(g.tramo(1), (Tramo{1, 1, 2}));
  EXPECT_EQ(g.tramo(2), (Tramo{2, 2, 3}));
  EXPECT_EQ(g.tramo(3), (Tramo{3, 4, 5}));
  EXPECT_EQ(estrella(g, 2), (std::vector<std::int32_t>{semiarco(1, true), semiarco(2, false)}));
  EXPECT_EQ(g.busca_nodo(100, 0), 2);
  EXPECT_EQ(g.busca_nodo(100, 1), 0);
  ASSERT_EQ(g.textos.size(), 1u);
  EXPECT_EQ(g.textos[0].posicion, 1);
  EXPECT_EQ((std::array{g.textos[0].x, g.textos[0].y, g.textos[0].z}), (std::array{10, 20, 30}));
}

TEST(Grafo, SoloEntranLosElementosDibujadosYActivos) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {10, 0, 0}})
      .c("100", {{0, 0, 0}, {0, 10, 0}})
      .c("100", {{0, 0, 0}, {-10, 0, 0}}, {}, '\0')  // deleted
      .t("TXT", {1, 1, 0}, "NO")
      .t("TXT", {2, 2, 0}, "SI");
  const Hoja hoja = prueba::hoja_dibujada(b).hoja;
  // Neither the second line nor the first text was drawn.
  const EntidadesDibujadas dibujadas(
      hoja, std::vector<std::int32_t>{hoja.c[0].numero, hoja.c[2].numero, hoja.t[1].numero});
  const GrafoTopologico g = CargoNodosTramos(hoja, dibujadas);
  ASSERT_EQ(g.num_tramos(), 1);
  EXPECT_EQ(g.tramo(1).elemento, 1);
  ASSERT_EQ(g.textos.size(), 1u);
  EXPECT_EQ(g.textos[0].posicion, 2);
}

// A ring of two arcs between nodes A and B, a tree of three arcs hanging off B and an isolated
// chain: the tree and the chain go, the ring stays untouched and B is left with valence 2.
TEST(Grafo, LaPodaQuitaArbolesYCadenasAisladas) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {50, 40, 0}, {100, 0, 0}})      // ring, A to B
      .c("100", {{100, 0, 0}, {50, -40, 0}, {0, 0, 0}})  // ring, B to A
      .c("100", {{200, 0, 0}, {100, 0, 0}})              // tree trunk, ends at B
      .c("100", {{200, 0, 0}, {300, 50, 0}})             // branches
      .c("100", {{300, -50, 0}, {200, 0, 0}})
      .c("100", {{0, 500, 0}, {10, 500, 0}})  // isolated chain
      .c("100", {{10, 500, 0}, {20, 500, 0}});
  GrafoTopologico g = grafo_de(b);
  CuentaNodosV1(g);
  RellenamosVReal(g);
  EXPECT_EQ(g.nodos_valencia_1, 4);
  AnulaValencia1(g);
  for (std::int32_t a = 3; a <= 7; ++a) {
    EXPECT_EQ(g.tramo(a).P1, kTramoAnulado) << a;
    EXPECT_EQ(g.tramo(a).P2, kTramoAnulado) << a;
  }
  ReCalculoTramos(g);
  ASSERT_EQ(g.num_tramos(), 2);
  EXPECT_EQ(g.tramo(1), (Tramo{1, 1, 2}));
  EXPECT_EQ(g.tramo(2), (Tramo{2, 2, 1}));
  EXPECT_EQ(g.nodo(2).valencia, 2);
  EXPECT_EQ(g.nodo(2).valenciaReal, 3);
  EXPECT_EQ(g.num_nodos(), 8);  // nodes are kept, with valence 0
  for (std::int32_t n = 3; n <= 8; ++n) EXPECT_EQ(g.nodo(n).valencia, 0) << n;
  EXPECT_EQ(estrella(g, 3), std::vector<std::int32_t>{});
  EXPECT_EQ(estrella(g, 1), (std::vector<std::int32_t>{semiarco(1, false), semiarco(2, true)}));
}

TEST(Grafo, ListadoDeNodosYTramos) {
  ConstructorBin b;
  b.c("100", {{0, 0, -3}, {100, 0, 0}}).c("100", {{100, 0, 0}, {100, 100, 2}});
  GrafoTopologico g = grafo_de(b);
  RellenamosVReal(g);
  g.tramo(2).P2 = 4;
  g.tramo(2).posicion_P2 = 1;
  EXPECT_EQ(listado_nodos_tramos(g),
            (std::vector<std::string>{
                "*********NODOS*********", " 1  0  0 -3  1  1 ", " 2  100  0  0  2  2 ",
                " 3  100  100  2  1  1 ", "*********TRAMOS*********",
                "OffsetN1:N2:P1:P2:", " 1  1  1  2  0  0  0  0 ", " 2  2  2  3  0  0  4  1 "}));
}

// The hash of positions and the peeling give exactly the tables of the plain scans, on clean and
// damaged random networks.
TEST(Grafo, IndexadoIgualQueLiteralEnRedesAleatorias) {
  int podados = 0;
  for (std::uint64_t semilla = 1; semilla <= 150; ++semilla) {
    const auto [hoja, dibujadas] = prueba::red_aleatoria(
        semilla, {3 + int(semilla % 5), 3 + int(semilla % 4), semilla % 3 == 0});
    GrafoTopologico g = CargoNodosTramos(hoja, dibujadas);
    GrafoTopologico l = prueba::grafo_literal(hoja, dibujadas);
    ASSERT_EQ(g.nodos, l.nodos) << semilla;
    ASSERT_EQ(g.tramos, l.tramos) << semilla;
    ASSERT_EQ(g.textos, l.textos) << semilla;
    for (std::int32_t n = 1; n <= g.num_nodos(); ++n) {
      ASSERT_EQ(g.busca_nodo(g.nodo(n).x, g.nodo(n).y), n);
    }
    AnulaValencia1(g);
    prueba::poda_literal(l);
    ASSERT_EQ(g.nodos, l.nodos) << semilla;
    ASSERT_EQ(g.tramos, l.tramos) << semilla;
    const auto antes = g.num_tramos();
    ReCalculoTramos(g);
    prueba::recalcula_literal(l);
    podados += antes - g.num_tramos();
    ASSERT_EQ(g.tramos, l.tramos) << semilla;
  }
  EXPECT_GT(podados, 300);
}
