#include "cli.h"
#include "edicion/extraccion.h"
#include "fichero.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen = "escribe en HOJA_f.bin lo que cae dentro de una ventana";
constexpr const char* kAyuda =
    "uso: telmora-cli extraer HOJA.bin --ventana XMIN,YMIN,XMAX,YMAX [--solapados] [--mm]\n"
    "\n"
    "Escribe junto a la hoja, con su nombre sin la extensión seguido de \"_f.bin\", los\n"
    "elementos activos con código visible que tocan la ventana (en metros) y los textos\n"
    "cuyo punto de inserción está dentro. Sin --solapados los elementos se cortan en los\n"
    "bordes de la ventana (con la cota interpolada en cada corte) y solo queda lo de dentro;\n"
    "con --solapados se escriben enteros. La hoja no cambia. Escribe en la salida el nombre\n"
    "del fichero escrito.\n"
    "  --ventana X1,Y1,X2,Y2  la ventana en metros, esquina inferior izquierda y superior\n"
    "                         derecha\n"
    "  --solapados            elementos enteros\n"
    "  --mm                   la hoja está en milímetros (centímetros si no se indica)\n";

int ejecuta_extraer(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      1, "telmora-cli extraer HOJA.bin --ventana XMIN,YMIN,XMAX,YMAX [--solapados] [--mm]");
  if (!argumentos.tiene("ventana")) throw ErrorUso("falta --ventana XMIN,YMIN,XMAX,YMAX");
  const auto ventana = numeros_de_opcion(argumentos.valor("ventana"), ',', 4, "--ventana");
  if (ventana[0] > ventana[2] || ventana[1] > ventana[3]) {
    throw ErrorUso("--ventana debe ser XMIN,YMIN,XMAX,YMAX con XMIN <= XMAX e YMIN <= YMAX");
  }
  const Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  Vista vista;
  vista.xmin = ventana[0];
  vista.ymin = ventana[1];
  vista.xmax = ventana[2];
  vista.ymax = ventana[3];
  const auto modo =
      argumentos.bandera("solapados") ? ModoExtraccion::solapados : ModoExtraccion::dentro;
  try {
    salida << ruta_texto(CortaFichero(sesion, vista, modo)) << "\n";
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace

Comando comando_extraer() {
  OpcionesAdmitidas opciones{{"ventana"}, {"solapados", "mm"}};
  return {"extraer", kResumen, kAyuda, std::move(opciones), ejecuta_extraer};
}

}  // namespace telmora::cli
