// A loaded terrain model and the elevation lookup over it; the core of the Orogrid library.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "formato_mdt.h"

namespace orogrid {

// A triangle: its X/Y box and its three vertices (positions in the vertex array, in the
// file's order). The lookup relies on the file storing the triangles in ascending order of
// (xmin, ymin, xmax, ymax).
struct Triangulo {
  std::int32_t xmin;
  std::int32_t ymin;
  std::int32_t xmax;
  std::int32_t ymax;
  std::int32_t a;
  std::int32_t b;
  std::int32_t c;
};

// The closed boundary polygon (last point repeats the first) and the box stored with it.
struct Contorno {
  std::int32_t xmin = 0;
  std::int32_t ymin = 0;
  std::int32_t xmax = 0;
  std::int32_t ymax = 0;
  std::vector<Vertice> puntos;
};

// The triangle that answered a lookup and the elevation it gave there.
struct Hallazgo {
  std::int32_t triangulo;
  double cota;
};

class ModeloMdt {
 public:
  // Parses a whole model file. Empty when the signature is wrong, a block is cut short, a
  // count does not fit the bytes that follow, or a triangle names a vertex outside 1..N.
  // A boundary block that is cut short loads as an empty boundary, which holds no point.
  static std::optional<ModeloMdt> lee(std::span<const unsigned char> bytes);
  static std::optional<ModeloMdt> lee_fichero(const std::filesystem::path& ruta);

  // Elevation at (x, y), both truncated toward zero; empty outside the boundary or where no
  // triangle answers. `ultimo` is the triangle that answered the previous lookup, where the
  // search starts when the point is still within its X range; a hit updates it.
  std::optional<double> cota(double x, double y, std::int32_t& ultimo) const;

  // The steps of the lookup.
  bool dentro_del_contorno(std::int32_t x, std::int32_t y) const;
  std::optional<Hallazgo> busca_triangulo(std::int32_t x, std::int32_t y,
                                          std::int32_t& ultimo) const;
  std::optional<double> cota_en_triangulo(std::int32_t i, std::int32_t x, std::int32_t y) const;

  std::span<const Triangulo> triangulos() const { return triangulos_; }
  // How many triangles the lookups have tested so far: what they cost.
  std::int64_t triangulos_probados() const { return probados_; }

 private:
  std::optional<Hallazgo> busqueda_local(std::int32_t x, std::int32_t y, std::int32_t c) const;
  std::optional<Hallazgo> busqueda_binaria(std::int32_t x, std::int32_t y) const;
  std::optional<Hallazgo> prueba(std::int32_t i, std::int32_t x, std::int32_t y) const;
  bool fuera_de_alcance(std::int32_t i, std::int32_t x) const;
  bool cruce_en_vertice(std::size_t j, std::int32_t y) const;

  std::vector<Vertice> vertices_;
  std::vector<Triangulo> triangulos_;
  Contorno contorno_;
  std::int32_t ancho_maximo_ = 0;  // W: no triangle is wider in X
  mutable std::int64_t probados_ = 0;
};

}  // namespace orogrid
