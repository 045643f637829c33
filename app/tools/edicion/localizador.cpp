#include "edicion/localizador.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

#include "funciones.h"
#include "modulo_apis.h"
#include "pintor.h"
#include "texto.h"

namespace telmora {

namespace {

// A segment is a hit when the click lies nearer than the tolerance plus this (metres).
constexpr double kHolguraSegmento = 0.001;
constexpr int kAnchoPuntoResalte = 5;
constexpr int kAnchoLineaResalte = 4;
// Inverted drawing ignores the pen's colour; every highlight is drawn that way so that drawing
// it a second time gives back exactly the picture it covered.
constexpr Rgb kColorInversion{255, 255, 255};

void dibuja_caja_invertida(Superficie& superficie, const Vista& vista, const Tentativo& t) {
  const std::array<PuntoPantalla, 5> esquinas{
      a_pantalla(vista, t.tentativo_minx(), t.tentativo_miny()),
      a_pantalla(vista, t.tentativo_maxx(), t.tentativo_miny()),
      a_pantalla(vista, t.tentativo_maxx(), t.tentativo_maxy()),
      a_pantalla(vista, t.tentativo_minx(), t.tentativo_maxy()),
      a_pantalla(vista, t.tentativo_minx(), t.tentativo_miny())};
  superficie.modo(ModoDibujo::inversion);
  superficie.pluma(0, 1, kColorInversion);
  superficie.polilinea(esquinas);
  superficie.modo(ModoDibujo::copia);
}

// Entity numbers, ascending, among which every entity whose box overlaps the search box is
// found: the grid's candidates for a small box, every entity otherwise.
class Localizador {
 public:
  Localizador(const Sesion& sesion, const Vista& vista, const Visualizacion& visualizacion,
              Superficie& superficie, Dialogos& dialogos, const Tentativo& tentativo,
              const std::function<void()>& muestra)
      : sesion_(sesion),
        vista_(vista),
        visualizacion_(visualizacion),
        superficie_(superficie),
        dialogos_(dialogos),
        t_(tentativo),
        muestra_(muestra),
        uds_(sesion.ajustes.uds) {}

  // Offers the entity for each of its hits until the user accepts it.
  bool examina(const Entidad& e) {
    const Hoja& hoja = sesion_.hoja;
    if (!hoja.activa(e) || oculta(e) || !solapa(hoja.rango_de(e))) return false;
    return hoja.cabecera_de(e).es_texto() ? busca_en_texto(e) : busca_en_cartografica(e);
  }

 private:
  // Visibility counts only while the selection display is off, and never for unknown codes.
  bool oculta(const Entidad& e) const {
    return !visualizacion_.seleccion && e.posicion_tab != 0 &&
           !sesion_.tabla.fila(e.posicion_tab).visible;
  }

  bool solapa(double xmin, double ymin, double xmax, double ymax) const {
    return rango_contenido(xmax, ymax, xmin, ymin, t_.tentativo_maxx(), t_.tentativo_maxy(),
                           t_.tentativo_minx(), t_.tentativo_miny());
  }
  bool solapa(const Rango& r) const {
    return solapa(double(r.xmin) / uds_, double(r.ymin) / uds_, double(r.xmax) / uds_,
                  double(r.ymax) / uds_);
  }

  Punto en_metros(const Vertice& v) const { return {double(v.x) / uds_, double(v.y) / uds_}; }

  bool en_caja(Punto p) const {
    return p.x >= t_.tentativo_minx() && p.x <= t_.tentativo_maxx() && p.y >= t_.tentativo_miny() &&
           p.y <= t_.tentativo_maxy();
  }

  // The foot of the perpendicular from the click falls on the segment, nearer than the tolerance.
  bool segmento_cerca(Punto a, Punto b) const {
    if (!solapa(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y))) {
      return false;
    }
    const Proyeccion p = proyeccion(a.x, a.y, b.x, b.y, t_.xtentativo, t_.ytentativo);
    return p.en_segmento && p.distancia < t_.tolerancia_tentativo + kHolguraSegmento;
  }

  // Highlights, asks, and takes the highlight away again after No.
  template <typename Resalte>
  bool ofrece(const Entidad& e, Resalte resalta) {
    resalta();
    superficie_.modo(ModoDibujo::copia);
    if (muestra_) muestra_();
    const bool aceptada = dialogos_.si_no(pregunta_eleccion(sesion_, e), kTituloEleccion);
    if (!aceptada) {
      resalta();
      superficie_.modo(ModoDibujo::copia);
    }
    return aceptada;
  }

