// Which pairs of segments of one element may meet: those whose boxes overlap, touching edges
// included, which is the first test of every check that compares an element's segments with each
// other. What to do with a pair is left to the caller. Segment k joins vertices k and k + 1
// (counted from 0).
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "formato_bin.h"
#include "rejilla_cajas.h"

namespace telmora {

// Keeps its buffers between elements, so that a run over a whole sheet allocates little.
class ParesSegmentos {
 public:
  // Calls accion(k, m) once for every pair of segments k < m of the element whose boxes overlap,
  // ordered by k and then by m: the pairs a double loop over the segments finds, in its order.
  // Short elements are walked that way; longer ones through a grid of their segments' boxes, so
  // that a segment meets only its neighbours.
  template <typename Accion>
  void recorre(std::span<const Vertice> vertices, Accion&& accion) {
    prepara(vertices);
    const auto n = static_cast<std::int32_t>(cajas_.size());
    if (rejilla_.vacia()) {
      for (std::int32_t k = 0; k < n; ++k) {
        for (std::int32_t m = k + 1; m < n; ++m) {
          if (cajas_solapan(cajas_[k], cajas_[m])) accion(k, m);
        }
      }
      return;
    }
    for (std::int32_t k = 0; k < n; ++k) {
      const Caja& caja = cajas_[k];
      rejilla_.candidatas(caja.xmin, caja.ymin, caja.xmax, caja.ymax, candidatas_);
      for (auto m = std::upper_bound(candidatas_.begin(), candidatas_.end(), k);
           m != candidatas_.end(); ++m) {
        if (cajas_solapan(caja, cajas_[*m])) accion(k, *m);
      }
    }
  }

  // The box of segment k of the element last walked.
  const Caja& caja(std::int32_t k) const { return cajas_[k]; }

 private:
  // Boxes of the element's segments, and their grid when the element is long.
  void prepara(std::span<const Vertice> vertices);

  std::vector<Caja> cajas_;
  RejillaCajas rejilla_;
  std::vector<std::int32_t> candidatas_;
};

}  // namespace telmora
