#include <gtest/gtest.h>

#include <map>
#include <random>

#include "duplicados_literal.h"
#include "edicion/dibujo_edicion.h"
#include "hoja_de_prueba.h"
#include "marcador_borrados.h"
#include "muestra/generador_muestra.h"
#include "pintor.h"
#include "superficie_imagen.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::HojaDePrueba;
using prueba::V;

namespace {

using prueba::marcas_en_indice;

std::vector<std::int32_t> marcas_tras(const std::string& bytes, OpcionesDuplicados opciones = {}) {
  const Sesion sesion = HojaDePrueba(bytes).abre();
  return marcas_en_indice(sesion.hoja, Duplicados(sesion, opciones));
}

// A random sheet packed into a small area: lines on a lattice finer than the tolerance, their
// exact, jittered, reversed and shifted copies and pieces, points, texts, excluded and virtual
// codes and deleted entities, so that every rule of the search is met many times.
std::string hoja_aleatoria(std::uint64_t semilla, int entidades) {
  std::mt19937_64 azar(semilla);
  auto entero = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
  const char* codigos[] = {"100", "100", "200", "5010", "5632", "5020", "5099", " 1203 ", "05633"};
  auto codigo = [&] { return std::string(codigos[entero(0, std::size(codigos) - 1)]); };
  auto punto = [&] {
    return V{1000 + 40 * entero(0, 25), 1000 + 40 * entero(0, 25), entero(0, 9)};
  };
  std::vector<std::vector<V>> lineas{{punto(), punto()}};
  ConstructorBin b;
  for (int k = 0; k < entidades; ++k) {
    const char estado = entero(0, 19) == 0 ? '\0' : '=';
    const int tipo = entero(0, 99);
    std::vector<V> v = lineas[static_cast<std::size_t>(entero(0, int(lineas.size()) - 1))];
    if (tipo < 8) {
      b.t(codigo(), punto(), "T", 200, 0, 0, {}, estado);
      continue;
    } else if (tipo < 40) {
      v = {punto()};
      for (int p = entero(0, 5); p > 0; --p) {
        v.push_back({v.back().x + 40 * entero(-1, 1), v.back().y + 40 * entero(-1, 1), 0});
      }
      if (entero(0, 5) == 0) v.push_back(v.front());
    } else if (tipo < 55) {
      for (V& p : v) p.x += entero(0, 2) == 0 ? entero(-30, 30) : 0;
    } else if (tipo < 65) {
      std::reverse(v.begin(), v.end());
    } else if (tipo < 80 && v.size() > 2) {
      v.erase(v.begin(), v.begin() + entero(1, int(v.size()) - 2));
      v.push_back({v.back().x + 40, v.back().y, 0});
    } else if (tipo >= 80) {
      const int dx = entero(40, 60);
      for (V& p : v) p.x += dx;
    }
    lineas.push_back(v);
    b.c(codigo(), v, {}, estado);
  }
  return b.contenido();
}

// The number of elements given each mark, over all the sheets compared.
using Recuento = std::map<std::int32_t, int>;

// The indexed and the literal search give the same marks and matched-segment table; further
// runs over the marks left by the first, applied, agree too.
void compara_con_literal(const Sesion& cargada, Recuento& recuento, int pasadas) {
  for (const OpcionesDuplicados opciones :
       {OpcionesDuplicados{false, false}, {true, false}, {false, true}, {true, true}}) {
    Sesion indexada = cargada;
    prueba::DuplicadosLiterales literal;
    std::vector<std::int32_t> marcas;
    for (int pasada = 1; pasada <= pasadas; ++pasada) {
      ResultadoDuplicados r = Duplicados(indexada, opciones);
      literal = prueba::duplicados_literal(cargada, opciones, literal.marcas);
      ASSERT_EQ(r.segmentos, literal.tabla);
      marcas = marcas_en_indice(indexada.hoja, r);
      ASSERT_EQ(marcas, literal.marcas);
      r.aplicado = true;
      indexada.duplicados = std::make_shared<const ResultadoDuplicados>(std::move(r));
    }
    for (const std::int32_t marca : marcas) ++recuento[marca];
  }
}

}  // namespace

TEST(Duplicados, ElementosEnterosExcluidosBorradosYVirtuales) {
  const std::vector<V> linea{{1000, 1000, 5}, {3000, 1200, 6}, {5000, 900, 7}};
  const std::vector<V> otra{{9000, 9000, 0}, {9500, 9500, 0}};
  ConstructorBin b;
  b.c("100", linea).c("100", linea).c("100", linea);               // A matches B, B matches C
  b.c("200", {{1030, 1000, 0}, {5000, 920, 0}, {4000, 1200, 0}});  // C's range within 30 cm
  b.c("5010", otra).c("200", otra);                                // an excluded twin
  b.c("300", {{20000, 0, 0}, {21000, 500, 0}}).c("300", {{20000, 0, 0}, {21000, 500, 0}}, {}, ' ');
  b.c("5632", {{30000, 0, 0}, {31000, 0, 0}}).c("1203", {{30000, 0, 0}, {31000, 0, 0}});
  EXPECT_EQ(marcas_tras(b.contenido()), (std::vector<std::int32_t>{0, 0, 2, 1, 1, 1, 1, 0, 0, 1}));
  // Virtual pairs only, as the "VIRTUALES" processing searches.
  EXPECT_EQ(marcas_tras(b.contenido(), {true, true}),
            (std::vector<std::int32_t>{1, 1, 1, 1, 1, 1, 1, 0, 0, 1}));
}

