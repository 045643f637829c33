#include "rango_cotas.h"

#include "dialogos_qt.h"
#include "texto.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace telmora {

RangoCotas::RangoCotas(double minima, double maxima, QWidget* padre)
    : QDialog(padre), minima_(minima), maxima_(maxima) {
  setObjectName("RangoCotas");
  setWindowTitle("Establecer Rango de Cotas a Visualizar");
  auto* capa = new QGridLayout(this);
  auto* label1 = new QLabel("Cota Mínima :", this);
  label1->setObjectName("Label1");
  auto* label2 = new QLabel("Cota Máxima :", this);
  label2->setObjectName("Label2");
  text1_ = new QLineEdit(QString::number(minima, 'f', 3), this);
  text1_->setObjectName("Text1");
  text2_ = new QLineEdit(QString::number(maxima, 'f', 3), this);
  text2_->setObjectName("Text2");
  auto* aceptar = new QPushButton("Aceptar", this);
  aceptar->setObjectName("Command1");
  aceptar->setDefault(true);
  capa->addWidget(label1, 0, 0);
  capa->addWidget(text1_, 0, 1);
  capa->addWidget(label2, 1, 0);
  capa->addWidget(text2_, 1, 1);
  capa->addWidget(aceptar, 2, 1);
  connect(aceptar, &QPushButton::clicked, this, [this] { this->aceptar(); });
}

void RangoCotas::aceptar() {
  // With an empty box nothing happens; a text that is not a number is refused the same way.
  double minima = 0, maxima = 0;
  if (!lee_real(a_utf8(text1_->text()), minima) || !lee_real(a_utf8(text2_->text()), maxima))
    return;
  minima_ = minima;
  maxima_ = maxima;
  accept();
}

}  // namespace telmora
