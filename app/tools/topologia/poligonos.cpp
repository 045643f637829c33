#include "topologia/poligonos.h"

#include <algorithm>
#include <cmath>

#include "funciones.h"
#include "texto.h"
#include "topologia/geometria_exacta.h"

namespace telmora {

namespace {

std::span<const Vertice> vertices_de_tramo(const Hoja& hoja, const Tramo& t) {
  return hoja.vertices_de(hoja.c[std::size_t(t.elemento - 1)]);
}

// The course of an arc from one of its ends, one segment at a time, repeated points skipped.
class Trazo {
 public:
  Trazo(std::span<const Vertice> v, bool invertido) : v_(v), invertido_(invertido) {
    hasta_ = distinto_tras(0);
  }
  bool termina() const { return hasta_ >= v_.size(); }
  const Vertice& destino() const { return en(hasta_); }
  Direccion direccion() const { return direccion_entre(en(desde_), en(hasta_)); }
  void avanza() {
    desde_ = hasta_;
    hasta_ = distinto_tras(desde_);
  }

 private:
  const Vertice& en(std::size_t k) const { return v_[invertido_ ? v_.size() - 1 - k : k]; }
  std::size_t distinto_tras(std::size_t k) const {
    std::size_t siguiente = k + 1;
    while (siguiente < v_.size() && en(siguiente).x == en(k).x && en(siguiente).y == en(k).y) {
      ++siguiente;
    }
    return siguiente;
  }

  std::span<const Vertice> v_;
  bool invertido_;
  std::size_t desde_ = 0, hasta_ = 0;
};

Trazo trazo_de(const Hoja& hoja, const GrafoTopologico& grafo, std::int32_t s) {
  return {vertices_de_tramo(hoja, grafo.tramo(tramo_de(s))), invertido_de(s)};
}

int signo(std::int64_t v) {
  return (v > 0) - (v < 0);
}

// Which of two points ahead on a ray of direction d is nearer: -1 the first, 1 the second.
int compara_avance(Direccion d, const Vertice& a, const Vertice& b) {
  if ((d.dx < 0 ? -d.dx : d.dx) >= (d.dy < 0 ? -d.dy : d.dy)) {
    return signo(d.dx) * signo(std::int64_t{a.x} - b.x);
  }
  return signo(d.dy) * signo(std::int64_t{a.y} - b.y);
}

// Two courses that leave a point in the same direction, followed along their common stretch to
// where they part: there the one that turns further right comes later, and one that ends comes
// first.
int compara_tras_salida(Trazo p, Trazo q) {
  for (;;) {
    const Direccion d = p.direccion();
    const int cerca = compara_avance(d, p.destino(), q.destino());
    if (cerca <= 0) p.avanza();
    if (cerca >= 0) q.avanza();
    if (p.termina() || q.termina()) return int(q.termina()) - int(p.termina());
    const Direccion dp = p.direccion(), dq = q.direccion();
    if (mismo_sentido(dp, dq)) continue;
    return compara_giro_horario({-d.dx, -d.dy}, dp, dq);
  }
}

}  // namespace

int compara_salidas(const Hoja& hoja, const GrafoTopologico& grafo, std::int32_t a,
                    std::int32_t b) {
  const Trazo p = trazo_de(hoja, grafo, a), q = trazo_de(hoja, grafo, b);
  const int orden = compara_azimut(p.direccion(), q.direccion());
  return orden != 0 ? orden : compara_tras_salida(p, q);
}

// The ways out of every node in clockwise order, with the arcs that repeat another's course set
// aside, and the walk over them.
class Recorrido {
 public:
  Recorrido(const Hoja& hoja, GrafoTopologico& grafo, TablaPoligonos& tabla, Progreso& progreso)
      : hoja_(hoja),
        grafo_(grafo),
        tabla_(tabla),
        contador_(progreso, 2 * std::int64_t(grafo.num_tramos())),
        igual_a_(std::size_t(grafo.num_tramos()) + 1, 0),
        lugar_(2 * (std::size_t(grafo.num_tramos()) + 1), 0) {
    ordena_salidas();
  }

