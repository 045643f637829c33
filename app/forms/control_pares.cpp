#include "control_pares.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "dialogos_qt.h"
#include "fichero.h"

namespace telmora {

namespace {

constexpr int kSeparacion = 12;  // pixels between the two windows

}  // namespace

ControlPares::ControlPares(const ResultadoControlPares& resultado, std::function<void()> al_dejarla,
                           QWidget* padre)
    : QDialog(padre), al_dejarla_(std::move(al_dejarla)) {
  setObjectName("ControlPares");
  setWindowTitle("Control de Pares");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* capa = new QGridLayout(this);
  auto* text1 = new QLineEdit(a_qstring(resultado.origen), this);
  text1->setObjectName("Text1");
  text1->setReadOnly(true);
  text1->setMinimumWidth(360);
  capa->addWidget(text1, 0, 0);
  // The captions line up their colons with blanks: a fixed-pitch font keeps them aligned.
  QFont fuente("Courier New");
  fuente.setStyleHint(QFont::Monospace);
  const auto lineas = resultado.lineas();
  for (std::size_t i = 0; i < lineas.size(); ++i) {
    auto* etiqueta = new QLabel(a_qstring(lineas[i]), this);
    etiqueta->setObjectName(QString("Label%1").arg(i + 1));
    etiqueta->setFont(fuente);
    capa->addWidget(etiqueta, static_cast<int>(i) + 1, 0);
  }
}

ControlPares::~ControlPares() {
  if (al_dejarla_) al_dejarla_();
}

void ControlPares::se_coloca_junto_a(const QWidget& otra) {
  const QScreen* pantalla = otra.screen();
  if (pantalla == nullptr) return;
  const QRect area = pantalla->availableGeometry();
  const QRect fija = otra.frameGeometry();
  QRect marco = frameGeometry();
  const QPoint sitios[] = {{fija.right() + 1 + kSeparacion, fija.top()},
                           {fija.left() - kSeparacion - marco.width(), fija.top()},
                           {fija.left(), fija.bottom() + 1 + kSeparacion},
                           {fija.left(), fija.top() - kSeparacion - marco.height()}};
  for (const QPoint& sitio : sitios) {
    marco.moveTopLeft(sitio);
    if (!area.contains(marco)) continue;
    move(sitio);
    return;
  }
}

void ControlPares::changeEvent(QEvent* evento) {
  QDialog::changeEvent(evento);
  if (evento->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    fue_activa_ = true;
  } else if (fue_activa_ && al_dejarla_) {
    al_dejarla_();
  }
}

}  // namespace telmora
