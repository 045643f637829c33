#include "mapeo_entidades.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

#include "pintor.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr std::size_t kLargoNombreDbase = 10;

std::vector<CampoSig> campos_comunes() {
  return {{kCampoEntidad, TipoCampo::entero},
          {kCampoCodigo, TipoCampo::texto},
          {kCampoDescripcion, TipoCampo::texto},
          {kCampoColor, TipoCampo::texto},
          {kCampoAtributos, TipoCampo::texto}};
}

// The description of a code as the table holds it, without the quotes around it.
std::string sin_comillas(std::string texto) {
  if (texto.size() >= 2 && texto.front() == '"' && texto.back() == '"') {
    return texto.substr(1, texto.size() - 2);
  }
  if (!texto.empty() && texto.front() == '"') return texto.substr(1);
  return texto;
}

// Anchor of an OGR label (1 to 9: bottom, centre and top rows, each left, centre and right) for
// a justification code.
int ancla_de(int justificacion) {
  const Alineacion alineacion = PoneJustificacion(justificacion);
  const int fila = alineacion.vertical == Vertical::abajo    ? 1
                   : alineacion.vertical == Vertical::centro ? 4
                                                             : 7;
  const int columna = alineacion.horizontal == Horizontal::izquierda ? 0
                      : alineacion.horizontal == Horizontal::centro  ? 1
                                                                     : 2;
  return fila + columna;
}

// A text inside a quoted parameter of a style string.
std::string entre_comillas(std::string_view texto) {
  std::string salida = "\"";
  for (const char c : texto) {
    if (c == '"' || c == '\\') salida += '\\';
    salida += c;
  }
  return salida + '"';
}

std::string estilo(std::size_t capa, const std::string& color, int grosor) {
  const std::string pluma = "PEN(c:" + color + ",w:" + std::to_string(grosor) + "px)";
  switch (capa) {
    case kCapaRecintos:
      return "BRUSH(fc:" + color + ");" + pluma;
    case kCapaPuntos:
      return pluma + ";SYMBOL(id:\"ogr-sym-1\",c:" + color + ")";
    default:
      return pluma;
  }
}

std::string estilo_de_texto(const std::string& texto, const Rango& rango, int uds,
                            const std::string& color) {
  return "LABEL(t:" + entre_comillas(texto) + ",a:" + numero_a_texto(rango.angulo_texto() / 100.0) +
         ",s:" + numero_a_texto(static_cast<double>(rango.altura_texto()) / uds) + "g,c:" + color +
         ",p:" + std::to_string(ancla_de(rango.justificacion_texto())) + ")";
}

}  // namespace

std::string color_html(Rgb color) {
  char texto[8];
  std::snprintf(texto, sizeof texto, "#%02X%02X%02X", color.rojo & 0xFF, color.verde & 0xFF,
                color.azul & 0xFF);
  return texto;
}

PlumaDeCodigo pluma_de_fila(const Sesion& sesion, std::int32_t posicion_tab) {
  PlumaDeCodigo pluma;
  pluma.color = sesion.paleta.color(sesion.tabla.color_de_fila(posicion_tab));
  int grosor = 0;
  if (posicion_tab != 0 && lee_entero(sesion.tabla.fila(posicion_tab).campo(5), grosor) &&
      grosor > 0) {
    pluma.grosor = grosor;
  }
  return pluma;
}

std::string descripcion_de_fila(const Sesion& sesion, std::int32_t posicion_tab) {
  return sin_comillas(sesion.tabla.fila(posicion_tab).descripcion());
}

std::string codigo_de_entidad(const Hoja& hoja, const Entidad& e) {
  return cp1252_a_utf8(limpia_texto(hoja.cabecera_de(e).codigo_bruto()));
}

const std::vector<DefinicionCapa>& capas_de_entidades() {
  static const std::vector<DefinicionCapa> capas = [] {
    std::vector<CampoSig> de_textos = campos_comunes();
    de_textos.insert(de_textos.end(), {{kCampoTexto, TipoCampo::texto},
                                       {kCampoAltura, TipoCampo::real},
                                       {kCampoAngulo, TipoCampo::real},
                                       {kCampoJustificacion, TipoCampo::entero}});
    return std::vector<DefinicionCapa>{
        {"lineas", TipoGeometria::linea, campos_comunes()},
        {"recintos", TipoGeometria::poligono, campos_comunes()},
        {"puntos", TipoGeometria::punto, campos_comunes()},
        {"textos", TipoGeometria::punto, de_textos},
    };
  }();
  return capas;
}

