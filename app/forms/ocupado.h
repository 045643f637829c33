// A handler's busy spell in the viewer: the hourglass (or the busy arrow) and, while the work
// reports progress, the progress bar; an error that ends the work is shown as a message once
// the pointer is back. Every handler of the viewer that works on the sheet runs through one.
#pragma once

#include <functional>
#include <optional>

#include "dialogos.h"
#include "progreso.h"
#include "visor/control_visor.h"

class QProgressBar;

namespace telmora {

class Ocupado {
 public:
  // Without a pointer, the pointer is left as it is, before and after.
  Ocupado(PantallaVisor& pantalla, QProgressBar* barra, Dialogos& dialogos,
          std::optional<Puntero> puntero = Puntero::reloj);
  ~Ocupado();
  Ocupado(const Ocupado&) = delete;
  Ocupado& operator=(const Ocupado&) = delete;

  // Runs one piece of work with the bar as its progress. An error ends the busy spell and is
  // shown as a critical message; false then.
  bool ejecuta(const std::function<void(Progreso&)>& trabajo);
  // The pointer for the rest of the spell (the busy arrow while a picture is drawn).
  void puntero(Puntero puntero);
  // Ends the spell before the handler does: the pointer back.
  void termina();

 private:
  class Barra;
  PantallaVisor& pantalla_;
  Dialogos& dialogos_;
  QProgressBar* barra_;
  bool activo_;
};

}  // namespace telmora
