#include "sesion.h"

#include <numeric>

namespace telmora {

namespace {

// Beyond this share of the grid, walking the sheet is as quick as collecting candidates.
constexpr double kFraccionRecorridoCompleto = 0.25;
// File units added around the rectangle, so that rounding never leaves an entity out.
constexpr double kMargen = 1;

}  // namespace

std::vector<std::int32_t> entidades_a_examinar(const Sesion& sesion, double xmin, double ymin,
                                               double xmax, double ymax) {
  const double uds = sesion.ajustes.uds;
  const double x0 = xmin * uds - kMargen, y0 = ymin * uds - kMargen;
  const double x1 = xmax * uds + kMargen, y1 = ymax * uds + kMargen;
  const IndiceEspacial& indice = sesion.indice_espacial;
  if (x0 <= x1 && y0 <= y1 &&
      indice.fraccion_cubierta(x0, y0, x1, y1) <= kFraccionRecorridoCompleto) {
    return indice.candidatas(x0, y0, x1, y1);
  }
  std::vector<std::int32_t> todas(static_cast<std::size_t>(sesion.hoja.num_entidades()));
  std::iota(todas.begin(), todas.end(), 1);
  return todas;
}

Sesion abre_sesion(const Ajustes& ajustes, Progreso& progreso, IndiceCajas indice) {
  Sesion sesion;
  sesion.ajustes = ajustes;
  progreso.paso("Cargando fichero *.pal");
  sesion.paleta = leo_pal(ajustes.fich_pal);
  progreso.paso("Cargado fichero *.pal");
  progreso.paso("Cargando fichero *.tab");
  sesion.tabla = leo_vekt_tab(ajustes.fich_vekttab);
  progreso.paso("Cargado fichero *.tab");
  progreso.paso("Cargando fichero *.bin");
  sesion.hoja = cargo_bin(ajustes.fich_entrada, sesion.tabla, progreso);
  progreso.paso("Calculando Rangos");
  if (indice == IndiceCajas::con) sesion.indice_espacial = IndiceEspacial(sesion.hoja);
  return sesion;
}

void recarga_hoja(Sesion& sesion, Progreso& progreso) {
  Hoja hoja = cargo_bin(sesion.ajustes.fich_entrada, sesion.tabla, progreso);
  IndiceEspacial indice(hoja);
  sesion.hoja = std::move(hoja);
  sesion.indice_espacial = std::move(indice);
}

}  // namespace telmora
