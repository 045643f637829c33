// The console commands that `telmora-cli render --orden` applies before drawing.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "sesion.h"
#include "visualizacion.h"

namespace telmora::cli {

// Runs each line in order as the console would: ON, OFF, ON_A, OFF_A (codes, ranges, lists,
// prefixes with "*", code-list files), COLOR_FONDO, COLOR_NUEVO and "@" command files. A line of
// any other kind is a usage error (ErrorUso) raised before anything is applied. The commands'
// messages go to `errores`; false when one of them failed (a missing file, a bad colour index).
bool aplica_ordenes(const std::vector<std::string>& ordenes, Sesion& sesion,
                    Visualizacion& visualizacion, std::ostream& errores);

}  // namespace telmora::cli
