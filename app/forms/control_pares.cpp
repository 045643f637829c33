#include "control_pares.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "dialogos_qt.h"
#include "fichero.h"

namespace telmora {

ControlPares::ControlPares(const ResultadoControlPares& resultado, QWidget* padre)
    : QDialog(padre) {
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

}  // namespace telmora
