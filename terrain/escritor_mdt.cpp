#include "escritor_mdt.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

namespace orogrid {
namespace {

constexpr auto kMaximoEntero = std::numeric_limits<std::int32_t>::max();

// Little-endian byte buffer holding the whole file before it is written.
class Bytes {
 public:
  void entero(std::int32_t v) { sin_signo(static_cast<std::uint32_t>(v), 4); }
  void corto(std::uint16_t v) { sin_signo(v, 2); }
  void vertice(const Vertice& v) {
    entero(v.x);
    entero(v.y);
    entero(v.z);
  }
  void ceros(std::size_t n) { datos_.insert(datos_.end(), n, 0); }
  void copia(std::span<const unsigned char> v) { datos_.insert(datos_.end(), v.begin(), v.end()); }
  void reserva(std::size_t n) { datos_.reserve(n); }
  const std::vector<unsigned char>& datos() const { return datos_; }

 private:
  void sin_signo(std::uint32_t v, int n) {
    for (int k = 0; k < n; ++k) datos_.push_back(static_cast<unsigned char>(v >> (8 * k)));
  }
  std::vector<unsigned char> datos_;
};

struct Caja {
  Vertice minimo{kMaximoEntero, kMaximoEntero, kMaximoEntero};
  Vertice maximo{-kMaximoEntero - 1, -kMaximoEntero - 1, -kMaximoEntero - 1};

