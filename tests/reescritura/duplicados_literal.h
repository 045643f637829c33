// The duplicate search as a plain comparison of every pair, element by element and segment by
// segment. The tests check the indexed search against it; the duplicate benchmark times it.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "edicion/duplicados.h"
#include "funciones.h"
#include "texto.h"

namespace prueba {

inline void caja_literal(const telmora::Vertice& a, const telmora::Vertice& b,
                         std::int32_t (&caja)[4]) {
  caja[0] = std::min(a.x, b.x);
  caja[1] = std::min(a.y, b.y);
  caja[2] = std::max(a.x, b.x);
  caja[3] = std::max(a.y, b.y);
}

// Every segment of the first element against every segment of the second.
inline void proceso_elementos_literal(const telmora::Hoja& hoja, std::int32_t n1, std::int32_t n2,
                                      double tolerancia, int& igualdad,
                                      telmora::TablaSegmentos& tabla) {
  const auto v1 = hoja.vertices_de(hoja.entidad(n1));
  const auto v2 = hoja.vertices_de(hoja.entidad(n2));
  for (std::size_t k1 = 0; k1 + 1 < v1.size(); ++k1) {
    for (std::size_t k2 = 0; k2 + 1 < v2.size(); ++k2) {
      std::int32_t a[4], b[4];
      caja_literal(v1[k1], v1[k1 + 1], a);
      caja_literal(v2[k2], v2[k2 + 1], b);
      if (telmora::rangos_coinciden(a, b, tolerancia, igualdad)) {
        tabla.push_back({hoja.fila(n1).posicion, static_cast<std::int32_t>(k1 + 1),
                         hoja.fila(n2).posicion, static_cast<std::int32_t>(k2 + 1)});
      }
    }
  }
}

// The marks as the entity index once held them (0 for a deleted entity, else its mark, 1 for
// none) and the matched-segment table.
struct DuplicadosLiterales {
  std::vector<std::int32_t> marcas;
  telmora::TablaSegmentos tabla;
};

// The index view of a search's marks.
inline std::vector<std::int32_t> marcas_en_indice(const telmora::Hoja& hoja,
                                                  const telmora::ResultadoDuplicados& r) {
  std::vector<std::int32_t> marcas;
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    marcas.push_back(hoja.activa(numero) ? r.marca(numero) : 0);
  }
  return marcas;
}

// For each element i still marked 1, every later j in order until the first match; the marks
// start from `previas` (index view), or from the entities' states when it is empty.
inline DuplicadosLiterales duplicados_literal(const telmora::Sesion& sesion,
                                              const telmora::OpcionesDuplicados& opciones,
                                              const std::vector<std::int32_t>& previas = {}) {
  using namespace telmora;
  const Hoja& hoja = sesion.hoja;
  const int uds = sesion.ajustes.uds;
  const double tolerancia = tolerancia_en_unidades(sesion.ajustes);
  const auto n = hoja.num_entidades();
  // The cleaned codes' classes, worked out once per element instead of once per pair.
  std::vector<char> excluido(static_cast<std::size_t>(n) + 1), virtual_(excluido.size());
  for (std::int32_t k = 1; k <= n; ++k) {
    const std::string codigo = limpia_texto(hoja.cabecera_de(hoja.entidad(k)).codigo_bruto());
    excluido[static_cast<std::size_t>(k)] = es_codigo_excluido(codigo);
    virtual_[static_cast<std::size_t>(k)] = es_codigo_virtual(codigo);
  }
  auto cerca = [&](std::int32_t a, std::int32_t b) {
    return std::fabs(double(a) - double(b)) <= tolerancia;
  };

  DuplicadosLiterales r;
  r.marcas = previas;
  if (r.marcas.empty()) {
    for (std::int32_t k = 1; k <= n; ++k) r.marcas.push_back(hoja.fila(k).activo);
  }
  auto marca = [&](std::int32_t k) -> std::int32_t& {
    return r.marcas[static_cast<std::size_t>(k - 1)];
  };
  for (std::int32_t i = 1; i <= n; ++i) {
    const FilaIndice& fi = hoja.fila(i);
    if (marca(i) != 1) continue;
    for (std::int32_t j = i + 1; j <= n; ++j) {
      const FilaIndice& fj = hoja.fila(j);
      const auto si = static_cast<std::size_t>(i), sj = static_cast<std::size_t>(j);
      bool candidata = !(excluido[si] || excluido[sj]);
      if (opciones.ObtengoCasoVirtuales) candidata = candidata && (virtual_[si] || virtual_[sj]);
      if (candidata && marca(j) == 1 && cerca(fi.xmax, fj.xmax) && cerca(fi.ymax, fj.ymax) &&
          cerca(fi.xmin, fj.xmin) && cerca(fi.ymin, fj.ymin)) {
        const bool iguales =
            fi.xmax == fj.xmax && fi.ymax == fj.ymax && fi.xmin == fj.xmin && fi.ymin == fj.ymin;
        marca(i) = iguales ? kDuplicadoExacto : kDuplicadoSimilar;
        break;
      }
      if (candidata && !opciones.SoloEntidades && fi.tipo == kIndiceTipoC &&
          fj.tipo == kIndiceTipoC && hoja.activa(j) &&
          rango_contenido(double(fi.xmax) / uds, double(fi.ymax) / uds, double(fi.xmin) / uds,
                          double(fi.ymin) / uds, double(fj.xmax) / uds, double(fj.ymax) / uds,
                          double(fj.xmin) / uds, double(fj.ymin) / uds)) {
        int igualdad = 1;
        proceso_elementos_literal(hoja, i, j, tolerancia, igualdad, r.tabla);
        if (igualdad != 1) {
          marca(i) = marca(j) = igualdad == 0 ? kSegmentosIdenticos : kSegmentosCercanos;
          break;
        }
      }
    }
  }
  return r;
}

}  // namespace prueba
