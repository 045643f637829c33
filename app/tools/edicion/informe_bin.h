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

// The report's counts, as data.
struct RecuentoCodigos {
  long encontrados = 0, no_encontrados = 0;
  long atributos_encontrados = 0, atributos_no_encontrados = 0;
};

struct AnalisisBin {
  long cartograficas = 0, puntuales = 0, textos = 0;
  // Lineales: open and closed elements together.
  long lineales() const { return cartograficas - puntuales; }
  RecuentoCodigos codigos_c, codigos_t;  // of the cartographic entities and of the texts
  // The codes missing from the code table, each once per kind (" C" or " T" and the code), in
  // the order they were first met.
  std::vector<std::string> no_encontrados;
};

// Counts the sheet's entities and looks up their codes, reporting the entities as it goes
// (texts after cartographic ones). An attribute's code is its record number as a code field
// holds it: its decimal text cut to 7 characters.
AnalisisBin analiza_bin(const Hoja& hoja, const TablaVekt& tabla,
                        Progreso& progreso = Progreso::ninguno());

// The report's lines. `carpeta` is the working folder as the start form shows it and `nombre`
// the entity file's name; progress as analiza_bin reports it.
std::vector<std::string> informe_bin(const Hoja& hoja, const TablaVekt& tabla,
                                     const std::string& carpeta, const std::string& nombre, int uds,
                                     Progreso& progreso = Progreso::ninguno());

// Where the report is saved: beside the sheet, its name without the extension followed by
// ".txt" (ruta_con_sufijo, which refuses the name of a sheet already called so). A sheet whose
// name has fewer than four characters gets no report file.
std::optional<std::filesystem::path> ruta_informe(const std::filesystem::path& hoja);

}  // namespace telmora
