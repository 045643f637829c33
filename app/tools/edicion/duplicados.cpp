#include "edicion/duplicados.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <span>

#include "funciones.h"
#include "rejilla_tolerancia.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr std::string_view kCodigosExcluidos[] = {"5007", "5008", "5009", "5010",
                                                  "5011", "5012", "5013", "5014"};
constexpr int kCodigosVirtuales[] = {5020, 5632, 5633, 5634, 5635, 5636, 5637, 5638, 5639};
constexpr std::int32_t kNinguna = std::numeric_limits<std::int32_t>::max();

using CajaSegmento = std::int32_t[4];

void caja_de_segmento(const Vertice& a, const Vertice& b, CajaSegmento& caja) {
  caja[0] = std::min(a.x, b.x);
  caja[1] = std::min(a.y, b.y);
  caja[2] = std::max(a.x, b.x);
  caja[3] = std::max(a.y, b.y);
}

// What the search needs to know of each element, computed once.
struct Clases {
  std::vector<unsigned char> excluido, virtual_;
};

Clases clasifica(const Hoja& hoja) {
  Clases clases;
  const auto n = static_cast<std::size_t>(hoja.num_entidades()) + 1;
  clases.excluido.assign(n, 0);
  clases.virtual_.assign(n, 0);
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const std::string codigo = limpia_texto(hoja.cabecera_de(hoja.entidad(numero)).codigo_bruto());
    clases.excluido[static_cast<std::size_t>(numero)] = es_codigo_excluido(codigo);
    clases.virtual_[static_cast<std::size_t>(numero)] = es_codigo_virtual(codigo);
  }
  return clases;
}

// An element in the whole-element pairs: its bounds, placed at its lower-left corner.
struct LimitesElemento {
  std::int32_t x, y, xmax, ymax;
  std::int32_t numero;
};

// A segment in the shared-segment pairs: its box, placed at the box's lower-left corner, and
// its element.
struct CajaDeSegmento {
  std::int32_t x, y, xmax, ymax;
  std::int32_t numero;
};

// Pairs of elements (i, j), i < j, sorted by i and then j, and read in step with the search,
// which asks for the pairs of each element in ascending order.
class ParejasOrdenadas {
 public:
  void anade(std::int32_t i, std::int32_t j) {
    parejas_.push_back({std::uint64_t(std::uint32_t(i)) << 32 | std::uint32_t(j)});
  }

  void ordena(std::int32_t num_entidades) {
    Lista<Pareja> auxiliar;
    ordena_por_radix(parejas_, auxiliar, 32 + std::bit_width(std::uint64_t(num_entidades)));
  }

  // The later elements paired with i, ascending; i must not be below the last one asked for.
  template <typename Funcion>
  std::int32_t primera(std::int32_t i, std::int32_t limite, Funcion admitida) {
    const std::uint64_t desde = std::uint64_t(std::uint32_t(i)) << 32;
    while (cursor_ < parejas_.size() && parejas_[cursor_].clave < desde) ++cursor_;
    for (std::size_t k = cursor_; k < parejas_.size() && (parejas_[k].clave >> 32) == desde >> 32;
         ++k) {
      const auto j = static_cast<std::int32_t>(parejas_[k].clave & 0xffffffffu);
      if (j >= limite) break;
      if (admitida(j)) return j;
    }
    return kNinguna;
  }

 private:
  struct Pareja {
    std::uint64_t clave;  // i above 32 bits of j
  };
  Lista<Pareja> parejas_;
  std::size_t cursor_ = 0;
};

// The search works from two lists of pairs made once for the whole sheet, each by one pass over
// the pairs of things within the tolerance of each other (parejas_cercanas): elements whose four
// bounds lie within the tolerance of each other (whole twins), and elements with coinciding
// segments. Both are read in file order as the marks are set, so that the first match of each
// element is the one a comparison of every pair in order finds.
class BuscadorDuplicados {
 public:
  // `marcas` holds, by entity number, the marks the search starts from; it sets its own there.
  BuscadorDuplicados(const Hoja& hoja, std::vector<std::int8_t>& marcas, int uds, double tolerancia,
                     const OpcionesDuplicados& opciones)
      : hoja_(hoja),
        marcas_(marcas),
        uds_(uds),
        tolerancia_(tolerancia),
        malla_(tolerancia),
        opciones_(opciones),
        clases_(clasifica(hoja)) {
    busca_gemelos_enteros();
    if (!opciones_.SoloEntidades) busca_segmentos_compartidos();
  }

