#include "sesion.h"

namespace telmora {

Sesion abre_sesion(const Ajustes& ajustes, Progreso& progreso) {
  Sesion sesion;
  sesion.ajustes = ajustes;
  progreso.paso("Cargando fichero *.pal");
  sesion.paleta = leo_pal(ajustes.fich_pal);
  progreso.paso("Cargado fichero *.pal");
  progreso.paso("Cargando fichero *.tab");
  sesion.tabla = leo_vekt_tab(ajustes.fich_vekttab);
  progreso.paso("Cargado fichero *.tab");
  progreso.paso("Cargando fichero *.bin");
  sesion.hoja = cargo_bin(ajustes.fich_entrada, sesion.tabla, progreso);
  progreso.paso("Calculando Rangos");
  sesion.indice_espacial = IndiceEspacial(sesion.hoja);
  return sesion;
}

}  // namespace telmora
