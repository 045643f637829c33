#include "cli.h"
#include "control/busca_bd.h"
#include "control/control_errores.h"
#include "db/base_datos.h"
#include "dialogos_terminal.h"
#include "imagen_cli.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "marca en la base de datos de errores de la hoja los errores escritos como textos";
constexpr const char* kAyuda =
    "uso: telmora-cli errores HOJA.bin [--bd RUTA] [--mm]\n"
    "\n"
    "Marca como encontrado, en la tabla Errores de la base de datos de la hoja (su nombre\n"
    "con la extensión .mdb, en su carpeta o en la carpeta de datos), cada error cuyo número\n"
    "está escrito como texto en la hoja (\"1234\" o \"1234_descripción\"): su Estado pasa a\n"
    "1 la primera vez y crece en 100 cada vez más, y la descripción se añade a\n"
    "DescripcionEstado. Cada cambio se guarda en el momento. Escribe en la salida los\n"
    "nombres de las columnas y las filas cambiadas, con sus valores separados por\n"
    "tabuladores. Una base de datos Access no se puede escribir en Linux: conviértala antes\n"
    "con \"telmora-cli bd importar\".\n"
    "  --bd RUTA   la base de datos de errores que se usa\n"
    "  --mm        la hoja está en milímetros (centímetros si no se indica)\n";

int ejecuta_errores(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli errores HOJA.bin [--bd RUTA] [--mm]");
  Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  asegura_aplicacion();
  DialogosTerminal dialogos(errores);
  const auto ruta =
      base_datos_de_linea(argumentos, sesion.ajustes, nombre_bd_errores(sesion.ajustes), dialogos);
  if (!ruta) return kErrorEntrada;
  try {
    for (const std::string& linea : carga_control_errores(sesion.hoja, *ruta).lineas()) {
      salida << linea << "\n";
    }
  } catch (const ErrorEscrituraBd& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace

Comando comando_errores() {
  OpcionesAdmitidas opciones{{"bd"}, {"mm"}};
  return {"errores", kResumen, kAyuda, std::move(opciones), ejecuta_errores};
}

}  // namespace telmora::cli
