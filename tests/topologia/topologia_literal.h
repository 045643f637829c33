// Topology as a plain reading of its rules, with a scan of the whole table wherever a lookup is
// needed: the node search per arc end, the arc scans per pruning pass. The tests check the
// indexed topology against it, table by table; the topology benchmark times it.
#pragma once

#include <algorithm>

#include "funciones.h"
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
    if (!dibujadas.contiene(e) || !e.activa() || v.size() < 2 || cerrado) continue;
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

// The polygon walk step by step as its rules read, every lookup a scan of the arc table. With
// `guarda` it passes over ways out already walked and ends a step after closing a polygon as
// open, as the program does; without it, it is the unguarded walk, which is stopped after a
// bound of steps and reports in `anomalo` whether it ever re-walked an arc, closed a polygon as
// open (after which it goes on with the step and may close the next polygon at once on its
// first arc), stored arc 0 or had to be stopped.
class RecorridoLiteral {
 public:
  RecorridoLiteral(const telmora::Hoja& hoja, telmora::GrafoTopologico& grafo, bool guarda)
      : hoja_(hoja), g_(grafo), guarda_(guarda) {}

  bool anomalo = false;

  telmora::TablaPoligonos ejecuta() {
    t_.poligonos.push_back({});
    if (g_.num_tramos() > 0) inicio_ = g_.tramo(1).N1;
    const long limite = 8L * g_.num_tramos() + 16;
    long pasos = 0;
    seguir_ = true;
    do {
      while (seguir_ && ++pasos < limite) GeneraPol();
      if (pasos >= limite) {
        anomalo = true;
        break;
      }
      buscoTramoAProcesar();
      seguir_ = procesar_ > 0;
    } while (seguir_);
    if (t_.poligonos.back().num_tramos == 0) t_.poligonos.pop_back();
    return std::move(t_);
  }

 private:
  telmora::Tramo& tramo(std::int32_t a) { return g_.tramo(a); }

  void GeneraPol() {
    seguir_ = false;
    if (procesar_ < 1 || procesar_ > g_.num_tramos()) return;
    if (tramo(procesar_).P1 != 0 && tramo(procesar_).P2 != 0) return;
    seguir_ = true;
    actual_ = procesar_;
    inv_actual_ = inv_procesar_;
    desde_ = inv_actual_ ? tramo(actual_).N2 : tramo(actual_).N1;
    en_ = inv_actual_ ? tramo(actual_).N1 : tramo(actual_).N2;
    bool abierto = false;
    if (g_.nodo(en_).valencia < 2) {
      abierto = true;
    } else {
      lejano_ = en_;
      abierto = sin_salida_libre(lejano_) || !busca_tramo_siguiente();
    }
    if (abierto) {
      CierroPoligono(inv_actual_, false);
      buscoTramoAProcesar();
      if (guarda_) return;
    }
    if (lejano_ == 0) lejano_ = en_;
    const bool ocupado = sin_salida_libre(lejano_);
    if (lejano_ == inicio_ || ocupado) {
      actual_ = procesar_;
      inv_actual_ = inv_procesar_;
      CierroPoligono(inv_actual_, lejano_ == inicio_);
      buscoTramoAProcesar();
      if (procesar_ == 0) seguir_ = false;
    }
  }

  bool libre(std::int32_t a, bool inv) { return (inv ? tramo(a).P2 : tramo(a).P1) == 0; }

  // True (occupied) when no arc but the current one leaves the node in a direction not walked.
  bool sin_salida_libre(std::int32_t nodo) {
    for (std::int32_t a = 1; a <= g_.num_tramos(); ++a) {
      if (a == actual_) continue;
      if ((tramo(a).N1 == nodo && tramo(a).P1 == 0) || (tramo(a).N2 == nodo && tramo(a).P2 == 0))
        return false;
    }
    return true;
  }

  bool busca_tramo_siguiente() {
    struct Candidato {
      std::int32_t a;
      bool inv;
      double angulo;
    };
    std::vector<Candidato> candidatos;
    for (std::int32_t a = 1; a <= g_.num_tramos(); ++a) {
      if (a == actual_ || (tramo(a).N1 != en_ && tramo(a).N2 != en_)) continue;
      const bool inv = tramo(a).N1 != en_;
      candidatos.push_back(
          {a, inv, telmora::calcula_angulo(hoja_, tramo(actual_), inv_actual_, tramo(a), inv)});
    }
    // The rule: at valence 2 the first; else the largest angle, the last of equal ones.
    auto preferido = [&](const std::vector<Candidato>& lista) -> const Candidato* {
      if (lista.empty()) return nullptr;
      if (g_.nodo(en_).valencia == 2) return &lista.front();
      const Candidato* mejor = nullptr;
      double angulo = 0;
      for (const Candidato& c : lista) {
        if (c.angulo >= angulo) mejor = &c, angulo = c.angulo;
      }
      return mejor;
    };
    const Candidato* elegido = nullptr;
    std::vector<telmora::ArcoPasado> pasados;
    while (!candidatos.empty()) {
      elegido = preferido(candidatos);
      if (!guarda_ || libre(elegido->a, elegido->inv)) break;
      pasados.push_back({elegido->a, elegido->inv, en_, t_.num_poligonos()});
      candidatos.erase(candidatos.begin() + (elegido - candidatos.data()));
      elegido = nullptr;
    }
    std::sort(pasados.begin(), pasados.end(),
              [](const auto& x, const auto& y) { return x.tramo < y.tramo; });
    t_.pasados.insert(t_.pasados.end(), pasados.begin(), pasados.end());
    if (elegido == nullptr) {
      if (!guarda_) anomalo = true;
      return false;
    }
    if (!libre(elegido->a, elegido->inv)) anomalo = true;
    almacenoTramo(actual_, inv_actual_);
    procesar_ = elegido->a;
    inv_procesar_ = elegido->inv;
    lejano_ = elegido->inv ? tramo(elegido->a).N1 : tramo(elegido->a).N2;
    return true;
  }

