// The drawing surface on a QImage, shared by the viewer's drawing area, the command line's
// rendering to PNG and the tests, which read its pixels.
//
// A whole sheet on screen is mostly shapes of a few pixels, and a painter call costs far more
// than the pixels it sets. Shapes that fit in a few pixels, drawn with a thin solid pen, are set
// straight into the picture; so are texts of moderate size, whose pixels are rendered once per
// text, size, angle and anchor and then reused. Everything else goes through QPainter.
//
// A recorded drawing (reproduce) is painted in horizontal bands, one per job, on every core:
// each band draws, in order, every operation that reaches its rows and sets only pixels of its
// rows, the painter clipped to them. Whether and how a pixel is set does not depend on the band
// (the painter clips against the whole picture and only then to the band), so the picture is
// the one that drawing the operations one by one would give.
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
  void reproduce(std::span<const Grabacion* const> grabaciones) override;

  // The picture as it stands (painting is flushed first).
  const QImage& imagen();
  // Resizes the picture, keeping nothing of it.
  void redimensiona(int ancho, int alto);
  // Blends every pixel toward white by `fraccion` (0 leaves it, 1 makes it white), so that what
  // is drawn next stands out over what was drawn before.
  void aclara(double fraccion);

  // The pixels of a text set straight into the picture, relative to its anchor, and the rows
  // they span.
  struct Mascara {
    std::vector<QPoint> pixeles;
    int fila_minima = 0, fila_maxima = -1;
  };
  // Rows of the picture (and their painter) that drawing may touch: the whole picture, or one
  // band of it.
  class Lienzo;

 private:
  void empieza();
  void termina();
  // The mask of a text, or nullptr when it is too large for one and is painted directly; either
  // way `extension` gets its advance plus its height. While `puede_vaciar` is false the masks
  // already handed out stay valid.
  const Mascara* mascara(std::string_view utf8, int altura_px, int escapamiento,
                         Alineacion alineacion, bool puede_vaciar, int& extension);
  // Bands: the texts' masks made first, on this thread; the picture cut into bands of about
  // equal work; each recording's operations sorted into the bands they reach, and each band
  // painted on its own thread.
  struct Bandas;
  void mascaras_de_textos(std::span<const Grabacion* const> grabaciones);
  std::vector<int> cortes_de_bandas(std::span<const Grabacion* const> grabaciones,
                                    std::size_t ordenes) const;
  void pinta_bandas(std::span<const Grabacion* const> grabaciones, std::size_t ordenes);

  QImage imagen_;
  uchar* bits_ = nullptr;  // the buffer the painter paints, taken when it started
  int ancho_ = 1, alto_ = 1;
  std::unique_ptr<QPainter> pintor_;
  std::unique_ptr<Lienzo> lienzo_;
  std::unique_ptr<Bandas> bandas_;  // kept with their memory from drawing to drawing
  QFont fuente_;
  std::unordered_map<std::string, int> extensiones_;  // a text's advance plus its height
  std::unordered_map<std::string, Mascara> mascaras_;
  std::string clave_;  // scratch for the keys of both
};

QColor a_qcolor(Rgb color);

}  // namespace telmora
