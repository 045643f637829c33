// A uniform grid over boxes in file units, so that a window or another box finds the boxes it
// may overlap without walking them all. It only narrows the search: callers apply their own
// exact test. The entity grid of a sheet, the crossing search and the polygon tests use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "formato_bin.h"

namespace telmora {

// A box in file units, edges included.
struct Caja {
  std::int32_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};

// The box of the segment from a to b.
Caja caja_de_segmento(const Vertice& a, const Vertice& b);

// The two boxes overlap or touch (rango_contenido on their bounds).
bool cajas_solapan(const Caja& a, const Caja& b);

// Boxes one every `paso` bytes from `primera`, each laid out as a Caja: a list of boxes, or the
// box fields of larger rows read where they are.
struct CajasEspaciadas {
  const char* primera = nullptr;
  std::size_t paso = sizeof(Caja);
  std::size_t cuantas = 0;

  CajasEspaciadas(const char* primera, std::size_t paso, std::size_t cuantas)
      : primera(primera), paso(paso), cuantas(cuantas) {}
  explicit CajasEspaciadas(std::span<const Caja> cajas)
      : primera(reinterpret_cast<const char*>(cajas.data())), cuantas(cajas.size()) {}

  std::size_t size() const { return cuantas; }
  bool empty() const { return cuantas == 0; }
  Caja operator[](std::size_t i) const {
    Caja caja;
    std::memcpy(&caja, primera + i * paso, sizeof caja);
    return caja;
  }
};

class RejillaCajas {
 public:
  RejillaCajas() = default;
  // The boxes are known by their place in `cajas` (from 0). Cells are square, about
  // `por_celda` boxes each over the boxes' common extent.
  explicit RejillaCajas(CajasEspaciadas cajas, int por_celda = 8);
  explicit RejillaCajas(std::span<const Caja> cajas, int por_celda = 8)
      : RejillaCajas(CajasEspaciadas(cajas), por_celda) {}

  bool vacia() const { return columnas_ == 0; }

  // Places, ascending and without repeats, of every box that may overlap the rectangle (edges
  // touching count). Every box that does overlap it is among them. `salida` is overwritten.
  void candidatas(double xmin, double ymin, double xmax, double ymax,
                  std::vector<std::int32_t>& salida) const;

  // Share of the grid's cells that the rectangle covers (1 when the grid is empty).
  double fraccion_cubierta(double xmin, double ymin, double xmax, double ymax) const;

 private:
  struct Celdas {
    int x0, y0, x1, y1;
    int cuantas() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
  };
  Celdas celdas_de(double xmin, double ymin, double xmax, double ymax) const;

  double origen_x_ = 0, origen_y_ = 0, lado_ = 1;
  int columnas_ = 0, filas_ = 0;
  std::vector<std::uint32_t> inicio_;  // first entry of each cell in lugares_
  std::vector<std::int32_t> lugares_;  // places of boxes, cell by cell, ascending in each cell
  std::vector<std::int32_t> grandes_;  // boxes spanning too many cells to list in each
};

}  // namespace telmora
