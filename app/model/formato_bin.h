// Byte layout of the entity file (.bin): a flat sequence of entities with no file header.
// Each entity is a 12-byte header, a 36-byte range block, the vertices (12 bytes each; one for
// a text), the text pieces of a text (12 bytes each) and the attribute records (12 bytes each).
// Integers are little-endian; positions are 0-based byte offsets.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace telmora {

inline constexpr std::int64_t kTamCabecera = 12;
inline constexpr std::int64_t kTamRango = 36;
inline constexpr std::int64_t kTamVertice = 12;
inline constexpr std::int64_t kTamTrozoTexto = 12;
inline constexpr std::int64_t kTamAtributo = 12;
inline constexpr std::int64_t kTamFijoEntidad = kTamCabecera + kTamRango;
inline constexpr std::int64_t kPosicionCodigo = 2;  // the code field within the header
inline constexpr std::size_t kAnchoCodigo = 7;

inline constexpr char kTipoCartografico = 'C';
inline constexpr char kTipoTexto = 'T';
inline constexpr char kEstadoActivo = '=';
// The state byte this system writes to mark an entity deleted (any byte other than '=' reads
// as deleted).
inline constexpr char kMarcaBorrado = '\0';

// Height, justification (right, bottom) and angle (hundredths of a degree) of the texts the
// viewer creates.
inline constexpr std::int32_t kAlturaTextoNuevo = 20;
inline constexpr std::int32_t kJustificacionTextoNuevo = 6;
inline constexpr std::int32_t kAnguloTextoNuevo = 1957;

// The last three range values of an element that a writer rebuilds from new vertices (no reader
// interprets them for elements).
inline constexpr std::int32_t kSeptimoElementoNuevo = 20;
inline constexpr std::int32_t kOctavoElementoNuevo = 6;
inline constexpr std::int32_t kNovenoElementoNuevo = 1957;

struct Cabecera {
  char tipo = kTipoCartografico;            // 'C' or 'T'
  char estado = kEstadoActivo;              // '=' active, anything else deleted
  std::array<char, kAnchoCodigo> codigo{};  // Windows-1252, NUL padded
  std::uint8_t num_atributos = 0;
  std::int16_t num_puntos = 0;  // C: vertices; T: 1 + text pieces

  bool activa() const { return estado == kEstadoActivo; }
  bool es_texto() const { return tipo == kTipoTexto; }
  std::string_view codigo_bruto() const { return {codigo.data(), codigo.size()}; }
  // C: its vertices; T: one, the insertion point.
  std::uint32_t num_vertices() const {
    return es_texto() ? 1u : static_cast<std::uint32_t>(std::max<std::int16_t>(num_puntos, 0));
  }
  // The bytes of a text's pieces, 12 a piece (0 for a C entity).
  std::uint32_t num_bytes_texto() const {
    return es_texto() ? 12u * static_cast<std::uint32_t>(std::max(num_puntos - 1, 0)) : 0u;
  }
};

// The nine integers of the range block. For texts the last three are the height (file units),
// the justification code and the angle (hundredths of a degree, counter-clockwise).
struct Rango {
  std::int32_t xmin = 0, ymin = 0, zmin = 0;
  std::int32_t xmax = 0, ymax = 0, zmax = 0;
  std::int32_t septimo = 0, octavo = 0, noveno = 0;

  std::int32_t altura_texto() const { return septimo; }
  std::int32_t justificacion_texto() const { return octavo; }
  std::int32_t angulo_texto() const { return noveno; }
  friend bool operator==(const Rango&, const Rango&) = default;
};

// The last three range values that the writers rebuilding an element write (no reader interprets
// them for a cartographic element): the values of a new text.
inline void valores_de_reconstruccion(Rango& rango) {
  rango.septimo = kAlturaTextoNuevo;
  rango.octavo = kJustificacionTextoNuevo;
  rango.noveno = kAnguloTextoNuevo;
}

struct Vertice {
  std::int32_t x = 0, y = 0, z = 0;
  friend bool operator==(const Vertice&, const Vertice&) = default;
};

struct Atributo {
  std::int16_t id_tabla = 0;
  std::int32_t n_registro = 0;
  std::array<char, 6> resto{};
  std::int32_t posicion_tab = 0;  // code-table row of n_registro, resolved at load

  std::string_view resto_bruto() const { return {resto.data(), resto.size()}; }
};

// Bytes an entity occupies for its header's counts (both kinds follow the same rule).
inline std::int64_t longitud_entidad(std::int64_t num_puntos, std::int64_t num_atributos) {
  return kTamFijoEntidad + kTamVertice * num_puntos + kTamAtributo * num_atributos;
}

// Little-endian reads from a byte buffer; the caller has checked the bounds. Compilers turn the
// byte composition into a single load on little-endian machines.
inline std::int32_t lee_i32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::int32_t>(std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 |
                                   std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24);
}
inline std::int16_t lee_i16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::int16_t>(std::uint16_t(b[0] | b[1] << 8));
}

inline Cabecera lee_cabecera(const char* p) {
  Cabecera cabecera;
  cabecera.tipo = p[0];
  cabecera.estado = p[1];
  std::memcpy(cabecera.codigo.data(), p + 2, 7);
  cabecera.num_atributos = static_cast<std::uint8_t>(p[9]);
  cabecera.num_puntos = lee_i16(p + 10);
  return cabecera;
}

inline Rango lee_rango(const char* p) {
  return Rango{lee_i32(p),      lee_i32(p + 4),  lee_i32(p + 8),  lee_i32(p + 12), lee_i32(p + 16),
               lee_i32(p + 20), lee_i32(p + 24), lee_i32(p + 28), lee_i32(p + 32)};
}

inline Vertice lee_vertice(const char* p) {
  return Vertice{lee_i32(p), lee_i32(p + 4), lee_i32(p + 8)};
}

inline Atributo lee_atributo(const char* p) {
  Atributo atributo;
  atributo.id_tabla = lee_i16(p);
  atributo.n_registro = lee_i32(p + 2);
  std::memcpy(atributo.resto.data(), p + 6, 6);
  return atributo;
}

// Appends the encoded blocks to a byte buffer (the writers of entity files use these).
void escribe_cabecera(std::string& salida, const Cabecera& cabecera);
void escribe_rango(std::string& salida, const Rango& rango);
void escribe_vertice(std::string& salida, const Vertice& vertice);
void escribe_atributo(std::string& salida, const Atributo& atributo);

// Appends a whole entity in file order: header, range block, vertices, text pieces, attributes.
// The counts of the header must match what is given (one vertex and 12 bytes a piece for a text).
void escribe_entidad(std::string& salida, const Cabecera& cabecera, const Rango& rango,
                     std::span<const Vertice> vertices, std::string_view bytes_texto,
                     std::span<const Atributo> atributos);

// The single 12-character piece of a text the viewer creates, padded with spaces.
std::string trozo_de_texto(std::string_view texto);

// The pieces of a text entity's bytes, 12 bytes each, every one cleaned on its own (limpia_texto)
// and in UTF-8: a NUL that ends one piece does not hide the pieces after it.
std::vector<std::string> trozos_limpios(std::string_view bytes_texto);

// Code field from a code text: trimmed and NUL padded to 7 characters (longer codes are cut).
std::array<char, 7> codigo_desde_texto(std::string_view codigo_cp1252);

// Element classes of a C entity: fewer than two vertices is a point; first and last vertex
// equal in x and y is closed; otherwise open.
enum class ClaseElemento { puntual, abierto, cerrado };

}  // namespace telmora
