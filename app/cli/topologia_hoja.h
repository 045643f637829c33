// The topology as telmora-cli runs it, for the commands that need it (topologia, exportar
// --topologia): the whole sheet drawn first, as the viewer shows it when it opens, since the
// topology takes only what was drawn; then one run.
#pragma once

#include <string>
#include <vector>

#include "sesion.h"
#include "superficie_imagen.h"
#include "topologia/topologia.h"

namespace telmora::cli {

// Draws the whole sheet on `superficie` (at its size) and runs the topology over that picture.
ResultadoTopologia topologia_de_hoja_entera(Sesion& sesion, const OpcionesTopologia& opciones,
                                            SuperficieImagen& superficie);

// The lines printed for an entry: the form's result lines, then "Islas encontradas :N" for the
// islands, or the four counts of the centroid check.
std::vector<std::string> lineas_de_entrada(const ResultadoTopologia& resultado,
                                           EntradaTopologia entrada);

}  // namespace telmora::cli
