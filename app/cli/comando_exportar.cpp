#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "sig/capas_topologia.h"
#include "sig/exportacion.h"
#include "sig/tipos_sig.h"
#include "topologia_hoja.h"

namespace telmora::cli {

namespace {

// The topology with the centroid check, as `topologia --orden centroides` runs it but without
// listings; its lines are printed and its faces and error points become two more layers.
void anade_topologia(Sesion& sesion, OpcionesExportacion& opciones, std::ostream& salida,
                     std::ostream& errores) {
  OpcionesTopologia topologia;
  selecciona_entrada(topologia, EntradaTopologia::errores_centroides);
  SuperficieImagen superficie(kAnchoImagen, kAltoImagen);
  const ResultadoTopologia r = con_progreso(errores, [&](Progreso& progreso) {
    return topologia_de_hoja_entera(sesion, topologia, superficie, progreso);
  });
  for (const auto& linea : r.lineas_y_recuentos()) salida << linea << "\n";
  opciones.capas_adicionales = capas_topologia(sesion, r);
}

}  // namespace

int ejecuta_exportar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(2,
                                "telmora-cli exportar HOJA.bin SALIDA [--formato NOMBRE] "
                                "[--srs EPSG:N] [--topologia] [--mm]");
  OpcionesExportacion opciones;
  opciones.destino = ruta_desde_texto(argumentos.posicionales()[1]);
  exige_salida_distinta(opciones.destino, ruta_desde_texto(argumentos.posicionales()[0]));
  if (argumentos.tiene("formato")) opciones.formato = argumentos.valor("formato");
  try {
    if (argumentos.tiene("srs")) opciones.epsg = epsg_de_texto(argumentos.valor("srs"));
  } catch (const ErrorEntradaSig& error) {
    throw ErrorUso(error.what());
  }
  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  if (argumentos.bandera("topologia")) anade_topologia(sesion, opciones, salida, errores);
  return ejecuta_intercambio(
      [&] {
        return con_progreso(errores, [&](Progreso& p) { return exporta_sig(sesion, opciones, p); })
            .lineas();
      },
      salida, errores);
}

}  // namespace telmora::cli
