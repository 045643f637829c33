#include "topo.h"

#include <QLabel>
#include <QVBoxLayout>

#include "dialogos_qt.h"
#include "fichero.h"

namespace telmora {

namespace {

constexpr int kLineas = 6;  // five result lines and the arcs passed over

}  // namespace

Topo::Topo(ControlVisor& control, Dialogos& dialogos, Progreso& progreso,
           const ConsultaPares* pares, QWidget* padre)
    : QDialog(padre) {
  setObjectName("Topo");
  setWindowTitle("Topología");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* capa = new QVBoxLayout(this);
  QLabel* etiquetas[kLineas];
  for (int i = 0; i < kLineas; ++i) {
    etiquetas[i] = new QLabel(this);
    etiquetas[i]->setObjectName(QString("Label%1").arg(i + 1));
    capa->addWidget(etiquetas[i]);
  }
  setMinimumWidth(360);

  try {
    const ResultadoTopologia& resultado = control.topologia(progreso, pares);
    const auto& lineas = resultado.lineas();
    for (int i = 0; i < kLineas && i < static_cast<int>(lineas.size()); ++i) {
      etiquetas[i]->setText(a_qstring(lineas[std::size_t(i)]));
    }
    for (const std::string& fallo : resultado.fallos_listados) {
      dialogos.mensaje(fallo, Icono::critico);
    }
  } catch (const ErrorTelmora& error) {
    dialogos.mensaje(error.what(), Icono::critico);
  }
  etiquetas[kLineas - 1]->setVisible(!etiquetas[kLineas - 1]->text().isEmpty());
}

}  // namespace telmora
