// The topology as telmora-cli runs it, for the commands that need it (topologia, cotas,
// exportar --topologia): the whole sheet drawn first, as the viewer shows it when it opens,
// since the topology takes only what was drawn; then one run.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "argumentos.h"
#include "dialogos.h"
#include "sesion.h"
#include "superficie_imagen.h"
#include "topologia/topologia.h"

namespace telmora::cli {

// Draws the whole sheet on `superficie` (at its size) and runs the topology over that picture.
// With `dialogos` the run's writes follow as the topology form makes them (aplica_cotas).
ResultadoTopologia topologia_de_hoja_entera(Sesion& sesion, const OpcionesTopologia& opciones,
                                            SuperficieImagen& superficie, Progreso& progreso,
                                            Dialogos* dialogos = nullptr);

// The lines printed for an entry: the form's result lines, then "Islas encontradas :N" for the
// islands, or the four counts of the centroid check.
std::vector<std::string> lineas_de_entrada(const ResultadoTopologia& resultado,
                                           EntradaTopologia entrada);

// Reports each failed write of the run and writes the --png picture; the exit status (a failed
// write is 1).
int termina_topologia(const ResultadoTopologia& resultado, const Argumentos& argumentos,
                      SuperficieImagen& superficie, std::ostream& errores);

}  // namespace telmora::cli
