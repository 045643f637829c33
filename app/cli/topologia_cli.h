// The topology as the command line runs it: the whole sheet drawn first, as the viewer shows it
// when it opens (the topology takes the elements that were drawn), then the run drawn over it.
#pragma once

#include "sesion.h"
#include "superficie_imagen.h"
#include "topologia/topologia.h"

namespace telmora::cli {

// Draws the whole sheet on `superficie`, fitted as the viewer fits it, then runs the topology
// with `opciones` over that picture.
ResultadoTopologia topologia_sobre_hoja(Sesion& sesion, const OpcionesTopologia& opciones,
                                        SuperficieImagen& superficie);

}  // namespace telmora::cli
