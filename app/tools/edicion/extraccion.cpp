#include "edicion/extraccion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <vector>

#include "funciones.h"
#include "edicion/reescritura.h"

namespace telmora {

namespace {

std::int32_t a_entero(double valor) {
  return static_cast<std::int32_t>(
      std::nearbyint(std::clamp(valor, double(std::numeric_limits<std::int32_t>::min()),
                                double(std::numeric_limits<std::int32_t>::max()))));
}

struct Borde {
  Punto a, b;
};

// The window's edges in the order a crossing is looked for: left, top, right, bottom.
std::array<Borde, 4> bordes_de(const Vista& v) {
  return {{{{v.xmin, v.ymin}, {v.xmin, v.ymax}},
           {{v.xmax, v.ymax}, {v.xmin, v.ymax}},
           {{v.xmax, v.ymax}, {v.xmax, v.ymin}},
           {{v.xmin, v.ymin}, {v.xmax, v.ymin}}}};
}

// Entity numbers, ascending, of every entity whose range may overlap the window.
// Cuts cartographic elements at the window's edges and writes the pieces inside it.
class Cortador {
 public:
  Cortador(const Hoja& hoja, const Vista& vista, int uds, SalidaBin& salida)
      : hoja_(hoja), vista_(vista), bordes_(bordes_de(vista)), uds_(uds), salida_(salida) {}

  void corta(const Entidad& e) {
    const auto vertices = hoja_.vertices_de(e);
    // A line touching the window at a single vertex gives no piece: alone it would read as a
    // point symbol.
    minimo_ = vertices.size() < 2 ? 1 : 2;
    tramo_.clear();
    bool previo_dentro = false;
    for (std::size_t k = 0; k < vertices.size(); ++k) {
      const Vertice& v = vertices[k];
      const bool dentro = dentro_fuera_ventana(vista_, double(v.x) / uds_, double(v.y) / uds_);
      if (dentro && k > 0 && !previo_dentro) {
        tramo_.clear();
        anade_corte(vertices[k - 1], v);
      }
      if (dentro) tramo_.push_back(v);
      if (!dentro && previo_dentro) {
        anade_corte(vertices[k - 1], v);
        escribe_tramo(e);
      }
      previo_dentro = dentro;
    }
    escribe_tramo(e);
  }

 private:
  // The point where the segment crosses the first edge it properly crosses, with its elevation
  // interpolated along the segment, unless it falls on the segment's inner vertex (a point
  // repeated there would be a double vertex).
  void anade_corte(const Vertice& previo, const Vertice& actual) {
    const Punto a{double(previo.x) / uds_, double(previo.y) / uds_};
    const Punto b{double(actual.x) / uds_, double(actual.y) / uds_};
    for (const Borde& borde : bordes_) {
      Punto cruce;
      if (interseccion_segmentos(a, b, borde.a, borde.b, cruce) != kCruce) continue;
      const double z = interpola_cota_corte(previo, actual, cruce.x, cruce.y, uds_);
      const Vertice corte{a_entero(cruce.x * uds_), a_entero(cruce.y * uds_), a_entero(z * uds_)};
      const Vertice& interior = tramo_.empty() ? actual : tramo_.back();
      if (corte.x != interior.x || corte.y != interior.y) tramo_.push_back(corte);
      return;
    }
  }

  void escribe_tramo(const Entidad& e) {
    if (tramo_.size() >= minimo_) {
      Cabecera cabecera = e.cabecera;
      cabecera.num_puntos = static_cast<std::int16_t>(tramo_.size());
      Rango rango = e.rango;
      calcula_rango_entidad(rango, tramo_);
      salida_.entidad(cabecera, rango, tramo_, {}, hoja_.atributos_de(e));
    }
    tramo_.clear();
  }

  const Hoja& hoja_;
  const Vista& vista_;
  std::array<Borde, 4> bordes_;
  int uds_;
  SalidaBin& salida_;
  std::vector<Vertice> tramo_;
  std::size_t minimo_ = 1;
};

}  // namespace

bool dentro_fuera_ventana(const Vista& vista, double x, double y) {
  return vista.xmin <= x && x <= vista.xmax && vista.ymin <= y && y <= vista.ymax;
}

std::filesystem::path CortaFichero(const Sesion& sesion, const Vista& vista, ModoExtraccion modo) {
  const Hoja& hoja = sesion.hoja;
  const int uds = sesion.ajustes.uds;
  auto examinada = [&](const Entidad& e) {
    const Rango& r = e.rango;
    return e.activa() && (e.posicion_tab == 0 || sesion.tabla.fila(e.posicion_tab).visible) &&
           rango_contenido(double(r.xmax) / uds, double(r.ymax) / uds, double(r.xmin) / uds,
                           double(r.ymin) / uds, vista.xmax, vista.ymax, vista.xmin, vista.ymin);
  };

  const auto destino = ruta_con_sufijo(sesion.ajustes.fich_entrada, "_f.bin");
  SalidaBin salida(destino);
  Cortador cortador(hoja, vista, uds, salida);
  const auto numeros = entidades_a_examinar(sesion, vista.xmin, vista.ymin, vista.xmax, vista.ymax);
  for (const std::int32_t numero : numeros) {
    const Entidad& e = hoja.entidad(numero);
    if (e.cabecera.es_texto() || !examinada(e)) continue;
    if (modo == ModoExtraccion::solapados) {
      salida.entidad(hoja, e);
    } else {
      cortador.corta(e);
    }
  }
  for (const std::int32_t numero : numeros) {
    const Entidad& e = hoja.entidad(numero);
    if (!e.cabecera.es_texto() || !examinada(e)) continue;
    const Vertice& insercion = hoja.vertices_de(e)[0];
    if (dentro_fuera_ventana(vista, double(insercion.x) / uds, double(insercion.y) / uds)) {
      salida.entidad(hoja, e);
    }
  }
  salida.confirma();
  return destino;
}

}  // namespace telmora
