// Drawing over the view of what the editing tools found: the elements a duplicate search marked,
// and the numbered vertices of the entity listed in the element-information window.
#pragma once

#include "edicion/duplicados.h"
#include "edicion/info_elemento.h"
#include "sesion.h"
#include "superficie.h"
#include "vista.h"
#include "visualizacion.h"

namespace telmora {

// Draws over the view every element of the sheet that a search marked and that is still active,
// in its code's colour, as the drawing draws any element (pen width 1; point elements as their
// "x", closed elements filled as the display switches say) and, for elements that share
// segments, their matched segments with pen width 5.
void leo_bin_pinto_duplicados(const Sesion& sesion, const ResultadoDuplicados& duplicados,
                              Superficie& superficie, const Vista& vista,
                              const Visualizacion& visualizacion);

// Labels each vertex of a cartographic entity with its number at its place on the drawing, so
// that the user sees the order of capture. Texts have no vertices to label.
void numera_vertices(Superficie& superficie, const Vista& vista, const Sesion& sesion,
                     const EntidadEnFichero& entidad);

}  // namespace telmora
