// The one-page report on a loaded sheet: where it is, its unit, how many elements of each kind
// it holds, its range, and which of its feature codes the code table lacks.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "hoja.h"
#include "progreso.h"

namespace telmora {

// The report's lines. `carpeta` is the working folder as the start form shows it and `nombre`
// the entity file's name; progress follows the entities, texts after cartographic ones.
std::vector<std::string> informe_bin(const Hoja& hoja, const std::string& carpeta,
                                     const std::string& nombre, int uds,
                                     Progreso& progreso = Progreso::ninguno());

// The report file beside the sheet: its name without the last four characters (the
// extension) followed by ".txt"; empty when the name is shorter than four characters.
std::filesystem::path ruta_informe(const std::filesystem::path& fich_entrada);

}  // namespace telmora
