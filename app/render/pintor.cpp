#include "pintor.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

#include "funciones.h"
#include "grabacion.h"
#include "paralelo.h"
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

void Trazador::a_reales(const Vista& vista, std::span<const Vertice> vertices, int uds) {
  reales_.resize(vertices.size());
  for (std::size_t k = 0; k < vertices.size(); ++k) {
    vista.transforma_coordenadas(double(vertices[k].x) / uds, double(vertices[k].y) / uds,
                                 reales_[k].x, reales_[k].y);
  }
}

bool Trazador::en_pixeles(const Superficie& superficie, const Vista& vista,
                          std::span<const Vertice> vertices, int uds) {
  // Every vertex converted first, in a loop with no branch to mispredict; the vertices that
  // change nothing are left out after.
  const double xmin = vista.xmin, ymax = vista.ymax, factor = vista.factor, u = uds;
  const double x0 = -kCercaDelArea, x1 = vista.ancho_px() + kCercaDelArea;
  const double y0 = -kCercaDelArea, y1 = vista.alto_px() + kCercaDelArea;
  puntos_.resize(vertices.size());
  bool cerca = true;
  for (std::size_t k = 0; k < vertices.size(); ++k) {
    const double x = (double(vertices[k].x) / u - xmin) * factor;
    const double y = (ymax - double(vertices[k].y) / u) * factor;
    cerca &= (x > x0) & (x < x1) & (y > y0) & (y < y1);
    puntos_[k] = {redondea(x), redondea(y)};
  }
  if (!cerca) {
    a_reales(vista, vertices, uds);
    return false;
  }
  if (simplifica_) deja_los_que_cuentan(superficie.ancho(), superficie.alto());
  return true;
}

void Trazador::deja_los_que_cuentan(int ancho, int alto) {
  std::size_t n = 0;
  const std::size_t ultimos = puntos_.size() >= 2 ? puntos_.size() - 2 : 0;
  for (std::size_t k = 0; k < puntos_.size(); ++k) {
    const PuntoPantalla p = puntos_[k];
    if (k >= 2 && k < ultimos && sin_efecto(ancho, alto, p, puntos_[n - 1])) continue;
    puntos_[n++] = p;
  }
  puntos_.resize(n);
}

bool Trazador::sin_efecto(int ancho, int alto, PuntoPantalla p, PuntoPantalla previo) {
  // A vertex on the pixel of the one before adds a line of no length: in copy mode, inside the
  // area and away from the shape's ends (where the painter starts and ends a line), it sets no
  // pixel and changes nothing of how the next line is drawn.
  return p.x == previo.x && p.y == previo.y && p.x >= 0 && p.x < ancho && p.y >= 0 && p.y < alto;
}

void Trazador::redondea_todos(const Superficie& superficie) {
  puntos_.resize(reales_.size());
  for (std::size_t k = 0; k < reales_.size(); ++k) {
    puntos_[k] = {redondea(reales_[k].x), redondea(reales_[k].y)};
  }
  if (simplifica_) deja_los_que_cuentan(superficie.ancho(), superficie.alto());
}

void Trazador::traza_tramo(Superficie& superficie) {
  if (puntos_.size() >= 2) superficie.polilinea(puntos_);
  puntos_.clear();
}

bool Trazador::pasos_de_un_pixel() const {
  for (std::size_t k = 1; k < puntos_.size(); ++k) {
    if (std::abs(puntos_[k].x - puntos_[k - 1].x) > 1 ||
        std::abs(puntos_[k].y - puntos_[k - 1].y) > 1) {
      return false;
    }
  }
  return true;
}

void Trazador::traza_en_trozos(Superficie& superficie) const {
  std::size_t inicio = 0;
  for (std::size_t k = 1; k < puntos_.size(); ++k) {
    if (std::abs(puntos_[k].x - puntos_[inicio].x) > kLadoPixelAPixel ||
        std::abs(puntos_[k].y - puntos_[inicio].y) > kLadoPixelAPixel) {
      superficie.polilinea({puntos_.data() + inicio, k - inicio});
      inicio = k - 1;
    }
  }
  superficie.polilinea({puntos_.data() + inicio, puntos_.size() - inicio});
}

std::span<const Vertice> Trazador::funde_tramos_menores(std::span<const Vertice> vertices,
                                                        double lado) {
  auto menor = [lado](const Vertice& a, const Vertice& b) {
    return std::abs(double(b.x) - a.x) < lado && std::abs(double(b.y) - a.y) < lado;
  };
  reducidos_.clear();
  for (std::size_t k = 0; k < vertices.size(); ++k) {
    const bool interior = k > 0 && k + 1 < vertices.size();
    if (interior && menor(vertices[k - 1], vertices[k]) && menor(vertices[k], vertices[k + 1]) &&
        menor(reducidos_.back(), vertices[k])) {
      continue;
    }
    reducidos_.push_back(vertices[k]);
  }
  return reducidos_;
}

