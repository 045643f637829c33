#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "entero_exacto.h"
#include "funciones.h"

using namespace telmora;

namespace {

std::vector<Vertice> cuadrado(std::int32_t x0, std::int32_t y0, std::int32_t lado) {
  return {
      {x0, y0, 0}, {x0 + lado, y0, 0}, {x0 + lado, y0 + lado, 0}, {x0, y0 + lado, 0}, {x0, y0, 0}};
}

}  // namespace

TEST(Geometria, AzimutDesdeElNorteEnSentidoHorario) {
  double largo = -1, angulo = -1;
  calcula_azimut(0, 0, 0, 0, largo, angulo);
  EXPECT_EQ(largo, 0);
  EXPECT_EQ(angulo, 0);
  calcula_azimut(0, 0, 10, 0, largo, angulo);
  EXPECT_DOUBLE_EQ(angulo, 0.5 * kPi);
  EXPECT_DOUBLE_EQ(largo, 10);
  calcula_azimut(0, 0, -10, 0, largo, angulo);
  EXPECT_DOUBLE_EQ(angulo, 1.5 * kPi);
  calcula_azimut(0, 0, 0, 5, largo, angulo);
  EXPECT_NEAR(angulo, 0, 1e-12);
  calcula_azimut(0, 0, 0, -5, largo, angulo);
  EXPECT_DOUBLE_EQ(angulo, kPi);
  calcula_azimut(0, 0, 1, 1, largo, angulo);
  EXPECT_NEAR(angulo, 0.25 * kPi, 1e-9);
  calcula_azimut(0, 0, -1, 1, largo, angulo);
  EXPECT_NEAR(angulo, 1.75 * kPi, 1e-9);

  double a = -0.5;
  normaliza_angulo(a);
  EXPECT_NEAR(a, kDosPi - 0.5, 1e-12);
  a = 3 * kDosPi + 1;
  normaliza_angulo(a);
  EXPECT_NEAR(a, 1, 1e-9);
}

TEST(Geometria, PuntoEnSegmentoConUnaUnidadDeRodeo) {
  EXPECT_TRUE(punto_en_segmento({50, 0.4}, {0, 0}, {100, 0}));
  EXPECT_FALSE(punto_en_segmento({50, 10}, {0, 0}, {100, 0}));
  EXPECT_FALSE(punto_en_segmento({101.5, 0}, {0, 0}, {100, 0}));
}

TEST(Geometria, InterseccionDeSegmentos) {
  Punto cruce;
  // Touching only at a shared end point: code 3, that point.
  EXPECT_EQ(interseccion_segmentos({0, 0}, {10, 10}, {10, 10}, {20, 0}, cruce), kExtremoComun);
  EXPECT_EQ(cruce, (Punto{10, 10}));
  EXPECT_EQ(interseccion_segmentos({0, 0}, {10, 10}, {0, 10}, {10, 0}, cruce), kCruce);
  EXPECT_NEAR(cruce.x, 5, 1e-9);
  EXPECT_NEAR(cruce.y, 5, 1e-9);
  // Lines that cross outside the segments.
  EXPECT_EQ(interseccion_segmentos({0, 0}, {1, 1}, {0, 10}, {10, 0}, cruce), kSinCruce);
  EXPECT_EQ(interseccion_segmentos({0, 0}, {10, 0}, {0, 5}, {10, 5}, cruce), kSinCruce);
  EXPECT_EQ(cruce, kPuntoParalelas);
  // A vertical segment at map coordinates crossing a horizontal one keeps its precision.
  EXPECT_EQ(interseccion_segmentos({44000000, 447000000}, {44000000, 447000100},
                                   {43999950, 447000050}, {44000050, 447000050}, cruce),
            kCruce);
  EXPECT_NEAR(cruce.x, 44000000, 1e-6);
  EXPECT_NEAR(cruce.y, 447000050, 1e-6);
  // Two vertical segments are parallel.
  EXPECT_EQ(interseccion_segmentos({5, 0}, {5, 10}, {5, 2}, {5, 5}, cruce), kSinCruce);
}

TEST(Geometria, RangosQueSeTocanSeSolapan) {
  EXPECT_TRUE(rango_contenido(10, 10, 0, 0, 20, 20, 10, 10));
  EXPECT_FALSE(rango_contenido(10, 10, 0, 0, 20, 20, 10.001, 0));
  Rango r;
  r.xmin = 0, r.ymin = 0, r.xmax = 10, r.ymax = 10;
  EXPECT_TRUE(punto_en_rango(10, 0, r));
  EXPECT_FALSE(punto_en_rango(11, 0, r));
}

TEST(Geometria, RangosQueCoincidenYSuEstado) {
  int estado = 7;
  EXPECT_TRUE(rangos_coinciden({1, 2, 3, 4}, {1, 2, 3, 4}, 0, estado));
  EXPECT_EQ(estado, 0);
  EXPECT_TRUE(rangos_coinciden({1, 2, 3, 4}, {2, 2, 3, 4}, 1.5, estado));
  EXPECT_EQ(estado, 2);
  estado = 7;
  EXPECT_FALSE(rangos_coinciden({1, 2, 3, 4}, {2, 2, 3, 4}, 1, estado));
  EXPECT_EQ(estado, 7);
}

