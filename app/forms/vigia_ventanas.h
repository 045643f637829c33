// The viewer's own windows handing control back. Every window the viewer owns (a top-level
// widget created with the viewer as its parent: the console, InfoElem, BinInfo, RangoCotas and
// every tool form) is watched from its first showing, and the viewer is told when one of them
// is closed or hidden. Windows of other programs, and message boxes (which the viewer does not
// own), play no part. A new tool form needs nothing more than to be created with the viewer as
// its parent.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace telmora {

class VigiaVentanas : public QObject {
 public:
  VigiaVentanas(QWidget* duena, std::function<void()> al_cerrarse_una);

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  QWidget* duena_;
  std::function<void()> al_cerrarse_una_;
};

}  // namespace telmora
