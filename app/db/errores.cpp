#include "db/errores.h"

#include <QSqlIndex>

#include "db/conexion.h"

namespace telmora {

namespace {

std::string entre_corchetes(const std::string& nombre) {
  return "[" + nombre + "]";
}

bool mismo_nombre(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// What identifies a row of Errores when its state is written back: on SQLite its rowid; in an
// Access table, which has no row number, the table's key (the driver's best row identifier) or,
// in a table without one, all that the row holds.
std::vector<std::string> columnas_clave(const BaseDatos& bd) {
  if (bd.dialecto() == Dialecto::sqlite) return {"rowid"};
  QSqlDatabase& qt = bd.conexion().bd;
  QString tabla = "Errores";
  for (const QString& nombre : qt.tables()) {
    if (mismo_nombre(nombre.toStdString(), "Errores")) tabla = nombre;
  }
  const QSqlIndex clave = qt.primaryIndex(tabla);
  std::vector<std::string> columnas;
  for (int i = 0; i < clave.count(); ++i) columnas.push_back(clave.fieldName(i).toStdString());
  if (columnas.empty()) columnas.assign(kColumnasErrores.begin(), kColumnasErrores.end());
  return columnas;
}

// The sixteen columns and the key's, ordered by error number and then as the table is.
std::string texto_lectura(const BaseDatos& bd, const std::vector<std::string>& clave) {
  std::string texto = "SELECT ";
  for (const char* columna : kColumnasErrores) texto += entre_corchetes(columna) + ", ";
  for (const std::string& columna : clave) texto += entre_corchetes(columna) + ", ";
  texto.resize(texto.size() - 2);
  texto += " FROM Errores ORDER BY [NumError]";
  if (bd.dialecto() == Dialecto::sqlite) texto += ", [rowid]";
  return texto;
}

// The row by its key's values as read; a null one by "Is Null", which "=" never matches.
std::string texto_guardado(const std::vector<std::string>& clave, const FilaBd& valores,
                           std::vector<Valor>& enlazados) {
  std::string texto = "UPDATE Errores SET [Estado] = ?, [DescripcionEstado] = ? WHERE ";
  for (std::size_t i = 0; i < clave.size(); ++i) {
    if (i > 0) texto += " AND ";
    if (std::holds_alternative<std::monostate>(valores[i])) {
      texto += entre_corchetes(clave[i]) + " Is Null";
    } else {
      texto += entre_corchetes(clave[i]) + " = ?";
      enlazados.push_back(valores[i]);
    }
  }
  return texto;
}

}  // namespace

std::vector<FilaError> lee_errores(const BaseDatos& bd) {
  bd.exige(
      {{"Errores", std::vector<std::string>(kColumnasErrores.begin(), kColumnasErrores.end())}});
  const std::vector<std::string> clave = columnas_clave(bd);
  const std::string texto = texto_lectura(bd, clave);
  std::vector<FilaError> filas;
  for (FilaBd& fila : bd.consulta({"leer los errores", texto.c_str(), texto.c_str()})) {
    FilaError error;
    error.clave.assign(std::make_move_iterator(fila.begin() + kColumnasErrores.size()),
                       std::make_move_iterator(fila.end()));
    fila.resize(kColumnasErrores.size());
    error.valores = std::move(fila);
    filas.push_back(std::move(error));
  }
  return filas;
}

void guarda_estado_error(BaseDatos& bd, FilaError& fila) {
  const std::vector<std::string> clave = columnas_clave(bd);
  std::vector<Valor> valores{fila.valores[kColumnaEstado], fila.valores[kColumnaDescripcionEstado]};
  const std::string texto = texto_guardado(clave, fila.clave, valores);
  const Sentencia guardado{"guardar el estado del error", texto.c_str(), texto.c_str()};
  const auto cambiadas = bd.ejecuta_en_una_fila(guardado, valores);
  const std::string error = "Error al " + std::string(guardado.para) + " en " + bd.origen() +
                            ": el error " + texto_celda(fila.valores[kColumnaNumError]);
  if (cambiadas == 0) throw ErrorEscrituraBd(error + " ya no está en la tabla Errores");
  if (cambiadas > 1) {
    throw ErrorEscrituraBd(error + " está en " + std::to_string(cambiadas) +
                           " filas iguales en todo, que la tabla Errores no distingue con una "
                           "clave: no se ha cambiado ninguna");
  }
  // The row now holds the state written: a key made of its content follows it.
  for (std::size_t i = 0; i < clave.size(); ++i) {
    for (const std::size_t escrita : {kColumnaEstado, kColumnaDescripcionEstado}) {
      if (mismo_nombre(clave[i], kColumnasErrores[escrita])) fila.clave[i] = fila.valores[escrita];
    }
  }
}

}  // namespace telmora
