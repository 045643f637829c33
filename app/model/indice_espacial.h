// A uniform grid over the sheet's entity boxes, so that a small window finds its entities
// without walking the whole sheet. It only narrows the search: callers still apply their own
// exact overlap test.
#pragma once

#include <cstdint>
#include <vector>

#include "hoja.h"

namespace telmora {

class IndiceEspacial {
 public:
  IndiceEspacial() = default;
  explicit IndiceEspacial(const Hoja& hoja);

  // Entity numbers, ascending and without repeats, of every entity whose box may overlap the
  // rectangle (file units). Every entity that does overlap it is among them.
  std::vector<std::int32_t> candidatas(double xmin, double ymin, double xmax, double ymax) const;

  // Share of the grid's cells that the rectangle covers (1 when the grid is empty).
  double fraccion_cubierta(double xmin, double ymin, double xmax, double ymax) const;

 private:
  struct Celdas {
    int x0, y0, x1, y1;
  };
  Celdas celdas_de(double xmin, double ymin, double xmax, double ymax) const;

  double origen_x_ = 0, origen_y_ = 0, lado_ = 1;
  int columnas_ = 0, filas_ = 0;
  std::vector<std::uint32_t> inicio_;    // first entry of each cell in entidades_
  std::vector<std::int32_t> entidades_;  // entity numbers, cell by cell
  std::vector<std::int32_t> grandes_;    // entities spanning too many cells to list in each
};

}  // namespace telmora
