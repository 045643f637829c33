#include "cli.h"
#include "edicion/extraccion.h"
#include "fichero.h"

namespace telmora::cli {

int ejecuta_extraer(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      1, "telmora-cli extraer HOJA.bin --ventana XMIN,YMIN,XMAX,YMAX [--solapados] [--mm]");
  if (!argumentos.tiene("ventana")) throw ErrorUso("falta --ventana XMIN,YMIN,XMAX,YMAX");
  const auto ventana = numeros_de_opcion(argumentos.valor("ventana"), ',', 4, "--ventana");
  if (ventana[0] > ventana[2] || ventana[1] > ventana[3]) {
    throw ErrorUso("--ventana debe ser XMIN,YMIN,XMAX,YMAX con XMIN <= XMAX e YMIN <= YMAX");
  }
  const Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  Vista vista;
  vista.xmin = ventana[0];
  vista.ymin = ventana[1];
  vista.xmax = ventana[2];
  vista.ymax = ventana[3];
  const auto modo =
      argumentos.bandera("solapados") ? ModoExtraccion::solapados : ModoExtraccion::dentro;
  try {
    salida << ruta_texto(CortaFichero(sesion, vista, modo)) << "\n";
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
