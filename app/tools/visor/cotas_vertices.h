// Elevation labels of the vertices of the line elements on the screen, drawn over the picture of
// the last redraw and never written to any file.
#pragma once

#include <cstdint>
#include <string>

#include "dibujadas.h"
#include "sesion.h"
#include "superficie.h"
#include "texto.h"
#include "vista.h"

namespace telmora {

// Labels the elevations of the vertices of the C entities with two or more vertices that a
// drawing drew (the view's last one). Along each line a vertex is labelled when the line
// has run at least 60 pixels on the screen since the last label (plane distance between
// consecutive vertices), and only where its label lies wholly inside the drawing area and
// overlaps no label already placed, so the labels stay legible at any scale. Each label is a dot on
// the vertex and the number just above and to the right of it, about 14 pixels high, in white on a
// dark background and black on a light one. Returns the number of labels drawn.
int VisualizarCotasVertices(Superficie& superficie, const Sesion& sesion, const Vista& vista,
                            const EntidadesDibujadas& dibujadas);

}  // namespace telmora
