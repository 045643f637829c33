// Topology on generated sheets: build of the graph, pruning, walk (with the rings, areas and
// adjacency), islands and centroid check, each the median of several runs, on 1,000,000
// entities; the whole run (without drawing and listings, then with the listings); and the
// plain scans kept with the tests against the indexed topology on a small sheet, with the
// ratio and a check that both give the same tables.
#include <cstdio>

#include "hoja_abierta.h"
#include "medicion.h"
#include "superficie_nula.h"
#include "topologia/topologia.h"
#include "topologia_literal.h"

namespace {

using namespace telmora;

// The sheet opened and drawn whole, as the viewer shows it on opening.
struct HojaDibujada {
  Sesion sesion;
  EntidadesDibujadas dibujadas;
};

HojaDibujada abre_dibujada(long long entidades) {
  HojaDibujada h{abre_sesion(ajustes_junto_a(bench::hoja_generada(entidades))), {}};
  SuperficieNula superficie(1920, 1080);
  h.dibujadas = dibuja_hoja_abierta(h.sesion, superficie).dibujadas;
  return h;
}

struct Etapas {
  double grafo = 0, poda = 0, recorrido = 0, islas = 0, centroides = 0;
  double total() const { return grafo + poda + recorrido + islas + centroides; }
};

struct Analisis {
  GrafoTopologico grafo;
  TablaPoligonos tabla;
  IslasTopologia islas;
};

// Each stage timed on its own, `veces` times; the last run's tables are kept.
Etapas mide(const HojaDibujada& h, int veces, bool literal, Analisis& a) {
  const Sesion& s = h.sesion;
  const Hoja& hoja = s.hoja;
  Etapas e;
  e.grafo = bench::mediana(veces, [&] {
    a.grafo =
        literal ? prueba::grafo_literal(hoja, h.dibujadas) : CargoNodosTramos(hoja, h.dibujadas);
    CuentaNodosV1(a.grafo);
    RellenamosVReal(a.grafo);
  });
  const GrafoTopologico inicial = a.grafo;
  e.poda = bench::mediana(veces, [&] {
    a.grafo = inicial;
    if (literal) {
      prueba::poda_literal(a.grafo);
      prueba::recalcula_literal(a.grafo);
    } else {
      AnulaValencia1(a.grafo);
      ReCalculoTramos(a.grafo);
    }
  });
  const GrafoTopologico podado = a.grafo;
  e.recorrido = bench::mediana(veces, [&] {
    a.grafo = podado;
    a.tabla = literal ? prueba::RecorridoLiteral(hoja, a.grafo).ejecuta()
                      : proceso_recorrido(hoja, a.grafo);
    construye_recintos(hoja, a.grafo, s.ajustes.uds, a.tabla);
    calculaAdyacencia(a.grafo, a.tabla);
  });
  e.islas = bench::mediana(veces, [&] {
    if (literal) {
      prueba::islas_literal(a.tabla, a.islas);
      prueba::componentes_literal(a.tabla, a.islas);
    } else {
      BuscoIslas(a.tabla, a.islas);
      PoligonosComponentesIslas(a.grafo, a.tabla, a.islas);
    }
  });
  const GrafoTopologico sin_centroides = a.grafo;
  const std::vector<ResumenPoligono> resumen = a.tabla.resumen;
  e.centroides = bench::mediana(veces, [&] {
    a.grafo.textos = sin_centroides.textos;
    a.tabla.resumen = resumen;
    if (literal) {
      prueba::centroides_literal(a.islas, a.tabla, a.grafo);
    } else {
      ChequeoCentroidesPoligonos(a.islas, a.tabla, a.grafo);
    }
  });
  return e;
}

void imprime(const char* que, long long entidades, const Etapas& e, const Analisis& a) {
  std::printf(
      "%-9s %8lld entidades: grafo %.3f  poda %.3f  recorrido %.3f  islas %.3f  centroides %.3f"
      "  = %.3f s   (%d nodos, %d tramos, %d polígonos, %zu islas)\n",
      que, entidades, e.grafo, e.poda, e.recorrido, e.islas, e.centroides, e.total(),
      a.grafo.num_nodos(), a.grafo.num_tramos(), a.tabla.num_poligonos(), a.islas.islas.size());
}

bool iguales(const Analisis& a, const Analisis& b) {
  return a.grafo.nodos == b.grafo.nodos && a.grafo.tramos == b.grafo.tramos &&
         a.grafo.textos == b.grafo.textos && a.tabla.arcos == b.tabla.arcos &&
         a.tabla.resumen == b.tabla.resumen && a.islas.islas == b.islas.islas &&
         a.islas.componentes == b.islas.componentes;
}

}  // namespace

int main(int argc, char** argv) {
  const long long grande = bench::entidades_de(argc, argv, 1000000);
  {
    const HojaDibujada h = abre_dibujada(grande);
    Analisis a;
    imprime("indexada", grande, mide(h, 5, false, a), a);
    OpcionesTopologia opciones;
    selecciona_entrada(opciones, EntradaTopologia::errores_centroides);
    const double entera =
        bench::mediana(5, [&] { ejecuta_topologia(h.sesion, h.dibujadas, opciones); });
    const auto carpeta = bench::hoja_generada(grande).parent_path() / "listados";
    std::filesystem::create_directories(carpeta);
    const double con_listados = bench::mediana(3, [&] {
      ListadosTopologia listados(carpeta);
      ejecuta_topologia(h.sesion, h.dibujadas, opciones, Progreso::ninguno(), listados);
    });
    std::printf("ejecución entera (centroides) %8lld entidades: %.3f s, con listados %.3f s\n",
                grande, entera, con_listados);
  }

  // The plain scans grow with the square of the sheet: 20,000 entities unless asked.
  const long long kLiteral = argc > 2 ? std::stoll(argv[2]) : 20000;
  const HojaDibujada h = abre_dibujada(kLiteral);
  Analisis indexada, literal;
  const Etapas ei = mide(h, 5, false, indexada);
  const Etapas el = mide(h, 1, true, literal);
  imprime("indexada", kLiteral, ei, indexada);
  imprime("literal", kLiteral, el, literal);
  std::printf("literal / indexada: %.0f veces\n", el.total() / ei.total());
  const bool mismo = iguales(indexada, literal);
  std::printf("mismo resultado: %s\n", mismo ? "sí" : "NO");
  return mismo ? 0 : 1;
}
