// The viewer's drawing area: shows the picture the drawing left in its surface, passes mouse
// presses and moves on, and outlines the zoom window being chosen.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "superficie_imagen.h"

namespace telmora {

class AreaDibujo : public QWidget {
 public:
  explicit AreaDibujo(QWidget* padre = nullptr);

  SuperficieImagen& superficie() { return superficie_; }

  std::function<void(Qt::MouseButton, QPoint)> al_pulsar;
  std::function<void(QPoint)> al_mover;
  std::function<void(QSize)> al_redimensionar;
  std::function<void(QPoint, int)> al_girar_rueda;  // pointer and whole steps away from the user

  // The first corner of a zoom window being chosen, outlined up to the pointer.
  void esquina_de_zoom(std::optional<QPoint> esquina);

 protected:
  void paintEvent(QPaintEvent* evento) override;
  void mousePressEvent(QMouseEvent* evento) override;
  void mouseMoveEvent(QMouseEvent* evento) override;
  void resizeEvent(QResizeEvent* evento) override;
  void wheelEvent(QWheelEvent* evento) override;

 private:
  SuperficieImagen superficie_;
  std::optional<QPoint> esquina_;
  QPoint puntero_;
  int giro_ = 0;  // wheel rotation not yet a whole step (eighths of a degree)
};

}  // namespace telmora
