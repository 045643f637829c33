// The dialog that sets the limits of the elevation filter.
#pragma once

#include <QDialog>

class QLineEdit;

namespace telmora {

class RangoCotas : public QDialog {
 public:
  RangoCotas(double minima, double maxima, QWidget* padre = nullptr);
  double minima() const { return minima_; }
  double maxima() const { return maxima_; }

 private:
  void aceptar();

  QLineEdit* text1_;
  QLineEdit* text2_;
  double minima_, maxima_;
};

}  // namespace telmora
