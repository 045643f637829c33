// The pair-control window "Control de Pares": the database read and the counts of its pairs.
#pragma once

#include <QDialog>
#include <functional>

#include "control/control_pares.h"

namespace telmora {

class ControlPares : public QDialog {
 public:
  // `al_dejarla` runs when the window, once active, gives the activation to another window, and
  // when it is closed: the topology window that drew the pairs goes with it.
  ControlPares(const ResultadoControlPares& resultado, std::function<void()> al_dejarla,
               QWidget* padre = nullptr);
  ~ControlPares() override;

  // Moves the window beside `otra` (right, left, below or above it, the first place that is
  // wholly on the screen), so that neither hides the other.
  void se_coloca_junto_a(const QWidget& otra);

 protected:
  void changeEvent(QEvent* evento) override;

 private:
  std::function<void()> al_dejarla_;
  bool fue_activa_ = false;
};

}  // namespace telmora
