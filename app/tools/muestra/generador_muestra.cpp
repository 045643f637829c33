#include "muestra/generador_muestra.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "escritor_mdt.h"
#include "fichero.h"
#include "formato_bin.h"
#include "funciones.h"
#include "muestra/bases_muestra.h"
#include "texto.h"

namespace telmora {

namespace {

// Text names for the blocks (UTF-8; written as Windows-1252).
constexpr const char* kNombres[] = {
    "C/ MAYOR",
    "C/ REAL",
    "PLAZA DE ESPAÑA",
    "AVDA. DE LA CONSTITUCIÓN",
    "C/ IGLESIA",
    "CAMINO DEL MOLINO",
    "TRAVESÍA DEL SOL",
    "C/ SAN ANTÓN",
    "PASEO DE LA ALAMEDA",
    "C/ NUEVA",
    "RONDA NORTE",
    "C/ LA FUENTE",
};

// ---------------------------------------------------------------------------------------------
// Deterministic numbers

std::uint64_t mezcla(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

class Azar {
 public:
  explicit Azar(std::uint64_t semilla) : estado_(semilla) {}
  std::uint64_t siguiente() { return mezcla(estado_++); }
  double uniforme(double a, double b) {
    return a + (b - a) * static_cast<double>(siguiente() >> 11) * 0x1.0p-53;
  }
  int entero(int a, int b) {  // a..b inclusive
    return a + static_cast<int>(siguiente() % static_cast<std::uint64_t>(b - a + 1));
  }
  bool probabilidad(double p) { return uniforme(0, 1) < p; }

 private:
  std::uint64_t estado_;
};

// A value in [-1, 1) fixed by the seed and two grid indices.
double ruido(std::uint64_t semilla, std::int64_t i, std::int64_t j, std::uint64_t canal) {
  const std::uint64_t h = mezcla(semilla ^ mezcla(static_cast<std::uint64_t>(i) * 0x100000001B3ULL ^
                                                  mezcla(static_cast<std::uint64_t>(j) + canal)));
  return static_cast<double>(h >> 11) * 0x1.0p-52 - 1.0;
}

// ---------------------------------------------------------------------------------------------
// Geometry of the sheet (file units: centimetres)

constexpr double kOrigenX = 44000000;   // 440,000 m east
constexpr double kOrigenY = 447000000;  // 4,470,000 m north
constexpr double kLado = 10000;         // 100 m between street nodes
constexpr double kUds = 100;

// Ground elevation: a slope rising to the north with waves across it, so that its contour lines
// have a closed form.
constexpr double kCotaBase = 650, kPendiente = 0.03, kOnda = 15, kLongitudOnda = 1200,
                 kPendienteX = 0.004;

double cota_sin_norte(double x) {  // metres, the part of the elevation that depends on x
  const double xm = (x - kOrigenX) / kUds;
  return kCotaBase + kOnda * std::sin(2 * kPi * xm / kLongitudOnda) + kPendienteX * xm;
}

double cota(double x, double y) {  // centimetres
  return kUds * (cota_sin_norte(x) + kPendiente * (y - kOrigenY) / kUds);
}

// y (centimetres) where the ground has the elevation `nivel` (metres) at x.
double y_de_nivel(double x, double nivel) {
  return kOrigenY + kUds * (nivel - cota_sin_norte(x)) / kPendiente;
}

Vertice vertice_en(double x, double y) {
  return {static_cast<std::int32_t>(std::lround(x)), static_cast<std::int32_t>(std::lround(y)),
          static_cast<std::int32_t>(std::lround(cota(x, y)))};
}

// A block's corners (nodes (i, j), (i+1, j), (i+1, j+1), (i, j+1)) mapped bilinearly.
struct Cuadrilatero {
  Punto a, b, c, d;
  Punto en(double u, double v) const {
    return {(1 - u) * (1 - v) * a.x + u * (1 - v) * b.x + u * v * c.x + (1 - u) * v * d.x,
            (1 - u) * (1 - v) * a.y + u * (1 - v) * b.y + u * v * c.y + (1 - u) * v * d.y};
  }
};

// ---------------------------------------------------------------------------------------------
// Writer of the entity file

class GeneradorHoja {
 public:
  GeneradorHoja(FicheroNuevo& salida, const OpcionesMuestra& opciones)
      : salida_(salida),
        objetivo_(opciones.entidades),
        semilla_(opciones.semilla),
        recintos_(opciones.recintos),
        azar_(mezcla(opciones.semilla)) {
    // About nine entities a block (one more with its outline), and some room left so that the
    // street grid is rarely cut short; loose trees fill up to the exact count.
    const double por_bloque = recintos_ ? 11.5 : 10.5;
    const double bloques = std::max(1.0, static_cast<double>(objetivo_) / por_bloque);
    nodos_ = std::max(2, static_cast<int>(std::sqrt(bloques)) + 1);
  }

  // The rectangle of the street grid (file units).
  orogrid::Rectangulo extension() const {
    const auto lado = static_cast<std::int32_t>((nodos_ - 1) * kLado);
    return {static_cast<std::int32_t>(kOrigenX) - 2000, static_cast<std::int32_t>(kOrigenY) - 2000,
            static_cast<std::int32_t>(kOrigenX) + lado + 2000,
            static_cast<std::int32_t>(kOrigenY) + lado + 2000};
  }

  // The block names and the error numbers written, for the sample's databases.
  const std::vector<ManzanaMuestra>& manzanas() const { return manzanas_; }
  const std::vector<ErrorMuestra>& errores() const { return errores_; }

  std::int64_t genera() {
    curvas_de_nivel();
    // A text outside every block, as a misplaced label would be.
    emite_texto("2012", {kOrigenX - 5000, kOrigenY - 5000}, "FUERA DE MANZANA", 300, 0, 0);
    for (int j = 0; j < nodos_ && !lleno(); ++j) fila_de_manzanas(j);
    while (!lleno()) punto_suelto();
    vacia();
    return escritas_;
  }

 private:
  bool lleno() const { return escritas_ >= objetivo_; }

  Punto nodo(int i, int j) const {
    return {kOrigenX + i * kLado + 1500 * ruido(semilla_, i, j, 1),
            kOrigenY + j * kLado + 1500 * ruido(semilla_, i, j, 2)};
  }

  Cuadrilatero manzana(int i, int j) const {
    return {nodo(i, j), nodo(i + 1, j), nodo(i + 1, j + 1), nodo(i, j + 1)};
  }

  void emite_c(const char* codigo, std::vector<Vertice> vertices,
               std::vector<Atributo> atributos = {}, char estado = kEstadoActivo) {
    Cabecera cabecera;
    cabecera.tipo = kTipoCartografico;
    cabecera.estado = estado;
    cabecera.codigo = codigo_desde_texto(codigo);
    cabecera.num_puntos = static_cast<std::int16_t>(vertices.size());
    cabecera.num_atributos = static_cast<std::uint8_t>(atributos.size());
    Rango rango;
    calcula_rango_entidad(rango, vertices);
    emite(cabecera, rango, vertices, {}, atributos);
  }

  void emite_texto(const char* codigo, Punto p, const std::string& texto_utf8, int altura,
                   int justificacion, int angulo) {
    const std::string bytes = utf8_a_cp1252(texto_utf8);
    const std::size_t trozos = std::max<std::size_t>(1, (bytes.size() + 11) / 12);
    std::string relleno = bytes;
    relleno.resize(12 * trozos, '\0');
    Cabecera cabecera;
    cabecera.tipo = kTipoTexto;
    cabecera.codigo = codigo_desde_texto(codigo);
    cabecera.num_puntos = static_cast<std::int16_t>(trozos + 1);
    const Vertice insercion = vertice_en(p.x, p.y);
    const Rango rango = rango_de_texto(insercion, bytes.size(), altura, justificacion, angulo);
    emite(cabecera, rango, std::vector<Vertice>{insercion}, relleno, {});
  }

  void emite(const Cabecera& cabecera, const Rango& rango, std::span<const Vertice> vertices,
             std::string_view texto, std::span<const Atributo> atributos) {
    if (lleno()) return;
    escribe_entidad(buffer_, cabecera, rango, vertices, texto, atributos);
    ++escritas_;
    if (buffer_.size() > (1u << 20)) vacia();
  }

  void vacia() {
    salida_.escribe(buffer_);
    buffer_.clear();
  }

  static Atributo atributo(std::int16_t tabla, std::int32_t registro, std::string_view resto) {
    Atributo a;
    a.id_tabla = tabla;
    a.n_registro = registro;
    std::copy_n(resto.begin(), std::min<std::size_t>(6, resto.size()), a.resto.begin());
    return a;
  }

  // Contour lines at every metre (every fifth one a master line), one vertex each 10 m, cut
  // into pieces of at most 250 vertices and at the sheet's northern and southern edges.
  void curvas_de_nivel() {
    const double xmin = kOrigenX, xmax = kOrigenX + (nodos_ - 1) * kLado;
    const double ymin = kOrigenY, ymax = kOrigenY + (nodos_ - 1) * kLado;
    const double paso = 1000;
    const int primer_nivel = static_cast<int>(std::ceil(cota(xmin, ymin) / kUds - kOnda));
    const int ultimo_nivel = static_cast<int>(std::floor(cota(xmax, ymax) / kUds + kOnda));
    for (int nivel = primer_nivel; nivel <= ultimo_nivel && !lleno(); ++nivel) {
      const char* codigo = nivel % 5 == 0 ? "4012" : "4011";
      std::vector<Vertice> trozo;
      auto cierra_trozo = [&] {
        if (trozo.size() >= 2) emite_c(codigo, trozo);
        trozo.clear();
      };
      for (double x = xmin; x <= xmax; x += paso) {
        const double y = y_de_nivel(x, nivel);
        if (y < ymin || y > ymax) {
          cierra_trozo();
          continue;
        }
        trozo.push_back({static_cast<std::int32_t>(std::lround(x)),
                         static_cast<std::int32_t>(std::lround(y)), nivel * 100});
        if (trozo.size() == 250) {
          const Vertice ultimo = trozo.back();
          cierra_trozo();
          trozo.push_back(ultimo);
        }
      }
      cierra_trozo();
    }
  }

  // A street from one node to another, slightly bent, with one to three inner vertices.
  std::vector<Vertice> calle(Punto desde, Punto hasta, int i, int j, int canal) const {
    const int interiores = 1 + static_cast<int>((ruido(semilla_, i, j, canal) + 1) * 1.5) % 3;
    const double curva = 300 * ruido(semilla_, i, j, canal + 10);
    const double largo = distancia_puntos(desde.x, desde.y, hasta.x, hasta.y);
    const double nx = -(hasta.y - desde.y) / largo, ny = (hasta.x - desde.x) / largo;
    std::vector<Vertice> vertices{vertice_en(desde.x, desde.y)};
    for (int k = 1; k <= interiores; ++k) {
      const double t = static_cast<double>(k) / (interiores + 1);
      const double desvio = curva * std::sin(kPi * t);
      vertices.push_back(vertice_en(desde.x + t * (hasta.x - desde.x) + desvio * nx,
                                    desde.y + t * (hasta.y - desde.y) + desvio * ny));
    }
    vertices.push_back(vertice_en(hasta.x, hasta.y));
    return vertices;
  }

  const char* codigo_de_calle(int linea) const {
    if (linea == 0 || linea == nodos_ - 1) return "1519";
    return linea % 5 == 0 ? "1517" : "1516";
  }

  std::vector<Atributo> atributos_de_calle(int i, int j) {
    std::vector<Atributo> atributos{atributo(1, ++registro_, "VIAL")};
    if ((i + j) % 3 == 0) atributos.push_back(atributo(2, 1521, ""));
    if ((i * 7 + j) % 41 == 0) atributos.push_back(atributo(2, 9999, "SINCOD"));
    return atributos;
  }

  void fila_de_manzanas(int j) {
    for (int i = 0; i < nodos_; ++i) {
      const Punto p = nodo(i, j);
      const Vertice v = vertice_en(p.x, p.y);
      emite_c("PSCT", {v}, {atributo(1, ++registro_, "COTA")});
    }
    for (int i = 0; i + 1 < nodos_; ++i) {
      const auto vertices = calle(nodo(i, j), nodo(i + 1, j), i, j, 3);
      emite_c(codigo_de_calle(j), vertices, atributos_de_calle(i, j));
      // A few streets carry an elevation point on an inner vertex too.
      if (bloque(i, j) % 37 == 11)
        emite_c("PSCT", {vertices[1]}, {atributo(1, ++registro_, "COTA")});
    }
    // The blocks below this row are closed now: their contents follow their last street, so
    // that a sheet cut short by its entity count leaves no text in a block left open.
    if (j > 0) {
      for (int i = 0; i + 1 < nodos_; ++i) contenido_de_manzana(i, j - 1);
    }
    if (j + 1 == nodos_) return;
    for (int i = 0; i < nodos_; ++i) {
      auto vertices = calle(nodo(i, j), nodo(i, j + 1), i, j, 5);
      if (falta_de_bloque(i, j) == Falta::calle_colgante) {
        // The street stops 2.5 m short of the node it should reach.
        Vertice& fin = vertices.back();
        const Vertice& previo = vertices[vertices.size() - 2];
        const double largo = distancia_puntos(fin.x, fin.y, previo.x, previo.y);
        fin = vertice_en(fin.x + (previo.x - fin.x) * 250 / largo,
                         fin.y + (previo.y - fin.y) * 250 / largo);
      }
      emite_c(codigo_de_calle(i), vertices, atributos_de_calle(i, j + 1000));
    }
  }

  enum class Falta {
    ninguna,
    duplicado_exacto,
    casi_duplicado,
    calle_colgante,
    vertice_doble,
    linea_que_se_cruza,
    borrada,
    codigo_desconocido,
    sin_texto,
    dos_textos,
  };

  std::int64_t bloque(int i, int j) const { return static_cast<std::int64_t>(j) * nodos_ + i; }

  // Every 500th block carries one deliberate fault, in turn.
  Falta falta_de_bloque(int i, int j) const {
    if (bloque(i, j) % 500 > 8) return Falta::ninguna;
    return static_cast<Falta>(bloque(i, j) % 500 + 1);
  }

  // Every 97th block has a plaza: a ring of streets inside it, an island of the network.
  bool plaza_en(int i, int j) const { return bloque(i, j) % 97 == 48; }

  // The block's outline along its streets, anticlockwise from its south-west node: the southern
  // and eastern streets as they run, the northern and western ones backwards.
  void recinto(int i, int j) {
    std::vector<Vertice> vertices = calle(nodo(i, j), nodo(i + 1, j), i, j, 3);
    auto sigue = [&vertices](std::vector<Vertice> tramo, bool al_reves) {
      if (al_reves) std::reverse(tramo.begin(), tramo.end());
      vertices.insert(vertices.end(), tramo.begin() + 1, tramo.end());
    };
    sigue(calle(nodo(i + 1, j), nodo(i + 1, j + 1), i + 1, j, 5), false);
    sigue(calle(nodo(i, j + 1), nodo(i + 1, j + 1), i, j + 1, 3), true);
    sigue(calle(nodo(i, j), nodo(i, j + 1), i, j, 5), true);
    emite_c("1615", vertices, {atributo(1, ++registro_, "RECINT")});
  }

  void contenido_de_manzana(int i, int j) {
    const Cuadrilatero q = manzana(i, j);
    const Falta falta = falta_de_bloque(i, j);
    const bool plaza = plaza_en(i, j);
    if (recintos_) recinto(i, j);
    const int filas = azar_.entero(1, 3);
    bool primero = true;
    Punto centro_primero{};
    for (int fila = 0; fila < filas; ++fila) {
      for (int columna = 0; columna < 2; ++columna) {
        if (plaza && columna == 1) continue;
        if (!primero && azar_.probabilidad(0.2)) continue;
        const double u0 = 0.12 + 0.38 * columna, v0 = 0.12 + 0.76 * fila / filas;
        const double u1 = u0 + 0.38, v1 = 0.12 + 0.76 * (fila + 1) / filas;
        edificio(q, u0 + 0.04, v0 + 0.04, u1 - 0.04, v1 - 0.04, primero ? falta : Falta::ninguna);
        if (primero) centro_primero = q.en((u0 + u1) / 2, (v0 + v1) / 2);
        primero = false;
      }
    }
    if (bloque(i, j) % kManzanasPorError == 5) numero_de_error(centro_primero);
    simbolos(q, falta);
    // A few elevation points away from every street node.
    if (bloque(i, j) % 41 == 7) {
      const Punto p = q.en(0.3, 0.06);
      emite_c("PSCT", {vertice_en(p.x, p.y)}, {atributo(1, ++registro_, "COTA")});
    }
    const int numero = j * nodos_ + i + 1;
    const std::string nombre = azar_.probabilidad(0.5)
                                   ? kNombres[azar_.entero(0, std::size(kNombres) - 1)]
                                   : "MANZANA " + std::to_string(numero);
    const int angulo = azar_.probabilidad(0.5) ? 0 : azar_.entero(0, 35999);
    if (!lleno()) manzanas_.push_back({nombre, area_de_manzana(q)});
    // The block's text is its centroid: one inside each block, but for the faults.
    if (falta != Falta::sin_texto) {
      emite_texto(
          falta == Falta::codigo_desconocido ? "2099" : (nombre[0] == 'M' ? "2011" : "2010"),
          q.en(0.5, 0.5), nombre, azar_.entero(150, 500), azar_.entero(0, 8), angulo);
    }
    if (falta == Falta::dos_textos) emite_texto("2011", q.en(0.3, 0.85), "BIS", 200, 0, 0);
    if (plaza) plaza_de_manzana(q, numero);
    if (falta == Falta::casi_duplicado) casi_duplicado(i, j);
    if (falta == Falta::linea_que_se_cruza) linea_que_se_cruza(q);
  }

  static double area_de_manzana(const Cuadrilatero& q) {
    const Punto esquinas[] = {q.a, q.b, q.c, q.d};
    double doble = 0;
    for (int k = 0; k < 4; ++k) {
      const Punto& p = esquinas[k];
      const Punto& s = esquinas[(k + 1) % 4];
      doble += p.x * s.y - s.x * p.y;
    }
    return std::fabs(doble) / 2 / (kUds * kUds);
  }

  // An inspection's error number written inside a building, as the error control reads it:
  // in turn alone, with a description after "_", with a decimal point (which names nothing),
  // and every fifth one written twice.
  void numero_de_error(Punto centro) {
    if (lleno()) return;
    const auto numero = static_cast<std::int32_t>(1001 + errores_.size());
    const std::string texto = std::to_string(numero);
    static constexpr const char* kFormas[] = {"", "_revisado", "_corregido", ".5"};
    const std::size_t forma = errores_.size() % std::size(kFormas);
    const Vertice v = vertice_en(centro.x, centro.y);
    errores_.push_back({numero, "1539", v.x / kUds, v.y / kUds, v.z / kUds});
    emite_texto("60200", centro, texto + kFormas[forma], 150, 0, 0);
    if (errores_.size() % 5 == 0) {
      emite_texto("60200", {centro.x, centro.y - 300}, texto + "_repetido", 150, 0, 0);
    }
  }

  void edificio(const Cuadrilatero& q, double u0, double v0, double u1, double v1, Falta falta) {
    std::vector<Vertice> vertices;
    for (const auto& [u, v] : {std::pair{u0, v0}, std::pair{u1, v0}, std::pair{u1, v1},
                               std::pair{u0, v1}, std::pair{u0, v0}}) {
      const Punto p = q.en(u, v);
      vertices.push_back(vertice_en(p.x, p.y));
    }
    const double area = (u1 - u0) * (v1 - v0);
    const char* codigo = area < 0.02 ? "1541" : (azar_.probabilidad(0.1) ? "1540" : "1539");
    if (falta == Falta::vertice_doble) vertices.insert(vertices.begin() + 2, vertices[2]);
    std::vector<Atributo> atributos{atributo(1, ++registro_, "EDIF")};
    if (azar_.probabilidad(0.3)) atributos.push_back(atributo(2, 1615, ""));
    emite_c(codigo, vertices, atributos);
    if (falta == Falta::duplicado_exacto) emite_c(codigo, vertices, atributos);
  }

  void simbolos(const Cuadrilatero& q, Falta falta) {
    const int cantidad = azar_.entero(1, 2);
    for (int k = 0; k < cantidad; ++k) {
      const Punto p = q.en(azar_.uniforme(0.03, 0.97), azar_.uniforme(0.03, 0.08));
      const bool borrada = falta == Falta::borrada && k == 0;
      emite_c(k == 0 ? "2401" : "2402", {vertice_en(p.x, p.y)}, {},
              borrada ? kMarcaBorrado : kEstadoActivo);
    }
    if (falta == Falta::codigo_desconocido) {
      const Punto p = q.en(0.5, 0.1);
      emite_c("9901", {vertice_en(p.x, p.y)});
    }
  }

  // Two streets closing a ring in the block's eastern half, and the plaza's name inside it.
  void plaza_de_manzana(const Cuadrilatero& q, int numero) {
    std::vector<Vertice> esquinas;
    for (const auto& [u, v] : {std::pair{0.58, 0.25}, std::pair{0.84, 0.25}, std::pair{0.84, 0.75},
                               std::pair{0.58, 0.75}}) {
      const Punto p = q.en(u, v);
      esquinas.push_back(vertice_en(p.x, p.y));
    }
    emite_c("1521", {esquinas[0], esquinas[1], esquinas[2]});
    emite_c("1521", {esquinas[2], esquinas[3], esquinas[0]});
    emite_texto("2010", q.en(0.71, 0.5), "PLAZA " + std::to_string(numero), 250, 0, 0);
  }

  // A copy of the block's southern street with its middle vertex moved 2 cm.
  void casi_duplicado(int i, int j) {
    auto vertices = calle(nodo(i, j), nodo(i + 1, j), i, j, 3);
    vertices[vertices.size() / 2].x += 2;
    emite_c(codigo_de_calle(j), vertices, atributos_de_calle(i, j));
  }

  // A footpath that crosses itself once.
  void linea_que_se_cruza(const Cuadrilatero& q) {
    std::vector<Vertice> vertices;
    for (const auto& [u, v] : {std::pair{0.45, 0.45}, std::pair{0.55, 0.55}, std::pair{0.55, 0.45},
                               std::pair{0.45, 0.55}}) {
      const Punto p = q.en(u, v);
      vertices.push_back(vertice_en(p.x, p.y));
    }
    emite_c("1520", vertices);
  }

  // Trees anywhere on the sheet, to reach the exact entity count.
  void punto_suelto() {
    const double x = kOrigenX + azar_.uniforme(0, (nodos_ - 1) * kLado);
    const double y = kOrigenY + azar_.uniforme(0, (nodos_ - 1) * kLado);
    emite_c("2402", {vertice_en(x, y)});
  }

  static constexpr std::int64_t kManzanasPorError = 101;

  FicheroNuevo& salida_;
  std::int64_t objetivo_;
  std::uint64_t semilla_;
  bool recintos_;
  Azar azar_;
  int nodos_ = 2;
  std::int64_t escritas_ = 0;
  std::int32_t registro_ = 0;
  std::string buffer_;
  std::vector<ManzanaMuestra> manzanas_;
  std::vector<ErrorMuestra> errores_;
};

}  // namespace

ResumenMuestra genera_muestra(const std::filesystem::path& carpeta,
                              const OpcionesMuestra& opciones) {
  std::error_code error;
  std::filesystem::create_directories(carpeta, error);
  if (error) {
    throw ErrorTelmora("No se puede crear la carpeta " + ruta_texto(carpeta) + ": " +
                       error.message());
  }
  ResumenMuestra resumen;
  resumen.tab = carpeta / "Vekt.tab";
  resumen.pal = carpeta / "Vekt.pal";
  resumen.bin = carpeta / ruta_desde_texto(opciones.nombre);
  escribe_fichero_atomico(resumen.tab, utf8_a_cp1252(tabla_vekt_muestra()));
  escribe_fichero_atomico(resumen.pal, paleta_muestra());

  FicheroNuevo bin(resumen.bin);
  GeneradorHoja generador(bin, opciones);
  resumen.entidades = generador.genera();
  bin.confirma();
  resumen.bytes = static_cast<std::int64_t>(std::filesystem::file_size(resumen.bin));
  const BasesMuestra bases =
      escribe_bases_muestra(resumen.bin, generador.manzanas(), generador.errores());
  resumen.control = bases.control;
  resumen.catalogo = bases.catalogo;
  resumen.errores = bases.errores;

  // The terrain model of the same ground, with at most about two million triangles.
  resumen.mdt = ruta_con_sufijo(resumen.bin, ".MDT");
  const orogrid::Rectangulo zona = generador.extension();
  const std::int32_t paso = std::max<std::int32_t>(1000, (zona.xmax - zona.xmin) / 1000);
  try {
    orogrid::escribe_mdt_rejilla(resumen.mdt, zona, paso, [](std::int32_t x, std::int32_t y) {
      return static_cast<std::int32_t>(std::lround(cota(x, y)));
    });
  } catch (const std::exception& error) {
    throw ErrorTelmora(error.what());
  }
  return resumen;
}

}  // namespace telmora
