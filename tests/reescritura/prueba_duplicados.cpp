#include <gtest/gtest.h>

#include <map>
#include <random>

#include "duplicados.h"
#include "duplicados_literal.h"
#include "generador_muestra.h"
#include "hoja_de_prueba.h"
#include "superficie_imagen.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::HojaDePrueba;
using prueba::V;

namespace {

std::vector<std::int32_t> marcas(const Hoja& hoja) {
  std::vector<std::int32_t> salida;
  for (std::int32_t n = 1; n <= hoja.num_entidades(); ++n) salida.push_back(hoja.fila(n).activo);
  return salida;
}

std::vector<std::int32_t> marcas_tras(const std::string& bytes,
                                      const OpcionesDuplicados& opciones = {}) {
  HojaDePrueba hoja(bytes);
  Sesion sesion = hoja.abre();
  Duplicados(sesion, opciones);
  return marcas(sesion.hoja);
}

// A random sheet packed into a small area: lines on a lattice finer than the tolerance, exact,
// jittered, reversed and shifted copies, pieces of earlier lines, closed lines, points, texts,
// excluded and virtual codes and deleted entities, so that every rule of the search is met.
std::string hoja_aleatoria(std::uint64_t semilla, int entidades) {
  std::mt19937_64 azar(semilla);
  auto entero = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
  const char* codigos[] = {"100",  "100",  "200",  "300",    "5010", "5632",
                           "5020", "5099", "5108", " 1203 ", "9999", "05633"};
  auto codigo = [&] { return std::string(codigos[entero(0, std::size(codigos) - 1)]); };
  auto punto = [&] {
    return V{1000 + 40 * entero(0, 25), 1000 + 40 * entero(0, 25), entero(0, 9)};
  };
  std::vector<std::vector<V>> lineas;
  ConstructorBin b;
  for (int k = 0; k < entidades; ++k) {
    const char estado = entero(0, 19) == 0 ? (entero(0, 1) ? '\0' : ' ') : '=';
    const int tipo = entero(0, 99);
    if (tipo < 8) {
      b.t(codigo(), punto(), "T" + std::to_string(k), 200, 0, 0, {}, estado);
      continue;
    }
    std::vector<V> v;
    if (tipo < 18 || lineas.empty()) {
      v.push_back(punto());
      if (tipo >= 14 || lineas.empty()) {
        const int largo = entero(1, 5);
        for (int p = 0; p < largo; ++p) {
          V siguiente = v.back();
          siguiente.x += 40 * entero(-1, 1);
          siguiente.y += 40 * entero(-1, 1);
          v.push_back(siguiente);
        }
        if (entero(0, 5) == 0) v.push_back(v.front());
      }
    } else {
      v = lineas[static_cast<std::size_t>(entero(0, static_cast<int>(lineas.size()) - 1))];
      if (tipo < 40) {
        // exact copy
      } else if (tipo < 55) {
        for (V& p : v) {
          if (entero(0, 2) == 0) p.x += entero(-30, 30);
          if (entero(0, 2) == 0) p.y += entero(-30, 30);
        }
      } else if (tipo < 65) {
        std::reverse(v.begin(), v.end());
      } else if (tipo < 80 && v.size() >= 2) {
        const int desde = entero(0, static_cast<int>(v.size()) - 2);
        const int hasta = entero(desde + 2, static_cast<int>(v.size()));
        v = std::vector<V>(v.begin() + desde, v.begin() + hasta);
        V siguiente = v.back();
        siguiente.x += 40;
        v.push_back(siguiente);
      } else {
        const int dx = entero(40, 60), dy = entero(-60, 60);
        for (V& p : v) p.x += dx, p.y += dy;
      }
    }
    lineas.push_back(v);
    b.c(codigo(), v, {}, estado);
  }
  return b.contenido();
}

// Runs the indexed and the literal search on the same sheet and expects the same marks and the
// same matched-segment table; further runs over the marks left by the first must agree too.
// The number of elements given each mark, over all the sheets compared.
using Recuento = std::map<std::int32_t, int>;

void compara_con_literal(const std::string& etiqueta, const Sesion& cargada,
                         const OpcionesDuplicados& opciones, Recuento& recuento, int pasadas = 2) {
  Sesion indexada = cargada, literal = cargada;
  for (int pasada = 1; pasada <= pasadas; ++pasada) {
    const TablaSegmentos tabla_indexada = Duplicados(indexada, opciones);
    const TablaSegmentos tabla_literal = prueba::duplicados_literal(literal, opciones);
    ASSERT_EQ(marcas(indexada.hoja), marcas(literal.hoja)) << etiqueta << " pasada " << pasada;
    ASSERT_EQ(tabla_indexada, tabla_literal) << etiqueta << " pasada " << pasada;
  }
  for (const std::int32_t marca : marcas(indexada.hoja)) ++recuento[marca];
}

const OpcionesDuplicados kCombinaciones[] = {
    {false, false}, {true, false}, {false, true}, {true, true}};

}  // namespace

