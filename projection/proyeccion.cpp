#include "proyeccion.h"

#include <cmath>

namespace {
double distancia_plana(double ax, double ay, double bx, double by) {
  return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
}
}  // namespace

extern "C" PROYECCION_EXPORT void PROYECCION_LLAMADA proyeccion(double x1, double y1, double x2,
                                                                double y2, double xp, double yp,
                                                                double* xf, double* yf,
                                                                double* distancia,
                                                                std::int32_t* en_segmento) {
  // The case is chosen by exact equality: the vertical and horizontal cases never divide.
  if (x1 == x2 && y1 == y2) {
    *xf = x2;
    *yf = y2;
    *distancia = 0.0;
  } else if (x1 == x2) {
    *xf = x1;
    *yf = yp;
    *distancia = std::fabs(x1 - xp);
  } else if (y1 == y2) {
    *xf = xp;
    *yf = y1;
    *distancia = std::fabs(y1 - yp);
  } else {
    const double m = (y2 - y1) / (x2 - x1);
    *xf = (y1 - m * x1 - xp / m - yp) / (-1.0 / m - m);
    *yf = y1 + m * (*xf - x1);
    *distancia = distancia_plana(*xf, *yf, xp, yp);
  }

  // The foot is on the segment when it is no farther than the segment's length from either end.
  const double longitud = distancia_plana(x2, y2, x1, y1);
  const double d1 = distancia_plana(*xf, *yf, x1, y1);
  const double d2 = distancia_plana(*xf, *yf, x2, y2);
  *en_segmento = (d1 > longitud || d2 > longitud) ? 0 : 1;
}
