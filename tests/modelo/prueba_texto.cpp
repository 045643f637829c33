#include <gtest/gtest.h>

#include "texto.h"

using namespace telmora;

TEST(Texto, LimpiaCortaEnElPrimerNuloYRecorta) {
  EXPECT_EQ(limpia_texto(std::string("AB\0CD", 5)), "AB");
  EXPECT_EQ(limpia_texto(std::string("  1516\0\0\0", 9)), "1516");
  EXPECT_EQ(limpia_texto("PSCT   "), "PSCT");  // space padding is accepted too
  EXPECT_EQ(limpia_texto(std::string("\0XYZ", 4)), "");
}

TEST(Texto, RellenaNulosHastaSieteCaracteres) {
  EXPECT_EQ(rellena_nulos(" AB "), std::string("AB\0\0\0\0\0", 7));
  EXPECT_EQ(rellena_nulos("ABCDEFGHI"), "ABCDEFGHI");
  EXPECT_EQ(rellena_nulos(""), std::string(7, '\0'));
}

TEST(Texto, ConvierteWindows1252YUtf8EnAmbosSentidos) {
  const std::string cp1252 =
      "PLAZA DE ESPA\xD1"
      "A \x80";
  const std::string utf8 = cp1252_a_utf8(cp1252);
  EXPECT_EQ(utf8, "PLAZA DE ESPAÑA €");
  EXPECT_EQ(utf8_a_cp1252(utf8), cp1252);
  EXPECT_EQ(utf8_a_cp1252("日"), "?");
}

TEST(Texto, DecodificaUtf8ValidoYSiNoWindows1252) {
  EXPECT_EQ(decodifica_texto("\xEF\xBB\xBF"
                             "Árbol"),
            "Árbol");
  EXPECT_EQ(decodifica_texto("\xC1rbol"), "Árbol");
  EXPECT_FALSE(es_utf8_valido("\xC1rbol"));
  EXPECT_FALSE(es_utf8_valido("\xE2\x82"));  // cut sequence
}

TEST(Texto, DivideLineasSinCrearUnaLineaFinalVacia) {
  const auto lineas = divide_lineas("a\r\nb\n\nc\r\n");
  ASSERT_EQ(lineas.size(), 4u);
  EXPECT_EQ(lineas[0], "a");
  EXPECT_EQ(lineas[2], "");
  EXPECT_EQ(lineas[3], "c");
  EXPECT_TRUE(divide_lineas("").empty());
}

TEST(Texto, NumerosEnSuFormaDecimalMasCorta) {
  EXPECT_EQ(numero_a_texto(100000000000.0), "100000000000");
  EXPECT_EQ(numero_a_texto(-12.5), "-12.5");
  EXPECT_EQ(numero_a_texto(0.1), "0.1");
  int valor = 0;
  EXPECT_TRUE(lee_entero("-1", valor));
  EXPECT_EQ(valor, -1);
  EXPECT_FALSE(lee_entero("1.5", valor));
  EXPECT_FALSE(lee_entero("", valor));
  EXPECT_FALSE(lee_entero("99999999999", valor));
}

TEST(LineaListado, NumerosConBlancoDelanteYDetrasTextosTalCual) {
  telmora::LineaListado linea;
  linea << "Offset"
        << "N1:" << 12 << -3 << 0.5 << true << false << "x";
  EXPECT_EQ(linea.str(), "OffsetN1: 12 -3  0.5 -1  0 x");
}
