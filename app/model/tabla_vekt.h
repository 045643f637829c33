// The code table Vekt.tab (how each feature code is drawn) and the palette Vekt.pal (the RGB of
// each colour index). Both are read once when a sheet is opened and kept for the whole run.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace telmora {

inline constexpr int kCamposVekt = 26;
inline constexpr int kSinAjustes = 25000;            // settings value before the table is read
inline constexpr int kColorDesconocidoDefecto = 32;  // colour of unknown codes without "//@"

struct Rgb {
  int rojo = 0, verde = 0, azul = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One entry of the code table: fields 1 to 26 as text and the visibility flag (field 27).
struct FilaVekt {
  std::array<std::string, kCamposVekt> campos;
  bool visible = true;
  int color = 0;  // field 3 as a number

  // Field n, 1-based as the table counts them (1 to 26).
  const std::string& campo(int n) const { return campos[static_cast<std::size_t>(n - 1)]; }
  const std::string& codigo() const { return campo(1); }
  const std::string& descripcion() const { return campo(26); }
};

struct ResultadoBusqueda {
  std::int32_t posicion_tab = 0;  // 0 when the code is not in the table
  int color = 0;
};

class TablaVekt {
 public:
  // Row 0 stands for a code that is not in the table; entries are rows 1 to num_entradas().
  std::vector<FilaVekt> filas{FilaVekt{}};
  int ajuste_fondo = kSinAjustes;       // first value of the "//@" line: background colour index
  int color_desconocido = kSinAjustes;  // second value: colour of codes not in the table

  int num_entradas() const { return static_cast<int>(filas.size()) - 1; }
  bool tiene_ajustes() const { return ajuste_fondo != kSinAjustes; }
  const FilaVekt& fila(std::int32_t posicion_tab) const {
    return filas[static_cast<std::size_t>(posicion_tab)];
  }
  FilaVekt& fila(std::int32_t posicion_tab) {
    return filas[static_cast<std::size_t>(posicion_tab)];
  }

  // First entry whose code equals the cleaned code exactly (UTF-8), and its colour; row 0 and
  // the colour of unknown codes when there is none.
  ResultadoBusqueda busca(std::string_view codigo_limpio) const;
  // The same for a raw 7-byte code field of an entity file (Windows-1252, NUL or space padded).
  ResultadoBusqueda busca_codigo_bin(std::string_view codigo_bruto) const;
  // The colour of a row already found; row 0 gives the colour of unknown codes.
  int color_de_fila(std::int32_t posicion_tab) const;

  // Must be called after the rows change so that lookups see them.
  void indexa();

 private:
  std::unordered_map<std::string, std::int32_t> primera_fila_;
};

class Paleta {
 public:
  // Slots 0 to 256 of the three colour tables; line k of the file fills slot k.
  std::array<std::int16_t, 257> rojo{}, verde{}, azul{};
  // The slots a line of the file gave a colour (comments, blank lines and missing lines did not).
  std::array<bool, 257> definida{};

  // Colour of a colour index: slot index + 1 (black for an index outside -1 to 255).
  Rgb color(int indice) const;
  // True when the slot of a colour index holds a colour of the file.
  bool define(int indice) const;
};

// Splits a code-table line into its fields: a field ends at a space that follows a non-space
// character, further spaces stay at the start of the next field, and from the first double
// quote on spaces no longer end fields.
std::vector<std::string> divide_campos_vekt(std::string_view linea);

// Parsers of the file contents. Blank lines hold no entry of the code table and take a slot of
// the palette. A line that the tables cannot hold (more than 26 fields, a
// colour index outside -1 to 255, a palette line of four or more fields, more than 256 palette
// lines, a text where an integer is expected) throws ErrorTelmora naming the file and line.
TablaVekt interpreta_vekt_tab(std::string_view contenido, std::string_view nombre_fichero);
Paleta interpreta_pal(std::string_view contenido, std::string_view nombre_fichero);

TablaVekt leo_vekt_tab(const std::filesystem::path& ruta);
Paleta leo_pal(const std::filesystem::path& ruta);

// Background colour of the drawing area: the palette colour of the first "//@" value, or black
// when the table has no settings line.
Rgb color_fondo(const TablaVekt& tabla, const Paleta& paleta);

}  // namespace telmora
