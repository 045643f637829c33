#include "cli.h"
#include "depuracion/binjunta.h"
#include "fichero.h"
#include "hoja_abierta.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "superficie_nula.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "engancha los extremos colgantes y parte los elementos que se cruzan, en la hoja";
constexpr const char* kAyuda =
    "uso: telmora-cli depurar HOJA.bin [--tolerancia M] [--listados CARPETA] [--mm]\n"
    "\n"
    "Depura la red de líneas de la hoja, cambiándola en su sitio, como la ventana Binjunta:\n"
    "los extremos colgantes (nodos a los que llega una sola línea) que quedan a menos de la\n"
    "mitad de la tolerancia de otro nodo se llevan a él; los que quedan así de cerca de otro\n"
    "elemento se llevan sobre él (a un vértice, al cruce de la línea prolongada o al pie de\n"
    "la perpendicular) y ese elemento se parte allí; y los elementos se parten donde se\n"
    "cruzan. Los trozos se añaden al final de la hoja y los elementos partidos quedan\n"
    "borrados. Se trabaja sobre la hoja entera, con todos los códigos visibles. Escribe en la\n"
    "salida las líneas \"Nodos movidos :N\" y \"Elementos partidos :M\", y deja los listados\n"
    "Nodos.txt (nodos y tramos) y entidadesP.txt (cortes) en la carpeta de listados.\n"
    "  --tolerancia M      tolerancia en metros (0.5 si no se indica)\n"
    "  --listados CARPETA  carpeta de los listados (la de la hoja si no se indica)\n"
    "  --mm                la hoja está en milímetros (centímetros si no se indica)\n";

int ejecuta_depurar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      1, "telmora-cli depurar HOJA.bin [--tolerancia M] [--listados CARPETA] [--mm]");
  const double tolerancia = tolerancia_de_opcion(argumentos);
  OpcionesBinjunta opciones;
  if (argumentos.tiene("listados")) {
    opciones.carpeta_listados = ruta_desde_texto(argumentos.valor("listados"));
    std::error_code error;
    if (!std::filesystem::is_directory(opciones.carpeta_listados, error)) {
      throw ErrorUso("--listados no es una carpeta: \"" + argumentos.valor("listados") + "\"");
    }
  }

  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_para_cambiar(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  sesion.ajustes.tolerancia_tentativo = tolerancia;
  // The network as the viewer shows it when the sheet opens; no picture is kept.
  SuperficieNula superficie(kAnchoImagen, kAltoImagen);
  const HojaAbierta hoja = dibuja_hoja_abierta(sesion, superficie);
  return imprime_resultado(salida, errores, [&] {
    return con_progreso(errores, [&](Progreso& p) {
      return ejecuta_y_aplica_binjunta(sesion, hoja.dibujadas, opciones, p);
    });
  });
}

}  // namespace

Comando comando_depurar() {
  OpcionesAdmitidas opciones{{"tolerancia", "listados"}, {"mm"}};
  return {"depurar", kResumen, kAyuda, std::move(opciones), ejecuta_depurar};
}

}  // namespace telmora::cli
