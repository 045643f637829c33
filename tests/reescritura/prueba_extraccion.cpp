#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "edicion/extraccion.h"
#include "hoja_de_prueba.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::HojaDePrueba;
using prueba::i32le;
using prueba::V;

namespace {

// The window from 10 m to 20 m on both axes (1000 to 2000 centimetres).
Vista ventana() {
  Vista vista;
  vista.xmin = 10, vista.ymin = 10, vista.xmax = 20, vista.ymax = 20;
  return vista;
}

// Each entity of the extracted file: its kind and its vertices.
using Extraidas = std::vector<std::pair<char, std::vector<Vertice>>>;

Extraidas extrae(const HojaDePrueba& hoja, ModoExtraccion modo, const char* apagado = nullptr,
                 const Vista& vista = ventana(), int uds = 100) {
  Sesion sesion = hoja.abre(uds);
  if (apagado != nullptr)
    sesion.tabla.fila(sesion.tabla.busca(apagado).posicion_tab).visible = false;
  const auto destino = CortaFichero(sesion, vista, modo);
  EXPECT_EQ(destino, hoja.carpeta / "hoja_f.bin");
  const Hoja salida = cargo_bin(destino, TablaVekt{});
  Extraidas entidades;
  for (std::int32_t n = 1; n <= salida.num_entidades(); ++n) {
    const Entidad& e = salida.entidad(n);
    const auto v = salida.vertices_de(e);
    entidades.push_back({salida.cabecera_de(e).tipo, {v.begin(), v.end()}});
  }
  return entidades;
}

// Distance from (x, y) to the segment A-B, and whether the foot of the perpendicular lies on it.
struct Pie {
  double distancia;
  bool en_segmento;
};
Pie pie(const V& a, const V& b, double x, double y) {
  const double dx = b.x - a.x, dy = b.y - a.y, largo2 = dx * dx + dy * dy;
  const double t = largo2 == 0 ? 0 : ((x - a.x) * dx + (y - a.y) * dy) / largo2;
  return {std::hypot(a.x + t * dx - x, a.y + t * dy - y), t >= 0 && t <= 1};
}

}  // namespace

TEST(Extraccion, DentroCortaLasLineasEnLosBordesConCotaInterpolada) {
  ConstructorBin b;
  b.c("100", {{1200, 1200, 100}, {1800, 1500, 200}});                    // wholly inside
  b.c("100", {{500, 1500, 0}, {1500, 1500, 1000}, {2500, 1500, 2000}});  // crosses
  b.c("100", {{1200, 1200, 0}, {1200, 2500, 0}, {1800, 2500, 0}, {1800, 1200, 0}});  // out, in
  b.c("100", {{500, 1700, 0}, {2500, 1700, 40}});  // no vertex inside
  b.c("100", {{0, 0, 0}, {1000, 1000, 0}});        // touches a corner
  b.c("100", {{1500, 1900, 7}});                   // a point inside
  HojaDePrueba hoja(b.contenido());
  EXPECT_EQ(extrae(hoja, ModoExtraccion::dentro),
            (Extraidas{{'C', {{1200, 1200, 100}, {1800, 1500, 200}}},
                       {'C', {{1000, 1500, 500}, {1500, 1500, 1000}, {2000, 1500, 1500}}},
                       {'C', {{1200, 1200, 0}, {1200, 2000, 0}}},
                       {'C', {{1800, 2000, 0}, {1800, 1200, 0}}},
                       {'C', {{1000, 1700, 10}, {2000, 1700, 30}}},
                       {'C', {{1500, 1900, 7}}}}));

  // The pieces carry their own range and the input's code padded with NULs.
  const Hoja salida = cargo_bin(hoja.carpeta / "hoja_f.bin", TablaVekt{});
  const Rango& r = salida.rango_de(salida.entidad(2));
  EXPECT_EQ(std::vector<std::int32_t>({r.xmin, r.ymin, r.zmin, r.xmax, r.ymax, r.zmax}),
            std::vector<std::int32_t>({1000, 1500, 500, 2000, 1500, 1500}));
  EXPECT_EQ(salida.cabecera_de(salida.entidad(2)).codigo_bruto(),
            std::string_view("100\0\0\0\0", 7));
}

