#include <gtest/gtest.h>

#include <random>

#include "depuracion/pares_segmentos.h"
#include "depuracion/pdobles.h"
#include "pdobles_literal.h"

using namespace telmora;

namespace {

std::vector<Vertice> linea(std::initializer_list<Vertice> vertices) {
  return vertices;
}

Limpieza limpia(const std::vector<Vertice>& leidos, std::int32_t xy, std::int32_t z,
                std::vector<Vertice>& limpios) {
  return limpia_puntos_dobles(leidos, {xy, z}, limpios);
}

// A long element that keeps coming back near where it has been: a walk on a lattice as fine as
// the tolerance, with returns to earlier vertices (exactly or a little off), repeated vertices and
// now and then a jump across the whole area, so that segments touch, coincide and cross often.
std::vector<Vertice> elemento_aleatorio(std::mt19937_64& azar, int vertices) {
  auto entero = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
  std::vector<Vertice> v{{5000, 5000, 0}};
  while (static_cast<int>(v.size()) < vertices) {
    const Vertice& u = v.back();
    const int caso = entero(0, 99);
    if (caso < 10 && v.size() > 2) {
      Vertice previo = v[static_cast<std::size_t>(entero(0, int(v.size()) - 2))];
      previo.x += entero(0, 1) * entero(-12, 12);
      v.push_back(previo);
    } else if (caso < 13) {
      v.push_back(u);
    } else if (caso < 15) {
      v.push_back({entero(0, 1000) * 10, entero(0, 1000) * 10, entero(0, 50)});
    } else {
      v.push_back({u.x + 10 * entero(-8, 8), u.y + 10 * entero(-8, 8), entero(0, 50)});
    }
  }
  return v;
}

}  // namespace

TEST(PuntosDobles, ComparacionesEstrictasConElVerticeLeidoAntes) {
  std::vector<Vertice> limpios;
  // Within 10 on both axes and within 5 in height: a double point.
  Limpieza l = limpia(linea({{100, 100, 0}, {109, 95, 4}}), 10, 5, limpios);
  EXPECT_EQ(limpios, linea({{100, 100, 0}}));
  EXPECT_EQ(l.eliminados, 1);
  EXPECT_TRUE(l.cambiada);
  // 10 away is not within a tolerance of 10.
  l = limpia(linea({{100, 100, 0}, {110, 100, 0}}), 10, 5, limpios);
  EXPECT_EQ(limpios.size(), 2u);
  EXPECT_FALSE(l.cambiada);
  // Each vertex is compared with the one read before it, kept or not: the whole run goes.
  l = limpia(linea({{0, 0, 0}, {8, 0, 0}, {16, 0, 0}, {24, 0, 0}, {500, 0, 0}}), 10, 5, limpios);
  EXPECT_EQ(limpios, linea({{0, 0, 0}, {500, 0, 0}}));
  EXPECT_EQ(l.eliminados, 3);
  // Tolerances of 0 find nothing, not even a repeated vertex; nor does a Z tolerance of 0, which
  // leaves vertices at the same height where they are.
  l = limpia(linea({{7, 7, 7}, {7, 7, 7}}), 0, 0, limpios);
  EXPECT_FALSE(l.cambiada);
  l = limpia(linea({{7, 7, 7}, {7, 7, 7}, {900, 7, 7}}), 10, 0, limpios);
  EXPECT_FALSE(l.cambiada);
}

