#include "ordenes_render.h"

#include "argumentos.h"
#include "dialogos_terminal.h"
#include "visor/consola.h"

namespace telmora::cli {

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
