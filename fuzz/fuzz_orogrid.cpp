// Fuzzes the terrain-model loader and the lookups behind it.
//
// An input that starts with the model signature is loaded as it is. Any other input is a
// recipe for a well-formed model built from its bytes (small coordinates, triangles over
// them, sorted or not, with a true or an arbitrary W, a boundary that holds them or one of
// arbitrary points), so that the lookups meet many triangles from the first run.
// Bytes that load in memory must load from a file through the exports too. A few points are
// then looked up: the corners and centres of triangle boxes and points taken from the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "formato_mdt.h"
#include "modelo_mdt.h"
#include "orogrid.h"

namespace {

using orogrid::Vertice;

// Process-wide like the library's own: it survives from one loaded model to the next.
std::int32_t ultimo_hallado = 0;

// Reads the recipe; zeros once it runs out.
class Receta {
 public:
  explicit Receta(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t byte() { return pos_ < bytes_.size() ? bytes_[pos_++] : 0; }
  std::int16_t corto() {
    const std::uint16_t bajo = byte();
    return static_cast<std::int16_t>(bajo | byte() << 8);
  }
  std::int32_t entero() {
    const std::uint32_t bajo = static_cast<std::uint16_t>(corto());
    return static_cast<std::int32_t>(bajo | static_cast<std::uint32_t>(corto()) << 16);
  }
  Vertice punto() { return {corto(), corto(), corto()}; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

class Bytes {
 public:
  void entero(std::int32_t v) {
    for (int k = 0; k < 4; ++k) datos.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  void vertice(const Vertice& v) {
    entero(v.x);
    entero(v.y);
    entero(v.z);
  }
  void ceros(std::size_t n) { datos.insert(datos.end(), n, 0); }
  std::vector<std::uint8_t> datos;
};

struct TrianguloReceta {
  std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> caja;
  std::int32_t v[3];
};

TrianguloReceta triangulo(Receta& receta, const std::vector<Vertice>& vertices) {
  TrianguloReceta t{};
  for (std::int32_t& n : t.v) n = 1 + receta.byte() % static_cast<int>(vertices.size());
  const Vertice& a = vertices[t.v[0] - 1];
  const Vertice& b = vertices[t.v[1] - 1];
  const Vertice& c = vertices[t.v[2] - 1];
  t.caja = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}),
            std::max({a.y, b.y, c.y})};
  return t;
}

// Lower left and upper right corners of the points' box in X and Y; zeros for no points.
std::pair<Vertice, Vertice> caja_de(const std::vector<Vertice>& puntos) {
  if (puntos.empty()) return {};
  Vertice minimo{puntos[0].x, puntos[0].y, 0};
  Vertice maximo = minimo;
  for (const Vertice& p : puntos) {
    minimo = {std::min(minimo.x, p.x), std::min(minimo.y, p.y), 0};
    maximo = {std::max(maximo.x, p.x), std::max(maximo.y, p.y), 0};
  }
  return {minimo, maximo};
}

// Arbitrary points from the recipe, or the rectangle around the vertices; closed.
std::vector<Vertice> contorno(Receta& receta, std::uint8_t forma,
                              const std::vector<Vertice>& vertices) {
  std::vector<Vertice> puntos;
  if (forma & 0x80) {
    for (int k = receta.byte() % 10; k > 0; --k) puntos.push_back(receta.punto());
  } else {
    const auto [minimo, maximo] = caja_de(vertices);
    puntos = {minimo, {maximo.x, minimo.y, 0}, maximo, {minimo.x, maximo.y, 0}};
  }
  if (!puntos.empty()) puntos.push_back(puntos.front());
  return puntos;
}

std::vector<std::uint8_t> modelo_de_receta(std::span<const std::uint8_t> bytes) {
  Receta receta(bytes);
  const std::uint8_t forma = receta.byte();
  std::vector<Vertice> vertices(1 + forma % 32);
  for (Vertice& v : vertices) v = receta.punto();
  std::vector<TrianguloReceta> triangulos(receta.byte() % 64);
  std::int32_t ancho = 0;
  for (TrianguloReceta& t : triangulos) {
    t = triangulo(receta, vertices);
    ancho = std::max(ancho, std::get<2>(t.caja) - std::get<0>(t.caja));
  }
  if (!(forma & 0x40)) {
    std::stable_sort(triangulos.begin(), triangulos.end(),
                     [](auto& p, auto& q) { return p.caja < q.caja; });
  }
  if (forma & 0x20) ancho = receta.entero();
  const std::vector<Vertice> puntos = contorno(receta, forma, vertices);

  Bytes b;
  b.datos.assign(orogrid::kFirmaMdt.begin(), orogrid::kFirmaMdt.end());
  b.ceros(2 * orogrid::kBytesVertice);  // model minimum and maximum
  b.entero(ancho);
  b.ceros(orogrid::kBytesCabecera - orogrid::kPosicionAnchoMaximo - 4);
  b.entero(static_cast<std::int32_t>(vertices.size()));
  for (const Vertice& v : vertices) b.vertice(v);
  b.entero(0);
  b.entero(static_cast<std::int32_t>(triangulos.size()));
  for (const TrianguloReceta& t : triangulos) {
    for (std::int32_t n : t.v) b.entero(n);
    b.ceros(12);
  }
  b.ceros(orogrid::kBytesHuecoContorno);
  b.datos.push_back(static_cast<std::uint8_t>(puntos.size()));
  b.datos.push_back(0);
  const auto [minimo, maximo] = caja_de(puntos);
  b.vertice(minimo);
  b.vertice(maximo);
  b.ceros(12);
  for (const Vertice& p : puntos) b.vertice(p);
  return b.datos;
}

const std::string& ruta_temporal() {
  static const std::string ruta =
      (std::filesystem::temp_directory_path() /
       ("fuzz_orogrid_" + std::to_string(std::random_device{}()) + ".MDT"))
          .string();
  return ruta;
}

void escribe(std::span<const std::uint8_t> bytes) {
  std::ofstream fichero(ruta_temporal(), std::ios::binary | std::ios::trunc);
  fichero.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  const std::span<const std::uint8_t> entrada(datos, tamano);
  const bool tal_cual =
      tamano >= orogrid::kFirmaMdt.size() &&
      std::memcmp(datos, orogrid::kFirmaMdt.data(), orogrid::kFirmaMdt.size()) == 0;
  const std::vector<std::uint8_t> bytes =
      tal_cual ? std::vector<std::uint8_t>(entrada.begin(), entrada.end())
               : modelo_de_receta(entrada);
  const auto modelo = orogrid::ModeloMdt::lee(bytes);
  if (!modelo) {
    if (!tal_cual) std::abort();  // a recipe always makes a loadable model
    return 0;
  }
  // The round trip through a file costs more than the rest of a run: it takes every input
  // loaded as it is and one recipe in sixteen.
  const bool por_fichero = tal_cual || tamano % 16 == 0;
  if (por_fichero) {
    escribe(bytes);
    if (fnOrogrid(ruta_temporal().c_str()) != 0) std::abort();
  }

  std::vector<std::pair<double, double>> puntos;
  const auto triangulos = modelo->triangulos();
  for (const orogrid::Triangulo& t :
       triangulos.first(std::min<std::size_t>(triangulos.size(), 16))) {
    puntos.emplace_back(t.xmin, t.ymin);
    puntos.emplace_back(t.xmax - 0.5, t.ymax + 0.5);
    puntos.emplace_back(0.5 * t.xmin + 0.5 * t.xmax, 0.5 * t.ymin + 0.5 * t.ymax);
  }
  Receta receta(entrada.last(std::min<std::size_t>(tamano, 64)));
  for (int k = 0; k < 16; ++k) {
    const double x = receta.corto() + 0.7;
    puntos.emplace_back(x, receta.corto() - 0.7);
  }
  for (const auto& [x, y] : puntos) {
    modelo->cota(x, y, ultimo_hallado);
    if (por_fichero) fnGetZValue(x, y);
  }
  if (por_fichero && fnUnloadMDT() != 1) std::abort();
  return 0;
}
