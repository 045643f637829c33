// The topology depends on the map only: a sheet written again with its entities in another order
// and some of its lines digitised the other way gives the same result lines, nodes, faces,
// envelopes, islands, centroid verdicts, arcs passed over and elevations from texts, for every
// topology command. What is numbered in file order (nodes, arcs, texts) or in walking order
// (polygons) is compared through the geometry each number names.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "carpeta_temporal.h"
#include "muestra/generador_muestra.h"
#include "red_aleatoria.h"
#include "topologia/topologia.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

// A sheet written again, and for each element of its C array the one it was and whether its
// vertices were reversed.
struct Reescrita {
  Sesion sesion;
  EntidadesDibujadas dibujadas;
  std::vector<std::int32_t> original;
  std::vector<bool> invertida;
};

Reescrita reescribe(const Sesion& base, const EntidadesDibujadas& dibujadas, std::uint64_t semilla,
                    bool baraja, bool invierte) {
  const Hoja& hoja = base.hoja;
  std::mt19937_64 azar(semilla);
  std::vector<std::pair<bool, std::size_t>> orden;
  for (std::size_t i = 0; i < hoja.c.size(); ++i) orden.emplace_back(false, i);
  for (std::size_t j = 0; j < hoja.t.size(); ++j) orden.emplace_back(true, j);
  if (baraja) std::shuffle(orden.begin(), orden.end(), azar);
  Reescrita r;
  std::string bytes;
  std::vector<bool> dibujada_c, dibujada_t;
  for (const auto& [es_texto, i] : orden) {
    const Entidad& e = es_texto ? hoja.t[i] : hoja.c[i];
    std::vector<Vertice> v(hoja.vertices_de(e).begin(), hoja.vertices_de(e).end());
    const bool invertida = !es_texto && invierte && azar() % 2 == 0;
    if (invertida) std::reverse(v.begin(), v.end());
    escribe_entidad(bytes, hoja.cabecera_de(e), hoja.rango_de(e), v, hoja.bytes_texto(e),
                    hoja.atributos_de(e));
    (es_texto ? dibujada_t : dibujada_c).push_back(dibujadas.contiene(e));
    if (es_texto) continue;
    r.original.push_back(std::int32_t(i + 1));
    r.invertida.push_back(invertida);
  }
  r.sesion.ajustes = base.ajustes;
  r.sesion.paleta = base.paleta;
  r.sesion.tabla = base.tabla;
  r.sesion.hoja = cargo_bin_bytes(Lista<char>(bytes.begin(), bytes.end()), base.tabla);
  std::vector<std::int32_t> numeros;
  for (std::size_t i = 0; i < dibujada_c.size(); ++i) {
    if (dibujada_c[i]) numeros.push_back(r.sesion.hoja.c[i].numero);
  }
  for (std::size_t j = 0; j < dibujada_t.size(); ++j) {
    if (dibujada_t[j]) numeros.push_back(r.sesion.hoja.t[j].numero);
  }
  r.dibujadas = EntidadesDibujadas(r.sesion.hoja, numeros);
  return r;
}

// A run told as facts that name geometry instead of numbers, sorted.
class Hechos {
 public:
  Hechos(const Reescrita& h, const ResultadoTopologia& r) : hoja_(h.sesion.hoja), h_(h), r_(r) {
    for (std::int32_t k = 1; k <= r.poligonos.num_poligonos(); ++k) claves_.push_back(clave(k));
  }

