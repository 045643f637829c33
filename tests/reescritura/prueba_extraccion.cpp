#include <gtest/gtest.h>

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

Extraidas extrae(const HojaDePrueba& hoja, ModoExtraccion modo, const char* apagado = nullptr) {
  Sesion sesion = hoja.abre();
  if (apagado != nullptr)
    sesion.tabla.fila(sesion.tabla.busca(apagado).posicion_tab).visible = false;
  const auto destino = CortaFichero(sesion, ventana(), modo);
  EXPECT_EQ(destino, hoja.carpeta / "hoja_f.bin");
  const Hoja salida = cargo_bin(destino, TablaVekt{});
  Extraidas entidades;
  for (std::int32_t n = 1; n <= salida.num_entidades(); ++n) {
    const Entidad& e = salida.entidad(n);
    const auto v = salida.vertices_de(e);
    entidades.push_back({e.cabecera.tipo, {v.begin(), v.end()}});
  }
  return entidades;
}

}  // namespace

TEST(Extraccion, DentroCortaLasLineasEnLosBordesConCotaInterpolada) {
  ConstructorBin b;
  b.c("100", {{1200, 1200, 100}, {1800, 1500, 200}});                    // wholly inside
  b.c("100", {{500, 1500, 0}, {1500, 1500, 1000}, {2500, 1500, 2000}});  // crosses
  b.c("100", {{1200, 1200, 0}, {1200, 2500, 0}, {1800, 2500, 0}, {1800, 1200, 0}});  // out, in
  b.c("100", {{500, 1700, 0}, {2500, 1700, 0}});  // no vertex inside
  b.c("100", {{0, 0, 0}, {1000, 1000, 0}});       // touches a corner
  b.c("100", {{1500, 1900, 7}});                  // a point inside
  HojaDePrueba hoja(b.contenido());
  EXPECT_EQ(extrae(hoja, ModoExtraccion::dentro),
            (Extraidas{{'C', {{1200, 1200, 100}, {1800, 1500, 200}}},
                       {'C', {{1000, 1500, 500}, {1500, 1500, 1000}, {2000, 1500, 1500}}},
                       {'C', {{1200, 1200, 0}, {1200, 2000, 0}}},
                       {'C', {{1800, 2000, 0}, {1800, 1200, 0}}},
                       {'C', {{1500, 1900, 7}}}}));

  // The pieces carry their own range and the input's code padded with NULs.
  const Hoja salida = cargo_bin(hoja.carpeta / "hoja_f.bin", TablaVekt{});
  const Rango& r = salida.entidad(2).rango;
  EXPECT_EQ(std::vector<std::int32_t>({r.xmin, r.ymin, r.zmin, r.xmax, r.ymax, r.zmax}),
            std::vector<std::int32_t>({1000, 1500, 500, 2000, 1500, 1500}));
  EXPECT_EQ(salida.entidad(2).cabecera.codigo_bruto(), std::string_view("100\0\0\0\0", 7));
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
