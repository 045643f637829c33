#include "topologia/poligonos.h"

#include <cmath>

#include "fichero.h"
#include "funciones.h"
#include "texto.h"

namespace telmora {

namespace {

std::span<const Vertice> vertices_de_tramo(const Hoja& hoja, const Tramo& t) {
  return hoja.vertices_de(hoja.c[std::size_t(t.elemento - 1)]);
}

double azimut(const Vertice& desde, const Vertice& hasta) {
  double longitud = 0, angulo = 0;
  calcula_azimut(desde.x, desde.y, hasta.x, hasta.y, longitud, angulo);
  return angulo;
}

// The direction from the node reached along the arc back along its last segment.
double direccion_atras(const Hoja& hoja, const Tramo& t, bool invierte) {
  const auto v = vertices_de_tramo(hoja, t);
  const std::size_t n = v.size();
  double angulo = invierte ? azimut(v[1], v[0]) : azimut(v[n - 2], v[n - 1]);
  angulo += kPi;
  normaliza_angulo(angulo);
  return angulo;
}

// The direction in which the arc leaves its starting node.
double direccion_salida(const Hoja& hoja, const Tramo& t, bool invierte) {
  const auto v = vertices_de_tramo(hoja, t);
  const std::size_t n = v.size();
  return invierte ? azimut(v[n - 1], v[n - 2]) : azimut(v[0], v[1]);
}

double giro(double atras, double salida) {
  double angulo = atras - salida;
  normaliza_angulo(angulo);
  return angulo;
}

}  // namespace

double calcula_angulo(const Hoja& hoja, const Tramo& actual, bool invierte_actual,
                      const Tramo& candidato, bool invierte_candidato) {
  return giro(direccion_atras(hoja, actual, invierte_actual),
              direccion_salida(hoja, candidato, invierte_candidato));
}

// The walk's state and steps. The stars of the graph stand in for the scans of the whole arc
// table: the candidates at a node come in arc order, so the choice rule is unchanged.
class Recorrido {
 public:
  Recorrido(const Hoja& hoja, GrafoTopologico& grafo, TablaPoligonos& tabla, Progreso& progreso)
      : grafo_(grafo), tabla_(tabla), contador_(progreso, 2 * std::int64_t(grafo.num_tramos())) {
    const auto semiarcos = 2 * std::size_t(grafo.num_tramos() + 1);
    atras_.resize(semiarcos);
    salida_.resize(semiarcos);
    for (std::int32_t a = 1; a <= grafo.num_tramos(); ++a) {
      for (const bool inv : {false, true}) {
        atras_[std::size_t(semiarco(a, inv))] = direccion_atras(hoja, grafo.tramo(a), inv);
        salida_[std::size_t(semiarco(a, inv))] = direccion_salida(hoja, grafo.tramo(a), inv);
      }
    }
    tabla_.poligonos.push_back({});
    if (grafo.num_tramos() > 0) inicio_ = grafo.tramo(1).N1;
  }

  void ejecuta() {
    // Each step stores at least one arc in a direction not walked before, or ends a polygon
    // whose last arc it stores; so the steps are bounded by the half-edges.
    const std::int64_t limite = 4 * std::int64_t(grafo_.num_tramos()) + 8;
    std::int64_t pasos = 0;
    bool seguir = true;
    do {
      while (seguir) {
        if (++pasos > limite) falla();
        seguir = GeneraPol();
      }
      buscoTramoAProcesar();
      seguir = procesar_ > 0;
    } while (seguir);
    if (tabla_.poligonos.back().num_tramos == 0) tabla_.poligonos.pop_back();
  }

 private:
  Tramo& tramo(std::int32_t a) { return grafo_.tramo(a); }
  bool libre(std::int32_t s) {
    const Tramo& t = tramo(tramo_de(s));
    return (invertido_de(s) ? t.P2 : t.P1) == 0;
  }
  std::int32_t lejano_de(std::int32_t s) {
    const Tramo& t = tramo(tramo_de(s));
    return invertido_de(s) ? t.N1 : t.N2;
  }
  std::int32_t numero_actual() const { return tabla_.num_poligonos(); }

  // One step; false when the walk of this polygon cannot go on.
  bool GeneraPol() {
    if (procesar_ < 1 || procesar_ > grafo_.num_tramos()) return false;
    const Tramo& p = tramo(procesar_);
    if (p.P1 != 0 && p.P2 != 0) return false;
    actual_ = procesar_;
    invierte_actual_ = invierte_procesar_;
    desde_ = invierte_actual_ ? p.N2 : p.N1;
    en_ = invierte_actual_ ? p.N1 : p.N2;
    // A dead end, a node without a free way out, or only walked ways out: the polygon stays open
    // and the next one starts from the first arc not walked both ways.
    if (grafo_.nodo(en_).valencia < 2 || sin_salida_libre(en_) || !busca_tramo_siguiente()) {
      CierroPoligono(invierte_actual_, false);
      buscoTramoAProcesar();
      return true;
    }
    const bool ocupado = sin_salida_libre(lejano_);
    if (lejano_ == inicio_ || ocupado) {
      actual_ = procesar_;
      invierte_actual_ = invierte_procesar_;
      CierroPoligono(invierte_actual_, lejano_ == inicio_);
      buscoTramoAProcesar();
      return procesar_ != 0;
    }
    return true;
  }

