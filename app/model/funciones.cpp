#include "funciones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace telmora {

namespace {

constexpr std::size_t kMaxCruces = 100;
constexpr double kSustitutoDeCero = 1e-15;

// x of the crossings of the edges of a closed element with the horizontal segment through y
// from x - mitad to x + mitad; with `sin_repetir` a crossing already found (same x and y) is
// not added again.
std::vector<double> cruces_horizontales(double x, double y, double mitad,
                                        std::span<const Vertice> vertices, bool sin_repetir) {
  const Punto izquierda{x - mitad, y}, derecha{x + mitad, y};
  std::vector<Punto> cruces;
  for (std::size_t i = 0; i + 1 < vertices.size() && cruces.size() < kMaxCruces; ++i) {
    const Punto a{double(vertices[i].x), double(vertices[i].y)};
    const Punto b{double(vertices[i + 1].x), double(vertices[i + 1].y)};
    Punto cruce;
    if (interseccion_segmentos(izquierda, derecha, a, b, cruce) == kSinCruce) continue;
    if (sin_repetir && std::find(cruces.begin(), cruces.end(), cruce) != cruces.end()) continue;
    cruces.push_back(cruce);
  }
  std::vector<double> xs;
  xs.reserve(cruces.size());
  for (const Punto& cruce : cruces) xs.push_back(cruce.x);
  ordena_reales(xs);
  return xs;
}

}  // namespace

double distancia_puntos(double x1, double y1, double x2, double y2) {
  return std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
}

void calcula_azimut(double x1, double y1, double x2, double y2, double& longitud, double& angulo) {
  const double dx = x2 - x1, dy = y2 - y1;
  longitud = std::sqrt(dx * dx + dy * dy);
  angulo = 0;
  if (longitud == 0) return;
  const double c = dx / longitud, s = dy / longitud;
  if (std::fabs(s) >= 1e-9) {
    const double k = s < 0 ? 1 : 2;
    angulo = std::atan(c / s) + k * kPi;
    if (angulo >= kDosPi) angulo -= kDosPi;
  } else if (c == 0) {
    longitud = 0;
  } else {
    angulo = c > 0 ? 0.5 * kPi : 1.5 * kPi;
  }
}

void normaliza_angulo(double& angulo) {
  if (!std::isfinite(angulo)) return;
  // Whole turns are added or subtracted one at a time, as the callers' angles are never more
  // than a few turns away; a far-off value is first brought near with fmod.
  if (std::fabs(angulo) > 1000 * kDosPi) angulo = std::fmod(angulo, kDosPi);
  while (angulo < 0) angulo += kDosPi;
  while (angulo >= kDosPi) angulo -= kDosPi;
}

bool punto_en_segmento(Punto p, Punto a, Punto b) {
  const double ab = distancia_puntos(a.x, a.y, b.x, b.y);
  const double pa = distancia_puntos(p.x, p.y, a.x, a.y);
  const double pb = distancia_puntos(p.x, p.y, b.x, b.y);
  return std::fabs(ab - (pa + pb)) <= 1;
}

bool extremos_comunes(Punto a, Punto b, Punto c, Punto d, Punto& comun) {
  for (const Punto& extremo : {a, b}) {
    if (extremo == c || extremo == d) {
      comun = extremo;
      return true;
    }
  }
  comun = {};
  return false;
}

int interseccion_segmentos(Punto a, Punto b, Punto c, Punto d, Punto& cruce) {
  if (extremos_comunes(a, b, c, d, cruce)) return kExtremoComun;
  const double dx1 = b.x - a.x == 0 ? kSustitutoDeCero : b.x - a.x;
  const double dx2 = d.x - c.x == 0 ? kSustitutoDeCero : d.x - c.x;
  // The crossing point comes from the parametric form of the two lines, which keeps its
  // precision at map coordinates where the slope-intercept form would not.
  const double denominador = (b.x - a.x) * (d.y - c.y) - (b.y - a.y) * (d.x - c.x);
  if ((b.y - a.y) / dx1 == (d.y - c.y) / dx2 || denominador == 0) {
    cruce = kPuntoParalelas;
    return kSinCruce;
  }
  const double t = ((c.x - a.x) * (d.y - c.y) - (c.y - a.y) * (d.x - c.x)) / denominador;
  cruce = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
  return punto_en_segmento(cruce, a, b) && punto_en_segmento(cruce, c, d) ? kCruce : kSinCruce;
}

