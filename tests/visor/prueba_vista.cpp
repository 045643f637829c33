#include <gtest/gtest.h>

#include <cmath>

#include "vista.h"

using namespace telmora;

namespace {

RangoFichero rango(double xmin, double ymin, double xmax, double ymax) {
  RangoFichero r;
  r.xmin = xmin, r.ymin = ymin, r.xmax = xmax, r.ymax = ymax, r.zmin = 0, r.zmax = 0;
  return r;
}

}  // namespace

TEST(Vista, UnaHojaAnchaSeAjustaPorSuAnchuraYGanaAlto) {
  Vista v;
  v.dimensiona(1600, 900, 15);
  v.ajusta_a_fichero(rango(0, 0, 100000, 10000), 100);  // 1000 m x 100 m
  EXPECT_DOUBLE_EQ(v.factor, 1.6);
  EXPECT_NEAR(v.xmax - v.xmin, 1000, 1e-9);
  EXPECT_NEAR(v.ymax - v.ymin, 562.5, 1e-9);
  EXPECT_NEAR((v.ymin + v.ymax) / 2, 50, 1e-9);
  // 1600 px at 15 twips a pixel are 0.4233 m of screen.
  EXPECT_NEAR(v.escala, 1000 / (1600 * 15 / 567.0 / 100), 1e-9);
  EXPECT_EQ(v.escala_actual, v.escala);
  EXPECT_EQ(v.xminf, 0);
}

TEST(Vista, LasTransformacionesSonInversas) {
  Vista v;
  v.dimensiona(800, 600, 15);
  v.ajusta_a_fichero(rango(44000000, 447000000, 44050000, 447030000), 100);
  double xp = 0, yp = 0;
  v.transforma_coordenadas(440123.45, 4470200.5, xp, yp);
  EXPECT_NEAR(v.Fn_pantalla_utm_x(xp), 440123.45, 1e-6);
  EXPECT_NEAR(v.Fn_pantalla_utm_y(yp), 4470200.5, 1e-6);
  v.transforma_coordenadas(v.xmin, v.ymax, xp, yp);
  EXPECT_NEAR(xp, 0, 1e-9);
  EXPECT_NEAR(yp, 0, 1e-9);
}

TEST(Vista, UnaHojaDeUnSoloPuntoNoDivideEntreCero) {
  Vista v;
  v.dimensiona(400, 300, 15);
  v.ajusta_a_fichero(rango(500, 700, 500, 700), 100);
  EXPECT_TRUE(std::isfinite(v.factor));
  EXPECT_GT(v.factor, 0);
  EXPECT_NEAR((v.xmin + v.xmax) / 2, 5, 1e-9);
  EXPECT_NEAR(v.ymax - v.ymin, 0.002, 1e-9);
  // An empty sheet (inverted range) still gives a usable view.
  Vista vacia;
  vacia.dimensiona(400, 300, 15);
  vacia.ajusta_a_fichero(RangoFichero{}, 100);
  EXPECT_TRUE(std::isfinite(vacia.escala));
  EXPECT_GT(vacia.factor, 0);
}

TEST(Vista, CentraZoomYDesplazaCentroUsanLaEscalaActual) {
  Vista v;
  // 0.3 m of screen wide: 1134 px at 15 twips.
  v.dimensiona(1134, 567, 15);
  v.ajusta_a_fichero(rango(0, 0, 100000, 100000), 100);
  v.escala_actual = 1000;
  v.CentraZoom();
  EXPECT_NEAR(v.xmax - v.xmin, 300, 1e-9);
  EXPECT_NEAR((v.xmin + v.xmax) / 2, 500, 1e-9);
  EXPECT_NEAR(v.escala, 1000, 1e-9);
  v.DesplazaCentro(100, 200);
  EXPECT_NEAR(v.xmin, -50, 1e-9);
  EXPECT_NEAR(v.ymax, 275, 1e-9);
}