TEST(Extraccion, CadaCorteCaeEnElBordeQueCruzaYDentroDelSegmento) {
  const struct {
    std::vector<V> linea;
    std::vector<std::vector<Vertice>> piezas;
  } casos[] = {
      // Enters through the right edge, nearly parallel to the bottom one.
      {{{2500, 1500, 0}, {1030, 1520, 100}}, {{{2000, 1507, 34}, {1030, 1520, 100}}}},
      // Through two opposite edges with both ends outside.
      {{{500, 1500, 0}, {2500, 1500, 100}}, {{{1000, 1500, 25}, {2000, 1500, 75}}}},
      {{{1500, 500, 0}, {1600, 2500, 200}}, {{{1525, 1000, 50}, {1575, 2000, 150}}}},
      // Past a corner just outside it, and across it just inside.
      {{{900, 1050, 0}, {1050, 900, 0}}, {}},
      {{{900, 1150, 0}, {1150, 900, 250}}, {{{1000, 1050, 100}, {1050, 1000, 150}}}},
      // Through a vertex lying on an edge, in and out.
      {{{500, 1500, 0}, {1000, 1500, 5}, {1500, 1800, 9}}, {{{1000, 1500, 5}, {1500, 1800, 9}}}},
      {{{1500, 1500, 0}, {2000, 1700, 5}, {2500, 1500, 9}}, {{{1500, 1500, 0}, {2000, 1700, 5}}}},
      // Out and back in between the same two vertices' neighbours: two pieces.
      {{{1200, 1500, 0}, {1500, 2500, 100}, {1800, 1500, 200}},
       {{{1200, 1500, 0}, {1350, 2000, 50}}, {{1650, 2000, 150}, {1800, 1500, 200}}}},
  };
  for (const auto& caso : casos) {
    ConstructorBin b;
    b.c("100", caso.linea);
    Extraidas esperadas;
    for (const auto& pieza : caso.piezas) esperadas.push_back({'C', pieza});
    EXPECT_EQ(extrae(HojaDePrueba(b.contenido()), ModoExtraccion::dentro), esperadas)
        << caso.linea[0].x << "," << caso.linea[0].y;
  }
}

TEST(Extraccion, LoEscritoEstaEnLaVentanaYSobreLaLineaYNadaDeDentroSePierde) {
  std::mt19937_64 azar(7);
  auto real = [&](double a, double b) {
    return std::uniform_real_distribution<double>(a, b)(azar);
  };
  for (int caso = 0; caso < 150; ++caso) {
    const int uds = caso % 3 == 0 ? 1000 : 100;
    // A window of any size and position in metres, its edges rarely on whole file units.
    Vista vista;
    vista.xmin = real(10, 12), vista.ymin = real(10, 12);
    vista.xmax = vista.xmin + real(0.5, 8), vista.ymax = vista.ymin + real(0.5, 8);
    std::vector<std::vector<V>> lineas;
    ConstructorBin b;
    for (int n = 0; n < 6; ++n) {
      std::vector<V> linea;
      for (int k = std::uniform_int_distribution<int>(2, 6)(azar); k > 0; --k) {
        linea.push_back({static_cast<std::int32_t>(real(5, 25) * uds),
                         static_cast<std::int32_t>(real(5, 25) * uds),
                         static_cast<std::int32_t>(real(-500, 500))});
      }
      lineas.push_back(linea);
      b.c("100", linea, {{1, n, ""}});
    }
    HojaDePrueba hoja(b.contenido());
    Sesion sesion = hoja.abre(uds);
    const Hoja salida = cargo_bin(CortaFichero(sesion, vista, ModoExtraccion::dentro), TablaVekt{});

    // Every vertex written is in the window, on a segment of its line (within the rounding to
    // whole units), with an elevation between that segment's ends.
    std::vector<std::vector<std::pair<Vertice, Vertice>>> piezas(lineas.size());
    for (std::int32_t n = 1; n <= salida.num_entidades(); ++n) {
      const Entidad& e = salida.entidad(n);
      const auto& linea = lineas.at(static_cast<std::size_t>(salida.atributos_de(e)[0].n_registro));
      const auto v = salida.vertices_de(e);
      ASSERT_GE(v.size(), 2u);
      for (std::size_t k = 0; k < v.size(); ++k) {
        ASSERT_TRUE(dentro_fuera_ventana(vista, double(v[k].x) / uds, double(v[k].y) / uds));
        bool sobre = false;
        for (std::size_t s = 0; s + 1 < linea.size() && !sobre; ++s) {
          const V &a = linea[s], &c = linea[s + 1];
          const Pie p = pie(a, c, v[k].x, v[k].y);
          sobre = (p.en_segmento || (v[k].x == a.x && v[k].y == a.y) ||
                   (v[k].x == c.x && v[k].y == c.y)) &&
                  p.distancia <= 0.75 && std::min(a.z, c.z) <= v[k].z &&
                  v[k].z <= std::max(a.z, c.z);
        }
        ASSERT_TRUE(sobre) << "caso " << caso << " vertice " << k;
        if (k > 0)
          piezas[static_cast<std::size_t>(salida.atributos_de(e)[0].n_registro)].push_back(
              {v[k - 1], v[k]});
      }
    }
    // Every point of a line well inside the window is near a written piece of it.
    const double margen = 2;
    for (std::size_t l = 0; l < lineas.size(); ++l) {
      for (std::size_t s = 0; s + 1 < lineas[l].size(); ++s) {
        const V &a = lineas[l][s], &c = lineas[l][s + 1];
        for (int paso = 0; paso <= 50; ++paso) {
          const double x = a.x + (c.x - a.x) * paso / 50.0, y = a.y + (c.y - a.y) * paso / 50.0;
          if (x < vista.xmin * uds + margen || x > vista.xmax * uds - margen ||
              y < vista.ymin * uds + margen || y > vista.ymax * uds - margen) {
            continue;
          }
          bool cubierto = false;
          for (const auto& [p, q] : piezas[l]) {
            const Pie pr = pie({p.x, p.y, p.z}, {q.x, q.y, q.z}, x, y);
            cubierto = cubierto || (pr.en_segmento && pr.distancia <= 1.5) ||
                       std::hypot(p.x - x, p.y - y) <= 1.5 || std::hypot(q.x - x, q.y - y) <= 1.5;
          }
          ASSERT_TRUE(cubierto) << "caso " << caso << " linea " << l << " punto " << x << "," << y;
        }
      }
    }
  }
}

