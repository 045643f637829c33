// The network cleanup window: opening it runs the cleanup on what the viewer drew of the open
// sheet (snapping of dangling ends, splitting at crossings, written into the sheet's file) and
// shows its two result lines.
#pragma once

#include <QDialog>

#include "dialogos.h"
#include "dibujadas.h"
#include "progreso.h"
#include "sesion.h"

namespace telmora {

class Binjunta : public QDialog {
 public:
  // Runs the cleanup; a failure is told to the user and leaves the window without a result.
  Binjunta(Sesion& sesion, const EntidadesDibujadas& dibujadas, Dialogos& dialogos,
           Progreso& progreso, QWidget* padre = nullptr);
  bool hecha() const { return hecha_; }

 private:
  bool hecha_ = false;
};

}  // namespace telmora
