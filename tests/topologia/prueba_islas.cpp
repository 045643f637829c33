#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "red_aleatoria.h"
#include "texto.h"
#include "topologia_literal.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

struct Analisis {
  GrafoTopologico grafo;
  TablaPoligonos tabla;
  IslasTopologia islas;
};

Analisis analiza(const prueba::HojaDibujada& h, bool indexado = true) {
  const Hoja& hoja = h.hoja;
  Analisis a{CargoNodosTramos(hoja, h.dibujadas), {}, {}};
  CuentaNodosV1(a.grafo);
  RellenamosVReal(a.grafo);
  AnulaValencia1(a.grafo);
  ReCalculoTramos(a.grafo);
  a.tabla = proceso_recorrido(hoja, a.grafo);
  construye_recintos(hoja, a.grafo, 100, a.tabla);
  calculaAdyacencia(a.grafo, a.tabla);
  if (indexado) {
    BuscoIslas(a.tabla, a.islas);
    PoligonosComponentesIslas(a.grafo, a.tabla, a.islas);
    ChequeoCentroidesPoligonos(a.islas, a.tabla, a.grafo);
  } else {
    prueba::islas_literal(a.tabla, a.islas);
    prueba::componentes_literal(a.tabla, a.islas);
    prueba::centroides_literal(a.islas, a.tabla, a.grafo);
  }
  return a;
}

// The closed polygon whose ring holds the point and has this sense.
std::int32_t recinto_en(const Analisis& a, std::int32_t x, std::int32_t y, bool sentido) {
  std::int32_t ultimo = 0;
  for (const ResumenPoligono& r : a.tabla.resumen) {
    if (r.sentido == sentido && punto_en_poligono(x, y, a.tabla.vertices_de(r.NumPol)))
      ultimo = r.NumPol;
  }
  return ultimo;
}

}  // namespace

TEST(Islas, LaCaraQueEnvuelveUnaIslaConservaSuCentroide) {
  const prueba::HojaDibujada hoja = prueba::hoja_dibujada(prueba::dos_caras_con_isla(100));
  const Analisis a = analiza(hoja);
  const std::int32_t cara_a = recinto_en(a, 800, 800, false),
                     cara_b = recinto_en(a, 1500, 500, false);
  const std::int32_t cara_isla = recinto_en(a, 400, 400, false);
  const std::int32_t envolvente_isla = recinto_en(a, 400, 400, true);
  ASSERT_LT(cara_a, cara_isla);  // the enclosing face is checked first
  ASSERT_EQ(a.islas.islas.size(), 1u);
  EXPECT_EQ(a.islas.islas[0], (Isla{cara_a, envolvente_isla, 1, {cara_isla}}));

  EXPECT_EQ(a.tabla.resumen_de(cara_a).Puntero_Sup, 1);  // its own, not the island's
  EXPECT_EQ(a.tabla.resumen_de(cara_isla).Puntero_Sup, 2);
  EXPECT_EQ(a.tabla.resumen_de(cara_b).Puntero_Sup, kVariosPoligonos);
  EXPECT_EQ(a.grafo.textos[0].centroide, cara_a);
  EXPECT_EQ(a.grafo.textos[1].centroide, cara_isla);  // not the face around the island
  EXPECT_EQ(a.grafo.textos[2].centroide, cara_b);
  EXPECT_EQ(a.grafo.textos[3].centroide, cara_b);
  EXPECT_EQ(a.grafo.textos[4].centroide, 0);

  EXPECT_EQ(
      imprimeIslas(a.islas),
      (std::vector<std::string>{"*************Islas*************", "     Pol_ExternoPol_Interno",
                                (LineaListado() << 1 << cara_a << envolvente_isla).str()}));
  EXPECT_EQ(imprimeComponentesIslas(a.islas),
            (std::vector<std::string>{"******Poligonos componentes de Isla**********",
                                      "EnvolventeComponentes",
                                      (LineaListado() << envolvente_isla << cara_isla).str()}));
  // Face A is named by its text; across the divider lies B, named "+Pol".
  const auto adyacencia = imprimeAdyacencia(hoja.hoja, a.grafo, a.tabla);
  const std::int32_t poligono_a = a.tabla.poligono_de(cara_a);
  const auto cabecera =
      std::find(adyacencia.begin(), adyacencia.end(),
                (LineaListado() << "*" << poligono_a << "1"
                                << a.tabla.poligono(poligono_a).num_tramos << "CARA A" << 100)
                    .str());
  ASSERT_NE(cabecera, adyacencia.end());
  const std::int32_t poligono_b = a.tabla.poligono_de(cara_b);
  EXPECT_NE(std::find(cabecera, adyacencia.end(), (LineaListado() << poligono_b << "+Pol").str()),
            adyacencia.end());

  // The face under a point: inside the island the island's face, although the ring of the face
  // around it holds the point too; outside every face, 0.
  const LocalizadorPoligonos localizador(a.tabla);
  EXPECT_EQ(localizador.LocalizaPol(a.tabla, 400, 400), cara_isla);
  EXPECT_EQ(localizador.LocalizaPol(a.tabla, 1500, 900), cara_b);
  EXPECT_EQ(localizador.LocalizaPol(a.tabla, 3000, 3000), 0);
}

// A ring whose range touches the face's range on one side is not an island.
TEST(Islas, ElRangoDeLaIslaHaDeEstarEstrictamenteDentro) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}})
      .c("100", {{1000, 1000, 0}, {0, 1000, 0}, {0, 0, 0}})
      .c("100", {{200, 200, 0}, {600, 200, 0}, {600, 1000, 0}})  // reaches the face's ymax
      .c("100", {{600, 1000, 0}, {200, 1000, 0}, {200, 200, 0}});
  EXPECT_TRUE(analiza(prueba::hoja_dibujada(b)).islas.islas.empty());
}

// The grids give the islands, components, pointers, states and located faces of the scans.
TEST(Islas, IndexadoIgualQueLiteralEnRedesAleatorias) {
  std::size_t islas = 0, varios = 0, ninguno = 0;
  std::mt19937 azar(5);
  for (std::uint64_t semilla = 1; semilla <= 120; ++semilla) {
    const prueba::HojaDibujada hoja = prueba::red_aleatoria(
        semilla, {3 + int(semilla % 6), 3 + int(semilla % 5), semilla % 4 == 0});
    const Analisis a = analiza(hoja), l = analiza(hoja, false);
    const std::string que = "semilla " + std::to_string(semilla);
    ASSERT_EQ(a.islas.islas, l.islas.islas) << que;
    ASSERT_EQ(a.islas.componentes, l.islas.componentes) << que;
    ASSERT_EQ(a.tabla.resumen, l.tabla.resumen) << que;
    ASSERT_EQ(a.grafo.textos, l.grafo.textos) << que;
    const LocalizadorPoligonos localizador(a.tabla);
    for (int k = 0; k < 200; ++k) {
      const std::int32_t x = std::uniform_int_distribution<int>(-200, 7000)(azar);
      const std::int32_t y = std::uniform_int_distribution<int>(-200, 7000)(azar);
      ASSERT_EQ(localizador.LocalizaPol(a.tabla, x, y), prueba::localiza_literal(a.tabla, x, y))
          << que;
    }
    islas += a.islas.islas.size();
    for (const ResumenPoligono& r : a.tabla.resumen) {
      varios += r.Puntero_Sup == kVariosPoligonos;
      ninguno += !r.sentido && r.Puntero_Sup == 0;
    }
  }
  EXPECT_GT(islas, 50u);
  EXPECT_GT(varios, 50u);
  EXPECT_GT(ninguno, 50u);
}
