#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "funciones.h"
#include "red_aleatoria.h"
#include "topologia_literal.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

struct Red {
  GrafoTopologico grafo;
  TablaPoligonos tabla;
};

GrafoTopologico grafo_de(const prueba::HojaDibujada& h, bool podar) {
  GrafoTopologico g = CargoNodosTramos(h.hoja, h.dibujadas);
  CuentaNodosV1(g);
  RellenamosVReal(g);
  if (podar) {
    AnulaValencia1(g);
    ReCalculoTramos(g);
  }
  return g;
}

void completa(const Hoja& hoja, Red& red) {
  construye_recintos(hoja, red.grafo, 100, red.tabla);
  calculaAdyacencia(red.grafo, red.tabla);
}

Red construye(const prueba::HojaDibujada& h, bool podar = true) {
  Red red{grafo_de(h, podar), {}};
  red.tabla = proceso_recorrido(h.hoja, red.grafo);
  completa(h.hoja, red);
  return red;
}

Red construye_literal(const prueba::HojaDibujada& h, bool podar = true) {
  Red red{grafo_de(h, podar), {}};
  red.tabla = prueba::RecorridoLiteral(h.hoja, red.grafo).ejecuta();
  completa(h.hoja, red);
  return red;
}

std::vector<std::int32_t> arcos(const TablaPoligonos& t, std::int32_t k) {
  std::vector<std::int32_t> salida;
  for (const ArcoDePoligono& a : t.arcos_de(k))
    salida.push_back(a.invierteTramo ? -a.tramo : a.tramo);
  return salida;
}

void iguales(const Red& a, const Red& b, const std::string& que) {
  ASSERT_EQ(a.grafo.tramos, b.grafo.tramos) << que;
  ASSERT_EQ(a.tabla.poligonos, b.tabla.poligonos) << que;
  ASSERT_EQ(a.tabla.arcos, b.tabla.arcos) << que;
  ASSERT_EQ(a.tabla.adyacencia, b.tabla.adyacencia) << que;
  ASSERT_EQ(a.tabla.pasados, b.tabla.pasados) << que;
  ASSERT_EQ(a.tabla.recintos, b.tabla.recintos) << que;
  ASSERT_EQ(a.tabla.vertices, b.tabla.vertices) << que;
  ASSERT_EQ(a.tabla.resumen, b.tabla.resumen) << que;
  ASSERT_EQ(a.tabla.por_superficie, b.tabla.por_superficie) << que;
}

// Every closed polygon is a ring of arcs end to end, and no arc is walked twice the same way.
void anillos_continuos(const Red& red, const std::string& que) {
  std::set<std::pair<std::int32_t, bool>> recorridos;
  for (std::int32_t k = 1; k <= red.tabla.num_poligonos(); ++k) {
    const auto lista = red.tabla.arcos_de(k);
    std::int32_t previo = 0, primero = 0;
    for (const ArcoDePoligono& a : lista) {
      ASSERT_TRUE(recorridos.insert({a.tramo, a.invierteTramo}).second) << que;
      const Tramo& t = red.grafo.tramo(a.tramo);
      const std::int32_t desde = a.invierteTramo ? t.N2 : t.N1;
      if (previo != 0) {
        ASSERT_EQ(desde, previo) << que << " polygon " << k;
      }
      if (primero == 0) primero = desde;
      previo = a.invierteTramo ? t.N1 : t.N2;
    }
    if (red.tabla.poligono(k).cerrado) {
      ASSERT_EQ(previo, primero) << que << " polygon " << k;
      const auto v = red.tabla.vertices_de(red.tabla.poligono(k).numero_cerrado);
      ASSERT_TRUE(v.front() == v.back()) << que;
    }
  }
}

}  // namespace

