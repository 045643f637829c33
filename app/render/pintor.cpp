#include "pintor.h"

#include <algorithm>
#include <cmath>

#include "funciones.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr double kAlturaMarcaPuntual = 500;  // file units: the "x" of a point element
constexpr double kTamanoMinimoLegible = 5;
constexpr int kAlturaMinimaPx = 3;
constexpr int kAnchoMarcaCentroide = 5;

int redondea(double valor) {
  // Far outside the drawing area a coordinate only needs to stay far outside it.
  return static_cast<int>(std::lrint(std::clamp(valor, -1e8, 1e8)));
}

}  // namespace

Rgb color_legible(Rgb fondo) {
  const int luminosidad = (299 * fondo.rojo + 587 * fondo.verde + 114 * fondo.azul) / 1000;
  return luminosidad < 128 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
}

PuntoPantalla a_pantalla(const Vista& vista, double x, double y) {
  double xp = 0, yp = 0;
  vista.transforma_coordenadas(x, y, xp, yp);
  return {redondea(xp), redondea(yp)};
}

PuntoPantalla a_pantalla(const Vista& vista, const Vertice& v, int uds) {
  return a_pantalla(vista, double(v.x) / uds, double(v.y) / uds);
}

namespace {

// Within this distance of the drawing area a pixel coordinate is rounded as it is; beyond it,
// shapes are clipped to the area widened by the margin first.
constexpr double kCercaDelArea = 1e6;
constexpr double kMargenRecorte = 64;

// Sutherland-Hodgman: the polygon cut to one side of a line, given as "inside" and the
// crossing point of an edge.
template <typename Dentro, typename Cruce>
void recorta_por_un_lado(const std::vector<Punto>& entrada, std::vector<Punto>& salida,
                         Dentro dentro, Cruce cruce) {
  salida.clear();
  for (std::size_t k = 0; k < entrada.size(); ++k) {
    const Punto& a = entrada[k];
    const Punto& b = entrada[(k + 1) % entrada.size()];
    if (dentro(a)) salida.push_back(a);
    if (dentro(a) != dentro(b)) salida.push_back(cruce(a, b));
  }
}

}  // namespace

bool Trazador::a_pantalla(const Vista& vista, std::span<const Vertice> vertices, int uds) {
  reales_.clear();
  bool cerca = true;
  const double ancho = vista.ancho_px(), alto = vista.alto_px();
  for (const Vertice& v : vertices) {
    Punto p;
    vista.transforma_coordenadas(double(v.x) / uds, double(v.y) / uds, p.x, p.y);
    cerca = cerca && p.x > -kCercaDelArea && p.x < ancho + kCercaDelArea && p.y > -kCercaDelArea &&
            p.y < alto + kCercaDelArea;
    reales_.push_back(p);
  }
  return cerca;
}

void Trazador::redondea_todos() {
  puntos_.clear();
  for (const Punto& p : reales_) puntos_.push_back({redondea(p.x), redondea(p.y)});
}

void Trazador::traza_tramo(Superficie& superficie) {
  if (puntos_.size() >= 2) superficie.polilinea(puntos_);
  puntos_.clear();
}

void Trazador::polilinea(Superficie& superficie, const Vista& vista,
                         std::span<const Vertice> vertices, int uds) {
  if (a_pantalla(vista, vertices, uds)) {
    redondea_todos();
    superficie.polilinea(puntos_);
    return;
  }
  const Marco marco{-kMargenRecorte, -kMargenRecorte, vista.ancho_px() + kMargenRecorte,
                    vista.alto_px() + kMargenRecorte};
  puntos_.clear();
  for (std::size_t k = 0; k + 1 < reales_.size(); ++k) {
    const Punto a = reales_[k], b = reales_[k + 1];
    double t0 = 0, t1 = 0;
    if (!recorta_segmento(a, b, marco, t0, t1)) {
      traza_tramo(superficie);
      continue;
    }
    auto en = [&](double t) {
      return PuntoPantalla{redondea(a.x + t * (b.x - a.x)), redondea(a.y + t * (b.y - a.y))};
    };
    if (t0 > 0 || puntos_.empty()) {
      traza_tramo(superficie);
      puntos_.push_back(en(t0));
    }
    puntos_.push_back(en(t1));
    if (t1 < 1) traza_tramo(superficie);
  }
  traza_tramo(superficie);
}