TEST(Duplicados, SegmentosCompartidosYMarcasPrevias) {
  ConstructorBin b;
  // The north leg of the first line is the south leg of the second, the other way round.
  b.c("100", {{0, 0, 0}, {10000, 0, 0}, {10000, 10000, 0}});
  b.c("200", {{10000, 10000, 0}, {10000, 0, 0}, {20000, 0, 0}});
  // One identical segment and then one 10 cm off: the last matching pair decides (4).
  b.c("100", {{0, 90000, 0}, {1000, 90000, 0}, {2000, 91000, 0}});
  b.c("200", {{0, 90000, 0}, {1000, 90000, 0}, {2010, 91000, 0}, {2500, 99000, 0}});
  // Y0 shares a segment with Y2, which then no longer counts as Y1's whole twin (same range).
  b.c("100", {{50500, 1000, 0}, {51000, 0, 0}, {52000, 0, 0}});
  b.c("100", {{50000, 0, 0}, {51000, 300, 0}, {50300, 1000, 0}});
  b.c("100", {{50000, 0, 0}, {50500, 1000, 0}, {51000, 0, 0}});
  // X1 and then X2 share a segment with X3: the segment test ignores X3's mark.
  b.c("200", {{70000, 0, 0}, {71000, 0, 0}, {71000, 3000, 0}});
  b.c("200", {{69000, 2000, 0}, {72000, 2000, 0}, {72000, 2500, 0}});
  b.c("200", {{71000, 0, 0}, {70000, 0, 0}, {69000, 2000, 0}, {72000, 2000, 0}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const ResultadoDuplicados primera = Duplicados(sesion, {});
  const TablaSegmentos& tabla = primera.segmentos;
  EXPECT_EQ(marcas_en_indice(sesion.hoja, primera),
            (std::vector<std::int32_t>{3, 3, 4, 4, 3, 1, 3, 3, 3, 3}));
  auto p = [&](std::size_t k) { return static_cast<std::int32_t>(b.inicios()[k]); };
  EXPECT_EQ(tabla, (TablaSegmentos{{p(0), 2, p(1), 1},
                                   {p(2), 1, p(3), 1},
                                   {p(2), 2, p(3), 2},
                                   {p(4), 1, p(6), 2},
                                   {p(7), 1, p(9), 1},
                                   {p(8), 1, p(9), 3}}));
  // Comparing whole elements only, Y2 keeps its 1 and Y1 is its whole twin.
  EXPECT_EQ(marcas_tras(b.contenido(), {true, false}),
            (std::vector<std::int32_t>{1, 1, 1, 1, 1, 0, 1, 1, 1, 1}));

  // A search that was only shown is forgotten: the next one finds the same pairs; a deleted
  // element stays out.
  anula_entidad(sesion.hoja, 6);
  sesion.duplicados = std::make_shared<const ResultadoDuplicados>(primera);
  const ResultadoDuplicados enteros = Duplicados(sesion, {true, false});
  EXPECT_EQ(enteros.segmentos, TablaSegmentos{});
  EXPECT_EQ(marcas_en_indice(sesion.hoja, enteros),
            (std::vector<std::int32_t>{1, 1, 1, 1, 1, 0, 1, 1, 1, 1}));
  ResultadoDuplicados otra = Duplicados(sesion, {});
  EXPECT_EQ(otra.segmentos, tabla);
  EXPECT_EQ(marcas_en_indice(sesion.hoja, otra),
            (std::vector<std::int32_t>{3, 3, 4, 4, 3, 0, 3, 3, 3, 3}));
  // Once a search is applied, what it marked keeps its mark and takes no part in the next one.
  otra.aplicado = true;
  sesion.duplicados = std::make_shared<const ResultadoDuplicados>(std::move(otra));
  const ResultadoDuplicados tras = Duplicados(sesion, {});
  EXPECT_EQ(tras.segmentos, TablaSegmentos{});
  EXPECT_EQ(marcas_en_indice(sesion.hoja, tras),
            (std::vector<std::int32_t>{3, 3, 4, 4, 3, 0, 3, 3, 3, 3}));
}

TEST(Duplicados, IgualALaBusquedaLiteral) {
  Recuento recuento;
  const double tolerancias[] = {0.5, 0.3, 0, 0.305, 1.2};
  for (std::uint64_t semilla = 1; semilla <= 100; ++semilla) {
    HojaDePrueba hoja(hoja_aleatoria(semilla, 20 + static_cast<int>(semilla * 7 % 400)));
    const int uds = semilla % 4 == 0 ? 1000 : 100;
    compara_con_literal(hoja.abre(uds, tolerancias[semilla % 5]), recuento, 2);
  }
  for (const std::int32_t marca : {0, 2, 3, 4}) EXPECT_GT(recuento[marca], 200) << marca;

  // Sample sheets, whose streets, contours and buildings share end points but rarely segments.
  prueba::CarpetaTemporal carpeta;
  for (const auto& [entidades, tolerancia] :
       {std::pair{300, 2.0}, std::pair{1200, 0.5}, std::pair{2000, 0.5}}) {
    OpcionesMuestra opciones;
    opciones.entidades = entidades;
    opciones.semilla = static_cast<std::uint64_t>(entidades);
    const auto muestra = genera_muestra(carpeta.ruta(), opciones);
    Ajustes ajustes{muestra.bin, muestra.tab, muestra.pal, 100, tolerancia, carpeta.ruta()};
    compara_con_literal(abre_sesion(ajustes), recuento, 1);
  }
}

TEST(Duplicados, DibujaLosMarcadosYSusSegmentosCoincidentesGruesos) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {10000, 0, 0}, {10000, 10000, 0}});      // 100 m east, then north
  b.c("100", {{10000, 10000, 0}, {10000, 0, 0}, {15000, 0, 0}});  // shares the north leg
  b.c("200", {{15000, 15000, 0}, {19000, 19000, 0}});             // matches nothing
  const Sesion sesion = HojaDePrueba(b.contenido()).abre();
  const ResultadoDuplicados duplicados = Duplicados(sesion, {});

  Vista vista;  // one pixel a metre, (-10, 210) at the top left
  vista.xmin = -10, vista.ymin = -10, vista.xmax = 210, vista.ymax = 210, vista.factor = 1;
  SuperficieImagen superficie(220, 220);
  superficie.borra({0, 0, 0});
  leo_bin_pinto_duplicados(sesion, duplicados, superficie, vista, Visualizacion{});
  const QImage& imagen = superficie.imagen();
  const Rgb color = sesion.paleta.color(sesion.tabla.color_de_fila(1));
  ASSERT_NE(color, (Rgb{0, 0, 0}));
  auto pintado = [&](int x, int y) {
    const QColor c = imagen.pixelColor(x, y);
    return Rgb{c.red(), c.green(), c.blue()} == color;
  };
  // The matched leg (screen column 110) is 5 pixels wide, the east leg (row 210) one; the
  // unmarked line is not drawn.
  EXPECT_TRUE(pintado(108, 160) && pintado(110, 160) && pintado(112, 160));
  EXPECT_TRUE(pintado(60, 210));
  EXPECT_FALSE(pintado(60, 208));
  EXPECT_EQ(imagen.pixelColor(180, 40), QColor(0, 0, 0));
}

