#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "hoja_de_prueba.h"
#include "lectura_gdal.h"
#include "sesion.h"
#include "sig/exportacion.h"

using namespace telmora;
using prueba::ConstructorBin;

namespace {

// Codes the small table knows, one it does not, and codes that need care in XML and in
// expressions (the last one XML cannot spell at all).
const std::vector<std::string> kCodigos{"100",   "200",  "300",  "TXT",   "999",  "A&B",
                                        "<x> y", "q\"'", "a\\b", "\xF1o", "\x01Z"};

// The palette colour of each code of the small table: colour index c is palette line c + 1.
std::string color_esperado(const std::string& codigo) {
  static const std::map<std::string, std::string> colores{
      {"100", "#00FF00"}, {"200", "#0000FF"}, {"300", "#FFFF00"}, {"TXT", "#FF0000"}};
  const auto color = colores.find(codigo);
  return color == colores.end() ? "#00FFFF" : color->second;
}

std::string html(const QString& rgba) {
  const QStringList partes = rgba.split(',');
  if (partes.size() < 3) return "?";
  char texto[8];
  std::snprintf(texto, sizeof texto, "#%02X%02X%02X", partes[0].toInt(), partes[1].toInt(),
                partes[2].toInt());
  return texto;
}

// A style's colour for each value of codigo, "" standing for every other value.
struct Lectura {
  std::string error;  // why the document is not well-formed XML, empty when it is
  std::map<std::string, std::string> colores;
  std::string etiquetas;  // the label's colour expression, when it has one
};

Lectura lee_qml(const std::string& qml) {
  Lectura lectura;
  std::map<std::string, std::string> simbolo_de, color_de_simbolo;
  QXmlStreamReader xml(QString::fromStdString(qml));
  std::string simbolo, propiedad;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto a = xml.attributes();
    if (xml.name() == u"category") {
      simbolo_de[a.value("value").toString().toStdString()] =
          a.value("symbol").toString().toStdString();
    } else if (xml.name() == u"symbol") {
      simbolo = a.value("name").toString().toStdString();
    } else if (xml.name() == u"Option" &&
               (a.value("name") == u"color" || a.value("name") == u"line_color")) {
      color_de_simbolo.emplace(simbolo, html(a.value("value").toString()));
    } else if (xml.name() == u"Option" && a.value("type") == u"Map") {
      propiedad = a.value("name").toString().toStdString();
    } else if (xml.name() == u"Option" && propiedad == "Color" &&
               a.value("name") == u"expression") {
      lectura.etiquetas = a.value("value").toString().toStdString();
    }
  }
  if (xml.hasError()) lectura.error = xml.errorString().toStdString();
  for (const auto& [valor, numero] : simbolo_de) lectura.colores[valor] = color_de_simbolo[numero];
  return lectura;
}

Lectura lee_sld(const std::string& sld) {
  Lectura lectura;
  QXmlStreamReader xml(QString::fromStdString(sld));
  std::string valor;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"Rule") valor.clear();
    if (xml.name() == u"PropertyIsEqualTo") {
      xml.readNextStartElement();  // the field, then the code
      xml.skipCurrentElement();
      xml.readNextStartElement();
      valor = xml.readElementText().toStdString();
    }
    if (xml.name() == u"SvgParameter" && (xml.attributes().value("name") == u"stroke" ||
                                          xml.attributes().value("name") == u"fill")) {
      lectura.colores.emplace(valor, xml.readElementText().toStdString());
    }
  }
  if (xml.hasError()) lectura.error = xml.errorString().toStdString();
  return lectura;
}

}  // namespace

// Over generated sheets with every kind of code: the exported GeoPackage has one default style
// per entity layer, in well-formed QML and SLD, and every code of a layer is drawn in its
// palette colour (a code XML cannot spell, with the other codes outside the table).
TEST(EstilosDeCapas, CadaCodigoDeCadaCapaConElColorDeSuPaleta) {
  for (unsigned semilla = 1; semilla <= 12; ++semilla) {
    std::mt19937 azar(semilla);
    auto codigo = [&] { return kCodigos[azar() % kCodigos.size()]; };
    ConstructorBin b;
    std::map<std::string, std::set<std::string>> por_capa;
    for (int i = 0; i < 40; ++i) {
      const std::string c = codigo();
      const int x = static_cast<int>(azar() % 100000), y = static_cast<int>(azar() % 100000);
      switch (azar() % 4) {
        case 0:
          b.c(c, {{x, y, 0}, {x + 500, y, 0}, {x + 500, y + 700, 0}});
          por_capa["lineas"].insert(c);
          break;
        case 1:
          b.c(c, {{x, y, 0}, {x + 900, y, 0}, {x, y + 900, 0}, {x, y, 0}});
          por_capa["recintos"].insert(c);
          break;
        case 2:
          b.c(c, {{x, y, 0}});
          por_capa["puntos"].insert(c);
          break;
        default:
          b.t(c, {x, y, 0}, "T&<" + std::to_string(i), 250, static_cast<int>(azar() % 9), 1500);
          por_capa["textos"].insert(c);
      }
    }
    const prueba::HojaDePrueba hoja(b);
    exporta_sig(hoja.abre(), {hoja.carpeta / "hoja.gpkg"});

    const auto estilos = prueba::lee_con_gdal(hoja.carpeta / "hoja.gpkg").at("layer_styles");
    ASSERT_EQ(estilos.rasgos.size(), 4u);
    for (const auto& estilo : estilos.rasgos) {
      const std::string capa = estilo.campos.at("f_table_name");
      SCOPED_TRACE("semilla " + std::to_string(semilla) + ", capa " + capa);
      EXPECT_EQ(estilo.campos.at("f_geometry_column"), "geom");
      EXPECT_EQ(estilo.campos.at("useAsDefault"), "1");
      const Lectura qml = lee_qml(estilo.campos.at("styleQML"));
      const Lectura sld = lee_sld(estilo.campos.at("styleSLD"));
      ASSERT_EQ(qml.error, "");
      ASSERT_EQ(sld.error, "");

      std::map<std::string, std::string> esperados{{"", color_esperado("")}};
      for (const std::string& c : por_capa[capa]) {
        if (c != "\x01Z") esperados[c == "\xF1o" ? "\xC3\xB1o" : c] = color_esperado(c);
      }
      // Anything the SLD names "" is its rule for every other code.
      EXPECT_EQ(sld.colores, esperados);
      if (capa == "textos") {
        if (por_capa[capa].count("TXT")) {
          EXPECT_NE(qml.etiquetas.find("'TXT' THEN '#FF0000'"), std::string::npos) << qml.etiquetas;
        }
        EXPECT_NE(qml.etiquetas.find("ELSE '#00FFFF' END"), std::string::npos) << qml.etiquetas;
      } else {
        EXPECT_EQ(qml.colores, esperados);
      }
    }
  }
}