// Two arcs between two nodes: the face inside (counter-clockwise, negative area) and the
// envelope outside (clockwise), both closed, each arc walked once each way.
TEST(Poligonos, UnAnilloDeDosTramosDaUnaCaraYSuEnvolvente) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {0, 1000, 0}, {1000, 1000, 0}})
      .c("100", {{1000, 1000, 0}, {1000, 0, 0}, {0, 0, 0}});
  const Red red = construye(prueba::hoja_dibujada(b));
  ASSERT_EQ(red.tabla.num_poligonos(), 2);
  EXPECT_EQ(arcos(red.tabla, 1), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(arcos(red.tabla, 2), (std::vector<std::int32_t>{-1, -2}));
  ASSERT_EQ(red.tabla.num_cerrados(), 2);
  EXPECT_EQ(red.tabla.resumen[0], (ResumenPoligono{1, 100, true, 0}));  // 10 m square, clockwise
  EXPECT_EQ(red.tabla.resumen[1], (ResumenPoligono{2, 100, false, 0}));
  EXPECT_EQ(red.grafo.tramo(1), (Tramo{1, 1, 2, 1, 1, 2, 1}));
  EXPECT_EQ(red.tabla.adyacencia, (std::vector<std::int32_t>{2, 2, 1, 1}));
  const auto v = red.tabla.vertices_de(1);
  EXPECT_EQ(v.size(), 5u);
  EXPECT_EQ(red.tabla.recinto(2).rango.xmax, 1000);
}

// The listings of the polygons (arc lists with their neighbours) and of the closed polygons as
// elements, in summary order and by area, line by line.
TEST(Poligonos, ListadosDeUnAnillo) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {0, 1000, 0}, {1000, 1000, 0}})
      .c("100", {{1000, 1000, 0}, {1000, 0, 0}, {0, 0, 0}})
      .c("100", {{3000, 0, 0}, {3000, 500, 0}, {3500, 500, 0}})
      .c("100", {{3500, 500, 0}, {3000, 0, 0}});
  const Red red = construye(prueba::hoja_dibujada(b));
  std::vector<std::string> lineas;
  const SalidaLineas recoge = [&](std::string_view l) { lineas.emplace_back(l); };
  imprimepol(red.tabla, recoge);
  const std::string guiones(58, '-');
  EXPECT_EQ(lineas, (std::vector<std::string>{"********POLIGONOS*********",
                                              guiones,
                                              " 1 -1 1 2 ",
                                              "",
                                              " 1  0  1 ",
                                              " 2  0  2 ",
                                              "Adyacencia",
                                              " 1  2 ",
                                              " 2  2 ",
                                              guiones,
                                              " 2 -1 1 2 ",
                                              "",
                                              " 1 -1  1 ",
                                              " 2 -1  2 ",
                                              "Adyacencia",
                                              " 1  1 ",
                                              " 2  1 ",
                                              guiones,
                                              " 3 -1 1 2 ",
                                              "",
                                              " 1  0  3 ",
                                              " 2  0  4 ",
                                              "Adyacencia",
                                              " 1  4 ",
                                              " 2  4 ",
                                              guiones,
                                              " 4 -1 1 2 ",
                                              "",
                                              " 1 -1  3 ",
                                              " 2 -1  4 ",
                                              "Adyacencia",
                                              " 1  3 ",
                                              " 2  3 "}));

  lineas.clear();
  imprimepolVekt(red.tabla, true, recoge);
  const std::string largo(64, '-');
  EXPECT_EQ(lineas,
            (std::vector<std::string>{largo,
                                      "Poligono :  1 /Puntero_Sup :  0 Sup : 12.5 NumPol :  3 ",
                                      "C=1 4  0 ",
                                      " 3000  0  0  3500  500  0 ",
                                      "",
                                      " 3000  0  0 ",
                                      " 3000  500  0 ",
                                      " 3500  500  0 ",
                                      " 3000  0  0 ",
                                      largo,
                                      "Poligono :  2 /Puntero_Sup :  0 Sup : 12.5 NumPol :  4 ",
                                      "C=1 4  0 ",
                                      " 3000  0  0  3500  500  0 ",
                                      "",
                                      " 3500  500  0 ",
                                      " 3000  500  0 ",
                                      " 3000  0  0 ",
                                      " 3500  500  0 ",
                                      largo,
                                      "Poligono :  3 /Puntero_Sup :  0 Sup : 100 NumPol :  1 ",
                                      "C=1 5  0 ",
                                      " 0  0  0  1000  1000  0 ",
                                      "",
                                      " 0  0  0 ",
                                      " 0  1000  0 ",
                                      " 1000  1000  0 ",
                                      " 1000  0  0 ",
                                      " 0  0  0 ",
                                      largo,
                                      "Poligono :  4 /Puntero_Sup :  0 Sup : 100 NumPol :  2 ",
                                      "C=1 5  0 ",
                                      " 0  0  0  1000  1000  0 ",
                                      "",
                                      " 1000  1000  0 ",
                                      " 0  1000  0 ",
                                      " 0  0  0 ",
                                      " 1000  0  0 ",
                                      " 1000  1000  0 "}));
}