  // True (occupied) when no arc but the current one leaves the node in a direction not walked.
  // Known as versitramosiguientevalido, although it answers whether no valid way is left.
  bool sin_salida_libre(std::int32_t nodo) {
    for (const std::int32_t s : grafo_.estrella(nodo)) {
      if (tramo_de(s) != actual_ && libre(s)) return false;
    }
    return true;
  }

  // The way out of the node: at a node of valence 2 the other arc; elsewhere the largest turn
  // counter-clockwise from the way back, the last in arc order among equal turns. Ways already
  // walked are passed over. False when none is left.
  bool busca_tramo_siguiente() {
    const auto estrella = grafo_.estrella(en_);
    const double atras = atras_[std::size_t(semiarco(actual_, invierte_actual_))];
    std::int32_t elegido = -1;
    double mejor = 0;
    const bool dos = grafo_.nodo(en_).valencia == 2;
    for (const std::int32_t s : estrella) {
      if (tramo_de(s) == actual_ || !libre(s)) continue;
      const double angulo = dos ? 0 : giro(atras, salida_[std::size_t(s)]);
      if (elegido < 0 || (!dos && angulo >= mejor)) {
        elegido = s;
        mejor = angulo;
      }
      if (dos) break;
    }
    for (const std::int32_t s : estrella) {
      if (tramo_de(s) == actual_ || libre(s)) continue;
      if (elegido >= 0) {
        const double angulo = dos ? 0 : giro(atras, salida_[std::size_t(s)]);
        const bool antes = tramo_de(s) < tramo_de(elegido);
        if (dos ? !antes : (angulo < mejor || (angulo == mejor && antes))) continue;
      }
      tabla_.pasados.push_back({tramo_de(s), invertido_de(s), en_, numero_actual()});
    }
    if (elegido < 0) return false;
    almacenoTramo(actual_, invierte_actual_);
    procesar_ = tramo_de(elegido);
    invierte_procesar_ = invertido_de(elegido);
    lejano_ = lejano_de(elegido);
    return true;
  }

  void almacenoTramo(std::int32_t a, bool invierte) {
    contador_.avanza(++almacenados_);
    Poligono& p = tabla_.poligonos.back();
    tabla_.arcos.push_back({a, invierte});
    ++p.num_tramos;
    Tramo& t = tramo(a);
    (invierte ? t.P2 : t.P1) = numero_actual();
    (invierte ? t.posicion_P2 : t.posicion_P1) = p.num_tramos;
  }

  void CierroPoligono(bool invierte, bool cerrado) {
    tabla_.poligonos.back().cerrado = cerrado;
    almacenoTramo(actual_, invierte);
    tabla_.poligonos.push_back({static_cast<std::uint32_t>(tabla_.arcos.size()), 0, false, 0});
    actual_ = 0;
    procesar_ = 1;
  }

  // The first arc not yet walked both ways starts the next polygon; arcs before it stay walked.
  void buscoTramoAProcesar() {
    procesar_ = 0;
    while (siguiente_ <= grafo_.num_tramos() && tramo(siguiente_).P1 != 0 &&
           tramo(siguiente_).P2 != 0) {
      ++siguiente_;
    }
    if (siguiente_ > grafo_.num_tramos()) {
      lejano_ = 0;
      return;
    }
    const Tramo& t = tramo(siguiente_);
    procesar_ = siguiente_;
    invierte_actual_ = invierte_procesar_ = t.P1 != 0;
    desde_ = invierte_procesar_ ? t.N2 : t.N1;
    en_ = invierte_procesar_ ? t.N1 : t.N2;
    inicio_ = desde_;
  }

  [[noreturn]] void falla() const {
    const Nodo& n = grafo_.nodo(en_);
    throw ErrorTelmora("Error interno de la topología: el recorrido no termina en el nodo " +
                       std::to_string(en_) + " (" + std::to_string(n.x) + ", " +
                       std::to_string(n.y) + ")");
  }

  GrafoTopologico& grafo_;
  TablaPoligonos& tabla_;
  ContadorPorcentaje contador_;
  std::vector<double> atras_, salida_;  // by half-edge
  std::int32_t actual_ = 0, procesar_ = 1, siguiente_ = 1;
  bool invierte_actual_ = false, invierte_procesar_ = false;
  std::int32_t inicio_ = 0, desde_ = 0, en_ = 0, lejano_ = 0;
  std::int64_t almacenados_ = 0;
};

TablaPoligonos proceso_recorrido(const Hoja& hoja, GrafoTopologico& grafo, Progreso& progreso) {
  TablaPoligonos tabla;
  Recorrido(hoja, grafo, tabla, progreso).ejecuta();
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
    double area = 0;
    auto almacena = [&](const Vertice& v) {
      if (r.num_vertices == 0) {
        r.rango.xmin = r.rango.xmax = v.x;
        r.rango.ymin = r.rango.ymax = v.y;
        r.rango.zmin = r.rango.zmax = v.z;
      } else {
        const Vertice& previo = tabla.vertices.back();
        area += (v.y / u + previo.y / u) * (v.x / u - previo.x / u) / 2;
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
    tabla.resumen.push_back({p.numero_cerrado, std::fabs(area), area >= 0, 0});
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
  linea((LineaListado() << "Tramos pasados por alto :" << tabla.pasados.size()).str());
  for (const ArcoPasado& a : tabla.pasados) {
    linea((LineaListado() << "Tramo" << a.tramo << a.invierteTramo << "Nodo" << a.nodo << "Poligono"
                          << a.poligono)
              .str());
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