  void ejecuta() {
    std::vector<std::int32_t> ciclo;
    for (std::int32_t a = 1; a <= grafo_.num_tramos(); ++a) {
      if (!recorrible(a)) continue;
      for (const bool invertido : {false, true}) {
        const std::int32_t inicio = semiarco(a, invertido);
        if (lado(inicio) != 0) continue;
        ciclo.clear();
        std::int32_t s = inicio;
        do {
          ciclo.push_back(s);
          s = siguiente(s);
        } while (s != inicio);
        guarda_ciclo(ciclo);
      }
    }
  }

 private:
  bool recorrible(std::int32_t a) const {
    return grafo_.tramo(a).P1 != kTramoAnulado && igual_a_[std::size_t(a)] == 0;
  }
  std::int32_t lado(std::int32_t s) const {
    const Tramo& t = grafo_.tramo(tramo_de(s));
    return invertido_de(s) ? t.P2 : t.P1;
  }
  std::int32_t llegada(std::int32_t s) const {
    const Tramo& t = grafo_.tramo(tramo_de(s));
    return invertido_de(s) ? t.N1 : t.N2;
  }

  // The way out after the way back, clockwise: the sharpest left turn.
  std::int32_t siguiente(std::int32_t s) const {
    const std::int32_t nodo = llegada(s);
    const std::uint32_t primero = inicio_[std::size_t(nodo - 1)];
    const std::uint32_t grado = inicio_[std::size_t(nodo)] - primero;
    const std::uint32_t atras = lugar_[std::size_t(s ^ 1)];
    return salidas_[primero + (atras - primero + 1) % grado];
  }

  void ordena_salidas() {
    std::vector<Direccion> primera(lugar_.size());
    for (std::int32_t a = 1; a <= grafo_.num_tramos(); ++a) {
      for (const bool invertido : {false, true}) {
        const std::int32_t s = semiarco(a, invertido);
        primera[std::size_t(s)] = trazo_de(hoja_, grafo_, s).direccion();
      }
    }
    auto antes = [&](std::int32_t a, std::int32_t b) {
      const int orden = compara_azimut(primera[std::size_t(a)], primera[std::size_t(b)]);
      if (orden != 0) return orden < 0;
      return compara_tras_salida(trazo_de(hoja_, grafo_, a), trazo_de(hoja_, grafo_, b)) < 0;
    };
    inicio_.assign(std::size_t(grafo_.num_nodos()) + 1, 0);
    for (std::int32_t n = 1; n <= grafo_.num_nodos(); ++n) {
      const auto desde = std::ptrdiff_t(salidas_.size());
      for (const std::int32_t s : grafo_.estrella(n)) {
        if (grafo_.tramo(tramo_de(s)).P1 != kTramoAnulado) salidas_.push_back(s);
      }
      std::sort(salidas_.begin() + desde, salidas_.end(), antes);
      aparta_repetidos(std::span(salidas_).subspan(std::size_t(desde)), antes);
      inicio_[std::size_t(n)] = std::uint32_t(salidas_.size());
    }
    // The arcs set aside leave the stars; each way out keeps its place.
    std::size_t quedan = 0, desde = 0;
    for (std::size_t n = 1; n < inicio_.size(); ++n) {
      for (std::size_t i = desde; i < inicio_[n]; ++i) {
        const std::int32_t s = salidas_[i];
        if (igual_a_[std::size_t(tramo_de(s))] != 0) continue;
        lugar_[std::size_t(s)] = std::uint32_t(quedan);
        salidas_[quedan++] = s;
      }
      desde = inicio_[n];
      inicio_[n] = std::uint32_t(quedan);
    }
    salidas_.resize(quedan);
    for (std::int32_t a = 1; a <= grafo_.num_tramos(); ++a) {
      if (igual_a_[std::size_t(a)] != 0) tabla_.pasados.push_back({a, igual_a_[std::size_t(a)]});
    }
  }

  // Ways out with the same course lie side by side once sorted: all but the first arc of each
  // run are set aside. Both ends of an arc see the same run.
  template <typename Antes>
  void aparta_repetidos(std::span<const std::int32_t> lista, const Antes& antes) {
    for (std::size_t i = 0; i < lista.size();) {
      std::size_t fin = i + 1;
      std::int32_t menor = tramo_de(lista[i]);
      while (fin < lista.size() && !antes(lista[i], lista[fin])) {
        menor = std::min(menor, tramo_de(lista[fin]));
        ++fin;
      }
      for (std::size_t k = i; k < fin && fin - i > 1; ++k) {
        const std::int32_t a = tramo_de(lista[k]);
        if (a != menor) igual_a_[std::size_t(a)] = menor;
      }
      i = fin;
    }
  }

