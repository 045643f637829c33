// A hashed grid for "what lies within a tolerance of this point": cells of side 4 × radius + 1
// put every point within the radius of a given one in at most two cells along each axis. Entries
// keep the order in which they were given (ascending numbers), so that a search can stop at the
// first match in file order. Used by the duplicate search and by the tools that snap or compare
// points within a tolerance.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace telmora {

// The cells of a radius (file units). Two values that can match differ by at most `radio`.
struct MallaTolerancia {
  std::int64_t radio = 0, lado = 1;

  // A negative or NaN tolerance gives radius 0; its whole part is taken otherwise.
  explicit MallaTolerancia(double tolerancia);

  std::int64_t celda(std::int64_t valor) const {
    return valor >= 0 ? valor / lado : -((-valor + lado - 1) / lado);
  }
  std::uint64_t clave(std::int32_t x, std::int32_t y) const { return clave_de(celda(x), celda(y)); }

  static std::uint64_t clave_de(std::int64_t cx, std::int64_t cy) {
    return std::uint64_t{static_cast<std::uint32_t>(cx)} << 32 | static_cast<std::uint32_t>(cy);
  }
};

// The keys of the one to four cells that hold every point within the radius of (x, y).
struct CeldasVecinas {
  std::array<std::uint64_t, 4> claves{};
  int cuantas = 0;

  CeldasVecinas(std::int32_t x, std::int32_t y, const MallaTolerancia& malla);
  const std::uint64_t* begin() const { return claves.data(); }
  const std::uint64_t* end() const { return claves.data() + cuantas; }
};

// One thing placed in the grid: its cell's key, its number (an element, a node ...) and a datum
// of the caller's (a vertex index, say).
struct EntradaRejilla {
  std::uint64_t clave = 0;
  std::int32_t numero = 0;
  std::uint32_t dato = 0;
};

// Entries spread over buckets by a hash of their cell's key, each bucket keeping the order in
// which the entries were given. A bucket may also hold entries of other cells: readers compare
// the key.
class RejillaTolerancia {
 public:
  RejillaTolerancia() = default;
  // `entradas` in ascending order of their numbers.
  explicit RejillaTolerancia(const std::vector<EntradaRejilla>& entradas);

  // The entries of the cell's bucket whose number is above `despues_de`, in the given order.
  std::span<const EntradaRejilla> posteriores(std::uint64_t clave, std::int32_t despues_de) const;

 private:
  std::size_t cubeta(std::uint64_t clave) const;

  std::size_t mascara_ = 0;
  std::vector<std::uint32_t> inicio_;
  std::vector<EntradaRejilla> entradas_;
};

}  // namespace telmora
