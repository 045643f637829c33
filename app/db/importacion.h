// A copy of a whole database in a new SQLite file: what "telmora-cli bd importar" does, so that
// an Access file can be used where it must be written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "db/base_datos.h"

namespace telmora {

// The copy's destination is already there and was not to be replaced: nothing was written.
class ErrorDestinoOcupado : public ErrorBaseDatos {
 public:
  using ErrorBaseDatos::ErrorBaseDatos;
};

struct TablaImportada {
  std::string nombre;
  std::int64_t filas = 0;
};

// Copies every table of an open SQLite or Access database (columns, types, nulls, dates as
// "YYYY-MM-DD HH:MM:SS" text) into a new SQLite file at `destino`, which is written whole or
// not at all. A file already at `destino` throws ErrorDestinoOcupado unless `reemplaza`; then the
// copy takes its place in one rename. Returns the tables of the copy with their row counts. A
// failure throws ErrorBaseDatos.
std::vector<TablaImportada> importa_base_datos(BaseDatos& fuente,
                                               const std::filesystem::path& destino,
                                               bool reemplaza = false);

// Copies the pair-control table "Control" of an open SQLite or Access database into a new table
// "control" of the PostgreSQL database named by `conexion` (see postgresql/motor_postgresql.h):
// every column under its name in lower case, the rows in the file's order numbered in a column
// "orden_fila", and an index on "par". Written in one transaction, whole or not at all. A
// control table already there, whatever the case of its name (BaseDatos::busca_tabla), throws
// ErrorDestinoOcupado and is left as it was unless `reemplaza`; then it is dropped in the same
// transaction. Returns the table with its row count. A failure throws ErrorBaseDatos.
TablaImportada importa_control_postgresql(BaseDatos& fuente, const std::string& conexion,
                                          bool reemplaza = false);

}  // namespace telmora
