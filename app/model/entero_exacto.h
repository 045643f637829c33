// Exact integer arithmetic past 64 bits, for geometry on 32-bit file coordinates: the difference
// of two coordinates needs 33 bits, a product of two differences 65, a sum of such products a
// few more. Plain two's complement in two 64-bit words, so that it builds the same on every
// target (32-bit MinGW has no 128-bit integer type).
#pragma once

#include <bit>
#include <cmath>
#include <compare>
#include <cstdint>

namespace telmora {

class Entero128 {
 public:
  constexpr Entero128() = default;
  constexpr Entero128(std::int64_t valor)  // NOLINT: widening, as for built-in integers
      : alto_(valor < 0 ? ~std::uint64_t{0} : 0), bajo_(static_cast<std::uint64_t>(valor)) {}

  // a × b, exact for any two 64-bit values.
  static constexpr Entero128 producto(std::int64_t a, std::int64_t b) {
    const std::uint64_t ma = magnitud(a), mb = magnitud(b);
    // Schoolbook product of the 32-bit halves.
    const std::uint64_t a0 = ma & 0xffffffffu, a1 = ma >> 32, b0 = mb & 0xffffffffu, b1 = mb >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t medio = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
    Entero128 r;
    r.bajo_ = (medio << 32) | (p00 & 0xffffffffu);
    r.alto_ = p11 + (p01 >> 32) + (p10 >> 32) + (medio >> 32);
    return (a < 0) != (b < 0) ? -r : r;
  }

  constexpr Entero128 operator-() const {
    Entero128 r;
    r.bajo_ = ~bajo_ + 1;
    r.alto_ = ~alto_ + (r.bajo_ == 0 ? 1 : 0);
    return r;
  }
  friend constexpr Entero128 operator+(Entero128 a, Entero128 b) {
    Entero128 r;
    r.bajo_ = a.bajo_ + b.bajo_;
    r.alto_ = a.alto_ + b.alto_ + (r.bajo_ < a.bajo_ ? 1 : 0);
    return r;
  }
  friend constexpr Entero128 operator-(Entero128 a, Entero128 b) { return a + -b; }
  constexpr Entero128& operator+=(Entero128 b) { return *this = *this + b; }

  friend constexpr bool operator==(Entero128 a, Entero128 b) = default;
  friend constexpr std::strong_ordering operator<=>(Entero128 a, Entero128 b) {
    if (a.alto_ != b.alto_)
      return static_cast<std::int64_t>(a.alto_) <=> static_cast<std::int64_t>(b.alto_);
    return a.bajo_ <=> b.bajo_;
  }

  // -1, 0 or 1.
  constexpr int signo() const {
    if (static_cast<std::int64_t>(alto_) < 0) return -1;
    return (alto_ | bajo_) != 0 ? 1 : 0;
  }

  // The nearest double, ties to even.
  double a_double() const {
    const bool negativo = static_cast<std::int64_t>(alto_) < 0;
    const Entero128 m = negativo ? -*this : *this;
    double r = static_cast<double>(m.bajo_);
    if (m.alto_ != 0) {
      // The top 64 bits, with any bit below them kept in the last one, round as the whole does.
      const int corrimiento = 64 - std::countl_zero(m.alto_);
      const std::uint64_t arriba = (m.alto_ << (64 - corrimiento)) | (m.bajo_ >> corrimiento);
      const bool resto = (m.bajo_ << (64 - corrimiento)) != 0;
      r = std::ldexp(static_cast<double>(arriba | (resto ? 1u : 0u)), corrimiento);
    }
    return negativo ? -r : r;
  }

  // The high and low words, two's complement.
  constexpr std::int64_t alto() const { return static_cast<std::int64_t>(alto_); }
  constexpr std::uint64_t bajo() const { return bajo_; }

 private:
  static constexpr std::uint64_t magnitud(std::int64_t v) {
    return v < 0 ? ~static_cast<std::uint64_t>(v) + 1 : static_cast<std::uint64_t>(v);
  }

  std::uint64_t alto_ = 0, bajo_ = 0;
};

// Squared plane distance between two points of the file: exact over the whole 32-bit range.
constexpr Entero128 distancia2_exacta(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                      std::int32_t y2) {
  const std::int64_t dx = std::int64_t{x1} - x2, dy = std::int64_t{y1} - y2;
  return Entero128::producto(dx, dx) + Entero128::producto(dy, dy);
}

// (A - O) × (B - O): positive when O, A, B turn counter-clockwise, 0 when they are aligned.
constexpr Entero128 producto_vectorial(std::int32_t ox, std::int32_t oy, std::int32_t ax,
                                       std::int32_t ay, std::int32_t bx, std::int32_t by) {
  return Entero128::producto(std::int64_t{ax} - ox, std::int64_t{by} - oy) -
         Entero128::producto(std::int64_t{ay} - oy, std::int64_t{bx} - ox);
}

}  // namespace telmora