  std::vector<std::string> todos() {
    const TablaPoligonos& t = r_.poligonos;
    for (const std::string& l : r_.lineas()) anade("L " + l);
    anade("cuentas " + std::to_string(r_.recintos_sin_centroide()) + " " +
          std::to_string(r_.recintos_con_varios()) + " " + std::to_string(r_.textos_sin_recinto()) +
          " " + std::to_string(r_.textos_en_varios()));
    for (const Nodo& n : r_.grafo.nodos) {
      anade("N " + std::to_string(n.x) + " " + std::to_string(n.y) + " " +
            std::to_string(n.valencia) + " " + std::to_string(n.valenciaReal));
    }
    for (std::int32_t k = 1; k <= t.num_poligonos(); ++k) {
      std::vector<std::string> vecinos;
      for (const std::int32_t v : t.adyacencia_de(k)) vecinos.push_back(poligono(v));
      std::sort(vecinos.begin(), vecinos.end());
      std::string hecho = "P " + poligono(k) + " vecinos";
      for (const std::string& v : vecinos) hecho += " " + v;
      const std::int32_t c = t.poligono(k).numero_cerrado;
      if (c > 0) {
        const ResumenPoligono& s = t.resumen_de(c);
        const Rango& g = t.recinto(c).rango;
        char sup[40];
        std::snprintf(sup, sizeof sup, "%.17g", s.Sup);
        hecho += " sentido " + std::to_string(s.sentido) + " sup " + sup + " rango " +
                 std::to_string(g.xmin) + " " + std::to_string(g.ymin) + " " +
                 std::to_string(g.xmax) + " " + std::to_string(g.ymax) + " centroide " +
                 etiqueta(s.Puntero_Sup);
      }
      anade(hecho);
    }
    for (const Isla& i : r_.islas.islas) {
      std::vector<std::string> partes;
      for (const std::int32_t c : i.componentes) partes.push_back(cerrado(c));
      std::sort(partes.begin(), partes.end());
      std::string hecho = "I " + cerrado(i.Pol_Externo) + " " + cerrado(i.Pol_Interno);
      for (const std::string& p : partes) hecho += " " + p;
      anade(hecho);
    }
    for (const ComponenteIsla& c : r_.islas.componentes) {
      anade("K " + cerrado(c.Envolvente) + " " + cerrado(c.componente));
    }
    for (const TextoTopologia& x : r_.grafo.textos) {
      const std::string cara = x.centroide > 0 ? cerrado(x.centroide) : std::to_string(x.centroide);
      anade("X " + texto(x) + " en " + cara);
    }
    tramos();
    for (const ReescrituraElemento& e : r_.cotas_recintos.cambios.elementos) {
      anade("Z " + std::to_string(h_.original[std::size_t(e.elemento - 1)]) + " " +
            std::to_string(r_.cotas_recintos.cambios.vertices_de(e)[0].z));
    }
    anade("Z sin cota " + std::to_string(r_.cotas_recintos.sin_cota));
    std::sort(hechos_.begin(), hechos_.end());
    return hechos_;
  }

 private:
  void anade(std::string hecho) { hechos_.push_back(std::move(hecho)); }

  std::span<const Vertice> vertices_de_tramo(std::int32_t a) const {
    return hoja_.vertices_de(hoja_.c[std::size_t(r_.grafo.tramo(a).elemento - 1)]);
  }

  // The segments of a course, repeated points skipped; a ring's in any order it may start at.
  static std::string segmentos(const std::vector<Vertice>& v, bool anillo) {
    std::vector<std::string> lados;
    for (std::size_t i = 1; i < v.size(); ++i) {
      if (v[i].x == v[i - 1].x && v[i].y == v[i - 1].y) continue;
      lados.push_back(std::to_string(v[i - 1].x) + "," + std::to_string(v[i - 1].y) + ">" +
                      std::to_string(v[i].x) + "," + std::to_string(v[i].y));
    }
    if (anillo) std::sort(lados.begin(), lados.end());
    std::string todo;
    for (const std::string& l : lados) todo += l + ";";
    return std::to_string(lados.size()) + ":" + std::to_string(std::hash<std::string>{}(todo));
  }

  std::string poligono(std::int32_t k) const {
    return k > 0 ? claves_[std::size_t(k - 1)] : std::to_string(k);
  }
  std::string clave(std::int32_t k) const {
    std::vector<Vertice> v;
    for (const ArcoDePoligono& a : r_.poligonos.arcos_de(k)) {
      const auto tv = vertices_de_tramo(a.tramo);
      if (a.invierteTramo) {
        v.insert(v.end(), tv.rbegin(), tv.rend());
      } else {
        v.insert(v.end(), tv.begin(), tv.end());
      }
    }
    const bool cerrado = r_.poligonos.poligono(k).cerrado;
    return (cerrado ? "C" : "A") + segmentos(v, cerrado);
  }
  std::string cerrado(std::int32_t c) const { return poligono(r_.poligonos.poligono_de(c)); }

  std::string texto(const TextoTopologia& x) const {
    return "(" + std::to_string(x.x) + "," + std::to_string(x.y) + ")" +
           hoja_.texto(hoja_.t[std::size_t(x.posicion - 1)]);
  }
  std::string etiqueta(std::int32_t puntero) const {
    return puntero > 0 ? texto(r_.grafo.textos[std::size_t(puntero - 1)]) : std::to_string(puntero);
  }

