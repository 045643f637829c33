#include <gtest/gtest.h>

#include "constructor_bin.h"
#include "fichero.h"
#include "tabla_vekt.h"

using namespace telmora;

namespace {

std::string linea_de_campos(int campos) {
  std::string linea = "C1";
  for (int i = 2; i <= campos; ++i) linea += " " + std::to_string(i);
  return linea + "\r\n";
}

// The message of a parse failure, or "" when the text parses.
template <typename Interpreta>
std::string error_de(Interpreta interpreta) {
  try {
    interpreta();
  } catch (const ErrorTelmora& error) {
    return error.what();
  }
  return "";
}

}  // namespace

TEST(CamposVekt, EspaciosYComillasSiguenLasReglasDeLaTabla) {
  EXPECT_EQ(divide_campos_vekt("1516 1 7"), (std::vector<std::string>{"1516", "1", "7"}));
  // Spaces after the first one stay at the start of the next field.
  EXPECT_EQ(divide_campos_vekt("A  B"), (std::vector<std::string>{"A", " B"}));
  // A quoted description stays one field, quotes included.
  EXPECT_EQ(divide_campos_vekt("1 2 \"Eje de calle\""),
            (std::vector<std::string>{"1", "2", "\"Eje de calle\""}));
  // A quote before other fields swallows the rest of the line.
  EXPECT_EQ(divide_campos_vekt("1 \"a b\" 3 4"), (std::vector<std::string>{"1", "\"a b\" 3 4"}));
  EXPECT_EQ(divide_campos_vekt("1 2 "), (std::vector<std::string>{"1", "2"}));
}

TEST(TablaVekt, LeeEntradasAjustesYVisibilidad) {
  const TablaVekt tabla = interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab");
  ASSERT_EQ(tabla.num_entradas(), 5);
  EXPECT_EQ(tabla.ajuste_fondo, 1);
  EXPECT_EQ(tabla.color_desconocido, 5);
  EXPECT_EQ(tabla.fila(1).codigo(), "100");
  EXPECT_EQ(tabla.fila(1).descripcion(), "\"Linea cien\"");
  EXPECT_TRUE(tabla.fila(1).visible);
  // An entry of three fields: the rest are empty.
  EXPECT_EQ(tabla.fila(3).campo(3), "4");
  EXPECT_EQ(tabla.fila(3).campo(4), "");
  EXPECT_EQ(tabla.fila(3).descripcion(), "");
}

TEST(TablaVekt, LaPrimeraEntradaDeUnCodigoRepetidoGana) {
  const TablaVekt tabla = interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab");
  const auto encontrado = tabla.busca("300");
  EXPECT_EQ(encontrado.posicion_tab, 3);
  EXPECT_EQ(encontrado.color, 4);
}

TEST(TablaVekt, CodigosDelFicheroRellenosDeNulosOEspacios) {
  const TablaVekt tabla = interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab");
  EXPECT_EQ(tabla.busca_codigo_bin(std::string("300\0\0\0\0", 7)).posicion_tab, 3);
  EXPECT_EQ(tabla.busca_codigo_bin("TXT    ").posicion_tab, 5);
  const auto desconocido = tabla.busca_codigo_bin(std::string("999\0\0\0\0", 7));
  EXPECT_EQ(desconocido.posicion_tab, 0);
  EXPECT_EQ(desconocido.color, 5);
  EXPECT_EQ(tabla.busca("txt").posicion_tab, 0);  // case matters
}

TEST(TablaVekt, LasLineasEnBlancoNoSonEntradas) {
  const TablaVekt tabla = interpreta_vekt_tab("100 1 2\r\n\r\n   \r\n200 1 3\r\n\r\n", "t");
  ASSERT_EQ(tabla.num_entradas(), 2);
  EXPECT_EQ(tabla.busca("200").posicion_tab, 2);
}

TEST(TablaVekt, SinLineaDeAjustesFondoNegroYColor32) {
  const TablaVekt tabla = interpreta_vekt_tab("100 1 2\r\n", "Vekt.tab");
  EXPECT_FALSE(tabla.tiene_ajustes());
  EXPECT_EQ(tabla.busca("x").color, 32);
  Paleta paleta;
  paleta.rojo[2] = 200;
  EXPECT_EQ(color_fondo(tabla, paleta), (Rgb{0, 0, 0}));
  const TablaVekt con_ajustes = interpreta_vekt_tab("//@ 1 7\r\n", "Vekt.tab");
  EXPECT_EQ(color_fondo(con_ajustes, paleta), (Rgb{200, 0, 0}));
}

