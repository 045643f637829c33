#include "grabacion.h"

#include <algorithm>

namespace telmora {

namespace {

// Pixels around a shape's points that its pen may set.
int margen_de_pluma(std::int32_t ancho) {
  return std::max(0, ancho) / 2 + 2;
}

}  // namespace

void Grabacion::vacia(int ancho, int alto) {
  ancho_ = ancho;
  alto_ = alto;
  estilo_ = 0;
  ancho_pluma_ = 0;
  pluma_ = pincel_ = 0;
  ordenes_.clear();
  puntos_.clear();
  textos_.clear();
  textos_en_ordenes_.clear();
  ultimo_modo_ = ultima_forma_ = kNinguna;
}

Grabacion::Orden& Grabacion::nueva(Tipo tipo) {
  const auto k = static_cast<std::uint32_t>(ordenes_.size());
  if (tipo == Tipo::modo) ultimo_modo_ = k;
  if (tipo == Tipo::texto) textos_en_ordenes_.push_back(k);
  if (tipo == Tipo::polilinea || tipo == Tipo::poligono || tipo == Tipo::punto ||
      tipo == Tipo::circulo) {
    ultima_forma_ = k;
  }
  Orden& orden = ordenes_.emplace_back();
  orden.tipo = tipo;
  orden.estilo = estilo_;
  orden.ancho = ancho_pluma_;
  orden.pluma = pluma_;
  orden.pincel = pincel_;
  return orden;
}

void Grabacion::borra(Rgb fondo) {
  Orden& orden = nueva(Tipo::borra);
  orden.pincel = empaqueta(fondo);
  orden.x1 = ancho_ - 1;
  orden.y1 = alto_ - 1;
}

void Grabacion::modo(ModoDibujo modo) {
  Orden& orden = nueva(Tipo::modo);
  orden.alineacion = static_cast<std::uint8_t>(modo);
  orden.x1 = ancho_ - 1;
  orden.y1 = alto_ - 1;
}

void Grabacion::pluma(int estilo, int ancho, Rgb color) {
  estilo_ = static_cast<std::int8_t>(std::clamp(estilo, -1, 6));
  ancho_pluma_ = ancho;
  pluma_ = empaqueta(color);
}

void Grabacion::pincel(Rgb color) {
  pincel_ = empaqueta(color);
}

void Grabacion::forma(Tipo tipo, std::span<const PuntoPantalla> puntos) {
  Orden& orden = nueva(tipo);
  orden.primero = static_cast<std::uint32_t>(puntos_.size());
  orden.cuantos = static_cast<std::uint32_t>(puntos.size());
  puntos_.insert(puntos_.end(), puntos.begin(), puntos.end());
  if (puntos.empty()) return;
  int x0 = puntos[0].x, y0 = puntos[0].y, x1 = x0, y1 = y0;
  for (const PuntoPantalla& p : puntos) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  const int margen = margen_de_pluma(orden.ancho);
  orden.x0 = x0 - margen, orden.y0 = y0 - margen;
  orden.x1 = x1 + margen, orden.y1 = y1 + margen;
}

void Grabacion::polilinea(std::span<const PuntoPantalla> puntos) {
  forma(Tipo::polilinea, puntos);
}

void Grabacion::poligono(std::span<const PuntoPantalla> puntos) {
  forma(Tipo::poligono, puntos);
}

void Grabacion::pixel(int x, int y, Rgb color) {
  Orden& orden = nueva(Tipo::pixel);
  orden.pluma = empaqueta(color);
  orden.x0 = orden.x1 = x;
  orden.y0 = orden.y1 = y;
}

void Grabacion::punto(int x, int y) {
  Orden& orden = nueva(Tipo::punto);
  const int margen = margen_de_pluma(orden.ancho);
  orden.x0 = x - margen, orden.y0 = y - margen;
  orden.x1 = x + margen, orden.y1 = y + margen;
}

void Grabacion::circulo(int x, int y, int radio) {
  Orden& orden = nueva(Tipo::circulo);
  orden.a = radio;
  const int margen = std::abs(radio) + margen_de_pluma(orden.ancho);
  orden.x0 = x - margen, orden.y0 = y - margen;
  orden.x1 = x + margen, orden.y1 = y + margen;
}

void Grabacion::texto(int x, int y, std::string_view utf8, int altura_px, int escapamiento,
                      Alineacion alineacion, Rgb color) {
  Orden& orden = nueva(Tipo::texto);
  orden.pluma = empaqueta(color);
  orden.alineacion = static_cast<std::uint8_t>(3 * static_cast<int>(alineacion.horizontal) +
                                               static_cast<int>(alineacion.vertical));
  orden.x0 = orden.x1 = x;
  orden.y0 = orden.y1 = y;
  orden.a = altura_px;
  orden.b = escapamiento;
  orden.primero = static_cast<std::uint32_t>(textos_.size());
  orden.cuantos = static_cast<std::uint32_t>(utf8.size());
  textos_.append(utf8);
}

void Grabacion::reproduce_en(Superficie& superficie) const {
  for (const Orden& orden : ordenes_) {
    switch (orden.tipo) {
      case Tipo::borra:
        superficie.borra(orden.color_pincel());
        break;
      case Tipo::modo:
        superficie.modo(static_cast<ModoDibujo>(orden.alineacion));
        break;
      case Tipo::polilinea:
      case Tipo::poligono:
      case Tipo::punto:
      case Tipo::circulo:
        superficie.pluma(orden.estilo, orden.ancho, orden.color_pluma());
        superficie.pincel(orden.color_pincel());
        if (orden.tipo == Tipo::polilinea) superficie.polilinea(puntos(orden));
        if (orden.tipo == Tipo::poligono) superficie.poligono(puntos(orden));
        if (orden.tipo == Tipo::punto)
          superficie.punto(orden.x0 + (orden.x1 - orden.x0) / 2,
                           orden.y0 + (orden.y1 - orden.y0) / 2);
        if (orden.tipo == Tipo::circulo) {
          superficie.circulo(orden.x0 + (orden.x1 - orden.x0) / 2,
                             orden.y0 + (orden.y1 - orden.y0) / 2, orden.a);
        }
        break;
      case Tipo::pixel:
        superficie.pixel(orden.x0, orden.y0, orden.color_pluma());
        break;
      case Tipo::texto:
        superficie.texto(orden.x0, orden.y0, texto(orden), orden.a, orden.b,
                         orden.alineacion_texto(), orden.color_pluma());
        break;
    }
  }
}

void Superficie::reproduce(std::span<const Grabacion* const> grabaciones) {
  for (const Grabacion* grabacion : grabaciones) grabacion->reproduce_en(*this);
}

}  // namespace telmora