TEST(Duplicados, LosMarcadosSeDibujanComoCualquierElemento) {
  // Twice a closed block and twice a point; the view at 1:1000, where a point's "x" is legible.
  ConstructorBin b;
  for (int copia = 0; copia < 2; ++copia) {
    b.c("100", {{2000, 2000, 0}, {8000, 2000, 0}, {8000, 8000, 0}, {2000, 2000, 0}});
    b.c("100", {{10000, 10000, 0}});
  }
  const Sesion sesion = HojaDePrueba(b.contenido()).abre();
  const ResultadoDuplicados duplicados = Duplicados(sesion, {});
  ASSERT_EQ(duplicados.marca(1), kDuplicadoExacto);
  ASSERT_EQ(duplicados.marca(2), kDuplicadoExacto);

  Vista vista;
  vista.dimensiona(400, 400, 15);
  vista.xmin = 0, vista.ymin = 0, vista.xmax = 200, vista.ymax = 200;
  vista.calculo_escala();
  vista.escala_actual = 1000;
  vista.DesplazaCentro(60, 60);
  vista.CentraZoom();
  // Each marked element lies over its unmarked copy: the marks look as the sheet's drawing.
  for (const bool relleno : {true, false}) {
    Visualizacion visualizacion;
    visualizacion.relleno = relleno;
    SuperficieImagen marcados(400, 400), hoja(400, 400);
    marcados.borra({0, 0, 0});
    hoja.borra({0, 0, 0});
    leo_bin_pinto_duplicados(sesion, duplicados, marcados, vista, visualizacion);
    Pintor(sesion).leo_bin_pinto(hoja, vista, visualizacion);
    EXPECT_EQ(marcados.imagen(), hoja.imagen()) << relleno;
    const PuntoPantalla dentro = a_pantalla(vista, 60, 40);
    EXPECT_EQ(marcados.imagen().pixelColor(dentro.x, dentro.y) != QColor(0, 0, 0), relleno);
  }
}
