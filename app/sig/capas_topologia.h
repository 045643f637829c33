// The results of the topology's centroid check as layers for the export, in metres:
//
// "recintos_topologia": one polygon per face, in the order of the closed polygons, with the
// envelopes of the islands it holds directly as holes. Fields: recinto (the closed-polygon
// number of the listings), superficie (m², of the outer ring, as the listings give it), error
// ("ninguno", "sin centroide" or "varios centroides"), and when the face has one centroid its
// text (centroide) and entity number (entidad_centroide). Faces are filled in the colour the
// viewer gives them during the check (errors in colour indices 10 and 20), the others outlined.
//
// "errores_topologia": the marks the viewer writes, as points: each text in no face ("NoPol")
// or in several ("+Pol") at its insertion point, in the order of the texts, then each dangling
// end ("*") at its node, in node order. Fields: marca, error ("texto sin recinto", "texto en
// varios recintos" or "extremo colgante"), entidad and texto of a text, nodo of an end.
#pragma once

#include <vector>

#include "exportacion.h"
#include "sesion.h"
#include "topologia/topologia.h"

namespace telmora {

inline constexpr const char* kCapaRecintosTopologia = "recintos_topologia";
inline constexpr const char* kCapaErroresTopologia = "errores_topologia";

// `resultado` is a run with the centroid check on the session's sheet (islands found, centroids
// assigned), as the entry errores_centroides makes it.
std::vector<CapaDeValores> capas_topologia(const Sesion& sesion,
                                           const ResultadoTopologia& resultado);

}  // namespace telmora
