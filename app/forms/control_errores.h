// The error-control window "ControlErr": the sheet's error database and its rows after the
// errors written in the sheet were marked (the changed rows in bold).
#pragma once

#include <QDialog>

#include "control/control_errores.h"

namespace telmora {

class ControlErrores : public QDialog {
 public:
  explicit ControlErrores(const ResultadoControlErrores& resultado, QWidget* padre = nullptr);
};

}  // namespace telmora
