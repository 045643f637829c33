#include "hoja_sintetica.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <set>
#include <system_error>

namespace fuzz {

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Codes the tools treat apart (elevation points, the pair of duplicate codes, a code never
// duplicated, the elevation label) beside plain ones.
constexpr const char* kCodigos[] = {"100",  "200",  "300",  "PSCT", "PSCT7", "5099",
                                    "5108", "5007", "1403", "TXT",  "9"};
// Second codes of attributes with table 2: plain, virtual, unknown to nothing.
constexpr std::int32_t kSegundosCodigos[] = {100, 200, 5020, 5632, 9};
constexpr std::int32_t kExtremos[] = {kMin, kMax, 0, -2000000000, 2000000000, -1, 1, kMin + 1};

// Reads the input front to back; past its end every value is 0.
class Lector {
 public:
  explicit Lector(std::span<const std::uint8_t> datos) : datos_(datos) {}
  bool agotado() const { return pos_ >= datos_.size(); }
  std::uint8_t byte() { return pos_ < datos_.size() ? datos_[pos_++] : 0; }
  std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
  std::int32_t i32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{byte()} << (8 * i);
    return static_cast<std::int32_t>(v);
  }
  std::size_t hasta(std::size_t n) { return n == 0 ? 0 : byte() % n; }

 private:
  std::span<const std::uint8_t> datos_;
  std::size_t pos_ = 0;
};

class Decodificador {
 public:
  explicit Decodificador(std::span<const std::uint8_t> datos) : lee_(datos) {}

  HojaSintetica hoja() {
    HojaSintetica h;
    const std::uint8_t banderas = lee_.byte();
    h.rangos = static_cast<Rangos>(banderas % 3);
    h.milimetros = (banderas & 4) != 0;
    // Where the small box lies: at the origin, at map coordinates, against either end of the
    // 32-bit range.
    constexpr std::int32_t kBases[] = {0, 450000000, kMax - 8191, kMin};
    base_x_ = kBases[(banderas >> 3) & 3];
    base_y_ = kBases[(banderas >> 5) & 3];
    const std::uint8_t t = lee_.byte();
    h.tolerancia_metros = t == 255 ? 1e7 : t / 4.0;
    h.tolerancia_xy = lee_.byte();
    h.tolerancia_z = lee_.byte();
    for (int i = 0; i < 4; ++i) h.ventana[i] = coordenada(i % 2 == 1);
    while (!lee_.agotado() && h.entidades.size() < kMaxEntidades) h.entidades.push_back(entidad(h));
    return h;
  }

 private:
  std::int32_t coordenada(bool es_y) {
    const std::uint8_t modo = lee_.byte();
    switch (modo % 8) {
      case 0:
      case 1:
      case 2:
        return (es_y ? base_y_ : base_x_) + static_cast<std::int32_t>(lee_.u16() % 4000);
      case 6:
        return lee_.i32();
      case 7:
        return kExtremos[lee_.hasta(std::size(kExtremos))];
      default:
        return (es_y ? base_y_ : base_x_) + static_cast<std::int32_t>(lee_.byte()) * 16;
    }
  }

  std::int32_t cota() {
    const std::uint8_t modo = lee_.byte();
    if (modo < 200) return modo * 10;
    if (modo < 250) return lee_.i32();
    return kExtremos[modo % std::size(kExtremos)];
  }

  // A vertex: new, the entity's previous one again, one of an earlier entity (a shared node), or
  // a point on the segment between two vertices met so far (collinear overlaps).
  VerticeSintetico vertice(const std::vector<VerticeSintetico>& propios) {
    const std::uint8_t modo = lee_.byte();
    if (modo < 24 && !propios.empty()) return propios.back();
    if (modo < 96 && !vistos_.empty()) return vistos_[lee_.hasta(vistos_.size())];
    if (modo < 120 && vistos_.size() >= 2) {
      const auto& a = vistos_[lee_.hasta(vistos_.size())];
      const auto& b = vistos_[lee_.hasta(vistos_.size())];
      const std::int64_t k = lee_.hasta(5);  // 0 to 4 quarters of the way
      return {static_cast<std::int32_t>(a.x + (std::int64_t{b.x} - a.x) * k / 4),
              static_cast<std::int32_t>(a.y + (std::int64_t{b.y} - a.y) * k / 4), a.z};
    }
    const std::int32_t x = coordenada(false), y = coordenada(true);
    return {x, y, cota()};
  }

  std::string texto() {
    const std::uint8_t modo = lee_.byte();
    if (modo < 128) {
      // An elevation: digits with a decimal point or comma, sometimes signed.
      std::string s = std::to_string(lee_.u16() % 3000);
      if (modo & 1) s += (modo & 2) ? "," : ".";
      if (modo & 1) s += std::to_string(lee_.byte() % 100);
      if (modo & 4) s = "-" + s;
      return s;
    }
    std::string s(lee_.hasta(31), ' ');
    for (char& c : s) c = static_cast<char>(lee_.byte());
    return s;
  }

