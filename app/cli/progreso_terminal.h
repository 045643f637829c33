// Progress of telmora-cli's long commands on the terminal, and their stop on Ctrl-C.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

#include "progreso.h"

namespace telmora::cli {

using Reloj = std::function<std::chrono::steady_clock::time_point()>;

// Shows an operation's progress on `pantalla` as one line that rewrites itself: the step, its
// percentage and the time its remainder should take at the pace so far ("Cruces entre elementos:
// 42 %, quedan 1 min 05 s"); nothing when `pantalla` is null. At every call it checks `cancelar`
// and, once set, throws OperacionCancelada. The line is erased when the reporter ends, so
// whatever is written after it starts on a clean line.
class ProgresoTerminal : public Progreso {
 public:
  ProgresoTerminal(std::ostream* pantalla, const std::atomic<bool>& cancelar,
                   Reloj reloj = std::chrono::steady_clock::now);
  ~ProgresoTerminal() override;
  ProgresoTerminal(const ProgresoTerminal&) = delete;
  ProgresoTerminal& operator=(const ProgresoTerminal&) = delete;

  void paso(std::string_view texto) override;
  void porcentaje(int porcentaje, std::int64_t hecho, std::int64_t total) override;
  // The step's progress told in its own words ("12 de 40 hojas, 3 con errores"), with the time
  // its remainder should take.
  void avance(std::string_view detalle, std::int64_t hecho, std::int64_t total);
  // Throws OperacionCancelada once the stop was asked for.
  void comprueba_cancelacion() const;

 private:
  void muestra(const std::string& linea);

  std::ostream* pantalla_;
  const std::atomic<bool>& cancelar_;
  Reloj reloj_;
  std::string paso_;
  std::chrono::steady_clock::time_point inicio_paso_;
  std::size_t columnas_mostradas_ = 0;
};

// "quedan 1 min 05 s": the time left of a step `hecho` of `total` into it after `transcurrido`;
// empty while too little is done or too little time has passed for an estimate, and at the end.
std::string tiempo_restante(std::chrono::steady_clock::duration transcurrido, std::int64_t hecho,
                            std::int64_t total);

// The reporter of a command run from telmora-cli: it shows on `errores` only when that is the
// process's standard error and a terminal, and it stops at the first Ctrl-C (which then no
// longer stops a command; a second one ends the program at once).
ProgresoTerminal progreso_de_orden(std::ostream& errores);

// Runs `trabajo` with the reporter of a command (progreso_de_orden), which is gone, and its
// line erased, by the time the result comes back to be printed.
template <class Trabajo>
auto con_progreso(std::ostream& errores, Trabajo trabajo) {
  ProgresoTerminal progreso = progreso_de_orden(errores);
  return trabajo(static_cast<Progreso&>(progreso));
}

}  // namespace telmora::cli
