#include <map>

#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "pintor.h"
#include "superficie_imagen.h"
#include "topologia/topologia.h"

namespace telmora::cli {

namespace {

EntradaTopologia entrada_de(const Argumentos& argumentos) {
  static const std::map<std::string, EntradaTopologia> ordenes{
      {"todo", EntradaTopologia::todo},
      {"envolventes", EntradaTopologia::envolventes},
      {"caras", EntradaTopologia::no_envolventes},
      {"islas", EntradaTopologia::islas},
      {"centroides", EntradaTopologia::errores_centroides},
      {"colgantes", EntradaTopologia::arcos_colgantes},
  };
  if (!argumentos.tiene("orden")) return EntradaTopologia::todo;
  const auto orden = ordenes.find(argumentos.valor("orden"));
  if (orden == ordenes.end()) {
    throw ErrorUso("--orden debe ser todo, envolventes, caras, islas, centroides o colgantes");
  }
  return orden->second;
}

}  // namespace

int ejecuta_topologia(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli topologia HOJA.bin [opciones]");
  const EntradaTopologia entrada = entrada_de(argumentos);
  int ancho = 0, alto = 0;
  tamano_de_opcion(argumentos, ancho, alto);

  Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, entrada);
  opciones.carpeta_listados = argumentos.tiene("listados")
                                  ? ruta_desde_texto(argumentos.valor("listados"))
                                  : sesion.ajustes.fich_entrada.parent_path();
  if (opciones.carpeta_listados.empty()) opciones.carpeta_listados = ".";

  // The whole sheet drawn first, as the viewer shows it: topology takes what was drawn.
  asegura_aplicacion();
  Vista vista;
  vista.dimensiona(ancho, alto);
  vista.ajusta_a_fichero(sesion.hoja.rango, sesion.ajustes.uds);
  Visualizacion visualizacion;
  visualizacion.cota_minima = vista.zmin;
  visualizacion.cota_maxima = vista.zmax;
  SuperficieImagen superficie(ancho, alto);
  superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
  Pintor(sesion).leo_bin_pinto(superficie, vista, visualizacion);

  std::error_code error;
  std::filesystem::create_directories(opciones.carpeta_listados, error);
  const LienzoTopologia lienzo{superficie, vista, sesion.paleta, sesion.ajustes.uds,
                               visualizacion.estilo_pluma};
  const ResultadoTopologia r =
      telmora::ejecuta_topologia(sesion, opciones, Progreso::ninguno(), &lienzo);
  for (const std::string& linea : r.lineas()) salida << linea << "\n";
  if (entrada == EntradaTopologia::islas) {
    salida << "Islas encontradas :" << r.islas.islas.size() << "\n";
  } else if (entrada == EntradaTopologia::errores_centroides) {
    salida << "Recintos sin centroide :" << r.recintos_sin_centroide() << "\n"
           << "Recintos con varios centroides :" << r.recintos_con_varios() << "\n"
           << "Textos NoPol :" << r.textos_sin_recinto() << "\n"
           << "Textos +Pol :" << r.textos_en_varios() << "\n";
  }
  int estado = kExito;
  for (const std::string& fallo : r.fallos_listados) {
    errores << fallo << "\n";
    estado = kFalloEscritura;
  }
  if (argumentos.tiene("png")) {
    try {
      guarda_png(superficie.imagen(), argumentos.valor("png"));
    } catch (const ErrorTelmora& fallo) {
      errores << fallo.what() << "\n";
      estado = kFalloEscritura;
    }
  }
  return estado;
}

}  // namespace telmora::cli
