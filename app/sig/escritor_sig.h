// Writes layers of features to any vector format GDAL can create. Every file is made in a
// temporary folder inside the destination's folder and moved into place by confirma(); until
// then, and whenever a write fails, the destination is left as it was.
//
// Where the format holds several layers in one dataset (GeoPackage, a folder of shapefiles,
// KML, SQLite), the layers go there under their own names. Where it holds one layer per file
// (GeoJSON, FlatGeobuf, a named shapefile, DXF, MapInfo), each layer gets a file of its own,
// named after the destination with "_" and the layer's name before the extension
// ("salida.geojson" gives "salida_lineas.geojson", ...). A field the format cannot hold is left
// out and said in avisos(). The style of each feature goes where the format keeps styles, or
// else to a text field "OGR_STYLE", which GDAL reads back as the feature's style.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tipos_sig.h"

class GDALDataset;

namespace telmora {

class EscritorSig {
 public:
  // `formato` is a GDAL driver name, or empty to choose the driver by the destination's
  // extension; `epsg` is the coordinate system given to every layer (0: none). Creates every
  // layer at once. An unknown format or coordinate system throws ErrorEntradaSig; a failure to
  // create the files throws ErrorTelmora.
  EscritorSig(const std::filesystem::path& destino, const std::string& formato, int epsg,
              const std::vector<DefinicionCapa>& capas);
  ~EscritorSig();
  EscritorSig(const EscritorSig&) = delete;
  EscritorSig& operator=(const EscritorSig&) = delete;

  // The GDAL driver writing.
  const std::string& formato() const;

  // The features of a layer are written between these two calls, in one transaction where the
  // format has them. Each feature must have one value per field of its layer's definition and
  // parts of its layer's geometry (points, lines, or the rings of one polygon).
  void empieza_capa(std::size_t capa);
  void escribe(const RasgoSig& rasgo);
  void termina_capa();

  // Closes the files and moves them into place; returns their paths. A failure throws
  // ErrorTelmora and leaves nothing behind.
  std::vector<std::filesystem::path> confirma();

  // The one dataset that holds every layer, for tables written beside them before confirma();
  // null when the format took a file per layer.
  GDALDataset* conjunto_unico() const;

  // Fields the format could not hold, and GDAL's warnings.
  std::vector<std::string> avisos() const;

 private:
  struct Datos;
  std::unique_ptr<Datos> d_;
};

// The GDAL driver that writes a destination: `formato` when given (it must exist and create
// vector data), else the first driver whose extensions include the destination's. Throws
// ErrorEntradaSig naming the problem.
std::string formato_de_salida(const std::filesystem::path& destino, const std::string& formato);

}  // namespace telmora