void Trazador::polilinea(Superficie& superficie, const Vista& vista,
                         std::span<const Vertice> vertices, int uds) {
  bool fundida = false;
  if (simplifica_) {
    const std::size_t antes = vertices.size();
    vertices = funde_tramos_menores(vertices, uds / vista.factor);
    fundida = vertices.size() < antes;
  }
  if (en_pixeles(superficie, vista, vertices, uds)) {
    if (simplifica_ && (fundida || pasos_de_un_pixel())) {
      traza_en_trozos(superficie);
    } else {
      superficie.polilinea(puntos_);
    }
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
  if (en_pixeles(superficie, vista, vertices, uds)) {
    superficie.poligono(puntos_);
    return;
  }
  {
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
  redondea_todos(superficie);
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
  std::vector<Rgb> colores;  // of each code-table row, row 0 standing for unknown codes

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

namespace {

// Below this many entities to examine a view is recorded in one part, on the calling thread.
constexpr std::size_t kEntidadesPorParte = 1 << 14;

// Level of detail: a line or closed element drawn with a solid pen of one pixel whose range
// block spans less than a pixel each way is the pixel of its first vertex. Its lines would set
// that pixel and at most three more beside it (its vertices fall on a block of 2 x 2 pixels at
// most), and the pixel of a tiny element shows as much of it as one can see. A block that does
// not hold the element's vertices, as in a damaged file, decides nothing.
std::optional<PuntoPantalla> pixel_de_detalle(const Vista& vista, const Rango& rango,
                                              std::span<const Vertice> vertices, int uds,
                                              int estilo_pluma) {
  if (estilo_pluma != 0 || vertices.size() < 2) return std::nullopt;
  const double ancho = (double(rango.xmax) - double(rango.xmin)) / uds * vista.factor;
  const double alto = (double(rango.ymax) - double(rango.ymin)) / uds * vista.factor;
  if (!(ancho < 1 && alto < 1)) return std::nullopt;
  for (const Vertice& p : vertices) {
    if (!punto_en_rango(p.x, p.y, rango)) return std::nullopt;
  }
  return a_pantalla(vista, vertices[0], uds);
}

// How far ahead of the entity being drawn its followers' vertices are fetched: they lie apart in
// the file, and waiting for each in turn is much of a large view's time.
constexpr std::size_t kAnticipo = 8;

void anticipa(const Hoja& hoja, const Entidad& e) {
  const auto vertices = hoja.vertices_de(e);
  __builtin_prefetch(vertices.data());
  if (vertices.size() > 5) __builtin_prefetch(vertices.data() + 5);
}

}  // namespace

ResultadoDibujo Pintor::leo_bin_pinto(Superficie& superficie, const Vista& vista,
                                      const Visualizacion& visualizacion) {
  const Hoja& hoja = sesion_.hoja;
  const int uds = sesion_.ajustes.uds;
  Ventana ventana{vista, visualizacion, uds, {}};
  for (std::int32_t fila = 0; fila <= sesion_.tabla.num_entradas(); ++fila) {
    ventana.colores.push_back(sesion_.paleta.color(sesion_.tabla.color_de_fila(fila)));
  }
  const bool sin_textos = visualizacion.abierto_cerrado == ModoElementos::no_textos;
  const auto candidatas =
      entidades_a_examinar(sesion_, vista.xmin, vista.ymin, vista.xmax, vista.ymax);

  // Cartographic elements first, then texts, each in file order: the candidates are cut into
  // runs, each run recorded apart, elements and texts in parts of their own, and the parts
  // painted in that order. When the view takes in every entity, the C and T arrays are walked
  // as they lie.
  const bool todas = candidatas.size() == static_cast<std::size_t>(hoja.num_entidades());
  const std::size_t tramos = std::clamp<std::size_t>(candidatas.size() / kEntidadesPorParte, 1,
                                                     4 * std::size_t{hilos_disponibles()});
  partes_.resize(2 * tramos);
  for (Parte& parte : partes_) {
    parte.grabacion.vacia(superficie.ancho(), superficie.alto());
    parte.resultado = {};
  }
  // A view of one run is drawn straight on the surface.
  const bool en_partes = tramos > 1;
  superficie.modo(ModoDibujo::copia);
  auto graba = [&](std::size_t k) {
    const bool textos = k >= tramos;
    if (textos && sin_textos) return;
    const std::size_t tramo = k % tramos;
    Parte& parte = partes_[k];
    Superficie& destino = en_partes ? parte.grabacion : superficie;
    Trazador trazador(visualizacion.estilo_pluma == 0);
    auto pinta = [&](const Entidad& e) {
      if (textos) {
        pinta_texto(destino, e, ventana, parte.resultado);
      } else {
        pinta_cartografica(destino, trazador, e, ventana, parte.resultado);
      }
    };
    const std::size_t total = todas ? (textos ? hoja.t.size() : hoja.c.size()) : candidatas.size();
    const std::size_t desde = total * tramo / tramos, hasta = total * (tramo + 1) / tramos;
    const auto& entidades = textos ? hoja.t : hoja.c;
    for (std::size_t i = desde; i < hasta; ++i) {
      if (todas) {
        if (i + kAnticipo < hasta) anticipa(hoja, entidades[i + kAnticipo]);
        pinta(entidades[i]);
      } else if (hoja.fila(candidatas[i]).tipo == (textos ? kIndiceTipoT : kIndiceTipoC)) {
        pinta(hoja.entidad(candidatas[i]));
      }
    }
  };
  if (en_partes) {
    en_paralelo(partes_.size(), graba);
  } else {
    graba(0);
    graba(1);
  }

  ResultadoDibujo resultado;
  std::vector<const Grabacion*> grabaciones;
  for (Parte& parte : partes_) {
    grabaciones.push_back(&parte.grabacion);
    auto& dibujadas = parte.resultado.dibujadas;
    resultado.dibujadas.insert(resultado.dibujadas.end(), dibujadas.begin(), dibujadas.end());
    auto& centroides = parte.resultado.centroides;
    std::move(centroides.begin(), centroides.end(), std::back_inserter(resultado.centroides));
  }
  if (en_partes) superficie.reproduce(grabaciones);
  return resultado;
}

void Pintor::pinta_cartografica(Superficie& superficie, Trazador& trazador, const Entidad& e,
                                const Ventana& v, ResultadoDibujo& resultado) const {
  const Hoja& hoja = sesion_.hoja;
  const Rango& rango = hoja.rango_de(e);
  if (!hoja.activa(e) || !v.solapa(rango)) return;
  const Visualizacion& vis = v.visualizacion;
  const std::int32_t fila = fila_visible(e, vis);
  if (fila < 0) return;
  const auto vertices = hoja.vertices_de(e);
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

  const Rgb color = v.colores[static_cast<std::size_t>(fila)];
  superficie.pluma(vis.estilo_pluma, 0, color);
  superficie.pincel(color);
  resultado.dibujadas.push_back(e.numero);
  if (const auto pixel = pixel_de_detalle(v.vista, rango, vertices, v.uds, vis.estilo_pluma)) {
    superficie.pixel(pixel->x, pixel->y, color);
  } else {
    dibuja_elemento(superficie, trazador, v.vista, vertices, v.uds, vis.rellena_cerrados(), color);
  }
  if (clase != ClaseElemento::cerrado || vertices.size() <= 2 || !vis.modo_centroides()) return;

  double x = (double(rango.xmin) + rango.xmax) / 2, y = (double(rango.ymin) + rango.ymax) / 2;
  if (!punto_interior_poligono(x, y, vertices)) return;
  double xp = 0, yp = 0;
  v.vista.transforma_coordenadas(x / v.uds, y / v.uds, xp, yp);
  superficie.pluma(0, kAnchoMarcaCentroide, inverso(color));
  superficie.punto(redondea(xp), redondea(yp));
  if (vis.grabar_centroides)
    resultado.centroides.push_back(texto_de_centroide(hoja.cabecera_de(e), x, y));
}

void Pintor::pinta_texto(Superficie& superficie, const Entidad& e, const Ventana& v,
                         ResultadoDibujo& resultado) const {
  const Hoja& hoja = sesion_.hoja;
  const Rango& rango = hoja.rango_de(e);
  if (!hoja.activa(e) || !v.solapa(rango)) return;
  if (fila_visible(e, v.visualizacion) < 0) return;
  const Vertice& insercion = hoja.vertices_de(e)[0];
  if (!v.visualizacion.todas_las_cotas && !v.cota_admitida(insercion.z)) return;
  double x = 0, y = 0;
  v.vista.transforma_coordenadas(double(insercion.x) / v.uds, double(insercion.y) / v.uds, x, y);
  // A text keeps its own code's colour even when an attribute's code made it visible.
  const Rgb color = v.colores[static_cast<std::size_t>(e.posicion_tab)];
  // A text too small to read is drawn as a mark: its characters are not needed.
  const bool legible = tamano_texto(rango.altura_texto(), v.uds, v.vista.escala,
                                    v.vista.twips_por_pixel()) > kTamanoMinimoLegible;
  PintoUnTexto(superficie, x, y, legible ? hoja.texto(e) : std::string(), rango.angulo_texto(),
               rango.altura_texto(), rango.justificacion_texto(), color, v.vista, v.uds);
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
