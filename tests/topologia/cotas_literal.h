// Arc elevations as a plain reading of their rules, every lookup a scan: the node of a PSCT point
// from node 1 upward, the arcs at a node over the whole arc table, an arc's entry over the
// entries, the PSCT point off the nodes over the PSCT table; Z from texts polygon by polygon,
// each arc written from both sides. The tests check the hashed versions against these.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>

#include "funciones.h"
#include "texto.h"
#include "topologia/cotas.h"

namespace prueba {

inline telmora::SubidaCotaTramos subida_literal(const telmora::Hoja& hoja,
                                                const telmora::EntidadesDibujadas& dibujadas,
                                                const telmora::GrafoTopologico& grafo) {
  using namespace telmora;
  SubidaCotaTramos s;
  for (const Entidad& e : hoja.c) {
    std::string codigo = limpia_texto(hoja.cabecera_de(e).codigo_bruto());
    for (char& c : codigo) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!dibujadas.contiene(e) || !hoja.activa(e) || !codigo.starts_with("PSCT")) continue;
    const Vertice& v = hoja.vertices_de(e)[0];
    std::int32_t nodo = 0;
    for (std::int32_t n = grafo.num_nodos(); n >= 1; --n) {
      if (grafo.nodo(n).x == v.x && grafo.nodo(n).y == v.y) nodo = n;
    }
    s.puntos.push_back({v.x, v.y, v.z, nodo});
  }
  for (std::size_t p = 0; p < s.puntos.size(); ++p) {
    const std::int32_t n = s.puntos[p].nodo;
    if (n == 0) continue;
    for (std::int32_t a = 1; a <= grafo.num_tramos(); ++a) {
      const Tramo& t = grafo.tramo(a);
      if (t.N1 != n && t.N2 != n) continue;
      auto existe = std::find_if(s.tramos.begin(), s.tramos.end(),
                                 [&](const TramoASubir& x) { return x.elemento == t.elemento; });
      if (existe == s.tramos.end()) existe = s.tramos.insert(s.tramos.end(), {t.elemento, a, 0, 0});
      (t.N1 == n ? existe->psct_N1 : existe->psct_N2) = static_cast<std::int32_t>(p + 1);
    }
  }
  auto punto_no_nodo = [&](const Vertice& v) {
    for (const PuntoPSCT& p : s.puntos) {
      if (p.nodo == 0 && p.x == v.x && p.y == v.y) return p.z;
    }
    return 0;
  };
  for (const TramoASubir& t : s.tramos) {
    if (t.psct_N1 == 0 || t.psct_N2 == 0) {
      ++s.no_modificados;
      continue;
    }
    const Entidad& e = hoja.c[std::size_t(t.elemento - 1)];
    std::vector<Vertice> v(hoja.vertices_de(e).begin(), hoja.vertices_de(e).end());
    const std::int32_t z1 = s.puntos[std::size_t(t.psct_N1 - 1)].z;
    const std::int32_t z2 = s.puntos[std::size_t(t.psct_N2 - 1)].z;
    std::size_t desde = 0;
    std::int32_t cota = z1;
    double d = 0;
    for (std::size_t k = 1; k < v.size(); ++k) {
      d += distancia_puntos(v[k - 1].x, v[k - 1].y, v[k].x, v[k].y);
      const std::int32_t aqui = punto_no_nodo(v[k]);
      if (aqui == 0) continue;
      interpola(v, desde, k, cota, aqui, d);
      desde = k, cota = aqui, d = 0;
    }
    if (d != 0) interpola(v, desde, v.size() - 1, cota, z2, d);
    v.front().z = z1;
    v.back().z = z2;
    Rango r = hoja.rango_de(e);
    rango_real(r, v);
    s.cambios.anade(t.elemento, r, v);
  }
  return s;
}

// The elevation each element gets from the faces' texts (by place in the C array), and the arcs
// with none, walking every polygon's arcs and their neighbours; an arc passed over gets what the
// arc walked in its place gets.
struct CotasLiterales {
  std::map<std::int32_t, std::int32_t> cota;
  std::int32_t sin_cota = 0;
};

inline CotasLiterales cotas_recintos_literal(const telmora::GrafoTopologico& grafo,
                                             const telmora::TablaPoligonos& tabla) {
  using namespace telmora;
  auto cota_de = [&](std::int32_t p, std::int32_t& z) {
    if (p < 1) return false;
    for (const ResumenPoligono& r : tabla.resumen) {
      if (tabla.poligono_de(r.NumPol) != p) continue;
      if (r.sentido || r.Puntero_Sup < 1) return false;
      z = grafo.textos[std::size_t(r.Puntero_Sup - 1)].z;
      return true;
    }
    return false;
  };
  CotasLiterales c;
  for (std::int32_t p = 1; p <= tabla.num_poligonos(); ++p) {
    const auto arcos = tabla.arcos_de(p);
    const auto vecinos = tabla.adyacencia_de(p);
    for (std::size_t k = 0; k < arcos.size(); ++k) {
      std::int32_t z1 = 0, z2 = 0;
      const bool en_p = cota_de(p, z1), en_q = cota_de(vecinos[k], z2);
      if (!en_p && !en_q) continue;
      const std::int32_t cota = en_p && en_q ? std::max(z1, z2) : (en_p ? z1 : z2);
      c.cota[grafo.tramo(arcos[k].tramo).elemento] = cota;
      // The arcs passed over in its place get the same.
      for (const ArcoPasado& pasado : tabla.pasados) {
        if (pasado.igual_a == arcos[k].tramo) c.cota[grafo.tramo(pasado.tramo).elemento] = cota;
      }
    }
  }
  for (const Tramo& t : grafo.tramos) c.sin_cota += c.cota.count(t.elemento) == 0;
  return c;
}

}  // namespace prueba