  // One ring, or, where it turned back at an end of the network, the open polygons between its
  // turns, the one holding the ring's first side first.
  void guarda_ciclo(std::vector<std::int32_t>& ciclo) {
    auto vuelve_en_un_extremo = [&](std::int32_t s) {
      return siguiente(s) == (s ^ 1) && grafo_.nodo(llegada(s)).valencia < 2;
    };
    const auto ultimo = std::find_if(ciclo.rbegin(), ciclo.rend(), vuelve_en_un_extremo);
    if (ultimo == ciclo.rend()) {
      guarda_poligono(ciclo, true);
      return;
    }
    std::rotate(ciclo.begin(), ultimo.base(), ciclo.end());
    std::size_t desde = 0;
    for (std::size_t i = 0; i < ciclo.size(); ++i) {
      if (!vuelve_en_un_extremo(ciclo[i])) continue;
      guarda_poligono(std::span(ciclo).subspan(desde, i + 1 - desde), false);
      desde = i + 1;
    }
  }

  void guarda_poligono(std::span<const std::int32_t> lados, bool cerrado) {
    tabla_.poligonos.push_back({std::uint32_t(tabla_.arcos.size()), 0, cerrado, 0});
    Poligono& p = tabla_.poligonos.back();
    const std::int32_t numero = tabla_.num_poligonos();
    for (const std::int32_t s : lados) {
      contador_.avanza(++almacenados_);
      tabla_.arcos.push_back({tramo_de(s), invertido_de(s)});
      ++p.num_tramos;
      Tramo& t = grafo_.tramo(tramo_de(s));
      (invertido_de(s) ? t.P2 : t.P1) = numero;
      (invertido_de(s) ? t.posicion_P2 : t.posicion_P1) = p.num_tramos;
    }
  }