  void agrega(const Vertice& v) {
    minimo = {std::min(minimo.x, v.x), std::min(minimo.y, v.y), std::min(minimo.z, v.z)};
    maximo = {std::max(maximo.x, v.x), std::max(maximo.y, v.y), std::max(maximo.z, v.z)};
  }
};

// Box of a set of points; zeros for none, as the file stores an empty model.
Caja caja_de(std::span<const Vertice> puntos) {
  if (puntos.empty()) return {{0, 0, 0}, {0, 0, 0}};
  Caja caja;
  for (const Vertice& p : puntos) caja.agrega(p);
  return caja;
}

std::int32_t cuenta_de(std::size_t n, const char* que) {
  if (n > static_cast<std::size_t>(kMaximoEntero)) {
    throw std::invalid_argument(std::string("demasiados ") + que + " para un modelo");
  }
  return static_cast<std::int32_t>(n);
}

struct TrianguloOrdenado {
  Caja caja;
  TrianguloMdt triangulo;
};

// The triangles in ascending order of (xmin, ymin, xmax, ymax).
std::vector<TrianguloOrdenado> ordena(std::span<const Vertice> vertices,
                                      std::span<const TrianguloMdt> triangulos) {
  const auto n_vertices = static_cast<std::int64_t>(vertices.size());
  std::vector<TrianguloOrdenado> ordenados;
  ordenados.reserve(triangulos.size());
  for (const TrianguloMdt& t : triangulos) {
    TrianguloOrdenado o{{}, t};
    for (std::int32_t n : {t.v1, t.v2, t.v3}) {
      if (n < 1 || n > n_vertices) {
        throw std::invalid_argument("triángulo con el vértice " + std::to_string(n) +
                                    " fuera de 1.." + std::to_string(n_vertices));
      }
      o.caja.agrega(vertices[n - 1]);
    }
    ordenados.push_back(o);
  }
  std::stable_sort(
      ordenados.begin(), ordenados.end(),
      [](const TrianguloOrdenado& p, const TrianguloOrdenado& q) {
        return std::tie(p.caja.minimo.x, p.caja.minimo.y, p.caja.maximo.x, p.caja.maximo.y) <
               std::tie(q.caja.minimo.x, q.caja.minimo.y, q.caja.maximo.x, q.caja.maximo.y);
      });
  return ordenados;
}

std::int32_t ancho_maximo(const std::vector<TrianguloOrdenado>& triangulos) {
  std::int64_t ancho = 0;
  for (const TrianguloOrdenado& t : triangulos) {
    ancho = std::max(ancho, std::int64_t{t.caja.maximo.x} - t.caja.minimo.x);
  }
  if (ancho > kMaximoEntero) throw std::invalid_argument("triángulo más ancho que 2^31 - 1");
  return static_cast<std::int32_t>(ancho);
}

std::vector<Vertice> cerrado(std::span<const Vertice> contorno) {
  std::vector<Vertice> puntos(contorno.begin(), contorno.end());
  if (!puntos.empty() && puntos.front() != puntos.back()) puntos.push_back(puntos.front());
  if (puntos.size() > std::numeric_limits<std::uint16_t>::max()) {
    throw std::invalid_argument("contorno de más de 65535 puntos");
  }
  return puntos;
}

Bytes compone(std::span<const Vertice> vertices, const std::vector<TrianguloOrdenado>& triangulos,
              const std::vector<Vertice>& contorno) {
  const std::int32_t n_vertices = cuenta_de(vertices.size(), "vértices");
  const std::int32_t n_triangulos = cuenta_de(triangulos.size(), "triángulos");
  Bytes b;
  b.reserva(kBytesCabecera + 8 + vertices.size() * kBytesVertice +
            triangulos.size() * kBytesTriangulo + kBytesHuecoContorno + 2 + kBytesCajaContorno +
            contorno.size() * kBytesVertice);
  b.copia(kFirmaMdt);
  const Caja modelo = caja_de(vertices);
  b.vertice(modelo.minimo);
  b.vertice(modelo.maximo);
  b.entero(ancho_maximo(triangulos));
  b.ceros(kBytesCabecera - kPosicionAnchoMaximo - 4);
  b.entero(n_vertices);
  for (const Vertice& v : vertices) b.vertice(v);
  b.entero(0);  // no skipped records
  b.entero(n_triangulos);
  for (const TrianguloOrdenado& t : triangulos) {
    b.entero(t.triangulo.v1);
    b.entero(t.triangulo.v2);
    b.entero(t.triangulo.v3);
    b.ceros(kBytesTriangulo - 3 * sizeof(std::int32_t));
  }
  b.ceros(kBytesHuecoContorno);
  b.corto(static_cast<std::uint16_t>(contorno.size()));
  const Caja caja = caja_de(contorno);
  b.vertice(caja.minimo);
  b.vertice(caja.maximo);
  b.ceros(kBytesCajaContorno - 2 * kBytesVertice);
  for (const Vertice& p : contorno) b.vertice(p);
  return b;
}

std::runtime_error fallo(const std::filesystem::path& ruta, const std::string& motivo) {
  return std::runtime_error("No se puede escribir el modelo " + ruta.string() + ": " + motivo);
}

void escribe_fichero(const std::filesystem::path& ruta, const std::vector<unsigned char>& datos) {
  std::filesystem::path temporal = ruta;
  temporal += ".tmp";
  std::ofstream fichero(temporal, std::ios::binary | std::ios::trunc);
  if (!fichero) throw fallo(ruta, std::generic_category().message(errno));
  fichero.write(reinterpret_cast<const char*>(datos.data()),
                static_cast<std::streamsize>(datos.size()));
  fichero.close();
  std::error_code error;
  if (!fichero) error.assign(errno, std::generic_category());
  if (!error) std::filesystem::rename(temporal, ruta, error);
  if (error) {
    std::error_code ignorado;
    std::filesystem::remove(temporal, ignorado);
    throw fallo(ruta, error.message());
  }
}

// Node coordinates from `desde`, `paso` apart, the last one on `hasta`.
std::vector<std::int32_t> nodos(std::int32_t desde, std::int32_t hasta, std::int32_t paso) {
  std::vector<std::int32_t> v;
  for (std::int64_t c = desde; c < hasta; c += paso) v.push_back(static_cast<std::int32_t>(c));
  v.push_back(hasta);
  return v;
}

}  // namespace

void escribe_mdt(const std::filesystem::path& ruta, std::span<const Vertice> vertices,
                 std::span<const TrianguloMdt> triangulos, std::span<const Vertice> contorno) {
  const Bytes bytes = compone(vertices, ordena(vertices, triangulos), cerrado(contorno));
  escribe_fichero(ruta, bytes.datos());
}

void escribe_mdt_rejilla(const std::filesystem::path& ruta, Rectangulo zona, std::int32_t paso,
                         const std::function<std::int32_t(std::int32_t, std::int32_t)>& cota) {
  if (paso <= 0 || zona.xmax <= zona.xmin || zona.ymax <= zona.ymin) {
    throw std::invalid_argument("rejilla vacía: paso o rectángulo no válidos");
  }
  const std::int64_t celdas = ((std::int64_t{zona.xmax} - zona.xmin + paso - 1) / paso) *
                              ((std::int64_t{zona.ymax} - zona.ymin + paso - 1) / paso);
  if (2 * celdas > kMaximoEntero) throw std::invalid_argument("rejilla de demasiados triángulos");

  const std::vector<std::int32_t> xs = nodos(zona.xmin, zona.xmax, paso);
  const std::vector<std::int32_t> ys = nodos(zona.ymin, zona.ymax, paso);
  std::vector<Vertice> vertices;
  vertices.reserve(xs.size() * ys.size());
  for (std::int32_t x : xs) {
    for (std::int32_t y : ys) vertices.push_back({x, y, cota(x, y)});
  }
  // Vertices run column by column, so node (i, j) is number i * rows + j + 1.
  const auto filas = static_cast<std::int32_t>(ys.size());
  const auto numero = [filas](std::size_t i, std::size_t j) {
    return static_cast<std::int32_t>(i) * filas + static_cast<std::int32_t>(j) + 1;
  };
  std::vector<TrianguloMdt> triangulos;
  triangulos.reserve(static_cast<std::size_t>(2 * celdas));
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
      triangulos.push_back({numero(i, j), numero(i + 1, j), numero(i + 1, j + 1)});
      triangulos.push_back({numero(i, j), numero(i + 1, j + 1), numero(i, j + 1)});
    }
  }
  const std::vector<Vertice> contorno = {{zona.xmin, zona.ymin, cota(zona.xmin, zona.ymin)},
                                         {zona.xmax, zona.ymin, cota(zona.xmax, zona.ymin)},
                                         {zona.xmax, zona.ymax, cota(zona.xmax, zona.ymax)},
                                         {zona.xmin, zona.ymax, cota(zona.xmin, zona.ymax)}};
  escribe_mdt(ruta, vertices, triangulos, contorno);
}

}  // namespace orogrid