TEST(Duplicados, ElementosEnterosIgualesParecidosYExcluidos) {
  const std::vector<V> linea{{1000, 1000, 5}, {3000, 1200, 6}, {5000, 900, 7}};
  const std::vector<V> parecida{{1030, 1000, 5}, {3000, 1200, 6}, {5000, 920, 7}};
  ConstructorBin b;
  b.c("100", linea).c("100", linea).c("100", linea);  // A, B, C: A matches B, B matches C
  b.c("5010", {{9000, 9000, 0}, {9500, 9500, 0}}).c("200", {{9000, 9000, 0}, {9500, 9500, 0}});
  b.c("300", {{20000, 0, 0}, {21000, 500, 0}}).c("300", {{20030, 0, 0}, {21000, 520, 0}});
  b.c("300", {{30000, 0, 0}, {31000, 500, 0}}).c("300", {{30060, 0, 0}, {31000, 500, 0}});
  b.c("200", parecida);  // within the tolerance of C, which already matched nothing later
  EXPECT_EQ(marcas_tras(b.contenido()), (std::vector<std::int32_t>{0, 0, 2, 1, 1, 2, 1, 1, 1, 1}));
}

TEST(Duplicados, LasEntidadesBorradasNoCuentan) {
  const std::vector<V> linea{{1000, 1000, 5}, {3000, 1200, 6}};
  ConstructorBin b;
  b.c("100", linea).c("100", linea, {}, '\0');  // a deleted later copy
  b.c("200", {{5000, 0, 0}, {6000, 0, 0}}, {}, ' ').c("200", {{5000, 0, 0}, {6000, 0, 0}});
  EXPECT_EQ(marcas_tras(b.contenido()), (std::vector<std::int32_t>{1, 0, 0, 1}));
}

