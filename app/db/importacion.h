// A copy of a whole database in a new SQLite file: what "telmora-cli bd importar" does, so that
// an Access file can be used where it must be written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace telmora {

class BaseDatos;

struct TablaImportada {
  std::string nombre;
  std::int64_t filas = 0;
};

// Copies every table of an open SQLite or Access database (columns, types, nulls, dates as
// "YYYY-MM-DD HH:MM:SS" text) into a new SQLite file at `destino`, which is written whole or
// not at all and replaces any file of that name. Returns the tables of the copy with their row
// counts. A failure throws ErrorBaseDatos.
std::vector<TablaImportada> importa_base_datos(BaseDatos& fuente,
                                               const std::filesystem::path& destino);

// Copies the pair-control table "Control" of an open SQLite or Access database into a new table
// "control" of the PostgreSQL database named by `conexion` (see postgresql/motor_postgresql.h):
// every column under its name in lower case, the rows in the file's order numbered in a column
// "orden_fila", and an index on "par". Written in one transaction, whole or not at all; a
// database that already has the table is left as it was. Returns the table with its row count.
// A failure throws ErrorBaseDatos.
TablaImportada importa_control_postgresql(BaseDatos& fuente, const std::string& conexion);

}  // namespace telmora
