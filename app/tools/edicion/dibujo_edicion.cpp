#include "edicion/dibujo_edicion.h"

#include <unordered_map>
#include <vector>

#include "funciones.h"
#include "pintor.h"

namespace telmora {

namespace {

constexpr int kAnchoSegmentoCoincidente = 5;
// Vertex labels are drawn at this size of PintoUnTexto at any scale (about 14 pixels high).
constexpr double kTamanoEtiqueta = 4;

}  // namespace

void leo_bin_pinto_duplicados(const Sesion& sesion, const ResultadoDuplicados& duplicados,
                              Superficie& superficie, const Vista& vista,
                              const Visualizacion& visualizacion) {
  const Hoja& hoja = sesion.hoja;
  const int uds = sesion.ajustes.uds;
  std::unordered_map<std::int32_t, std::vector<std::int32_t>> segmentos;
  for (const SegmentoCoincidente& s : duplicados.segmentos) {
    segmentos[s.posicion1].push_back(s.segmento1);
    segmentos[s.posicion2].push_back(s.segmento2);
  }

  Trazador trazador;
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const FilaIndice& f = hoja.fila(numero);
    const Entidad& e = hoja.entidad(numero);
    const std::int32_t marca = duplicados.marca(numero);
    if (marca == kSinDuplicado || !hoja.activa(e)) continue;
    if (!rango_contenido(double(f.xmax) / uds, double(f.ymax) / uds, double(f.xmin) / uds,
                         double(f.ymin) / uds, vista.xmax, vista.ymax, vista.xmin, vista.ymin)) {
      continue;
    }
    const Rgb color = sesion.paleta.color(sesion.tabla.color_de_fila(e.posicion_tab));
    const auto vertices = hoja.vertices_de(e);
    superficie.pluma(0, 1, color);
    superficie.pincel(color);
    if (hoja.cabecera_de(e).es_texto()) {
      const PuntoPantalla p = a_pantalla(vista, vertices[0], uds);
      Pintor::PintoUnTexto(superficie, p.x, p.y, hoja.texto(e), hoja.rango_de(e).angulo_texto(),
                           hoja.rango_de(e).altura_texto(), hoja.rango_de(e).justificacion_texto(),
                           color, vista, uds);
      continue;
    }
    dibuja_elemento(superficie, trazador, vista, vertices, uds, visualizacion.rellena_cerrados(),
                    color);
    const auto emparejados = segmentos.find(f.posicion);
    if (marca < kSegmentosIdenticos || emparejados == segmentos.end()) continue;
    superficie.pluma(0, kAnchoSegmentoCoincidente, color);
    for (const std::int32_t k : emparejados->second) {
      if (k < 1 || static_cast<std::size_t>(k) >= vertices.size()) continue;
      trazador.polilinea(superficie, vista, vertices.subspan(static_cast<std::size_t>(k) - 1, 2),
                         uds);
    }
  }
}

void numera_vertices(Superficie& superficie, const Vista& vista, const Sesion& sesion,
                     const EntidadEnFichero& entidad) {
  if (entidad.cabecera.es_texto()) return;
  const int uds = sesion.ajustes.uds;
  // The height in file units that PintoUnTexto turns into kTamanoEtiqueta at the view's scale.
  const double altura = kTamanoEtiqueta * uds * vista.escala / (100 * vista.twips_por_pixel());
  const Rgb color = color_legible(color_fondo(sesion.tabla, sesion.paleta));
  superficie.modo(ModoDibujo::copia);
  for (std::size_t i = 0; i < entidad.vertices.size(); ++i) {
    const Vertice& v = entidad.vertices[i];
    double x = 0, y = 0;
    vista.transforma_coordenadas(double(v.x) / uds, double(v.y) / uds, x, y);
    Pintor::PintoUnTexto(superficie, x, y, std::to_string(i + 1), 0, altura, 0, color, vista, uds);
  }
}

}  // namespace telmora
