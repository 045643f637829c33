#include "depuracion/enganche.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "funciones.h"
#include "modulo_apis.h"
#include "rejilla_tolerancia.h"

namespace telmora {

namespace {

bool mismo_lugar(const Vertice& a, const Vertice& b) {
  return a.x == b.x && a.y == b.y;
}

// Strictly less than the tolerance apart on each axis.
bool dentro(std::int64_t a, std::int64_t b, std::int32_t tolerancia) {
  return std::abs(a - b) < tolerancia;
}

Caja caja_de(std::span<const Vertice> vertices) {
  Caja caja{std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
  for (const Vertice& v : vertices) {
    caja.xmin = std::min(caja.xmin, v.x);
    caja.ymin = std::min(caja.ymin, v.y);
    caja.xmax = std::max(caja.xmax, v.x);
    caja.ymax = std::max(caja.ymax, v.y);
  }
  return caja;
}

// How far the end of a dangling arc is pushed on one axis to extend it: the tolerance, away from
// the vertex before the end; nothing on an axis along which the arc does not advance.
std::int64_t empuje(std::int32_t extremo, std::int32_t previo, std::int32_t tolerancia) {
  if (extremo > previo) return tolerancia;
  if (extremo < previo) return -std::int64_t{tolerancia};
  return 0;
}

std::int32_t a_entero(std::int64_t valor) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      valor, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t tolerancia_binjunta(const Ajustes& ajustes) {
  return redondea(ajustes.tolerancia_tentativo / 2 * ajustes.uds);
}

RedBinjunta::RedBinjunta(const Hoja& hoja, const EntidadesDibujadas& dibujadas,
                         std::int32_t tolerancia)
    : grafo(CargoNodosTramos(hoja, dibujadas)),
      hoja_(hoja),
      dibujadas_(dibujadas),
      tolerancia_(tolerancia) {
  copia_de_.assign(hoja.c.size(), -1);
  estados_.assign(hoja.c.size(), 0);
  cajas_.reserve(hoja.c.size());
  for (const Entidad& e : hoja.c) cajas_.push_back(caja_de(hoja.vertices_de(e)));
}

std::span<const Vertice> RedBinjunta::vertices(std::int32_t elemento) const {
  const std::int32_t copia = copia_de_[indice(elemento)];
  if (copia >= 0) return copias_[static_cast<std::size_t>(copia)];
  return hoja_.vertices_de(hoja_.c[indice(elemento)]);
}

bool RedBinjunta::activo(std::int32_t elemento) const {
  return hoja_.activa(hoja_.c[indice(elemento)]);
}

std::int32_t RedBinjunta::posicion(std::int32_t elemento) const {
  std::int32_t posicion = 0, numero = 0;
  busca_en_indice(hoja_, elemento, kIndiceTipoC, posicion, numero);
  return posicion;
}

std::vector<ElementoCortable> RedBinjunta::elementos_cortables() const {
  std::vector<ElementoCortable> elementos;
  for (std::int32_t e = 1; e <= num_elementos(); ++e) {
    if (!dibujado(e) || !activo(e) || vertices(e).size() < 2) continue;
    elementos.push_back({e, posicion(e), vertices(e)});
  }
  return elementos;
}

bool RedBinjunta::nodos_cercanos(std::int32_t i, std::int32_t j) const {
  const Nodo& a = grafo.nodo(i);
  const Nodo& b = grafo.nodo(j);
  return dentro(a.x, b.x, tolerancia_) && dentro(a.y, b.y, tolerancia_);
}

void RedBinjunta::engancha_a_nodo(std::int32_t i, std::int32_t j) {
  Nodo& n = grafo.nodo(i);
  Nodo& destino = grafo.nodo(j);
  n.x = destino.x;
  n.y = destino.y;
  ++n.valencia;
  ++destino.valencia;
  ++nodos_movidos;
  ModificaElemento(i, ConNodoObtenerElemento(i));
}

ExtremoNodo RedBinjunta::ConNodoObtenerElemento(std::int32_t nodo) const {
  const auto estrella = grafo.estrella(nodo);
  if (estrella.empty()) return {};
  const std::int32_t elemento = grafo.tramo(tramo_de(estrella.front())).elemento;
  const auto n = static_cast<std::int32_t>(vertices(elemento).size());
  if (n < 2) return {};
  if (invertido_de(estrella.front())) return {elemento, n, n - 1};
  return {elemento, 1, 2};
}

void RedBinjunta::ModificaElemento(std::int32_t nodo, const ExtremoNodo& extremo) {
  if (extremo.elemento == 0) return;
  const std::size_t k = indice(extremo.elemento);
  if (copia_de_[k] < 0) {
    const auto original = vertices(extremo.elemento);
    copia_de_[k] = static_cast<std::int32_t>(copias_.size());
    copias_.emplace_back(original.begin(), original.end());
  }
  std::vector<Vertice>& v = copias_[static_cast<std::size_t>(copia_de_[k])];
  const Nodo& n = grafo.nodo(nodo);
  Vertice& extremo_movido = v[static_cast<std::size_t>(extremo.vertice_p - 1)];
  extremo_movido.x = n.x;
  extremo_movido.y = n.y;
  estados_[k] |= kMovido;
  if (mismo_lugar(extremo_movido, v[static_cast<std::size_t>(extremo.vertice_s - 1)])) {
    if (extremo.vertice_p == 1) {
      v.erase(v.begin());
      cortes.quita_primer_vertice(extremo.elemento);
    } else {
      v.pop_back();
    }
    estados_[k] |= kAcortado;
  }
  cajas_[k] = caja_de(v);
}

Enganche RedBinjunta::ChequeaCortes(std::int32_t elemento, std::int32_t nodo,
                                    const ExtremoNodo& colgante) const {
  const auto v = vertices(elemento);
  const auto n = static_cast<std::int32_t>(v.size());
  const Nodo& q = grafo.nodo(nodo);
  Enganche enganche;
  for (std::int32_t k = 1; k <= n; ++k) {
    const Vertice& p = v[static_cast<std::size_t>(k - 1)];
    if (!dentro(p.x, q.x, tolerancia_) || !dentro(p.y, q.y, tolerancia_)) continue;
    enganche.xc = p.x;
    enganche.yc = p.y;
    enganche.tipoMov = kAVertice;
    enganche.vertice_elemento = k == 1 || k == n ? 0 : k;
    return enganche;
  }
  for (std::int32_t k = 2; k <= n; ++k) {
    const Vertice& a = v[static_cast<std::size_t>(k - 2)];
    const Vertice& b = v[static_cast<std::size_t>(k - 1)];
    // A segment without length has no perpendicular: its point was tried as a vertex.
    if (mismo_lugar(a, b)) continue;
    const Proyeccion pie = proyeccion(a.x, a.y, b.x, b.y, q.x, q.y);
    if (!pie.en_segmento || !(pie.distancia < tolerancia_)) continue;
    // The dangling arc's last segment, from the vertex before the end to the end pushed on by
    // the tolerance, crossed with this segment.
    const Vertice& previo =
        vertices(colgante.elemento)[static_cast<std::size_t>(colgante.vertice_s - 1)];
    const Punto extendido{double(q.x + empuje(q.x, previo.x, tolerancia_)),
                          double(q.y + empuje(q.y, previo.y, tolerancia_))};
    Punto cruce;
    const int codigo =
        interseccion_segmentos({double(previo.x), double(previo.y)}, extendido,
                               {double(a.x), double(a.y)}, {double(b.x), double(b.y)}, cruce);
    if (codigo == kCruce && distancia_puntos(cruce.x, cruce.y, pie.xf, pie.yf) < tolerancia_) {
      enganche.xc = cruce.x;
      enganche.yc = cruce.y;
      enganche.tipoMov = kACruceDeArco;
    } else {
      enganche.xc = pie.xf;
      enganche.yc = pie.yf;
      enganche.tipoMov = kAPie;
    }
    enganche.vertice_elemento = k - 1;
    enganche.distanc = distancia_puntos(a.x, a.y, enganche.xc, enganche.yc);
    return enganche;
  }
  return enganche;
}

void RedBinjunta::engancha_a_elemento(std::int32_t nodo, const ExtremoNodo& colgante,
                                      std::int32_t elemento, const Enganche& enganche) {
  Nodo& n = grafo.nodo(nodo);
  n.x = redondea(enganche.xc);
  n.y = redondea(enganche.yc);
  ++n.valencia;
  ++nodos_movidos;
  ModificaElemento(nodo, colgante);

  const auto v = vertices(elemento);
  Corte corte{enganche.vertice_elemento, n.x, n.y, 0, redondea(enganche.distanc)};
  if (corte.vertice == 0) {
    corte.z = mismo_lugar(v.front(), {n.x, n.y, 0}) ? v.front().z : v.back().z;
  } else {
    const auto k = static_cast<std::size_t>(corte.vertice);
    corte.z = cota_en_segmento(v[k - 1], v[k], corte.x, corte.y);
  }
  cortes.AlmacenaElementosAPartir(elemento, posicion(elemento), corte);
}

void BuscaNodoProximo(RedBinjunta& red, Progreso& progreso) {
  GrafoTopologico& grafo = red.grafo;
  const std::int32_t nodos = grafo.num_nodos();
  const std::int32_t tolerancia = red.tolerancia();
  ContadorPorcentaje avance(progreso, nodos);
  if (tolerancia <= 0) return;

  // A node only ever moves onto another node's position, so every node stands on one of the
  // positions the nodes had at the start (their sites, numbered as the nodes). The grid holds
  // the sites; each site keeps the nodes standing on it, ascending.
  const std::vector<Nodo> sitios = grafo.nodos;
  const MallaTolerancia malla(tolerancia);
  std::vector<EntradaRejilla> entradas;
  entradas.reserve(sitios.size());
  for (std::int32_t s = 1; s <= nodos; ++s) {
    const Nodo& p = sitios[static_cast<std::size_t>(s - 1)];
    entradas.push_back({malla.clave(p.x, p.y), s, 0});
  }
  const RejillaTolerancia rejilla(entradas);
  std::vector<std::int32_t> sitio(static_cast<std::size_t>(nodos) + 1);
  std::vector<std::vector<std::int32_t>> ocupantes(static_cast<std::size_t>(nodos) + 1);
  for (std::int32_t s = 1; s <= nodos; ++s) {
    sitio[static_cast<std::size_t>(s)] = s;
    ocupantes[static_cast<std::size_t>(s)] = {s};
  }
  // The sites within the tolerance of a site, itself included; worked out when first needed.
  std::vector<std::vector<std::int32_t>> vecinos(static_cast<std::size_t>(nodos) + 1);
  std::vector<unsigned char> con_vecinos(static_cast<std::size_t>(nodos) + 1, 0);
  auto vecinos_de = [&](std::int32_t s) -> const std::vector<std::int32_t>& {
    auto& lista = vecinos[static_cast<std::size_t>(s)];
    if (con_vecinos[static_cast<std::size_t>(s)]) return lista;
    con_vecinos[static_cast<std::size_t>(s)] = 1;
    const Nodo& p = sitios[static_cast<std::size_t>(s - 1)];
    for (const std::uint64_t clave : CeldasVecinas(p.x, p.y, malla)) {
      for (const EntradaRejilla& e : rejilla.posteriores(clave, 0)) {
        const Nodo& o = sitios[static_cast<std::size_t>(e.numero - 1)];
        if (e.clave == clave && dentro(o.x, p.x, tolerancia) && dentro(o.y, p.y, tolerancia))
          lista.push_back(e.numero);
      }
    }
    return lista;
  };
  // The first node after `ultimo`, other than i, standing within the tolerance of i.
  auto siguiente = [&](std::int32_t i, std::int32_t ultimo) {
    std::int32_t mejor = 0;
    for (const std::int32_t s : vecinos_de(sitio[static_cast<std::size_t>(i)])) {
      const auto& en_sitio = ocupantes[static_cast<std::size_t>(s)];
      auto p = std::upper_bound(en_sitio.begin(), en_sitio.end(), ultimo);
      if (p != en_sitio.end() && *p == i) ++p;
      if (p != en_sitio.end() && (mejor == 0 || *p < mejor)) mejor = *p;
    }
    return mejor;
  };

  for (std::int32_t i = 1; i <= nodos; ++i) {
    avance.avanza(i);
    if (grafo.nodo(i).valencia != 1) continue;
    for (std::int32_t j = siguiente(i, 0); j != 0; j = siguiente(i, j)) {
      red.engancha_a_nodo(i, j);
      const std::int32_t desde = sitio[static_cast<std::size_t>(i)];
      const std::int32_t hacia = sitio[static_cast<std::size_t>(j)];
      if (desde == hacia) continue;
      auto& antes = ocupantes[static_cast<std::size_t>(desde)];
      antes.erase(std::find(antes.begin(), antes.end(), i));
      auto& ahora = ocupantes[static_cast<std::size_t>(hacia)];
      ahora.insert(std::upper_bound(ahora.begin(), ahora.end(), i), i);
      sitio[static_cast<std::size_t>(i)] = hacia;
    }
  }
}

void BuscaNodoEntidadProxima(RedBinjunta& red, Progreso& progreso) {
  const GrafoTopologico& grafo = red.grafo;
  const std::int32_t tolerancia = red.tolerancia();
  ContadorPorcentaje avance(progreso, grafo.num_nodos());
  if (tolerancia <= 0) return;

  // The grid holds the segments of the active elements (a point element as its one point), in
  // element order. Each end of an element moves at most once here, by less than twice the
  // tolerance on each axis, so boxes widened by that much hold every segment as it will be.
  // A point within the tolerance of a segment lies within its box widened by the tolerance; one
  // unit more covers the rounding of the projection.
  const std::int64_t holgura = 2 * std::int64_t{tolerancia} + 2;
  std::vector<Caja> cajas;
  std::vector<std::int32_t> elementos;
  auto anade = [&](std::int32_t e, const Caja& c) {
    cajas.push_back({a_entero(c.xmin - holgura), a_entero(c.ymin - holgura),
                     a_entero(c.xmax + holgura), a_entero(c.ymax + holgura)});
    elementos.push_back(e);
  };
  for (std::int32_t e = 1; e <= red.num_elementos(); ++e) {
    if (!red.activo(e)) continue;
    const auto v = red.vertices(e);
    if (v.size() == 1) anade(e, caja_de_segmento(v[0], v[0]));
    for (std::size_t k = 1; k < v.size(); ++k) anade(e, caja_de_segmento(v[k - 1], v[k]));
  }
  const RejillaCajas rejilla(cajas);
  const double alcance = tolerancia + 1.0;
  std::vector<std::int32_t> candidatas;

  for (std::int32_t n = 1; n <= grafo.num_nodos(); ++n) {
    avance.avanza(n);
    if (grafo.nodo(n).valencia != 1) continue;
    const ExtremoNodo colgante = red.ConNodoObtenerElemento(n);
    if (colgante.elemento == 0) continue;
    const Nodo& q = grafo.nodo(n);
    rejilla.candidatas(q.x - alcance, q.y - alcance, q.x + alcance, q.y + alcance, candidatas);
    // Places ascend with the elements, so each element's segments come together.
    std::int32_t anterior = 0;
    for (const std::int32_t lugar : candidatas) {
      const std::int32_t e = elementos[static_cast<std::size_t>(lugar)];
      if (e == anterior) continue;
      anterior = e;
      if (e == colgante.elemento || !red.activo(e)) continue;
      const Enganche enganche = red.ChequeaCortes(e, n, colgante);
      if (enganche.tipoMov == kSinMovimiento) continue;
      red.engancha_a_elemento(n, colgante, e, enganche);
      break;
    }
  }
}

}  // namespace telmora
