// The Qt connection behind a BaseDatos, shared by the engines and the module's routines.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "db/base_datos.h"

namespace telmora {

struct BaseDatos::Conexion {
  // A new connection of that Qt driver under a name of its own.
  Conexion(const char* driver, std::string origen, Dialecto dialecto, bool escribible);
  ~Conexion();
  Conexion(const Conexion&) = delete;
  Conexion& operator=(const Conexion&) = delete;

  QSqlDatabase bd;
  std::string origen;  // the path, as messages name it
  Dialecto dialecto;
  bool escribible;
};

// Qt's database drivers need an application object; a program or test without one gets a core
// application here.
void asegura_nucleo_qt();

QVariant a_qvariant(const Valor& valor);
Valor de_qvariant(const QVariant& valor);

// ErrorBaseDatos: the message, ": " and the engine's reason.
[[noreturn]] void falla_bd(const std::string& mensaje, const QSqlError& error);

// Runs one statement text with its values bound and returns it, ready to walk its rows.
// Failures throw ErrorBaseDatos: "Error al <para> en <file>: <reason>".
QSqlQuery ejecuta_texto(BaseDatos::Conexion& conexion, const QString& texto,
                        const std::vector<Valor>& valores, const std::string& para);

// Every row of an executed query.
std::vector<FilaBd> filas_de(QSqlQuery& consulta, const BaseDatos::Conexion& conexion,
                             const std::string& para);

// A name quoted for a statement of SQLite or PostgreSQL: in double quotes, each one inside
// doubled.
std::string identificador_sql(std::string_view nombre);

// A column of a table to create.
struct ColumnaNueva {
  QString nombre;
  const char* tipo;  // the engine's declared type: "INTEGER", "TEXT" ..., "bigint" ...
};

// Creates the table in `destino` and returns its row insertion (of these columns, in this
// order), prepared; inserta() adds one row.
QSqlQuery crea_tabla(BaseDatos::Conexion& destino, const QString& tabla,
                     const std::vector<ColumnaNueva>& columnas);
void inserta(QSqlQuery& insercion, const FilaBd& fila, const std::string& origen);

}  // namespace telmora
