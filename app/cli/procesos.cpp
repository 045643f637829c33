#include "procesos.h"

#include <cstring>
#include <filesystem>
#include <thread>

#include "fichero.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace telmora::cli {

namespace {

using Reloj = std::chrono::steady_clock;

// How often the running processes are looked at.
constexpr std::chrono::milliseconds kIntervalo{10};

std::string texto_de_limite(std::chrono::milliseconds limite) {
  const auto ms = limite.count();
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
  return std::to_string(ms) + " ms";
}

}  // namespace

std::string motivo_de_fin(const ProcesoTerminado& fin, std::chrono::milliseconds limite) {
  if (fin.agotado) return "no terminó en " + texto_de_limite(limite) + " y se detuvo";
  if (fin.senal != 0) {
    std::string texto = "terminó por la señal " + std::to_string(fin.senal);
#if !defined(_WIN32)
    if (const char* nombre = strsignal(fin.senal)) texto += std::string(" (") + nombre + ")";
#endif
    return texto;
  }
  return "terminó con el estado " + std::to_string(fin.estado);
}

#if defined(_WIN32)

std::string programa_propio() {
  throw ErrorTelmora("la revisión en procesos separados solo está hecha para sistemas POSIX");
}

void ejecuta_procesos(const std::vector<std::vector<std::string>>&, const OpcionesProcesos&,
                      const std::function<void(std::size_t, ProcesoTerminado)>&) {
  throw ErrorTelmora("la revisión en procesos separados solo está hecha para sistemas POSIX");
}

#else

namespace {

// A temporary folder for the processes' output, removed with everything in it.
class CarpetaSalidas {
 public:
  CarpetaSalidas() {
    std::string plantilla =
        ruta_texto(std::filesystem::temp_directory_path() / "telmora-procesos.XXXXXX");
    if (mkdtemp(plantilla.data()) == nullptr) {
      throw ErrorTelmora("no se puede crear una carpeta temporal en " +
                         ruta_texto(std::filesystem::temp_directory_path()) + ": " +
                         std::strerror(errno));
    }
    ruta_ = plantilla;
  }
  ~CarpetaSalidas() {
    std::error_code error;
    std::filesystem::remove_all(ruta_, error);
  }
  CarpetaSalidas(const CarpetaSalidas&) = delete;
  CarpetaSalidas& operator=(const CarpetaSalidas&) = delete;

  std::filesystem::path fichero(std::size_t indice, const char* extension) const {
    return ruta_ / (std::to_string(indice) + extension);
  }

 private:
  std::filesystem::path ruta_;
};

struct Proceso {
  std::size_t indice = 0;
  pid_t pid = 0;
  Reloj::time_point inicio;
  bool agotado = false;
};

class Acciones {
 public:
  Acciones() { posix_spawn_file_actions_init(&acciones_); }
  ~Acciones() { posix_spawn_file_actions_destroy(&acciones_); }
  Acciones(const Acciones&) = delete;
  Acciones& operator=(const Acciones&) = delete;

  void abre(int descriptor, const std::string& ruta, int modo) {
    if (posix_spawn_file_actions_addopen(&acciones_, descriptor, ruta.c_str(), modo, 0600) != 0) {
      throw ErrorTelmora("no se puede preparar la salida del proceso en " + ruta);
    }
  }
  const posix_spawn_file_actions_t* get() const { return &acciones_; }

 private:
  posix_spawn_file_actions_t acciones_;
};

std::string lee_y_borra(const std::filesystem::path& ruta) {
  std::string texto;
  try {
    const Lista<char> bytes = lee_fichero(ruta);
    texto.assign(bytes.data(), bytes.size());
  } catch (const ErrorTelmora&) {
    // A process that could not even start writes nothing.
  }
  std::error_code error;
  std::filesystem::remove(ruta, error);
  return texto;
}

// The processes running, killed and waited for when the run stops early.
class Procesos {
 public:
  explicit Procesos(const CarpetaSalidas& carpeta) : carpeta_(carpeta) {}
  ~Procesos() {
    for (const Proceso& p : activos_) {
      kill(p.pid, SIGKILL);
      int estado = 0;
      waitpid(p.pid, &estado, 0);
    }
  }
  Procesos(const Procesos&) = delete;
  Procesos& operator=(const Procesos&) = delete;

