#include "binjunta.h"

#include <QLabel>
#include <QVBoxLayout>

#include "depuracion/binjunta.h"
#include "dialogos_qt.h"

namespace telmora {

Binjunta::Binjunta(Sesion& sesion, const EntidadesDibujadas& dibujadas, Dialogos& dialogos,
                   Progreso& progreso, QWidget* padre)
    : QDialog(padre) {
  setObjectName("Binjunta");
  setWindowTitle("Proceso de Depuración Arcos Colgantes, Tramificación, etc");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* capa = new QVBoxLayout(this);
  auto* label1 = new QLabel(this);
  label1->setObjectName("Label1");
  auto* label2 = new QLabel(this);
  label2->setObjectName("Label2");
  capa->addWidget(label1);
  capa->addWidget(label2);
  resize(460, 120);

  try {
    const auto lineas = ejecuta_y_aplica_binjunta(sesion, dibujadas, {}, progreso).lineas();
    label1->setText(a_qstring(lineas[0]));
    label2->setText(a_qstring(lineas[1]));
    hecha_ = true;
  } catch (const ErrorTelmora& error) {
    dialogos.mensaje(error.what(), Icono::critico);
  }
}

}  // namespace telmora
