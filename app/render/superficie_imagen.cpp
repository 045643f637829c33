#include "superficie_imagen.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygon>
#include <vector>

namespace telmora {

namespace {

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
    case 5:
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

}  // namespace

QColor a_qcolor(Rgb color) {
  return QColor(color.rojo, color.verde, color.azul);
}

SuperficieImagen::SuperficieImagen(int ancho, int alto)
    : imagen_(std::max(1, ancho), std::max(1, alto), QImage::Format_RGB32) {
  imagen_.fill(Qt::black);
  fuente_.setStyleStrategy(QFont::NoAntialias);
  empieza();
}

SuperficieImagen::~SuperficieImagen() {
  termina();
}

void SuperficieImagen::empieza() {
  pintor_ = std::make_unique<QPainter>(&imagen_);
  pintor_->setRenderHint(QPainter::Antialiasing, false);
  pintor_->setRenderHint(QPainter::TextAntialiasing, false);
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
  imagen_ = QImage(std::max(1, ancho), std::max(1, alto), QImage::Format_RGB32);
  imagen_.fill(Qt::black);
  empieza();
}

void SuperficieImagen::borra(Rgb fondo) {
  const auto modo_previo = pintor_->compositionMode();
  pintor_->setCompositionMode(QPainter::CompositionMode_Source);
  pintor_->fillRect(imagen_.rect(), a_qcolor(fondo));
  pintor_->setCompositionMode(modo_previo);
}

void SuperficieImagen::modo(ModoDibujo modo) {
  modo_ = modo;
  pintor_->setCompositionMode(modo == ModoDibujo::inversion ? QPainter::RasterOp_NotDestination
                                                            : QPainter::CompositionMode_SourceOver);
}

void SuperficieImagen::pluma(int estilo, int ancho, Rgb color) {
  QPen pluma(a_qcolor(color));
  pluma.setStyle(estilo_qt(estilo));
  pluma.setWidth(ancho);
  pluma.setCapStyle(ancho > 1 ? Qt::RoundCap : Qt::SquareCap);
  pintor_->setPen(pluma);
}

void SuperficieImagen::pincel(Rgb color) {
  pintor_->setBrush(a_qcolor(color));
}

void SuperficieImagen::polilinea(std::span<const PuntoPantalla> puntos) {
  pintor_->drawPolyline(a_qpoints(puntos), static_cast<int>(puntos.size()));
}

void SuperficieImagen::poligono(std::span<const PuntoPantalla> puntos) {
  pintor_->drawPolygon(a_qpoints(puntos), static_cast<int>(puntos.size()), Qt::OddEvenFill);
}

void SuperficieImagen::pixel(int x, int y, Rgb color) {
  const QPen previa = pintor_->pen();
  pintor_->setPen(QPen(a_qcolor(color), 0));
  pintor_->drawPoint(x, y);
  pintor_->setPen(previa);
}

void SuperficieImagen::punto(int x, int y) {
  pintor_->drawPoint(x, y);
}

void SuperficieImagen::circulo(int x, int y, int radio) {
  const QBrush previo = pintor_->brush();
  pintor_->setBrush(Qt::NoBrush);
  pintor_->drawEllipse(QPoint(x, y), radio, radio);
  pintor_->setBrush(previo);
}

void SuperficieImagen::texto(int x, int y, std::string_view utf8, int altura_px, int escapamiento,
                             Alineacion alineacion, Rgb color) {
  if (utf8.empty()) return;
  const QString texto = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  fuente_.setPixelSize(std::max(1, altura_px));
  const QFontMetrics medidas(fuente_);
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
  pintor_->save();
  pintor_->setFont(fuente_);
  pintor_->setPen(a_qcolor(color));
  pintor_->translate(x, y);
  if (escapamiento != 0) pintor_->rotate(-escapamiento / 10.0);
  pintor_->drawText(QPointF(dx, dy), texto);
  pintor_->restore();
}

}  // namespace telmora
