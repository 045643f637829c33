// The drawing surface on a QImage, shared by the viewer's drawing area, the command line's
// rendering to PNG and the tests, which read its pixels.
//
// A whole sheet on screen is mostly shapes of a few pixels, and a painter call costs far more
// than the pixels it sets. Shapes that fit in a few pixels, drawn with a thin solid pen, are set
// straight into the picture; so are texts of moderate size, whose pixels are rendered once per
// text, size, angle and anchor and then reused. Everything else goes through QPainter.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "superficie.h"

namespace telmora {

class SuperficieImagen : public Superficie {
 public:
  SuperficieImagen(int ancho, int alto);
  ~SuperficieImagen() override;

  int ancho() const override { return ancho_; }
  int alto() const override { return alto_; }
  void borra(Rgb fondo) override;
  void modo(ModoDibujo modo) override;
  void pluma(int estilo, int ancho, Rgb color) override;
  void pincel(Rgb color) override;
  void polilinea(std::span<const PuntoPantalla> puntos) override;
  void poligono(std::span<const PuntoPantalla> puntos) override;
  void pixel(int x, int y, Rgb color) override;
  void punto(int x, int y) override;
  void circulo(int x, int y, int radio) override;
  void texto(int x, int y, std::string_view utf8, int altura_px, int escapamiento,
             Alineacion alineacion, Rgb color) override;

  // The picture as it stands (painting is flushed first).
  const QImage& imagen();
  // Resizes the picture, keeping nothing of it.
  void redimensiona(int ancho, int alto);
  // Blends every pixel toward white by `fraccion` (0 leaves it, 1 makes it white), so that what
  // is drawn next stands out over what was drawn before.
  void aclara(double fraccion);

 private:
  struct Pluma {
    int estilo = -1, ancho = -1;
    QRgb color = 0;
  };

  void empieza();
  void termina();
  // Sets the painter's pen and brush to the current ones when they changed.
  void prepara_pintor();
  // Writes one pixel straight into the picture, in the current drawing mode.
  void pixel_directo(int x, int y, QRgb color) {
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(ancho_) ||
        static_cast<unsigned>(y) >= static_cast<unsigned>(alto_)) {
      return;
    }
    QRgb& destino =
        reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * bytes_por_linea_)[x];
    destino = modo_ == ModoDibujo::inversion ? (~destino | 0xFF000000u) : (color | 0xFF000000u);
  }
  void segmento_directo(PuntoPantalla a, PuntoPantalla b, QRgb color);
  void relleno_directo(std::span<const PuntoPantalla> puntos, QRgb color);
  // The shape is small enough, and the pen thin and solid, to be set pixel by pixel.
  bool directo(std::span<const PuntoPantalla> puntos) const;
  // Pixels a text sets, relative to its anchor; `extension` is its advance plus its height.
  const std::vector<QPoint>& mascara(const QString& texto, std::string_view utf8, int altura_px,
                                     int extension, int escapamiento, Alineacion alineacion);

  QImage imagen_;
  uchar* bits_ = nullptr;
  qsizetype bytes_por_linea_ = 0;
  int ancho_ = 1, alto_ = 1;
  std::unique_ptr<QPainter> pintor_;
  QFont fuente_;
  ModoDibujo modo_ = ModoDibujo::copia;
  Pluma pluma_, pluma_en_pintor_;
  QRgb pincel_ = 0, pincel_en_pintor_ = 1;
  std::unordered_map<std::string, std::vector<QPoint>> mascaras_;
};

QColor a_qcolor(Rgb color);

}  // namespace telmora