void Trazador::poligono(Superficie& superficie, const Vista& vista,
                        std::span<const Vertice> vertices, int uds) {
  if (!a_pantalla(vista, vertices, uds)) {
    const double x0 = -kMargenRecorte, y0 = -kMargenRecorte;
    const double x1 = vista.ancho_px() + kMargenRecorte, y1 = vista.alto_px() + kMargenRecorte;
    auto en_x = [](double x) {
      return [x](Punto a, Punto b) {
        return Punto{x, a.y + (x - a.x) * (b.y - a.y) / (b.x - a.x)};
      };
    };
    auto en_y = [](double y) {
      return [y](Punto a, Punto b) {
        return Punto{a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y), y};
      };
    };
    recorta_por_un_lado(
        reales_, recortados_, [&](Punto p) { return p.x >= x0; }, en_x(x0));
    recorta_por_un_lado(
        recortados_, reales_, [&](Punto p) { return p.x <= x1; }, en_x(x1));
    recorta_por_un_lado(
        reales_, recortados_, [&](Punto p) { return p.y >= y0; }, en_y(y0));
    recorta_por_un_lado(
        recortados_, reales_, [&](Punto p) { return p.y <= y1; }, en_y(y1));
    if (reales_.size() < 3) return;
  }
  redondea_todos();
  superficie.poligono(puntos_);
}

namespace {

Rgb inverso(Rgb color) {
  return {255 - color.rojo, 255 - color.verde, 255 - color.azul};
}

}  // namespace

Alineacion PoneJustificacion(int justificacion) {
  switch (justificacion) {
    case 1:
    case 2:
      return {Horizontal::izquierda, Vertical::arriba};
    case 3:
    case 8:
      return {Horizontal::centro, Vertical::arriba};
    case 4:
    case 5:
      return {Horizontal::derecha, Vertical::arriba};
    case 6:
      return {Horizontal::derecha, Vertical::abajo};
    case 7:
      return {Horizontal::centro, Vertical::abajo};
    default:
      return {Horizontal::izquierda, Vertical::abajo};
  }
}

double tamano_texto(double altura_unidades, int uds, double escala, double twips_por_pixel) {
  return std::nearbyint(altura_unidades / uds * 100 / escala * twips_por_pixel) * 2.54;
}

int altura_fuente_px(double tamano, double twips_por_pixel) {
  const double pixeles = std::fabs(std::nearbyint(-20 * tamano / twips_por_pixel));
  return std::max(kAlturaMinimaPx, static_cast<int>(std::min(pixeles, 100000.0)));
}

void dibuja_elemento(Superficie& superficie, Trazador& trazador, const Vista& vista,
                     std::span<const Vertice> vertices, int uds, bool rellena, Rgb color) {
  const ClaseElemento clase = clase_elemento(vertices);
  if (clase == ClaseElemento::puntual) {
    const double tamano =
        tamano_texto(kAlturaMarcaPuntual, uds, vista.escala, vista.twips_por_pixel());
    if (tamano <= kTamanoMinimoLegible) return;
    const PuntoPantalla p = a_pantalla(vista, vertices[0], uds);
    superficie.texto(p.x, p.y, "x", altura_fuente_px(tamano, vista.twips_por_pixel()), 0,
                     {Horizontal::centro, Vertical::centro}, color);
  } else if (rellena && clase == ClaseElemento::cerrado && vertices.size() > 2) {
    trazador.poligono(superficie, vista, vertices, uds);
  } else {
    trazador.polilinea(superficie, vista, vertices, uds);
  }
}

