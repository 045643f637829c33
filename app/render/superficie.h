// The drawing surface: the operations drawing needs, in whole pixels of the drawing area with
// the origin at the top left. One implementation paints a QImage; tests read its pixels.
#pragma once

#include <span>
#include <string_view>

#include "tabla_vekt.h"

namespace telmora {

struct PuntoPantalla {
  int x = 0, y = 0;
};

// A line or polygon all of whose points lie within this many pixels of its first one, drawn with
// a solid pen of one pixel, is set pixel by pixel: each segment sets the pixels of the straight
// line between its ends (Bresenham), both ends included.
inline constexpr int kLadoPixelAPixel = 8;

// Where a text's box sits on its anchor point.
enum class Horizontal { izquierda, centro, derecha };
enum class Vertical { arriba, centro, abajo };
struct Alineacion {
  Horizontal horizontal = Horizontal::izquierda;
  Vertical vertical = Vertical::abajo;
  friend bool operator==(const Alineacion&, const Alineacion&) = default;
};

// Copy paints the colour; inversion inverts what is under the pen (drawing twice restores).
enum class ModoDibujo { copia, inversion };

class Grabacion;

class Superficie {
 public:
  virtual ~Superficie() = default;

  virtual int ancho() const = 0;
  virtual int alto() const = 0;

  // Clears the whole area to a colour.
  virtual void borra(Rgb fondo) = 0;
  virtual void modo(ModoDibujo modo) = 0;
  // The pen of the lines that follow: style (0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot,
  // 5 none), width in pixels (0 is one pixel) and colour.
  virtual void pluma(int estilo, int ancho, Rgb color) = 0;
  // The solid brush that fills polygons.
  virtual void pincel(Rgb color) = 0;

  virtual void polilinea(std::span<const PuntoPantalla> puntos) = 0;
  // Filled with the brush and outlined with the pen.
  virtual void poligono(std::span<const PuntoPantalla> puntos) = 0;
  virtual void pixel(int x, int y, Rgb color) = 0;
  // A round dot of the pen's width and colour.
  virtual void punto(int x, int y) = 0;
  // A circle outline with the pen.
  virtual void circulo(int x, int y, int radio) = 0;
  // A text of that character height in pixels, turned counter-clockwise by `escapamiento`
  // tenths of a degree about its anchor (x, y).
  virtual void texto(int x, int y, std::string_view utf8, int altura_px, int escapamiento,
                     Alineacion alineacion, Rgb color) = 0;

  // Paints recorded drawings, in order, with the very pixels that their operations drawn one by
  // one on this surface would give; the surface may paint them in any way that keeps that (in
  // bands on several cores). The default draws the operations one by one.
  virtual void reproduce(std::span<const Grabacion* const> grabaciones);
};

}  // namespace telmora
