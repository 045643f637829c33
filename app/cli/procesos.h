// Programs run as separate processes, a few at a time, each with a time limit: what telmora-cli
// revisar uses to check every sheet apart, so that a checker that crashes or hangs costs one
// sheet and not the run.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace telmora::cli {

// How one process ended, with everything it wrote.
struct ProcesoTerminado {
  int estado = -1;       // its exit status, when it exited
  int senal = 0;         // the signal that ended it, when one did
  bool agotado = false;  // ended by us when it ran past the time limit
  std::string salida, errores;
};

// A process's end told as a reason for the user: "terminó con el estado 3", "terminó por la
// señal 11 (Segmentation fault)", "no terminó en 2 s y se detuvo".
std::string motivo_de_fin(const ProcesoTerminado& fin, std::chrono::milliseconds limite);

struct OpcionesProcesos {
  std::size_t simultaneos = 1;
  // Longest a process may run; zero or less: no limit.
  std::chrono::milliseconds limite{0};
  // Called every few milliseconds while processes run; it may throw to stop them all.
  std::function<void()> latido;
};

// Runs every command line (the program's path first, then its arguments), at most
// `simultaneos` at a time, in order of start; with no standard input, each one's output and
// errors kept whole. `al_terminar` gets the command's index and how it ended, in the order they
// end. A process past the limit is killed. When anything throws (the heartbeat, the callback),
// the processes still running are killed and waited for before the exception goes on. A
// command that cannot be started throws ErrorTelmora.
void ejecuta_procesos(const std::vector<std::vector<std::string>>& ordenes,
                      const OpcionesProcesos& opciones,
                      const std::function<void(std::size_t, ProcesoTerminado)>& al_terminar);

// The running program's own executable, to start more of itself.
std::string programa_propio();

}  // namespace telmora::cli