  std::size_t cuantos() const { return activos_.size(); }

  void arranca(std::size_t indice, const std::vector<std::string>& orden) {
    if (orden.empty()) throw ErrorTelmora("orden vacía");
    Acciones acciones;
    acciones.abre(STDIN_FILENO, "/dev/null", O_RDONLY);
    acciones.abre(STDOUT_FILENO, ruta_texto(carpeta_.fichero(indice, ".salida")),
                  O_WRONLY | O_CREAT | O_TRUNC);
    acciones.abre(STDERR_FILENO, ruta_texto(carpeta_.fichero(indice, ".errores")),
                  O_WRONLY | O_CREAT | O_TRUNC);
    std::vector<char*> argv;
    for (const std::string& argumento : orden) argv.push_back(const_cast<char*>(argumento.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int fallo = posix_spawn(&pid, argv[0], acciones.get(), nullptr, argv.data(), environ);
    if (fallo != 0) {
      throw ErrorTelmora("no se puede ejecutar " + orden[0] + ": " + std::strerror(fallo));
    }
    activos_.push_back({indice, pid, Reloj::now(), false});
  }

  // Kills those past the limit, and hands each one that ended to `al_terminar`.
  void revisa(std::chrono::milliseconds limite,
              const std::function<void(std::size_t, ProcesoTerminado)>& al_terminar) {
    const auto ahora = Reloj::now();
    for (std::size_t i = 0; i < activos_.size();) {
      Proceso& p = activos_[i];
      if (limite.count() > 0 && !p.agotado && ahora - p.inicio > limite) {
        kill(p.pid, SIGKILL);
        p.agotado = true;
      }
      int estado = 0;
      if (waitpid(p.pid, &estado, WNOHANG) != p.pid) {
        ++i;
        continue;
      }
      ProcesoTerminado fin;
      fin.agotado = p.agotado;
      if (WIFEXITED(estado)) fin.estado = WEXITSTATUS(estado);
      if (WIFSIGNALED(estado)) fin.senal = WTERMSIG(estado);
      fin.salida = lee_y_borra(carpeta_.fichero(p.indice, ".salida"));
      fin.errores = lee_y_borra(carpeta_.fichero(p.indice, ".errores"));
      const std::size_t indice = p.indice;
      activos_.erase(activos_.begin() + static_cast<std::ptrdiff_t>(i));
      al_terminar(indice, std::move(fin));
    }
  }

 private:
  const CarpetaSalidas& carpeta_;
  std::vector<Proceso> activos_;
};

}  // namespace

std::string programa_propio() {
  std::error_code error;
  const auto ruta = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw ErrorTelmora("no se encuentra el programa en ejecución: " + error.message());
  return ruta_texto(ruta);
}

void ejecuta_procesos(const std::vector<std::vector<std::string>>& ordenes,
                      const OpcionesProcesos& opciones,
                      const std::function<void(std::size_t, ProcesoTerminado)>& al_terminar) {
  const CarpetaSalidas carpeta;
  Procesos procesos(carpeta);
  const std::size_t simultaneos = std::max<std::size_t>(opciones.simultaneos, 1);
  std::size_t siguiente = 0;
  while (siguiente < ordenes.size() || procesos.cuantos() > 0) {
    while (siguiente < ordenes.size() && procesos.cuantos() < simultaneos) {
      procesos.arranca(siguiente, ordenes[siguiente]);
      ++siguiente;
    }
    procesos.revisa(opciones.limite, al_terminar);
    if (opciones.latido) opciones.latido();
    if (procesos.cuantos() == simultaneos || siguiente == ordenes.size()) {
      std::this_thread::sleep_for(kIntervalo);
    }
  }
}

#endif

}  // namespace telmora::cli
