#include "ajustes.h"
#include "cli.h"
#include "edicion/informe_bin.h"
#include "fichero.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "informe de la hoja: unidades, recuentos, rango y códigos que faltan en Vekt.tab";
constexpr const char* kAyuda =
    "uso: telmora-cli info HOJA.bin [--mm]\n"
    "\n"
    "Escribe el informe de la hoja en la salida, una línea por renglón, y lo guarda junto a\n"
    "la hoja con el nombre de la hoja terminado en \".txt\" en lugar de su extensión. Una\n"
    "hoja que ya tiene ese nombre no se sobrescribe: la orden se niega sin escribir nada.\n"
    "  --mm   la hoja está en milímetros (centímetros si no se indica)\n";

int ejecuta_info(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli info HOJA.bin [--mm]");
  // The report never searches the sheet by boxes: it is opened without their grid.
  const Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"),
                                           Progreso::ninguno(), IndiceCajas::sin);
  // Named before anything is printed: a report that would replace the sheet stops here.
  const auto ruta = ruta_informe(sesion.ajustes.fich_entrada);
  const auto lineas =
      informe_bin(sesion.hoja, sesion.tabla, texto_directorio(sesion.ajustes.dir_trabajo),
                  ruta_texto(sesion.ajustes.fich_entrada.filename()), sesion.ajustes.uds);
  for (const auto& linea : lineas) salida << linea << "\n";
  try {
    if (ruta) escribe_lineas(*ruta, lineas);
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace

Comando comando_info() {
  OpcionesAdmitidas opciones{{}, {"mm"}};
  return {"info", kResumen, kAyuda, std::move(opciones), ejecuta_info};
}

}  // namespace telmora::cli