TEST(TablaVekt, UnaTablaEnWindows1252SeLeeComoUtf8) {
  const TablaVekt tabla = interpreta_vekt_tab("\xC1RB 1 2 \"\xC1rbol\"\r\n", "Vekt.tab");
  EXPECT_EQ(tabla.fila(1).campo(4), "\"Árbol\"");
  EXPECT_EQ(tabla.busca_codigo_bin("\xC1RB\0\0\0\0").posicion_tab, 1);
}

TEST(TablaVekt, LoQueLaTablaNoPuedeGuardarNombraFicheroYLinea) {
  EXPECT_EQ(error_de([] { interpreta_vekt_tab(linea_de_campos(26), "Vekt.tab"); }), "");
  const std::string demasiados =
      error_de([] { interpreta_vekt_tab("// c\r\n" + linea_de_campos(40), "/d/Vekt.tab"); });
  EXPECT_NE(demasiados.find("/d/Vekt.tab"), std::string::npos);
  EXPECT_NE(demasiados.find("línea 2"), std::string::npos);
  EXPECT_NE(error_de([] { interpreta_vekt_tab("100 1 abc\r\n", "t"); }), "");
  EXPECT_NE(error_de([] { interpreta_vekt_tab("100 1 256\r\n", "t"); }), "");
  EXPECT_NE(error_de([] { interpreta_vekt_tab("100 1\r\n", "t"); }), "");
  EXPECT_NE(error_de([] { interpreta_vekt_tab("//@ 300 1\r\n", "t"); }), "");
  EXPECT_NE(error_de([] { interpreta_vekt_tab("//@ 3\r\n", "t"); }), "");
  EXPECT_EQ(error_de([] { interpreta_vekt_tab("100 1 -1\r\n", "t"); }), "");
}

TEST(Paleta, CadaLineaOcupaSuRanuraYLosComentariosQuedanNegros) {
  const Paleta paleta = interpreta_pal(prueba::paleta_basica(), "Vekt.pal");
  EXPECT_EQ(paleta.color(0), (Rgb{0, 0, 0}));  // the comment's slot
  EXPECT_EQ(paleta.color(1), (Rgb{255, 0, 0}));
  EXPECT_EQ(paleta.color(6), (Rgb{255, 0, 255}));
  EXPECT_EQ(paleta.color(-1), (Rgb{0, 0, 0}));
  EXPECT_EQ(paleta.color(999), (Rgb{0, 0, 0}));
}

TEST(Paleta, LoQueLaPaletaNoPuedeGuardarSeRechaza) {
  std::string llena;
  for (int i = 0; i < 256; ++i) llena += "1 2 3\r\n";
  EXPECT_EQ(error_de([&] { interpreta_pal(llena, "p"); }), "");
  EXPECT_EQ(interpreta_pal(llena, "p").color(255), (Rgb{1, 2, 3}));
  std::string excesiva;
  for (int i = 0; i < 300; ++i) excesiva += "1 2 3\r\n";
  EXPECT_NE(error_de([&] { interpreta_pal(excesiva, "p"); }).find("línea 257"), std::string::npos);
  EXPECT_NE(error_de([] { interpreta_pal("1 2 3 4\r\n", "p"); }), "");
  EXPECT_NE(error_de([] { interpreta_pal("1  2 3\r\n", "p"); }), "");  // two spaces: empty field
  EXPECT_NE(error_de([] { interpreta_pal("1 2\r\n", "p"); }), "");
  EXPECT_NE(error_de([] { interpreta_pal("1 2 x\r\n", "p"); }), "");
  EXPECT_NE(error_de([] { interpreta_pal("1 2 -3\r\n", "p"); }), "");
  // A value above 255 is full intensity, and the sheet still opens.
  EXPECT_EQ(interpreta_pal("// c\r\n300 20 256\r\n", "p").color(1), (Rgb{255, 20, 255}));
}
