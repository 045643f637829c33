// Elevation lookups on a generated terrain model of 1,000,000 triangles, through the
// library's exports: a pointer path (consecutive nearby points) and random points.
// Prints the median of several runs in lookups per second.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "escritor_mdt.h"
#include "orogrid.h"

namespace {

constexpr std::int32_t kPaso = 1000;  // 10 m in centimetres
// 1000 x 500 cells of two triangles each, at UTM coordinates in centimetres.
constexpr std::int32_t kColumnas = 1000;
constexpr std::int32_t kFilas = 500;
constexpr std::int32_t kX0 = 40'000'000;
constexpr std::int32_t kY0 = 450'000'000;
constexpr std::int32_t kX1 = kX0 + kColumnas * kPaso;
constexpr std::int32_t kY1 = kY0 + kFilas * kPaso;
constexpr orogrid::Rectangulo kZona = {kX0, kY0, kX1, kY1};
constexpr int kConsultas = 1'000'000;
constexpr int kRepeticiones = 7;

std::int32_t superficie(std::int32_t x, std::int32_t y) {
  const double u = (x - kZona.xmin) / 150'000.0;
  const double v = (y - kZona.ymin) / 110'000.0;
  return static_cast<std::int32_t>(60'000 + 25'000 * std::sin(u) * std::cos(v) +
                                   7'000 * std::sin(3 * v));
}

struct Punto {
  double x;
  double y;
};

// A pointer wandering over the model: each step moves a few decimetres to a few metres.
std::vector<Punto> camino(std::mt19937& azar) {
  std::uniform_real_distribution<double> paso(-300.0, 300.0);
  std::vector<Punto> puntos;
  Punto p{(kZona.xmin + kZona.xmax) / 2.0, (kZona.ymin + kZona.ymax) / 2.0};
  for (int i = 0; i < kConsultas; ++i) {
    p.x = std::clamp(p.x + paso(azar), kZona.xmin + 1.0, kZona.xmax - 1.0);
    p.y = std::clamp(p.y + paso(azar), kZona.ymin + 1.0, kZona.ymax - 1.0);
    puntos.push_back(p);
  }
  return puntos;
}

std::vector<Punto> al_azar(std::mt19937& azar) {
  std::uniform_real_distribution<double> x(kZona.xmin + 1.0, kZona.xmax - 1.0);
  std::uniform_real_distribution<double> y(kZona.ymin + 1.0, kZona.ymax - 1.0);
  std::vector<Punto> puntos;
  for (int i = 0; i < kConsultas; ++i) puntos.push_back({x(azar), y(azar)});
  return puntos;
}

double segundos_desde(std::chrono::steady_clock::time_point inicio) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
}

// Median lookups per second over the runs; every point must find an elevation.
double consultas_por_segundo(const std::vector<Punto>& puntos) {
  std::vector<double> ritmos;
  for (int r = 0; r < kRepeticiones; ++r) {
    int sin_cota = 0;
    const auto inicio = std::chrono::steady_clock::now();
    for (const Punto& p : puntos) sin_cota += fnGetZValue(p.x, p.y) == -1.0 ? 1 : 0;
    ritmos.push_back(static_cast<double>(puntos.size()) / segundos_desde(inicio));
    if (sin_cota != 0) std::printf("  %d puntos sin cota\n", sin_cota);
  }
  std::nth_element(ritmos.begin(), ritmos.begin() + kRepeticiones / 2, ritmos.end());
  return ritmos[kRepeticiones / 2];
}

}  // namespace

int main() {
  const auto ruta = std::filesystem::temp_directory_path() / "bench_orogrid.MDT";
  auto inicio = std::chrono::steady_clock::now();
  orogrid::escribe_mdt_rejilla(ruta, kZona, kPaso, superficie);
  std::printf("escritura de %d triángulos: %.3f s\n", 2 * kColumnas * kFilas,
              segundos_desde(inicio));
  inicio = std::chrono::steady_clock::now();
  if (fnOrogrid(ruta.string().c_str()) != 0) {
    std::printf("no se pudo cargar %s\n", ruta.string().c_str());
    return 1;
  }
  std::printf("carga: %.3f s\n", segundos_desde(inicio));

  std::mt19937 azar(12345);
  std::printf("camino del puntero: %.0f consultas/s\n", consultas_por_segundo(camino(azar)));
  std::printf("puntos al azar:     %.0f consultas/s\n", consultas_por_segundo(al_azar(azar)));
  fnUnloadMDT();
  std::filesystem::remove(ruta);
  return 0;
}
