#include "estilos_capas.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "gdal_comun.h"
#include "pintor.h"
#include "texto.h"

namespace telmora {

namespace {

using sig::RecogeMensajes;

constexpr const char* kTablaEstilos = "layer_styles";
// Point elements are drawn as an "x" as high as a text of 500 file units.
constexpr double kAlturaSimbolo = 500;

// The codes of a layer's features, each with the row of the code table it stands for.
using CodigosDeCapa = std::map<std::string, std::int32_t>;

bool caracter_de_control(unsigned char c) {
  return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// Whether XML can hold the text as it is (a character of control other than tab and line ends
// cannot be written in an XML 1.0 document in any form).
bool cabe_en_xml(std::string_view texto) {
  for (const char c : texto) {
    if (caracter_de_control(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

using Sustituciones = std::initializer_list<std::pair<char, std::string_view>>;

// The text with each character of `sustituciones` replaced by its text.
std::string sustituye(std::string_view texto, Sustituciones sustituciones) {
  std::string salida;
  for (const char c : texto) {
    const auto* s = std::find_if(sustituciones.begin(), sustituciones.end(),
                                 [c](const auto& par) { return par.first == c; });
    if (s != sustituciones.end()) {
      salida += s->second;
    } else {
      salida += c;
    }
  }
  return salida;
}

// Text for an XML attribute or element: the markup characters, quotes and the white space that
// a parser would fold, as references; characters XML cannot hold are left out.
std::string xml(std::string_view texto) {
  std::string sin_control;
  for (const char c : texto) {
    if (!caracter_de_control(static_cast<unsigned char>(c))) sin_control += c;
  }
  return sustituye(sin_control, {{'&', "&amp;"},
                                 {'<', "&lt;"},
                                 {'>', "&gt;"},
                                 {'"', "&quot;"},
                                 {'\'', "&apos;"},
                                 {'\t', "&#9;"},
                                 {'\n', "&#10;"},
                                 {'\r', "&#13;"}});
}

// A text as a string literal of the desktop's expressions.
std::string literal(std::string_view texto) {
  return "'" + sustituye(texto, {{'\'', "''"}, {'\\', "\\\\"}, {'\n', "\\n"}, {'\t', "\\t"}}) + "'";
}

std::string rgba(Rgb color) {
  return std::to_string(color.rojo & 0xFF) + "," + std::to_string(color.verde & 0xFF) + "," +
         std::to_string(color.azul & 0xFF) + ",255";
}

std::string opcion(const std::string& nombre, const std::string& valor) {
  return "<Option type=\"QString\" name=\"" + nombre + "\" value=\"" + xml(valor) + "\"/>";
}

// One category of the renderer: a code of the layer, or (`codigo` null) every other value.
struct Categoria {
  const std::string* codigo = nullptr;
  std::string etiqueta;
  PlumaDeCodigo pluma;
};

std::vector<Categoria> categorias_de(const Sesion& sesion, const CodigosDeCapa& codigos) {
  std::vector<Categoria> categorias;
  for (const auto& [codigo, fila] : codigos) {
    if (!cabe_en_xml(codigo)) continue;
    const std::string descripcion = descripcion_de_fila(sesion, fila);
    categorias.push_back({&codigo, descripcion.empty() ? codigo : codigo + " " + descripcion,
                          pluma_de_fila(sesion, fila)});
  }
  categorias.push_back({nullptr, "Otros códigos", pluma_de_fila(sesion, 0)});
  return categorias;
}

// --- QML -----------------------------------------------------------------------------------

std::string simbolo_qml(std::size_t capa, std::size_t numero, const PlumaDeCodigo& pluma, int uds) {
  const std::string color = rgba(pluma.color);
  const std::string grosor = std::to_string(pluma.grosor);
  std::string tipo, clase, propiedades;
  switch (capa) {
    case kCapaRecintos:
      tipo = "fill", clase = "SimpleFill";
      propiedades = opcion("color", color) + opcion("style", "solid") +
                    opcion("outline_color", color) + opcion("outline_style", "solid") +
                    opcion("outline_width", grosor) + opcion("outline_width_unit", "Pixel");
      break;
    case kCapaPuntos:
      tipo = "marker", clase = "SimpleMarker";
      propiedades = opcion("name", "cross2") + opcion("color", color) +
                    opcion("outline_color", color) + opcion("outline_style", "solid") +
                    opcion("outline_width", grosor) + opcion("outline_width_unit", "Pixel") +
                    opcion("size", numero_a_texto(kAlturaSimbolo / uds)) +
                    opcion("size_unit", "MapUnit");
      break;
    default:
      tipo = "line", clase = "SimpleLine";
      propiedades = opcion("line_color", color) + opcion("line_style", "solid") +
                    opcion("line_width", grosor) + opcion("line_width_unit", "Pixel") +
                    opcion("capstyle", "round") + opcion("joinstyle", "round");
  }
  return "<symbol type=\"" + tipo + "\" name=\"" + std::to_string(numero) +
         "\" alpha=\"1\" clip_to_extent=\"1\" force_rhr=\"0\"><layer class=\"" + clase +
         "\" enabled=\"1\" locked=\"0\" pass=\"0\"><Option type=\"Map\">" + propiedades +
         "</Option></layer></symbol>";
}

std::string renderizador_qml(std::size_t capa, const std::vector<Categoria>& categorias, int uds) {
  std::string lista, simbolos;
  for (std::size_t k = 0; k < categorias.size(); ++k) {
    const Categoria& c = categorias[k];
    lista += "<category value=\"" + (c.codigo ? xml(*c.codigo) : std::string()) + "\" symbol=\"" +
             std::to_string(k) + "\" label=\"" + xml(c.etiqueta) + "\" render=\"true\"/>";
    simbolos += simbolo_qml(capa, k, c.pluma, uds);
  }
  return "<renderer-v2 type=\"categorizedSymbol\" attr=\"" + std::string(kCampoCodigo) +
         "\" symbollevels=\"0\" forceraster=\"0\" enableorderby=\"0\" referencescale=\"-1\">"
         "<categories>" +
         lista + "</categories><symbols>" + simbolos + "</symbols></renderer-v2>";
}

// A data-defined property of the labels: a field (tipo 2) or an expression (tipo 3).
std::string propiedad_qml(const std::string& nombre, bool de_campo, const std::string& valor) {
  return "<Option type=\"Map\" name=\"" + nombre +
         "\"><Option type=\"bool\" name=\"active\" value=\"true\"/>" +
         opcion(de_campo ? "field" : "expression", valor) +
         "<Option type=\"int\" name=\"type\" value=\"" + (de_campo ? "2" : "3") + "\"/></Option>";
}

// The quadrant of the label about its point (0 above left ... 4 over ... 8 below right) that
// puts the text's anchor of a justification code on the point.
int cuadrante(int justificacion) {
  const Alineacion a = PoneJustificacion(justificacion);
  const int fila = a.vertical == Vertical::abajo ? 0 : a.vertical == Vertical::centro ? 1 : 2;
  const int columna = a.horizontal == Horizontal::izquierda ? 2
                      : a.horizontal == Horizontal::centro  ? 1
                                                            : 0;
  return 3 * fila + columna;
}

std::string expresion_cuadrante() {
  std::string expresion = "CASE";
  const int otro = cuadrante(-1);
  for (int j = 0; j <= 8; ++j) {
    if (cuadrante(j) == otro) continue;
    expresion += " WHEN \"" + std::string(kCampoJustificacion) + "\" = " + std::to_string(j) +
                 " THEN " + std::to_string(cuadrante(j));
  }
  return expresion + " ELSE " + std::to_string(otro) + " END";
}

std::string expresion_color(const std::vector<Categoria>& categorias) {
  std::string expresion = "CASE";
  std::string otro;
  for (const Categoria& c : categorias) {
    if (c.codigo == nullptr) {
      otro = literal(color_html(c.pluma.color));
      continue;
    }
    expresion += " WHEN \"" + std::string(kCampoCodigo) + "\" = " + literal(*c.codigo) + " THEN " +
                 literal(color_html(c.pluma.color));
  }
  return expresion + " ELSE " + otro + " END";
}

std::string etiquetas_qml(const std::vector<Categoria>& categorias) {
  const std::string propiedades =
      propiedad_qml("Size", true, kCampoAltura) +
      propiedad_qml("LabelRotation", false, "-\"" + std::string(kCampoAngulo) + "\"") +
      propiedad_qml("Color", false, expresion_color(categorias)) +
      propiedad_qml("OffsetQuad", false, expresion_cuadrante());
  return "<labeling type=\"simple\"><settings calloutType=\"simple\">"
         "<text-style fieldName=\"" +
         std::string(kCampoTexto) +
         "\" isExpression=\"0\" fontSize=\"2\" fontSizeUnit=\"MapUnit\" textColor=\"" +
         rgba(categorias.back().pluma.color) +
         "\" textOpacity=\"1\"/>"
         "<placement placement=\"1\" quadOffset=\"4\" dist=\"0\"/>"
         "<rendering displayAll=\"1\" obstacle=\"0\" upsidedownLabels=\"2\" "
         "scaleVisibility=\"0\"/>"
         "<dd_properties><Option type=\"Map\">" +
         opcion("name", "") + "<Option type=\"Map\" name=\"properties\">" + propiedades +
         "</Option>" + opcion("type", "collection") +
         "</Option></dd_properties></settings></labeling>";
}

std::string qml_de_capa(std::size_t capa, const std::vector<Categoria>& categorias, int uds) {
  const bool textos = capa == kCapaTextos;
  const char* geometria = capa == kCapaRecintos ? "2" : capa == kCapaLineas ? "1" : "0";
  return std::string(
             "<!DOCTYPE qgis PUBLIC 'http://mrcc.com/qgis.dtd' 'SYSTEM'>\n"
             "<qgis version=\"3.22.0\" styleCategories=\"Symbology|Labeling\" "
             "labelsEnabled=\"") +
         (textos ? "1" : "0") + "\">" +
         (textos ? "<renderer-v2 type=\"nullSymbol\"/>" + etiquetas_qml(categorias)
                 : renderizador_qml(capa, categorias, uds)) +
         "<layerGeometryType>" + geometria + "</layerGeometryType></qgis>\n";
}

// --- SLD -----------------------------------------------------------------------------------

constexpr const char* kMetros = " uom=\"http://www.opengeospatial.org/se/units/metre\"";

std::string parametro(const std::string& nombre, const std::string& valor) {
  return "<se:SvgParameter name=\"" + nombre + "\">" + valor + "</se:SvgParameter>";
}

std::string trazo(const PlumaDeCodigo& pluma) {
  return "<se:Stroke>" + parametro("stroke", color_html(pluma.color)) +
         parametro("stroke-width", std::to_string(pluma.grosor)) + "</se:Stroke>";
}

std::string simbolizador_sld(std::size_t capa, const PlumaDeCodigo& pluma, int uds) {
  const std::string color = color_html(pluma.color);
  switch (capa) {
    case kCapaRecintos:
      return "<se:PolygonSymbolizer><se:Fill>" + parametro("fill", color) + "</se:Fill>" +
             trazo(pluma) + "</se:PolygonSymbolizer>";
    case kCapaPuntos:
      return std::string("<se:PointSymbolizer") + kMetros +
             "><se:Graphic><se:Mark><se:WellKnownName>x</se:WellKnownName>" + trazo(pluma) +
             "</se:Mark><se:Size>" + numero_a_texto(kAlturaSimbolo / uds) +
             "</se:Size></se:Graphic></se:PointSymbolizer>";
    case kCapaTextos:
      return std::string("<se:TextSymbolizer") + kMetros + "><se:Label><ogc:PropertyName>" +
             kCampoTexto + "</ogc:PropertyName></se:Label><se:Font>" +
             parametro("font-size",
                       std::string("<ogc:PropertyName>") + kCampoAltura + "</ogc:PropertyName>") +
             "</se:Font><se:LabelPlacement><se:PointPlacement><se:Rotation><ogc:Sub>"
             "<ogc:Literal>0</ogc:Literal><ogc:PropertyName>" +
             kCampoAngulo +
             "</ogc:PropertyName></ogc:Sub></se:Rotation></se:PointPlacement>"
             "</se:LabelPlacement><se:Fill>" +
             parametro("fill", color) + "</se:Fill></se:TextSymbolizer>";
    default:
      return "<se:LineSymbolizer>" + trazo(pluma) + "</se:LineSymbolizer>";
  }
}

std::string sld_de_capa(std::size_t capa, const std::vector<Categoria>& categorias, int uds) {
  const std::string nombre = capas_de_entidades()[capa].nombre;
  std::string reglas;
  for (const Categoria& c : categorias) {
    reglas += "<se:Rule><se:Name>" + xml(c.codigo ? *c.codigo : c.etiqueta) +
              "</se:Name><se:Description><se:Title>" + xml(c.etiqueta) +
              "</se:Title></se:Description>" +
              (c.codigo ? "<ogc:Filter><ogc:PropertyIsEqualTo><ogc:PropertyName>" +
                              std::string(kCampoCodigo) + "</ogc:PropertyName><ogc:Literal>" +
                              xml(*c.codigo) + "</ogc:Literal></ogc:PropertyIsEqualTo></ogc:Filter>"
                        : std::string("<se:ElseFilter/>")) +
              simbolizador_sld(capa, c.pluma, uds) + "</se:Rule>";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<StyledLayerDescriptor xmlns=\"http://www.opengis.net/sld\" "
         "xmlns:ogc=\"http://www.opengis.net/ogc\" xmlns:se=\"http://www.opengis.net/se\" "
         "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" version=\"1.1.0\" "
         "xsi:schemaLocation=\"http://www.opengis.net/sld "
         "http://schemas.opengis.net/sld/1.1.0/StyledLayerDescriptor.xsd\">"
         "<NamedLayer><se:Name>" +
         nombre + "</se:Name><UserStyle><se:Name>" + nombre + "</se:Name><se:FeatureTypeStyle>" +
         reglas + "</se:FeatureTypeStyle></UserStyle></NamedLayer></StyledLayerDescriptor>\n";
}

// --- The table -----------------------------------------------------------------------------

struct CampoTabla {
  const char* nombre;
  OGRFieldType tipo;
  int ancho;
};

// The columns a desktop GIS reads its styles from.
constexpr CampoTabla kCampos[] = {{"f_table_catalog", OFTString, 256},
                                  {"f_table_schema", OFTString, 256},
                                  {"f_table_name", OFTString, 256},
                                  {"f_geometry_column", OFTString, 256},
                                  {"styleName", OFTString, 30},
                                  {"styleQML", OFTString, 0},
                                  {"styleSLD", OFTString, 0},
                                  {"useAsDefault", OFTInteger, 0},
                                  {"description", OFTString, 0},
                                  {"owner", OFTString, 30},
                                  {"ui", OFTString, 30},
                                  {"update_time", OFTDateTime, 0}};

[[noreturn]] void falla(const RecogeMensajes& mensajes, const std::string& que) {
  throw ErrorTelmora("No se pueden escribir los estilos de las capas: " + mensajes.fallo(0, que));
}

OGRLayer& crea_tabla(GDALDataset& geopackage, const RecogeMensajes& mensajes) {
  OGRLayer* tabla = geopackage.CreateLayer(kTablaEstilos, nullptr, wkbNone, nullptr);
  if (tabla == nullptr) falla(mensajes, "no se crea la tabla de estilos");
  for (const CampoTabla& c : kCampos) {
    OGRFieldDefn campo(c.nombre, c.tipo);
    campo.SetWidth(c.ancho);
    if (c.tipo == OFTInteger) campo.SetSubType(OFSTBoolean);
    if (c.tipo == OFTDateTime) campo.SetDefault("CURRENT_TIMESTAMP");
    if (tabla->CreateField(&campo) != OGRERR_NONE) {
      falla(mensajes, "no se crea la tabla de estilos");
    }
  }
  return *tabla;
}

}  // namespace

void escribe_estilos_capas(GDALDataset& geopackage, const Sesion& sesion,
                           const NumerosPorCapa& numeros) {
  RecogeMensajes mensajes;
  OGRLayer& tabla = crea_tabla(geopackage, mensajes);
  const int uds = sesion.ajustes.uds;
  for (std::size_t capa = 0; capa < kNumCapasEntidades; ++capa) {
    const std::string& nombre = capas_de_entidades()[capa].nombre;
    OGRLayer* de_la_capa = geopackage.GetLayerByName(nombre.c_str());
    if (de_la_capa == nullptr) falla(mensajes, "no está la capa " + nombre);
    CodigosDeCapa codigos;
    for (const std::int32_t numero : numeros[capa]) {
      const Entidad& e = sesion.hoja.entidad(numero);
      codigos.emplace(codigo_de_entidad(sesion.hoja, e), e.posicion_tab);
    }
    const std::vector<Categoria> categorias = categorias_de(sesion, codigos);

    OGRFeature fila(tabla.GetLayerDefn());
    fila.SetField("f_table_catalog", "");
    fila.SetField("f_table_schema", "");
    fila.SetField("f_table_name", nombre.c_str());
    fila.SetField("f_geometry_column", de_la_capa->GetGeometryColumn());
    fila.SetField("styleName", nombre.c_str());
    fila.SetField("styleQML", qml_de_capa(capa, categorias, uds).c_str());
    fila.SetField("styleSLD", sld_de_capa(capa, categorias, uds).c_str());
    fila.SetField("useAsDefault", 1);
    fila.SetField("description", "Colores y grosores de Vekt.tab y Vekt.pal");
    fila.SetField("owner", "");
    if (tabla.CreateFeature(&fila) != OGRERR_NONE) {
      falla(mensajes, "no se escribe el estilo de la capa " + nombre);
    }
  }
}

}  // namespace telmora
