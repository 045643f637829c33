// Exact predicates on the sheet's integer coordinates, for the topology: the order of directions
// around a node, which side of a ring a point lies on, and the signed area of a ring. Every
// difference of two 32-bit coordinates fits in 33 bits, and every product of two such
// differences is summed in 128 bits, so no answer depends on rounding: the same ring gives the
// same verdicts and the same area whichever vertex it starts at and whichever way its pieces
// were digitised.
#pragma once

#include <cstdint>
#include <span>

#include "entero_exacto.h"
#include "formato_bin.h"

namespace telmora {

// A direction in the plane: the difference of two distinct positions.
struct Direccion {
  std::int64_t dx = 0, dy = 0;
  friend bool operator==(const Direccion&, const Direccion&) = default;
};

inline Direccion direccion_entre(const Vertice& desde, const Vertice& hasta) {
  return {std::int64_t{hasta.x} - desde.x, std::int64_t{hasta.y} - desde.y};
}

// The sign of a × b − c × d, for factors of at most 62 bits.
int signo_diferencia_productos(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d);

// The order of directions a and b by the angle each is turned clockwise from direction
// `origen`, in [0, 2π): -1 when a comes first, 1 when b does, 0 when they point the same way.
int compara_giro_horario(Direccion origen, Direccion a, Direccion b);

// The order of directions by azimuth: clockwise from north (+y).
inline int compara_azimut(Direccion a, Direccion b) {
  return compara_giro_horario({0, 1}, a, b);
}

inline bool mismo_sentido(Direccion a, Direccion b) {
  return compara_azimut(a, b) == 0;
}

// Whether (x, y) lies inside a closed ring of vertices (the last one repeating the first): an
// odd number of the ring's edges cross the ray from the point toward +x, each edge counted as
// often as the ring runs along it. An edge counts for the points level with its lower end, not
// with its upper one, and a point on an edge counts as inside on one side of it only: two rings
// that share an edge never both hold a point of it.
bool punto_en_anillo(std::int32_t x, std::int32_t y, std::span<const Vertice> anillo);

// Twice the signed area of a closed ring, exactly, as the sum of (y + y') (x' − x) over its
// edges: positive for a clockwise ring.
class AreaDoble {
 public:
  void anade_lado(const Vertice& desde, const Vertice& hasta);
  int signo() const { return suma_.signo(); }
  double valor() const { return suma_.a_double(); }  // the nearest double, ties to even

 private:
  Entero128 suma_;
};

}  // namespace telmora
