// Double points, loops, semi-loops and duplicated segments inside single elements. Double points
// (consecutive vertices closer than the tolerances) are removed and the cleaned element replaces
// the one read; the other three faults are not corrected but marked: each one becomes a small
// marker element appended to the sheet, so that it can be found and mended on the map.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "depuracion/pares_segmentos.h"
#include "marcador_borrados.h"
#include "progreso.h"
#include "sesion.h"

namespace telmora {

// Tolerances in file units: `xy` serves as X and as Y tolerance.
struct ToleranciasPdobles {
  std::int32_t xy = 0;
  std::int32_t z = 0;
};

// The two tolerances as typed (numbers of file units, rounded to the nearest whole number, halves
// to even). A text that is not a non-negative number within the file's coordinates throws
// ErrorTelmora with the message to show.
ToleranciasPdobles lee_tolerancias(std::string_view texto_xy, std::string_view texto_z);

// "Tol.Dist :" followed by the diagonal of the XY tolerance box in metres, cut after the third
// decimal; "Tol.Dist :" alone while the text is not a tolerance.
std::string texto_tol_dist(std::string_view texto_xy, int uds);

// Marker codes.
inline constexpr std::string_view kCodigoDuplicado = "60130";
inline constexpr std::string_view kCodigoLazo = "60120";
inline constexpr std::string_view kCodigoSemilazo = "60121";

// The marker points found, in the order they are found; a duplicated pair of segments gives the
// two end points of its first segment.
struct ErroresPdobles {
  std::vector<Vertice> duplicados, lazos, semilazos;
};

struct ResultadoPdobles {
  std::int64_t puntos_eliminados = 0;
  std::int64_t entidades_borradas = 0;  // left with fewer than two vertices, not replaced
  std::int64_t duplicados = 0;          // pairs of segments
  std::int64_t lazos = 0;
  std::int64_t semilazos = 0;
  // What the run writes, in order: each element that changed with the cleaned element that
  // replaces it (none when fewer than two vertices are left), then the markers to append
  // (entity number 0).
  std::vector<Sustitucion> cambios;

  // The summary, one item a line.
  std::vector<std::string> lineas() const;
};

// What removing the double points did to an element.
struct Limpieza {
  std::int64_t eliminados = 0;  // vertices dropped
  bool cambiada = false;        // the vertices kept differ from those read
};

// The element's vertices without its double points. Each vertex is compared with the one before
// it as read: within the XY tolerance (strictly, on both axes) and the Z tolerance it is dropped.
// Within the XY tolerance but not the Z tolerance (a vertical step) both stay and the lower one
// is moved twice the XY tolerance along the line away from the higher one: the earlier one back
// along the segment that leads into it (the first vertex stays where it is), the later one
// towards the vertex that follows it (the last vertex stays where it is too). Only double points
// are dropped, so an element keeps two or more vertices unless all its vertices after the first
// are double points. Two vertices at the same height are no step: with a Z tolerance of 0 both
// stay where they are.
Limpieza limpia_puntos_dobles(std::span<const Vertice> leidos,
                              const ToleranciasPdobles& tolerancias, std::vector<Vertice>& limpios);

// Adds the faults between the segments of an element to the lists: for each segment and each
// later one, in order, a semi-loop when the later one is the one after next and the vertex between
// the first and its successor lies within the tolerance of it (the foot of the perpendicular, with
// the vertex's elevation); when their boxes overlap, a duplicate when the boxes coincide within the
// tolerance, else a loop where they cross (not at a shared end point), with the mean elevation of
// their end vertices. Points are rounded to whole units.
void revisa_segmentos(std::span<const Vertice> vertices, std::int32_t tolerancia_xy,
                      ParesSegmentos& pares, ErroresPdobles& errores);

// The marker element of a point: code, attribute count 0 and a square of half side 2.5 times the
// XY tolerance around it, notched to its centre on the right-hand side, flat at its elevation.
void escribe_marcador(std::string& salida, const Vertice& punto, std::string_view codigo,
                      std::int32_t tolerancia_xy);

// Runs the cleaning and the checks over every active cartographic element of the loaded sheet, in
// file order, and prepares what they change: each element that changed is to be replaced by the
// cleaned one (when two or more vertices are left) and the markers appended after the last
// element (duplicates, then loops, then semi-loops). Nothing is written.
ResultadoPdobles Proceso_pdobles(const Sesion& sesion, const ToleranciasPdobles& tolerancias,
                                 Progreso& progreso = Progreso::ninguno());

// Writes what a run prepared: the cleaned elements and the markers appended, the elements they
// replace marked deleted, in the file, the index and the loaded copy. The appended entities are
// in the file only: the sheet is to be loaded again to see them. It is one change of the file
// (MarcadorBorrados): a failed write throws ErrorTelmora naming the file and the reason, and a
// failure or an interruption leaves the file and the loaded sheet as they were. Its progress is
// reported as each batch is written, so that a cancellation stops the writing too.
void aplica_pdobles(Sesion& sesion, const ResultadoPdobles& resultado,
                    Progreso& progreso = Progreso::ninguno());

// The whole process as the double-point form and the command line run it: Proceso_pdobles, then
// aplica_pdobles.
ResultadoPdobles ejecuta_y_aplica_pdobles(Sesion& sesion, const ToleranciasPdobles& tolerancias,
                                          Progreso& progreso = Progreso::ninguno());

}  // namespace telmora