EntidadNueva texto_de_centroide(const Cabecera& origen, double x, double y) {
  EntidadNueva texto;
  texto.cabecera.tipo = kTipoTexto;
  texto.cabecera.estado = kEstadoActivo;
  const std::string codigo = limpia_texto(origen.codigo_bruto());
  texto.cabecera.codigo = codigo_desde_texto(codigo);
  texto.cabecera.num_puntos = 2;
  const Vertice punto{static_cast<std::int32_t>(std::nearbyint(x)),
                      static_cast<std::int32_t>(std::nearbyint(y)), 0};
  texto.vertices = {punto};
  texto.rango.xmin = texto.rango.xmax = punto.x;
  texto.rango.ymin = texto.rango.ymax = punto.y;
  texto.rango.septimo = kAlturaTextoNuevo;
  texto.rango.octavo = kJustificacionTextoNuevo;
  texto.rango.noveno = kAnguloTextoNuevo;
  texto.bytes_texto = trozo_de_texto(codigo + "C");
  return texto;
}

struct Pintor::Ventana {
  const Vista& vista;
  const Visualizacion& visualizacion;
  int uds;

  bool solapa(const Rango& r) const {
    return rango_contenido(double(r.xmax) / uds, double(r.ymax) / uds, double(r.xmin) / uds,
                           double(r.ymin) / uds, vista.xmax, vista.ymax, vista.xmin, vista.ymin);
  }
  bool cota_admitida(std::int32_t z) const {
    const double metros = double(z) / uds;
    return visualizacion.cota_minima <= metros && metros <= visualizacion.cota_maxima;
  }
};

std::int32_t Pintor::fila_visible(const Entidad& e, const Visualizacion& visualizacion) const {
  const TablaVekt& tabla = sesion_.tabla;
  std::int32_t fila = e.posicion_tab;
  // Row 0 (a code not in the table) is looked past too: its attributes may name a code.
  if (visualizacion.seleccion && (fila == 0 || !tabla.fila(fila).visible)) {
    for (const Atributo& a : sesion_.hoja.atributos_de(e)) {
      if (a.id_tabla != 2) continue;
      fila = a.posicion_tab;
      if (tabla.fila(fila).visible) break;
    }
  }
  return fila != 0 && !tabla.fila(fila).visible ? -1 : fila;
}

ResultadoDibujo Pintor::leo_bin_pinto(Superficie& superficie, const Vista& vista,
                                      const Visualizacion& visualizacion) {
  const Hoja& hoja = sesion_.hoja;
  const int uds = sesion_.ajustes.uds;
  const Ventana ventana{vista, visualizacion, uds};
  ResultadoDibujo resultado;
  const bool sin_textos = visualizacion.abierto_cerrado == ModoElementos::no_textos;

  // Cartographic elements first, then texts, each in file order.
  const auto candidatas =
      entidades_a_examinar(sesion_, vista.xmin, vista.ymin, vista.xmax, vista.ymax);
  for (const std::int32_t numero : candidatas) {
    if (hoja.fila(numero).tipo == kIndiceTipoC) {
      pinta_cartografica(superficie, hoja.entidad(numero), ventana, resultado);
    }
  }
  for (const std::int32_t numero : candidatas) {
    if (!sin_textos && hoja.fila(numero).tipo == kIndiceTipoT) {
      pinta_texto(superficie, hoja.entidad(numero), ventana, resultado);
    }
  }
  return resultado;
}

