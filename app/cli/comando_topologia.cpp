#include <map>

#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "topologia_hoja.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "nudos, tramos y polígonos de las líneas; islas, centroides y arcos colgantes";
constexpr const char* kAyuda =
    "uso: telmora-cli topologia HOJA.bin [--orden todo|envolventes|caras|islas|centroides|\n"
    "                                    colgantes] [--listados CARPETA] [--png SALIDA.png]\n"
    "                                    [--tamano ANCHOxALTO] [--mm]\n"
    "\n"
    "Dibuja la hoja entera a ANCHOxALTO píxeles (1920x1080 si no se indica), como la abre el\n"
    "visor, y con las líneas abiertas dibujadas forma los nudos y los tramos, quita los\n"
    "arcos colgantes y recorre los polígonos (caras en sentido contrario a las agujas del\n"
    "reloj, envolventes en el de las agujas). Escribe en la salida las líneas de la ventana\n"
    "de topología (\"Nodos encontrados :N\" ...) y, según la orden:\n"
    "  todo          todos los polígonos (si no se indica)\n"
    "  envolventes   solo las envolventes\n"
    "  caras         solo las caras\n"
    "  islas         además \"Islas encontradas :N\"\n"
    "  centroides    comprueba un texto por cara; además \"Recintos sin centroide :N\",\n"
    "                \"Recintos con varios centroides :N\", \"Textos NoPol :N\" y\n"
    "                \"Textos +Pol :N\"\n"
    "  colgantes     marca con \"*\" los extremos colgantes\n"
    "Los listados (Nodos.txt, Poli1.txt, Poli2.txt, Islas.txt, CompIslas.txt y, con\n"
    "centroides, Adyacencia.txt) se escriben enteros en CARPETA (la de la hoja si no se\n"
    "indica).\n"
    "  --png F   escribe la imagen que muestra el visor tras la orden\n"
    "  --mm      la hoja está en milímetros (centímetros si no se indica)\n";

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

}  // namespace

Comando comando_topologia() {
  OpcionesAdmitidas opciones{{"orden", "listados", "png", "tamano"}, {"mm"}};
  return {"topologia", kResumen, kAyuda, std::move(opciones), ejecuta_topologia};
}

}  // namespace telmora::cli
