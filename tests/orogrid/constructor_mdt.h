// Builds terrain-model files byte by byte for the tests, independently of the library's own
// writer, so that every test shows its input.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "modelo_mdt.h"

namespace prueba {

using orogrid::Vertice;
using Triangulo = std::array<std::int32_t, 3>;  // vertex numbers from 1

class ConstructorMdt {
 public:
  // Signature, zero model minimum and maximum, W, zero spare fields.
  explicit ConstructorMdt(std::int32_t ancho_maximo = 0) {
    bytes.assign(orogrid::kFirmaMdt.begin(), orogrid::kFirmaMdt.end());
    ceros(24).entero(ancho_maximo).ceros(8 + 7);
  }

  ConstructorMdt& entero(std::int32_t v) { return le(static_cast<std::uint32_t>(v), 4); }
  ConstructorMdt& corto(std::uint16_t v) { return le(v, 2); }
  ConstructorMdt& ceros(std::size_t n) { return bytes.append(n, '\0'), *this; }
  ConstructorMdt& vertice(const Vertice& v) { return entero(v.x).entero(v.y).entero(v.z); }

  // A count followed by its records.
  ConstructorMdt& vertices(const std::vector<Vertice>& vs) {
    entero(static_cast<std::int32_t>(vs.size()));
    for (const Vertice& v : vs) vertice(v);
    return *this;
  }
  ConstructorMdt& triangulos(const std::vector<Triangulo>& ts) {
    entero(static_cast<std::int32_t>(ts.size()));
    for (const Triangulo& t : ts) entero(t[0]).entero(t[1]).entero(t[2]).ceros(12);
    return *this;
  }
  // Spare bytes, point count, the box of the points (Z included), the points as given.
  ConstructorMdt& contorno(const std::vector<Vertice>& ps) {
    ceros(10).corto(static_cast<std::uint16_t>(ps.size()));
    Vertice minimo{}, maximo{};
    if (!ps.empty()) minimo = maximo = ps.front();
    for (const Vertice& p : ps) {
      minimo = {std::min(minimo.x, p.x), std::min(minimo.y, p.y), std::min(minimo.z, p.z)};
      maximo = {std::max(maximo.x, p.x), std::max(maximo.y, p.y), std::max(maximo.z, p.z)};
    }
    vertice(minimo).vertice(maximo).ceros(12);
    for (const Vertice& p : ps) vertice(p);
    return *this;
  }

  std::string bytes;

 private:
  ConstructorMdt& le(std::uint32_t v, int n) {
    for (int k = 0; k < n; ++k) bytes.push_back(static_cast<char>(v >> (8 * k)));
    return *this;
  }
};

// A whole model with no skipped records; the triangles go in the order given.
inline std::string modelo(std::int32_t ancho_maximo, const std::vector<Vertice>& vertices,
                          const std::vector<Triangulo>& triangulos,
                          const std::vector<Vertice>& contorno) {
  return ConstructorMdt(ancho_maximo)
      .vertices(vertices)
      .entero(0)
      .triangulos(triangulos)
      .contorno(contorno)
      .bytes;
}

// The closed square of side `lado` from (x, y).
inline std::vector<Vertice> cuadrado(std::int32_t x, std::int32_t y, std::int32_t lado) {
  return {{x, y, 0}, {x + lado, y, 0}, {x + lado, y + lado, 0}, {x, y + lado, 0}, {x, y, 0}};
}

inline std::optional<orogrid::ModeloMdt> lee(const std::string& bytes) {
  return orogrid::ModeloMdt::lee(
      {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
}

// Elevation at (x, y) for a fresh lookup.
inline std::optional<double> cota(const orogrid::ModeloMdt& m, double x, double y) {
  std::int32_t ultimo = 0;
  return m.cota(x, y, ultimo);
}

}  // namespace prueba
