#include "topo.h"

#include <QLabel>
#include <QVBoxLayout>

#include "dialogos_qt.h"
#include "fichero.h"

namespace telmora {

namespace {

constexpr std::size_t kLineas = 6;  // five result lines and the arcs passed over, or more

}  // namespace

Topo::Topo(ControlVisor& control, Dialogos& dialogos, Progreso& progreso,
           const ConsultaPares* pares, QWidget* padre)
    : QDialog(padre) {
  setObjectName("Topo");
  setWindowTitle("Topología");
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumWidth(360);

  std::vector<std::string> lineas, fallos;
  try {
    const ResultadoTopologia& resultado = control.topologia(progreso, pares);
    lineas = resultado.lineas();
    fallos = resultado.fallos_escritura;
  } catch (const ErrorTelmora& error) {
    fallos.emplace_back(error.what());
  }
  auto* capa = new QVBoxLayout(this);
  for (std::size_t i = 0; i < std::max(kLineas, lineas.size()); ++i) {
    auto* etiqueta = new QLabel(i < lineas.size() ? a_qstring(lineas[i]) : QString(), this);
    etiqueta->setObjectName(QString("Label%1").arg(i + 1));
    capa->addWidget(etiqueta);
  }
  for (const std::string& fallo : fallos) dialogos.mensaje(fallo, Icono::critico);
}

}  // namespace telmora