  EntidadSintetica entidad(const HojaSintetica& h) {
    EntidadSintetica e;
    const std::uint8_t clase = lee_.byte();
    e.activa = (clase & 0xE0) != 0xE0;
    e.codigo = kCodigos[lee_.hasta(std::size(kCodigos))];
    const std::size_t atributos = lee_.hasta(kMaxAtributos + 1 + 4);
    for (std::size_t i = 0; i < atributos && i < kMaxAtributos; ++i) {
      const std::uint8_t a = lee_.byte();
      e.atributos.push_back({static_cast<std::int16_t>(a & 1 ? 2 : a),
                             kSegundosCodigos[a % std::size(kSegundosCodigos)]});
    }
    switch (clase % 8) {
      case 0:  // point
        e.vertices.push_back(vertice({}));
        break;
      case 6:  // text
        e.texto = true;
        e.codigo = clase & 8 ? "1403" : "TXT";
        e.vertices.push_back(vertice({}));
        e.contenido = texto();
        e.altura = lee_.byte() < 240 ? 50 + lee_.byte() * 8 : lee_.i32();
        e.justificacion = lee_.hasta(10);
        e.angulo = lee_.byte() < 200 ? lee_.byte() * 100 : lee_.i32();
        break;
      case 7:  // an earlier element again, whole or reversed
        if (!h.entidades.empty()) {
          const EntidadSintetica& previa = h.entidades[lee_.hasta(h.entidades.size())];
          if (!previa.texto) {
            e.vertices = previa.vertices;
            if (clase & 8) std::reverse(e.vertices.begin(), e.vertices.end());
            if (clase & 16) e.codigo = previa.codigo;
            break;
          }
        }
        [[fallthrough]];
      default: {  // a line, closed when the class says so
        const std::size_t n = 2 + lee_.hasta(kMaxVertices - 1);
        while (e.vertices.size() < n) e.vertices.push_back(vertice(e.vertices));
        if (clase % 8 == 5) e.vertices.back() = e.vertices.front();
        break;
      }
    }
    for (const auto& v : e.vertices) vistos_.push_back(v);
    return e;
  }

  Lector lee_;
  std::int32_t base_x_ = 0, base_y_ = 0;
  std::vector<VerticeSintetico> vistos_;
};

void anade_i32(std::string& s, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
}

void anade_i16(std::string& s, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  s += static_cast<char>(u & 0xFF);
  s += static_cast<char>(u >> 8);
}

void anade_campo(std::string& s, const std::string& texto, std::size_t ancho) {
  std::string campo = texto.substr(0, ancho);
  campo.resize(ancho, '\0');
  s += campo;
}

std::int32_t satura(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, kMin, kMax));
}

void anade_rango(std::string& s, const EntidadSintetica& e, Rangos modo) {
  std::int64_t r[6];
  if (modo == Rangos::arbitrarios) {
    // Anything, derived from the vertices so that the same sheet gives the same bytes.
    const auto& v = e.vertices.front();
    const std::int64_t valores[6] = {v.y, v.x, -std::int64_t{v.z}, std::int64_t{v.x} ^ 0x5555,
                                     v.z, v.y};
    std::copy(std::begin(valores), std::end(valores), r);
  } else if (e.texto) {
    const auto& v = e.vertices.front();
    const std::int64_t ancho = std::int64_t{e.altura} * std::int64_t(e.contenido.size());
    const std::int64_t valores[6] = {v.x, v.y, v.z, v.x + ancho, std::int64_t{v.y} + e.altura, v.z};
    std::copy(std::begin(valores), std::end(valores), r);
  } else {
    const bool literal = modo == Rangos::literales;
    const auto& v0 = e.vertices.front();
    std::int64_t inicio[6] = {1000000000, 1000000000, 1000000000, 0, 0, 0};
    if (!literal) {
      const std::int64_t exactos[6] = {v0.x, v0.y, v0.z, v0.x, v0.y, v0.z};
      std::copy(std::begin(exactos), std::end(exactos), inicio);
    }
    std::copy(std::begin(inicio), std::end(inicio), r);
    for (const auto& v : e.vertices) {
      r[0] = std::min<std::int64_t>(r[0], v.x), r[1] = std::min<std::int64_t>(r[1], v.y);
      r[2] = std::min<std::int64_t>(r[2], v.z), r[3] = std::max<std::int64_t>(r[3], v.x);
      r[4] = std::max<std::int64_t>(r[4], v.y), r[5] = std::max<std::int64_t>(r[5], v.z);
    }
  }
  for (const std::int64_t v : r) anade_i32(s, satura(v));
  if (e.texto) {
    anade_i32(s, e.altura);
    anade_i32(s, e.justificacion);
    anade_i32(s, e.angulo);
  } else {
    anade_i32(s, 20);
    anade_i32(s, 6);
    anade_i32(s, 1957);
  }
}

}  // namespace

