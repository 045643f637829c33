// Drawing of the topology over the viewer's picture: polygons filled in random colours or by
// class, faces and texts in error, dangling ends, islands, the highlighted face, the street
// elevation labels, and faces by the state of their stereo pair while the pair control draws.
// It draws what a run found (topologia.h); the topology form's whole run, with its listings and
// writes, is ejecuta_y_aplica_topologia.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "consulta_pares.h"
#include "dialogos.h"
#include "dibujadas.h"
#include "hoja.h"
#include "progreso.h"
#include "sesion.h"
#include "superficie.h"
#include "tabla_vekt.h"
#include "topologia/topologia.h"
#include "vista.h"

namespace telmora {

// Colour indices of the topology drawing.
inline constexpr int kColorSinCentroide = 10;
inline constexpr int kColorVariosCentroides = 20;
inline constexpr int kColorResaltado = 30;
inline constexpr int kColoresAlAzar = 224;  // random colours are taken from 1 to 224
inline constexpr int kAnchoResaltado = 6;
inline constexpr int kTamanoMarcas = 20;  // font size of the marks written on the map
// Faces of blocked and of free stereo pairs.
inline constexpr Rgb kColorParBloqueado{220, 40, 40};
inline constexpr Rgb kColorParLibre{40, 170, 70};

// Where the topology is drawn: the surface, the view, the pen style in force, the palette and
// the background colour the picture was cleared to.
struct LienzoTopologia {
  Superficie& superficie;
  const Vista& vista;
  const Paleta& paleta;
  int uds = 100;
  int estilo_pluma = 0;
  Rgb fondo{};
};

// The colour indices drawn at random: those of 1 to 224 whose slot the palette defines with a
// colour other than the background, so that every mark and face stands out; all of 1 to 224
// when the palette defines none of them.
std::vector<int> colores_al_azar(const Paleta& paleta, Rgb fondo);

class PintorTopologia {
 public:
  // `semilla` seeds the random colours once (0: from the clock).
  PintorTopologia(const LienzoTopologia& lienzo, std::uint64_t semilla);

  // The viewer's colour index: polygons drawn while the centroid check runs take it.
  int color_actual = 0;

  // Closed polygon c filled in a random colour (or in color_actual when `al_azar` is false);
  // highlighted: its outline in colour 30, pen width 6.
  void pintaPoligono(const TablaPoligonos& tabla, std::int32_t c, bool al_azar);
  void resalta(const TablaPoligonos& tabla, std::int32_t c);
  // Every closed polygon in order.
  void dibujarecintos(const TablaPoligonos& tabla, bool al_azar);
  // The polygons of a class, the largest first so that smaller ones stay visible.
  void pintoordenado(const TablaPoligonos& tabla, ClasePoligonos clase);
  // The same, each face coloured by the state of the pair its centroid text names.
  void pintoordenado_pares(const Hoja& hoja, const GrafoTopologico& grafo,
                           const TablaPoligonos& tabla, ClasePoligonos clase,
                           const ConsultaPares& pares);
  void PintoIslas(const TablaPoligonos& tabla, const IslasTopologia& islas);
  // Faces without a centroid in colour 10, with several in colour 20.
  void PintoErroresPoligono(const TablaPoligonos& tabla);
  // "NoPol" at each text in no face, "+Pol" at each text in several.
  void PintoErroresCentroides(const GrafoTopologico& grafo);
  // "*" at each node that had valence 1 before pruning.
  void PintoErroresColgantes(const GrafoTopologico& grafo);
  // An elevation label as its text element would be drawn: left and bottom on its point, with
  // the height of the labels written to the "COT" file.
  void pintaCota(const EtiquetaCota& etiqueta, Rgb color);
  // A short text at a map position (file units) in a random colour; "0" is written "NoPol" and
  // "-2" "+Pol".
  void pintaPuntoTexto(std::int32_t x, std::int32_t y, const std::string& texto);

 private:
  int color_al_azar();
  void rellena(const TablaPoligonos& tabla, std::int32_t c, Rgb color);
  const std::vector<PuntoPantalla>& puntos(const TablaPoligonos& tabla, std::int32_t c);
  bool se_ve(const ResumenPoligono& r, ClasePoligonos clase) const;

  LienzoTopologia lienzo_;
  std::vector<int> colores_;
  std::mt19937_64 azar_;
  std::vector<PuntoPantalla> puntos_;
};

// A run drawn as the topology form draws it when it opens: unless the command is Z from PSCT
// points, the picture cleared and every closed polygon filled (in random colours, or in the
// viewer's colour index while the centroid check runs); then what the command shows (the
// islands' envelopes; the faces and texts in error, or with `pares` the faces by the state of
// their pair; the dangling ends; or, unless a face is to be highlighted, the polygons of the
// display class from the largest); last the street elevation labels.
void dibuja_topologia(const Sesion& sesion, const ResultadoTopologia& resultado,
                      const LienzoTopologia& lienzo, const ConsultaPares* pares = nullptr);

// Redraws every closed polygon of a result, without building anything.
void PintaPoligonoTopo(const ResultadoTopologia& resultado, const LienzoTopologia& lienzo);

// Draws closed polygon c highlighted (outline in colour 30, pen width 6).
void PreparoPoligonoParaPintarYPinta(const ResultadoTopologia& resultado,
                                     const LienzoTopologia& lienzo, std::int32_t c);

// What a run of the topology form shows besides its lines: the picture (none when only the
// result is wanted), the listings' folder (none when empty) and, while the pair control draws,
// the pair lookup that colours the faces. `muestra` puts the picture on screen once it is drawn,
// before any question about it.
struct SalidasTopologia {
  const LienzoTopologia* lienzo = nullptr;
  std::filesystem::path carpeta_listados;
  const ConsultaPares* pares = nullptr;
  std::function<void()> muestra;
};

// The topology form's run, for the viewer and the command line alike: ejecuta_topologia on the
// drawn entities with the listings written as it goes, the drawing shown, then (with
// `dialogos`) the writes of the elevation commands (aplica_cotas), whose warning is thus asked
// over the faces and errors it is based on. Failed listings come first in
// fallos_escritura.
ResultadoTopologia ejecuta_y_aplica_topologia(Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                              const OpcionesTopologia& opciones,
                                              const SalidasTopologia& salidas, Progreso& progreso,
                                              Dialogos* dialogos);

}  // namespace telmora
