#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "rejilla_tolerancia.h"

using namespace telmora;

namespace {

struct Punto {
  std::int32_t x, y;
  int numero;
};

using Parejas = std::multiset<std::pair<int, int>>;

// Every pair of points within the radius on both axes: each point against those after it in x
// order while they are near enough in x.
Parejas todas_las_parejas(std::vector<Punto> puntos, std::int64_t radio) {
  std::sort(puntos.begin(), puntos.end(), [](const Punto& a, const Punto& b) { return a.x < b.x; });
  Parejas parejas;
  for (std::size_t a = 0; a < puntos.size(); ++a) {
    for (std::size_t b = a + 1;
         b < puntos.size() && std::int64_t{puntos[b].x} - puntos[a].x <= radio; ++b) {
      if (std::abs(std::int64_t{puntos[a].y} - puntos[b].y) <= radio)
        parejas.insert(std::minmax(puntos[a].numero, puntos[b].numero));
    }
  }
  return parejas;
}

Parejas parejas_por_franjas(const std::vector<Punto>& puntos, const MallaTolerancia& malla) {
  Parejas parejas;
  parejas_cercanas<Punto>(
      [&](auto&& anade) {
        for (const Punto& p : puntos) anade(p);
      },
      malla,
      [&](const Punto& a, const Punto& b) { parejas.insert(std::minmax(a.numero, b.numero)); });
  return parejas;
}

}  // namespace

TEST(RejillaTolerancia, LaCeldaEsElCocienteRedondeadoHaciaAbajo) {
  for (const double tolerancia : {0.0, 0.5, 1.0, 50.0, 50.5, 12345.0, 1e10}) {
    const MallaTolerancia malla(tolerancia);
    for (const std::int64_t valor :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{-1}, malla.lado, -malla.lado,
          malla.lado - 1, -malla.lado - 1, std::int64_t{INT32_MAX} + malla.radio,
          std::int64_t{INT32_MIN} - malla.radio, std::int64_t{44012345}, std::int64_t{-7}}) {
      std::int64_t esperada = valor / malla.lado;
      if (valor % malla.lado != 0 && valor < 0) --esperada;
      EXPECT_EQ(malla.celda(valor), esperada) << tolerancia << " " << valor;
    }
  }
}

TEST(RejillaTolerancia, LasParejasCercanasSonLasDeCompararTodasConTodas) {
  std::mt19937_64 azar(11);
  auto entero = [&](std::int64_t a, std::int64_t b) {
    return static_cast<std::int32_t>(std::uniform_int_distribution<std::int64_t>(a, b)(azar));
  };
  int parejas = 0;
  for (int caso = 0; caso < 60; ++caso) {
    const double tolerancia = std::vector<double>{0, 3, 50.5, 200, 1e4}[caso % 5];
    const MallaTolerancia malla(tolerancia);
    // Clusters around a few centres, anywhere in the 32-bit plane, some far apart; now and then
    // one large enough to be dealt into several strips.
    std::vector<Punto> puntos;
    const int centros = entero(1, 6);
    for (int c = 0; c < centros; ++c) {
      const std::int32_t cx = entero(INT32_MIN / 2, INT32_MAX / 2);
      const std::int32_t cy =
          caso % 7 == 0 ? entero(-100, 100) : entero(INT32_MIN / 2, INT32_MAX / 2);
      const bool grande = caso % 4 == 0 && c == 0;
      const auto dispersion =
          static_cast<std::int32_t>((grande ? 300 : entero(0, 3)) * malla.lado + 2);
      for (int k = grande ? 60000 : entero(1, 150); k > 0; --k) {
        puntos.push_back({cx + entero(-dispersion, dispersion),
                          cy + entero(-dispersion, dispersion), static_cast<int>(puntos.size())});
      }
    }
    const Parejas esperadas = todas_las_parejas(puntos, malla.radio);
    ASSERT_EQ(parejas_por_franjas(puntos, malla), esperadas) << "caso " << caso;
    parejas += static_cast<int>(esperadas.size());
  }
  EXPECT_GT(parejas, 10000);

  // Enough points for many strips: a line of points one cell apart, each close to the next.
  const MallaTolerancia malla(10);
  std::vector<Punto> fila;
  for (int k = 0; k < 200000; ++k) fila.push_back({k * 10, (k % 3) * 5, k});
  const Parejas halladas = parejas_por_franjas(fila, malla);
  EXPECT_EQ(halladas.size(), 199999u);
  EXPECT_EQ(halladas.count({123456, 123457}), 1u);
}
