// A drawing surface that paints nothing: for a drawing whose only use is what it drew (the
// commands that work on the drawn entities without writing a picture), and for tests that
// follow what a tool asks rather than the picture, overriding the operations they record.
#pragma once

#include "superficie.h"

namespace telmora {

class SuperficieNula : public Superficie {
 public:
  explicit SuperficieNula(int ancho = 100, int alto = 100) : ancho_(ancho), alto_(alto) {}
  int ancho() const override { return ancho_; }
  int alto() const override { return alto_; }
  void borra(Rgb) override {}
  void modo(ModoDibujo) override {}
  void pluma(int, int, Rgb) override {}
  void pincel(Rgb) override {}
  void polilinea(std::span<const PuntoPantalla>) override {}
  void poligono(std::span<const PuntoPantalla>) override {}
  void pixel(int, int, Rgb) override {}
  void punto(int, int) override {}
  void circulo(int, int, int) override {}
  void texto(int, int, std::string_view, int, int, Alineacion, Rgb) override {}

 private:
  int ancho_, alto_;
};

}  // namespace telmora
