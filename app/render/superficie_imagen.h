// The drawing surface on a QImage, shared by the viewer's drawing area, the command line's
// rendering to PNG and the tests, which read its pixels.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "superficie.h"

namespace telmora {

class SuperficieImagen : public Superficie {
 public:
  SuperficieImagen(int ancho, int alto);
  ~SuperficieImagen() override;

  int ancho() const override { return imagen_.width(); }
  int alto() const override { return imagen_.height(); }
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

 private:
  void empieza();
  void termina();

  QImage imagen_;
  std::unique_ptr<QPainter> pintor_;
  QFont fuente_;
  ModoDibujo modo_ = ModoDibujo::copia;
};

QColor a_qcolor(Rgb color);

}  // namespace telmora
