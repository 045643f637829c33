#include "modelo_mdt.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <tuple>

namespace orogrid {
namespace {

// Little-endian reader over the file's bytes. A read past the end yields zeros and leaves
// the reader exhausted, so a block is checked once after all its fields are read.
class Lector {
 public:
  explicit Lector(std::span<const unsigned char> bytes) : bytes_(bytes) {}

  bool agotado() const { return agotado_; }
  std::size_t restantes() const { return bytes_.size() - pos_; }

  void salta(std::size_t n) {
    if (agotado_ || n > restantes()) {
      agotado_ = true;
      pos_ = bytes_.size();
    } else {
      pos_ += n;
    }
  }

  std::int32_t entero() { return static_cast<std::int32_t>(sin_signo(4)); }
  std::uint16_t corto() { return static_cast<std::uint16_t>(sin_signo(2)); }
  Vertice vertice() { return {entero(), entero(), entero()}; }

  // A record count that must be followed by that many records of `tam` bytes; a negative
  // count or one the remaining bytes cannot hold exhausts the reader and gives 0.
  std::size_t cuenta(std::size_t tam) {
    const std::int32_t n = entero();
    if (n < 0 || static_cast<std::size_t>(n) > restantes() / tam) salta(restantes() + 1);
    return agotado_ ? 0 : static_cast<std::size_t>(n);
  }

 private:
  std::uint32_t sin_signo(std::size_t n) {
    if (agotado_ || n > restantes()) {
      salta(n);
      return 0;
    }
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < n; ++k) v |= std::uint32_t{bytes_[pos_ + k]} << (8 * k);
    pos_ += n;
    return v;
  }