  // Each arc by the element it was, with the polygons along its digitised direction and against
  // it; an arc passed over with those of the arc walked in its place, and its course.
  void tramos() {
    std::vector<std::int32_t> en_lugar_de(std::size_t(r_.grafo.num_tramos()) + 1, 0);
    for (const ArcoPasado& p : r_.poligonos.pasados) {
      en_lugar_de[std::size_t(p.tramo)] = p.igual_a;
      std::vector<Vertice> v(vertices_de_tramo(p.tramo).begin(), vertices_de_tramo(p.tramo).end());
      const std::string ida = segmentos(v, false);
      std::reverse(v.begin(), v.end());
      anade("S " + std::min(ida, segmentos(v, false)));
    }
    for (std::int32_t a = 1; a <= r_.grafo.num_tramos(); ++a) {
      const Tramo& t = r_.grafo.tramo(a);
      const std::int32_t b = en_lugar_de[std::size_t(a)];
      const Tramo& lados = b != 0 ? r_.grafo.tramo(b) : t;
      bool al_reves = h_.invertida[std::size_t(t.elemento - 1)];
      if (b != 0 && lados.N1 != t.N1) al_reves = !al_reves;
      anade("E " + std::to_string(h_.original[std::size_t(t.elemento - 1)]) + " " +
            poligono(al_reves ? lados.P2 : lados.P1) + " " +
            poligono(al_reves ? lados.P1 : lados.P2));
    }
  }

  const Hoja& hoja_;
  const Reescrita& h_;
  const ResultadoTopologia& r_;
  std::vector<std::string> claves_;  // by polygon
  std::vector<std::string> hechos_;
};

// Without a picture the display commands (all, envelopes, faces, dangling arcs) compute the
// same; the centroid check runs within Z from texts; Z from PSCT points (prepared only) walks
// every arc, unpruned.
constexpr EntradaTopologia kEntradas[] = {
    EntradaTopologia::todo,
    EntradaTopologia::islas,
    EntradaTopologia::cotas_a_recintos,
    EntradaTopologia::cotas_a_tramos,
};

std::vector<std::string> hechos(const Reescrita& h, EntradaTopologia entrada) {
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, entrada);
  const ResultadoTopologia r = ejecuta_topologia(h.sesion, h.dibujadas, opciones);
  return Hechos(h, r).todos();
}

// The facts of every command on the sheet as it is, and the same on it shuffled, reversed and
// both; the result lines and counts of the centroid check are returned.
std::vector<std::string> mismos_hechos_en_todo_orden(const Sesion& sesion,
                                                     const EntidadesDibujadas& dibujadas,
                                                     const std::string& que) {
  const Reescrita tal_cual = reescribe(sesion, dibujadas, 0, false, false);
  std::vector<Reescrita> otras;
  for (std::uint64_t semilla = 1; semilla <= 3; ++semilla) {
    otras.push_back(reescribe(sesion, dibujadas, semilla, semilla != 2, semilla != 1));
  }
  std::vector<std::string> lineas;
  for (const EntradaTopologia entrada : kEntradas) {
    const auto esperados = hechos(tal_cual, entrada);
    for (std::size_t k = 0; k < otras.size(); ++k) {
      const auto vistos = hechos(otras[k], entrada);
      std::vector<std::string> faltan, sobran;
      std::set_difference(esperados.begin(), esperados.end(), vistos.begin(), vistos.end(),
                          std::back_inserter(faltan));
      std::set_difference(vistos.begin(), vistos.end(), esperados.begin(), esperados.end(),
                          std::back_inserter(sobran));
      faltan.resize(std::min<std::size_t>(faltan.size(), 6));
      sobran.resize(std::min<std::size_t>(sobran.size(), 6));
      EXPECT_TRUE(faltan.empty() && sobran.empty())
          << que << ", orden " << k + 1 << ", entrada " << int(entrada) << "\nfaltan:\n"
          << testing::PrintToString(faltan) << "\nsobran:\n"
          << testing::PrintToString(sobran);
    }
    if (entrada != EntradaTopologia::cotas_a_recintos) continue;
    for (const std::string& h : esperados) {
      if (h.starts_with("L ") || h.starts_with("cuentas ")) lineas.push_back(h);
    }
  }
  return lineas;
}

