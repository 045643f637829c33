// The error control of a sheet: every error number written as a text of the sheet is marked
// found in the sheet's error database (state 1 the first time, then 101, 201 ...), each change
// saved at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/errores.h"
#include "hoja.h"

namespace telmora {

// An error number written in the sheet, with its description.
struct MarcaError {
  std::int32_t numero = 0;
  std::string descripcion;
};

// The marks of the sheet's active texts, in load order. A text is its pieces, each cut at its
// first NUL, joined and trimmed; "1234_revisado" names error 1234 with the description
// "revisado", "1234" error 1234 with an empty one. A number with a decimal point, or a text that
// is not a number before its first "_", names nothing.
std::vector<MarcaError> marcas_de_error(const Hoja& hoja);

// The rows of "Errores" in the database's order, looked up by error number through an index of
// each number's first row (the same row as a walk from the first row).
class TablaErrores {
 public:
  explicit TablaErrores(std::vector<FilaError> filas);
  const std::vector<FilaError>& filas() const { return filas_; }
  FilaError& fila(std::size_t i) { return filas_[i]; }
  // The first row with that number.
  std::optional<std::size_t> busca(std::int32_t numero) const;
  // BuscaError: the first row with that number found once more (its state 1 when it was null
  // or 0, else 100 more, the description set or appended); the row changed, or nothing.
  std::optional<std::size_t> BuscaError(std::int32_t numero, const std::string& descripcion);

 private:
  std::vector<FilaError> filas_;
  std::unordered_map<std::int64_t, std::size_t> primera_;
};

struct ResultadoControlErrores {
  std::filesystem::path ruta;
  std::vector<FilaError> filas;        // every row, after the marks
  std::vector<std::size_t> cambiadas;  // the rows changed, ascending

  // A header of the sixteen column names and one line per changed row, the values separated by
  // tabs as the form's table shows them.
  std::vector<std::string> lineas() const;
};

// Opening the error control (the ControlErrores form): opens the error database for writing, reads
// its rows and marks the errors of the sheet's texts, saving each change as it is made. A database
// that cannot be opened, read or written throws ErrorTelmora naming it; changes saved before a
// failure stay saved.
ResultadoControlErrores carga_control_errores(const Hoja& hoja, const std::filesystem::path& ruta);

}  // namespace telmora
