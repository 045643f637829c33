#include "vigia_ventanas.h"

#include <QChildEvent>
#include <QWidget>

namespace telmora {

VigiaVentanas::VigiaVentanas(QWidget* duena, std::function<void()> al_cerrarse_una)
    : QObject(duena), duena_(duena), al_cerrarse_una_(std::move(al_cerrarse_una)) {
  duena_->installEventFilter(this);
}

bool VigiaVentanas::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == duena_) {
    // A child is polished when it is first shown: a window among them is watched from then on.
    if (evento->type() == QEvent::ChildPolished) {
      auto* hija = qobject_cast<QWidget*>(static_cast<QChildEvent*>(evento)->child());
      if (hija != nullptr && hija->isWindow()) hija->installEventFilter(this);
    }
    return false;
  }
  // Hidden by the program (closed, accepted, rejected), not minimised by the window system.
  if (evento->type() == QEvent::Hide && !evento->spontaneous()) al_cerrarse_una_();
  return false;
}

}  // namespace telmora
