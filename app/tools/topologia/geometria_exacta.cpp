#include "topologia/geometria_exacta.h"

namespace telmora {

namespace {

int signo(std::int64_t v) {
  return (v > 0) - (v < 0);
}

// Which half-turn clockwise from `origen` a direction lies in: 0 for [0, π), 1 for [π, 2π).
int mitad(Direccion origen, Direccion d) {
  const int cruz = signo_diferencia_productos(origen.dx, d.dy, origen.dy, d.dx);
  if (cruz != 0) return cruz < 0 ? 0 : 1;
  // Along the same line: the same way or the opposite one.
  const int igual =
      origen.dx != 0 ? signo(origen.dx) * signo(d.dx) : signo(origen.dy) * signo(d.dy);
  return igual > 0 ? 0 : 1;
}

}  // namespace

int signo_diferencia_productos(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
  constexpr std::int64_t kCorto = std::int64_t{1} << 31;
  auto corto = [](std::int64_t v) { return v > -kCorto && v < kCorto; };
  if (corto(a) && corto(b) && corto(c) && corto(d)) return signo(a * b - c * d);
  return (Entero128::producto(a, b) - Entero128::producto(c, d)).signo();
}

int compara_giro_horario(Direccion origen, Direccion a, Direccion b) {
  const int ma = mitad(origen, a), mb = mitad(origen, b);
  if (ma != mb) return ma < mb ? -1 : 1;
  // In the same half-turn, b comes later when it lies clockwise of a.
  return signo_diferencia_productos(a.dx, b.dy, a.dy, b.dx);
}

bool punto_en_anillo(std::int32_t x, std::int32_t y, std::span<const Vertice> anillo) {
  bool dentro = false;
  for (std::size_t i = 0; i + 1 < anillo.size(); ++i) {
    const Vertice& a = anillo[i];
    const Vertice& b = anillo[i + 1];
    if ((a.y > y) == (b.y > y)) continue;
    // The edge crosses the level of the point; the crossing lies beyond x when
    // (x - ax) (by - ay) < (y - ay) (bx - ax) for an edge going up, > for one going down.
    const int s = signo_diferencia_productos(std::int64_t{x} - a.x, std::int64_t{b.y} - a.y,
                                             std::int64_t{y} - a.y, std::int64_t{b.x} - a.x);
    if (b.y > a.y ? s < 0 : s > 0) dentro = !dentro;
  }
  return dentro;
}

void AreaDoble::anade_lado(const Vertice& desde, const Vertice& hasta) {
  suma_ += Entero128::producto(std::int64_t{desde.y} + hasta.y, std::int64_t{hasta.x} - desde.x);
}

}  // namespace telmora
