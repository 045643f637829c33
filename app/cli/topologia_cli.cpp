#include "topologia_cli.h"

#include "pintor.h"

namespace telmora::cli {

ResultadoTopologia topologia_sobre_hoja(Sesion& sesion, const OpcionesTopologia& opciones,
                                        SuperficieImagen& superficie) {
  Vista vista;
  vista.dimensiona(superficie.ancho(), superficie.alto());
  vista.ajusta_a_fichero(sesion.hoja.rango, sesion.ajustes.uds);
  Visualizacion visualizacion;
  visualizacion.cota_minima = vista.zmin;
  visualizacion.cota_maxima = vista.zmax;
  superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
  Pintor(sesion).leo_bin_pinto(superficie, vista, visualizacion);

  const LienzoTopologia lienzo{superficie, vista, sesion.paleta, sesion.ajustes.uds,
                               visualizacion.estilo_pluma};
  return ejecuta_topologia(sesion, opciones, Progreso::ninguno(), &lienzo);
}

}  // namespace telmora::cli
