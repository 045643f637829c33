// A sheet on disk opened as a session for the cleanup, every entity drawn, with the tolerance
// that gives a chosen snapping tolerance T in file units (centimetres).
#pragma once

#include <string>
#include <vector>

#include "depuracion/binjunta.h"
#include "dibujadas.h"
#include "hoja_de_prueba.h"

namespace prueba {

struct HojaDepuracion : SesionDePrueba {
  telmora::EntidadesDibujadas dibujadas;  // what the cleanup takes as drawn

  HojaDepuracion(const ConstructorBin& hoja, std::int32_t tolerancia)
      : SesionDePrueba(hoja, 2.0 * tolerancia / telmora::kUdsCentimetros),
        dibujadas(telmora::EntidadesDibujadas::todas(sesion.hoja)) {}

  telmora::ResultadoBinjunta ejecuta(const telmora::BusquedasBinjunta& busquedas = {}) {
    return telmora::ejecuta_y_aplica_binjunta(sesion, dibujadas, {}, telmora::Progreso::ninguno(),
                                              busquedas);
  }

  // The sheet's file as it is now.
  telmora::Hoja recargada() const {
    return telmora::cargo_bin(sesion.ajustes.fich_entrada, sesion.tabla);
  }
};

// A line of code "100" through the points, every vertex at elevation z.
inline ConstructorBin& linea(ConstructorBin& b, std::initializer_list<std::pair<int, int>> puntos,
                             std::int32_t z = 0) {
  std::vector<V> v;
  for (const auto& [x, y] : puntos) v.push_back({x, y, z});
  return b.c("100", v);
}

// The plane positions of the active line elements of a sheet, in file order.
using Linea = std::vector<std::pair<std::int32_t, std::int32_t>>;
inline std::vector<Linea> lineas_activas(const telmora::Hoja& hoja) {
  std::vector<Linea> lineas;
  for (const telmora::Entidad& e : hoja.c) {
    if (!hoja.activa(e)) continue;
    Linea linea;
    for (const telmora::Vertice& v : hoja.vertices_de(e)) linea.emplace_back(v.x, v.y);
    lineas.push_back(linea);
  }
  return lineas;
}

}  // namespace prueba