TEST(Geometria, PuntoEnPoligono) {
  const auto c = cuadrado(0, 0, 100);
  EXPECT_TRUE(punto_en_poligono(50, 50, c));
  EXPECT_FALSE(punto_en_poligono(150, 50, c));
  EXPECT_FALSE(punto_en_poligono(50, 150, c));
  // A crossing at the point's own x counts on the left: the left edge is inside, the right
  // edge outside.
  EXPECT_TRUE(punto_en_poligono(0, 50, c));
  EXPECT_FALSE(punto_en_poligono(100, 50, c));
  // A horizontal line through a vertex shared by two edges counts it once.
  const std::vector<Vertice> rombo{{0, 50, 0}, {50, 0, 0}, {100, 50, 0}, {50, 100, 0}, {0, 50, 0}};
  EXPECT_TRUE(punto_en_poligono(50, 50, rombo));
}

TEST(Geometria, PuntoInteriorDeUnPoligono) {
  // A U shape whose range centre falls in the notch.
  const std::vector<Vertice> u{{0, 0, 0},     {300, 0, 0},   {300, 300, 0},
                               {200, 300, 0}, {200, 100, 0}, {100, 100, 0},
                               {100, 300, 0}, {0, 300, 0},   {0, 0, 0}};
  double x = 150, y = 200;
  EXPECT_TRUE(punto_interior_poligono(x, y, u));
  EXPECT_TRUE(punto_en_poligono(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), u));
  x = 150, y = 50;
  EXPECT_TRUE(punto_interior_poligono(x, y, u));
  EXPECT_EQ(x, 150);  // already inside
  x = 150, y = 900;
  EXPECT_FALSE(punto_interior_poligono(x, y, u));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(Geometria, RangoEInterpolacionDeCotas) {
  Rango r;
  r.septimo = 20;
  calcula_rango_entidad(r, std::vector<Vertice>{{5, 6, 7}, {1, 9, 3}});
  EXPECT_EQ(r.xmin, 1);
  EXPECT_EQ(r.ymax, 9);
  EXPECT_EQ(r.zmin, 3);
  EXPECT_EQ(r.septimo, 20);
  // Elevations below 0 or above 1,000,000,000: only the real range holds them.
  const std::vector<Vertice> extremos{{5, 6, -7}, {1, 9, -3}, {2, 2, -5}};
  calcula_rango_entidad(r, extremos);
  EXPECT_EQ(r.zmax, 0);
  rango_real(r, extremos);
  EXPECT_EQ(r, (Rango{1, 2, -7, 5, 9, -3, 20, 0, 0}));
  rango_real(r, std::vector<Vertice>{{1, 1, 2000000000}});
  EXPECT_EQ(r, (Rango{1, 1, 2000000000, 1, 1, 2000000000, 20, 0, 0}));
  EXPECT_DOUBLE_EQ(interpola_cota(100, 0, 0, 200, 10, 0, 2.5, 0), 125);
  // The cut point in metres of a centimetre file.
  EXPECT_DOUBLE_EQ(interpola_cota_corte({0, 0, 1000}, {1000, 0, 2000}, 5, 0, 100), 15);
}

TEST(Ordenacion, LasOrdenacionesSonEstables) {
  std::vector<RegistroCorte> cortes{{2, {}, 5}, {1, {}, 9}, {2, {}, 1}};
  ordena_cortes(cortes);
  EXPECT_EQ(cortes[0].entidad, 1);
  EXPECT_EQ(cortes[1].numero_vertice, 1);
  EXPECT_EQ(cortes[2].numero_vertice, 5);
  std::vector<RegistroClave> claves{{1, 2.0, 0}, {2, 1.0, 0}, {3, 2.0, 0}};
  ordena_por_clave(claves);
  EXPECT_EQ(claves[0].entero, 2);
  EXPECT_EQ(claves[1].entero, 1);
  EXPECT_EQ(claves[2].entero, 3);
}

