#include "rejilla_tolerancia.h"

#include <algorithm>
#include <cmath>

namespace telmora {

namespace {

std::uint64_t mezcla(std::uint64_t clave) {
  clave ^= clave >> 33;
  clave *= 0xff51afd7ed558ccdULL;
  clave ^= clave >> 33;
  clave *= 0xc4ceb9fe1a85ec53ULL;
  return clave ^ (clave >> 33);
}

}  // namespace

MallaTolerancia::MallaTolerancia(double tolerancia) {
  // Beyond 5e9 every two 32-bit values are within the radius anyway.
  if (tolerancia >= 0) radio = static_cast<std::int64_t>(std::min(std::floor(tolerancia), 5e9));
  lado = 4 * radio + 1;
  inverso = 1.0 / static_cast<double>(lado);
}

CeldasVecinas::CeldasVecinas(std::int32_t x, std::int32_t y, const MallaTolerancia& malla) {
  const std::int64_t x0 = malla.celda(x - malla.radio), x1 = malla.celda(x + malla.radio);
  const std::int64_t y0 = malla.celda(y - malla.radio), y1 = malla.celda(y + malla.radio);
  for (std::int64_t cx = x0; cx <= x1; ++cx) {
    for (std::int64_t cy = y0; cy <= y1; ++cy)
      claves[cuantas++] = MallaTolerancia::clave_de(cx, cy);
  }
}

RejillaTolerancia::RejillaTolerancia(const std::vector<EntradaRejilla>& entradas) {
  std::size_t cubetas = 16;
  while (cubetas < entradas.size()) cubetas *= 2;
  mascara_ = cubetas - 1;
  inicio_.assign(cubetas + 1, 0);
  for (const EntradaRejilla& e : entradas) ++inicio_[cubeta(e.clave) + 1];
  for (std::size_t c = 1; c < inicio_.size(); ++c) inicio_[c] += inicio_[c - 1];
  std::vector<std::uint32_t> siguiente(inicio_.begin(), inicio_.end() - 1);
  entradas_.resize(entradas.size());
  for (const EntradaRejilla& e : entradas) entradas_[siguiente[cubeta(e.clave)]++] = e;
}

std::size_t RejillaTolerancia::cubeta(std::uint64_t clave) const {
  return mezcla(clave) & mascara_;
}

std::span<const EntradaRejilla> RejillaTolerancia::posteriores(std::uint64_t clave,
                                                               std::int32_t despues_de) const {
  if (inicio_.empty()) return {};
  const std::size_t c = cubeta(clave);
  const auto inicio = entradas_.begin() + inicio_[c];
  const auto fin = entradas_.begin() + inicio_[c + 1];
  return {std::upper_bound(inicio, fin, despues_de,
                           [](std::int32_t n, const EntradaRejilla& e) { return n < e.numero; }),
          fin};
}

}  // namespace telmora
