#include "topologia/grafo.h"

#include <bit>

#include "texto.h"

namespace telmora {

namespace {

std::size_t dispersa(std::uint64_t clave) {
  clave ^= clave >> 33;
  clave *= 0xFF51AFD7ED558CCDULL;
  clave ^= clave >> 33;
  return static_cast<std::size_t>(clave);
}

}  // namespace

void GrafoTopologico::prepara_hash(std::size_t extremos) {
  const std::size_t capacidad = std::bit_ceil(std::max<std::size_t>(16, 2 * extremos));
  claves_.assign(capacidad, 0);
  numeros_.assign(capacidad, 0);
}

std::int32_t GrafoTopologico::busca_nodo(std::int32_t x, std::int32_t y) const {
  if (numeros_.empty()) return 0;
  const std::uint64_t clave = clave_posicion(x, y);
  const std::size_t mascara = numeros_.size() - 1;
  for (std::size_t i = dispersa(clave) & mascara; numeros_[i] != 0; i = (i + 1) & mascara) {
    if (claves_[i] == clave) return numeros_[i];
  }
  return 0;
}

std::int32_t GrafoTopologico::nodo_de_extremo(const Vertice& v) {
  const std::uint64_t clave = clave_posicion(v.x, v.y);
  const std::size_t mascara = numeros_.size() - 1;
  std::size_t i = dispersa(clave) & mascara;
  for (; numeros_[i] != 0; i = (i + 1) & mascara) {
    if (claves_[i] != clave) continue;
    Nodo& existente = nodo(numeros_[i]);
    existente.z = v.z;
    ++existente.valencia;
    return numeros_[i];
  }
  nodos.push_back({v.x, v.y, v.z, 1, 0});
  claves_[i] = clave;
  numeros_[i] = num_nodos();
  return numeros_[i];
}

void GrafoTopologico::construye_estrellas() {
  inicio_estrella_.assign(nodos.size() + 1, 0);
  for (const Tramo& t : tramos) {
    ++inicio_estrella_[static_cast<std::size_t>(t.N1)];
    ++inicio_estrella_[static_cast<std::size_t>(t.N2)];
  }
  for (std::size_t i = 1; i < inicio_estrella_.size(); ++i) {
    inicio_estrella_[i] += inicio_estrella_[i - 1];
  }
  estrellas_.assign(inicio_estrella_.back(), 0);
  std::vector<std::uint32_t> siguiente(inicio_estrella_.begin(), inicio_estrella_.end() - 1);
  for (std::int32_t a = 1; a <= num_tramos(); ++a) {
    const Tramo& t = tramo(a);
    estrellas_[siguiente[static_cast<std::size_t>(t.N1 - 1)]++] = semiarco(a, false);
    estrellas_[siguiente[static_cast<std::size_t>(t.N2 - 1)]++] = semiarco(a, true);
  }
}

GrafoTopologico CargoNodosTramos(const Hoja& hoja, const EntidadesDibujadas& dibujadas) {
  GrafoTopologico grafo;
  std::size_t lineas = 0;
  for (const Entidad& e : hoja.c)
    lineas += dibujadas.contiene(e) && hoja.cabecera_de(e).num_puntos >= 2;
  grafo.prepara_hash(2 * lineas);
  grafo.tramos.reserve(lineas);
  for (std::size_t i = 0; i < hoja.c.size(); ++i) {
    const Entidad& e = hoja.c[i];
    if (!dibujadas.contiene(e) || !hoja.activa(e)) continue;
    const auto v = hoja.vertices_de(e);
    if (clase_elemento(v) != ClaseElemento::abierto) continue;
    Tramo tramo;
    tramo.elemento = static_cast<std::int32_t>(i + 1);
    tramo.N1 = grafo.nodo_de_extremo(v.front());
    tramo.N2 = grafo.nodo_de_extremo(v.back());
    grafo.tramos.push_back(tramo);
  }
  grafo.textos = textos_dibujados(hoja, dibujadas);
  grafo.construye_estrellas();
  return grafo;
}

std::vector<TextoTopologia> textos_dibujados(const Hoja& hoja,
                                             const EntidadesDibujadas& dibujadas) {
  std::vector<TextoTopologia> textos;
  for (std::size_t j = 0; j < hoja.t.size(); ++j) {
    const Entidad& e = hoja.t[j];
    if (!dibujadas.contiene(e) || !hoja.activa(e)) continue;
    const Vertice& p = hoja.vertices_de(e)[0];
    textos.push_back(
        {static_cast<std::int32_t>(j + 1), hoja.cabecera_de(e).codigo, p.x, p.y, p.z, 0});
  }
  return textos;
}

void CuentaNodosV1(GrafoTopologico& grafo) {
  grafo.nodos_valencia_1 = 0;
  for (const Nodo& n : grafo.nodos) grafo.nodos_valencia_1 += n.valencia == 1;
}

void RellenamosVReal(GrafoTopologico& grafo) {
  for (Nodo& n : grafo.nodos) n.valenciaReal = n.valencia;
}

void AnulaValencia1(GrafoTopologico& grafo) {
  // Peeling from every end of valence 1: an arc taken off can leave its other end dangling in
  // turn. The arcs taken off and the valences left do not depend on the order of the ends.
  std::vector<std::int32_t> pendientes;
  for (std::int32_t n = 1; n <= grafo.num_nodos(); ++n) {
    if (grafo.nodo(n).valencia == 1) pendientes.push_back(n);
  }
  while (!pendientes.empty()) {
    const std::int32_t n = pendientes.back();
    pendientes.pop_back();
    if (grafo.nodo(n).valencia != 1) continue;
    for (const std::int32_t s : grafo.estrella(n)) {
      Tramo& t = grafo.tramo(tramo_de(s));
      if (t.P1 != 0 || t.P2 != 0) continue;
      t.P1 = t.P2 = kTramoAnulado;
      for (const std::int32_t extremo : {t.N1, t.N2}) {
        Nodo& m = grafo.nodo(extremo);
        --m.valencia;
        if (m.valencia == 1 && extremo != n) pendientes.push_back(extremo);
      }
    }
  }
}

void ReCalculoTramos(GrafoTopologico& grafo) {
  std::erase_if(grafo.tramos,
                [](const Tramo& t) { return t.P1 == kTramoAnulado && t.P2 == kTramoAnulado; });
  grafo.construye_estrellas();
}

std::vector<std::string> listado_nodos_tramos(const GrafoTopologico& grafo) {
  std::vector<std::string> lineas;
  lineas.reserve(grafo.nodos.size() + grafo.tramos.size() + 3);
  lineas.emplace_back("*********NODOS*********");
  for (std::int32_t n = 1; n <= grafo.num_nodos(); ++n) {
    const Nodo& p = grafo.nodo(n);
    lineas.push_back(LineaListado() << n << p.x << p.y << p.z << p.valencia << p.valenciaReal);
  }
  lineas.emplace_back("*********TRAMOS*********");
  lineas.emplace_back("OffsetN1:N2:P1:P2:");
  for (std::int32_t a = 1; a <= grafo.num_tramos(); ++a) {
    const Tramo& t = grafo.tramo(a);
    lineas.push_back(LineaListado() << a << t.elemento << t.N1 << t.N2 << t.P1 << t.posicion_P1
                                    << t.P2 << t.posicion_P2);
  }
  return lineas;
}

}  // namespace telmora