void Pintor::pinta_cartografica(Superficie& superficie, const Entidad& e, const Ventana& v,
                                ResultadoDibujo& resultado) {
  if (!e.activa() || !v.solapa(e.rango)) return;
  const Visualizacion& vis = v.visualizacion;
  const std::int32_t fila = fila_visible(e, vis);
  if (fila < 0) return;
  const auto vertices = sesion_.hoja.vertices_de(e);
  if (!vis.todas_las_cotas && std::none_of(vertices.begin(), vertices.end(), [&](const Vertice& p) {
        return v.cota_admitida(p.z);
      })) {
    return;
  }
  const ClaseElemento clase = clase_elemento(vertices);
  switch (vis.abierto_cerrado) {
    case ModoElementos::abiertos:
      if (clase != ClaseElemento::abierto) return;
      break;
    case ModoElementos::cerrados:
      if (clase != ClaseElemento::cerrado) return;
      break;
    case ModoElementos::textos_y_puntuales:
      if (clase != ClaseElemento::puntual) return;
      break;
    default:
      break;
  }

  const Rgb color = sesion_.paleta.color(sesion_.tabla.color_de_fila(fila));
  superficie.pluma(vis.estilo_pluma, 0, color);
  superficie.pincel(color);
  resultado.dibujadas.push_back(e.numero);
  dibuja_elemento(superficie, trazador_, v.vista, vertices, v.uds, vis.rellena_cerrados(), color);
  if (clase != ClaseElemento::cerrado || vertices.size() <= 2 || !vis.modo_centroides()) return;

  double x = (double(e.rango.xmin) + e.rango.xmax) / 2,
         y = (double(e.rango.ymin) + e.rango.ymax) / 2;
  if (!punto_interior_poligono(x, y, vertices)) return;
  double xp = 0, yp = 0;
  v.vista.transforma_coordenadas(x / v.uds, y / v.uds, xp, yp);
  superficie.pluma(0, kAnchoMarcaCentroide, inverso(color));
  superficie.punto(redondea(xp), redondea(yp));
  if (vis.grabar_centroides) resultado.centroides.push_back(texto_de_centroide(e.cabecera, x, y));
}

void Pintor::pinta_texto(Superficie& superficie, const Entidad& e, const Ventana& v,
                         ResultadoDibujo& resultado) {
  if (!e.activa() || !v.solapa(e.rango)) return;
  if (fila_visible(e, v.visualizacion) < 0) return;
  const Vertice& insercion = sesion_.hoja.vertices_de(e)[0];
  if (!v.visualizacion.todas_las_cotas && !v.cota_admitida(insercion.z)) return;
  double x = 0, y = 0;
  v.vista.transforma_coordenadas(double(insercion.x) / v.uds, double(insercion.y) / v.uds, x, y);
  // A text keeps its own code's colour even when an attribute's code made it visible.
  const Rgb color = sesion_.paleta.color(sesion_.tabla.color_de_fila(e.posicion_tab));
  // A text too small to read is drawn as a mark: its characters are not needed.
  const bool legible = tamano_texto(e.rango.altura_texto(), v.uds, v.vista.escala,
                                    v.vista.twips_por_pixel()) > kTamanoMinimoLegible;
  PintoUnTexto(superficie, x, y, legible ? sesion_.hoja.texto(e) : std::string(),
               e.rango.angulo_texto(), e.rango.altura_texto(), e.rango.justificacion_texto(), color,
               v.vista, v.uds);
  resultado.dibujadas.push_back(e.numero);
}

void Pintor::PintoUnTexto(Superficie& superficie, double x, double y, const std::string& texto,
                          int angulo_centesimas, double altura_unidades, int justificacion,
                          Rgb color, const Vista& vista, int uds) {
  const double angulo = angulo_centesimas / 100.0;
  const double tamano = tamano_texto(altura_unidades, uds, vista.escala, vista.twips_por_pixel());
  const int altura = altura_fuente_px(tamano, vista.twips_por_pixel());
  const int escapamiento = static_cast<int>(std::nearbyint(10 * angulo));
  superficie.texto(redondea(x), redondea(y), tamano > kTamanoMinimoLegible ? texto : "o", altura,
                   escapamiento, PoneJustificacion(justificacion), color);
}

}  // namespace telmora
