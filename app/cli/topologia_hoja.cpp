#include "topologia_hoja.h"

#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "pintor.h"

namespace telmora::cli {

ResultadoTopologia topologia_de_hoja_entera(Sesion& sesion, const OpcionesTopologia& opciones,
                                            SuperficieImagen& superficie, Progreso& progreso,
                                            Dialogos* dialogos) {
  asegura_aplicacion();
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
  if (dialogos == nullptr) return ejecuta_topologia(sesion, opciones, progreso, &lienzo);
  return ejecuta_y_aplica_topologia(sesion, opciones, progreso, &lienzo, *dialogos);
}

std::vector<std::string> lineas_de_entrada(const ResultadoTopologia& r, EntradaTopologia entrada) {
  std::vector<std::string> lineas = r.lineas();
  if (entrada == EntradaTopologia::islas) {
    lineas.push_back("Islas encontradas :" + std::to_string(r.islas.islas.size()));
  } else if (entrada == EntradaTopologia::errores_centroides) {
    lineas.push_back("Recintos sin centroide :" + std::to_string(r.recintos_sin_centroide()));
    lineas.push_back("Recintos con varios centroides :" + std::to_string(r.recintos_con_varios()));
    lineas.push_back("Textos NoPol :" + std::to_string(r.textos_sin_recinto()));
    lineas.push_back("Textos +Pol :" + std::to_string(r.textos_en_varios()));
  }
  return lineas;
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
