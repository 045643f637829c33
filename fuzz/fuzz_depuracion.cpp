// The tools that repair a sheet, on sheets built from the input: the network cleanup (snapping
// and splitting), double points and loops, duplicates with their application and their copy, and
// the window extraction. After each in-place tool the sheet loads again, and the active elements
// are those the tool kept plus those it added.
#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "comun_fuzz.h"
#include "depuracion/binjunta.h"
#include "depuracion/pdobles.h"
#include "edicion/duplicados.h"
#include "edicion/extraccion.h"
#include "edicion/reescritura.h"
#include "fichero.h"
#include "vista.h"

namespace {

using fuzz::exige;

// Every active element's segments, as unordered pairs of plane points, each with the elements
// that hold it (numbers in file order).
using Punto = std::pair<std::int32_t, std::int32_t>;
using Segmento = std::pair<Punto, Punto>;
std::map<Segmento, std::vector<std::int32_t>> segmentos(const telmora::Hoja& hoja) {
  std::map<Segmento, std::vector<std::int32_t>> s;
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const telmora::Entidad& e = hoja.entidad(numero);
    if (!hoja.activa(e) || hoja.cabecera_de(e).es_texto()) continue;
    const auto v = hoja.vertices_de(e);
    for (std::size_t i = 1; i < v.size(); ++i) {
      const Punto a{v[i - 1].x, v[i - 1].y}, b{v[i].x, v[i].y};
      s[std::minmax(a, b)].push_back(numero);
    }
  }
  return s;
}

// The box of a segment: segments are matched by their boxes.
std::array<std::int32_t, 4> caja(const Segmento& s) {
  return {std::min(s.first.first, s.second.first), std::min(s.first.second, s.second.second),
          std::max(s.first.first, s.second.first), std::max(s.first.second, s.second.second)};
}

void depura(const fuzz::HojaAbiertaFuzz& abierta, const fuzz::CarpetaProceso& carpeta) {
  telmora::Sesion sesion = abierta.sesion();
  const fuzz::Activas antes = fuzz::activas(sesion.hoja);
  telmora::OpcionesBinjunta opciones;
  opciones.carpeta_listados = carpeta.ruta();
  try {
    telmora::ejecuta_y_aplica_binjunta(sesion, abierta.dibujadas(), opciones);
  } catch (const telmora::ErrorTelmora&) {
    // A refused run (a write that failed) leaves the sheet valid: checked below.
  }
  const fuzz::Activas despues = fuzz::activas(fuzz::recarga(sesion, "depurar"));
  // Each line is kept, rewritten, or replaced by its new record or its pieces.
  exige(despues.c >= antes.c && despues.t == antes.t, "depurar quitó elementos");
}

void pdobles(const fuzz::HojaAbiertaFuzz& abierta, const fuzz::HojaSintetica& h) {
  telmora::Sesion sesion = abierta.sesion();
  const fuzz::Activas antes = fuzz::activas(sesion.hoja);
  const telmora::ToleranciasPdobles tolerancias{h.tolerancia_xy, h.tolerancia_z};
  const telmora::ResultadoPdobles r = telmora::ejecuta_y_aplica_pdobles(sesion, tolerancias);
  const fuzz::Activas despues = fuzz::activas(fuzz::recarga(sesion, "pdobles"));
  const auto marcadores = 2 * r.duplicados + r.lazos + r.semilazos;
  exige(static_cast<std::int64_t>(despues.c) ==
                static_cast<std::int64_t>(antes.c) - r.entidades_borradas + marcadores &&
            despues.t == antes.t,
        "pdobles: los elementos activos no cuadran con su resumen");
}

void duplicados(const fuzz::HojaAbiertaFuzz& abierta, const fuzz::HojaSintetica& h, bool solo,
                bool virtuales) {
  telmora::Sesion sesion = abierta.sesion();
  const auto antes = segmentos(sesion.hoja);
  telmora::OpcionesDuplicados opciones;
  opciones.SoloEntidades = solo;
  opciones.ObtengoCasoVirtuales = virtuales;
  std::vector<bool> activa;
  for (std::int32_t n = 1; n <= sesion.hoja.num_entidades(); ++n)
    activa.push_back(sesion.hoja.activa(n));
  const telmora::ResultadoDuplicados busqueda = telmora::Duplicados(sesion, opciones);
  const auto copia = telmora::graba_nuevo_bin(sesion, busqueda);
  telmora::marca_borrados(sesion, busqueda);
  const telmora::Hoja despues = fuzz::recarga(sesion, "aplicar los duplicados");
  try {
    telmora::cargo_bin(copia, sesion.tabla);
  } catch (const telmora::ErrorTelmora& error) {
    fuzz::falla(std::string("la copia sin duplicados no carga: ") + error.what());
  }
  // What the search did not mark is still there, in its place.
  for (std::int32_t numero = 1; numero <= sesion.hoja.num_entidades(); ++numero) {
    if (activa[static_cast<std::size_t>(numero - 1)] &&
        busqueda.marca(numero) == telmora::kSinDuplicado)
      exige(despues.activa(numero), "duplicados: se borró un elemento sin marca");
  }
  if (h.tolerancia_metros != 0) return;
  // With no tolerance, a segment no element holds any more was held by a whole duplicate of a
  // later element, or was cut where another element still holds a segment of the same box.
  const auto quedan = segmentos(despues);
  std::set<std::array<std::int32_t, 4>> cajas;
  for (const auto& [s, elementos] : quedan) cajas.insert(caja(s));
  for (const auto& [s, elementos] : antes) {
    if (quedan.contains(s) || cajas.contains(caja(s))) continue;
    exige(std::any_of(elementos.begin(), elementos.end(),
                      [&](std::int32_t n) {
                        const auto m = busqueda.marca(n);
                        return m == telmora::kDuplicadoExacto || m == telmora::kDuplicadoSimilar;
                      }),
          "duplicados: segmento perdido");
  }
}

void extrae(const fuzz::HojaAbiertaFuzz& abierta, const fuzz::HojaSintetica& h) {
  const telmora::Sesion sesion = abierta.sesion();
  telmora::Vista vista;
  const double u = sesion.ajustes.uds;
  vista.xmin = std::min(h.ventana[0], h.ventana[2]) / u;
  vista.ymin = std::min(h.ventana[1], h.ventana[3]) / u;
  vista.xmax = std::max(h.ventana[0], h.ventana[2]) / u;
  vista.ymax = std::max(h.ventana[1], h.ventana[3]) / u;
  for (const auto modo : {telmora::ModoExtraccion::dentro, telmora::ModoExtraccion::solapados}) {
    const auto salida = telmora::CortaFichero(sesion, vista, modo);
    try {
      telmora::cargo_bin(salida, sesion.tabla);
    } catch (const telmora::ErrorTelmora& error) {
      fuzz::falla(std::string("la extracción no carga: ") + error.what());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  static const fuzz::CarpetaProceso carpeta;
  const fuzz::HojaSintetica h = fuzz::decodifica({datos, tamano});
  const fuzz::HojaAbiertaFuzz abierta(carpeta, h);
  depura(abierta, carpeta);
  pdobles(abierta, h);
  duplicados(abierta, h, false, false);
  duplicados(abierta, h, h.milimetros, !h.milimetros);
  extrae(abierta, h);
  return 0;
}
