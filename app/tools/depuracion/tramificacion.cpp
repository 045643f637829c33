#include "depuracion/tramificacion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "entero_exacto.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr int kGuiones = 77;

bool mismo_lugar(const Vertice& a, const Vertice& b) {
  return a.x == b.x && a.y == b.y;
}

// Within one unit of the vertex on each axis.
bool junto_a(Punto p, const Vertice& v) {
  return std::fabs(p.x - v.x) <= 1 && std::fabs(p.y - v.y) <= 1;
}

// The cut that a crossing at P gives the element on its segment v, if any.
void corta_elemento_en(const ElementoCortable& e, std::int32_t v, Punto p, std::int32_t tolerancia,
                       TablaCortes& tabla) {
  const auto& vs = e.vertices;
  const auto n = static_cast<std::int32_t>(vs.size());
  if ((v == 2 && junto_a(p, vs.front())) || (v == n && junto_a(p, vs.back()))) return;
  const Vertice& a = vs[static_cast<std::size_t>(v - 2)];
  const Vertice& b = vs[static_cast<std::size_t>(v - 1)];
  const double da = distancia_puntos(a.x, a.y, p.x, p.y);
  const double db = distancia_puntos(b.x, b.y, p.x, p.y);
  Corte corte;
  // Vertex a whenever it is within the tolerance, even when b is nearer; then b; else the point.
  if (da < tolerancia) {
    corte = {v - 1, a.x, a.y, a.z, 0};
  } else if (db < tolerancia) {
    corte = {v, b.x, b.y, b.z, 0};
  } else {
    corte.vertice = v - 1;
    corte.x = redondea(p.x);
    corte.y = redondea(p.y);
    corte.z = cota_en_segmento(a, b, corte.x, corte.y);
    corte.distancia = redondea(da);
  }
  tabla.AlmacenaElementosAPartir(e.elemento, e.posicion, corte);
}

}  // namespace

void TablaCortes::AlmacenaElementosAPartir(std::int32_t elemento, std::int32_t posicion,
                                           const Corte& corte) {
  const auto [lugar, nuevo] = lugar_.try_emplace(elemento, entradas_.size());
  if (nuevo) {
    entradas_.push_back({elemento, posicion, {corte}});
    return;
  }
  auto& cortes = entradas_[lugar->second].cortes;
  const bool repetido = std::any_of(cortes.begin(), cortes.end(), [&](const Corte& c) {
    return c.vertice == corte.vertice && std::abs(std::int64_t{c.x} - corte.x) <= 1 &&
           std::abs(std::int64_t{c.y} - corte.y) <= 1;
  });
  if (!repetido) cortes.push_back(corte);
}

void TablaCortes::quita_primer_vertice(std::int32_t elemento) {
  const auto lugar = lugar_.find(elemento);
  if (lugar == lugar_.end()) return;
  for (Corte& c : entradas_[lugar->second].cortes) {
    if (c.vertice <= 1) {
      c.vertice = 0;
      c.distancia = 0;
    } else {
      --c.vertice;
    }
  }
}

std::vector<std::string> imprimeEntidadesPartidas(const TablaCortes& tabla) {
  std::vector<std::string> lineas;
  for (const ElementoAPartir& e : tabla.entradas()) {
    lineas.emplace_back(kGuiones, '-');
    lineas.push_back(LineaListado() << e.elemento << e.posicion << e.cortes.size());
    for (const Corte& c : e.cortes)
      lineas.push_back(LineaListado() << c.vertice << c.x << c.y << c.z << c.distancia);
  }
  return lineas;
}

std::vector<std::vector<Vertice>> piezas_de(std::span<const Vertice> vertices,
                                            std::span<const Corte> cortes) {
  const auto n = static_cast<std::int32_t>(vertices.size());
  struct Orden {
    std::int32_t vertice;
    Entero128 distancia2;
    Vertice punto;
  };
  std::vector<Orden> orden;
  for (const Corte& c : cortes) {
    if (c.vertice < 1 || c.vertice > n) continue;
    const Vertice& desde = vertices[static_cast<std::size_t>(c.vertice - 1)];
    orden.push_back({c.vertice, distancia2_exacta(desde.x, desde.y, c.x, c.y), {c.x, c.y, c.z}});
  }
  std::stable_sort(orden.begin(), orden.end(), [](const Orden& a, const Orden& b) {
    return a.vertice != b.vertice ? a.vertice < b.vertice : a.distancia2 < b.distancia2;
  });

  std::vector<std::vector<Vertice>> piezas;
  std::vector<Vertice> actual;
  auto anade = [&](const Vertice& v) {
    if (actual.empty() || !mismo_lugar(actual.back(), v)) actual.push_back(v);
  };
  auto corta = [&] {
    const Vertice ultimo = actual.back();
    if (actual.size() >= 2) piezas.push_back(std::move(actual));
    actual = {ultimo};
  };
  std::size_t k = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    anade(vertices[static_cast<std::size_t>(i - 1)]);
    for (; k < orden.size() && orden[k].vertice == i; ++k) {
      // Past the last vertex there is no segment to hold a cut.
      if (i == n && orden[k].distancia2.signo() != 0) continue;
      anade(orden[k].punto);
      corta();
    }
  }
  if (actual.size() >= 2) piezas.push_back(std::move(actual));
  return piezas;
}

