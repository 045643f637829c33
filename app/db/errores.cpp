#include "db/errores.h"

namespace telmora {

namespace {

constexpr Sentencia kErrores{
    "leer los errores",
    "SELECT Errores.NumError, Errores.TipoControl, Errores.escala, Errores.entrega, "
    "Errores.fecha, Errores.Hoja, Errores.CodigoError, Errores.x, Errores.[y], Errores.z, "
    "Errores.Observacion, Errores.Codigo, Errores.Error1, Errores.Error2, Errores.Estado, "
    "Errores.DescripcionEstado, Errores.rowid FROM Errores ORDER BY Errores.NumError, "
    "Errores.rowid",
    "SELECT Errores.NumError, Errores.TipoControl, Errores.escala, Errores.entrega, "
    "Errores.fecha, Errores.Hoja, Errores.CodigoError, Errores.x, Errores.[y], Errores.z, "
    "Errores.Observacion, Errores.Codigo, Errores.Error1, Errores.Error2, Errores.Estado, "
    "Errores.DescripcionEstado, Errores.NumError From errores ORDER BY Errores.NumError;"};

// Access has no row identifier: there the row is the one with its error number.
constexpr Sentencia kGuardaEstado{
    "guardar el estado del error",
    "UPDATE Errores SET Estado = ?, DescripcionEstado = ? WHERE rowid = ?",
    "UPDATE Errores SET Estado = ?, DescripcionEstado = ? WHERE NumError = ?;"};

}  // namespace

std::vector<FilaError> lee_errores(const BaseDatos& bd) {
  bd.exige(
      {{"Errores", std::vector<std::string>(kColumnasErrores.begin(), kColumnasErrores.end())}});
  std::vector<FilaError> filas;
  for (FilaBd& fila : bd.consulta(kErrores)) {
    FilaError error;
    error.clave = std::move(fila.back());
    fila.pop_back();
    error.valores = std::move(fila);
    filas.push_back(std::move(error));
  }
  return filas;
}

void guarda_estado_error(BaseDatos& bd, const FilaError& fila) {
  const auto cambiadas = bd.ejecuta(
      kGuardaEstado,
      {fila.valores[kColumnaEstado], fila.valores[kColumnaDescripcionEstado], fila.clave});
  if (cambiadas == 0) {
    throw ErrorEscrituraBd("Error al " + std::string(kGuardaEstado.para) + " en " + bd.origen() +
                           ": el error " + texto_celda(fila.valores[kColumnaNumError]) +
                           " ya no está en la tabla Errores");
  }
}

}  // namespace telmora