  // Element i's turn; elements are given in ascending order.
  void busca(std::int32_t i, TablaSegmentos& tabla) {
    if (!libre(i) || clases_.excluido[idx(i)]) return;
    const FilaIndice& fi = hoja_.fila(i);
    // The first later element still active and unmarked whose bounds lie within the tolerance.
    const std::int32_t entera =
        gemelos_.primera(i, kNinguna, [&](std::int32_t j) { return libre(j) && candidata(i, j); });
    // The first later one before it whose range overlaps i's and that shares a segment.
    const std::int32_t por_segmentos = segmentos_.primera(
        i, entera, [&](std::int32_t j) { return candidata(i, j) && solapan(fi, hoja_.fila(j)); });
    if (por_segmentos != kNinguna) {
      int igualdad = 1;
      ProcesoElementos(hoja_, i, por_segmentos, tolerancia_, igualdad, tabla);
      const std::int8_t marca = igualdad == 0 ? kSegmentosIdenticos : kSegmentosCercanos;
      marcas_[idx(i)] = marca;
      marcas_[idx(por_segmentos)] = marca;
    } else if (entera != kNinguna) {
      marcas_[idx(i)] = iguales(fi, hoja_.fila(entera)) ? kDuplicadoExacto : kDuplicadoSimilar;
    }
  }

 private:
  static std::size_t idx(std::int32_t numero) { return static_cast<std::size_t>(numero); }

  // Active in the sheet and not marked.
  bool libre(std::int32_t numero) const {
    return marcas_[idx(numero)] == kSinDuplicado && hoja_.activa(numero);
  }

  static bool iguales(const FilaIndice& a, const FilaIndice& b) {
    return a.xmax == b.xmax && a.ymax == b.ymax && a.xmin == b.xmin && a.ymin == b.ymin;
  }

  bool cerca(std::int32_t a, std::int32_t b) const {
    return std::fabs(double(a) - double(b)) <= tolerancia_;
  }

  bool candidata(std::int32_t i, std::int32_t j) const {
    return !opciones_.ObtengoCasoVirtuales || clases_.virtual_[idx(i)] || clases_.virtual_[idx(j)];
  }

  bool solapan(const FilaIndice& a, const FilaIndice& b) const {
    const double u = uds_;
    return rango_contenido(a.xmax / u, a.ymax / u, a.xmin / u, a.ymin / u, b.xmax / u, b.ymax / u,
                           b.xmin / u, b.ymin / u);
  }

  // Elements that can be the later one of a whole-element pair: active and unmarked when the
  // search starts, code not excluded.
  void busca_gemelos_enteros() {
    auto recorre = [&](auto&& anade) {
      for (std::int32_t numero = 1; numero <= hoja_.num_entidades(); ++numero) {
        const FilaIndice& f = hoja_.fila(numero);
        if (libre(numero) && !clases_.excluido[idx(numero)])
          anade(LimitesElemento{f.xmin, f.ymin, f.xmax, f.ymax, numero});
      }
    };
    parejas_cercanas<LimitesElemento>(recorre, malla_,
                                      [&](const LimitesElemento& a, const LimitesElemento& b) {
                                        if (cerca(a.xmax, b.xmax) && cerca(a.ymax, b.ymax) &&
                                            cerca(a.x, b.x) && cerca(a.y, b.y)) {
                                          const auto [i, j] = std::minmax(a.numero, b.numero);
                                          gemelos_.anade(i, j);
                                        }
                                      });
    gemelos_.ordena(hoja_.num_entidades());
  }

  // Segments of the cartographic elements active in the sheet, codes not excluded.
  void busca_segmentos_compartidos() {
    auto recorre = [&](auto&& anade) {
      for (std::int32_t numero = 1; numero <= hoja_.num_entidades(); ++numero) {
        const Entidad& e = hoja_.entidad(numero);
        if (hoja_.cabecera_de(e).es_texto() || !hoja_.activa(e) || clases_.excluido[idx(numero)])
          continue;
        const auto v = hoja_.vertices_de(e);
        for (std::size_t k = 0; k + 1 < v.size(); ++k) {
          CajaSegmento caja;
          caja_de_segmento(v[k], v[k + 1], caja);
          anade(CajaDeSegmento{caja[0], caja[1], caja[2], caja[3], numero});
        }
      }
    };
    parejas_cercanas<CajaDeSegmento>(
        recorre, malla_, [&](const CajaDeSegmento& a, const CajaDeSegmento& b) {
          if (a.numero == b.numero) return;
          const CajaSegmento caja_a{a.x, a.y, a.xmax, a.ymax}, caja_b{b.x, b.y, b.xmax, b.ymax};
          int estado = 1;
          if (!rangos_coinciden(caja_a, caja_b, tolerancia_, estado)) return;
          const auto [i, j] = std::minmax(a.numero, b.numero);
          segmentos_.anade(i, j);
        });
    segmentos_.ordena(hoja_.num_entidades());
  }

  const Hoja& hoja_;
  std::vector<std::int8_t>& marcas_;
  int uds_;
  double tolerancia_;
  MallaTolerancia malla_;
  OpcionesDuplicados opciones_;
  Clases clases_;
  ParejasOrdenadas gemelos_, segmentos_;
};

}  // namespace

