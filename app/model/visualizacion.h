// What the drawing shows: the element classes, the fill and centroid modes, the selection
// display switch and the elevation filter. Set by the viewer's commands and the console, read by
// drawing and location.
#pragma once

namespace telmora {

// Element classes drawn (abierto_cerrado).
enum class ModoElementos : int {
  abiertos = 0,
  cerrados = 1,
  textos_y_puntuales = 2,
  todos = 3,
  no_textos = 4,
};

struct Visualizacion {
  ModoElementos abierto_cerrado = ModoElementos::todos;
  bool centroides = false;         // closed elements filled with their interior point marked
  bool grabar_centroides = false;  // each interior point also becomes a text to write
  bool relleno = true;             // closed elements drawn filled
  // When on, an entity whose code is hidden or unknown may be shown under the code of one of
  // its table-2 attributes; the locator consults visibility only while it is off.
  bool seleccion = false;
  bool todas_las_cotas = true;  // off: only what has an elevation within the limits is drawn
  double cota_minima = 0, cota_maxima = 0;  // metres
  int estilo_pluma = 0;                     // line style of every pen (0 solid)
  // DA of the console: spacing in metres of the elevation labels along arcs (20 when 0).
  double distancia_cotas = 0;

  // Closed elements only, each with its interior point marked.
  bool modo_centroides() const { return abierto_cerrado == ModoElementos::cerrados && centroides; }
  // Closed elements are drawn filled with the fill switch on, and in centroid mode whatever it
  // says.
  bool rellena_cerrados() const { return relleno || modo_centroides(); }
};

}  // namespace telmora
