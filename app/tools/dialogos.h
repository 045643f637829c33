// How a tool talks to the user: messages, yes/no and OK/Cancel questions, and the choice of a
// file. The forms pass a message-box implementation; tests pass a scripted one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

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
};

}  // namespace telmora
