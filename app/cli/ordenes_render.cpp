#include "ordenes_render.h"

#include "argumentos.h"
#include "visor/consola.h"

namespace telmora::cli {

namespace {

// Messages of the commands written on the error stream; nothing is asked of anyone.
class DialogosTerminal : public Dialogos {
 public:
  explicit DialogosTerminal(std::ostream& errores) : errores_(errores) {}

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

}  // namespace

bool aplica_ordenes(const std::vector<std::string>& ordenes, Sesion& sesion,
                    Visualizacion& visualizacion, std::ostream& errores) {
  for (const std::string& orden : ordenes) {
    if (!es_orden_de_visibilidad(orden)) {
      throw ErrorUso("--orden \"" + orden +
                     "\" no es una orden de visibilidad (ON, OFF, ON_A, OFF_A, COLOR_FONDO, "
                     "COLOR_NUEVO o @fichero)");
    }
  }
  DialogosTerminal dialogos(errores);
  for (const std::string& orden : ordenes) {
    Consola consola(sesion, visualizacion, dialogos);
    consola.ejecuta(orden);
  }
  return !dialogos.fallo;
}

}  // namespace telmora::cli
