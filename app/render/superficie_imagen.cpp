#include "superficie_imagen.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace telmora {

namespace {

constexpr int kEstiloSolido = 0;
constexpr int kEstiloNulo = 5;
constexpr int kLadoDirecto = 8;  // shapes within this many pixels are set directly
constexpr std::size_t kMaxMascaras = 4096;
// Texts whose advance plus height exceeds this many pixels are painted directly: a mask needs
// a canvas of the text's whole size, whatever part of it falls on the picture.
constexpr int kExtensionMaximaMascara = 512;

Qt::PenStyle estilo_qt(int estilo) {
  switch (estilo) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    case kEstiloNulo:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

const QPoint* a_qpoints(std::span<const PuntoPantalla> puntos) {
  static_assert(sizeof(PuntoPantalla) == sizeof(QPoint),
                "screen points are passed to Qt as they are");
  return reinterpret_cast<const QPoint*>(puntos.data());
}

QRgb a_qrgb(Rgb color) {
  return qRgb(color.rojo, color.verde, color.azul);
}

// Angle step (tenths of a degree) below which a text's pixels cannot change: a quarter of a
// pixel at the far end of its box.
int paso_de_angulo(int extension_px) {
  const double radianes = 0.25 / std::max(1, extension_px);
  return std::max(1, static_cast<int>(radianes * 180 / std::numbers::pi * 10));
}

void coloca_en_ancla(QPainter& pintor, const QFont& fuente, const QString& texto, int escapamiento,
                     Alineacion alineacion) {
  const QFontMetrics medidas(fuente);
  double dx = 0, dy = 0;  // from the anchor to the start of the baseline
  const int ancho = medidas.horizontalAdvance(texto);
  if (alineacion.horizontal == Horizontal::centro) dx = -ancho / 2.0;
  if (alineacion.horizontal == Horizontal::derecha) dx = -ancho;
  switch (alineacion.vertical) {
    case Vertical::arriba:
      dy = medidas.ascent();
      break;
    case Vertical::centro:
      dy = (medidas.ascent() - medidas.descent()) / 2.0;
      break;
    case Vertical::abajo:
      dy = -medidas.descent();
      break;
  }
  pintor.setFont(fuente);
  if (escapamiento != 0) pintor.rotate(-escapamiento / 10.0);
  pintor.drawText(QPointF(dx, dy), texto);
}

}  // namespace

QColor a_qcolor(Rgb color) {
  return QColor(color.rojo, color.verde, color.azul);
}

SuperficieImagen::SuperficieImagen(int ancho, int alto) {
  fuente_.setStyleStrategy(QFont::NoAntialias);
  redimensiona(ancho, alto);
}

SuperficieImagen::~SuperficieImagen() {
  termina();
}

void SuperficieImagen::empieza() {
  // Taken before painting starts, so that the painter and the direct writes share one buffer.
  bits_ = imagen_.bits();
  bytes_por_linea_ = imagen_.bytesPerLine();
  pintor_ = std::make_unique<QPainter>(&imagen_);
  pintor_->setRenderHint(QPainter::Antialiasing, false);
  pintor_->setRenderHint(QPainter::TextAntialiasing, false);
  pluma_en_pintor_ = {};
  pincel_en_pintor_ = ~pincel_;
  modo(modo_);
}

void SuperficieImagen::termina() {
  if (pintor_) pintor_->end();
  pintor_.reset();
}

const QImage& SuperficieImagen::imagen() {
  termina();
  empieza();
  return imagen_;
}

void SuperficieImagen::redimensiona(int ancho, int alto) {
  termina();
  ancho_ = std::max(1, ancho);
  alto_ = std::max(1, alto);
  imagen_ = QImage(ancho_, alto_, QImage::Format_RGB32);
  imagen_.fill(Qt::black);
  empieza();
}

void SuperficieImagen::aclara(double fraccion) {
  termina();
  const int peso = std::clamp(static_cast<int>(fraccion * 256 + 0.5), 0, 256);
  const auto mezcla = [peso](int v) { return v + ((255 - v) * peso >> 8); };
  for (int y = 0; y < alto_; ++y) {
    auto* linea = reinterpret_cast<QRgb*>(imagen_.scanLine(y));
    for (int x = 0; x < ancho_; ++x) {
      const QRgb c = linea[x];
      linea[x] = qRgb(mezcla(qRed(c)), mezcla(qGreen(c)), mezcla(qBlue(c)));
    }
  }
  empieza();
}

void SuperficieImagen::borra(Rgb fondo) {
  imagen_.fill(a_qcolor(fondo));
}

void SuperficieImagen::modo(ModoDibujo modo) {
  modo_ = modo;
  pintor_->setCompositionMode(modo == ModoDibujo::inversion ? QPainter::RasterOp_NotDestination
                                                            : QPainter::CompositionMode_SourceOver);
}

void SuperficieImagen::pluma(int estilo, int ancho, Rgb color) {
  pluma_ = {estilo, ancho, a_qrgb(color)};
}

void SuperficieImagen::pincel(Rgb color) {
  pincel_ = a_qrgb(color);
}

void SuperficieImagen::prepara_pintor() {
  if (pluma_.estilo != pluma_en_pintor_.estilo || pluma_.ancho != pluma_en_pintor_.ancho ||
      pluma_.color != pluma_en_pintor_.color) {
    QPen pluma{QColor(pluma_.color)};
    pluma.setStyle(estilo_qt(pluma_.estilo));
    pluma.setWidth(pluma_.ancho);
    pluma.setCapStyle(pluma_.ancho > 1 ? Qt::RoundCap : Qt::SquareCap);
    pintor_->setPen(pluma);
    pluma_en_pintor_ = pluma_;
  }
  if (pincel_ != pincel_en_pintor_) {
    pintor_->setBrush(QColor(pincel_));
    pincel_en_pintor_ = pincel_;
  }
}

bool SuperficieImagen::directo(std::span<const PuntoPantalla> puntos) const {
  if (pluma_.estilo != kEstiloSolido || pluma_.ancho > 1 || puntos.empty()) return false;
  const PuntoPantalla p0 = puntos.front();
  for (const PuntoPantalla& p : puntos) {
    if (std::abs(p.x - p0.x) > kLadoDirecto || std::abs(p.y - p0.y) > kLadoDirecto) return false;
  }
  return true;
}

void SuperficieImagen::segmento_directo(PuntoPantalla a, PuntoPantalla b, QRgb color) {
  // Bresenham, both ends included.
  const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int error = dx + dy;
  while (true) {
    pixel_directo(a.x, a.y, color);
    if (a.x == b.x && a.y == b.y) return;
    const int doble = 2 * error;
    if (doble >= dy) error += dy, a.x += sx;
    if (doble <= dx) error += dx, a.y += sy;
  }
}

void SuperficieImagen::relleno_directo(std::span<const PuntoPantalla> puntos, QRgb color) {
  // Pixels whose centres are inside by the even-odd rule, as the painter fills.
  int ymin = puntos[0].y, ymax = puntos[0].y;
  for (const PuntoPantalla& p : puntos) ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
  for (int y = ymin; y <= ymax; ++y) {
    const double yc = y + 0.5;
    double cortes[2 * kLadoDirecto + 8];
    int n = 0;
    for (std::size_t i = 0; i < puntos.size() && n < static_cast<int>(std::size(cortes)); ++i) {
      const PuntoPantalla a = puntos[i], b = puntos[(i + 1) % puntos.size()];
      if ((a.y <= yc) == (b.y <= yc)) continue;
      cortes[n++] = a.x + (yc - a.y) * (b.x - a.x) / double(b.y - a.y);
    }
    std::sort(cortes, cortes + n);
    for (int k = 0; k + 1 < n; k += 2) {
      for (int x = static_cast<int>(std::ceil(cortes[k] - 0.5)); x + 0.5 < cortes[k + 1]; ++x) {
        pixel_directo(x, y, color);
      }
    }
  }
}

void SuperficieImagen::polilinea(std::span<const PuntoPantalla> puntos) {
  if (directo(puntos)) {
    for (std::size_t i = 0; i + 1 < puntos.size(); ++i) {
      segmento_directo(puntos[i], puntos[i + 1], pluma_.color);
    }
    if (puntos.size() == 1) pixel_directo(puntos[0].x, puntos[0].y, pluma_.color);
    return;
  }
  prepara_pintor();
  pintor_->drawPolyline(a_qpoints(puntos), static_cast<int>(puntos.size()));
}

void SuperficieImagen::poligono(std::span<const PuntoPantalla> puntos) {
  if (directo(puntos)) {
    if (modo_ == ModoDibujo::copia) relleno_directo(puntos, pincel_);
    for (std::size_t i = 0; i < puntos.size(); ++i) {
      segmento_directo(puntos[i], puntos[(i + 1) % puntos.size()], pluma_.color);
    }
    return;
  }
  prepara_pintor();
  pintor_->drawPolygon(a_qpoints(puntos), static_cast<int>(puntos.size()), Qt::OddEvenFill);
}

void SuperficieImagen::pixel(int x, int y, Rgb color) {
  pixel_directo(x, y, a_qrgb(color));
}

void SuperficieImagen::punto(int x, int y) {
  prepara_pintor();
  pintor_->drawPoint(x, y);
}

void SuperficieImagen::circulo(int x, int y, int radio) {
  prepara_pintor();
  pintor_->setBrush(Qt::NoBrush);
  pintor_->drawEllipse(QPoint(x, y), radio, radio);
  pincel_en_pintor_ = ~pincel_;
}

const std::vector<QPoint>& SuperficieImagen::mascara(const QString& texto, std::string_view utf8,
                                                     int altura_px, int extension, int escapamiento,
                                                     Alineacion alineacion) {
  const int paso = paso_de_angulo(extension);
  escapamiento = (escapamiento % 3600 + 3600) % 3600 / paso * paso;

  std::string clave(utf8);
  clave += '\0' + std::to_string(altura_px) + ',' + std::to_string(escapamiento) + ',' +
           std::to_string(static_cast<int>(alineacion.horizontal)) +
           std::to_string(static_cast<int>(alineacion.vertical));
  if (const auto encontrada = mascaras_.find(clave); encontrada != mascaras_.end()) {
    return encontrada->second;
  }
  if (mascaras_.size() >= kMaxMascaras) mascaras_.clear();
  // Rendered once in white on black around the anchor, then kept as the pixels it sets.
  const int radio = extension + altura_px + 4;
  QImage lienzo(2 * radio + 1, 2 * radio + 1, QImage::Format_RGB32);
  lienzo.fill(Qt::black);
  {
    QPainter pintor(&lienzo);
    pintor.setRenderHint(QPainter::TextAntialiasing, false);
    pintor.setPen(Qt::white);
    pintor.translate(radio, radio);
    coloca_en_ancla(pintor, fuente_, texto, escapamiento, alineacion);
  }
  std::vector<QPoint> pixeles;
  for (int y = 0; y < lienzo.height(); ++y) {
    const auto* linea = reinterpret_cast<const QRgb*>(lienzo.constScanLine(y));
    for (int x = 0; x < lienzo.width(); ++x) {
      if (qRed(linea[x]) > 127) pixeles.emplace_back(x - radio, y - radio);
    }
  }
  return mascaras_.emplace(std::move(clave), std::move(pixeles)).first->second;
}

void SuperficieImagen::texto(int x, int y, std::string_view utf8, int altura_px, int escapamiento,
                             Alineacion alineacion, Rgb color) {
  if (utf8.empty()) return;
  const QString texto = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  fuente_.setPixelSize(std::max(1, altura_px));
  const int extension = QFontMetrics(fuente_).horizontalAdvance(texto) + altura_px;
  const QRgb rgb = a_qrgb(color);
  if (extension > kExtensionMaximaMascara) {
    pintor_->save();
    pintor_->setPen(QColor(rgb));
    pintor_->translate(x, y);
    coloca_en_ancla(*pintor_, fuente_, texto, escapamiento, alineacion);
    pintor_->restore();
    return;
  }
  for (const QPoint& p : mascara(texto, utf8, altura_px, extension, escapamiento, alineacion)) {
    pixel_directo(x + p.x(), y + p.y(), rgb);
  }
}

}  // namespace telmora
