// The cleanup's three searches as plain readings of their rules: every node against every node,
// every dangling end against every element, every pair of elements and every pair of their
// segments. They act through the same moves and the same crossing rule as the indexed searches,
// so the two must give the same files. The tests compare them; the benchmark times them.
#pragma once

#include "depuracion/binjunta.h"

namespace prueba {

inline void nodo_a_nodo_literal(telmora::RedBinjunta& red, telmora::Progreso&) {
  const std::int32_t nodos = red.grafo.num_nodos();
  for (std::int32_t i = 1; i <= nodos; ++i) {
    if (red.grafo.nodo(i).valencia != 1) continue;
    for (std::int32_t j = 1; j <= nodos; ++j) {
      if (j != i && red.nodos_cercanos(i, j)) red.engancha_a_nodo(i, j);
    }
  }
}

inline void nodo_a_elemento_literal(telmora::RedBinjunta& red, telmora::Progreso&) {
  for (std::int32_t n = 1; n <= red.grafo.num_nodos(); ++n) {
    if (red.grafo.nodo(n).valencia != 1) continue;
    const telmora::ExtremoNodo colgante = red.ConNodoObtenerElemento(n);
    if (colgante.elemento == 0) continue;
    for (std::int32_t e = 1; e <= red.num_elementos(); ++e) {
      if (e == colgante.elemento || !red.activo(e)) continue;
      const telmora::Enganche enganche = red.ChequeaCortes(e, n, colgante);
      if (enganche.tipoMov == telmora::kSinMovimiento) continue;
      red.engancha_a_elemento(n, colgante, e, enganche);
      break;
    }
  }
}

inline void cruces_literal(telmora::RedBinjunta& red, telmora::Progreso&) {
  using namespace telmora;
  const std::vector<ElementoCortable> elementos = red.elementos_cortables();
  for (std::size_t i = 0; i < elementos.size(); ++i) {
    for (std::size_t j = i + 1; j < elementos.size(); ++j) {
      const ElementoCortable& a = elementos[i];
      const ElementoCortable& b = elementos[j];
      if (!cajas_solapan(red.caja(a.elemento), red.caja(b.elemento))) continue;
      for (std::size_t v = 1; v < a.vertices.size(); ++v) {
        for (std::size_t w = 1; w < b.vertices.size(); ++w) {
          if (!cajas_solapan(caja_de_segmento(a.vertices[v - 1], a.vertices[v]),
                             caja_de_segmento(b.vertices[w - 1], b.vertices[w]))) {
            continue;
          }
          corta_en_cruce(a, static_cast<std::int32_t>(v + 1), b, static_cast<std::int32_t>(w + 1),
                         red.tolerancia(), red.cortes);
        }
      }
    }
  }
}

inline telmora::BusquedasBinjunta busquedas_literales() {
  return {nodo_a_nodo_literal, nodo_a_elemento_literal, cruces_literal};
}

}  // namespace prueba
