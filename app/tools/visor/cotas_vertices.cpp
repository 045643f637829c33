#include "visor/cotas_vertices.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

#include "funciones.h"
#include "pintor.h"

namespace telmora {

namespace {

constexpr double kSeparacionPx = 60;  // screen length of line between two labels
constexpr double kAlturaEtiquetaPx = 13;
constexpr int kDesplazamientoPx = 3;    // from the vertex to the label's bottom-left corner
constexpr int kAnchoMarca = 3;          // dot on the labelled vertex
constexpr double kAnchoCaracter = 0.6;  // width of a digit for the label's height
constexpr int kCelda = 32;              // side of the cells that file the placed labels

struct CajaEtiqueta {
  int x0, y0, x1, y1;
  bool solapa(const CajaEtiqueta& otra) const {
    return x0 <= otra.x1 && otra.x0 <= x1 && y0 <= otra.y1 && otra.y0 <= y1;
  }
};

// The labels already placed, filed under every grid cell their box touches, so that a new box
// is compared only with its neighbours.
class Ocupacion {
 public:
  bool libre(const CajaEtiqueta& caja) const {
    bool libre = true;
    recorre(caja, [&](long long celda) {
      const auto encontrada = celdas_.find(celda);
      if (encontrada == celdas_.end()) return;
      for (const CajaEtiqueta& otra : encontrada->second) libre = libre && !caja.solapa(otra);
    });
    return libre;
  }
  void ocupa(const CajaEtiqueta& caja) {
    recorre(caja, [&](long long celda) { celdas_[celda].push_back(caja); });
  }

 private:
  template <typename F>
  static void recorre(const CajaEtiqueta& caja, F&& f) {
    for (int cy = caja.y0 / kCelda; cy <= caja.y1 / kCelda; ++cy) {
      for (int cx = caja.x0 / kCelda; cx <= caja.x1 / kCelda; ++cx) {
        f((static_cast<long long>(cy) << 32) ^ static_cast<unsigned>(cx));
      }
    }
  }

  std::unordered_map<long long, std::vector<CajaEtiqueta>> celdas_;
};

}  // namespace

int VisualizarCotasVertices(Superficie& superficie, const Sesion& sesion, const Vista& vista,
                            const EntidadesDibujadas& dibujadas) {
  const Hoja& hoja = sesion.hoja;
  const int uds = sesion.ajustes.uds;
  const Rgb color = color_legible(color_fondo(sesion.tabla, sesion.paleta));
  // The label's height on the map for the same size on the screen at any scale; the renderer's
  // text size is a whole number of its units, at least 2 so the label is never a mere mark.
  const double tpp = vista.twips_por_pixel();
  const double unidades_texto = std::max(2.0, std::nearbyint(kAlturaEtiquetaPx * tpp / 50.8));
  const double altura = unidades_texto * vista.escala * uds / (100 * tpp);
  const int alto_px = altura_fuente_px(tamano_texto(altura, uds, vista.escala, tpp), tpp);

  Ocupacion ocupacion;
  int etiquetas = 0;
  for (const Entidad& e : hoja.c) {
    const auto vertices = hoja.vertices_de(e);
    if (!dibujadas.contiene(e) || vertices.size() < 2) continue;
    double recorrido_px = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const Vertice& v = vertices[i];
      if (i > 0) {
        const Vertice& anterior = vertices[i - 1];
        recorrido_px += distancia_puntos(anterior.x, anterior.y, v.x, v.y) / uds * vista.factor;
      }
      if (recorrido_px < kSeparacionPx) continue;
      double xp = 0, yp = 0;
      vista.transforma_coordenadas(double(v.x) / uds, double(v.y) / uds, xp, yp);
      if (!(xp >= 0 && yp >= 0 && xp < superficie.ancho() && yp < superficie.alto())) continue;
      const std::string texto = texto_cota(v.z, uds);
      const int x = static_cast<int>(std::lround(xp)), y = static_cast<int>(std::lround(yp));
      const int ancho_px = static_cast<int>(std::ceil(texto.size() * kAnchoCaracter * alto_px));
      const CajaEtiqueta caja{x, y - kDesplazamientoPx - alto_px, x + kDesplazamientoPx + ancho_px,
                              y};
      // A label cut by the edge of the drawing area or lying over another cannot be read.
      if (caja.y0 < 0 || caja.x1 >= superficie.ancho() || !ocupacion.libre(caja)) continue;
      ocupacion.ocupa(caja);
      superficie.pluma(0, kAnchoMarca, color);
      superficie.punto(x, y);
      Pintor::PintoUnTexto(superficie, x + kDesplazamientoPx, y - kDesplazamientoPx, texto, 0,
                           altura, 0, color, vista, uds);
      recorrido_px = 0;
      ++etiquetas;
    }
  }
  return etiquetas;
}

}  // namespace telmora
