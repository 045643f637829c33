// Small routines shared by every tool: plane geometry on vertices, range tests, elevation
// interpolation and the stable sorts the tools rely on. Free functions without state.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "formato_bin.h"

namespace telmora {

inline constexpr double kPi = 3.14159265359;
inline constexpr double kDosPi = 6.28318530718;

struct Punto {
  double x = 0, y = 0;
  friend bool operator==(const Punto&, const Punto&) = default;
};

// Point returned for two parallel lines.
inline constexpr Punto kPuntoParalelas{9999999999.999, 9999999999.999};

// Crossing codes of interseccion_segmentos.
inline constexpr int kSinCruce = 0;
inline constexpr int kCruce = 1;
inline constexpr int kExtremoComun = 3;

double distancia_puntos(double x1, double y1, double x2, double y2);

// Length of P1-P2 and its azimuth in radians in [0, 2π): from north (+y), clockwise.
void calcula_azimut(double x1, double y1, double x2, double y2, double& longitud, double& angulo);

// Brings an angle in radians into [0, 2π).
void normaliza_angulo(double& angulo);

// The point lies on segment A-B within one coordinate unit of detour.
bool punto_en_segmento(Punto p, Punto a, Punto b);

// An end point of A-B equals (exactly) an end point of C-D; `comun` is that point, or (0, 0).
bool extremos_comunes(Punto a, Punto b, Punto c, Punto d, Punto& comun);

// Crossing of segments A-B and C-D: kExtremoComun with the shared end point, kCruce with the
// crossing point when it lies on both segments, kSinCruce otherwise (kPuntoParalelas for
// parallel lines).
int interseccion_segmentos(Punto a, Punto b, Punto c, Punto d, Punto& cruce);

// A rectangle of the plane, edges included.
struct Marco {
  double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};

// The part of segment A-B inside the rectangle: the parameters t0 <= t1 in [0, 1] of
// A + t (B - A) where it enters and leaves (0 and 1 for ends inside). False when the segment
// misses the rectangle. Exact for ends on the edges: such an end gives 0 or 1.
bool recorta_segmento(Punto a, Punto b, const Marco& marco, double& t0, double& t1);

// Box A (xmax, ymax, xmin, ymin) overlaps box B, touching edges included.
bool rango_contenido(double xmax_a, double ymax_a, double xmin_a, double ymin_a, double xmax_b,
                     double ymax_b, double xmin_b, double ymin_b);

bool punto_en_rango(std::int32_t x, std::int32_t y, const Rango& rango);

// The four pairs differ by less than the tolerance (or are all equal); estado 0 when all four
// are equal, 2 when only within the tolerance. A false result leaves estado unchanged.
bool rangos_coinciden(const std::int32_t (&a)[4], const std::int32_t (&b)[4], double tolerancia,
                      int& estado);

// The point lies inside the closed element: odd crossings on both sides of a horizontal line.
bool punto_en_poligono(std::int32_t x, std::int32_t y, std::span<const Vertice> vertices);

// Moves x, when needed, so that (x, y) lies inside the closed element. False (and x = y = 0)
// when the horizontal line through y does not cross the element.
bool punto_interior_poligono(double& x, double& y, std::span<const Vertice> vertices);

// Recomputes the first six values of a range from the vertices (minima start at 1,000,000,000
// and maxima at 0).
void calcula_rango_entidad(Rango& rango, std::span<const Vertice> vertices);

// The first six values of a range set to exactly what the vertices span, whatever their sign
// or size (an empty list changes nothing); the three further values are left as they were.
void rango_real(Rango& rango, std::span<const Vertice> vertices);

// Range block of an element the system builds anew: the range of its vertices, and 20, 6 and
// 1957 in the last three values (which no reader interprets), as every rebuilding writer
// writes them.
Rango rango_de_elemento_nuevo(std::span<const Vertice> vertices);

// Range block of a text: its box (about 0.6 of the height per character wide, anchored on the
// insertion point by its justification and turned by its angle in hundredths of a degree) and
// the insertion point's elevation, with the height, justification and angle in the last three
// values.
Rango rango_de_texto(const Vertice& insercion, std::size_t caracteres, std::int32_t altura,
                     std::int32_t justificacion, std::int32_t angulo);

// Elevation at a point of a segment, in proportion to its plane distance from the start.
double interpola_cota(double z_inicio, double x_inicio, double y_inicio, double z_fin, double x_fin,
                      double y_fin, double x, double y);

// Elevation in metres where a window border (point in metres) cuts a segment in file units.
double interpola_cota_corte(const Vertice& inicio, const Vertice& fin, double x_metros,
                            double y_metros, int uds);

struct RegistroClave {
  std::int32_t entero = 0;
  double clave = 0;
  double valor = 0;
};

struct RegistroCorte {
  std::int32_t entidad = 0;
  Vertice vertice;
  std::int32_t numero_vertice = 0;
};

// Stable ascending sorts.
void ordena_reales(std::vector<double>& valores);
void ordena_por_clave(std::vector<RegistroClave>& registros);
// By entity number, then by vertex number within the same entity.
void ordena_cortes(std::vector<RegistroCorte>& registros);

}  // namespace telmora
