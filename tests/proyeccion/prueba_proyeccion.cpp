#include <gtest/gtest.h>

#include <cmath>

#include "fichero.h"
#include "modulo_apis.h"

using namespace telmora;

// The program's binding loads the library from its own folder and binds the entry by name.
TEST(Proyeccion, PieDistanciaYSiCaeEnElSegmento) {
  auto p = proyeccion(0, 0, 10, 0, 5, 3);
  EXPECT_EQ(p.xf, 5);
  EXPECT_EQ(p.yf, 0);
  EXPECT_EQ(p.distancia, 3);
  EXPECT_TRUE(p.en_segmento);

  p = proyeccion(0, 0, 10, 0, 12, 3);  // beyond the second end
  EXPECT_EQ(p.xf, 12);
  EXPECT_FALSE(p.en_segmento);

  p = proyeccion(0, 0, 0, 10, -4, 10);  // on the end point
  EXPECT_EQ(p.yf, 10);
  EXPECT_EQ(p.distancia, 4);
  EXPECT_TRUE(p.en_segmento);

  p = proyeccion(0, 0, 10, 10, 0, 10);
  EXPECT_NEAR(p.xf, 5, 1e-12);
  EXPECT_NEAR(p.yf, 5, 1e-12);
  EXPECT_NEAR(p.distancia, std::sqrt(50.0), 1e-12);
  EXPECT_TRUE(p.en_segmento);

  p = proyeccion(3, 4, 3, 4, 100, -100);  // a segment reduced to a point
  EXPECT_EQ(p.xf, 3);
  EXPECT_EQ(p.yf, 4);
  EXPECT_EQ(p.distancia, 0);
  EXPECT_TRUE(p.en_segmento);
}

TEST(Proyeccion, ElPieDeUnSegmentoInclinadoEstaEnSuRecta) {
  // Map coordinates of a centimetre file.
  const double x1 = 44000000, y1 = 447000000, x2 = 44000300, y2 = 447000100;
  const auto p = proyeccion(x1, y1, x2, y2, 44000100, 447000200);
  EXPECT_NEAR((p.yf - y1) * (x2 - x1) - (p.xf - x1) * (y2 - y1), 0, 1e-3);
  EXPECT_NEAR(p.distancia, std::hypot(p.xf - 44000100, p.yf - 447000200), 1e-6);
  EXPECT_TRUE(p.en_segmento);
}

TEST(BibliotecaDinamica, UnaBibliotecaOFuncionQueFaltaSeNombra) {
  BibliotecaDinamica inexistente("libno_existe_telmora.so");
  try {
    inexistente.funcion("proyeccion");
    FAIL();
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find("libno_existe_telmora.so"), std::string::npos);
  }
  BibliotecaDinamica buena(fichero_proyeccion());
  try {
    buena.funcion("no_existe");
    FAIL();
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find("no_existe"), std::string::npos);
  }
  EXPECT_NE(buena.funcion("proyeccion"), nullptr);
}