  std::span<const unsigned char> bytes_;
  std::size_t pos_ = 0;
  bool agotado_ = false;
};

bool tiene_firma(std::span<const unsigned char> bytes) {
  return bytes.size() >= kFirmaMdt.size() &&
         std::memcmp(bytes.data(), kFirmaMdt.data(), kFirmaMdt.size()) == 0;
}

// Reads one triangle record; false when it names a vertex outside 1..N.
bool lee_triangulo(Lector& lector, const std::vector<Vertice>& vertices, Triangulo& t) {
  std::int32_t numero[3];
  for (std::int32_t& n : numero) n = lector.entero();
  lector.salta(kBytesTriangulo - sizeof numero);
  const auto n_vertices = static_cast<std::int64_t>(vertices.size());
  for (std::int32_t n : numero) {
    if (n < 1 || n > n_vertices) return false;
  }
  t.a = numero[0] - 1;
  t.b = numero[1] - 1;
  t.c = numero[2] - 1;
  const Vertice& a = vertices[t.a];
  const Vertice& b = vertices[t.b];
  const Vertice& c = vertices[t.c];
  t.xmin = std::min({a.x, b.x, c.x});
  t.ymin = std::min({a.y, b.y, c.y});
  t.xmax = std::max({a.x, b.x, c.x});
  t.ymax = std::max({a.y, b.y, c.y});
  return true;
}

// A boundary block cut short gives an empty boundary: the model loads and holds no point.
Contorno lee_contorno(Lector& lector) {
  lector.salta(kBytesHuecoContorno);
  const std::size_t n_puntos = lector.corto();
  const Vertice minimo = lector.vertice();
  const Vertice maximo = lector.vertice();
  lector.salta(kBytesCajaContorno - 2 * kBytesVertice);
  if (lector.agotado() || n_puntos > lector.restantes() / kBytesVertice) return {};
  Contorno contorno;
  contorno.xmin = minimo.x;
  contorno.ymin = minimo.y;
  contorno.xmax = maximo.x;
  contorno.ymax = maximo.y;
  contorno.puntos.resize(n_puntos);
  for (Vertice& p : contorno.puntos) p = lector.vertice();
  return contorno;
}

std::optional<std::vector<unsigned char>> lee_bytes(const std::filesystem::path& ruta) {
  std::ifstream fichero(ruta, std::ios::binary);
  if (!fichero) return std::nullopt;
  std::vector<unsigned char> bytes;
  // Each read asks for as much as is already in, so a file is read in few steps.
  while (fichero) {
    const std::size_t leidos = bytes.size();
    const std::size_t pedidos = std::max(leidos, std::size_t{1} << 16);
    bytes.resize(leidos + pedidos);
    fichero.read(reinterpret_cast<char*>(bytes.data() + leidos),
                 static_cast<std::streamsize>(pedidos));
    bytes.resize(leidos + static_cast<std::size_t>(fichero.gcount()));
    // Whatever is not a model is left after its first block, however long it is.
    if (leidos == 0 && !tiene_firma(bytes)) return std::nullopt;
  }
  if (fichero.bad()) return std::nullopt;
  return bytes;
}

// Sign with a dead band: values within 1e-7 of zero count as zero.
int signo(double v) {
  constexpr double kBanda = 0.0000001;
  return v < -kBanda ? -1 : (v > kBanda ? 1 : 0);
}

struct Punto {
  double x;
  double y;
};

Punto punto(const Vertice& v) {
  return {static_cast<double>(v.x), static_cast<double>(v.y)};
}

// Which side of the line p -> q the point r lies on, as the edge test writes it.
double lado(Punto p, Punto q, Punto r) {
  return (p.y - r.y) * (q.x - p.x) - (p.x - r.x) * (q.y - p.y);
}

// Twice the signed area of p, q, r, from coordinate differences: exact for any triangle
// whose sides are below about 9e7 units, however far from the origin it lies.
double doble_area(Punto p, Punto q, Punto r) {
  return (q.x - p.x) * (r.y - p.y) - (r.x - p.x) * (q.y - p.y);
}

std::optional<std::int32_t> trunca(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

}  // namespace

std::optional<ModeloMdt> ModeloMdt::lee(std::span<const unsigned char> bytes) {
  if (!tiene_firma(bytes)) return std::nullopt;
  Lector lector(bytes);
  ModeloMdt modelo;
  lector.salta(kPosicionAnchoMaximo);
  modelo.ancho_maximo_ = lector.entero();
  lector.salta(kBytesCabecera - kPosicionAnchoMaximo - 4);
  modelo.vertices_.resize(lector.cuenta(kBytesVertice));
  for (Vertice& v : modelo.vertices_) v = lector.vertice();
  lector.salta(kBytesRegistroOmitido * lector.cuenta(kBytesRegistroOmitido));
  modelo.triangulos_.resize(lector.cuenta(kBytesTriangulo));
  for (Triangulo& t : modelo.triangulos_) {
    if (!lee_triangulo(lector, modelo.vertices_, t)) return std::nullopt;
  }
  if (lector.agotado()) return std::nullopt;
  modelo.contorno_ = lee_contorno(lector);
  return modelo;
}

std::optional<ModeloMdt> ModeloMdt::lee_fichero(const std::filesystem::path& ruta) {
  const auto bytes = lee_bytes(ruta);
  if (!bytes) return std::nullopt;
  return lee(*bytes);
}

std::optional<double> ModeloMdt::cota(double x, double y, std::int32_t& ultimo) const {
  const auto xi = trunca(x);
  const auto yi = trunca(y);
  if (!xi || !yi || !dentro_del_contorno(*xi, *yi)) return std::nullopt;
  const auto hallazgo = busca_triangulo(*xi, *yi, ultimo);
  if (!hallazgo) return std::nullopt;
  return hallazgo->cota;
}

std::optional<Hallazgo> ModeloMdt::busca_triangulo(std::int32_t x, std::int32_t y,
                                                   std::int32_t& ultimo) const {
  const bool cerca = ultimo >= 0 && static_cast<std::size_t>(ultimo) < triangulos_.size() &&
                     triangulos_[ultimo].xmin < x && x < triangulos_[ultimo].xmax;
  const auto hallazgo = cerca ? busqueda_local(x, y, ultimo) : busqueda_binaria(x, y);
  if (hallazgo) ultimo = hallazgo->triangulo;
  return hallazgo;
}

// Two cursors leave the last-found triangle c in turn, one step down then one step up.
// Going down stops for good at a triangle that starts more than W left of x, going up at
// one that starts right of x: in a sorted model they cover every triangle that can hold x.
std::optional<Hallazgo> ModeloMdt::busqueda_local(std::int32_t x, std::int32_t y,
                                                  std::int32_t c) const {
  const auto n = static_cast<std::int32_t>(triangulos_.size());
  std::int32_t abajo = c;
  std::int32_t arriba = c + 1;
  bool baja = true;
  bool sube = true;
  while (baja || sube) {
    baja = baja && abajo >= 0 && !fuera_de_alcance(abajo, x);
    if (baja) {
      if (auto hallazgo = prueba(abajo--, x, y)) return hallazgo;
    }
    sube = sube && arriba < n && triangulos_[arriba].xmin <= x;
    if (sube) {
      if (auto hallazgo = prueba(arriba++, x, y)) return hallazgo;
    }
  }
  return std::nullopt;
}

// The first triangle whose box is not below (x, y, x, y), or the last one, then downward
// until the triangles start more than W left of x.
std::optional<Hallazgo> ModeloMdt::busqueda_binaria(std::int32_t x, std::int32_t y) const {
  if (triangulos_.empty()) return std::nullopt;
  const auto primero = std::lower_bound(
      triangulos_.begin(), triangulos_.end(), std::tuple{x, y, x, y},
      [](const Triangulo& t,
         const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t>& clave) {
        return std::tie(t.xmin, t.ymin, t.xmax, t.ymax) < clave;
      });
  auto i = static_cast<std::int32_t>(
      std::min(primero - triangulos_.begin(), std::ssize(triangulos_) - 1));
  for (; i >= 0 && !fuera_de_alcance(i, x); --i) {
    if (auto hallazgo = prueba(i, x, y)) return hallazgo;
  }
  return std::nullopt;
}

std::optional<Hallazgo> ModeloMdt::prueba(std::int32_t i, std::int32_t x, std::int32_t y) const {
  ++probados_;
  const auto cota = cota_en_triangulo(i, x, y);
  if (!cota) return std::nullopt;
  return Hallazgo{i, *cota};
}

bool ModeloMdt::fuera_de_alcance(std::int32_t i, std::int32_t x) const {
  return std::int64_t{x} - triangulos_[i].xmin > ancho_maximo_;
}

std::optional<double> ModeloMdt::cota_en_triangulo(std::int32_t i, std::int32_t x,
                                                   std::int32_t y) const {
  const Triangulo& t = triangulos_[i];
  if (x < t.xmin || x > t.xmax || y < t.ymin || y > t.ymax) return std::nullopt;
  const Vertice& va = vertices_[t.a];
  const Vertice& vb = vertices_[t.b];
  const Vertice& vc = vertices_[t.c];
  for (const Vertice* v : {&va, &vb, &vc}) {
    if (v->x == x && v->y == y) return v->z;
  }
  const Punto a = punto(va);
  const Punto b = punto(vb);
  const Punto c = punto(vc);
  const Punto p{static_cast<double>(x), static_cast<double>(y)};
  // A zero sign (the point on an edge) never vetoes: edges count as inside.
  const int s1 = signo(lado(a, b, p));
  const int s2 = signo(lado(b, c, p));
  const int s3 = signo(lado(c, a, p));
  if (s1 * s2 < 0 || s1 * s3 < 0 || s2 * s3 < 0) return std::nullopt;
  const double area = doble_area(a, b, c);
  if (signo(area) == 0) return std::nullopt;
  // The plane's value as one quotient: the areas the point cuts the triangle into, weighted
  // by the vertices' Z, over the whole area. Built from coordinate differences, its terms
  // stay exact for real models even at centimetre UTM coordinates, where products of the
  // raw coordinates would lose whole units; so the value is rounded once, then 0.1 is added
  // and it is truncated toward zero.
  const double plano =
      va.z * doble_area(p, b, c) + vb.z * doble_area(a, p, c) + vc.z * doble_area(a, b, p);
  return std::trunc(plano / area + 0.1);
}

// Crossings of the ray from (x, y) toward growing X. A point whose crossing is within one
// unit of x lies on the boundary and counts as inside.
bool ModeloMdt::dentro_del_contorno(std::int32_t x, std::int32_t y) const {
  const Contorno& k = contorno_;
  if (x < k.xmin || x > k.xmax || y < k.ymin || y > k.ymax) return false;
  int cruces = 0;
  for (std::size_t j = 0; j + 1 < k.puntos.size(); ++j) {
    const Vertice& p = k.puntos[j];
    const Vertice& q = k.puntos[j + 1];
    if (p.y == q.y || y < std::min(p.y, q.y) || y > std::max(p.y, q.y)) continue;
    const double dx = static_cast<double>(q.x) - p.x;
    const double dy = static_cast<double>(q.y) - p.y;
    const double xc = std::trunc(p.x + dx / dy * (static_cast<double>(y) - p.y) + 0.1);
    if (std::fabs(xc - x) < 2) return true;
    if (xc < x) continue;
    if (y == p.y) {
      cruces += cruce_en_vertice(j, y) ? 1 : 0;
    } else if (y != q.y) {
      ++cruces;
    }
  }
  return cruces % 2 == 1;
}

// The ray passes through point j, which starts an edge leaving y. The crossing counts when
// the nearest earlier point off the ray lies on the other side of y from the edge's end, so
// the ray crossing the boundary there counts once and touching it counts not at all.
bool ModeloMdt::cruce_en_vertice(std::size_t j, std::int32_t y) const {
  const std::vector<Vertice>& p = contorno_.puntos;
  const std::size_t ultimo_distinto = p.size() - 2;  // p[P-1] repeats p[0]
  std::size_t k = j;
  // At most one lap: a boundary that was never closed must not walk forever.
  for (std::size_t paso = 0; paso <= ultimo_distinto; ++paso) {
    k = k == 0 ? ultimo_distinto : k - 1;
    if (p[k].y != y) {
      const std::int32_t fin = p[j + 1].y;
      return std::min(p[k].y, fin) <= y && y <= std::max(p[k].y, fin);
    }
  }
  return false;
}

}  // namespace orogrid
