#include "edicion/extraccion.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "edicion/reescritura.h"
#include "funciones.h"

namespace telmora {

namespace {

// The window in file units, shrunk to the whole units whose vertices lie in it when converted to
// metres: a vertex is inside this box exactly when dentro_fuera_ventana says it is, and every
// point written on its edges is inside the window too.
struct VentanaEnUnidades {
  Marco marco;
  bool vacia = false;
};

double primer_entero_desde(double metros, int uds) {
  double n = std::ceil(metros * uds);
  while (n / uds < metros) ++n;
  while ((n - 1) / uds >= metros) --n;
  return n;
}

double ultimo_entero_hasta(double metros, int uds) {
  double n = std::floor(metros * uds);
  while (n / uds > metros) --n;
  while ((n + 1) / uds <= metros) ++n;
  return n;
}

VentanaEnUnidades ventana_en_unidades(const Vista& v, int uds) {
  constexpr double kLimite = 4e9;  // beyond any 32-bit coordinate
  auto acota = [&](double valor) { return std::clamp(valor, -kLimite, kLimite); };
  VentanaEnUnidades ventana;
  ventana.marco = {acota(primer_entero_desde(v.xmin, uds)), acota(primer_entero_desde(v.ymin, uds)),
                   acota(ultimo_entero_hasta(v.xmax, uds)),
                   acota(ultimo_entero_hasta(v.ymax, uds))};
  ventana.vacia =
      ventana.marco.xmin > ventana.marco.xmax || ventana.marco.ymin > ventana.marco.ymax;
  return ventana;
}

// Cuts cartographic elements at the window's edges and writes the pieces inside it. Each segment
// is clipped to the window in file units; a point where it enters or leaves lies on the edge it
// crosses, within the segment, with its elevation interpolated between the segment's ends.
class Cortador {
 public:
  Cortador(const Hoja& hoja, const Vista& vista, int uds, SalidaBin& salida)
      : hoja_(hoja), ventana_(ventana_en_unidades(vista, uds)), salida_(salida) {}

  void corta(const Entidad& e) {
    const auto vertices = hoja_.vertices_de(e);
    tramo_.clear();
    if (ventana_.vacia) return;
    if (vertices.size() == 1) {
      const Vertice& v = vertices[0];
      if (dentro(v)) tramo_.push_back(v);
      escribe_tramo(e, 1);
      return;
    }
    for (std::size_t k = 0; k + 1 < vertices.size(); ++k) {
      const Vertice &a = vertices[k], &b = vertices[k + 1];
      double t0 = 0, t1 = 0;
      if (!recorta_segmento({double(a.x), double(a.y)}, {double(b.x), double(b.y)}, ventana_.marco,
                            t0, t1)) {
        escribe_tramo(e);
        continue;
      }
      if (t0 > 0 || tramo_.empty()) {
        escribe_tramo(e);
        anade(a, b, t0);
      }
      if (t1 > t0) anade(a, b, t1);
      if (t1 < 1) escribe_tramo(e);
    }
    escribe_tramo(e);
  }

 private:
  bool dentro(const Vertice& v) const {
    const Marco& m = ventana_.marco;
    return m.xmin <= v.x && v.x <= m.xmax && m.ymin <= v.y && v.y <= m.ymax;
  }