// Three arcs meet at 120°: arriving northward, the walk turns to the arc leaving at azimuth
// 300° (the sharpest left turn) rather than to the one at 60°.
TEST(Poligonos, GiroMasCerrado) {
  const V sur{0, -1000, 0}, centro{0, 0, 0}, a60{866, 500, 0}, a300{-866, 500, 0};
  ConstructorBin b;
  b.c("100", {sur, centro}).c("100", {centro, a60}).c("100", {centro, a300});
  b.c("100", {a60, a300}).c("100", {a300, sur}).c("100", {sur, a60});
  const Red red = construye(prueba::hoja_dibujada(b));
  EXPECT_EQ(arcos(red.tabla, 1), (std::vector<std::int32_t>{1, 3, 5}));
}

// Two arcs leave the centre along the same first segment and part further on: the one that
// turns left there is the sharper turn, whichever of the two comes first in arc order. Ways out
// are ordered by where courses part, a course that ends first before one that goes on, and only
// the same course compares equal (from either end).
TEST(Poligonos, SalidasEnLaMismaDireccionSeOrdenanPorDondeSeSeparan) {
  const V sur{0, -1000, 0}, centro{0, 0, 0};
  const std::vector<V> izquierda{centro, {500, 0, 0}, {900, 300, 0}};
  const std::vector<V> derecha{centro, {250, 0, 0}, {900, -300, 0}};
  for (const bool izquierda_primero : {true, false}) {
    ConstructorBin c;
    c.c("100", {sur, centro});
    c.c("100", izquierda_primero ? izquierda : derecha);
    c.c("100", izquierda_primero ? derecha : izquierda);
    c.c("100", {{900, 300, 0}, {900, -300, 0}});
    c.c("100", {{900, -300, 0}, sur}).c("100", {{900, 300, 0}, {-900, 300, 0}, sur});
    const Red red = construye(prueba::hoja_dibujada(c));
    EXPECT_EQ(arcos(red.tabla, 1)[1], izquierda_primero ? 2 : 3);
    EXPECT_TRUE(red.tabla.pasados.empty());
  }

  ConstructorBin d;
  d.c("100", {centro, {500, 0, 0}})                    // 1: ends where 2 goes on
      .c("100", {centro, {200, 0, 0}, {700, 0, 0}})    // 2: straight on
      .c("100", {centro, {500, 0, 0}, {500, 500, 0}})  // 3: turns left at 5
      .c("100", {{500, 500, 0}, {500, 0, 0}, centro})  // 4: 3 reversed
      .c("100", {centro, {300, 0, 0}, {300, 0, 0}, {500, 0, 0}, {500, -1, 0}});  // 5: right
  const prueba::HojaDibujada h = prueba::hoja_dibujada(d);
  const GrafoTopologico g = grafo_de(h, false);
  auto orden = [&](std::int32_t a, bool ia, std::int32_t b, bool ib) {
    return compara_salidas(h.hoja, g, semiarco(a, ia), semiarco(b, ib));
  };
  EXPECT_EQ(orden(1, false, 2, false), -1);
  EXPECT_EQ(orden(3, false, 1, false), 1);
  EXPECT_EQ(orden(3, false, 2, false), -1);
  EXPECT_EQ(orden(2, false, 5, false), -1);
  EXPECT_EQ(orden(3, false, 4, true), 0);
  EXPECT_EQ(orden(4, false, 3, true), 0);
}

// Without pruning a dead end closes its polygon open; with no arcs there is nothing to walk.
TEST(Poligonos, ExtremoMuertoYRedVacia) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {0, 1000, 0}, {1000, 1000, 0}})
      .c("100", {{1000, 1000, 0}, {1000, 0, 0}, {0, 0, 0}})
      .c("100", {{1000, 1000, 0}, {2000, 2000, 0}});
  const prueba::HojaDibujada hoja = prueba::hoja_dibujada(b);
  const Red red = construye(hoja, false);
  ASSERT_GE(red.tabla.num_poligonos(), 2);
  bool abierto = false;
  for (const Poligono& p : red.tabla.poligonos) abierto = abierto || !p.cerrado;
  EXPECT_TRUE(abierto);
  anillos_continuos(red, "colgante");

  const Red vacia = construye(prueba::hoja_dibujada(ConstructorBin().c("100", {{0, 0, 0}})));
  EXPECT_EQ(vacia.grafo.num_nodos(), 0);
  EXPECT_EQ(vacia.tabla.num_poligonos(), 0);
  EXPECT_EQ(vacia.tabla.num_cerrados(), 0);
}

