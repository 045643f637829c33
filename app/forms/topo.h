// The topology window ("Topología"): opening it runs the topology command chosen in the menu on
// what the viewer shows, with the viewer's progress bar, and shows the run's result lines. Opened
// by the pair control, it is given the pair lookup and colours the faces by their pair's state.
#pragma once

#include <QDialog>

#include "dialogos.h"
#include "progreso.h"
#include "visor/control_visor.h"

namespace telmora {

class Topo : public QDialog {
 public:
  Topo(ControlVisor& control, Dialogos& dialogos, Progreso& progreso,
       const ConsultaPares* pares = nullptr, QWidget* padre = nullptr);
};

}  // namespace telmora
