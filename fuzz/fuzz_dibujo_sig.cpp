// Drawing and GIS exchange on sheets built from the input: the sheet drawn into an image as it
// opens, zoomed on a window and at the smallest and largest scales, each time with the elevation
// labels of its vertices; then written as a GeoPackage
// and read back into an entity file, which holds the active elements' vertices unchanged.
#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "comun_fuzz.h"
#include "fichero.h"
#include "hoja_abierta.h"
#include "pintor.h"
#include "sig/exportacion.h"
#include "sig/importacion.h"
#include "superficie_imagen.h"
#include "visor/cotas_vertices.h"
#include "vista.h"

namespace {

using fuzz::exige;

void dibuja(telmora::Sesion& sesion, const fuzz::HojaSintetica& h) {
  telmora::SuperficieImagen superficie(160, 120);
  telmora::Vista vista;
  vista.dimensiona(superficie.ancho(), superficie.alto());
  telmora::Visualizacion visualizacion;
  telmora::ajusta_a_hoja(sesion, vista, visualizacion);
  telmora::Pintor pintor(sesion);
  auto pinta = [&] {
    const telmora::ResultadoDibujo dibujo =
        telmora::redibuja_vista(pintor, superficie, vista, visualizacion);
    telmora::VisualizarCotasVertices(superficie, sesion, vista,
                                     telmora::EntidadesDibujadas(sesion.hoja, dibujo.dibujadas));
  };
  pinta();
  const double u = sesion.ajustes.uds;
  vista.xmin = std::min(h.ventana[0], h.ventana[2]) / u;
  vista.ymin = std::min(h.ventana[1], h.ventana[3]) / u;
  vista.xmax = std::max(h.ventana[0], h.ventana[2]) / u;
  vista.ymax = std::max(h.ventana[1], h.ventana[3]) / u;
  vista.calculo_escala();
  visualizacion.relleno = !h.milimetros;
  visualizacion.centroides = visualizacion.grabar_centroides = h.milimetros;
  pinta();
  for (const double escala : {1.0, 1e9}) {
    vista.escala_actual = escala;
    vista.CentraZoom();
    pinta();
  }
}

// The vertices of the active elements of a sheet, each element's list, in any order.
std::vector<std::vector<telmora::Vertice>> elementos(const telmora::Hoja& hoja) {
  std::vector<std::vector<telmora::Vertice>> v;
  for (const telmora::Entidad& e : hoja.c) {
    if (!hoja.activa(e)) continue;
    const auto vs = hoja.vertices_de(e);
    v.emplace_back(vs.begin(), vs.end());
  }
  std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](const telmora::Vertice& p, const telmora::Vertice& q) {
                                          return std::tie(p.x, p.y, p.z) < std::tie(q.x, q.y, q.z);
                                        });
  });
  return v;
}

void ida_y_vuelta(const telmora::Sesion& sesion, const fuzz::CarpetaProceso& carpeta) {
  const auto gpkg = carpeta.ruta() / "hoja.gpkg";
  const auto vuelta = carpeta.ruta() / "vuelta.bin";
  try {
    telmora::exporta_sig(sesion, telmora::OpcionesExportacion(gpkg));
  } catch (const telmora::ErrorTelmora& error) {
    fuzz::falla(std::string("la exportación falla: ") + error.what());
  }
  telmora::OpcionesImportacion opciones;
  opciones.uds = sesion.ajustes.uds;
  try {
    telmora::importa_sig({gpkg}, vuelta, opciones);
  } catch (const telmora::ErrorTelmora&) {
    // Nothing to import (a sheet without active elements) is refused, and writes nothing.
    exige(!std::filesystem::exists(vuelta), "una importación rechazada dejó su salida");
    return;
  }
  telmora::Hoja leida;
  try {
    leida = telmora::cargo_bin(vuelta, sesion.tabla);
  } catch (const telmora::ErrorTelmora& error) {
    fuzz::falla(std::string("la hoja importada no carga: ") + error.what());
  }
  exige(elementos(leida) == elementos(sesion.hoja), "la ida y vuelta cambió los elementos");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char nombre[] = "fuzz_dibujo_sig";
  static char* argv[] = {nombre, nullptr};
  static auto aplicacion = std::make_unique<QGuiApplication>(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  static const fuzz::CarpetaProceso carpeta;
  const fuzz::HojaSintetica h = fuzz::decodifica({datos, tamano});
  telmora::Sesion sesion = fuzz::HojaAbiertaFuzz(carpeta, h).sesion();
  dibuja(sesion, h);
  ida_y_vuelta(sesion, carpeta);
  return 0;
}
