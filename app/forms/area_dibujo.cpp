#include "area_dibujo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace telmora {

AreaDibujo::AreaDibujo(QWidget* padre) : QWidget(padre), superficie_(1, 1) {
  setObjectName("AreaDibujo");
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A click on the map gives it the keys (arrows, "+", "-", Enter), whatever box had them.
  setFocusPolicy(Qt::ClickFocus);
  setMinimumSize(100, 100);
}

void AreaDibujo::esquina_de_zoom(std::optional<QPoint> esquina) {
  if (esquina == esquina_) return;
  esquina_ = esquina;
  update();
}

void AreaDibujo::paintEvent(QPaintEvent* evento) {
  QPainter pintor(this);
  pintor.drawImage(evento->rect(), superficie_.imagen(), evento->rect());
  if (esquina_) {
    pintor.setPen(QPen(Qt::white, 0, Qt::DashLine));
    pintor.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    pintor.drawRect(QRect(*esquina_, puntero_).normalized());
  }
}

void AreaDibujo::mousePressEvent(QMouseEvent* evento) {
  if (al_pulsar) al_pulsar(evento->button(), evento->position().toPoint());
}

void AreaDibujo::mouseMoveEvent(QMouseEvent* evento) {
  puntero_ = evento->position().toPoint();
  if (esquina_) update();
  if (al_mover) al_mover(puntero_);
}

void AreaDibujo::wheelEvent(QWheelEvent* evento) {
  constexpr int kPaso = 120;  // one notch of a usual wheel
  giro_ += evento->angleDelta().y();
  const int pasos = giro_ / kPaso;
  giro_ -= pasos * kPaso;
  if (pasos != 0 && al_girar_rueda) al_girar_rueda(evento->position().toPoint(), pasos);
  evento->accept();
}

void AreaDibujo::resizeEvent(QResizeEvent* /*evento*/) {
  superficie_.redimensiona(width(), height());
  if (al_redimensionar) al_redimensionar(size());
}

}  // namespace telmora
