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
  EXPECT_EQ(p.yf, 0);
  EXPECT_EQ(p.distancia, 3);
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

TEST(Proyeccion, ElPieDeUnSegmentoInclinadoEsElDeLaPerpendicular) {
  // Map coordinates of a centimetre file: the perpendicular from P meets the segment halfway,
  // at (44000150, 447000050), 158.11 units away; the same in either direction of the segment.
  const double x1 = 44000000, y1 = 447000000, x2 = 44000300, y2 = 447000100;
  for (const bool al_reves : {false, true}) {
    const auto p = al_reves ? proyeccion(x2, y2, x1, y1, 44000100, 447000200)
                            : proyeccion(x1, y1, x2, y2, 44000100, 447000200);
    EXPECT_NEAR(p.xf, 44000150, 1e-4);
    EXPECT_NEAR(p.yf, 447000050, 1e-4);
    EXPECT_NEAR(p.distancia, std::sqrt(25000.0), 1e-4);
    EXPECT_TRUE(p.en_segmento);
  }
  // A steep segment, and a point whose foot falls short of the first end.
  auto p = proyeccion(0, 0, 1, 100, 0, -50);
  EXPECT_NEAR(p.xf, -5000.0 / 10001, 1e-9);
  EXPECT_NEAR(p.yf, -500000.0 / 10001, 1e-9);
  EXPECT_FALSE(p.en_segmento);
  p = proyeccion(0, 0, 1, 100, 0, 50);
  EXPECT_NEAR(p.xf, 5000.0 / 10001, 1e-9);
  EXPECT_NEAR(p.yf, 500000.0 / 10001, 1e-9);
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
