#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "topologia/geometria_exacta.h"

using namespace telmora;

namespace {

__extension__ typedef __int128 Nativo128;

int signo128(Nativo128 v) {
  return (v > 0) - (v < 0);
}

}  // namespace

// Products and sums of coordinates anywhere in the 32-bit range against 128-bit arithmetic:
// the sign of a difference of products, and the doubled area of rings with vertices at the
// extremes, whatever vertex they start at.
TEST(GeometriaExacta, ProductosYAreasEnTodoElRangoDeCoordenadas) {
  std::mt19937_64 azar(7);
  std::uniform_int_distribution<std::int32_t> coordenada(INT32_MIN, INT32_MAX);
  auto diferencia = [&] { return std::int64_t{coordenada(azar)} - coordenada(azar); };
  for (int k = 0; k < 20000; ++k) {
    const std::int64_t a = diferencia(), b = diferencia(), c = k % 3 == 0 ? a : diferencia(),
                       d = k % 3 == 0 ? b : diferencia();
    ASSERT_EQ(signo_diferencia_productos(a, b, c, d), signo128(Nativo128{a} * b - Nativo128{c} * d))
        << a << " " << b << " " << c << " " << d;
  }
  for (int k = 0; k < 500; ++k) {
    std::vector<Vertice> anillo(3 + k % 6);
    for (Vertice& v : anillo) v = {coordenada(azar), coordenada(azar), 0};
    anillo.push_back(anillo.front());
    Nativo128 esperada = 0;
    AreaDoble area, girada;
    for (std::size_t i = 1; i < anillo.size(); ++i) {
      esperada +=
          (Nativo128{anillo[i - 1].y} + anillo[i].y) * (Nativo128{anillo[i].x} - anillo[i - 1].x);
      area.anade_lado(anillo[i - 1], anillo[i]);
    }
    for (std::size_t i = 1; i < anillo.size(); ++i) {
      const std::size_t j = (i + k) % (anillo.size() - 1), siguiente = j + 1;
      girada.anade_lado(anillo[j], anillo[siguiente]);
    }
    ASSERT_EQ(area.signo(), signo128(esperada));
    ASSERT_EQ(area.valor(), static_cast<double>(esperada));
    ASSERT_EQ(girada.valor(), area.valor());
  }
}

// Directions in clockwise order from north, and from any other direction: against their angles,
// where those are far enough apart for doubles to tell.
TEST(GeometriaExacta, OrdenHorarioDeLasDirecciones) {
  const Direccion norte{0, 1}, este{5, 0}, sur{0, -3}, oeste{-1, 0};
  EXPECT_EQ(compara_azimut(norte, este), -1);
  EXPECT_EQ(compara_azimut(sur, este), 1);
  EXPECT_EQ(compara_azimut(oeste, sur), 1);
  EXPECT_EQ(compara_azimut({0, 7}, norte), 0);
  EXPECT_EQ(compara_giro_horario(sur, sur, norte), -1);  // the origin itself comes first
  EXPECT_EQ(compara_giro_horario(sur, oeste, este), -1);
  std::mt19937_64 azar(3);
  std::uniform_int_distribution<std::int64_t> componente(-(std::int64_t{1} << 32),
                                                         std::int64_t{1} << 32);
  auto giro = [](Direccion origen, Direccion d) {
    const double a = std::atan2(double(origen.dx), double(origen.dy));
    double g = std::atan2(double(d.dx), double(d.dy)) - a;
    while (g < 0) g += 2 * std::numbers::pi;
    while (g >= 2 * std::numbers::pi) g -= 2 * std::numbers::pi;
    return g;
  };
  for (int k = 0; k < 20000; ++k) {
    const Direccion o{componente(azar), componente(azar)}, a{componente(azar), componente(azar)},
        b{componente(azar), componente(azar)};
    const double ga = giro(o, a), gb = giro(o, b);
    if (std::fabs(ga - gb) < 1e-6 ||
        std::min({ga, gb, 2 * std::numbers::pi - ga, 2 * std::numbers::pi - gb}) < 1e-6)
      continue;
    ASSERT_EQ(compara_giro_horario(o, a, b), ga < gb ? -1 : 1);
  }
}

// A point against rings spanning the whole coordinate range, a ring that runs along a bridge
// both ways and one pinched at a node; a point on an edge shared by two rings lies in one only.
TEST(GeometriaExacta, PuntoEnAnillo) {
  const std::int32_t m = INT32_MIN, M = INT32_MAX;
  const std::vector<Vertice> grande{{m, m, 0}, {M, m, 0}, {M, M, 0}, {m, M, 0}, {m, m, 0}};
  EXPECT_TRUE(punto_en_anillo(0, 0, grande));
  EXPECT_TRUE(punto_en_anillo(M - 1, M - 1, grande));
  const std::vector<Vertice> diagonal{{m, m, 0}, {M, M, 0}, {m, M, 0}, {m, m, 0}};
  EXPECT_TRUE(punto_en_anillo(-5, 5, diagonal));
  EXPECT_FALSE(punto_en_anillo(5, -5, diagonal));
  // A square with a bridge from its corner to a square hole: the hole and the bridge's ends
  // are outside, the rest of the square inside, level with the bridge too.
  const std::vector<Vertice> puente{{0, 0, 0},   {100, 0, 0}, {100, 100, 0}, {0, 100, 0},
                                    {0, 0, 0},   {40, 40, 0}, {40, 60, 0},   {60, 60, 0},
                                    {60, 40, 0}, {40, 40, 0}, {0, 0, 0}};
  EXPECT_FALSE(punto_en_anillo(50, 50, puente));
  EXPECT_TRUE(punto_en_anillo(80, 50, puente));
  EXPECT_TRUE(punto_en_anillo(30, 20, puente));
  EXPECT_TRUE(punto_en_anillo(10, 20, puente));
  // Two triangles pinched at (50, 50): level with the pinch, left and right of it.
  const std::vector<Vertice> ocho{{50, 50, 0},   {0, 0, 0},   {0, 100, 0}, {50, 50, 0},
                                  {100, 100, 0}, {100, 0, 0}, {50, 50, 0}};
  EXPECT_TRUE(punto_en_anillo(20, 50, ocho));
  EXPECT_TRUE(punto_en_anillo(80, 50, ocho));
  EXPECT_FALSE(punto_en_anillo(50, 90, ocho));
  const std::vector<Vertice> izquierda{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}, {0, 0, 0}};
  const std::vector<Vertice> derecha{{10, 0, 0}, {20, 0, 0}, {20, 10, 0}, {10, 10, 0}, {10, 0, 0}};
  for (const std::int32_t y : {0, 3, 10}) {
    EXPECT_EQ(int(punto_en_anillo(10, y, izquierda)) + int(punto_en_anillo(10, y, derecha)),
              y == 10 ? 0 : 1)
        << y;
  }
}
