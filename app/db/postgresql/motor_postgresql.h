// The pair-control database on a PostgreSQL server, named by a connection text:
//
//   postgresql://usuario@servidor:puerto/base[?ajuste=valor&...]
//
// ("postgres://" also serves). The user, the server, the port and the database may be left out
// (libpq's defaults apply); each part may be percent-encoded, so a socket folder can stand for the
// server ("%2Fvar%2Frun%2Fpostgresql"); the settings after "?" are libpq's (sslmode,
// connect_timeout ...). The connection goes through Qt's QPSQL driver, that is libpq, which takes
// the password from the user's PostgreSQL password file (PGPASSFILE, else ~/.pgpass) or from
// PGPASSWORD. A password is never taken from the program or its settings: a connection text that
// carries one is refused.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/base_datos.h"

namespace telmora {

struct DatosConexionPg {
  std::string usuario, servidor, base;
  int puerto = -1;  // -1: libpq's default
  std::vector<std::pair<std::string, std::string>> ajustes;
};

// The parts of a connection text. One that is malformed or carries a password throws
// ErrorBaseDatos (the message never repeats a password).
DatosConexionPg interpreta_conexion_pg(const std::string& texto);

// Connects to the server. Waits at most 10 seconds for it unless the text sets connect_timeout.
// A server that cannot be reached or refuses the login throws ErrorBaseDatos with its reason.
std::unique_ptr<BaseDatos::Conexion> abre_postgresql(const std::string& texto, bool escritura);

// BaseDatos::busca_tabla on a server: the table and its columns from the catalogue, compared in
// lower case, the table qualified by its schema.
std::optional<NombresTabla> busca_tabla_postgresql(BaseDatos::Conexion& conexion,
                                                   const std::string& tabla,
                                                   const std::vector<std::string>& columnas);

}  // namespace telmora
