// The styles a GIS desktop applies when it opens an exported GeoPackage: the table layer_styles,
// with one default style for each entity layer (lineas, recintos, puntos, textos), as QML and as
// an SLD copy of it. Both are built from the code table and the palette: one category per code
// found in the layer, drawn in the palette colour of the code with its pen width in pixels,
// closed elements filled with that colour, point elements as an "x", and texts as labels of
// their own height in metres, angle and anchor, in the colour of their code. Whatever the
// layer's features carry in codigo (quotes, ampersands, characters an XML document cannot hold)
// the documents stay well formed; a code that XML cannot spell takes the style given to codes
// outside the table.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "mapeo_entidades.h"
#include "sesion.h"

class GDALDataset;

namespace telmora {

// Entity numbers of each entity layer, indexed by CapaEntidades.
using NumerosPorCapa = std::array<std::vector<std::int32_t>, kNumCapasEntidades>;

// Adds the table layer_styles to a GeoPackage being written that holds the entity layers, with
// the default style of each. A refusal of GDAL throws ErrorTelmora.
void escribe_estilos_capas(GDALDataset& geopackage, const Sesion& sesion,
                           const NumerosPorCapa& numeros);

}  // namespace telmora
