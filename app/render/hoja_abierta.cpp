#include "hoja_abierta.h"

namespace telmora {

void ajusta_a_hoja(const Sesion& sesion, Vista& vista, Visualizacion& visualizacion) {
  vista.ajusta_a_fichero(sesion.hoja.rango, sesion.ajustes.uds);
  visualizacion.cota_minima = vista.zmin;
  visualizacion.cota_maxima = vista.zmax;
}

ResultadoDibujo redibuja_vista(Pintor& pintor, Superficie& superficie, const Vista& vista,
                               const Visualizacion& visualizacion) {
  superficie.modo(ModoDibujo::copia);
  superficie.borra(color_fondo(pintor.sesion().tabla, pintor.sesion().paleta));
  return pintor.leo_bin_pinto(superficie, vista, visualizacion);
}

HojaAbierta dibuja_hoja_abierta(const Sesion& sesion, Superficie& superficie) {
  HojaAbierta hoja;
  hoja.vista.dimensiona(superficie.ancho(), superficie.alto());
  ajusta_a_hoja(sesion, hoja.vista, hoja.visualizacion);
  Pintor pintor(sesion);
  const ResultadoDibujo dibujo = redibuja_vista(pintor, superficie, hoja.vista, hoja.visualizacion);
  hoja.dibujadas = EntidadesDibujadas(sesion.hoja, dibujo.dibujadas);
  return hoja;
}

}  // namespace telmora
