#include "topologia/cotas.h"

#include <cctype>
#include <cmath>
#include <unordered_map>

#include "fichero.h"
#include "funciones.h"
#include "indice_espacial.h"
#include "marcador_borrados.h"
#include "texto.h"

namespace telmora {

namespace {

bool es_psct(const Cabecera& cabecera) {
  const std::string codigo = limpia_texto(cabecera.codigo_bruto());
  if (codigo.size() < 4) return false;
  std::string inicio = codigo.substr(0, 4);
  for (char& c : inicio) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return inicio == "PSCT";
}

// The z of the first PSCT point off every node at each position.
class PuntosFueraDeNodo {
 public:
  explicit PuntosFueraDeNodo(std::span<const PuntoPSCT> puntos) {
    for (const PuntoPSCT& p : puntos) {
      if (p.nodo == 0) cotas_.try_emplace(clave_posicion(p.x, p.y), p.z);
    }
  }
  // BuscaPuntoNoNodo: the z, or 0 when no such point lies there.
  std::int32_t cota(const Vertice& v) const {
    const auto encontrado = cotas_.find(clave_posicion(v.x, v.y));
    return encontrado == cotas_.end() ? 0 : encontrado->second;
  }

 private:
  std::unordered_map<std::uint64_t, std::int32_t> cotas_;
};

bool misma_caja(const Rango& a, const Rango& b) {
  return a.xmin == b.xmin && a.ymin == b.ymin && a.xmax == b.xmax && a.ymax == b.ymax;
}

}  // namespace

void CambiosDeCota::anade(std::int32_t elemento, const Rango& rango,
                          std::span<const Vertice> nuevos) {
  elementos.push_back({elemento, rango, static_cast<std::uint32_t>(vertices.size()),
                       static_cast<std::uint32_t>(nuevos.size())});
  vertices.insert(vertices.end(), nuevos.begin(), nuevos.end());
}

std::vector<PuntoPSCT> CargaPuntosParaSubirCotaTramos(const Hoja& hoja,
                                                      const EntidadesDibujadas& dibujadas,
                                                      const GrafoTopologico& grafo) {
  std::vector<PuntoPSCT> puntos;
  for (const Entidad& e : hoja.c) {
    if (!dibujadas.contiene(e) || !hoja.activa(e) || hoja.vertices_de(e).size() == 0 ||
        !es_psct(hoja.cabecera_de(e)))
      continue;
    const Vertice& v = hoja.vertices_de(e)[0];
    puntos.push_back({v.x, v.y, v.z, grafo.busca_nodo(v.x, v.y)});
  }
  return puntos;
}

std::vector<TramoASubir> CreaTramosASubir(const GrafoTopologico& grafo,
                                          std::span<const PuntoPSCT> puntos) {
  std::vector<TramoASubir> tramos;
  // ExisteTramo: the entry of each arc, 0 while it has none.
  std::vector<std::int32_t> entrada(static_cast<std::size_t>(grafo.num_tramos()) + 1, 0);
  for (std::size_t p = 0; p < puntos.size(); ++p) {
    const std::int32_t nodo = puntos[p].nodo;
    if (nodo == 0) continue;
    for (const std::int32_t s : grafo.estrella(nodo)) {
      const std::int32_t a = tramo_de(s);
      std::int32_t& t = entrada[static_cast<std::size_t>(a)];
      if (t == 0) {
        tramos.push_back({grafo.tramo(a).elemento, a, 0, 0});
        t = static_cast<std::int32_t>(tramos.size());
      }
      TramoASubir& tramo = tramos[static_cast<std::size_t>(t - 1)];
      (grafo.tramo(a).N1 == nodo ? tramo.psct_N1 : tramo.psct_N2) =
          static_cast<std::int32_t>(p + 1);
    }
  }
  return tramos;
}

void interpola(std::span<Vertice> vertices, std::size_t desde, std::size_t hasta,
               std::int32_t cota1, std::int32_t cota2, double longitud) {
  if (longitud == 0) {
    for (std::size_t v = desde + 1; v <= hasta; ++v) vertices[v].z = cota2;
    return;
  }
  const double pendiente = (double(cota2) - double(cota1)) / longitud;
  double recorrido = 0;
  for (std::size_t v = desde + 1; v <= hasta; ++v) {
    const Vertice& previo = vertices[v - 1];
    recorrido += distancia_puntos(previo.x, previo.y, vertices[v].x, vertices[v].y);
    vertices[v].z = static_cast<std::int32_t>(std::nearbyint(cota1 + pendiente * recorrido));
  }
}

void InterpolaZTramos(const Hoja& hoja, SubidaCotaTramos& subida) {
  const PuntosFueraDeNodo fuera_de_nodo(subida.puntos);
  subida.no_modificados = 0;
  subida.cambios = {};
  std::vector<Vertice> v;
  for (const TramoASubir& t : subida.tramos) {
    if (t.psct_N1 == 0 || t.psct_N2 == 0) {
      ++subida.no_modificados;
      continue;
    }
    const Entidad& e = hoja.c[static_cast<std::size_t>(t.elemento - 1)];
    const auto originales = hoja.vertices_de(e);
    v.assign(originales.begin(), originales.end());
    const std::int32_t z1 = subida.puntos[static_cast<std::size_t>(t.psct_N1 - 1)].z;
    const std::int32_t z2 = subida.puntos[static_cast<std::size_t>(t.psct_N2 - 1)].z;
    std::size_t inicio = 0;
    std::int32_t cota_inicio = z1;
    double longitud = 0;
    for (std::size_t k = 1; k < v.size(); ++k) {
      longitud += distancia_puntos(v[k - 1].x, v[k - 1].y, v[k].x, v[k].y);
      const std::int32_t cota = fuera_de_nodo.cota(v[k]);
      if (cota == 0) continue;
      interpola(v, inicio, k, cota_inicio, cota, longitud);
      inicio = k;
      cota_inicio = cota;
      longitud = 0;
    }
    if (longitud != 0) interpola(v, inicio, v.size() - 1, cota_inicio, z2, longitud);
    v.front().z = z1;
    v.back().z = z2;
    Rango rango = hoja.rango_de(e);
    rango_real(rango, v);
    subida.cambios.anade(t.elemento, rango, v);
  }
}

SubidaCotaTramos ProcesarSubirCotaTramos(const Hoja& hoja, const EntidadesDibujadas& dibujadas,
                                         const GrafoTopologico& grafo) {
  SubidaCotaTramos subida;
  subida.puntos = CargaPuntosParaSubirCotaTramos(hoja, dibujadas, grafo);
  subida.tramos = CreaTramosASubir(grafo, subida.puntos);
  InterpolaZTramos(hoja, subida);
  return subida;
}

CotaDeRecintos BuscaCotaADar(const Hoja& hoja, const GrafoTopologico& grafo,
                             const TablaPoligonos& tabla) {
  // The elevation of polygon k, when it is a face with exactly one centroid.
  auto cota_de = [&](std::int32_t k, std::int32_t& z) {
    if (k < 1 || k > tabla.num_poligonos() || !tabla.poligono(k).cerrado) return false;
    const ResumenPoligono& r = tabla.resumen_de(tabla.poligono(k).numero_cerrado);
    if (r.sentido || r.Puntero_Sup < 1) return false;
    z = grafo.textos[static_cast<std::size_t>(r.Puntero_Sup - 1)].z;
    return true;
  };
  // An arc passed over runs where the arc walked in its place runs: it has the same two sides.
  std::vector<std::int32_t> lados_de(grafo.tramos.size() + 1);
  for (std::size_t a = 0; a < lados_de.size(); ++a) lados_de[a] = static_cast<std::int32_t>(a);
  for (const ArcoPasado& p : tabla.pasados) lados_de[static_cast<std::size_t>(p.tramo)] = p.igual_a;
  CotaDeRecintos resultado;
  std::vector<Vertice> v;
  for (std::int32_t a = 1; a <= grafo.num_tramos(); ++a) {
    const Tramo& t = grafo.tramo(a);
    const Tramo& lados = grafo.tramo(lados_de[static_cast<std::size_t>(a)]);
    std::int32_t z1 = 0, z2 = 0;
    const bool en_1 = cota_de(lados.P1, z1), en_2 = cota_de(lados.P2, z2);
    if (!en_1 && !en_2) {
      ++resultado.sin_cota;
      continue;
    }
    const std::int32_t cota = en_1 && en_2 ? std::max(z1, z2) : (en_1 ? z1 : z2);
    const auto originales = hoja.vertices_de(hoja.c[static_cast<std::size_t>(t.elemento - 1)]);
    v.assign(originales.begin(), originales.end());
    for (Vertice& p : v) p.z = cota;
    Rango rango;
    rango_real(rango, v);
    valores_de_reconstruccion(rango);
    resultado.cambios.anade(t.elemento, rango, v);
  }
  return resultado;
}

EscrituraCotas aplica_cambios_cota(Sesion& sesion, const CambiosDeCota& cambios,
                                   Progreso& progreso) {
  Hoja& hoja = sesion.hoja;
  std::vector<VerticesNuevos> nuevos;
  nuevos.reserve(cambios.elementos.size());
  bool cajas_movidas = false;
  for (const ReescrituraElemento& r : cambios.elementos) {
    const Entidad& e = hoja.c[static_cast<std::size_t>(r.elemento - 1)];
    nuevos.push_back({e.numero, r.rango, cambios.vertices_de(r)});
    cajas_movidas = cajas_movidas || !misma_caja(hoja.rango_de(e), r.rango);
  }
  ContadorPorcentaje avance(progreso, cambios.num_elementos());
  EscrituraCotas escritura;
  try {
    MarcadorBorrados marcador(
        hoja, [&](std::size_t hechos) { avance.avanza(static_cast<std::int64_t>(hechos)); });
    marcador.reescribe_vertices(nuevos);
    marcador.confirma();
    escritura.escritos = static_cast<std::int32_t>(nuevos.size());
  } catch (const ErrorTelmora& error) {
    escritura.fallo = std::string(error.what()) + "\nNo se ha modificado ningún tramo";
  }
  if (cajas_movidas) sesion.indice_espacial = IndiceEspacial(hoja);
  return escritura;
}

}  // namespace telmora
