#include "db/importacion.h"

#include <QSqlField>
#include <QSqlRecord>

#include "db/base_datos.h"
#include "db/conexion.h"
#include "db/sqlite/motor_sqlite.h"

namespace telmora {

namespace {

const char* tipo_sqlite(const QMetaType& tipo) {
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
      return "INTEGER";
    case QMetaType::Double:
    case QMetaType::Float:
      return "REAL";
    case QMetaType::QByteArray:
      return "BLOB";
    case QMetaType::QDate:
    case QMetaType::QDateTime:
      return "DATETIME";
    default:
      return "TEXT";
  }
}

// Table by table through the engine's own SQL (an Access file opened through ODBC).
void copia_tablas(BaseDatos& origen, BaseDatos::Conexion& destino) {
  for (const std::string& tabla : origen.tablas()) {
    const QString nombre = QString::fromStdString(tabla);
    const QSqlRecord registro = origen.conexion().bd.record(nombre);
    std::vector<ColumnaNueva> columnas;
    for (int i = 0; i < registro.count(); ++i) {
      columnas.push_back({registro.fieldName(i), tipo_sqlite(registro.field(i).metaType())});
    }
    QSqlQuery insercion = crea_tabla(destino, nombre, columnas);
    QSqlQuery lectura =
        ejecuta_texto(origen.conexion(), "SELECT * FROM [" + nombre + "]", {}, "leer " + tabla);
    for (const FilaBd& fila : filas_de(lectura, origen.conexion(), "leer " + tabla)) {
      inserta(insercion, fila, destino.origen);
    }
  }
}

}  // namespace

std::vector<TablaImportada> importa_base_datos(BaseDatos& fuente,
                                               const std::filesystem::path& destino) {
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

}  // namespace telmora
