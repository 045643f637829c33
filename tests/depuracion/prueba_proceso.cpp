#include <gtest/gtest.h>

#include <map>
#include <random>

#include "casos_pdobles.h"
#include "depuracion/pdobles.h"
#include "hoja_de_prueba.h"
#include "limite_tamano.h"
#include "texto.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::hoja_de_casos;
using prueba::HojaDePrueba;
using prueba::kResumen;

namespace {

std::vector<Vertice> vertices(const Hoja& hoja, std::int32_t numero) {
  const auto v = hoja.vertices_de(hoja.entidad(numero));
  return {v.begin(), v.end()};
}

// The centre of a marker (its fourth vertex) and its code.
std::pair<Vertice, std::string> marcador(const Hoja& hoja, std::int32_t numero) {
  const Entidad& e = hoja.entidad(numero);
  return {hoja.vertices_de(e)[3], limpia_texto(hoja.cabecera_de(e).codigo_bruto())};
}

}  // namespace

TEST(ProcesoPdobles, LimpiaSustituyeYMarcaEnElFichero) {
  const ConstructorBin b = hoja_de_casos();
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const ResultadoPdobles resultado = ejecuta_y_aplica_pdobles(sesion, {10, 5});
  EXPECT_EQ(resultado.lineas(), kResumen);
  // The loaded copy knows of the deletions.
  EXPECT_EQ(sesion.hoja.fila(1).activo, 0);
  EXPECT_FALSE(sesion.hoja.activa(2));

  const Hoja h = cargo_bin(hoja.bin, TablaVekt{});
  ASSERT_EQ(h.num_entidades(), 7 + 1 + 7);
  for (std::int32_t n = 1; n <= 7; ++n) EXPECT_EQ(h.activa(n), n != 1 && n != 2 && n != 4) << n;
  // Only the state bytes of the two elements replaced changed in place.
  std::string antes = b.contenido(), despues = hoja.bytes().substr(0, antes.size());
  antes[1] = antes[b.inicios()[1] + 1] = despues[1] = despues[b.inicios()[1] + 1] = '=';
  EXPECT_EQ(despues, antes);

  // The cleaned element: the code padded with NULs, the range of the vertices kept with the
  // values of a rebuilt element, the attributes read.
  const Entidad& limpio = h.entidad(8);
  EXPECT_EQ(std::string(h.cabecera_de(limpio).codigo_bruto()), std::string("200\0\0\0\0", 7));
  EXPECT_EQ(vertices(h, 8), (std::vector<Vertice>{{0, 0, 0}, {500, 0, 0}}));
  const Rango& r = h.rango_de(limpio);
  EXPECT_EQ(std::vector<std::int32_t>(
                {r.xmin, r.ymin, r.zmin, r.xmax, r.ymax, r.zmax, r.septimo, r.octavo, r.noveno}),
            std::vector<std::int32_t>({0, 0, 0, 500, 0, 0, 20, 6, 1957}));
  ASSERT_EQ(h.atributos_de(limpio).size(), 1u);
  EXPECT_EQ(h.atributos_de(limpio)[0].n_registro, 77);

  // Markers: duplicates, then loops, then semi-loops.
  const std::vector<std::pair<Vertice, std::string>> esperados{
      {{0, 1000, 0}, "60130"},    {{1000, 1000, 1}, "60130"}, {{1000, 1000, 1}, "60130"},
      {{2000, 1000, 2}, "60130"}, {{556, 444, 16}, "60120"},  {{1000, 1000, 1}, "60121"},
      {{1003, 0, 7}, "60121"}};
  for (std::size_t k = 0; k < esperados.size(); ++k)
    EXPECT_EQ(marcador(h, static_cast<std::int32_t>(9 + k)), esperados[k]) << k;
}

