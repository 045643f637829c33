// What the tools' fuzzers share: the sheet of the input opened as a session in the process's
// folder, the checks that every in-place tool leaves a sheet that loads, and a failure that
// libFuzzer records as a crash with the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "dialogos.h"
#include "dibujadas.h"
#include "hoja_sintetica.h"
#include "sesion.h"

namespace fuzz {

// Stops the process with a message: libFuzzer keeps the input as a crash.
[[noreturn]] void falla(const std::string& que);
inline void exige(bool condicion, const std::string& que) {
  if (!condicion) falla(que);
}

// The sheet of an input, written once into the process's folder and opened as a session, every
// entity taken as drawn, so that the tools that work on what is drawn see the whole sheet. Each
// tool gets a copy of the session over a file holding the sheet's bytes again, so that what one
// tool writes does not reach the next.
class HojaAbiertaFuzz {
 public:
  HojaAbiertaFuzz(const CarpetaProceso& carpeta, const HojaSintetica& hoja);
  telmora::Sesion sesion() const;
  const telmora::EntidadesDibujadas& dibujadas() const { return dibujadas_; }

 private:
  std::filesystem::path ruta_;
  std::string bytes_;
  telmora::Sesion sesion_;
  telmora::EntidadesDibujadas dibujadas_;
};

// The sheet's file loads again without a corruption message; the loaded sheet is returned.
telmora::Hoja recarga(const telmora::Sesion& sesion, const std::string& tras);

// Active cartographic elements and active texts of a loaded sheet.
struct Activas {
  std::size_t c = 0, t = 0;
};
Activas activas(const telmora::Hoja& hoja);

// Answers OK and Yes to every question, as the operator who runs a tool to its end.
class DialogosAceptados : public telmora::Dialogos {
 public:
  void mensaje(const std::string&, telmora::Icono, const std::string&) override {}
  bool si_no(const std::string&, const std::string&) override { return true; }
  bool aceptar_cancelar(const std::string&, const std::string&) override { return true; }
  std::optional<std::filesystem::path> elige_fichero(const std::string&, const std::string&,
                                                     const std::filesystem::path&) override {
    return std::nullopt;
  }
};

}  // namespace fuzz