std::size_t capa_de_entidad(const Hoja& hoja, const Entidad& e) {
  if (hoja.cabecera_de(e).es_texto()) return kCapaTextos;
  const auto vertices = hoja.vertices_de(e);
  switch (clase_elemento(vertices)) {
    case ClaseElemento::puntual:
      return kCapaPuntos;
    case ClaseElemento::cerrado:
      return vertices.size() > 2 ? kCapaRecintos : kCapaLineas;
    case ClaseElemento::abierto:
      break;
  }
  return kCapaLineas;
}

void rasgo_de_entidad(const Sesion& sesion, std::int32_t numero, RasgoSig& rasgo) {
  const Hoja& hoja = sesion.hoja;
  const Entidad& e = hoja.entidad(numero);
  const std::size_t capa = capa_de_entidad(hoja, e);
  const double uds = sesion.ajustes.uds;

  rasgo.vacia_geometria();
  for (const Vertice& v : hoja.vertices_de(e))
    rasgo.puntos.push_back({v.x / uds, v.y / uds, v.z / uds});
  rasgo.cierra_parte(capa == kCapaRecintos ? ClaseParte::anillo
                     : capa == kCapaLineas ? ClaseParte::linea
                                           : ClaseParte::punto);

  const PlumaDeCodigo pluma = pluma_de_fila(sesion, e.posicion_tab);
  const std::string color = color_html(pluma.color);
  auto& valores = rasgo.valores;
  valores.clear();
  valores.emplace_back(std::int64_t{numero});
  valores.emplace_back(codigo_de_entidad(hoja, e));
  valores.emplace_back(descripcion_de_fila(sesion, e.posicion_tab));
  valores.emplace_back(color);
  valores.emplace_back(texto_de_atributos(hoja.atributos_de(e)));
  if (capa != kCapaTextos) {
    rasgo.estilo = estilo(capa, color, pluma.grosor);
    return;
  }
  const std::string texto = hoja.texto(e);
  valores.emplace_back(texto);
  const Rango& rango = hoja.rango_de(e);
  valores.emplace_back(static_cast<double>(rango.altura_texto()) / uds);
  valores.emplace_back(rango.angulo_texto() / 100.0);
  valores.emplace_back(std::int64_t{rango.justificacion_texto()});
  rasgo.estilo = estilo_de_texto(texto, rango, sesion.ajustes.uds, color);
}

std::string texto_de_atributos(std::span<const Atributo> atributos) {
  std::string texto;
  for (const Atributo& a : atributos) {
    if (!texto.empty()) texto += ';';
    texto += std::to_string(a.id_tabla) + ':' + std::to_string(a.n_registro) + ':';
    for (const char c : cp1252_a_utf8(limpia_texto(a.resto_bruto()))) {
      if (c == ';' || c == '\\') texto += '\\';
      texto += c;
    }
  }
  return texto;
}

std::vector<Atributo> atributos_de_texto(std::string_view texto) {
  std::vector<Atributo> atributos;
  std::size_t i = 0;
  while (i < texto.size()) {
    // One record: up to the next ";" that no "\" escapes.
    std::string registro;
    for (; i < texto.size() && texto[i] != ';'; ++i) {
      if (texto[i] == '\\' && i + 1 < texto.size()) ++i;
      registro += texto[i];
    }
    ++i;
    const auto dos_puntos = registro.find(':');
    const auto segundo =
        dos_puntos == std::string::npos ? dos_puntos : registro.find(':', dos_puntos + 1);
    int id_tabla = 0, n_registro = 0;
    if (segundo == std::string::npos ||
        !lee_entero(std::string_view(registro).substr(0, dos_puntos), id_tabla) ||
        !lee_entero(std::string_view(registro).substr(dos_puntos + 1, segundo - dos_puntos - 1),
                    n_registro) ||
        id_tabla < std::numeric_limits<std::int16_t>::min() ||
        id_tabla > std::numeric_limits<std::int16_t>::max()) {
      continue;
    }
    Atributo a;
    a.id_tabla = static_cast<std::int16_t>(id_tabla);
    a.n_registro = n_registro;
    const std::string resto = utf8_a_cp1252(std::string_view(registro).substr(segundo + 1));
    std::copy_n(resto.begin(), std::min(resto.size(), a.resto.size()), a.resto.begin());
    atributos.push_back(a);
  }
  return atributos;
}

int busca_campo(const std::vector<CampoSig>& campos, std::string_view nombre) {
  auto igual = [](std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  };
  for (const std::string_view buscado : {nombre, nombre.substr(0, kLargoNombreDbase)}) {
    for (std::size_t i = 0; i < campos.size(); ++i) {
      if (igual(campos[i].nombre, buscado)) return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace telmora
