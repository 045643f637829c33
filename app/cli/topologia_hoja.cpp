#include "topologia_hoja.h"

#include "cli.h"
#include "fichero.h"
#include "hoja_abierta.h"
#include "imagen_cli.h"

namespace telmora::cli {

ResultadoTopologia topologia_de_hoja_entera(Sesion& sesion, const OpcionesTopologia& opciones,
                                            SuperficieImagen& superficie, Progreso& progreso,
                                            const std::filesystem::path& carpeta_listados,
                                            const ConsultaPares* pares, Dialogos* dialogos) {
  asegura_aplicacion();
  const HojaAbierta hoja = dibuja_hoja_abierta(sesion, superficie);
  const LienzoTopologia lienzo{superficie,
                               hoja.vista,
                               sesion.paleta,
                               sesion.ajustes.uds,
                               hoja.visualizacion.estilo_pluma,
                               color_fondo(sesion.tabla, sesion.paleta)};
  SalidasTopologia salidas;
  salidas.lienzo = &lienzo;
  salidas.carpeta_listados = carpeta_listados;
  salidas.pares = pares;
  return ejecuta_y_aplica_topologia(sesion, hoja.dibujadas, opciones, salidas, progreso, dialogos);
}

int termina_topologia(const ResultadoTopologia& resultado, const Argumentos& argumentos,
                      SuperficieImagen& superficie, std::ostream& errores) {
  int estado = kExito;
  for (const std::string& fallo : resultado.fallos_escritura) {
    errores << fallo << "\n";
    estado = kFalloEscritura;
  }
  if (!guarda_png_de_opcion(argumentos, superficie.imagen(), errores)) estado = kFalloEscritura;
  return estado;
}

}  // namespace telmora::cli
