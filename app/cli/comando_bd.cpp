#include "cli.h"
#include "db/base_datos.h"
#include "db/importacion.h"
#include "db/pares.h"
#include "fichero.h"
#include "imagen_cli.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "copia una base de datos Access o SQLite en un fichero SQLite nuevo o en PostgreSQL";
constexpr const char* kAyuda =
    "uso: telmora-cli bd importar ORIGEN DESTINO.sqlite [--reemplazar]\n"
    "     telmora-cli bd importar ORIGEN postgresql://USUARIO@SERVIDOR:PUERTO/BASE\n"
    "                             [--reemplazar]\n"
    "\n"
    "Copia todas las tablas de ORIGEN, una base de datos Access (.mdb, .accdb) o SQLite, en\n"
    "un fichero SQLite nuevo: columnas, tipos, nulos y fechas (como texto AAAA-MM-DD\n"
    "HH:MM:SS). DESTINO se escribe entero o no se escribe. Si DESTINO ya existe la orden se\n"
    "niega, salvo con --reemplazar: entonces la copia lo sustituye de una vez, cuando está\n"
    "completa. DESTINO nunca puede ser ORIGEN.\n"
    "Escribe en la salida una línea \"TABLA: N filas\" por tabla copiada. Las bases de\n"
    "datos Access solo se pueden leer en Linux: su copia SQLite, con el nombre de la\n"
    "original, es la que el programa puede escribir.\n"
    "Con una conexión a PostgreSQL por DESTINO, ORIGEN es una base de datos de control de\n"
    "pares: su tabla Control se copia en la tabla nueva control de esa base de datos, con\n"
    "las columnas en minúsculas, la columna orden_fila con el orden de las filas y un índice\n"
    "sobre par, entera o nada. Si la base de datos ya tiene la tabla de control (con su nombre\n"
    "en minúsculas o en mayúsculas, como \"Control\"), la orden se niega y no la toca, salvo\n"
    "con --reemplazar: entonces se sustituye en la misma transacción. La contraseña no va en\n"
    "la conexión: se lee del fichero de contraseñas de PostgreSQL (~/.pgpass o PGPASSFILE).\n"
    "  --reemplazar   sustituye el DESTINO que ya exista\n";

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

}  // namespace

Comando comando_bd() {
  OpcionesAdmitidas opciones{{}, {"reemplazar"}};
  return {"bd", kResumen, kAyuda, std::move(opciones), ejecuta_bd};
}

}  // namespace telmora::cli