TEST(Extraccion, SolapadosEscribeEnterosLosQueTocanLaVentana) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {1000, 1000, 0}});        // its range touches the corner only
  b.c("100", {{500, 1700, 0}, {2500, 1700, 0}});   // passes through
  b.c("100", {{2100, 2100, 0}, {3000, 3000, 0}});  // outside
  b.c("100", {{1200, 1200, 0}, {1300, 1300, 0}}, {}, '\0');
  HojaDePrueba hoja(b.contenido());
  EXPECT_EQ(
      extrae(hoja, ModoExtraccion::solapados),
      (Extraidas{{'C', {{0, 0, 0}, {1000, 1000, 0}}}, {'C', {{500, 1700, 0}, {2500, 1700, 0}}}}));
}

TEST(Extraccion, TextosPorSuPuntoDeInsercionYCodigosApagados) {
  ConstructorBin b;
  b.t("TXT", {1500, 1500, 3}, "DENTRO");
  // A text whose extent reaches into the window but whose insertion point lies outside it.
  b.cabecera('T', '=', "TXT", 0, 2);
  for (const std::int32_t valor : {1500, 1500, 0, 2500, 1600, 0, 200, 0, 0}) b.bytes(i32le(valor));
  b.bytes(i32le(2100) + i32le(1500) + i32le(0) + "FUERA       ");
  b.c("200", {{1200, 1200, 0}, {1300, 1300, 0}});  // its code will be switched off
  b.c("999", {{1400, 1400, 0}, {1600, 1600, 0}});  // not in the code table
  HojaDePrueba hoja(b.contenido());
  for (const auto modo : {ModoExtraccion::dentro, ModoExtraccion::solapados}) {
    EXPECT_EQ(extrae(hoja, modo, "200"),
              (Extraidas{{'C', {{1400, 1400, 0}, {1600, 1600, 0}}}, {'T', {{1500, 1500, 3}}}}));
  }
}

TEST(Extraccion, UnaVentanaMuchoMayorQueLaHojaLaTomaEntera) {
  // Spread out so that the sheet's grid has several cells along each axis.
  ConstructorBin b;
  for (std::int32_t k = 0; k < 40; ++k)
    b.c("100", {{k * 1000, k * 1000, 0}, {k * 1000 + 10, 0, 0}});
  HojaDePrueba hoja(b.contenido());
  const Sesion sesion = hoja.abre();
  Vista vista;
  vista.xmin = 0, vista.ymin = 0, vista.xmax = 1e12, vista.ymax = 1e12;
  const auto destino = CortaFichero(sesion, vista, ModoExtraccion::solapados);
  EXPECT_EQ(cargo_bin(destino, TablaVekt{}).num_entidades(), 40);
}