  void almacenoTramo(std::int32_t a, bool inv) {
    if (a == 0) {
      anomalo = true;
      return;
    }
    telmora::Poligono& p = t_.poligonos.back();
    t_.arcos.push_back({a, inv});
    ++p.num_tramos;
    (inv ? tramo(a).P2 : tramo(a).P1) = t_.num_poligonos();
    (inv ? tramo(a).posicion_P2 : tramo(a).posicion_P1) = p.num_tramos;
  }

  void CierroPoligono(bool inv, bool cerrado) {
    if (!guarda_ && !cerrado) anomalo = true;
    t_.poligonos.back().cerrado = cerrado;
    almacenoTramo(actual_, inv);
    t_.poligonos.push_back({static_cast<std::uint32_t>(t_.arcos.size()), 0, false, 0});
    actual_ = 0;
    procesar_ = 1;
  }

  void buscoTramoAProcesar() {
    procesar_ = 0;
    for (std::int32_t a = 1; a <= g_.num_tramos(); ++a) {
      if (tramo(a).P1 != 0 && tramo(a).P2 != 0) continue;
      procesar_ = a;
      inv_actual_ = inv_procesar_ = tramo(a).P1 != 0;
      desde_ = inv_procesar_ ? tramo(a).N2 : tramo(a).N1;
      en_ = inv_procesar_ ? tramo(a).N1 : tramo(a).N2;
      inicio_ = desde_;
      return;
    }
    lejano_ = 0;
  }

  const telmora::Hoja& hoja_;
  telmora::GrafoTopologico& g_;
  bool guarda_;
  telmora::TablaPoligonos t_;
  bool seguir_ = true;
  std::int32_t actual_ = 0, procesar_ = 1, inicio_ = 0, desde_ = 0, en_ = 0, lejano_ = 0;
  bool inv_actual_ = false, inv_procesar_ = false;
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
      const Vertice& v = t.vertices_de(j).front();
      if (punto_en_poligono(v.x, v.y, t.vertices_de(i))) islas.islas.push_back({i, j, 0, {}});
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

// Centroids: every face against every text; the island flags looked up in the island table.
inline void centroides_literal(const telmora::IslasTopologia& islas, telmora::TablaPoligonos& t,
                               telmora::GrafoTopologico& g) {
  using namespace telmora;
  for (ResumenPoligono& r : t.resumen) {
    if (r.sentido) continue;
    const bool conserva =
        EsEnvolventeDeIsla(islas, r.NumPol) && !EsComponenteDeIsla(islas, r.NumPol);
    for (std::size_t q = 0; q < g.textos.size(); ++q) {
      TextoTopologia& texto = g.textos[q];
      if (!punto_en_rango(texto.x, texto.y, t.recinto(r.NumPol).rango) ||
          !punto_en_poligono(texto.x, texto.y, t.vertices_de(r.NumPol)))
        continue;
      if (r.Puntero_Sup == 0)
        r.Puntero_Sup = std::int32_t(q + 1);
      else if (!conserva)
        r.Puntero_Sup = kVariosPoligonos;
      const bool tomado_por_envolvente = texto.centroide > 0 &&
                                         EsEnvolventeDeIsla(islas, texto.centroide) &&
                                         !EsComponenteDeIsla(islas, texto.centroide);
      if (texto.centroide == 0 || (!conserva && tomado_por_envolvente))
        texto.centroide = r.NumPol;
      else if (!conserva)
        texto.centroide = kVariosPoligonos;
    }
  }
}

// The face under a point: the summary scanned in order.
inline std::int32_t localiza_literal(const telmora::TablaPoligonos& t, std::int32_t x,
                                     std::int32_t y) {
  using namespace telmora;
  std::int32_t encontrado = 0;
  for (const ResumenPoligono& r : t.resumen) {
    if (!punto_en_rango(x, y, t.recinto(r.NumPol).rango) ||
        !punto_en_poligono(x, y, t.vertices_de(r.NumPol)))
      continue;
    if (!r.sentido) return r.NumPol;
    encontrado = 0;
  }
  return encontrado;
}

}  // namespace prueba
