// Topology as a plain reading of its rules, with a scan of the whole table wherever a lookup is
// needed: the node search per arc end, the arc scans per pruning pass. The tests check the
// indexed topology against it, table by table; the topology benchmark times it.
#pragma once

#include "topologia/grafo.h"

namespace prueba {

// Node search from node 1 upward for every arc end.
inline telmora::GrafoTopologico grafo_literal(const telmora::Hoja& hoja) {
  using namespace telmora;
  GrafoTopologico grafo;
  auto nodo_de = [&](const Vertice& v) {
    for (std::int32_t n = 1; n <= grafo.num_nodos(); ++n) {
      Nodo& p = grafo.nodo(n);
      if (p.x == v.x && p.y == v.y) {
        p.z = v.z;
        ++p.valencia;
        return n;
      }
    }
    grafo.nodos.push_back({v.x, v.y, v.z, 1, 0});
    return grafo.num_nodos();
  };
  for (std::size_t i = 0; i < hoja.c.size(); ++i) {
    const Entidad& e = hoja.c[i];
    const auto v = hoja.vertices_de(e);
    const bool cerrado = v.size() >= 1 && v.front().x == v.back().x && v.front().y == v.back().y;
    if (e.pintado == 0 || !e.activa() || v.size() < 2 || cerrado) continue;
    Tramo t;
    t.Offset = static_cast<std::int32_t>(i + 1);
    t.N1 = nodo_de(v.front());
    t.N2 = nodo_de(v.back());
    grafo.tramos.push_back(t);
  }
  for (std::size_t j = 0; j < hoja.t.size(); ++j) {
    const Entidad& e = hoja.t[j];
    if (e.pintado == 0 || !e.activa()) continue;
    const Vertice& p = hoja.vertices_de(e)[0];
    grafo.textos.push_back({static_cast<std::int32_t>(j + 1), e.cabecera.codigo, p.x, p.y, p.z, 0});
  }
  grafo.construye_estrellas();
  return grafo;
}

// Passes over every node of valence 1, each scanning the whole arc table, until a pass meets
// none.
inline void poda_literal(telmora::GrafoTopologico& grafo) {
  using namespace telmora;
  bool otra = true;
  while (otra) {
    otra = false;
    for (std::int32_t n = 1; n <= grafo.num_nodos(); ++n) {
      if (grafo.nodo(n).valencia != 1) continue;
      otra = true;
      for (std::int32_t a = 1; a <= grafo.num_tramos(); ++a) {
        Tramo& t = grafo.tramo(a);
        if ((t.N1 != n && t.N2 != n) || t.P1 != 0 || t.P2 != 0) continue;
        --grafo.nodo(t.N1).valencia;
        --grafo.nodo(t.N2).valencia;
        t.P1 = t.P2 = kTramoAnulado;
      }
    }
  }
}

inline void recalcula_literal(telmora::GrafoTopologico& grafo) {
  using namespace telmora;
  std::int32_t conservados = 0;
  for (std::int32_t a = 1; a <= grafo.num_tramos(); ++a) {
    const Tramo t = grafo.tramo(a);
    if (t.P1 == kTramoAnulado && t.P2 == kTramoAnulado) continue;
    grafo.tramo(++conservados) = t;
  }
  grafo.tramos.resize(static_cast<std::size_t>(conservados));
  grafo.construye_estrellas();
}

}  // namespace prueba
