#include "topologia/geometria_exacta.h"

#include <bit>
#include <cmath>

namespace telmora {

namespace {

// An unsigned 128-bit value in two words.
struct Doble64 {
  std::uint64_t alto = 0, bajo = 0;
};

Doble64 multiplica(std::uint64_t a, std::uint64_t b) {
  constexpr std::uint64_t kMitad = 0xFFFFFFFFu;
  const std::uint64_t a0 = a & kMitad, a1 = a >> 32, b0 = b & kMitad, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t medio = (p00 >> 32) + (p01 & kMitad) + (p10 & kMitad);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (medio >> 32), (medio << 32) | (p00 & kMitad)};
}

Doble64 niega(Doble64 v) {
  v.alto = ~v.alto;
  v.bajo = ~v.bajo + 1;
  if (v.bajo == 0) ++v.alto;
  return v;
}

std::uint64_t magnitud(std::int64_t v) {
  return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

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
  const int s1 = signo(a) * signo(b), s2 = signo(c) * signo(d);
  if (s1 != s2) return s1 > s2 ? 1 : -1;
  if (s1 == 0) return 0;
  const Doble64 p = multiplica(magnitud(a), magnitud(b));
  const Doble64 q = multiplica(magnitud(c), magnitud(d));
  const int orden =
      p.alto != q.alto ? (p.alto > q.alto ? 1 : -1) : (p.bajo > q.bajo) - (p.bajo < q.bajo);
  return s1 * orden;
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
  const std::int64_t suma_y = std::int64_t{desde.y} + hasta.y;
  const std::int64_t avance_x = std::int64_t{hasta.x} - desde.x;
  Doble64 p = multiplica(magnitud(suma_y), magnitud(avance_x));
  if ((suma_y < 0) != (avance_x < 0) && suma_y != 0 && avance_x != 0) p = niega(p);
  const std::uint64_t bajo = bajo_ + p.bajo;
  alto_ = static_cast<std::int64_t>(static_cast<std::uint64_t>(alto_) + p.alto +
                                    (bajo < bajo_ ? 1u : 0u));
  bajo_ = bajo;
}

int AreaDoble::signo() const {
  if (alto_ != 0) return alto_ < 0 ? -1 : 1;
  return bajo_ != 0 ? 1 : 0;
}

double AreaDoble::valor() const {
  Doble64 v{static_cast<std::uint64_t>(alto_), bajo_};
  const bool negativo = alto_ < 0;
  if (negativo) v = niega(v);
  double magnitud_doble = static_cast<double>(v.bajo);
  if (v.alto != 0) {
    // The top 64 bits, with any bit below them kept in the last one, round as the whole does.
    const int corrimiento = 64 - std::countl_zero(v.alto);
    const std::uint64_t arriba = (v.alto << (64 - corrimiento)) | (v.bajo >> corrimiento);
    const bool resto = (v.bajo << (64 - corrimiento)) != 0;
    magnitud_doble = std::ldexp(static_cast<double>(arriba | (resto ? 1u : 0u)), corrimiento);
  }
  return negativo ? -magnitud_doble : magnitud_doble;
}

}  // namespace telmora
