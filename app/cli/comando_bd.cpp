#include "cli.h"
#include "db/base_datos.h"
#include "db/importacion.h"
#include "fichero.h"
#include "imagen_cli.h"

namespace telmora::cli {

int ejecuta_bd(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  const auto& posicionales = argumentos.posicionales();
  if (posicionales.empty() || posicionales[0] != "importar") {
    throw ErrorUso(
        "la única operación es \"importar\": telmora-cli bd importar ORIGEN DESTINO.sqlite");
  }
  argumentos.exige_posicionales(3, "telmora-cli bd importar ORIGEN DESTINO.sqlite");
  asegura_aplicacion();
  // A source that is missing or cannot be read is bad input; only the copy's own failures are
  // failed writes.
  BaseDatos fuente = BaseDatos::abre(posicionales[1]);
  std::vector<TablaImportada> tablas;
  try {
    tablas = importa_base_datos(fuente, ruta_desde_texto(posicionales[2]));
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
