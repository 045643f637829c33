// The grid over a sheet's entity boxes, so that a small window finds its entities without
// walking the whole sheet. It only narrows the search: callers still apply their own exact
// overlap test.
#pragma once

#include <cstdint>
#include <vector>

#include "hoja.h"
#include "rejilla_cajas.h"

namespace telmora {

class IndiceEspacial {
 public:
  IndiceEspacial() = default;
  explicit IndiceEspacial(const Hoja& hoja);

  // Entity numbers, ascending and without repeats, of every entity whose box may overlap the
  // rectangle (file units). Every entity that does overlap it is among them.
  std::vector<std::int32_t> candidatas(double xmin, double ymin, double xmax, double ymax) const;

  // Share of the grid's cells that the rectangle covers (1 when the grid is empty).
  double fraccion_cubierta(double xmin, double ymin, double xmax, double ymax) const {
    return rejilla_.fraccion_cubierta(xmin, ymin, xmax, ymax);
  }

 private:
  RejillaCajas rejilla_;  // box k is entity k + 1
};

}  // namespace telmora
