// The double-point form: the tolerances of the cleaning of double points and of the checks for
// loops, semi-loops and duplicated segments. It only gathers them; the viewer runs the process
// when the form is accepted.
#pragma once

#include <QDialog>

#include "depuracion/pdobles.h"
#include "dialogos.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace telmora {

class PDobles : public QDialog {
 public:
  PDobles(int uds, Dialogos& dialogos, QWidget* padre = nullptr);
  // The tolerances read when "Procesar" was pressed.
  const ToleranciasPdobles& tolerancias() const { return tolerancias_; }

 protected:
  // Enter in a text box does what the box says, never "Procesar" by itself.
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  void actualiza_diagonal();
  void procesar();

  int uds_;
  Dialogos& dialogos_;
  QLineEdit* text2_;
  QLineEdit* text4_;
  QLabel* label2_;
  QPushButton* command1_;
  ToleranciasPdobles tolerancias_;
};

}  // namespace telmora