TEST(PuntosDobles, UnEscalonVerticalApartaElVerticeBajo) {
  std::vector<Vertice> limpios;
  // The later vertex is higher: the earlier one goes back 20 along the segment into it.
  Limpieza l =
      limpia(linea({{0, 0, 0}, {1000, 0, 0}, {1003, 0, 50}, {2000, 0, 50}}), 10, 5, limpios);
  EXPECT_EQ(limpios, linea({{0, 0, 0}, {980, 0, 0}, {1003, 0, 50}, {2000, 0, 50}}));
  EXPECT_EQ(l.eliminados, 0);
  EXPECT_TRUE(l.cambiada);
  // The later vertex is lower: it goes 20 on towards the vertex after it (here to the north-east,
  // 20·sin 45° = 14.14 on each axis).
  l = limpia(linea({{0, 0, 50}, {1000, 0, 50}, {1003, 0, 0}, {2003, 1000, 0}}), 10, 5, limpios);
  EXPECT_EQ(limpios, linea({{0, 0, 50}, {1000, 0, 50}, {1017, 14, 0}, {2003, 1000, 0}}));
  EXPECT_TRUE(l.cambiada);
  // The first vertex has no segment into it and stays where it is; so does the last one, which
  // has no vertex after it: an element whose ends make a step keeps both.
  for (const auto& escalon : {linea({{0, 0, 0}, {3, 0, 50}, {1000, 0, 50}}),
                              linea({{0, 0, 50}, {1000, 0, 50}, {1003, 0, 0}}),
                              linea({{0, 0, 50}, {3, 0, 0}}), linea({{0, 0, 0}, {3, 0, 50}})}) {
    l = limpia(escalon, 10, 5, limpios);
    EXPECT_FALSE(l.cambiada) << escalon.size();
    EXPECT_EQ(l.eliminados, 0);
  }
}

TEST(Segmentos, IdaYVueltaOchoYSemilazo) {
  ParesSegmentos pares;
  // Out and back along itself: two pairs of coinciding segments, each giving both end points of
  // its first segment; the turn at (1000, 1000) also falls on the segment after next.
  ErroresPdobles e;
  revisa_segmentos(
      linea({{0, 1000, 0}, {1000, 1000, 1}, {2000, 1000, 2}, {1000, 1000, 3}, {0, 1000, 4}}), 10,
      pares, e);
  EXPECT_EQ(e.duplicados, linea({{0, 1000, 0}, {1000, 1000, 1}, {1000, 1000, 1}, {2000, 1000, 2}}));
  EXPECT_TRUE(e.lazos.empty());
  EXPECT_EQ(e.semilazos, linea({{1000, 1000, 1}}));

  // A figure eight crosses itself once, at (555.6, 444.4); the elevation is the mean of the two
  // segments' end vertices, 15.5, rounded to even.
  e = {};
  revisa_segmentos(linea({{0, 0, 0}, {1000, 800, 10}, {1000, 0, 0}, {0, 1000, 21}, {0, 0, 0}}), 10,
                   pares, e);
  EXPECT_TRUE(e.duplicados.empty());
  EXPECT_EQ(e.lazos, linea({{556, 444, 16}}));
  EXPECT_TRUE(e.semilazos.empty());

  // A vertex 3 away from the segment after next: a semi-loop at the foot, with its elevation. At
  // a tolerance of 2 it is not one.
  e = {};
  const auto semilazo = linea({{0, 0, 0}, {1000, 0, 7}, {1003, 300, 0}, {1003, -300, 0}});
  revisa_segmentos(semilazo, 3, pares, e);
  EXPECT_EQ(e.semilazos, linea({{1003, 0, 7}}));
  e = {};
  revisa_segmentos(semilazo, 2, pares, e);
  EXPECT_TRUE(e.semilazos.empty());
}

