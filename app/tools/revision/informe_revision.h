// The report of a batch check: one row per sheet, written as a CSV table, as JSON and as one
// self-contained HTML page; and a sheet's row as one JSON line, the form in which separate
// checks (other processes, other machines) hand their row over to be merged into the report.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "revision/recuentos.h"

namespace telmora {

struct FilaRevision {
  std::string hoja;  // the sheet's path as it was named or found
  // The counts; none when the sheet could not be checked.
  std::optional<RecuentosRevision> recuentos;
  std::string motivo;  // why the sheet could not be checked
  std::string imagen;  // the picture of the sheet with its faults, PNG in base64 (may be empty)

  static FilaRevision con_error(std::string hoja, std::string motivo);

  bool correcta() const { return recuentos && hallazgos(*recuentos) == 0; }
  // "correcta", "con errores", or "error: " followed by the reason.
  std::string estado() const;
};

// The report's files, in its folder.
inline constexpr const char* kResumenCsv = "resumen.csv";
inline constexpr const char* kResumenJson = "resumen.json";
inline constexpr const char* kInformeHtml = "informe.html";

// Rows by the sheet's path (byte order), the order of the CSV and JSON files.
void ordena_por_hoja(std::vector<FilaRevision>& filas);
// The worst first: sheets that could not be checked, then by findings from the most, then by
// path. The order of the page.
void ordena_peor_primero(std::vector<FilaRevision>& filas);

// UTF-8, a header line, one line per row (RFC 4180 quoting); the counts of an unchecked sheet
// are empty.
std::string resumen_csv(const std::vector<FilaRevision>& filas);
// An array of the rows as fila_json gives them, without their pictures.
std::string resumen_json(const std::vector<FilaRevision>& filas);
// One HTML page that needs nothing but itself: the totals; a table with a row per sheet, worst
// first, sortable by any column with a click on its header; and each sheet's picture, embedded,
// shown small in its row and whole with a click.
std::string informe_html(const std::vector<FilaRevision>& filas);

// One JSON object on one line: "hoja", each count (null when unchecked), "estado" and, when
// there is one and it is asked for, "imagen".
std::string fila_json(const FilaRevision& fila, bool con_imagen = true);
// The row of a JSON object as fila_json writes it (any spacing, other members ignored). Anything
// else throws ErrorTelmora saying why.
FilaRevision fila_de_json(std::string_view texto);

// Writes resumen.csv, resumen.json and informe.html into the folder (created when missing),
// the rows in the order each file takes: all three complete, or none of them changed.
// ErrorTelmora names what could not be written.
void escribe_informe_revision(const std::filesystem::path& carpeta,
                              std::vector<FilaRevision> filas);

}  // namespace telmora
