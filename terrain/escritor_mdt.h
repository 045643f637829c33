// Writer of terrain-model (.MDT) files, for generators of sample data and for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "formato_mdt.h"

namespace orogrid {

// A triangle by its three vertex numbers, counted from 1.
struct TrianguloMdt {
  std::int32_t v1;
  std::int32_t v2;
  std::int32_t v3;
};

struct Rectangulo {
  std::int32_t xmin;
  std::int32_t ymin;
  std::int32_t xmax;
  std::int32_t ymax;
};

// Writes a model file with the triangles in the order the lookup needs (ascending boxes
// compared as xmin, ymin, xmax, ymax; equal boxes keep the caller's order), W as the widest
// triangle X extent, the model's minimum and maximum over its vertices, and the boundary
// closed (its first point is repeated at the end when the caller's polygon is open). Spare
// fields are zero. The bytes go to a temporary name in the same folder, renamed over `ruta`
// only when complete.
// Throws std::invalid_argument for a triangle naming no vertex, a boundary of more than
// 65535 points or counts beyond 32 bits, and std::runtime_error naming the path and the
// system's reason when the file cannot be written.
void escribe_mdt(const std::filesystem::path& ruta, std::span<const Vertice> vertices,
                 std::span<const TrianguloMdt> triangulos, std::span<const Vertice> contorno);

// Writes the model of a regular grid over `zona`: nodes `paso` apart from the lower left
// corner, the last row and column on the rectangle's edge, each node's Z from cota(x, y),
// each cell split in two triangles along its diagonal from lower left to upper right, and
// the rectangle as the boundary.
void escribe_mdt_rejilla(const std::filesystem::path& ruta, Rectangulo zona, std::int32_t paso,
                         const std::function<std::int32_t(std::int32_t, std::int32_t)>& cota);

}  // namespace orogrid