TEST(Duplicados, SegmentosCompartidosMarcanLosDosElementos) {
  ConstructorBin b;
  // The second segment of the first line is the first of the second, the other way round.
  b.c("100", {{0, 0, 0}, {10000, 0, 0}, {10000, 10000, 0}});
  b.c("200", {{10000, 10000, 0}, {10000, 0, 0}, {20000, 0, 0}});
  // The same with the shared segment 20 units apart: near, not identical.
  b.c("100", {{0, 50000, 0}, {10000, 50000, 0}, {10000, 60000, 0}});
  b.c("200", {{10020, 60000, 0}, {10020, 50000, 0}, {5000, 50000, 0}});
  // One identical segment and then a near one: the last matching pair decides (4).
  b.c("100", {{0, 90000, 0}, {1000, 90000, 0}, {2000, 91000, 0}});
  b.c("200", {{0, 90000, 0}, {1000, 90000, 0}, {2010, 91000, 0}, {2500, 99000, 0}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const TablaSegmentos tabla = Duplicados(sesion, {});
  EXPECT_EQ(marcas(sesion.hoja), (std::vector<std::int32_t>{3, 3, 4, 4, 4, 4}));
  const auto& p = b.inicios();
  auto pos = [&](int k) { return static_cast<std::int32_t>(p[static_cast<std::size_t>(k)]); };
  EXPECT_EQ(tabla, (TablaSegmentos{{pos(0), 2, pos(1), 1},
                                   {pos(2), 2, pos(3), 1},
                                   {pos(4), 1, pos(5), 1},
                                   {pos(4), 2, pos(5), 2}}));

  // Comparing whole elements only, ranges that differ leave them alone.
  EXPECT_EQ(marcas_tras(b.contenido(), {true, false}), (std::vector<std::int32_t>(6, 1)));
}

TEST(Duplicados, UnaMarcaPreviaSaltaLaComparacionEnteraPeroNoLaDeSegmentos) {
  ConstructorBin b;
  // Y0 shares a segment with Y2; Y1 has Y2's exact range but no segment in common with it.
  b.c("100", {{500, 1000, 0}, {1000, 0, 0}, {2000, 0, 0}});
  b.c("100", {{0, 0, 0}, {1000, 300, 0}, {300, 1000, 0}});
  b.c("100", {{0, 0, 0}, {500, 1000, 0}, {1000, 0, 0}});
  // X1 and then X2 share a segment with X3: X3 is matched twice.
  b.c("200", {{50000, 0, 0}, {51000, 0, 0}, {51000, 3000, 0}});
  b.c("200", {{49000, 2000, 0}, {52000, 2000, 0}, {52000, 2500, 0}});
  b.c("200", {{51000, 0, 0}, {50000, 0, 0}, {49000, 2000, 0}, {52000, 2000, 0}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const TablaSegmentos tabla = Duplicados(sesion, {});
  EXPECT_EQ(marcas(sesion.hoja), (std::vector<std::int32_t>{3, 1, 3, 3, 3, 3}));
  const auto& p = b.inicios();
  auto pos = [&](int k) { return static_cast<std::int32_t>(p[static_cast<std::size_t>(k)]); };
  EXPECT_EQ(tabla, (TablaSegmentos{
                       {pos(0), 1, pos(2), 2}, {pos(3), 1, pos(5), 1}, {pos(4), 1, pos(5), 3}}));
}

TEST(Duplicados, CodigosVirtuales) {
  const std::vector<V> linea{{1000, 1000, 0}, {2000, 1000, 0}};
  const std::vector<V> otra{{5000, 1000, 0}, {6000, 1000, 0}};
  const std::vector<V> tercera{{9000, 1000, 0}, {9900, 1000, 0}};
  ConstructorBin b;
  b.c("1203", linea).c("1203", linea).c("5632", otra).c("5632", otra);
  b.c("100", tercera).c("5020", tercera);
  const OpcionesDuplicados virtuales{true, true};
  EXPECT_EQ(marcas_tras(b.contenido(), virtuales), (std::vector<std::int32_t>{1, 1, 0, 1, 0, 1}));
  EXPECT_EQ(marcas_tras(b.contenido()), (std::vector<std::int32_t>{0, 1, 0, 1, 0, 1}));
}

TEST(Duplicados, ProcesoElementosIgualALaComparacionDeTodosLosSegmentos) {
  std::mt19937_64 azar(7);
  auto entero = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
  for (int caso = 0; caso < 300; ++caso) {
    ConstructorBin b;
    for (int e = 0; e < 2; ++e) {
      std::vector<V> v;
      const int largo = entero(1, 40);
      for (int k = 0; k < largo; ++k) v.push_back({30 * entero(0, 12), 30 * entero(0, 12), 0});
      b.c("100", v);
    }
    HojaDePrueba hoja(b.contenido());
    const Sesion sesion = hoja.abre();
    const double tolerancia = entero(0, 80) * 0.5;
    int igualdad = 7, igualdad_literal = 7;
    TablaSegmentos tabla, tabla_literal;
    ProcesoElementos(sesion.hoja, 1, 2, tolerancia, igualdad, tabla);
    prueba::proceso_elementos_literal(sesion.hoja, 1, 2, tolerancia, igualdad_literal,
                                      tabla_literal);
    ASSERT_EQ(tabla, tabla_literal) << "caso " << caso;
    ASSERT_EQ(igualdad, igualdad_literal) << "caso " << caso;
  }
}

TEST(Duplicados, IgualALaBusquedaLiteralEnHojasAleatorias) {
  const double tolerancias[] = {0.5, 0.3, 0, 0.305, 1.2};
  Recuento recuento;
  for (std::uint64_t semilla = 1; semilla <= 120; ++semilla) {
    HojaDePrueba hoja(hoja_aleatoria(semilla, 20 + static_cast<int>(semilla * 7 % 400)));
    const int uds = semilla % 4 == 0 ? 1000 : 100;
    const Sesion sesion = hoja.abre(uds, tolerancias[semilla % std::size(tolerancias)]);
    for (const OpcionesDuplicados& opciones : kCombinaciones) {
      compara_con_literal("semilla " + std::to_string(semilla), sesion, opciones, recuento);
    }
  }
  // The sheets meet every rule: each mark is given many times.
  for (const std::int32_t marca : {0, 2, 3, 4}) EXPECT_GT(recuento[marca], 200) << marca;
}

TEST(Duplicados, IgualALaBusquedaLiteralEnHojasDeMuestra) {
  prueba::CarpetaTemporal carpeta;
  Recuento recuento;
  for (const auto& [entidades, semilla] :
       {std::pair{300, 1}, std::pair{1200, 2}, std::pair{2500, 3}}) {
    OpcionesMuestra opciones;
    opciones.entidades = entidades;
    opciones.semilla = static_cast<std::uint64_t>(semilla);
    const auto resumen = genera_muestra(carpeta.ruta(), opciones);
    Ajustes ajustes;
    ajustes.fich_entrada = resumen.bin;
    ajustes.fich_vekttab = resumen.tab;
    ajustes.fich_pal = resumen.pal;
    for (const double tolerancia : {0.5, 2.0}) {
      if (entidades > 2000 && tolerancia > 0.5) continue;
      ajustes.tolerancia_tentativo = tolerancia;
      const Sesion sesion = abre_sesion(ajustes);
      for (const OpcionesDuplicados& opciones_duplicados : kCombinaciones) {
        compara_con_literal("muestra de " + std::to_string(entidades), sesion, opciones_duplicados,
                            recuento, 1);
      }
    }
  }
  // Their deliberate faults: an exact copy and a copy with a vertex moved 2 cm.
  EXPECT_GT(recuento[kDuplicadoExacto], 0);
}

TEST(Duplicados, DibujaLosMarcadosYSusSegmentosCoincidentesGruesos) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {10000, 0, 0}, {10000, 10000, 0}});      // 100 m east, then north
  b.c("100", {{10000, 10000, 0}, {10000, 0, 0}, {15000, 0, 0}});  // shares the north leg
  b.c("200", {{15000, 15000, 0}, {19000, 19000, 0}});             // matches nothing
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const TablaSegmentos tabla = Duplicados(sesion, {});
  ASSERT_EQ(tabla.size(), 1u);

  Vista vista;  // one pixel a metre, (-10, 210) at the top left
  vista.xmin = -10, vista.ymin = -10, vista.xmax = 210, vista.ymax = 210, vista.factor = 1;
  SuperficieImagen superficie(220, 220);
  const Rgb fondo{0, 0, 0};
  superficie.borra(fondo);
  leo_bin_pinto_duplicados(sesion, tabla, superficie, vista);
  const QImage& imagen = superficie.imagen();
  const Rgb color =
      sesion.paleta.color(sesion.tabla.color_de_fila(sesion.hoja.entidad(1).posicion_tab));
  ASSERT_NE(color, fondo);
  auto en = [&](int x, int y) {
    const QColor c = imagen.pixelColor(x, y);
    return Rgb{c.red(), c.green(), c.blue()};
  };
  // The matched leg (x = 100 m, screen column 110) is thick; the east leg (y = 0 m, row 210)
  // is one pixel wide; the unmarked line is not drawn.
  EXPECT_EQ(en(110, 160), color);
  EXPECT_EQ(en(108, 160), color);
  EXPECT_EQ(en(112, 160), color);
  EXPECT_EQ(en(60, 210), color);
  EXPECT_EQ(en(60, 208), fondo);
  EXPECT_EQ(en(180, 40), fondo);
}
