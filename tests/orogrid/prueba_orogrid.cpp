// The library's exports, the model writer, and the indexed lookup against a scan of every
// triangle on generated models.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "carpeta_temporal.h"
#include "constructor_mdt.h"
#include "escritor_mdt.h"
#include "orogrid.h"

namespace prueba {
namespace {

// The exports hold one model for the whole process: each test starts without one.
class Orogrid : public ::testing::Test {
 protected:
  void SetUp() override { fnUnloadMDT(); }
  void TearDown() override { fnUnloadMDT(); }

  // A one-triangle model whose elevation is `z` everywhere.
  std::string plano(const std::string& nombre, std::int32_t z) {
    const auto bytes =
        modelo(100, {{0, 0, z}, {100, 0, z}, {0, 100, z}}, {{1, 2, 3}}, cuadrado(0, 0, 100));
    return carpeta.escribe(nombre, bytes).string();
  }

  CarpetaTemporal carpeta;
};

TEST_F(Orogrid, CargaConsultaYLiberacion) {
  ASSERT_EQ(fnOrogrid(plano("a.MDT", 25).c_str()), 0);
  EXPECT_EQ(fnGetZValue(20.5, 30.5), 25.0);
  EXPECT_EQ(fnGetZValue(90, 90), -1.0);
  EXPECT_EQ(fnUnloadMDT(), 1);
  EXPECT_EQ(fnGetZValue(20.5, 30.5), -1.0);
  EXPECT_EQ(fnUnloadMDT(), -1);
}

TEST_F(Orogrid, UnaCargaFallidaNoDejaModelo) {
  ASSERT_EQ(fnOrogrid(plano("a.MDT", 25).c_str()), 0);
  for (const auto& ruta : {carpeta / "no_existe.MDT", carpeta.ruta()}) {
    EXPECT_EQ(fnOrogrid(ruta.string().c_str()), -1);
    EXPECT_EQ(fnGetZValue(20, 30), -1.0);
  }
  EXPECT_EQ(fnOrogrid(nullptr), -1);
  EXPECT_EQ(fnUnloadMDT(), -1);
}

// The last-found triangle of a large model is kept across the reload; the small model has
// fewer triangles, so the search must not start there.
TEST_F(Orogrid, UnaRecargaSustituyeElModelo) {
  const auto grande = carpeta / "grande.MDT";
  orogrid::escribe_mdt_rejilla(grande, {0, 0, 1000, 1000}, 10, [](auto, auto) { return 300; });
  ASSERT_EQ(fnOrogrid(grande.string().c_str()), 0);
  EXPECT_EQ(fnGetZValue(995, 995), 300.0);
  ASSERT_EQ(fnOrogrid(plano("pequeno.MDT", 25).c_str()), 0);
  EXPECT_EQ(fnGetZValue(20, 30), 25.0);
}

TEST(EscritorMdt, OrdenaLosTriangulosYCierraElContorno) {
  CarpetaTemporal carpeta;
  const auto ruta = carpeta / "m.MDT";
  const std::vector<Vertice> v = {{0, 0, 1}, {50, 0, 2}, {50, 40, 3}, {0, 40, 4}, {130, 0, 5}};
  const std::vector<orogrid::TrianguloMdt> t = {{2, 5, 3}, {1, 3, 4}, {1, 2, 3}};
  orogrid::escribe_mdt(ruta, v, t, std::vector{v[0], v[4], v[2], v[3]});
  const std::string bytes = lee_bytes(ruta);
  // W, the widest triangle: (50,0)-(130,0)-(50,40).
  EXPECT_EQ(bytes.substr(33, 4), std::string("\x50\0\0\0", 4));
  const std::size_t puntos = 52 + 4 + 5 * 12 + 4 + 4 + 3 * 24 + 10;
  EXPECT_EQ(bytes[puntos], 5) << "four points and the closing one";
  EXPECT_EQ(bytes.substr(bytes.size() - 12), bytes.substr(bytes.size() - 60, 12));
  const auto m = lee(bytes);
  ASSERT_TRUE(m);
  const auto leidos = m->triangulos();
  ASSERT_EQ(leidos.size(), 3u);
  EXPECT_EQ(leidos[0].xmin, 0);
  EXPECT_EQ(leidos[0].b, 2) << "equal boxes keep the caller's order: 1, 3, 4 first";
  EXPECT_EQ(leidos[1].b, 1);
  EXPECT_EQ(leidos[2].xmin, 50);
}

TEST(EscritorMdt, LosFallosNombranLaCausa) {
  CarpetaTemporal carpeta;
  const std::vector<Vertice> v = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  const std::vector<orogrid::TrianguloMdt> malo = {{1, 2, 4}}, bueno = {{1, 2, 3}};
  EXPECT_THROW(orogrid::escribe_mdt(carpeta / "m.MDT", v, malo, {}), std::invalid_argument);
  const auto ruta = carpeta / "no_existe" / "m.MDT";
  try {
    orogrid::escribe_mdt(ruta, v, bueno, {});
    FAIL() << "written into a missing folder";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(ruta.string()), std::string::npos) << e.what();
  }
}

// The first triangle, in file order, that answers at (x, y).
std::optional<double> recorriendo_todos(const orogrid::ModeloMdt& m, std::int32_t x,
                                        std::int32_t y) {
  for (std::size_t i = 0; i < m.triangulos().size(); ++i) {
    if (auto z = m.cota_en_triangulo(static_cast<std::int32_t>(i), x, y)) return z;
  }
  return std::nullopt;
}

// A grid of 60 x 40 cells whose inner nodes are moved up to a quarter cell, so triangles
// differ in width and the writer has to sort them. Points on shared edges and vertices get
// the same elevation from every triangle that holds them, so the indexed lookup must give
// exactly what the scan gives at every point: vertices, edge midpoints, a pointer path that
// keeps the last-found triangle, and random points.
TEST(BusquedaMdt, DaLoMismoQueRecorrerTodosLosTriangulos) {
  constexpr std::int32_t kPaso = 100, kColumnas = 60, kFilas = 40;
  std::mt19937 azar(7);
  std::uniform_int_distribution<std::int32_t> mueve(-kPaso / 4, kPaso / 4), cota(-500, 900);
  std::vector<Vertice> vertices;
  for (std::int32_t i = 0; i <= kColumnas; ++i) {
    for (std::int32_t j = 0; j <= kFilas; ++j) {
      const bool borde = i == 0 || j == 0 || i == kColumnas || j == kFilas;
      vertices.push_back({i * kPaso + (borde ? 0 : mueve(azar)),
                          j * kPaso + (borde ? 0 : mueve(azar)), cota(azar)});
    }
  }
  std::vector<orogrid::TrianguloMdt> triangulos;
  const auto n = [](std::int32_t i, std::int32_t j) { return i * (kFilas + 1) + j + 1; };
  for (std::int32_t i = 0; i < kColumnas; ++i) {
    for (std::int32_t j = 0; j < kFilas; ++j) {
      triangulos.push_back({n(i, j), n(i + 1, j), n(i, j + 1)});
      triangulos.push_back({n(i + 1, j), n(i + 1, j + 1), n(i, j + 1)});
    }
  }
  CarpetaTemporal carpeta;
  orogrid::escribe_mdt(carpeta / "m.MDT", vertices, triangulos, {});
  const auto m = orogrid::ModeloMdt::lee_fichero(carpeta / "m.MDT");
  ASSERT_TRUE(m);

  std::vector<std::pair<std::int32_t, std::int32_t>> puntos;
  for (const Vertice& v : vertices) puntos.emplace_back(v.x, v.y);
  for (const auto& t : triangulos) {
    const Vertice& a = vertices[t.v1 - 1];
    const Vertice& b = vertices[t.v2 - 1];
    if ((a.x + b.x) % 2 == 0 && (a.y + b.y) % 2 == 0)
      puntos.emplace_back((a.x + b.x) / 2, (a.y + b.y) / 2);
  }
  std::uniform_int_distribution<std::int32_t> x(-10, kColumnas * kPaso + 10),
      y(-10, kFilas * kPaso + 10), paso(-30, 30);
  for (std::int32_t k = 0, px = 3000, py = 2000; k < 3000; ++k) {
    puntos.emplace_back(px += paso(azar), py += paso(azar));
  }
  for (std::int32_t k = 0; k < 3000; ++k) puntos.emplace_back(x(azar), y(azar));
  std::int32_t ultimo = 0;
  for (const auto& [px, py] : puntos) {
    const auto hallazgo = m->busca_triangulo(px, py, ultimo);
    const auto esperado = recorriendo_todos(*m, px, py);
    ASSERT_EQ(hallazgo.has_value(), esperado.has_value()) << px << " " << py;
    if (!hallazgo) continue;
    ASSERT_EQ(hallazgo->cota, *esperado) << px << " " << py;
    ASSERT_EQ(m->cota_en_triangulo(hallazgo->triangulo, px, py), *esperado);
  }
}

}  // namespace
}  // namespace prueba
