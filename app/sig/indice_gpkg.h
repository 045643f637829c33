// The spatial index of a GeoPackage's layers, built in bulk once their features are written.
//
// Each layer gets the R-tree a GeoPackage defines for its geometry column
// ("rtree_<table>_<column>", registered as the gpkg_rtree_index extension, with the triggers that
// keep it up to date when the file is edited later). Its nodes are packed once, full, from the
// features' boxes taken in the order of a Hilbert curve over their centres, and written straight
// into the R-tree's own tables, instead of inserting the features one at a time (each insertion
// reads and rewrites a path of nodes, and splits them as they fill). The file's other software sees
// an ordinary R-tree: it answers searches, and further inserts and deletes keep it up to date.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace telmora {

// The bounding box of a feature's geometry, with the feature's id.
struct CajaRasgo {
  std::int64_t fid = 0;
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

struct IndiceCapa {
  std::string tabla, columna, id;  // the layer's table, its geometry column and its key
  std::vector<CajaRasgo> cajas;    // of the features with a geometry that is not empty
};

// Builds the spatial index of every layer given in one transaction of the GeoPackage, which no
// one else has open. A failure throws ErrorTelmora naming the file; the file then has none of
// them.
void escribe_indices_gpkg(const std::filesystem::path& gpkg, std::vector<IndiceCapa> capas);

}  // namespace telmora