// A boundary digitised twice (once each way) and an arc that leaves a node along another's first
// segment: the copies are passed over and listed, every closed polygon is still a ring, and
// the faces are those of the boundary digitised once.
TEST(Poligonos, TramosRepetidosSePasanPorAltoYLosAnillosSiguenContinuos) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {0, 1000, 0}, {1000, 1000, 0}})
      .c("100", {{1000, 1000, 0}, {1000, 0, 0}, {0, 0, 0}})
      .c("100", {{0, 0, 0}, {0, 1000, 0}, {1000, 1000, 0}})  // a copy of arc 1
      .c("100", {{1000, 1000, 0}, {1000, 1000, 0}, {0, 1000, 0}, {0, 500, 0}, {0, 0, 0}})
      .c("100", {{1000, 1000, 0}, {1000, 500, 0}, {2000, 500, 0}, {2000, 0, 0}, {1000, 0, 0}})
      .c("100", {{1000, 0, 0}, {1500, 0, 0}, {1800, -700, 0}, {0, 0, 0}});  // overlaps at start
  const prueba::HojaDibujada hoja = prueba::hoja_dibujada(b);
  const Red red = construye(hoja);
  EXPECT_EQ(red.tabla.pasados, (std::vector<ArcoPasado>{{3, 1}, {4, 1}}));
  anillos_continuos(red, "repetidos");
  iguales(red, construye_literal(hoja), "repetidos");
  EXPECT_EQ(red.tabla.num_cerrados(), red.tabla.num_poligonos());
  std::vector<std::string> lineas;
  imprimepol(red.tabla, [&](std::string_view l) { lineas.emplace_back(l); });
  EXPECT_EQ(std::vector<std::string>(lineas.end() - 3, lineas.end()),
            (std::vector<std::string>{"Tramos pasados por alto : 2 ", "Tramo 3 igual al 1 ",
                                      "Tramo 4 igual al 1 "}));
}

// The stars give the tables of the scans, on clean and damaged random networks, pruned and not;
// every side is walked once and closed polygons are rings on all of them; a network with no arc
// repeated passes none over.
TEST(Poligonos, IndexadoIgualQueLiteralEnRedesAleatorias) {
  int con_pasados = 0, envolventes = 0, abiertos = 0;
  for (std::uint64_t semilla = 1; semilla <= 120; ++semilla) {
    const bool danada = semilla % 3 == 0;
    const prueba::HojaDibujada hoja =
        prueba::red_aleatoria(semilla, {3 + int(semilla % 5), 3 + int(semilla % 4), danada});
    for (const bool podar : {true, false}) {
      const std::string que = "semilla " + std::to_string(semilla) + (podar ? "" : " sin poda");
      const Red red = construye(hoja, podar);
      anillos_continuos(red, que);
      iguales(red, construye_literal(hoja, podar), que);
      std::set<std::int32_t> pasados;
      for (const ArcoPasado& p : red.tabla.pasados) pasados.insert(p.tramo);
      for (std::int32_t a = 1; a <= red.grafo.num_tramos(); ++a) {
        const Tramo& t = red.grafo.tramo(a);
        ASSERT_EQ(pasados.count(a) ? t.P1 == 0 && t.P2 == 0 : t.P1 > 0 && t.P2 > 0, true) << que;
      }
      if (!danada) ASSERT_TRUE(red.tabla.pasados.empty()) << que;
      con_pasados += !red.tabla.pasados.empty();
      for (const Poligono& p : red.tabla.poligonos) abiertos += !p.cerrado;
      for (const ResumenPoligono& r : red.tabla.resumen) envolventes += r.sentido;
    }
  }
  EXPECT_GT(con_pasados, 10);
  EXPECT_GT(abiertos, 100);
  EXPECT_GT(envolventes, 300);
}