  // The point at t of segment a-b: one of its ends, or a cut point rounded to whole units and
  // kept in the window and in the segment's box. A cut point that falls on the run's last vertex
  // (or an end that falls on the cut point before it) is not repeated.
  void anade(const Vertice& a, const Vertice& b, double t) {
    const bool corte = t > 0 && t < 1;
    Vertice v = t <= 0 ? a : b;
    if (corte) {
      const double x = a.x + t * (double(b.x) - a.x), y = a.y + t * (double(b.y) - a.y);
      const double z = interpola_cota(a.z, a.x, a.y, b.z, b.x, b.y, x, y);
      const Marco& m = ventana_.marco;
      v.x = redondea_en(x, std::max<double>(m.xmin, std::min(a.x, b.x)),
                        std::min<double>(m.xmax, std::max(a.x, b.x)));
      v.y = redondea_en(y, std::max<double>(m.ymin, std::min(a.y, b.y)),
                        std::min<double>(m.ymax, std::max(a.y, b.y)));
      v.z = redondea_en(z, std::min(a.z, b.z), std::max(a.z, b.z));
    }
    if (!tramo_.empty() && (corte || ultimo_es_corte_) && tramo_.back().x == v.x &&
        tramo_.back().y == v.y) {
      if (!corte) tramo_.back() = v;  // the element's own vertex is kept
      ultimo_es_corte_ = ultimo_es_corte_ && corte;
      return;
    }
    tramo_.push_back(v);
    ultimo_es_corte_ = corte;
  }

  static std::int32_t redondea_en(double valor, double minimo, double maximo) {
    return static_cast<std::int32_t>(std::clamp(std::nearbyint(valor), minimo, maximo));
  }

  // A run is written when it has `minimo` vertices: a line touching the window at a single
  // point gives no piece, as alone it would read as a point symbol.
  void escribe_tramo(const Entidad& e, std::size_t minimo = 2) {
    if (tramo_.size() >= minimo) {
      Cabecera cabecera = hoja_.cabecera_de(e);
      cabecera.num_puntos = static_cast<std::int16_t>(tramo_.size());
      Rango rango = hoja_.rango_de(e);
      calcula_rango_entidad(rango, tramo_);
      salida_.entidad(cabecera, rango, tramo_, {}, hoja_.atributos_de(e));
    }
    tramo_.clear();
    ultimo_es_corte_ = false;
  }

  const Hoja& hoja_;
  VentanaEnUnidades ventana_;
  SalidaBin& salida_;
  std::vector<Vertice> tramo_;
  bool ultimo_es_corte_ = false;
};

}  // namespace

bool dentro_fuera_ventana(const Vista& vista, double x, double y) {
  return vista.xmin <= x && x <= vista.xmax && vista.ymin <= y && y <= vista.ymax;
}

std::filesystem::path CortaFichero(const Sesion& sesion, const Vista& vista, ModoExtraccion modo) {
  const Hoja& hoja = sesion.hoja;
  const int uds = sesion.ajustes.uds;
  auto examinada = [&](const Entidad& e) {
    const Rango& r = hoja.rango_de(e);
    return hoja.activa(e) && (e.posicion_tab == 0 || sesion.tabla.fila(e.posicion_tab).visible) &&
           rango_contenido(double(r.xmax) / uds, double(r.ymax) / uds, double(r.xmin) / uds,
                           double(r.ymin) / uds, vista.xmax, vista.ymax, vista.xmin, vista.ymin);
  };

  const auto destino = ruta_con_sufijo(sesion.ajustes.fich_entrada, "_f.bin");
  SalidaBin salida(destino);
  Cortador cortador(hoja, vista, uds, salida);
  const auto numeros = entidades_a_examinar(sesion, vista.xmin, vista.ymin, vista.xmax, vista.ymax);
  for (const std::int32_t numero : numeros) {
    const Entidad& e = hoja.entidad(numero);
    if (hoja.cabecera_de(e).es_texto() || !examinada(e)) continue;
    if (modo == ModoExtraccion::solapados) {
      salida.entidad(hoja, e);
    } else {
      cortador.corta(e);
    }
  }
  for (const std::int32_t numero : numeros) {
    const Entidad& e = hoja.entidad(numero);
    if (!hoja.cabecera_de(e).es_texto() || !examinada(e)) continue;
    const Vertice& insercion = hoja.vertices_de(e)[0];
    if (dentro_fuera_ventana(vista, double(insercion.x) / uds, double(insercion.y) / uds)) {
      salida.entidad(hoja, e);
    }
  }
  salida.confirma();
  return destino;
}

}  // namespace telmora
