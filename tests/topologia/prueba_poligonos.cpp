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

// With `guarda` false the unguarded walk; `anomalo` tells whether it went wrong.
Red construye_literal(const prueba::HojaDibujada& h, bool guarda, bool* anomalo = nullptr,
                      bool podar = true) {
  Red red{grafo_de(h, podar), {}};
  prueba::RecorridoLiteral recorrido(h.hoja, red.grafo, guarda);
  red.tabla = recorrido.ejecuta();
  if (anomalo) *anomalo = recorrido.anomalo;
  if (!recorrido.anomalo) completa(h.hoja, red);
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
                                              " 2  3 ",
                                              "Tramos pasados por alto : 0 "}));

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
// 300° (a turn of 240°) rather than to the one at 60° (120°); of two arcs leaving in the same
// direction the higher-numbered one is taken.
TEST(Poligonos, GiroMasCerradoYEmpateAlTramoMayor) {
  const V sur{0, -1000, 0}, centro{0, 0, 0}, a60{866, 500, 0}, a300{-866, 500, 0};
  ConstructorBin b;
  b.c("100", {sur, centro}).c("100", {centro, a60}).c("100", {centro, a300});
  b.c("100", {a60, a300}).c("100", {a300, sur}).c("100", {sur, a60});
  const prueba::HojaDibujada h = prueba::hoja_dibujada(b);
  GrafoTopologico g = grafo_de(h, true);
  EXPECT_NEAR(calcula_angulo(h.hoja, g.tramo(1), false, g.tramo(3), false), 4 * kPi / 3, 1e-3);
  EXPECT_NEAR(calcula_angulo(h.hoja, g.tramo(1), false, g.tramo(2), false), 2 * kPi / 3, 1e-3);
  const Red red = construye(h);
  EXPECT_EQ(arcos(red.tabla, 1), (std::vector<std::int32_t>{1, 3, 5}));

  ConstructorBin c;  // arcs 2 and 3 leave the centre along the same first segment
  c.c("100", {sur, centro}).c("100", {centro, {500, 0, 0}, {900, 300, 0}});
  c.c("100", {centro, {250, 0, 0}, {900, -300, 0}}).c("100", {{900, 300, 0}, {900, -300, 0}});
  c.c("100", {{900, -300, 0}, sur}).c("100", {{900, 300, 0}, {-900, 300, 0}, sur});
  const Red empate = construye(prueba::hoja_dibujada(c));
  EXPECT_EQ(arcos(empate.tabla, 1)[1], 3);
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

// A boundary digitised twice, and an arc that leaves a node along another's first segment:
// every closed polygon is still a ring.
TEST(Poligonos, TramosDuplicadosSePasanPorAltoYLosAnillosSiguenContinuos) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {0, 1000, 0}, {1000, 1000, 0}})
      .c("100", {{1000, 1000, 0}, {1000, 0, 0}, {0, 0, 0}})
      .c("100", {{0, 0, 0}, {0, 1000, 0}, {1000, 1000, 0}})  // a copy of arc 1
      .c("100", {{1000, 1000, 0}, {1000, 500, 0}, {2000, 500, 0}, {2000, 0, 0}, {1000, 0, 0}})
      .c("100", {{1000, 0, 0}, {1500, 0, 0}, {1800, -700, 0}, {0, 0, 0}});  // overlaps at start
  const prueba::HojaDibujada hoja = prueba::hoja_dibujada(b);
  const Red red = construye(hoja);
  anillos_continuos(red, "duplicados");
  iguales(red, construye_literal(hoja, true), "duplicados");
}

// The stars give the tables of the scans, on clean and damaged random networks, pruned and not,
// and closed polygons are rings on all of them. Where the unguarded walk never re-walks an arc
// nor has to stop a polygon open, the program's walk gives exactly its result; where it does
// (copied or overlapping arcs, bridges, dead ends), the program passes over the arcs walked.
TEST(Poligonos, IndexadoIgualQueLiteralEnRedesAleatorias) {
  int sanas = 0, con_pasados = 0, envolventes = 0;
  for (std::uint64_t semilla = 1; semilla <= 160; ++semilla) {
    const bool danada = semilla % 3 == 0;
    const prueba::HojaDibujada hoja =
        prueba::red_aleatoria(semilla, {3 + int(semilla % 5), 3 + int(semilla % 4), danada});
    for (const bool podar : {true, false}) {
      const std::string que = "semilla " + std::to_string(semilla) + (podar ? "" : " sin poda");
      const Red red = construye(hoja, podar);
      anillos_continuos(red, que);
      iguales(red, construye_literal(hoja, true, nullptr, podar), que);
      con_pasados += !red.tabla.pasados.empty();
      bool anomalo = false;
      const Red sin_guarda = construye_literal(hoja, false, &anomalo, podar);
      if (!anomalo) {
        ++sanas;
        iguales(red, sin_guarda, que + " sin guarda");
      }
      for (const ResumenPoligono& r : red.tabla.resumen) envolventes += r.sentido;
    }
  }
  EXPECT_GT(sanas, 50);
  EXPECT_GT(con_pasados, 10);
  EXPECT_GT(envolventes, 300);
}