bool recorta_segmento(Punto a, Punto b, const Marco& marco, double& t0, double& t1) {
  // Each edge bounds t from one side: p t <= q for the half-plane inside it.
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - marco.xmin, marco.xmax - a.x, a.y - marco.ymin, marco.ymax - a.y};
  t0 = 0;
  t1 = 1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;  // parallel to the edge and outside it
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
  }
  return t0 <= t1;
}

bool rango_contenido(double xmax_a, double ymax_a, double xmin_a, double ymin_a, double xmax_b,
                     double ymax_b, double xmin_b, double ymin_b) {
  return xmax_a >= xmin_b && ymax_a >= ymin_b && xmin_a <= xmax_b && ymin_a <= ymax_b;
}

bool punto_en_rango(std::int32_t x, std::int32_t y, const Rango& rango) {
  return rango.xmin <= x && x <= rango.xmax && rango.ymin <= y && y <= rango.ymax;
}

bool rangos_coinciden(const std::int32_t (&a)[4], const std::int32_t (&b)[4], double tolerancia,
                      int& estado) {
  bool iguales = true, cerca = true;
  for (int i = 0; i < 4; ++i) {
    const double diferencia = std::fabs(double(a[i]) - double(b[i]));
    iguales = iguales && diferencia == 0;
    cerca = cerca && diferencia < tolerancia;
  }
  if (iguales) {
    estado = 0;
    return true;
  }
  if (cerca) estado = 2;
  return cerca;
}

bool punto_en_poligono(std::int32_t x, std::int32_t y, std::span<const Vertice> vertices) {
  const auto cruces = cruces_horizontales(x, y, 100000000.0, vertices, true);
  if (cruces.empty()) return false;
  const auto izquierda =
      std::count_if(cruces.begin(), cruces.end(), [&](double c) { return c <= x; });
  const auto derecha = static_cast<std::ptrdiff_t>(cruces.size()) - izquierda;
  return izquierda % 2 == 1 && derecha % 2 == 1;
}

bool punto_interior_poligono(double& x, double& y, std::span<const Vertice> vertices) {
  const auto cruces = cruces_horizontales(x, y, 1000000.0, vertices, false);
  // A single crossing has no interval to take a midpoint of.
  if (cruces.size() < 2) {
    x = y = 0;
    return false;
  }
  const auto derecha = std::count_if(cruces.begin(), cruces.end(), [&](double c) { return c > x; });
  const auto izquierda = static_cast<std::ptrdiff_t>(cruces.size()) - derecha;
  if (derecha % 2 == 1 && izquierda % 2 == 1) return true;
  const std::size_t n = cruces.size();
  x = derecha <= izquierda ? (cruces[n - 2] + cruces[n - 1]) / 2 : (cruces[0] + cruces[1]) / 2;
  return true;
}

namespace {

void amplia(Rango& rango, const Vertice& v) {
  rango.xmin = std::min(rango.xmin, v.x);
  rango.ymin = std::min(rango.ymin, v.y);
  rango.zmin = std::min(rango.zmin, v.z);
  rango.xmax = std::max(rango.xmax, v.x);
  rango.ymax = std::max(rango.ymax, v.y);
  rango.zmax = std::max(rango.zmax, v.z);
}

}  // namespace

void calcula_rango_entidad(Rango& rango, std::span<const Vertice> vertices) {
  constexpr std::int32_t kMinimoInicial = 1000000000;
  rango.xmin = rango.ymin = rango.zmin = kMinimoInicial;
  rango.xmax = rango.ymax = rango.zmax = 0;
  for (const Vertice& v : vertices) amplia(rango, v);
}

