#include "cli.h"
#include "sig/exportacion.h"
#include "sig/tipos_sig.h"

namespace telmora::cli {

int ejecuta_exportar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      2, "telmora-cli exportar HOJA.bin SALIDA [--formato NOMBRE] [--srs EPSG:N] [--mm]");
  OpcionesExportacion opciones;
  opciones.destino = ruta_desde_texto(argumentos.posicionales()[1]);
  if (argumentos.tiene("formato")) opciones.formato = argumentos.valor("formato");
  try {
    if (argumentos.tiene("srs")) opciones.epsg = epsg_de_texto(argumentos.valor("srs"));
  } catch (const ErrorEntradaSig& error) {
    throw ErrorUso(error.what());
  }
  const Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  return ejecuta_intercambio([&] { return exporta_sig(sesion, opciones).lineas(); }, salida,
                             errores);
}

}  // namespace telmora::cli