  const Hoja& hoja_;
  GrafoTopologico& grafo_;
  TablaPoligonos& tabla_;
  ContadorPorcentaje contador_;
  std::vector<std::int32_t> igual_a_;  // by arc: the arc walked in its place, or 0
  std::vector<std::uint32_t> inicio_;  // by node: where its ways out begin in salidas_
  std::vector<std::int32_t> salidas_;  // the ways out of every node, clockwise from north
  std::vector<std::uint32_t> lugar_;   // by half-edge: its place in salidas_
  std::int64_t almacenados_ = 0;
};

TablaPoligonos proceso_recorrido(const Hoja& hoja, GrafoTopologico& grafo, Progreso& progreso) {
  TablaPoligonos tabla;
  Recorrido recorrido(hoja, grafo, tabla, progreso);
  recorrido.ejecuta();
  return tabla;
}

void construye_recintos(const Hoja& hoja, const GrafoTopologico& grafo, int uds,
                        TablaPoligonos& tabla) {
  tabla.recintos.clear();
  tabla.vertices.clear();
  tabla.resumen.clear();
  tabla.poligono_de_cerrado_.clear();
  const double u = uds;
  for (std::int32_t k = 1; k <= tabla.num_poligonos(); ++k) {
    Poligono& p = tabla.poligonos[std::size_t(k - 1)];
    if (!p.cerrado) continue;
    tabla.poligono_de_cerrado_.push_back(k);
    p.numero_cerrado = static_cast<std::int32_t>(tabla.poligono_de_cerrado_.size());
    RecintoTopologia r;
    r.primer_vertice = static_cast<std::uint32_t>(tabla.vertices.size());
    AreaDoble area;
    auto almacena = [&](const Vertice& v) {
      if (r.num_vertices == 0) {
        r.rango.xmin = r.rango.xmax = v.x;
        r.rango.ymin = r.rango.ymax = v.y;
        r.rango.zmin = r.rango.zmax = v.z;
      } else {
        area.anade_lado(tabla.vertices.back(), v);
        r.rango.xmin = std::min(r.rango.xmin, v.x), r.rango.xmax = std::max(r.rango.xmax, v.x);
        r.rango.ymin = std::min(r.rango.ymin, v.y), r.rango.ymax = std::max(r.rango.ymax, v.y);
        r.rango.zmin = std::min(r.rango.zmin, v.z), r.rango.zmax = std::max(r.rango.zmax, v.z);
      }
      tabla.vertices.push_back(v);
      ++r.num_vertices;
    };
    bool primero = true;
    for (const ArcoDePoligono& a : tabla.arcos_de(k)) {
      const auto v = vertices_de_tramo(hoja, grafo.tramo(a.tramo));
      const std::size_t salto = primero ? 0 : 1;  // the shared node is not repeated
      if (a.invierteTramo) {
        for (std::size_t i = v.size() - salto; i-- > 0;) almacena(v[i]);
      } else {
        for (std::size_t i = salto; i < v.size(); ++i) almacena(v[i]);
      }
      primero = false;
    }
    tabla.recintos.push_back(r);
    // The area in square metres: half the doubled area over uds squared.
    const double sup = std::fabs(area.valor()) / (2 * u * u);
    tabla.resumen.push_back({p.numero_cerrado, sup, area.signo() >= 0, 0});
  }
  std::vector<RegistroClave> registros;
  registros.reserve(tabla.resumen.size());
  for (const ResumenPoligono& r : tabla.resumen) registros.push_back({r.NumPol, r.Sup, 0});
  ordena_por_clave(registros);
  tabla.por_superficie.clear();
  for (const RegistroClave& r : registros) tabla.por_superficie.push_back(r.entero);
}

void calculaAdyacencia(const GrafoTopologico& grafo, TablaPoligonos& tabla) {
  tabla.adyacencia.resize(tabla.arcos.size());
  for (std::int32_t k = 1; k <= tabla.num_poligonos(); ++k) {
    const Poligono& p = tabla.poligono(k);
    for (std::int32_t i = 0; i < p.num_tramos; ++i) {
      const std::size_t e = p.primer_arco + std::size_t(i);
      const Tramo& t = grafo.tramo(tabla.arcos[e].tramo);
      tabla.adyacencia[e] = t.P1 == k ? t.P2 : t.P1;
    }
  }
}

void imprimepol(const TablaPoligonos& tabla, const SalidaLineas& linea) {
  const std::string separador(58, '-');
  linea("********POLIGONOS*********");
  for (std::int32_t k = 1; k <= tabla.num_poligonos(); ++k) {
    const Poligono& p = tabla.poligono(k);
    linea(separador);
    linea((LineaListado() << k << p.cerrado << "1" << p.num_tramos).str());
    linea("");
    const auto arcos = tabla.arcos_de(k);
    for (std::size_t i = 0; i < arcos.size(); ++i) {
      linea((LineaListado() << i + 1 << arcos[i].invierteTramo << arcos[i].tramo).str());
    }
    linea("Adyacencia");
    if (tabla.adyacencia.size() != tabla.arcos.size()) continue;
    const auto vecinos = tabla.adyacencia_de(k);
    for (std::size_t i = 0; i < vecinos.size(); ++i) {
      linea((LineaListado() << i + 1 << vecinos[i]).str());
    }
  }
  if (tabla.pasados.empty()) return;
  linea((LineaListado() << "Tramos pasados por alto :" << tabla.pasados.size()).str());
  for (const ArcoPasado& a : tabla.pasados) {
    linea((LineaListado() << "Tramo" << a.tramo << "igual al" << a.igual_a).str());
  }
}

void imprimepolVekt(const TablaPoligonos& tabla, bool por_superficie, const SalidaLineas& linea) {
  const std::string separador(64, '-');
  for (std::size_t i = 0; i < tabla.resumen.size(); ++i) {
    const ResumenPoligono& r =
        por_superficie ? tabla.resumen_de(tabla.por_superficie[i]) : tabla.resumen[i];
    linea(separador);
    linea((LineaListado() << "Poligono : " << i + 1 << "/"
                          << "Puntero_Sup : " << r.Puntero_Sup << "Sup :" << r.Sup
                          << "NumPol : " << r.NumPol)
              .str());
    const RecintoTopologia& e = tabla.recinto(r.NumPol);
    linea((LineaListado() << "C="
                          << "1" << e.num_vertices << 0)
              .str());
    const Rango& g = e.rango;
    linea((LineaListado() << g.xmin << g.ymin << g.zmin << g.xmax << g.ymax << g.zmax).str());
    linea("");
    for (const Vertice& v : tabla.vertices_de(r.NumPol)) {
      linea((LineaListado() << v.x << v.y << v.z).str());
    }
  }
}

}  // namespace telmora
