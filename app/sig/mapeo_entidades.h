// How the entities of a sheet become layers, fields and features of a GIS format, and how the
// same fields are read back: the one mapping that export and import share.
//
// Layers: "lineas" (lines), "recintos" (closed elements of more than two vertices, as
// polygons), "puntos" (elements of one vertex), "textos" (texts, as points at their insertion
// point). Every layer has the fields entidad (number in file order, from 1), codigo,
// descripcion and color ("#RRGGBB") of the code table and palette, and atributos (the attribute
// records as text); "textos" adds texto, altura (m), angulo (degrees, counter-clockwise) and
// justificacion (the code 0 to 8). Coordinates are metres, with z.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sesion.h"
#include "tipos_sig.h"

namespace telmora {

// Layers in the order they are written.
enum CapaEntidades : std::size_t { kCapaLineas, kCapaRecintos, kCapaPuntos, kCapaTextos };
inline constexpr std::size_t kNumCapasEntidades = 4;

// Field names, as written and as looked for when reading back.
inline constexpr const char* kCampoEntidad = "entidad";
inline constexpr const char* kCampoCodigo = "codigo";
inline constexpr const char* kCampoDescripcion = "descripcion";
inline constexpr const char* kCampoColor = "color";
inline constexpr const char* kCampoAtributos = "atributos";
inline constexpr const char* kCampoTexto = "texto";
inline constexpr const char* kCampoAltura = "altura";
inline constexpr const char* kCampoAngulo = "angulo";
inline constexpr const char* kCampoJustificacion = "justificacion";

// The four layers with their fields, indexed by CapaEntidades.
const std::vector<DefinicionCapa>& capas_de_entidades();

// The layer of an entity: texts to "textos"; elements of one vertex to "puntos"; closed
// elements of more than two vertices to "recintos"; every other element (open, or two vertices
// at the same place) to "lineas".
std::size_t capa_de_entidad(const Hoja& hoja, const Entidad& e);

// The feature of entity `numero` of the session's sheet: geometry in metres, one value per
// field of its layer, and its style (pen colour and width from the code table and palette; a
// fill for closed elements; for texts the label's text, angle, size in metres and anchor).
void rasgo_de_entidad(const Sesion& sesion, std::int32_t numero, RasgoSig& rasgo);

// A palette colour as "#RRGGBB".
std::string color_html(Rgb color);

// How the features of a code are drawn: the palette colour of its colour index and its pen
// width in pixels (the code's "Grosor" when it is a positive whole number, else 1); row 0, a
// code not in the table, has the colour for unknown codes.
struct PlumaDeCodigo {
  Rgb color;
  int grosor = 1;
};
PlumaDeCodigo pluma_de_fila(const Sesion& sesion, std::int32_t posicion_tab);

// The description of a code's row as the table holds it, without the quotes around it.
std::string descripcion_de_fila(const Sesion& sesion, std::int32_t posicion_tab);

// The code of an entity as its features carry it (field codigo).
std::string codigo_de_entidad(const Hoja& hoja, const Entidad& e);

// Attribute records as text, "IdTabla:NRegistro:Resto" separated by ";" (a ";" or "\" in the
// Resto is preceded by "\"), and back. A record that does not read is left out.
std::string texto_de_atributos(std::span<const Atributo> atributos);
std::vector<Atributo> atributos_de_texto(std::string_view texto);

// The field of a layer read that holds `nombre`: the same name regardless of case, or failing
// that the name cut to ten characters (the most a dBase field name holds). -1 when none.
int busca_campo(const std::vector<CampoSig>& campos, std::string_view nombre);

}  // namespace telmora
