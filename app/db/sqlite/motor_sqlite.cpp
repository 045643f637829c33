#include "db/sqlite/motor_sqlite.h"

#include <sqlite3.h>

#include <QSqlDriver>
#include <QSqlQuery>

#include "db/conexion.h"

namespace telmora {

namespace {

Valor valor_sqlite(sqlite3_value* valor) {
  switch (sqlite3_value_type(valor)) {
    case SQLITE_INTEGER:
      return std::int64_t{sqlite3_value_int64(valor)};
    case SQLITE_FLOAT:
      return sqlite3_value_double(valor);
    case SQLITE_TEXT:
      return std::string(reinterpret_cast<const char*>(sqlite3_value_text(valor)),
                         static_cast<std::size_t>(sqlite3_value_bytes(valor)));
    case SQLITE_BLOB: {
      const auto* datos = static_cast<const unsigned char*>(sqlite3_value_blob(valor));
      return Bytes(datos, datos + sqlite3_value_bytes(valor));
    }
    default:
      return std::monostate{};
  }
}

// The Access functions. Where Access stops the query with an error (the text of a null, a
// long integer of a text that is not a number) they give null instead.
void CStr(sqlite3_context* contexto, int, sqlite3_value** argumentos) {
  const auto texto = cstr(valor_sqlite(argumentos[0]));
  if (!texto) return sqlite3_result_null(contexto);
  sqlite3_result_text(contexto, texto->data(), static_cast<int>(texto->size()), SQLITE_TRANSIENT);
}

void CLng(sqlite3_context* contexto, int, sqlite3_value** argumentos) {
  const auto numero = clng(valor_sqlite(argumentos[0]));
  if (!numero) return sqlite3_result_null(contexto);
  sqlite3_result_int64(contexto, *numero);
}

void IsNumeric(sqlite3_context* contexto, int, sqlite3_value** argumentos) {
  sqlite3_result_int(contexto, es_numerico(valor_sqlite(argumentos[0])) ? 1 : 0);
}

void registra_funciones_access(BaseDatos::Conexion& conexion) {
  const QVariant manejador = conexion.bd.driver()->handle();
  if (!manejador.isValid() || qstrcmp(manejador.typeName(), "sqlite3*") != 0) {
    throw ErrorBaseDatos("No se puede abrir " + conexion.origen +
                         ": el controlador SQLite de Qt no da acceso a la base de datos");
  }
  sqlite3* bd = *static_cast<sqlite3* const*>(manejador.constData());
  using Funcion = void (*)(sqlite3_context*, int, sqlite3_value**);
  const std::pair<const char*, Funcion> funciones[] = {
      {"CStr", CStr}, {"CLng", CLng}, {"IsNumeric", IsNumeric}};
  for (const auto& [nombre, funcion] : funciones) {
    if (sqlite3_create_function_v2(bd, nombre, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   funcion, nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw ErrorBaseDatos("No se puede abrir " + conexion.origen + ": " + sqlite3_errmsg(bd));
    }
  }
}

// Opens the connection and checks that the file is a database SQLite can read.
void abre(BaseDatos::Conexion& conexion) {
  if (!conexion.bd.open())
    falla_bd("No se puede abrir " + conexion.origen, conexion.bd.lastError());
  QSqlQuery prueba(conexion.bd);
  if (!prueba.exec("SELECT count(*) FROM sqlite_master")) {
    falla_bd("No se puede leer " + conexion.origen, prueba.lastError());
  }
  registra_funciones_access(conexion);
}

}  // namespace

std::unique_ptr<BaseDatos::Conexion> abre_fichero_sqlite(const std::filesystem::path& ruta,
                                                         bool escritura) {
  auto conexion = std::make_unique<BaseDatos::Conexion>("QSQLITE", ruta_texto(ruta),
                                                        Dialecto::sqlite, escritura);
  conexion->bd.setDatabaseName(QString::fromStdU16String(ruta.u16string()));
  // Another program may be writing the same shared file: wait for it rather than fail.
  conexion->bd.setConnectOptions(escritura ? "QSQLITE_BUSY_TIMEOUT=5000"
                                           : "QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY");
  abre(*conexion);
  return conexion;
}

std::unique_ptr<BaseDatos::Conexion> abre_memoria_sqlite(const std::string& origen) {
  auto conexion = std::make_unique<BaseDatos::Conexion>("QSQLITE", origen, Dialecto::sqlite, false);
  conexion->bd.setDatabaseName(":memory:");
  abre(*conexion);
  return conexion;
}

FicheroSqliteNuevo::FicheroSqliteNuevo(std::filesystem::path destino)
    : destino_(std::move(destino)), temporal_(ruta_temporal(destino_)) {}

FicheroSqliteNuevo::~FicheroSqliteNuevo() {
  // After confirma() the temporary names are gone and this removes nothing.
  conexion_.reset();
  borra_temporal();
}

BaseDatos::Conexion& FicheroSqliteNuevo::conexion() {
  if (conexion_ != nullptr) return *conexion_;
  conexion_ = std::make_unique<BaseDatos::Conexion>("QSQLITE", ruta_texto(destino_),
                                                    Dialecto::sqlite, true);
  conexion_->bd.setDatabaseName(QString::fromStdU16String(temporal_.u16string()));
  if (!conexion_->bd.open()) {
    const QSqlError error = conexion_->bd.lastError();
    conexion_.reset();
    falla_bd("No se puede crear " + ruta_texto(destino_), error);
  }
  return *conexion_;
}

void FicheroSqliteNuevo::confirma() {
  conexion_.reset();
  std::error_code error;
  std::filesystem::rename(temporal_, destino_, error);
  if (error) {
    borra_temporal();
    throw ErrorBaseDatos("No se puede escribir " + ruta_texto(destino_) + ": " + error.message());
  }
}

void FicheroSqliteNuevo::borra_temporal() {
  std::error_code ignorado;
  for (const char* sufijo : {"", "-journal", "-wal", "-shm"}) {
    auto ruta = temporal_;
    ruta += sufijo;
    std::filesystem::remove(ruta, ignorado);
  }
}

}  // namespace telmora
