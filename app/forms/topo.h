// The topology window ("Topología"): opening it runs the topology command chosen in the menu on
// what the viewer shows, with the viewer's progress bar, and shows the run's result lines.
#pragma once

#include <QDialog>

#include "dialogos.h"
#include "progreso.h"
#include "visor/control_visor.h"

namespace telmora {

class Topo : public QDialog {
 public:
  Topo(ControlVisor& control, Dialogos& dialogos, Progreso& progreso, QWidget* padre = nullptr);
};

}  // namespace telmora