bool es_codigo_excluido(std::string_view codigo_limpio) {
  return std::find(std::begin(kCodigosExcluidos), std::end(kCodigosExcluidos), codigo_limpio) !=
         std::end(kCodigosExcluidos);
}

bool es_codigo_virtual(std::string_view codigo_limpio) {
  int valor = 0;
  return lee_entero(codigo_limpio, valor) &&
         std::find(std::begin(kCodigosVirtuales), std::end(kCodigosVirtuales), valor) !=
             std::end(kCodigosVirtuales);
}

double tolerancia_en_unidades(const Ajustes& ajustes) {
  return ajustes.tolerancia_tentativo * ajustes.uds;
}

std::vector<std::string> ResultadoDuplicados::lineas() const {
  std::vector<std::string> lineas;
  for (std::size_t numero = 1; numero < marcas.size(); ++numero) {
    if (marcas[numero] != kSinDuplicado) {
      lineas.push_back(std::to_string(numero) + " " + std::to_string(marcas[numero]));
    }
  }
  return lineas;
}

const ResultadoDuplicados& ultimos_duplicados(const Sesion& sesion) {
  static const ResultadoDuplicados ninguno;
  return sesion.duplicados ? *sesion.duplicados : ninguno;
}

ResultadoDuplicados Duplicados(const Sesion& sesion, const OpcionesDuplicados& opciones,
                               Progreso& progreso) {
  const Hoja& hoja = sesion.hoja;
  progreso.paso("Duplicados");
  ResultadoDuplicados resultado;
  // Active elements keep the marks of a search applied before; the others are left unmarked.
  const ResultadoDuplicados& anterior = ultimos_duplicados(sesion);
  resultado.marcas.assign(static_cast<std::size_t>(hoja.num_entidades()) + 1, kSinDuplicado);
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    if (anterior.aplicado && hoja.activa(numero)) {
      resultado.marcas[static_cast<std::size_t>(numero)] =
          static_cast<std::int8_t>(anterior.marca(numero));
    }
  }
  BuscadorDuplicados buscador(hoja, resultado.marcas, sesion.ajustes.uds,
                              tolerancia_en_unidades(sesion.ajustes), opciones);
  ContadorPorcentaje avance(progreso, hoja.num_entidades());
  for (std::int32_t i = 1; i <= hoja.num_entidades(); ++i) {
    buscador.busca(i, resultado.segmentos);
    avance.avanza(i);
  }
  return resultado;
}

void ProcesoElementos(const Hoja& hoja, std::int32_t NumElemento1, std::int32_t NumElemento2,
                      double tolerancia, int& igualdad, TablaSegmentos& tabla) {
  const auto primero = hoja.vertices_de(hoja.entidad(NumElemento1));
  const auto segundo = hoja.vertices_de(hoja.entidad(NumElemento2));
  if (primero.size() < 2 || segundo.size() < 2) return;
  const std::int32_t posicion1 = hoja.fila(NumElemento1).posicion;
  const std::int32_t posicion2 = hoja.fila(NumElemento2).posicion;

  // The second element's segments by cell, so that each segment of the first one meets only
  // those that can coincide with it.
  const MallaTolerancia malla(tolerancia);
  std::vector<EntradaRejilla> entradas;
  for (std::uint32_t k = 0; k + 1 < segundo.size(); ++k) {
    CajaSegmento caja;
    caja_de_segmento(segundo[k], segundo[k + 1], caja);
    entradas.push_back({malla.clave(caja[0], caja[1]), 0, k});
  }
  const RejillaTolerancia rejilla(entradas);

  struct Pareja {
    std::uint32_t segmento;
    int estado;
  };
  std::vector<Pareja> parejas;
  for (std::uint32_t k = 0; k + 1 < primero.size(); ++k) {
    CajaSegmento caja_1;
    caja_de_segmento(primero[k], primero[k + 1], caja_1);
    parejas.clear();
    for (const std::uint64_t clave : CeldasVecinas(caja_1[0], caja_1[1], malla)) {
      for (const EntradaRejilla& e : rejilla.posteriores(clave, -1)) {
        if (e.clave != clave) continue;
        CajaSegmento caja_2;
        caja_de_segmento(segundo[e.dato], segundo[e.dato + 1], caja_2);
        int estado = 1;
        if (rangos_coinciden(caja_1, caja_2, tolerancia, estado))
          parejas.push_back({e.dato, estado});
      }
    }
    std::sort(parejas.begin(), parejas.end(),
              [](const Pareja& a, const Pareja& b) { return a.segmento < b.segmento; });
    for (const Pareja& p : parejas) {
      tabla.push_back({posicion1, static_cast<std::int32_t>(k + 1), posicion2,
                       static_cast<std::int32_t>(p.segmento + 1)});
      igualdad = p.estado;
    }
  }
}

}  // namespace telmora
