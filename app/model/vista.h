// The view: which rectangle of the map (metres) the drawing area shows, at what scale, and the
// two transforms between map and screen that every drawing, hit test and click goes through.
#pragma once

#include "hoja.h"

namespace telmora {

inline constexpr double kTwipsPorCentimetro = 567;
inline constexpr double kTwipsPorPixelDefecto = 15;

class Vista {
 public:
  // View window in metres; (xmin, ymax) is the map point at the top-left corner.
  double xmin = 0, ymin = 0, xmax = 1, ymax = 1;
  double zmin = 0, zmax = 0;  // elevation range of the file, metres
  // The whole file's range, to come back to the full view.
  double xminf = 0, yminf = 0, xmaxf = 1, ymaxf = 1;
  double factor = 1;         // pixels per metre of map
  double escala = 1;         // scale denominator shown to the user
  double escala_actual = 1;  // scale that re-centring applies
  double centro_x = 0, centro_y = 0;

  // Size of the drawing area in pixels, and twips per pixel of the screen.
  void dimensiona(int ancho_px, int alto_px, double twips_por_pixel = kTwipsPorPixelDefecto);
  int ancho_px() const { return ancho_px_; }
  int alto_px() const { return alto_px_; }
  double twips_por_pixel() const { return twips_por_pixel_; }
  // The drawing area's size in metres of screen (567 twips a centimetre).
  double ancho_pantalla_m() const;
  double alto_pantalla_m() const;

  void transforma_coordenadas(double xutm, double yutm, double& xpantalla,
                              double& ypantalla) const {
    xpantalla = (xutm - xmin) * factor;
    ypantalla = (ymax - yutm) * factor;
  }
  double Fn_pantalla_utm_x(double xxx) const { return xmin + xxx / factor; }
  double Fn_pantalla_utm_y(double yyy) const { return ymax - yyy / factor; }

  // Fits the window to its current contents on the screen's proportions and sets the factor,
  // the scale and the current scale. The contents stay inside it, edges included.
  void calculo_escala();
  // Keeps the window's centre and sizes it for the current scale, then fits.
  void CentraZoom();
  // Centres the window on (x, y) at the current scale.
  void DesplazaCentro(double x, double y);
  // The whole file: its range (file units) in metres becomes the window and the full-view copy.
  void ajusta_a_fichero(const RangoFichero& rango, int uds);
  // Back to the full-view copy.
  void zoom_todo();

 private:
  void centra_en(double x, double y, double escala_ventana);

  int ancho_px_ = 1, alto_px_ = 1;
  double twips_por_pixel_ = kTwipsPorPixelDefecto;
};

}  // namespace telmora