void rango_real(Rango& rango, std::span<const Vertice> vertices) {
  if (vertices.empty()) return;
  const Vertice& primero = vertices.front();
  rango.xmin = rango.xmax = primero.x;
  rango.ymin = rango.ymax = primero.y;
  rango.zmin = rango.zmax = primero.z;
  for (const Vertice& v : vertices.subspan(1)) amplia(rango, v);
}

Rango rango_de_elemento_nuevo(std::span<const Vertice> vertices) {
  Rango rango;
  calcula_rango_entidad(rango, vertices);
  rango.septimo = kAlturaTextoNuevo;
  rango.octavo = kJustificacionTextoNuevo;
  rango.noveno = kAnguloTextoNuevo;
  return rango;
}

Rango rango_de_texto(const Vertice& insercion, std::size_t caracteres, std::int32_t altura,
                     std::int32_t justificacion, std::int32_t angulo) {
  const double alto = altura;
  const double ancho = 0.6 * alto * static_cast<double>(caracteres);
  double dx = 0, dy = 0;  // offset of the box's bottom-left corner from the insertion point
  switch (justificacion) {
    case 1:
    case 2:
      dy = -alto;
      break;
    case 3:
    case 8:
      dx = -ancho / 2, dy = -alto;
      break;
    case 4:
    case 5:
      dx = -ancho, dy = -alto;
      break;
    case 6:
      dx = -ancho;
      break;
    case 7:
      dx = -ancho / 2;
      break;
    default:
      break;
  }
  const double a = angulo / 100.0 * kPi / 180.0;
  double xmin = 1e18, ymin = 1e18, xmax = -1e18, ymax = -1e18;
  for (const auto& [ex, ey] : {std::pair{dx, dy}, std::pair{dx + ancho, dy},
                               std::pair{dx + ancho, dy + alto}, std::pair{dx, dy + alto}}) {
    const double x = insercion.x + ex * std::cos(a) - ey * std::sin(a);
    const double y = insercion.y + ex * std::sin(a) + ey * std::cos(a);
    xmin = std::min(xmin, x), xmax = std::max(xmax, x);
    ymin = std::min(ymin, y), ymax = std::max(ymax, y);
  }
  // A box beyond what a file coordinate holds (a huge height or a very long text) is cut there.
  auto entero = [](double valor) {
    return static_cast<std::int32_t>(std::clamp(valor, double(INT32_MIN), double(INT32_MAX)));
  };
  Rango rango;
  rango.xmin = entero(std::floor(xmin));
  rango.ymin = entero(std::floor(ymin));
  rango.xmax = entero(std::ceil(xmax));
  rango.ymax = entero(std::ceil(ymax));
  rango.zmin = rango.zmax = insercion.z;
  rango.septimo = altura;
  rango.octavo = justificacion;
  rango.noveno = angulo;
  return rango;
}

double interpola_cota(double z_inicio, double x_inicio, double y_inicio, double z_fin, double x_fin,
                      double y_fin, double x, double y) {
  return z_inicio + (z_fin - z_inicio) * distancia_puntos(x_inicio, y_inicio, x, y) /
                        distancia_puntos(x_inicio, y_inicio, x_fin, y_fin);
}

double interpola_cota_corte(const Vertice& inicio, const Vertice& fin, double x_metros,
                            double y_metros, int uds) {
  return interpola_cota(inicio.z, inicio.x, inicio.y, fin.z, fin.x, fin.y, x_metros * uds,
                        y_metros * uds) /
         uds;
}

void ordena_reales(std::vector<double>& valores) {
  std::stable_sort(valores.begin(), valores.end());
}

void ordena_por_clave(std::vector<RegistroClave>& registros) {
  std::stable_sort(
      registros.begin(), registros.end(),
      [](const RegistroClave& a, const RegistroClave& b) { return a.clave < b.clave; });
}

void ordena_cortes(std::vector<RegistroCorte>& registros) {
  std::stable_sort(registros.begin(), registros.end(),
                   [](const RegistroCorte& a, const RegistroCorte& b) {
                     if (a.entidad != b.entidad) return a.entidad < b.entidad;
                     return a.numero_vertice < b.numero_vertice;
                   });
}

}  // namespace telmora
