// How a tool talks to the user: messages, yes/no and OK/Cancel questions, and the choice of a
// file. The forms pass a message-box implementation; tests pass a scripted one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace telmora {

enum class Icono { ninguno, informacion, advertencia, critico, pregunta };

class Dialogos {
 public:
  virtual ~Dialogos() = default;
  virtual void mensaje(const std::string& texto, Icono icono = Icono::critico,
                       const std::string& titulo = {}) = 0;
  // True for Yes.
  virtual bool si_no(const std::string& texto, const std::string& titulo) = 0;
  // True for OK.
  virtual bool aceptar_cancelar(const std::string& texto, const std::string& titulo) = 0;
  // The chosen file, or nothing when the user cancels. `filtro` is like "Fichero BIN (*.bin)".
  virtual std::optional<std::filesystem::path> elige_fichero(
      const std::string& titulo, const std::string& filtro,
      const std::filesystem::path& carpeta) = 0;
  // Several existing files (empty when the user cancels); by default, the one file chosen.
  virtual std::vector<std::filesystem::path> elige_ficheros(const std::string& titulo,
                                                            const std::string& filtro,
                                                            const std::filesystem::path& carpeta) {
    auto elegido = elige_fichero(titulo, filtro, carpeta);
    if (!elegido) return {};
    return {*elegido};
  }
  // The name of a file to write, starting from `propuesto`; nothing when the user cancels. A
  // name given without an extension takes the first one of the filter chosen. By default
  // nothing can be chosen.
  virtual std::optional<std::filesystem::path> elige_fichero_nuevo(
      const std::string& /*titulo*/, const std::string& /*filtro*/,
      const std::filesystem::path& /*propuesto*/) {
    return std::nullopt;
  }
};

}  // namespace telmora