Sesion sesion_de(const Hoja& hoja) {
  Sesion s;
  s.hoja = hoja;
  s.tabla = interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab");
  s.ajustes.uds = 100;
  return s;
}

std::vector<std::string> lineas_esperadas(std::int32_t nodos, std::int32_t tramos,
                                          std::int32_t poligonos, std::int32_t colgantes,
                                          std::int32_t cerrados, std::int32_t pasados,
                                          const std::string& cuentas) {
  std::vector<std::string> l{
      "L Nodos encontrados :" + std::to_string(nodos),
      "L Tramos encontrados :" + std::to_string(tramos),
      "L Poligonos (abiertos/cerrados) encontrados :" + std::to_string(poligonos),
      "L Arcos colgantes :" + std::to_string(colgantes),
      "L Poligonos cerrados:" + std::to_string(cerrados),
      "cuentas " + cuentas,
  };
  if (pasados > 0) l.push_back("L Tramos pasados por alto :" + std::to_string(pasados));
  std::sort(l.begin(), l.end());
  return l;
}

// The z that Z from texts gives each element (0 for none), on the sheet as it is.
std::vector<std::int32_t> cotas_de_textos(const Sesion& s) {
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, EntradaTopologia::cotas_a_recintos);
  const ResultadoTopologia r = ejecuta_topologia(s, EntidadesDibujadas::todas(s.hoja), opciones);
  std::vector<std::int32_t> z(s.hoja.c.size(), 0);
  for (const ReescrituraElemento& e : r.cotas_recintos.cambios.elementos) {
    z[std::size_t(e.elemento - 1)] = r.cotas_recintos.cambios.vertices_de(e)[0].z;
  }
  return z;
}

ConstructorBin manzana(ConstructorBin b) {
  return b.c("100", {{10000, 10000, 0}, {0, 10000, 0}, {0, 0, 0}})
      .c("100", {{0, 0, 0}, {10000, 0, 0}, {10000, 10000, 0}});
}

ConstructorBin anillo(ConstructorBin b, int desde, int hasta) {
  return b.c("100", {{desde, desde, 0}, {hasta, desde, 0}, {hasta, hasta, 0}})
      .c("100", {{hasta, hasta, 0}, {desde, hasta, 0}, {desde, desde, 0}});
}

}  // namespace

// Random networks, clean and damaged (arcs copied or reversed, leaving along another's first
// segment, doubled first vertices), with islands, nested islands, bridges and dangling trees;
// and the sample sheet with its blocks' outlines.
TEST(Orden, LaTopologiaNoDependeDelOrdenNiDelSentidoDeLasLineas) {
  for (std::uint64_t semilla = 1; semilla <= 10; ++semilla) {
    const prueba::HojaDibujada red = prueba::red_aleatoria(
        semilla, {4 + int(semilla % 4), 3 + int(semilla % 5), semilla % 2 == 0});
    mismos_hechos_en_todo_orden(sesion_de(red.hoja), red.dibujadas,
                                "red " + std::to_string(semilla));
  }
  prueba::CarpetaTemporal carpeta;
  OpcionesMuestra opciones;
  opciones.entidades = 4000;
  opciones.recintos = true;
  const ResumenMuestra muestra = genera_muestra(carpeta.ruta(), opciones);
  const Sesion sesion = abre_sesion(ajustes_junto_a(muestra.bin));
  const auto lineas =
      mismos_hechos_en_todo_orden(sesion, EntidadesDibujadas::todas(sesion.hoja), "muestra");
  // The sample's faults are there, and on its valid network no arc is passed over.
  EXPECT_FALSE(std::any_of(lineas.begin(), lineas.end(),
                           [](const std::string& l) { return l.find("pasados") != l.npos; }));
}