// The two-word integer against the compiler's 128-bit one where there is one, on values at and
// around every edge of the 64-bit range; and the geometric quantities at the corners of the
// 32-bit plane, where they need more than 64 bits.
TEST(EnteroExacto, ProductosSumasYComparacionesExactos) {
  const Entero128 diagonal = distancia2_exacta(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_EQ(diagonal.alto(), 1);
  EXPECT_EQ(diagonal.bajo(), 18446744056529682434u);  // 2 (2^32 - 1)^2 = 2^65 - 2^34 + 2
  EXPECT_EQ(producto_vectorial(INT32_MIN, INT32_MIN, 0, 0, INT32_MAX, INT32_MAX).signo(), 0);
  EXPECT_EQ(
      producto_vectorial(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX).signo(),
      1);
  EXPECT_LT(Entero128::producto(INT64_MIN, INT64_MAX), Entero128(INT64_MIN));
  EXPECT_EQ(Entero128::producto(INT64_MIN, INT64_MIN).alto(), std::int64_t{1} << 62);
#ifdef __SIZEOF_INT128__
  std::mt19937_64 azar(28);
  const std::int64_t bordes[] = {INT64_MIN,
                                 INT64_MIN + 1,
                                 -1,
                                 0,
                                 1,
                                 INT64_MAX,
                                 INT32_MIN,
                                 INT32_MAX,
                                 std::int64_t{1} << 32,
                                 -(std::int64_t{1} << 32)};
  auto valor = [&] {
    const auto r = azar();
    return r % 3 == 0 ? bordes[r / 3 % std::size(bordes)] : static_cast<std::int64_t>(azar());
  };
  auto igual = [](Entero128 a, __int128 b) {
    return a.alto() == static_cast<std::int64_t>(b >> 64) &&
           a.bajo() == static_cast<std::uint64_t>(b);
  };
  for (int i = 0; i < 20000; ++i) {
    const std::int64_t a = valor(), b = valor(), c = valor(), d = valor();
    const Entero128 p = Entero128::producto(a, b), q = Entero128::producto(c, d);
    const __int128 pp = __int128{a} * b, qq = __int128{c} * d;
    ASSERT_TRUE(igual(p, pp)) << a << " " << b;
    ASSERT_EQ(p < q, pp < qq);
    ASSERT_EQ(p == q, pp == qq);
    ASSERT_EQ((p - q).signo(), pp > qq ? 1 : (pp < qq ? -1 : 0));
    ASSERT_NEAR(p.a_double(), static_cast<double>(pp), std::fabs(static_cast<double>(pp)) * 1e-15);
    // Sums of halved products stay within the 128-bit range.
    ASSERT_TRUE(igual(Entero128::producto(a, b / 2) + Entero128::producto(c, d / 2),
                      __int128{a} * (b / 2) + __int128{c} * (d / 2)));
  }
#endif
}

// Segments across the whole 32-bit plane, where a coordinate difference needs 33 bits and a
// product of two differences 65: the crossing, the distance, the clipping and the elevation
// along the segment are still right.
TEST(Geometria, SegmentosDeUnaEsquinaAOtraDelPlano) {
  constexpr double kMin = INT32_MIN, kMax = INT32_MAX;
  struct Caso {
    Punto a, b, c, d;
    int codigo;
    Punto cruce;
  };
  const Caso casos[] = {
      // The two diagonals of the plane.
      {{kMin, kMin}, {kMax, kMax}, {kMin, kMax}, {kMax, kMin}, kCruce, {-0.5, -0.5}},
      // Both axes, the vertical one through the slope that stands in for a zero difference.
      {{kMin, 0}, {kMax, 0}, {0, kMin}, {0, kMax}, kCruce, {0, 0}},
      // Nearly parallel, one unit apart at the ends: they cross in the middle.
      {{kMin, 0}, {kMax, 1}, {kMin, 1}, {kMax, 0}, kCruce, {-0.5, 0.5}},
      // A corner shared.
      {{kMin, kMin}, {kMax, kMax}, {kMax, kMax}, {kMax, kMin}, kExtremoComun, {kMax, kMax}},
      // Parallel, one unit apart; and overlapping on one line.
      {{kMin, kMin}, {kMax, kMax - 1}, {kMin, kMin + 1}, {kMax, kMax}, kSinCruce, kPuntoParalelas},
      {{kMin, kMin}, {0, 0}, {-1, -1}, {kMax, kMax}, kSinCruce, kPuntoParalelas},
  };
  const Marco plano{kMin, kMin, kMax, kMax};
  for (const Caso& caso : casos) {
    SCOPED_TRACE(::testing::Message()
                 << caso.a.x << "," << caso.a.y << " " << caso.b.x << "," << caso.b.y);
    Punto cruce;
    EXPECT_EQ(interseccion_segmentos(caso.a, caso.b, caso.c, caso.d, cruce), caso.codigo);
    EXPECT_EQ(cruce, caso.cruce);

    const auto exacta = distancia2_exacta(std::int32_t(caso.a.x), std::int32_t(caso.a.y),
                                          std::int32_t(caso.b.x), std::int32_t(caso.b.y));
    EXPECT_DOUBLE_EQ(distancia_puntos(caso.a.x, caso.a.y, caso.b.x, caso.b.y),
                     std::sqrt(exacta.a_double()));
    double t0 = -1, t1 = -1;
    ASSERT_TRUE(recorta_segmento(caso.a, caso.b, plano, t0, t1));
    EXPECT_EQ(t0, 0);
    EXPECT_EQ(t1, 1);
    // Halfway along, halfway up.
    EXPECT_DOUBLE_EQ(interpola_cota(0, caso.a.x, caso.a.y, 1000, caso.b.x, caso.b.y,
                                    (caso.a.x + caso.b.x) / 2, (caso.a.y + caso.b.y) / 2),
                     500);
  }
}
