// The dialogs of a command on the terminal: messages go to the error stream, questions are
// answered No, and no file is chosen.
#pragma once

#include <ostream>

#include "dialogos.h"

namespace telmora::cli {

class DialogosTerminal : public Dialogos {
 public:
  explicit DialogosTerminal(std::ostream& errores) : errores_(errores) {}

  // A message with the critical icon was shown.
  bool fallo = false;

  void mensaje(const std::string& texto, Icono icono, const std::string&) override {
    errores_ << texto << "\n";
    if (icono == Icono::critico) fallo = true;
  }
  bool si_no(const std::string&, const std::string&) override { return false; }
  bool aceptar_cancelar(const std::string&, const std::string&) override { return false; }
  std::optional<std::filesystem::path> elige_fichero(const std::string&, const std::string&,
                                                     const std::filesystem::path&) override {
    return std::nullopt;
  }

 private:
  std::ostream& errores_;
};

}  // namespace telmora::cli
