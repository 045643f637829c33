// A sheet built from a fuzzer's bytes: every input decodes to a well-formed entity file with a
// code table row for each of its codes, so that the tools, not the loader, meet the hostile
// cases. Few entities and vertices; coordinates from a small box or from the whole 32-bit range;
// repeated vertices, vertices shared with earlier elements (nodes of a network), zero-length and
// collinear overlapping segments, closed rings, points, texts (numbers among them) and
// attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace fuzz {

// Bounds of one sheet, so that a single input runs in milliseconds.
inline constexpr std::size_t kMaxEntidades = 40;
inline constexpr std::size_t kMaxVertices = 24;
inline constexpr std::size_t kMaxAtributos = 3;

struct VerticeSintetico {
  std::int32_t x = 0, y = 0, z = 0;
};

struct AtributoSintetico {
  std::int16_t id_tabla = 0;
  std::int32_t n_registro = 0;
};

struct EntidadSintetica {
  bool texto = false;
  bool activa = true;
  std::string codigo;
  std::vector<VerticeSintetico> vertices;  // one for a text
  std::string contenido;                   // a text's characters
  std::int32_t altura = 0, justificacion = 0, angulo = 0;
  std::vector<AtributoSintetico> atributos;
};

// How the range block of a cartographic element is written: as the capture system computes it
// (minima from 1,000,000,000 and maxima from 0, wrong below zero), as the vertices span, or
// left as any bytes.
enum class Rangos : std::uint8_t { literales, exactos, arbitrarios };

struct HojaSintetica {
  std::vector<EntidadSintetica> entidades;
  Rangos rangos = Rangos::literales;
  bool milimetros = false;
  // Tolerances and a window the tools are run with, drawn from the input as well.
  double tolerancia_metros = 0;
  std::int32_t tolerancia_xy = 0, tolerancia_z = 0;
  std::int32_t ventana[4] = {0, 0, 0, 0};  // x0, y0, x1, y1 in file units

  // The entity file's bytes.
  std::string bin() const;
  // A code table with one row per code of the sheet (and of its attributes' second codes) and a
  // palette, both fixed but for the colours.
  std::string vekt_tab() const;
  static std::string vekt_pal();

  // Active entities of the sheet.
  std::size_t activas() const;
  // One line an entity, to tell what a failing input holds.
  std::string descripcion() const;
};

HojaSintetica decodifica(std::span<const std::uint8_t> datos);

// The same sheet with its entities in another order, drawn from `semilla`.
HojaSintetica baraja(const HojaSintetica& hoja, std::uint64_t semilla);

// A folder of this process for the sheet and its outputs (in memory when /dev/shm exists),
// emptied before every input and removed when the process ends.
class CarpetaProceso {
 public:
  CarpetaProceso();
  ~CarpetaProceso();
  const std::filesystem::path& ruta() const { return ruta_; }
  // Empties the folder and writes the sheet as "hoja.bin" beside Vekt.tab and Vekt.pal; returns
  // the sheet's path.
  std::filesystem::path escribe(const HojaSintetica& hoja) const;

 private:
  std::filesystem::path ruta_;
};

}  // namespace fuzz