TEST(Segmentos, LaRejillaDaLoMismoQueElDobleBucle) {
  std::mt19937_64 azar(14);
  ParesSegmentos pares;
  std::size_t duplicados = 0, lazos = 0, semilazos = 0;
  for (int caso = 0; caso < 60; ++caso) {
    const int n = std::uniform_int_distribution<int>(2, 700)(azar);
    const auto v = elemento_aleatorio(azar, n);
    std::vector<std::pair<std::int32_t, std::int32_t>> vistos;
    pares.recorre(v, [&](std::int32_t k, std::int32_t m) { vistos.emplace_back(k, m); });
    ASSERT_EQ(vistos, prueba::pares_literales(v)) << "caso " << caso << ", " << n << " vértices";

    const std::int32_t tolerancia = caso % 3 == 0 ? 0 : 15;
    ErroresPdobles indexada, literal;
    revisa_segmentos(v, tolerancia, pares, indexada);
    prueba::revisa_segmentos_literal(v, tolerancia, literal);
    ASSERT_EQ(indexada.duplicados, literal.duplicados) << "caso " << caso;
    ASSERT_EQ(indexada.lazos, literal.lazos) << "caso " << caso;
    ASSERT_EQ(indexada.semilazos, literal.semilazos) << "caso " << caso;
    duplicados += literal.duplicados.size();
    lazos += literal.lazos.size();
    semilazos += literal.semilazos.size();
  }
  // The elements met every kind of fault many times.
  EXPECT_GT(duplicados, 1000u);
  EXPECT_GT(lazos, 1000u);
  EXPECT_GT(semilazos, 100u);
}

TEST(Marcador, CuadradoConMuescaDeMedioLado25VecesLaTolerancia) {
  std::string bytes;
  escribe_marcador(bytes, {1000, 2000, 35}, kCodigoLazo, 10);
  ASSERT_EQ(bytes.size(), 48u + 6 * 12);
  const Cabecera c = lee_cabecera(bytes.data());
  EXPECT_EQ(std::string(c.codigo_bruto()), std::string("60120\0\0", 7));
  EXPECT_EQ(c.tipo, 'C');
  EXPECT_EQ(c.estado, '=');
  EXPECT_EQ(c.num_atributos, 0);
  EXPECT_EQ(c.num_puntos, 6);
  const Rango r = lee_rango(bytes.data() + 12);
  EXPECT_EQ(std::vector<std::int32_t>(
                {r.xmin, r.ymin, r.zmin, r.xmax, r.ymax, r.zmax, r.septimo, r.octavo, r.noveno}),
            std::vector<std::int32_t>({975, 1975, 35, 1025, 2025, 35, 20, 6, 1957}));
  std::vector<Vertice> v;
  for (int k = 0; k < 6; ++k) v.push_back(lee_vertice(bytes.data() + 48 + 12 * k));
  EXPECT_EQ(v, linea({{975, 1975, 35},
                      {975, 2025, 35},
                      {1025, 2025, 35},
                      {1000, 2000, 35},
                      {1025, 1975, 35},
                      {975, 1975, 35}}));
  // Half sides of 2.5 and 7.5 are rounded to even.
  for (const auto& [tolerancia, medio] : {std::pair{1, 2}, std::pair{3, 8}}) {
    bytes.clear();
    escribe_marcador(bytes, {0, 0, 0}, kCodigoDuplicado, tolerancia);
    EXPECT_EQ(lee_rango(bytes.data() + 12).xmax, medio);
  }
}

TEST(Tolerancias, NumerosRedondeadosYTextosRechazados) {
  const ToleranciasPdobles t = lee_tolerancias(" 10,5 ", "2.5");
  EXPECT_EQ(t.xy, 10);  // halves to even
  EXPECT_EQ(t.z, 2);
  for (const auto& [xy, z] : {std::pair{"diez", "5"}, std::pair{"10", ""}, std::pair{"-1", "5"},
                              std::pair{"1e12", "5"}}) {
    EXPECT_THROW(lee_tolerancias(xy, z), ErrorTelmora) << xy << " " << z;
  }
  EXPECT_EQ(texto_tol_dist("10", 100), "Tol.Dist :0.141");
  EXPECT_EQ(texto_tol_dist("100", 1000), "Tol.Dist :0.141");
  EXPECT_EQ(texto_tol_dist("0", 100), "Tol.Dist :0");
  EXPECT_EQ(texto_tol_dist("", 100), "Tol.Dist :");
  EXPECT_EQ(texto_tol_dist("x", 100), "Tol.Dist :");
}
