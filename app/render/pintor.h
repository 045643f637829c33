// Drawing of the loaded sheet: every entity in the view window, in file order (cartographic
// elements, then texts), in its palette colour, with the display filters in force.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formato_bin.h"
#include "funciones.h"
#include "grabacion.h"
#include "sesion.h"
#include "superficie.h"
#include "vista.h"
#include "visualizacion.h"

namespace telmora {

// A new entity prepared in memory (a centroid text of the centroid mode).
struct EntidadNueva {
  Cabecera cabecera;
  Rango rango;
  std::vector<Vertice> vertices;
  std::string bytes_texto;
  std::vector<Atributo> atributos;

  void codifica(std::string& salida) const {
    escribe_entidad(salida, cabecera, rango, vertices, bytes_texto, atributos);
  }
};

// What a drawing did besides painting.
struct ResultadoDibujo {
  std::vector<std::int32_t> dibujadas;   // entity numbers drawn, in drawing order
  std::vector<EntidadNueva> centroides;  // texts prepared while grabar_centroides is on
};

// The whole pixel of the drawing area under a map point (metres), or under a vertex (file
// units). A point far outside the area stays far outside it.
PuntoPantalla a_pantalla(const Vista& vista, double x, double y);
PuntoPantalla a_pantalla(const Vista& vista, const Vertice& v, int uds);

// Lines and filled shapes whose vertices are in file units, drawn over the view. Vertices far
// outside the drawing area (at extreme zoom, millions of pixels away) are not rounded to pixels
// as they are: the shape is first clipped, in double precision, to the area with a margin wider
// than any pen, so what shows is the true line, not one bent by coordinates cut short.
class Trazador {
 public:
  // `simplifica`, for drawing in copy mode with a solid pen of one pixel: the vertices that fall
  // on the pixel of the one before are left out where that changes no pixel (inside the area,
  // away from the shape's ends). Where a line's segments are under a pixel, the picture may
  // differ from drawing it whole, by less than a pixel: a run of segments under a pixel each way
  // is drawn as fewer segments (a vertex between two of them, within a pixel of the last vertex
  // kept, is left out), and such a line, or one whose every segment spans at most one pixel, is
  // drawn as short lines that the surface sets pixel by pixel: it shows every pixel its vertices
  // fall on, where the painter's line stepping would leave out some at its turns.
  explicit Trazador(bool simplifica = false) : simplifica_(simplifica) {}

  void polilinea(Superficie& superficie, const Vista& vista, std::span<const Vertice> vertices,
                 int uds);
  // Filled with the surface's brush and outlined with its pen.
  void poligono(Superficie& superficie, const Vista& vista, std::span<const Vertice> vertices,
                int uds);

 private:
  // The vertices rounded to pixels into puntos_ (see simplifica); false, with every vertex in
  // reales_ as pixels in doubles instead, when some lie too far from the area to be rounded as
  // they are.
  // The line's vertices without those between two segments under `lado` (a pixel, in file
  // units) each way that lie within `lado` of the last one kept: the ends and both ends of every
  // longer segment stay.
  std::span<const Vertice> funde_tramos_menores(std::span<const Vertice> vertices, double lado);
  bool en_pixeles(const Superficie& superficie, const Vista& vista,
                  std::span<const Vertice> vertices, int uds);
  void a_reales(const Vista& vista, std::span<const Vertice> vertices, int uds);
  void redondea_todos(const Superficie& superficie);
  // Leaves out of puntos_ the vertices that change no pixel (see simplifica).
  void deja_los_que_cuentan(int ancho, int alto);
  static bool sin_efecto(int ancho, int alto, PuntoPantalla p, PuntoPantalla previo);
  bool pasos_de_un_pixel() const;
  // The rounded line as lines of at most kLadoPixelAPixel pixels each way, end to end.
  void traza_en_trozos(Superficie& superficie) const;
  void traza_tramo(Superficie& superficie);

  bool simplifica_;
  std::vector<Punto> reales_, recortados_;  // scratch, kept from shape to shape
  std::vector<PuntoPantalla> puntos_;
  std::vector<Vertice> reducidos_;
};

// White on a dark background, black on a light one: the colour of labels drawn over the map.
Rgb color_legible(Rgb fondo);

// Where a text's box sits on its insertion point for a justification code (any other code:
// left, bottom).
Alineacion PoneJustificacion(int justificacion);

// Font sizes of texts: the text height on the map at the current scale, as a size in the
// drawing's units and as a character height in pixels.
double tamano_texto(double altura_unidades, int uds, double escala, double twips_por_pixel);
int altura_fuente_px(double tamano, double twips_por_pixel);

// A cartographic element drawn in the surface's pen and brush as the view shows any element: a
// point element as the letter "x" in `color` (nothing when it is too small to read at the
// view's scale), a closed element of more than two vertices as a polygon when `rellena`, and
// every other element as a line through its vertices.
void dibuja_elemento(Superficie& superficie, Trazador& trazador, const Vista& vista,
                     std::span<const Vertice> vertices, int uds, bool rellena, Rgb color);

// The text entity that records an interior point found in centroid mode.
EntidadNueva texto_de_centroide(const Cabecera& origen, double x, double y);

class Pintor {
 public:
  // The drawing reads the sheet, its tables and its spatial index through the session.
  explicit Pintor(const Sesion& sesion) : sesion_(sesion) {}
  const Sesion& sesion() const { return sesion_; }

  // Clears nothing: draws the view over what the surface holds, in copy mode, and says what it
  // drew.
  //
  // A large view is recorded in parts on every core and painted at once (Superficie::reproduce).
  // With a solid pen, an element smaller than a pixel each way is recorded as the pixel of its
  // first vertex, without converting the others: where every element is larger than a pixel the
  // picture is the one of drawing each whole; elsewhere each smaller one shows one pixel of the
  // up to four its lines would set. Which entities count as drawn depends on the filters and the
  // view window only.
  ResultadoDibujo leo_bin_pinto(Superficie& superficie, const Vista& vista,
                                const Visualizacion& visualizacion);

  // One text at its screen position, scaled, turned and anchored (the "o" when it is too small).
  static void PintoUnTexto(Superficie& superficie, double x, double y, const std::string& texto,
                           int angulo_centesimas, double altura_unidades, int justificacion,
                           Rgb color, const Vista& vista, int uds);

 private:
  struct Ventana;
  void pinta_cartografica(Superficie& superficie, Trazador& trazador, const Entidad& e,
                          const Ventana& v, ResultadoDibujo& resultado) const;
  void pinta_texto(Superficie& superficie, const Entidad& e, const Ventana& v,
                   ResultadoDibujo& resultado) const;
  // The table row an entity is drawn with, or -1 when it is hidden.
  std::int32_t fila_visible(const Entidad& e, const Visualizacion& visualizacion) const;

  // One part of a drawing: what a run of entities recorded, and what it did besides.
  struct Parte {
    Grabacion grabacion{1, 1};
    ResultadoDibujo resultado;
  };

  const Sesion& sesion_;
  std::vector<Parte> partes_;  // kept with their memory from drawing to drawing
};

}  // namespace telmora