std::int32_t cota_en_segmento(const Vertice& a, const Vertice& b, double x, double y) {
  if (mismo_lugar(a, b)) return a.z;
  return redondea(interpola_cota(a.z, a.x, a.y, b.z, b.x, b.y, x, y));
}

std::int32_t redondea(double valor) {
  constexpr double kMinimo = std::numeric_limits<std::int32_t>::min();
  constexpr double kMaximo = std::numeric_limits<std::int32_t>::max();
  const double r = std::nearbyint(valor);
  if (!(r >= kMinimo)) return std::numeric_limits<std::int32_t>::min();
  if (r > kMaximo) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(r);
}

void corta_en_cruce(const ElementoCortable& a, std::int32_t v, const ElementoCortable& b,
                    std::int32_t w, std::int32_t tolerancia, TablaCortes& tabla) {
  auto punto = [](const ElementoCortable& e, std::int32_t k) {
    const Vertice& p = e.vertices[static_cast<std::size_t>(k - 1)];
    return Punto{double(p.x), double(p.y)};
  };
  Punto cruce;
  if (interseccion_segmentos(punto(a, v - 1), punto(a, v), punto(b, w - 1), punto(b, w), cruce) ==
      kSinCruce) {
    return;
  }
  corta_elemento_en(a, v, cruce, tolerancia, tabla);
  corta_elemento_en(b, w, cruce, tolerancia, tabla);
}

ParesEntreElementos::ParesEntreElementos(std::span<const ElementoCortable> elementos)
    : elementos_(elementos) {
  std::vector<Caja> cajas;
  primer_segmento_.reserve(elementos.size() + 1);
  for (std::size_t i = 0; i < elementos.size(); ++i) {
    primer_segmento_.push_back(static_cast<std::uint32_t>(cajas.size()));
    const auto& v = elementos[i].vertices;
    for (std::size_t k = 1; k < v.size(); ++k) {
      cajas.push_back(caja_de_segmento(v[k - 1], v[k]));
      elemento_de_.push_back(static_cast<std::int32_t>(i));
    }
  }
  primer_segmento_.push_back(static_cast<std::uint32_t>(cajas.size()));
  rejilla_ = RejillaCajas(cajas);
}

void ParesEntreElementos::pares_de(std::size_t i, std::vector<ParSegmentos>& salida) const {
  salida.clear();
  const auto& v = elementos_[i].vertices;
  // Places are numbered element by element: the later elements' segments come after this one.
  const auto despues = static_cast<std::int32_t>(primer_segmento_[i + 1]);
  for (std::size_t k = 1; k < v.size(); ++k) {
    const Caja caja = caja_de_segmento(v[k - 1], v[k]);
    rejilla_.candidatas(caja.xmin, caja.ymin, caja.xmax, caja.ymax, candidatas_);
    for (auto p = std::lower_bound(candidatas_.begin(), candidatas_.end(), despues);
         p != candidatas_.end(); ++p) {
      const std::int32_t j = elemento_de_[static_cast<std::size_t>(*p)];
      const auto w = static_cast<std::int32_t>(*p - primer_segmento_[static_cast<std::size_t>(j)]);
      const auto& vj = elementos_[static_cast<std::size_t>(j)].vertices;
      const auto sw = static_cast<std::size_t>(w);
      if (!cajas_solapan(caja, caja_de_segmento(vj[sw], vj[sw + 1]))) continue;
      salida.push_back({j, static_cast<std::int32_t>(k + 1), w + 2});
    }
  }
  // Gathered by v, and by (j, w) for each v: a stable sort by j gives the plain search's order.
  std::stable_sort(salida.begin(), salida.end(),
                   [](const ParSegmentos& a, const ParSegmentos& b) { return a.j < b.j; });
}

}  // namespace telmora
