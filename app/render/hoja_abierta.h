// The sheet as the viewer shows it when it opens: the view fitted to the whole file with every
// elevation admitted, the picture cleared to the background colour and drawn. The viewer and
// every command that works on what is drawn (topology, elevations, cleanup, export, pairs,
// render) go through these steps, so that they all see the same drawn entities.
#pragma once

#include "dibujadas.h"
#include "pintor.h"
#include "sesion.h"
#include "superficie.h"
#include "vista.h"
#include "visualizacion.h"

namespace telmora {

// The view of a sheet just opened, in the view's drawing area: the whole file, and the file's
// elevation range as the limits of the elevation filter.
void ajusta_a_hoja(const Sesion& sesion, Vista& vista, Visualizacion& visualizacion);

// A redraw of the view: the surface cleared to the code table's background colour in copy mode,
// then the view drawn. Returns what the drawing did.
ResultadoDibujo redibuja_vista(Pintor& pintor, Superficie& superficie, const Vista& vista,
                               const Visualizacion& visualizacion);

// A drawing of the sheet as it opens: its view and display switches, and what it drew.
struct HojaAbierta {
  Vista vista;
  Visualizacion visualizacion;
  EntidadesDibujadas dibujadas;
};

// The sheet as it opens, on the whole of the surface: the view sized to the surface
// (kTwipsPorPixelDefecto), ajusta_a_hoja, then redibuja_vista.
HojaAbierta dibuja_hoja_abierta(const Sesion& sesion, Superficie& superficie);

}  // namespace telmora
