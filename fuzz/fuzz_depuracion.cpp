// The tools that repair a sheet, on sheets built from the input: the network cleanup (snapping
// and splitting), double points and loops, duplicates with their application and their copy, and
// the window extraction. After each in-place tool the sheet loads again, and the active elements
// are those the tool kept plus those it added.
#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>

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

// Every active element's segments, as unordered pairs of plane points.
using Segmento =
    std::pair<std::pair<std::int32_t, std::int32_t>, std::pair<std::int32_t, std::int32_t>>;
std::set<Segmento> segmentos(const telmora::Hoja& hoja) {
  std::set<Segmento> s;
  for (const telmora::Entidad& e : hoja.c) {
    if (!e.activa()) continue;
    const auto v = hoja.vertices_de(e);
    for (std::size_t i = 1; i < v.size(); ++i) {
      std::pair a{v[i - 1].x, v[i - 1].y}, b{v[i].x, v[i].y};
      s.insert(std::minmax(a, b));
    }
  }
  return s;
}

void depura(const fuzz::HojaAbiertaFuzz& abierta, const fuzz::CarpetaProceso& carpeta,
            const fuzz::HojaSintetica& h) {
  telmora::Sesion sesion = abierta.sesion();
  const fuzz::Activas antes = fuzz::activas(sesion.hoja);
  telmora::OpcionesBinjunta opciones;
  opciones.carpeta_listados = carpeta.ruta();
  try {
    telmora::ejecuta_binjunta(sesion, opciones);
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
  const telmora::ResultadoPdobles r = telmora::Proceso_pdobles(sesion, tolerancias);
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
  const telmora::TablaSegmentos tabla = telmora::Duplicados(sesion, opciones);
  const auto copia = telmora::graba_nuevo_bin(sesion);
  telmora::marca_borrados(sesion, tabla);
  const telmora::Hoja despues = fuzz::recarga(sesion, "aplicar los duplicados");
  try {
    telmora::cargo_bin(copia, sesion.tabla);
  } catch (const telmora::ErrorTelmora& error) {
    fuzz::falla(std::string("la copia sin duplicados no carga: ") + error.what());
  }
  // Equal segments: every segment an active element held is still held by one.
  if (h.tolerancia_metros == 0) exige(segmentos(despues) == antes, "duplicados: segmento perdido");
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
  depura(abierta, carpeta, h);
  pdobles(abierta, h);
  duplicados(abierta, h, false, false);
  duplicados(abierta, h, h.milimetros, !h.milimetros);
  extrae(abierta, h);
  return 0;
}
