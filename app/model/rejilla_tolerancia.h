// What lies within a tolerance, two ways, on one grid of cells of side 4 × radius + 1, which
// puts every point within the radius of a given one in at most two cells along each axis:
// - RejillaTolerancia, a hashed grid for lookups around given points. Entries keep the order in
//   which they were given (ascending numbers), so that a search can stop at the first match in
//   file order. For the tools that snap or compare points within a tolerance.
// - parejas_cercanas, every close pair of a whole set at once, in one pass that moves forward
//   through memory. The duplicate search uses it.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "memoria.h"

namespace telmora {

// The cells of a radius (file units). Two values that can match differ by at most `radio`.
struct MallaTolerancia {
  std::int64_t radio = 0, lado = 1;
  double inverso = 1;  // 1 / lado

  // A negative or NaN tolerance gives radius 0; its whole part is taken otherwise.
  explicit MallaTolerancia(double tolerancia);

  // The cell of a value: floor(valor / lado). The quotient comes from the reciprocal, which
  // is at most one off, and is then made exact (far cheaper than an integer division).
  std::int64_t celda(std::int64_t valor) const {
    auto q = static_cast<std::int64_t>(std::floor(static_cast<double>(valor) * inverso));
    if (q * lado > valor) {
      --q;
    } else if ((q + 1) * lado <= valor) {
      ++q;
    }
    return q;
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

// Stable sort of records by their member `clave`, whose significant bits are the lowest `bits`,
// in passes of 11 bits: linear in the records, each pass streaming through them. `auxiliar` is
// scratch of the same size.
template <typename Vector>
void ordena_por_radix(Vector& v, Vector& auxiliar, int bits) {
  constexpr int kBitsPasada = 11;
  constexpr std::size_t kCubetas = std::size_t{1} << kBitsPasada;
  std::size_t cubeta[kCubetas];
  auxiliar.resize(v.size());
  for (int desde = 0; desde < bits; desde += kBitsPasada) {
    std::fill(std::begin(cubeta), std::end(cubeta), 0);
    for (const auto& e : v) ++cubeta[(e.clave >> desde) & (kCubetas - 1)];
    std::size_t suma = 0;
    for (std::size_t& c : cubeta) suma += std::exchange(c, suma);
    for (const auto& e : v) auxiliar[cubeta[(e.clave >> desde) & (kCubetas - 1)]++] = e;
    v.swap(auxiliar);
  }
}

// Every pair of things placed within the radius of each other along both axes (|dx| <= radio
// and |dy| <= radio): `visita(a, b)` once for each pair, in no set order. `Cosa` is a small
// record of the caller's with int32 members x and y, the point at which it is placed;
// `recorre(anade)` calls `anade(cosa)` for every thing, the same things each time (it is called
// three times).
//
// For a search over a whole sheet at once, where looking each thing up in a RejillaTolerancia
// would scatter reads over tables larger than the processor's caches. The things are dealt into
// strips of cell columns, and each strip in turn is sorted by cell and swept, every cell
// meeting only its neighbours ahead of it: apart from the dealing, all the work stays within one
// strip's worth of memory, reused from strip to strip.
template <typename Cosa, typename Recorre, typename Visita>
void parejas_cercanas(Recorre&& recorre, const MallaTolerancia& malla, Visita&& visita);

namespace detalle {

// A thing of a strip with the key of its cell: its column (counted from the strip's first)
// above `bits_fila` bits of row.
template <typename Cosa>
struct EnCelda {
  std::uint64_t clave;
  Cosa cosa;
};

// Visits the pairs of one strip sorted by cell: the cells of its first `columnas` columns with
// themselves and with their neighbours ahead (the column after the strip is there only to be
// met).
template <typename Cosa, typename Visita>
void barre_franja(const std::vector<EnCelda<Cosa>>& orden, int bits_fila, std::uint64_t columnas,
                  std::uint64_t filas, const MallaTolerancia& malla, Visita& visita) {
  auto cerca = [&](const Cosa& a, const Cosa& b) {
    return std::abs(std::int64_t{a.x} - b.x) <= malla.radio &&
           std::abs(std::int64_t{a.y} - b.y) <= malla.radio;
  };
  const std::uint64_t mascara_fila = (std::uint64_t{1} << bits_fila) - 1;
  // The neighbour cells ahead in key order (column, then row), each read through its own
  // cursor, which only moves forward as the cells do.
  constexpr int kVecinas = 4;
  constexpr std::int64_t kDx[kVecinas] = {0, 1, 1, 1}, kDy[kVecinas] = {1, -1, 0, 1};
  std::size_t cursor[kVecinas] = {};
  const std::size_t n = orden.size();
  for (std::size_t inicio = 0, fin = 0; inicio < n; inicio = fin) {
    const std::uint64_t propia = orden[inicio].clave;
    while (fin < n && orden[fin].clave == propia) ++fin;
    const std::uint64_t cx = propia >> bits_fila, cy = propia & mascara_fila;
    if (cx >= columnas) break;
    for (std::size_t a = inicio; a < fin; ++a) {
      for (std::size_t b = a + 1; b < fin; ++b) {
        if (cerca(orden[a].cosa, orden[b].cosa)) visita(orden[a].cosa, orden[b].cosa);
      }
    }
    for (int v = 0; v < kVecinas; ++v) {
      const std::int64_t vy = static_cast<std::int64_t>(cy) + kDy[v];
      if (vy < 0 || vy >= static_cast<std::int64_t>(filas)) continue;
      const std::uint64_t vecina = (cx + kDx[v]) << bits_fila | static_cast<std::uint64_t>(vy);
      std::size_t& c = cursor[v];
      while (c < n && orden[c].clave < vecina) ++c;
      for (std::size_t b = c; b < n && orden[b].clave == vecina; ++b) {
        for (std::size_t a = inicio; a < fin; ++a) {
          if (cerca(orden[a].cosa, orden[b].cosa)) visita(orden[a].cosa, orden[b].cosa);
        }
      }
    }
  }
}

}  // namespace detalle

template <typename Cosa, typename Recorre, typename Visita>
void parejas_cercanas(Recorre&& recorre, const MallaTolerancia& malla, Visita&& visita) {
  constexpr std::size_t kPorFranja = 32768;  // things a strip holds on average
  std::int32_t xmin = std::numeric_limits<std::int32_t>::max(), ymin = xmin;
  std::int32_t xmax = std::numeric_limits<std::int32_t>::min(), ymax = xmax;
  std::size_t total = 0;
  recorre([&](const Cosa& c) {
    xmin = std::min(xmin, c.x), xmax = std::max(xmax, c.x);
    ymin = std::min(ymin, c.y), ymax = std::max(ymax, c.y);
    ++total;
  });
  if (total == 0) return;
  // Cells span less than 2^32 along each axis: column and row share a 64-bit key.
  const std::int64_t x0 = malla.celda(xmin), y0 = malla.celda(ymin);
  const auto columnas = static_cast<std::uint64_t>(malla.celda(xmax) - x0) + 1;
  const auto filas = static_cast<std::uint64_t>(malla.celda(ymax) - y0) + 1;
  const int bits_fila = std::bit_width(filas - 1);
  // Strips of 2^bits_franja columns, about kPorFranja things each when they are spread evenly.
  const std::uint64_t franjas_deseadas = std::max<std::uint64_t>(1, total / kPorFranja);
  const int bits_franja = std::bit_width((columnas - 1) / franjas_deseadas);
  const std::uint64_t columnas_franja = std::uint64_t{1} << bits_franja;
  const std::size_t franjas = static_cast<std::size_t>(((columnas - 1) >> bits_franja) + 1);
  auto columna = [&](const Cosa& c) { return static_cast<std::uint64_t>(malla.celda(c.x) - x0); };

  // The things dealt out by strip.
  std::vector<std::size_t> inicio(franjas + 1, 0);
  recorre([&](const Cosa& c) { ++inicio[(columna(c) >> bits_franja) + 1]; });
  for (std::size_t f = 1; f <= franjas; ++f) inicio[f] += inicio[f - 1];
  Lista<Cosa> repartidas(total);
  {
    std::vector<std::size_t> siguiente(inicio.begin(), inicio.end() - 1);
    recorre([&](const Cosa& c) { repartidas[siguiente[columna(c) >> bits_franja]++] = c; });
  }

  // Each strip with the first column of the next one, keys counted from the strip's first
  // column, sorted and swept.
  std::vector<detalle::EnCelda<Cosa>> franja, auxiliar;
  const int bits_local = bits_fila + bits_franja + 1;
  auto en_franja = [&](std::size_t f, const Cosa& c) {
    const std::uint64_t col = columna(c) - (static_cast<std::uint64_t>(f) << bits_franja);
    return detalle::EnCelda<Cosa>{
        col << bits_fila | static_cast<std::uint64_t>(malla.celda(c.y) - y0), c};
  };
  for (std::size_t f = 0; f < franjas; ++f) {
    franja.clear();
    for (std::size_t k = inicio[f]; k < inicio[f + 1]; ++k)
      franja.push_back(en_franja(f, repartidas[k]));
    if (f + 1 < franjas) {
      for (std::size_t k = inicio[f + 1]; k < inicio[f + 2]; ++k) {
        const auto e = en_franja(f, repartidas[k]);
        if ((e.clave >> bits_fila) == columnas_franja) franja.push_back(e);
      }
    }
    ordena_por_radix(franja, auxiliar, bits_local);
    detalle::barre_franja(franja, bits_fila, columnas_franja, filas, malla, visita);
  }
}

}  // namespace telmora