// Faces pinched at one node and at two, an island with its text before the face's, nested
// islands, a block whose sides were digitised twice, a figure eight and two blocks touching at a
// corner: the lines and counts of the centroid check, whatever the order, and the elevations
// that Z from texts gives.
TEST(Orden, CasosHechosAMano) {
  struct Caso {
    std::string nombre;
    ConstructorBin hoja;
    std::vector<std::string> lineas;
    std::vector<std::int32_t> cotas;
  };
  const ConstructorBin triangulo =
      manzana({})
          .c("100", {{10000, 10000, 0}, {5000, 8000, 0}, {8000, 5000, 0}})
          .c("100", {{8000, 5000, 0}, {10000, 10000, 0}});
  const std::vector<Caso> casos{
      {"pellizco en un nodo",
       ConstructorBin(triangulo)
           .t("TXT", {2000, 2000, 100}, "MANZANA")
           .t("TXT", {7600, 7600, 200}, "TRIANGULO"),
       lineas_esperadas(3, 4, 3, 0, 3, 0, "0 0 0 0"),
       {100, 100, 200, 200}},
      {"pellizcos en dos nodos",
       ConstructorBin(triangulo)
           .c("100", {{0, 0, 0}, {4000, 1500, 0}, {1500, 4000, 0}})
           .c("100", {{1500, 4000, 0}, {0, 0, 0}})
           .t("TXT", {1500, 1500, 300}, "T2")
           .t("TXT", {5000, 5000, 100}, "MANZANA")
           .t("TXT", {7600, 7600, 200}, "T1"),
       lineas_esperadas(4, 6, 4, 0, 4, 0, "0 0 0 0"),
       {100, 100, 200, 200, 300, 300}},
      {"isla con su texto antes",
       anillo(manzana({}), 4000, 6000)
           .t("TXT", {5000, 5000, 900}, "ISL")
           .t("TXT", {2000, 2000, 300}, "OUT"),
       lineas_esperadas(4, 4, 4, 0, 4, 0, "0 0 0 0"),
       {300, 300, 900, 900}},
      {"islas anidadas",
       anillo(anillo(manzana({}), 2000, 8000), 4000, 6000)
           .t("TXT", {5000, 5000, 30}, "R2")
           .t("TXT", {3000, 3000, 20}, "R1")
           .t("TXT", {1000, 1000, 10}, "B"),
       lineas_esperadas(6, 6, 6, 0, 6, 0, "0 0 0 0"),
       {10, 10, 20, 20, 30, 30}},
      {"lados repetidos",
       manzana({})
           .c("100", {{0, 0, 0}, {10000, 0, 0}, {10000, 10000, 0}})
           .c("100", {{0, 0, 0}, {0, 10000, 0}, {10000, 10000, 0}})
           .t("TXT", {5000, 5000, 50}, "M"),
       lineas_esperadas(2, 4, 2, 0, 2, 2, "0 0 0 0"),
       {50, 50, 50, 50}},
      {"ocho",
       ConstructorBin()
           .c("100", {{5000, 5000, 0}, {0, 8000, 0}, {0, 2000, 0}})
           .c("100", {{0, 2000, 0}, {5000, 5000, 0}})
           .c("100", {{5000, 5000, 0}, {10000, 2000, 0}, {10000, 8000, 0}})
           .c("100", {{10000, 8000, 0}, {5000, 5000, 0}})
           .t("TXT", {1500, 5000, 1}, "L")
           .t("TXT", {8500, 5000, 2}, "R"),
       lineas_esperadas(3, 4, 3, 0, 3, 0, "0 0 0 0"),
       {1, 1, 2, 2}},
      {"dos manzanas en una esquina",
       ConstructorBin()
           .c("100", {{0, 0, 0}, {5000, 0, 0}, {5000, 5000, 0}})
           .c("100", {{5000, 5000, 0}, {0, 5000, 0}, {0, 0, 0}})
           .c("100", {{5000, 5000, 0}, {10000, 5000, 0}, {10000, 10000, 0}})
           .c("100", {{10000, 10000, 0}, {5000, 10000, 0}, {5000, 5000, 0}})
           .t("TXT", {9000, 1000, 0}, "FUERA")
           .t("TXT", {2500, 2500, 4}, "M1")
           .t("TXT", {7500, 7500, 5}, "M2"),
       lineas_esperadas(3, 4, 3, 0, 3, 0, "0 0 1 0"),
       {4, 4, 5, 5}},
  };
  for (const Caso& caso : casos) {
    const Sesion s = sesion_de(prueba::hoja_dibujada(caso.hoja).hoja);
    EXPECT_EQ(mismos_hechos_en_todo_orden(s, EntidadesDibujadas::todas(s.hoja), caso.nombre),
              caso.lineas)
        << caso.nombre;
    EXPECT_EQ(cotas_de_textos(s), caso.cotas) << caso.nombre;
  }
}
