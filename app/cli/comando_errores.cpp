#include "cli.h"
#include "control/busca_bd.h"
#include "control/control_errores.h"
#include "db/base_datos.h"
#include "dialogos_terminal.h"
#include "imagen_cli.h"

namespace telmora::cli {

int ejecuta_errores(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli errores HOJA.bin [--bd RUTA] [--mm]");
  Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  asegura_aplicacion();
  DialogosTerminal dialogos(errores);
  const auto ruta =
      base_datos_de_linea(argumentos, sesion.ajustes, nombre_bd_errores(sesion.ajustes), dialogos);
  if (!ruta) return kErrorEntrada;
  try {
    for (const std::string& linea : carga_control_errores(sesion.hoja, *ruta).lineas()) {
      salida << linea << "\n";
    }
  } catch (const ErrorEscrituraBd& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
