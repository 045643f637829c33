// Topology as a plain reading of its rules, with a scan of the whole table wherever a lookup is
// needed: the node search per arc end, the arc scans per pruning pass, the ways out of a node and
// the repeated courses over the whole arc table, every face against every text. The tests check the
// indexed topology against it, table by table; the topology benchmark times it.
#pragma once

#include <algorithm>

#include "funciones.h"
#include "topologia/geometria_exacta.h"
#include "topologia/grafo.h"
#include "topologia/islas.h"
#include "topologia/poligonos.h"

namespace prueba {

// Node search from node 1 upward for every arc end.
inline telmora::GrafoTopologico grafo_literal(const telmora::Hoja& hoja,
                                              const telmora::EntidadesDibujadas& dibujadas) {
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
    if (!dibujadas.contiene(e) || !hoja.activa(e) || v.size() < 2 || cerrado) continue;
    Tramo t;
    t.elemento = static_cast<std::int32_t>(i + 1);
    t.N1 = nodo_de(v.front());
    t.N2 = nodo_de(v.back());
    grafo.tramos.push_back(t);
  }
  grafo.textos = textos_dibujados(hoja, dibujadas);
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

// The polygon walk as its rules read, every lookup a scan of the arc table: an arc whose course
// repeats an earlier arc's is passed over; each ring starts at the first arc with a side not
// walked and, at every node, leaves by the first way out clockwise after the way back (the
// way back itself when there is no other), until it is back on its first side; where it turned
// back at a node of valence below 2 it is cut into open polygons there.
class RecorridoLiteral {
 public:
  RecorridoLiteral(const telmora::Hoja& hoja, telmora::GrafoTopologico& grafo)
      : hoja_(hoja), g_(grafo), igual_a_(std::size_t(grafo.num_tramos()) + 1, 0) {}

  telmora::TablaPoligonos ejecuta() {
    using namespace telmora;
    for (std::int32_t b = 1; b <= g_.num_tramos(); ++b) {
      for (std::int32_t a = 1; a < b && igual_a_[std::size_t(b)] == 0; ++a) {
        if (mismo_trazo(a, b)) igual_a_[std::size_t(b)] = a;
      }
      if (igual_a_[std::size_t(b)] != 0) t_.pasados.push_back({b, igual_a_[std::size_t(b)]});
    }
    for (std::int32_t a = 1; a <= g_.num_tramos(); ++a) {
      if (!recorrible(a)) continue;
      for (const bool inv : {false, true}) {
        const std::int32_t inicio = semiarco(a, inv);
        if ((inv ? g_.tramo(a).P2 : g_.tramo(a).P1) != 0) continue;
        std::vector<std::int32_t> ciclo;
        std::int32_t s = inicio;
        do {
          ciclo.push_back(s);
          s = siguiente(s);
        } while (s != inicio);
        guarda(ciclo);
      }
    }
    return std::move(t_);
  }

 private:
  bool recorrible(std::int32_t a) const {
    return g_.tramo(a).P1 != telmora::kTramoAnulado && igual_a_[std::size_t(a)] == 0;
  }
  std::int32_t llegada(std::int32_t s) const {
    const telmora::Tramo& t = g_.tramo(telmora::tramo_de(s));
    return telmora::invertido_de(s) ? t.N1 : t.N2;
  }
  bool mismo_trazo(std::int32_t a, std::int32_t b) const {
    using namespace telmora;
    if (!recorrible(a) || g_.tramo(b).P1 == kTramoAnulado) return false;
    const Tramo &ta = g_.tramo(a), &tb = g_.tramo(b);
    if (ta.N1 == tb.N1 && ta.N2 == tb.N2)
      return compara_salidas(hoja_, g_, semiarco(a, false), semiarco(b, false)) == 0;
    if (ta.N1 == tb.N2 && ta.N2 == tb.N1)
      return compara_salidas(hoja_, g_, semiarco(a, false), semiarco(b, true)) == 0;
    return false;
  }

  // Of the ways out after the way back (clockwise) the first; else the first of all; else back.
  std::int32_t siguiente(std::int32_t s) const {
    using namespace telmora;
    const std::int32_t nodo = llegada(s), atras = s ^ 1;
    std::int32_t tras = 0, primero = 0;
    for (std::int32_t a = 1; a <= g_.num_tramos(); ++a) {
      if (!recorrible(a) || a == tramo_de(s)) continue;
      if (g_.tramo(a).N1 != nodo && g_.tramo(a).N2 != nodo) continue;
      const std::int32_t c = semiarco(a, g_.tramo(a).N1 != nodo);
      auto antes = [&](std::int32_t x, std::int32_t y) {
        return y == 0 || compara_salidas(hoja_, g_, x, y) < 0;
      };
      if (antes(c, primero)) primero = c;
      if (compara_salidas(hoja_, g_, atras, c) < 0 && antes(c, tras)) tras = c;
    }
    return tras != 0 ? tras : (primero != 0 ? primero : atras);
  }

  void guarda(std::vector<std::int32_t> ciclo) {
    auto corta = [&](std::int32_t s) {
      return siguiente(s) == (s ^ 1) && g_.nodo(llegada(s)).valencia < 2;
    };
    std::size_t ultimo = ciclo.size();
    for (std::size_t i = 0; i < ciclo.size(); ++i) {
      if (corta(ciclo[i])) ultimo = i;
    }
    if (ultimo == ciclo.size()) {
      poligono(ciclo, true);
      return;
    }
    std::vector<std::int32_t> girado(ciclo.begin() + std::ptrdiff_t(ultimo) + 1, ciclo.end());
    girado.insert(girado.end(), ciclo.begin(), ciclo.begin() + std::ptrdiff_t(ultimo) + 1);
    std::vector<std::int32_t> trozo;
    for (const std::int32_t s : girado) {
      trozo.push_back(s);
      if (!corta(s)) continue;
      poligono(trozo, false);
      trozo.clear();
    }
  }

