#include "cli.h"
#include "db/base_datos.h"
#include "db/importacion.h"
#include "db/pares.h"
#include "fichero.h"
#include "imagen_cli.h"

namespace telmora::cli {

int ejecuta_bd(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  const auto& posicionales = argumentos.posicionales();
  if (posicionales.empty() || posicionales[0] != "importar") {
    throw ErrorUso(
        "la única operación es \"importar\": telmora-cli bd importar ORIGEN DESTINO.sqlite");
  }
  argumentos.exige_posicionales(
      3, "telmora-cli bd importar ORIGEN DESTINO.sqlite|CONEXION [--reemplazar]");
  asegura_aplicacion();
  // A source that is missing or cannot be read is bad input; only the copy's own failures are
  // failed writes.
  if (es_conexion_postgresql(posicionales[1])) {
    throw ErrorUso("ORIGEN debe ser un fichero Access o SQLite");
  }
  const bool a_servidor = es_conexion_postgresql(posicionales[2]);
  if (!a_servidor) {
    exige_salida_distinta(ruta_desde_texto(posicionales[2]), ruta_desde_texto(posicionales[1]));
  }
  BaseDatos fuente = BaseDatos::abre(posicionales[1]);
  if (a_servidor) fuente.exige({tabla_control_requerida()});
  const bool reemplaza = argumentos.bandera("reemplazar");
  std::vector<TablaImportada> tablas;
  try {
    // Into a server goes the pair-control table; into a file, every table.
    tablas = a_servidor
                 ? std::vector{importa_control_postgresql(fuente, posicionales[2], reemplaza)}
                 : importa_base_datos(fuente, ruta_desde_texto(posicionales[2]), reemplaza);
  } catch (const ErrorDestinoOcupado& error) {
    throw ErrorUso(std::string(error.what()) + " sin --reemplazar");
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  for (const TablaImportada& tabla : tablas) {
    salida << tabla.nombre << ": " << tabla.filas << " filas\n";
  }
  return kExito;
}

}  // namespace telmora::cli
