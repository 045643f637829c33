#include <gtest/gtest.h>

#include "db/valor.h"

using namespace telmora;

// The conversions behave as Access's CStr, CLng and IsNumeric on the values catalogues hold.
TEST(Valor, ConversionesComoLasDeAccess) {
  EXPECT_EQ(cstr(Valor(std::int64_t{-12})), "-12");
  EXPECT_EQ(cstr(Valor(5.0)), "5");
  EXPECT_EQ(cstr(Valor(2.5)), "2.5");
  EXPECT_EQ(cstr(Valor(0.1 + 0.2)), "0.3");
  EXPECT_EQ(cstr(Valor(1e20)), "1E+20");
  EXPECT_EQ(cstr(Valor(std::string("abc"))), "abc");
  EXPECT_EQ(cstr(Valor()), std::nullopt);
  EXPECT_EQ(texto_celda(Valor()), "");

  // Halves go to the even neighbour; out of range, null and non-numbers give nothing.
  EXPECT_EQ(clng(Valor(std::string("2.5"))), 2);
  EXPECT_EQ(clng(Valor(3.5)), 4);
  EXPECT_EQ(clng(Valor(-2.5)), -2);
  EXPECT_EQ(clng(Valor(std::string(" 12 "))), 12);
  EXPECT_EQ(clng(Valor(std::string("&H1F"))), 31);
  EXPECT_EQ(clng(Valor(std::string("1e3"))), 1000);
  EXPECT_EQ(clng(Valor(3e9)), std::nullopt);
  EXPECT_EQ(clng(Valor(std::string("12a"))), std::nullopt);
  EXPECT_EQ(clng(Valor()), std::nullopt);

  for (const char* numerico : {"1", "-7", "+3", " 4 ", "1.5", ".5", "5.", "2E3", "2d-1", "&O17"}) {
    EXPECT_TRUE(es_numerico(Valor(std::string(numerico)))) << numerico;
  }
  for (const char* no : {"", " ", ".", "-", "1e", "12a", "sin enumerado", "1,5", "&H", "&HG"}) {
    EXPECT_FALSE(es_numerico(Valor(std::string(no)))) << no;
  }
  EXPECT_TRUE(es_numerico(Valor(std::int64_t{0})));
  EXPECT_FALSE(es_numerico(Valor()));
}
