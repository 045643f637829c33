#include "db/creacion.h"

#include "db/conexion.h"
#include "db/sqlite/motor_sqlite.h"

namespace telmora {

void crea_base_datos_sqlite(const std::filesystem::path& destino,
                            const std::vector<TablaNueva>& tablas) {
  FicheroSqliteNuevo nuevo(destino);
  BaseDatos::Conexion& conexion = nuevo.conexion();
  const std::string mensaje = "Error al escribir " + conexion.origen;
  if (!conexion.bd.transaction()) falla_bd(mensaje, conexion.bd.lastError());
  for (const TablaNueva& tabla : tablas) {
    std::vector<ColumnaNueva> columnas;
    for (const ColumnaEsquema& columna : tabla.columnas) {
      columnas.push_back({QString::fromUtf8(columna.nombre), columna.tipo});
    }
    QSqlQuery insercion = crea_tabla(conexion, QString::fromStdString(tabla.nombre), columnas);
    for (const FilaBd& fila : tabla.filas) inserta(insercion, fila, conexion.origen);
  }
  if (!conexion.bd.commit()) falla_bd(mensaje, conexion.bd.lastError());
  nuevo.confirma();
}

TablaNueva tabla_control(std::vector<FilaBd> filas) {
  return {"Control",
          {{"PAR", "TEXT"}, {"Estado", "INTEGER"}, {"Operador", "INTEGER"}, {"Superficie", "REAL"}},
          std::move(filas)};
}

TablaNueva tabla_errores(std::vector<FilaBd> filas) {
  return {"Errores",
          {{"NumError", "INTEGER"},
           {"TipoControl", "TEXT"},
           {"escala", "INTEGER"},
           {"entrega", "TEXT"},
           {"fecha", "DATETIME"},
           {"Hoja", "TEXT"},
           {"CodigoError", "TEXT"},
           {"x", "REAL"},
           {"y", "REAL"},
           {"z", "REAL"},
           {"Observacion", "TEXT"},
           {"Codigo", "TEXT"},
           {"Error1", "TEXT"},
           {"Error2", "TEXT"},
           {"Estado", "INTEGER"},
           {"DescripcionEstado", "TEXT"}},
          std::move(filas)};
}

TablaNueva tabla_catalogo(std::vector<FilaBd> filas) {
  return {"catalogo",
          {{"MSLINK", "INTEGER"},
           {"Tema", "INTEGER"},
           {"IO", "INTEGER"},
           {"Descripcion", "TEXT"},
           {"Enumerado Principal", "TEXT"},
           {"Descripcion Enumerado Principal", "TEXT"},
           {"Enumerado Secundario", "INTEGER"},
           {"Descripcion Enumerado Secundario", "TEXT"},
           {"ID Atributo Grafico", "INTEGER"}},
          std::move(filas)};
}

TablaNueva tabla_temas(std::vector<FilaBd> filas) {
  return {"Tema", {{"ID Tema", "INTEGER"}, {"Descripcion Tema", "TEXT"}}, std::move(filas)};
}

TablaNueva tabla_objetos(std::vector<FilaBd> filas) {
  return {"Objeto", {{"IO", "INTEGER"}, {"Nombre Objeto", "TEXT"}}, std::move(filas)};
}

TablaNueva tabla_atributos_graficos(std::vector<FilaBd> filas) {
  return {"Atributo Grafico",
          {{"ID Atributo Grafico", "INTEGER"},
           {"Descripcion Atributo Grafico", "TEXT"},
           {"Abreviatura Atributo Gráfico", "TEXT"}},
          std::move(filas)};
}

}  // namespace telmora
