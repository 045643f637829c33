// A sheet's error-control database: table "Errores", one row per error found by inspection.
// The rows are read whole; only the state of an error (Estado, DescripcionEstado) is written.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "db/base_datos.h"

namespace telmora {

// The columns of "Errores" in the order they are read and shown.
inline constexpr std::array<const char*, 16> kColumnasErrores{
    "NumError", "TipoControl", "escala",      "entrega",
    "fecha",    "Hoja",        "CodigoError", "x",
    "y",        "z",           "Observacion", "Codigo",
    "Error1",   "Error2",      "Estado",      "DescripcionEstado"};
inline constexpr std::size_t kColumnaNumError = 0;
inline constexpr std::size_t kColumnaEstado = 14;
inline constexpr std::size_t kColumnaDescripcionEstado = 15;

struct FilaError {
  FilaBd valores;  // the sixteen columns
  // What identifies the row when its state is written back, as it holds now: on SQLite its rowid;
  // in an Access table, which has no row number, the values of the table's key or, in a table
  // without one, the sixteen columns.
  FilaBd clave;
};

// The rows ordered by NumError (rows of the same number in the table's order).
std::vector<FilaError> lee_errores(const BaseDatos& bd);

// Writes the row's Estado and DescripcionEstado into that one row, committed at once, and keeps
// its key up to date. A row that is no longer there, or one that cannot be told from another
// (two rows alike in everything in a table without a key), throws ErrorEscrituraBd and nothing
// is written.
void guarda_estado_error(BaseDatos& bd, FilaError& fila);

}  // namespace telmora
