#include "db/importacion.h"

#include <QSqlField>
#include <QSqlRecord>

#include "db/base_datos.h"
#include "db/conexion.h"
#include "db/pares.h"
#include "db/sqlite/motor_sqlite.h"

namespace telmora {

namespace {

enum class Tipo { entero, real, bytes, fecha, texto };

Tipo tipo_de(const QMetaType& tipo) {
  switch (tipo.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UChar:
    case QMetaType::SChar:
      return Tipo::entero;
    case QMetaType::Double:
    case QMetaType::Float:
      return Tipo::real;
    case QMetaType::QByteArray:
      return Tipo::bytes;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
      return Tipo::fecha;
    default:
      return Tipo::texto;
  }
}

const char* tipo_sqlite(const QMetaType& tipo) {
  constexpr const char* nombres[] = {"INTEGER", "REAL", "BLOB", "DATETIME", "TEXT"};
  return nombres[static_cast<int>(tipo_de(tipo))];
}

const char* tipo_postgresql(const QMetaType& tipo) {
  constexpr const char* nombres[] = {"bigint", "double precision", "bytea", "timestamp", "text"};
  return nombres[static_cast<int>(tipo_de(tipo))];
}

// The columns of a table of `origen`, each with its type in the destination's terms.
std::vector<ColumnaNueva> columnas_de(const BaseDatos& origen, const QString& tabla,
                                      const char* (*tipo)(const QMetaType&)) {
  const QSqlRecord registro = origen.conexion().bd.record(tabla);
  std::vector<ColumnaNueva> columnas;
  for (int i = 0; i < registro.count(); ++i) {
    columnas.push_back({registro.fieldName(i), tipo(registro.field(i).metaType())});
  }
  return columnas;
}

// Every row of a table, in its order.
std::vector<FilaBd> filas_de_tabla(BaseDatos& origen, const QString& tabla) {
  const std::string para = "leer " + tabla.toStdString();
  QString texto = "SELECT * FROM [" + tabla + "]";
  if (origen.dialecto() == Dialecto::sqlite) texto += " ORDER BY rowid";
  QSqlQuery lectura = ejecuta_texto(origen.conexion(), texto, {}, para);
  return filas_de(lectura, origen.conexion(), para);
}

void ejecuta_orden(BaseDatos::Conexion& conexion, const QString& orden,
                   const std::string& mensaje) {
  QSqlQuery consulta(conexion.bd);
  if (!consulta.exec(orden)) falla_bd(mensaje, consulta.lastError());
}

// Table by table through the engine's own SQL (an Access file opened through ODBC).
void copia_tablas(BaseDatos& origen, BaseDatos::Conexion& destino) {
  for (const std::string& tabla : origen.tablas()) {
    const QString nombre = QString::fromStdString(tabla);
    QSqlQuery insercion = crea_tabla(destino, nombre, columnas_de(origen, nombre, tipo_sqlite));
    for (const FilaBd& fila : filas_de_tabla(origen, nombre)) {
      inserta(insercion, fila, destino.origen);
    }
  }
}

}  // namespace

std::vector<TablaImportada> importa_base_datos(BaseDatos& fuente,
                                               const std::filesystem::path& destino,
                                               bool reemplaza) {
  if (!reemplaza && std::filesystem::exists(destino)) {
    throw ErrorDestinoOcupado("Ya existe " + ruta_texto(destino) + ": no se sustituye");
  }
  {
    FicheroSqliteNuevo nuevo(destino);
    if (fuente.dialecto() == Dialecto::sqlite) {
      // The engine's own copy: every table, index and row as they are.
      ejecuta_texto(fuente.conexion(), "VACUUM INTO ?", {ruta_texto(nuevo.temporal())},
                    "copiar la base de datos a " + ruta_texto(destino));
    } else {
      BaseDatos::Conexion& conexion = nuevo.conexion();
      if (!conexion.bd.transaction())
        falla_bd("Error al escribir " + conexion.origen, conexion.bd.lastError());
      copia_tablas(fuente, conexion);
      if (!conexion.bd.commit())
        falla_bd("Error al escribir " + conexion.origen, conexion.bd.lastError());
    }
    nuevo.confirma();
  }
  const BaseDatos copia = BaseDatos::abre(ruta_texto(destino));
  std::vector<TablaImportada> tablas;
  for (const std::string& tabla : copia.tablas()) {
    QString nombre = QString::fromStdString(tabla);
    nombre.replace("\"", "\"\"");
    QSqlQuery cuenta = ejecuta_texto(copia.conexion(), "SELECT count(*) FROM \"" + nombre + "\"",
                                     {}, "contar las filas de " + tabla);
    const auto filas = filas_de(cuenta, copia.conexion(), "contar las filas de " + tabla);
    tablas.push_back({tabla, std::get<std::int64_t>(filas.at(0).at(0))});
  }
  return tablas;
}

TablaImportada importa_control_postgresql(BaseDatos& fuente, const std::string& conexion,
                                          bool reemplaza) {
  fuente.exige({tabla_control_requerida()});
  QString tabla;
  for (const std::string& nombre : fuente.tablas()) {
    if (QString::fromStdString(nombre).compare("Control", Qt::CaseInsensitive) == 0) {
      tabla = QString::fromStdString(nombre);
    }
  }
  const std::vector<FilaBd> filas = filas_de_tabla(fuente, tabla);
  std::vector<ColumnaNueva> columnas = columnas_de(fuente, tabla, tipo_postgresql);
  // Lower-case names, which the statements reach unquoted (the server folds them so).
  for (ColumnaNueva& columna : columnas) columna.nombre = columna.nombre.toLower();

  OpcionesApertura escritura;
  escritura.escritura = true;
  BaseDatos servidor = BaseDatos::abre(conexion, escritura);
  BaseDatos::Conexion& destino = servidor.conexion();
  const std::string mensaje = "Error al copiar la tabla Control en " + conexion;
  if (!destino.bd.transaction()) falla_bd(mensaje, destino.bd.lastError());
  try {
    if (const auto anterior = servidor.busca_tabla("Control", {})) {
      if (!reemplaza) {
        throw ErrorDestinoOcupado("La base de datos " + conexion +
                                  " ya tiene la tabla de control " + anterior->tabla +
                                  ": no se sustituye");
      }
      ejecuta_orden(destino, QString::fromStdString("DROP TABLE " + anterior->tabla), mensaje);
    }
    QSqlQuery insercion = crea_tabla(destino, "control", columnas);
    ejecuta_orden(destino,
                  QString("ALTER TABLE control ADD COLUMN ") + kColumnaOrdenFila +
                      " bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY",
                  mensaje);
    for (const FilaBd& fila : filas) inserta(insercion, fila, conexion);
    ejecuta_orden(destino, "CREATE INDEX control_par ON control (par)", mensaje);
    if (!destino.bd.commit()) falla_bd(mensaje, destino.bd.lastError());
  } catch (...) {
    destino.bd.rollback();
    throw;
  }
  return {"Control", static_cast<std::int64_t>(filas.size())};
}

}  // namespace telmora
