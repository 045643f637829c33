// Progress of a long operation, reported without knowing who shows it (the loading window,
// the viewer's progress bar, a terminal or nothing).
#pragma once

#include <cstdint>
#include <exception>
#include <string_view>

namespace telmora {

// The user asked the running operation to stop (Ctrl-C on the terminal). A progress reporter
// throws it from its next call; the operation leaves what it was making or changing as it was.
// It is no ErrorTelmora: nothing that reports a failed write may take it for one.
class OperacionCancelada : public std::exception {
 public:
  const char* what() const noexcept override { return "operación interrumpida"; }
};

class Progreso {
 public:
  virtual ~Progreso() = default;
  // A new step of the operation, with its caption.
  virtual void paso(std::string_view /*texto*/) {}
  // Called only when the whole percentage changes.
  virtual void porcentaje(int /*porcentaje*/, std::int64_t /*hecho*/, std::int64_t /*total*/) {}

  static Progreso& ninguno() {
    static Progreso silencioso;
    return silencioso;
  }
};

// Turns a running count into calls of Progreso::porcentaje at each whole-percent change.
class ContadorPorcentaje {
 public:
  ContadorPorcentaje(Progreso& progreso, std::int64_t total) : progreso_(progreso), total_(total) {}
  void avanza(std::int64_t hecho) {
    if (total_ <= 0) return;
    if (hecho > total_) hecho = total_;
    const int ahora = static_cast<int>(hecho * 100 / total_);
    if (ahora != ultimo_) {
      ultimo_ = ahora;
      progreso_.porcentaje(ahora, hecho, total_);
    }
  }

 private:
  Progreso& progreso_;
  std::int64_t total_;
  int ultimo_ = -1;
};

}  // namespace telmora
