#include <gtest/gtest.h>

#include <cmath>

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
