// The pair-control window "Control de Pares": the database read and the counts of its pairs.
#pragma once

#include <QDialog>

#include "control/control_pares.h"

namespace telmora {

class ControlPares : public QDialog {
 public:
  explicit ControlPares(const ResultadoControlPares& resultado, QWidget* padre = nullptr);
};

}  // namespace telmora