  void poligono(const std::vector<std::int32_t>& lados, bool cerrado) {
    using namespace telmora;
    t_.poligonos.push_back({std::uint32_t(t_.arcos.size()), 0, cerrado, 0});
    for (const std::int32_t s : lados) {
      Poligono& p = t_.poligonos.back();
      t_.arcos.push_back({tramo_de(s), invertido_de(s)});
      ++p.num_tramos;
      Tramo& t = g_.tramo(tramo_de(s));
      (invertido_de(s) ? t.P2 : t.P1) = t_.num_poligonos();
      (invertido_de(s) ? t.posicion_P2 : t.posicion_P1) = p.num_tramos;
    }
  }

  const telmora::Hoja& hoja_;
  telmora::GrafoTopologico& g_;
  std::vector<std::int32_t> igual_a_;
  telmora::TablaPoligonos t_;
};

// Islands: every face against every envelope.
inline void islas_literal(const telmora::TablaPoligonos& t, telmora::IslasTopologia& islas) {
  using namespace telmora;
  islas.islas.clear();
  for (std::int32_t i = 1; i <= t.num_cerrados(); ++i) {
    if (t.resumen_de(i).sentido) continue;
    for (std::int32_t j = 1; j <= t.num_cerrados(); ++j) {
      if (!t.resumen_de(j).sentido) continue;
      const Rango& a = t.recinto(i).rango;
      const Rango& b = t.recinto(j).rango;
      if (!(b.xmax < a.xmax && b.ymax < a.ymax && b.xmin > a.xmin && b.ymin > a.ymin)) continue;
      Vertice v = t.vertices_de(j).front();
      for (const Vertice& w : t.vertices_de(j)) {
        if (w.y < v.y || (w.y == v.y && w.x < v.x)) v = w;
      }
      if (punto_en_anillo(v.x, v.y, t.vertices_de(i))) islas.islas.push_back({i, j, 0, {}});
    }
  }
}

// Components: for each arc of the envelope, every closed polygon whose arc list holds it; pairs
// looked up in the component table.
inline void componentes_literal(const telmora::TablaPoligonos& t, telmora::IslasTopologia& islas) {
  using namespace telmora;
  islas.componentes.clear();
  for (Isla& i : islas.islas) i.componentes.clear(), i.num_componentes = 0;
  for (std::size_t k = 0; k < islas.islas.size(); ++k) {
    const std::int32_t e = islas.islas[k].Pol_Interno;
    for (const ArcoDePoligono& a : t.arcos_de(t.poligono_de(e))) {
      for (std::int32_t p = 1; p <= t.num_cerrados(); ++p) {
        if (p == e) continue;
        bool tiene = false;
        for (const ArcoDePoligono& b : t.arcos_de(t.poligono_de(p)))
          tiene = tiene || b.tramo == a.tramo;
        if (!tiene) continue;
        bool visto = false;
        std::int32_t cuenta = 0;
        for (const ComponenteIsla& c : islas.componentes) {
          visto = visto || (c.Envolvente == e && c.componente == p);
          cuenta += c.Envolvente == e;
        }
        if (visto) continue;
        islas.componentes.push_back({e, p});
        for (Isla& i : islas.islas) {
          if (i.Pol_Interno != e) continue;
          i.componentes.push_back(p);
          i.num_componentes = cuenta + 1;
        }
      }
    }
  }
}

// Centroids: every text against every face, and against every island of each face that holds
// it, looked up in the island table.
inline void centroides_literal(const telmora::IslasTopologia& islas, telmora::TablaPoligonos& t,
                               telmora::GrafoTopologico& g) {
  using namespace telmora;
  auto dentro = [&](std::int32_t c, const TextoTopologia& q) {
    return punto_en_rango(q.x, q.y, t.recinto(c).rango) &&
           punto_en_anillo(q.x, q.y, t.vertices_de(c));
  };
  for (std::size_t q = 0; q < g.textos.size(); ++q) {
    TextoTopologia& texto = g.textos[q];
    texto.centroide = 0;
    for (ResumenPoligono& r : t.resumen) {
      if (r.sentido || !dentro(r.NumPol, texto)) continue;
      bool en_isla = false;
      for (const Isla& i : islas.islas)
        en_isla = en_isla || (i.Pol_Externo == r.NumPol && dentro(i.Pol_Interno, texto));
      if (en_isla) continue;
      r.Puntero_Sup = r.Puntero_Sup == 0 ? std::int32_t(q + 1) : kVariosPoligonos;
      texto.centroide = texto.centroide == 0 ? r.NumPol : kVariosPoligonos;
    }
  }
}

// The face under a point: the summary scanned in order, the smallest face holding it.
inline std::int32_t localiza_literal(const telmora::TablaPoligonos& t, std::int32_t x,
                                     std::int32_t y) {
  using namespace telmora;
  std::int32_t encontrado = 0;
  for (const ResumenPoligono& r : t.resumen) {
    if (r.sentido || !punto_en_rango(x, y, t.recinto(r.NumPol).rango) ||
        !punto_en_anillo(x, y, t.vertices_de(r.NumPol)))
      continue;
    if (encontrado == 0 || r.Sup < t.resumen_de(encontrado).Sup) encontrado = r.NumPol;
  }
  return encontrado;
}

}  // namespace prueba
