// An open database of the production line: the pair-control database, a sheet's error database
// or the feature catalogue. It is opened by path and its engine chosen from the file's content:
// an SQLite file, or an Access file (Jet ".mdb", ACE ".accdb"), which is read into an in-memory
// SQLite copy on Linux and opened through ODBC on Windows. The pair-control database may also
// live on a PostgreSQL server, named by a connection text instead of a path. Statements are kept
// in this module, one text for each dialect, with their values always bound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/valor.h"
#include "fichero.h"

namespace telmora {

// A database that cannot be opened, read or written as asked: the message names the file and
// what is wrong.
class ErrorBaseDatos : public ErrorTelmora {
 public:
  using ErrorTelmora::ErrorTelmora;
};

// A database that cannot be written: opened for reading only, an Access file on Linux, or a
// write that the engine refused.
class ErrorEscrituraBd : public ErrorBaseDatos {
 public:
  using ErrorBaseDatos::ErrorBaseDatos;
};

// The SQL a statement is written in: SQLite's (files of that engine and in-memory copies of
// Access files, with the Access functions the statements use registered), Access's own, or
// PostgreSQL's.
enum class Dialecto { sqlite, access, postgresql };

// One statement in each dialect, with what it does (for messages: "leer los pares"). Only the
// statements of the pair control have a PostgreSQL text; the others cannot run on a server.
struct Sentencia {
  const char* para;
  const char* sqlite;
  const char* access;
  const char* postgresql = nullptr;
};

// True for a connection text of a PostgreSQL server: "postgresql://" or "postgres://" first.
bool es_conexion_postgresql(std::string_view origen);

enum class FormatoFichero { sqlite, access, otro };

// The format of a file from its first bytes ("SQLite format 3", "Standard Jet DB",
// "Standard ACE DB"); `otro` for anything else, a short or an unreadable file.
FormatoFichero identifica_fichero(const std::filesystem::path& ruta);

struct OpcionesApertura {
  bool escritura = false;
  // The password of an Access file that has one (Windows; the Linux reader needs none).
  std::string contrasena;
};

// A table that a tool reads, with the columns it uses.
struct TablaRequerida {
  std::string nombre;
  std::vector<std::string> columnas;
};

// A table and some of its columns as the database spells them, each quoted for a statement
// ("migrada"."Control", "PAR"); a column that the table lacks is left empty.
struct NombresTabla {
  std::string tabla;
  std::vector<std::string> columnas;
};

class BaseDatos {
 public:
  // Opens the database at `origen`, a path or a PostgreSQL connection text (see
  // postgresql/motor_postgresql.h). A missing file throws ErrorFicheroInexistente; anything else
  // that keeps it from opening as asked (not a database, damaged, an Access file to be written on
  // Linux, a wrong password, a server that cannot be reached or refuses the login) throws
  // ErrorBaseDatos with the engine's reason.
  static BaseDatos abre(const std::string& origen, const OpcionesApertura& opciones = {});

  BaseDatos(BaseDatos&&) noexcept;
  BaseDatos& operator=(BaseDatos&&) noexcept;
  ~BaseDatos();

  const std::string& origen() const;
  Dialecto dialecto() const;

  // The names of its tables (the user's, not the engine's own).
  std::vector<std::string> tablas() const;

  // The table of that name and those of its columns, found without regard to case: on a server
  // in its catalogue, in the first schema of the search path that holds such a table (migration
  // tools keep Access's mixed case, "Control" and "PAR"; a table made by hand is usually lower
  // case). Nothing when there is no such table. Two tables, or two columns, whose names differ
  // only in case throw ErrorBaseDatos: which one is meant cannot be told.
  std::optional<NombresTabla> busca_tabla(const std::string& tabla,
                                          const std::vector<std::string>& columnas) const;
  // Throws ErrorBaseDatos naming the database and the first table or column that is missing
  // (names found as busca_tabla finds them).
  void exige(const std::vector<TablaRequerida>& tablas) const;

  // The rows of a query, with `valores` bound to its placeholders in order.
  std::vector<FilaBd> consulta(const Sentencia& sentencia,
                               const std::vector<Valor>& valores = {}) const;
  // Runs `lectura`, which reads through this database, in one snapshot: every statement sees the
  // same moment even while others write. On a server, a read-only repeatable-read transaction;
  // on an SQLite file, one read transaction; through ODBC, as the driver reads.
  void lee_en_instantanea(const std::function<void()>& lectura) const;

  // A statement that changes rows, committed when it returns; the number of rows changed.
  // Failures throw ErrorEscrituraBd.
  std::int64_t ejecuta(const Sentencia& sentencia, const std::vector<Valor>& valores = {});
  // The same for a statement meant to change one row: in a transaction of its own, committed
  // only when exactly one row changed and otherwise undone. The number of rows it changed, or
  // would have changed.
  std::int64_t ejecuta_en_una_fila(const Sentencia& sentencia, const std::vector<Valor>& valores);

  // The engine's connection, for the module's own routines.
  struct Conexion;
  Conexion& conexion() const { return *conexion_; }
  explicit BaseDatos(std::unique_ptr<Conexion> conexion);

 private:
  std::unique_ptr<Conexion> conexion_;
};

}  // namespace telmora
