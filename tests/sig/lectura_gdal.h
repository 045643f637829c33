// What a GIS file holds, read with GDAL's C interface: each layer's fields and features as
// text, to check exported files apart from the program's own reader.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace prueba {

struct RasgoGdal {
  std::map<std::string, std::string> campos;  // only fields with a value
  std::string estilo;                         // the feature's style string
  std::string geometria;  // "LINESTRING Z (x y z,x y z)", with parts in parentheses
};

struct CapaGdal {
  std::vector<std::string> campos;  // field names, in order
  std::vector<RasgoGdal> rasgos;
  int epsg = 0;  // authority code of the layer's coordinate system, 0 without one
};

// Every layer of the file by name; an empty map when GDAL cannot open it.
std::map<std::string, CapaGdal> lee_con_gdal(const std::filesystem::path& ruta);

}  // namespace prueba
