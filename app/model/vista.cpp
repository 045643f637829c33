#include "vista.h"

#include <algorithm>

namespace telmora {

void Vista::dimensiona(int ancho_px, int alto_px, double twips_por_pixel) {
  ancho_px_ = std::max(1, ancho_px);
  alto_px_ = std::max(1, alto_px);
  twips_por_pixel_ = twips_por_pixel > 0 ? twips_por_pixel : kTwipsPorPixelDefecto;
}

double Vista::ancho_pantalla_m() const {
  return ancho_px_ * twips_por_pixel_ / kTwipsPorCentimetro / 100;
}

double Vista::alto_pantalla_m() const {
  return alto_px_ * twips_por_pixel_ / kTwipsPorCentimetro / 100;
}

void Vista::calculo_escala() {
  const double w = ancho_pantalla_m(), h = alto_pantalla_m();
  if (xmin == xmax && ymin == ymax) {
    xmax += 0.001, xmin -= 0.001, ymax += 0.001, ymin -= 0.001;
  }
  // A window of no width or no height is fitted by its other axis.
  const double kx = xmax > xmin ? ancho_px_ / (xmax - xmin) : 0;
  const double ky = ymax > ymin ? alto_px_ / (ymax - ymin) : 0;
  if (ky == 0 || (kx != 0 && kx < ky)) {
    factor = kx;
    escala = (xmax - xmin) / w;
  } else {
    factor = ky;
    escala = (ymax - ymin) / h;
  }
  const double x0 = xmin, y0 = ymin, x1 = xmax, y1 = ymax;
  centra_en((xmin + xmax) / 2, (ymin + ymax) / 2, escala);
  // The centring rounds: the window keeps all of what it was asked to show, its edges included
  // (an entity lying on the edge of a sheet fitted whole is drawn).
  xmin = std::min(xmin, x0), ymin = std::min(ymin, y0);
  xmax = std::max(xmax, x1), ymax = std::max(ymax, y1);
  escala_actual = escala;
}

void Vista::CentraZoom() {
  centra_en((xmin + xmax) / 2, (ymin + ymax) / 2, escala_actual);
  calculo_escala();
}

void Vista::DesplazaCentro(double x, double y) {
  centro_x = x;
  centro_y = y;
  centra_en(x, y, escala_actual);
}

void Vista::centra_en(double x, double y, double escala_ventana) {
  const double mitad_ancho = ancho_pantalla_m() / 2 * escala_ventana;
  const double mitad_alto = alto_pantalla_m() / 2 * escala_ventana;
  xmin = x - mitad_ancho;
  xmax = x + mitad_ancho;
  ymin = y - mitad_alto;
  ymax = y + mitad_alto;
}

void Vista::ajusta_a_fichero(const RangoFichero& rango, int uds) {
  if (rango.xmin > rango.xmax || rango.ymin > rango.ymax) {
    // A file without entities: a one-metre window at the origin.
    xmin = ymin = 0;
    xmax = ymax = 1;
    zmin = zmax = 0;
  } else {
    xmin = rango.xmin / uds;
    ymin = rango.ymin / uds;
    xmax = rango.xmax / uds;
    ymax = rango.ymax / uds;
    zmin = rango.zmin / uds;
    zmax = rango.zmax / uds;
  }
  xminf = xmin, yminf = ymin, xmaxf = xmax, ymaxf = ymax;
  calculo_escala();
}

void Vista::zoom_todo() {
  xmin = xminf, ymin = yminf, xmax = xmaxf, ymax = ymaxf;
  calculo_escala();
}

}  // namespace telmora
