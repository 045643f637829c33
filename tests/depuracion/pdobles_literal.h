// The segment checks of the double-point process as a plain double loop over the segments of an
// element, P(1) ... P(n) counted from 1: every segment S = P(k-1)-P(k) against every later segment
// T = P(m-1)-P(m). The tests check the indexed search against it; the benchmark times it.
#pragma once

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

#include "depuracion/pdobles.h"
#include "funciones.h"
#include "modulo_apis.h"

namespace prueba {

inline std::int32_t redondo(double valor) {
  return static_cast<std::int32_t>(std::nearbyint(valor));
}

// The pairs of segments (counted from 0) whose boxes overlap, in loop order.
inline std::vector<std::pair<std::int32_t, std::int32_t>> pares_literales(
    std::span<const telmora::Vertice> p) {
  std::vector<std::pair<std::int32_t, std::int32_t>> pares;
  const auto n = static_cast<std::int32_t>(p.size());
  for (std::int32_t k = 2; k <= n; ++k) {
    for (std::int32_t m = k + 1; m <= n; ++m) {
      const auto &s1 = p[k - 2], &s2 = p[k - 1], &t1 = p[m - 2], &t2 = p[m - 1];
      if (telmora::rango_contenido(std::max(s1.x, s2.x), std::max(s1.y, s2.y), std::min(s1.x, s2.x),
                                   std::min(s1.y, s2.y), std::max(t1.x, t2.x), std::max(t1.y, t2.y),
                                   std::min(t1.x, t2.x), std::min(t1.y, t2.y)))
        pares.emplace_back(k - 2, m - 2);
    }
  }
  return pares;
}

inline void revisa_segmentos_literal(std::span<const telmora::Vertice> p, std::int32_t tolerancia,
                                     telmora::ErroresPdobles& errores) {
  using telmora::Vertice;
  const double t = tolerancia;
  const auto n = p.size();
  for (std::size_t k = 2; k <= n; ++k) {
    for (std::size_t m = k + 1; m <= n; ++m) {
      const Vertice &s1 = p[k - 2], &s2 = p[k - 1], &t1 = p[m - 2], &t2 = p[m - 1];
      if (m == k + 2) {
        const auto pie = telmora::proyeccion(t1.x, t1.y, t2.x, t2.y, s2.x, s2.y);
        if (pie.distancia <= t && pie.en_segmento)
          errores.semilazos.push_back({redondo(pie.xf), redondo(pie.yf), s2.z});
      }
      const std::int32_t caja_s[4] = {std::max(s1.x, s2.x), std::max(s1.y, s2.y),
                                      std::min(s1.x, s2.x), std::min(s1.y, s2.y)};
      const std::int32_t caja_t[4] = {std::max(t1.x, t2.x), std::max(t1.y, t2.y),
                                      std::min(t1.x, t2.x), std::min(t1.y, t2.y)};
      if (!telmora::rango_contenido(caja_s[0], caja_s[1], caja_s[2], caja_s[3], caja_t[0],
                                    caja_t[1], caja_t[2], caja_t[3]))
        continue;
      int estado = 1;
      telmora::Punto cruce;
      if (telmora::rangos_coinciden(caja_s, caja_t, t, estado)) {
        errores.duplicados.push_back(s1);
        errores.duplicados.push_back(s2);
      } else if (telmora::interseccion_segmentos(
                     {double(s1.x), double(s1.y)}, {double(s2.x), double(s2.y)},
                     {double(t1.x), double(t1.y)}, {double(t2.x), double(t2.y)},
                     cruce) == telmora::kCruce) {
        errores.lazos.push_back(
            {redondo(cruce.x), redondo(cruce.y), redondo((double(s2.z) + t2.z) / 2)});
      }
    }
  }
}

}  // namespace prueba
