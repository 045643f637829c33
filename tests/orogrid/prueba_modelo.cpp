// Loading of model files and the elevation lookup, on hand-built bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>

#include "constructor_mdt.h"

namespace prueba {
namespace {

// One triangle (0,0)-(100,0)-(0,100) whose plane rises from z0 at x = 0 to z100 at x = 100.
std::string rampa(std::int32_t z0, std::int32_t z100) {
  return modelo(100, {{0, 0, z0}, {100, 0, z100}, {0, 100, z0}}, {{1, 2, 3}}, cuadrado(0, 0, 100));
}

TEST(CargaMdt, LaFirmaTieneNueveBytes) {
  const std::string bueno = rampa(0, 100);
  ASSERT_TRUE(lee(bueno));
  for (std::size_t k = 0; k < 9; ++k) {
    std::string malo = bueno;
    malo[k] ^= 0x20;
    EXPECT_FALSE(lee(malo)) << "byte " << k;
  }
}

TEST(CargaMdt, UnTrianguloConUnVerticeFueraDe1aNNoCarga) {
  const std::vector<Vertice> tres = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
  EXPECT_TRUE(lee(modelo(100, tres, {{1, 2, 3}}, cuadrado(0, 0, 100))));
  for (std::int32_t malo : {0, 4, -1}) {
    EXPECT_FALSE(lee(modelo(100, tres, {{1, malo, 3}}, cuadrado(0, 0, 100)))) << malo;
  }
}

TEST(CargaMdt, LasCuentasQueNoCabenEnElFicheroNoCargan) {
  constexpr std::int32_t kEnorme = std::numeric_limits<std::int32_t>::max();
  const std::vector<Vertice> tres = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
  const std::vector<std::string> malos = {
      ConstructorMdt().entero(-1).bytes,
      ConstructorMdt().entero(kEnorme).vertice({0, 0, 0}).bytes,
      ConstructorMdt().vertices(tres).entero(-1).bytes,
      ConstructorMdt().vertices(tres).entero(1'000'000'000).ceros(100).bytes,
      ConstructorMdt().vertices(tres).entero(0).entero(kEnorme).ceros(100).bytes,
      ConstructorMdt().vertices(tres).entero(0).entero(2).entero(1).entero(2).entero(3).bytes,
  };
  for (const std::string& bytes : malos) EXPECT_FALSE(lee(bytes));
}

TEST(CargaMdt, ElBloqueOmitidoSeSalta) {
  const auto m = lee(ConstructorMdt(100)
                         .vertices({{0, 0, 0}, {100, 0, 100}, {0, 100, 0}})
                         .entero(2)
                         .ceros(24)
                         .triangulos({{1, 2, 3}})
                         .contorno(cuadrado(0, 0, 100))
                         .bytes);
  ASSERT_TRUE(m);
  EXPECT_EQ(cota(*m, 40, 10), 40);
}

// Cut before the boundary block the file does not load; cut inside it, it loads with an
// empty boundary, so no point has an elevation.
TEST(CargaMdt, UnFicheroCortadoEnCualquierPunto) {
  ConstructorMdt constructor(100);
  constructor.vertices({{0, 0, 0}, {100, 0, 100}, {0, 100, 0}}).entero(0).triangulos({{1, 2, 3}});
  const std::size_t inicio_contorno = constructor.bytes.size();
  const std::string entero = constructor.contorno(cuadrado(0, 0, 100)).bytes;
  for (std::size_t n = 0; n < entero.size(); ++n) {
    const auto m = lee(entero.substr(0, n));
    ASSERT_EQ(m.has_value(), n >= inicio_contorno) << n << " bytes";
    if (m) {
      EXPECT_FALSE(cota(*m, 40, 10)) << n << " bytes";
    }
  }
  EXPECT_EQ(cota(*lee(entero), 40, 10), 40);
}

TEST(CargaMdt, SinTriangulosOConUnContornoDeUnPuntoNadaTieneCota) {
  const auto sin_triangulos = lee(modelo(0, {}, {}, cuadrado(0, 0, 100)));
  ASSERT_TRUE(sin_triangulos);
  EXPECT_FALSE(cota(*sin_triangulos, 50, 50));
  const auto un_punto =
      lee(modelo(100, {{0, 0, 0}, {100, 0, 100}, {0, 100, 0}}, {{1, 2, 3}}, {{10, 10, 0}}));
  ASSERT_TRUE(un_punto);
  EXPECT_FALSE(un_punto->dentro_del_contorno(10, 10));
}

// The plane value plus 0.1, truncated toward zero: at (1, 1) the ramps below give 12.95,
// 12.85 and -3.5.
TEST(CotaMdt, SumaUnaDecimaYTruncaHaciaCero) {
  EXPECT_EQ(cota(*lee(rampa(13, 8)), 1, 1), 13);
  EXPECT_EQ(cota(*lee(rampa(13, -2)), 1, 1), 12);
  EXPECT_EQ(cota(*lee(rampa(-3, -53)), 1, 1), -3);
}

TEST(CotaMdt, UnVerticeDaSuCotaSinInterpolar) {
  // The plane would give -5 + 0.1 truncated, that is -4.
  const auto m =
      lee(modelo(80, {{10, 10, -5}, {90, 10, 7}, {10, 90, 7}}, {{1, 2, 3}}, cuadrado(0, 0, 100)));
  EXPECT_EQ(cota(*m, 10, 10), -5);
  EXPECT_EQ(cota(*m, 90, 10), 7) << "the far vertex of the widest triangle: x - xmin = W";
  EXPECT_FALSE(cota(*m, 80, 80)) << "inside the boundary but in no triangle";
}

TEST(CotaMdt, LasCoordenadasSeTruncanHaciaCero) {
  // The plane z = x.
  const std::vector<Vertice> v = {{-1000, 0, -1000}, {1000, 0, 1000}, {0, 1000, 0}};
  const auto m = lee(modelo(2000, v, {{1, 2, 3}}, {v[0], v[1], v[2], v[0]}));
  EXPECT_EQ(cota(*m, 100.9, 1.5), 100);
  EXPECT_EQ(cota(*m, -100.9, 1.5), -99);  // looked up at -100: -100 + 0.1 truncates to -99
}

// Two triangles on different planes share the diagonal of a square; its points are found
// whichever search runs: the local one from either triangle or the binary one.
TEST(CotaMdt, UnPuntoEnUnaAristaCompartida) {
  const auto m = lee(modelo(100, {{0, 0, 0}, {100, 0, 0}, {100, 100, 200}, {0, 100, 0}},
                            {{1, 2, 3}, {1, 3, 4}}, cuadrado(0, 0, 100)));
  for (std::int32_t ultimo_inicial : {0, 1, 7}) {
    std::int32_t ultimo = ultimo_inicial;
    EXPECT_EQ(m->cota(37, 37, ultimo), 74) << ultimo_inicial;
  }
}

TEST(CotaMdt, UnTrianguloSinAreaSoloRespondeEnSusVertices) {
  const auto m = lee(
      modelo(100, {{0, 0, 5}, {50, 50, 6}, {100, 100, 7}}, {{1, 2, 3}}, cuadrado(-10, -10, 120)));
  EXPECT_EQ(cota(*m, 50, 50), 6);
  EXPECT_FALSE(cota(*m, 25, 25));
}

// A wide triangle T0 on the plane z = x, from x = 0 to 1000, and a small flat one T1 at its
// right-hand corner, from x = 900. The model declares W = 150, less than T0's width: the
// searches must not reach T0 from points more than W right of its start.
std::string con_ancho_declarado(std::int32_t ancho) {
  return modelo(
      ancho, {{0, 0, 0}, {1000, 0, 1000}, {0, 1000, 0}, {900, 0, 5}, {1000, 0, 5}, {1000, 100, 5}},
      {{1, 2, 3}, {4, 5, 6}}, cuadrado(0, 0, 1000));
}

TEST(BusquedaMdt, ElCaminoHaciaAtrasTerminaAWDelPunto) {
  const auto honesto = lee(con_ancho_declarado(1000));
  const auto estrecho = lee(con_ancho_declarado(150));
  // (500, 100) lies in T0 only; the binary search starts at T1 and walks back.
  std::int32_t ultimo = 7;
  EXPECT_EQ(honesto->cota(500, 100, ultimo), 500);
  ultimo = 7;
  EXPECT_FALSE(estrecho->cota(500, 100, ultimo));
  // (920, 30) lies in T0 and in T1's X range: the local search from T1 goes down to T0 only
  // when W lets it.
  ultimo = 1;
  EXPECT_EQ(honesto->cota(920, 30, ultimo), 920);
  ultimo = 1;
  EXPECT_FALSE(estrecho->cota(920, 30, ultimo));
  EXPECT_EQ(ultimo, 1);
}

TEST(BusquedaMdt, LasBusquedasSoloPruebanLosTriangulosAlAlcanceDelPunto) {
  // A strip 10 high of 400 triangles, in pairs 10 wide along x. A point above the strip is in
  // none: each search gives up after the few triangles within W of it, not after the strip.
  std::vector<Vertice> vertices;
  std::vector<Triangulo> triangulos;
  for (std::int32_t k = 0; k <= 200; ++k) {
    vertices.push_back({10 * k, 0, k});
    vertices.push_back({10 * k, 10, k});
  }
  for (std::int32_t a = 1; a < 400; a += 2) {  // (10k, 0) is vertex a, (10k, 10) is a + 1
    triangulos.push_back({a, a + 2, a + 3});
    triangulos.push_back({a, a + 3, a + 1});
  }
  const auto m = lee(modelo(10, vertices, triangulos, cuadrado(0, 0, 2000)));
  ASSERT_TRUE(m);
  std::int32_t ultimo = 60;  // pair 30, from x = 300 to 310: the local search starts there
  EXPECT_EQ(m->cota(305, 5, ultimo), 30);
  auto probados = [&, antes = m->triangulos_probados()]() mutable {
    const std::int64_t ahora = m->triangulos_probados();
    return ahora - std::exchange(antes, ahora);
  };
  EXPECT_LE(probados(), 4);
  EXPECT_FALSE(m->cota(305, 50, ultimo));  // local search from pair 30
  EXPECT_LE(probados(), 6);
  ultimo = 1000000;  // no triangle to start from: the binary search
  EXPECT_FALSE(m->cota(1505, 50, ultimo));
  EXPECT_LE(probados(), 6);
}

TEST(ContornoMdt, FueraDeLaCajaDelContornoNoHayCota) {
  // The model covers twice the boundary: just right of the boundary's right edge the point
  // lies within a unit of it in X, but outside its box.
  const auto m = lee(
      modelo(2000, {{0, 0, 0}, {2000, 0, 2000}, {0, 2000, 0}}, {{1, 2, 3}}, cuadrado(0, 0, 100)));
  EXPECT_EQ(cota(*m, 100, 50), 100);
  EXPECT_FALSE(m->dentro_del_contorno(101, 50));
  EXPECT_FALSE(cota(*m, 101, 50));
}

// The closed polygon `abierto` with its first point repeated, starting at point `k`.
std::string contorno_desde(const std::vector<Vertice>& abierto, std::size_t k) {
  std::vector<Vertice> ps(abierto.begin() + k, abierto.end());
  ps.insert(ps.end(), abierto.begin(), abierto.begin() + k + 1);
  return modelo(0, {}, {}, ps);
}

TEST(ContornoMdt, UnaUnidadEnXDeUnLadoCuentaDentro) {
  const auto rombo = lee(contorno_desde({{0, -10, 0}, {10, 0, 0}, {0, 10, 0}, {-10, 0, 0}}, 0));
  EXPECT_TRUE(rombo->dentro_del_contorno(5, 5));  // on the side x + y = 10
  EXPECT_TRUE(rombo->dentro_del_contorno(6, 5));
  EXPECT_FALSE(rombo->dentro_del_contorno(7, 5));
}

// The ray from (-5, 0) toward growing X passes through the vertex (10, 0). In the rhombus
// the boundary crosses the ray there: one crossing, inside. In the notched square it only
// touches the ray from above: no crossing at the vertex, and the right side makes it inside.
// Every starting point of the polygon gives the same answer.
TEST(ContornoMdt, UnRayoPorUnVerticeCuentaUnaVezONinguna) {
  const std::vector<Vertice> rombo = {{0, -10, 0}, {10, 0, 0}, {0, 10, 0}, {-10, 0, 0}};
  const std::vector<Vertice> muesca = {{-20, -10, 0}, {20, -10, 0}, {20, 10, 0},
                                       {10, 0, 0},    {0, 10, 0},   {-20, 10, 0}};
  for (const auto& abierto : {rombo, muesca}) {
    for (std::size_t k = 0; k < abierto.size(); ++k) {
      EXPECT_TRUE(lee(contorno_desde(abierto, k))->dentro_del_contorno(-5, 0)) << k;
    }
  }
}

}  // namespace
}  // namespace prueba
