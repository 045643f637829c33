// The one-page report on a loaded sheet: where it is, its unit, how many elements of each kind
// it holds, its range, and which of its feature codes the code table lacks.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "hoja.h"
#include "progreso.h"

namespace telmora {

// The separator line of the listings: a blank and 37 plus signs.
inline const std::string kSeparador = " +++++++++++++++++++++++++++++++++++++";

// The report's lines. `carpeta` is the working folder as the start form shows it and `nombre`
// the entity file's name; progress follows the entities, texts after cartographic ones. An
// attribute's code is its record number as a code field holds it: its decimal text cut to 7
// characters.
std::vector<std::string> informe_bin(const Hoja& hoja, const TablaVekt& tabla,
                                     const std::string& carpeta, const std::string& nombre, int uds,
                                     Progreso& progreso = Progreso::ninguno());

// Where the report is saved: beside the sheet, its name without the extension followed by
// ".txt" (ruta_con_sufijo, which refuses the name of a sheet already called so). A sheet whose
// name has fewer than four characters gets no report file.
std::optional<std::filesystem::path> ruta_informe(const std::filesystem::path& hoja);

}  // namespace telmora
