// A drawing recorded instead of painted: a surface that keeps every operation drawn on it, in
// order, to be painted later onto another surface in one go (Superficie::reproduce). A drawing
// of a whole sheet is recorded in parts on several threads and painted by a surface that can
// paint in bands on every core; any other surface replays the operations one by one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "superficie.h"

namespace telmora {

class Grabacion final : public Superficie {
 public:
  enum class Tipo : std::uint8_t {
    borra,
    modo,
    polilinea,
    poligono,
    pixel,
    punto,
    circulo,
    texto,
  };

  // One operation with the pen and brush in force when it was drawn. Colours are packed
  // 0xRRGGBB; `x0`..`y1` is the area of the picture that it may touch (inclusive) for the shapes,
  // the point or the anchor otherwise.
  struct Orden {
    Tipo tipo = Tipo::borra;
    // Pen style; the styles a pen does not have (below 0, above 5) are kept as -1 and 6.
    std::int8_t estilo = 0;
    std::uint8_t alineacion = 0;  // text: 3 * horizontal + vertical; modo: the mode
    std::uint8_t reserva = 0;
    std::int32_t ancho = 0;  // pen width
    std::uint32_t pluma = 0, pincel = 0;
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::uint32_t primero = 0, cuantos = 0;  // points, or the text's bytes
    std::int32_t a = 0, b = 0;               // text: height and escapement; circle: radius

    Rgb color_pluma() const { return desempaqueta(pluma); }
    Rgb color_pincel() const { return desempaqueta(pincel); }
    Alineacion alineacion_texto() const {
      return {static_cast<Horizontal>(alineacion / 3), static_cast<Vertical>(alineacion % 3)};
    }
  };

  Grabacion(int ancho, int alto) : ancho_(ancho), alto_(alto) {}
  // Forgets everything recorded, keeping the memory for the next drawing, of that size.
  void vacia(int ancho, int alto);

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

  const std::vector<Orden>& ordenes() const { return ordenes_; }
  // Places in ordenes() of the texts, in order.
  const std::vector<std::uint32_t>& textos() const { return textos_en_ordenes_; }
  // The last mode change, and the last shape (a line, polygon, point or circle: the pen and brush
  // that replaying leaves on a surface), or nullptr when there is none.
  const Orden* ultimo_modo() const { return ultima(ultimo_modo_); }
  const Orden* ultima_forma() const { return ultima(ultima_forma_); }
  std::span<const PuntoPantalla> puntos(const Orden& orden) const {
    return {puntos_.data() + orden.primero, orden.cuantos};
  }
  std::string_view texto(const Orden& orden) const {
    return std::string_view(textos_).substr(orden.primero, orden.cuantos);
  }

  // Draws every operation on another surface, one by one, in order.
  void reproduce_en(Superficie& superficie) const;

  static std::uint32_t empaqueta(Rgb color) {
    return static_cast<std::uint32_t>(color.rojo & 0xFF) << 16 |
           static_cast<std::uint32_t>(color.verde & 0xFF) << 8 |
           static_cast<std::uint32_t>(color.azul & 0xFF);
  }
  static Rgb desempaqueta(std::uint32_t color) {
    return {static_cast<int>(color >> 16 & 0xFF), static_cast<int>(color >> 8 & 0xFF),
            static_cast<int>(color & 0xFF)};
  }

 private:
  static constexpr std::uint32_t kNinguna = ~std::uint32_t{0};

  Orden& nueva(Tipo tipo);
  void forma(Tipo tipo, std::span<const PuntoPantalla> puntos);
  const Orden* ultima(std::uint32_t k) const { return k == kNinguna ? nullptr : &ordenes_[k]; }

  int ancho_, alto_;
  std::int8_t estilo_ = 0;
  std::int32_t ancho_pluma_ = 0;
  std::uint32_t pluma_ = 0, pincel_ = 0;
  std::vector<Orden> ordenes_;
  std::vector<PuntoPantalla> puntos_;
  std::string textos_;
  std::vector<std::uint32_t> textos_en_ordenes_;
  std::uint32_t ultimo_modo_ = kNinguna, ultima_forma_ = kNinguna;
};

}  // namespace telmora