// Elements of two to five vertices, each vertex a few units from the one before it, at the same
// height, a little higher or lower, or a step apart, so that double points, steps and plain
// vertices mix. Element i has the code "E" followed by i.
TEST(ProcesoPdobles, SoloDesapareceElElementoHechoDePuntosDobles) {
  constexpr std::int32_t kXy = 10, kZ = 5;
  std::mt19937 azar(24);
  auto entero = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
  auto doble = [](const prueba::V& a, const prueba::V& b) {
    return std::abs(a.x - b.x) < kXy && std::abs(a.y - b.y) < kXy && std::abs(a.z - b.z) < kZ;
  };
  std::vector<std::vector<prueba::V>> elementos;
  ConstructorBin b;
  for (int i = 0; i < 600; ++i) {
    std::vector<prueba::V> v{{(i % 30) * 1000, (i / 30) * 1000, 100}};
    const int n = entero(2, 5);
    while (static_cast<int>(v.size()) < n) {
      const prueba::V& u = v.back();
      const int dz[] = {0, 0, 3, -3, 50, -50};
      v.push_back({u.x + entero(-14, 14), u.y + entero(-14, 14), u.z + dz[entero(0, 5)]});
    }
    elementos.push_back(v);
    b.c("E" + std::to_string(i), v);
  }
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const ResultadoPdobles resultado = ejecuta_y_aplica_pdobles(sesion, {kXy, kZ});

  // The active elements of the file, original or cleaned, by the element they come from.
  const Hoja h = cargo_bin(hoja.bin, TablaVekt{});
  std::map<int, std::vector<Vertice>> activos;
  for (const Entidad& e : h.c) {
    const std::string codigo = limpia_texto(h.cabecera_de(e).codigo_bruto());
    if (!h.activa(e) || codigo[0] != 'E') continue;
    const auto v = h.vertices_de(e);
    EXPECT_TRUE(
        activos.emplace(std::stoi(codigo.substr(1)), std::vector(v.begin(), v.end())).second)
        << codigo;
  }
  std::int64_t borrados = 0;
  for (int i = 0; i < static_cast<int>(elementos.size()); ++i) {
    const auto& v = elementos[static_cast<std::size_t>(i)];
    bool todos_dobles = true;
    for (std::size_t k = 1; k < v.size(); ++k) todos_dobles = todos_dobles && doble(v[k - 1], v[k]);
    const auto activo = activos.find(i);
    if (todos_dobles) {
      ++borrados;
      EXPECT_EQ(activo, activos.end()) << i;
      continue;
    }
    ASSERT_NE(activo, activos.end()) << i;
    const auto& quedan = activo->second;
    ASSERT_GE(quedan.size(), 2u) << i;
    // The ends stay where they were, the last one unless it was a double point.
    EXPECT_EQ(quedan.front(), (Vertice{v.front().x, v.front().y, v.front().z})) << i;
    if (!doble(v[v.size() - 2], v.back()))
      EXPECT_EQ(quedan.back(), (Vertice{v.back().x, v.back().y, v.back().z})) << i;
  }
  EXPECT_EQ(resultado.entidades_borradas, borrados);
  EXPECT_GT(borrados, 0);
}

TEST(ProcesoPdobles, RecuentosMayoresQue16Bits) {
  // An element going back and forth 299 times over the same segment: every pair of its segments
  // coincides, and every turn falls on the segment after next.
  std::vector<prueba::V> vaiven;
  for (int k = 0; k < 300; ++k) vaiven.push_back({k % 2 == 0 ? 0 : 100, 0, 0});
  ConstructorBin b;
  b.c("100", vaiven);
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const ResultadoPdobles resultado = ejecuta_y_aplica_pdobles(sesion, {10, 5});
  EXPECT_EQ(resultado.duplicados, 299 * 298 / 2);
  EXPECT_EQ(resultado.semilazos, 297);
  EXPECT_EQ(resultado.lineas()[3], "Errores Duplicados : 44551");
  EXPECT_EQ(hoja.bytes().size(), b.contenido().size() + (2 * 44551 + 297) * 120);
}

TEST(ProcesoPdobles, UnaMarcaQueFallaNoCambiaNada) {
  // Both elements lose a vertex; the second one's header is spoilt after loading, so its mark
  // cannot be written.
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {1, 0, 0}, {500, 0, 0}});
  b.c("100", {{0, 900, 0}, {1, 900, 0}, {500, 900, 0}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const auto segunda = static_cast<std::size_t>(b.inicios()[1]);
  std::string bytes = b.contenido();
  bytes[segunda] = 'X';
  hoja.carpeta.escribe("hoja.bin", bytes);
  try {
    ejecuta_y_aplica_pdobles(sesion, {10, 5});
    ADD_FAILURE() << "no falló";
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find(hoja.bin.string()), std::string::npos);
  }
  // The first element is not replaced either, in the file or in the loaded copy.
  EXPECT_EQ(hoja.bytes(), bytes);
  EXPECT_TRUE(sesion.hoja.activa(1));
}