  bool busca_en_texto(const Entidad& e) {
    const Vertice& insercion = sesion_.hoja.vertices_de(e)[0];
    double x = 0, y = 0;
    vista_.transforma_coordenadas(double(insercion.x) / uds_, double(insercion.y) / uds_, x, y);
    const std::string texto = sesion_.hoja.texto(e);
    return ofrece(e, [&] {
      superficie_.modo(ModoDibujo::inversion);
      const Rango& rango = sesion_.hoja.rango_de(e);
      Pintor::PintoUnTexto(superficie_, x, y, texto, rango.angulo_texto(), rango.altura_texto(),
                           rango.justificacion_texto(), kColorInversion, vista_, uds_);
    });
  }

  bool busca_en_cartografica(const Entidad& e) {
    const auto vertices = sesion_.hoja.vertices_de(e);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const Punto a = en_metros(vertices[i]);
      if (en_caja(a) && ofrece(e, [&] { resalta_vertice(a); })) return true;
      if (i + 1 == vertices.size()) break;
      if (segmento_cerca(a, en_metros(vertices[i + 1])) &&
          ofrece(e, [&] { resalta_entidad(vertices); })) {
        return true;
      }
    }
    return false;
  }

  void resalta_vertice(Punto p) {
    const PuntoPantalla en_pantalla = a_pantalla(vista_, p.x, p.y);
    superficie_.modo(ModoDibujo::inversion);
    superficie_.pluma(0, kAnchoPuntoResalte, kColorInversion);
    superficie_.punto(en_pantalla.x, en_pantalla.y);
  }

  // The whole element drawn over itself.
  void resalta_entidad(std::span<const Vertice> vertices) {
    superficie_.modo(ModoDibujo::inversion);
    superficie_.pluma(0, kAnchoLineaResalte, kColorInversion);
    trazador_.polilinea(superficie_, vista_, vertices, uds_);
  }

  const Sesion& sesion_;
  const Vista& vista_;
  const Visualizacion& visualizacion_;
  Superficie& superficie_;
  Dialogos& dialogos_;
  const Tentativo& t_;
  const std::function<void()>& muestra_;
  const int uds_;
  Trazador trazador_;
};

}  // namespace

void dibuja_localizador(Superficie& superficie, const Vista& vista, const Tentativo& tentativo) {
  dibuja_caja_invertida(superficie, vista, tentativo);
}

void borra_localizador(Superficie& superficie, const Vista& vista, const Tentativo& tentativo) {
  dibuja_caja_invertida(superficie, vista, tentativo);
}

std::string pregunta_eleccion(const Sesion& sesion, const Entidad& entidad) {
  return "Cod: " + cp1252_a_utf8(limpia_texto(sesion.hoja.cabecera_de(entidad).codigo_bruto())) +
         "\r" + sesion.tabla.fila(entidad.posicion_tab).descripcion() + "\r\r" + "¿Este elemento?";
}

std::int32_t leo_bin_localizo(const Sesion& sesion, const Vista& vista,
                              const Visualizacion& visualizacion, Superficie& superficie,
                              Dialogos& dialogos, const Tentativo& tentativo,
                              const std::function<void()>& muestra) {
  Localizador localizador(sesion, vista, visualizacion, superficie, dialogos, tentativo, muestra);
  for (const std::int32_t numero :
       entidades_a_examinar(sesion, tentativo.tentativo_minx(), tentativo.tentativo_miny(),
                            tentativo.tentativo_maxx(), tentativo.tentativo_maxy())) {
    if (localizador.examina(sesion.hoja.entidad(numero))) return numero;
  }
  return 0;
}

std::int32_t accion_info_elemento(const Sesion& sesion, const Vista& vista,
                                  const Visualizacion& visualizacion, Superficie& superficie,
                                  Dialogos& dialogos, double xtentativo, double ytentativo,
                                  const std::function<void()>& muestra) {
  const Tentativo tentativo{xtentativo, ytentativo, sesion.ajustes.tolerancia_tentativo};
  dibuja_localizador(superficie, vista, tentativo);
  std::int32_t elegida = 0;
  try {
    elegida =
        leo_bin_localizo(sesion, vista, visualizacion, superficie, dialogos, tentativo, muestra);
  } catch (...) {
    borra_localizador(superficie, vista, tentativo);
    throw;
  }
  borra_localizador(superficie, vista, tentativo);
  return elegida;
}

}  // namespace telmora