HojaSintetica decodifica(std::span<const std::uint8_t> datos) {
  return Decodificador(datos).hoja();
}

std::string HojaSintetica::bin() const {
  std::string s;
  s.reserve(entidades.size() * (48 + 12 * (kMaxVertices + kMaxAtributos)));
  for (const EntidadSintetica& e : entidades) {
    const std::size_t trozos = std::max<std::size_t>(1, (e.contenido.size() + 11) / 12);
    const std::size_t puntos = e.texto ? trozos + 1 : e.vertices.size();
    s += e.texto ? 'T' : 'C';
    s += e.activa ? '=' : '\0';
    anade_campo(s, e.codigo, 7);
    s += static_cast<char>(e.atributos.size());
    anade_i16(s, static_cast<std::int16_t>(puntos));
    anade_rango(s, e, rangos);
    for (const auto& v : e.vertices) {
      anade_i32(s, v.x);
      anade_i32(s, v.y);
      anade_i32(s, v.z);
    }
    if (e.texto) anade_campo(s, e.contenido, 12 * trozos);
    for (const AtributoSintetico& a : e.atributos) {
      anade_i16(s, a.id_tabla);
      anade_i32(s, a.n_registro);
      anade_campo(s, "RESTO", 6);
    }
  }
  return s;
}

std::string HojaSintetica::vekt_tab() const {
  std::set<std::string> codigos;
  for (const EntidadSintetica& e : entidades) {
    codigos.insert(e.codigo);
    for (const AtributoSintetico& a : e.atributos) {
      if (a.id_tabla == 2) codigos.insert(std::to_string(a.n_registro));
    }
  }
  std::string s = "//@ 1 5\r\n";
  int color = 2;
  for (const std::string& codigo : codigos) {
    s += codigo + " " + std::to_string(color % 7) + " " + std::to_string(color) +
         " 1 2 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 \"Codigo " + codigo + "\"\r\n";
    color = color * 5 % 14 + 1;
  }
  return s;
}

std::string HojaSintetica::vekt_pal() {
  std::string s;
  for (int i = 0; i < 16; ++i)
    s += std::to_string(i * 16) + " " + std::to_string(255 - i * 16) + " " +
         std::to_string(i * 112 % 256) + "\r\n";
  return s;
}

std::size_t HojaSintetica::activas() const {
  return static_cast<std::size_t>(
      std::count_if(entidades.begin(), entidades.end(), [](const auto& e) { return e.activa; }));
}

std::string HojaSintetica::descripcion() const {
  std::string s = "tolerancia " + std::to_string(tolerancia_metros) + " m, xy " +
                  std::to_string(tolerancia_xy) + ", z " + std::to_string(tolerancia_z) +
                  (milimetros ? ", mm\n" : ", cm\n");
  for (const EntidadSintetica& e : entidades) {
    s += std::string(e.texto ? "T" : "C") + (e.activa ? "=" : "-") + " " + e.codigo;
    for (const auto& v : e.vertices)
      s += " (" + std::to_string(v.x) + "," + std::to_string(v.y) + "," + std::to_string(v.z) + ")";
    if (e.texto) {
      s += " \"";
      for (const char c : e.contenido) s += c >= ' ' && c <= '~' ? c : '?';
      s += "\"";
    }
    s += "\n";
  }
  return s;
}

HojaSintetica baraja(const HojaSintetica& hoja, std::uint64_t semilla) {
  HojaSintetica otra = hoja;
  std::mt19937_64 azar(semilla);
  std::shuffle(otra.entidades.begin(), otra.entidades.end(), azar);
  return otra;
}

CarpetaProceso::CarpetaProceso() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
  ruta_ = base / ("telmora-fuzz-" + std::to_string(::getpid()));
  std::filesystem::create_directories(ruta_);
}

CarpetaProceso::~CarpetaProceso() {
  std::error_code error;
  std::filesystem::remove_all(ruta_, error);
}

std::filesystem::path CarpetaProceso::escribe(const HojaSintetica& hoja) const {
  for (const auto& entrada : std::filesystem::directory_iterator(ruta_))
    std::filesystem::remove_all(entrada.path());
  auto escribe_fichero = [&](const char* nombre, const std::string& bytes) {
    std::ofstream f(ruta_ / nombre, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) std::abort();
  };
  escribe_fichero("hoja.bin", hoja.bin());
  escribe_fichero("Vekt.tab", hoja.vekt_tab());
  escribe_fichero("Vekt.pal", HojaSintetica::vekt_pal());
  return ruta_ / "hoja.bin";
}

}  // namespace fuzz
