#include "depuracion/pares_segmentos.h"

#include "funciones.h"

namespace telmora {

namespace {

// Below this many segments the double loop is cheaper than building a grid.
constexpr std::size_t kSegmentosSinRejilla = 64;
// Segments of one element lie along a line: few per cell keeps the cells along it short.
constexpr int kSegmentosPorCelda = 2;

}  // namespace

void ParesSegmentos::prepara(std::span<const Vertice> vertices) {
  cajas_.clear();
  for (std::size_t k = 0; k + 1 < vertices.size(); ++k)
    cajas_.push_back(caja_de_segmento(vertices[k], vertices[k + 1]));
  rejilla_ = cajas_.size() > kSegmentosSinRejilla ? RejillaCajas(cajas_, kSegmentosPorCelda)
                                                  : RejillaCajas();
}

}  // namespace telmora
