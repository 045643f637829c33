#include <map>

#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "topologia_hoja.h"

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

  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, entrada);
  std::filesystem::path listados = argumentos.tiene("listados")
                                       ? ruta_desde_texto(argumentos.valor("listados"))
                                       : sesion.ajustes.fich_entrada.parent_path();
  if (listados.empty()) listados = ".";

  std::error_code error;
  std::filesystem::create_directories(listados, error);
  SuperficieImagen superficie(ancho, alto);
  const ResultadoTopologia r = con_progreso(errores, [&](Progreso& progreso) {
    return topologia_de_hoja_entera(sesion, opciones, superficie, progreso, listados);
  });
  for (const std::string& linea : r.lineas_y_recuentos()) salida << linea << "\n";
  return termina_topologia(r, argumentos, superficie, errores);
}

}  // namespace telmora::cli
