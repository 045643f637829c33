#include <gtest/gtest.h>

#include "ejecuta.h"
#include "hoja_de_prueba.h"
#include "lectura_gdal.h"
#include "sig/exportacion.h"
#include "sig/tipos_sig.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::ejecuta;

namespace {

// One entity of each layer and each special case: an open line with attributes (one with a ";"
// in its Resto), a closed element, a deleted point, a point of an unknown code, a text, and two
// vertices at the same place (closed, but not a polygon).
std::string hoja_variada() {
  ConstructorBin b;
  b.c("100", {{100000, 200000, 15000}, {100050, 200000, 15025}, {100050, 200100, 15050}},
      {{1, 12, "VIAL"}, {2, 1521, "A;B"}})
      .c("200", {{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {0, 0, 0}})
      .c("300", {{5, 5, 5}}, {}, '*')
      .c("999", {{500, 700, 1234}})
      .t("TXT", {2000, 3000, 0}, "CALLE \"MAYOR\"", 250, 7, 4500)
      .c("100", {{10, 10, 0}, {10, 10, 5}});
  return b.contenido();
}

// The basic table with code 100 drawn three pixels wide.
std::string tabla_exportable() {
  std::string tabla = prueba::tabla_basica();
  tabla.replace(tabla.find("100 1 2 1 1"), 11, "100 1 2 1 3");
  return tabla;
}

struct Exportable {
  prueba::HojaDePrueba hoja{hoja_variada(), tabla_exportable()};
  Sesion sesion = hoja.abre();

  ResultadoExportacion exporta(const std::string& nombre, int epsg = 0) {
    return exporta_sig(sesion, {hoja.carpeta / nombre, "", epsg});
  }

  // Names in the sheet's folder other than the sheet and its tables.
  std::vector<std::string> nuevos() const {
    std::vector<std::string> nombres;
    for (const auto& entrada : std::filesystem::directory_iterator(hoja.carpeta.ruta())) {
      const std::string nombre = entrada.path().filename().string();
      if (nombre != "hoja.bin" && nombre != "Vekt.tab" && nombre != "Vekt.pal") {
        nombres.push_back(nombre);
      }
    }
    std::sort(nombres.begin(), nombres.end());
    return nombres;
  }
};

std::vector<std::string> entidades(const prueba::CapaGdal& capa) {
  std::vector<std::string> numeros;
  for (const auto& rasgo : capa.rasgos) numeros.push_back(rasgo.campos.at("entidad"));
  return numeros;
}

}  // namespace

TEST(Exportacion, GeoPackageConSusCapasCamposYEstilos) {
  Exportable e;
  const auto resultado = e.exporta("hoja.gpkg", 25830);
  EXPECT_EQ(resultado.formato, "GPKG");
  EXPECT_EQ(e.nuevos(), std::vector<std::string>{"hoja.gpkg"});
  const auto capas = prueba::lee_con_gdal(e.hoja.carpeta / "hoja.gpkg");
  // The four layers and the table of their styles.
  ASSERT_EQ(capas.size(), 5u);
  EXPECT_EQ(capas.at("layer_styles").rasgos.size(), 4u);

  const std::vector<std::string> comunes{"entidad", "codigo",    "descripcion",
                                         "color",   "atributos", "OGR_STYLE"};
  for (const char* nombre : {"lineas", "recintos", "puntos"}) {
    EXPECT_EQ(capas.at(nombre).campos, comunes) << nombre;
    EXPECT_EQ(capas.at(nombre).epsg, 25830) << nombre;
  }
  EXPECT_EQ(capas.at("textos").campos,
            (std::vector<std::string>{"entidad", "codigo", "descripcion", "color", "atributos",
                                      "texto", "altura", "angulo", "justificacion", "OGR_STYLE"}));

  // Numbers count deleted entities, which are left out; the pair of equal vertices is a line.
  EXPECT_EQ(entidades(capas.at("lineas")), (std::vector<std::string>{"1", "6"}));
  EXPECT_EQ(entidades(capas.at("recintos")), std::vector<std::string>{"2"});
  EXPECT_EQ(entidades(capas.at("puntos")), std::vector<std::string>{"4"});
  EXPECT_EQ(entidades(capas.at("textos")), std::vector<std::string>{"5"});

  const auto& linea = capas.at("lineas").rasgos[0];
  EXPECT_EQ(linea.geometria, "LINESTRING Z (1000 2000 150,1000.5 2000 150.25,1000.5 2001 150.5)");
  EXPECT_EQ(linea.campos.at("codigo"), "100");
  EXPECT_EQ(linea.campos.at("descripcion"), "Linea cien");
  EXPECT_EQ(linea.campos.at("color"), "#00FF00");
  EXPECT_EQ(linea.campos.at("atributos"), "1:12:VIAL;2:1521:A\\;B");
  EXPECT_EQ(linea.estilo, "PEN(c:#00FF00,w:3px)");
  EXPECT_EQ(capas.at("lineas").rasgos[1].geometria, "LINESTRING Z (0.1 0.1 0,0.1 0.1 0.05)");

  const auto& recinto = capas.at("recintos").rasgos[0];
  EXPECT_EQ(recinto.geometria, "POLYGON Z ((0 0 0,10 0 0,10 10 0,0 0 0))");
  EXPECT_EQ(recinto.estilo, "BRUSH(fc:#0000FF);PEN(c:#0000FF,w:1px)");

  // An unknown code: the colour for unknown codes and no description.
  const auto& punto = capas.at("puntos").rasgos[0];
  EXPECT_EQ(punto.geometria, "POINT Z (5 7 12.34)");
  EXPECT_EQ(punto.campos.at("color"), "#00FFFF");
  EXPECT_EQ(punto.campos.at("descripcion"), "");
  EXPECT_EQ(punto.estilo, "PEN(c:#00FFFF,w:1px);SYMBOL(id:\"ogr-sym-1\",c:#00FFFF)");

  const auto& texto = capas.at("textos").rasgos[0];
  EXPECT_EQ(texto.geometria, "POINT Z (20 30 0)");
  EXPECT_EQ(texto.campos.at("texto"), "CALLE \"MAYOR\"");
  EXPECT_EQ(texto.campos.at("altura"), "2.5");
  EXPECT_EQ(texto.campos.at("angulo"), "45");
  EXPECT_EQ(texto.campos.at("justificacion"), "7");
  // Justification 7 is centre-bottom: anchor 2.
  EXPECT_EQ(texto.estilo, "LABEL(t:\"CALLE \\\"MAYOR\\\"\",a:45,s:2.5g,c:#FF0000,p:2)");
}

TEST(Exportacion, CapasDadasComoValoresTrasLasDeLasEntidades) {
  Exportable e;
  CapaDeValores caras{{"caras",
                       TipoGeometria::poligono,
                       {{"error", TipoCampo::entero}, {"centroide", TipoCampo::texto}}},
                      {}};
  RasgoSig cara;
  for (const PuntoSig p : {PuntoSig{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 0, 1}})
    cara.puntos.push_back(p);
  cara.cierra_parte(ClaseParte::anillo);
  for (const PuntoSig p : {PuntoSig{2, 2, 1}, {3, 2, 1}, {3, 3, 1}, {2, 2, 1}})
    cara.puntos.push_back(p);
  cara.cierra_parte(ClaseParte::anillo);
  cara.valores = {std::int64_t{2}, std::monostate{}};
  cara.estilo = "BRUSH(fc:#FF0000)";
  caras.rasgos.push_back(cara);
  OpcionesExportacion opciones(e.hoja.carpeta / "con_caras.gpkg");
  opciones.capas_adicionales.push_back(caras);
  const auto resultado = exporta_sig(e.sesion, opciones);
  ASSERT_EQ(resultado.capas.size(), 5u);
  EXPECT_EQ(resultado.capas.back().nombre, "caras");
  EXPECT_EQ(resultado.capas.back().rasgos, 1);

  const auto capas = prueba::lee_con_gdal(e.hoja.carpeta / "con_caras.gpkg");
  ASSERT_EQ(capas.size(), 6u);  // with layer_styles
  ASSERT_EQ(capas.at("caras").rasgos.size(), 1u);
  const auto& leida = capas.at("caras").rasgos[0];
  EXPECT_EQ(leida.geometria, "POLYGON Z ((0 0 1,10 0 1,10 10 1,0 0 1),(2 2 1,3 2 1,3 3 1,2 2 1))");
  EXPECT_EQ(leida.campos, (std::map<std::string, std::string>{{"error", "2"},
                                                              {"OGR_STYLE", "BRUSH(fc:#FF0000)"}}));
}

TEST(Exportacion, FormatosDeUnaCapaPorFichero) {
  Exportable e;
  const auto geojson = e.exporta("salida.geojson");
  EXPECT_EQ(e.nuevos(),
            (std::vector<std::string>{"salida_lineas.geojson", "salida_puntos.geojson",
                                      "salida_recintos.geojson", "salida_textos.geojson"}));
  EXPECT_EQ(geojson.ficheros.size(), 4u);
  const auto textos = prueba::lee_con_gdal(e.hoja.carpeta / "salida_textos.geojson");
  ASSERT_EQ(textos.count("textos"), 1u);
  EXPECT_EQ(textos.at("textos").rasgos.at(0).campos.at("texto"), "CALLE \"MAYOR\"");
  EXPECT_NE(textos.at("textos").rasgos.at(0).estilo.find("LABEL(t:"), std::string::npos);

  // DXF keeps styles of its own and none of the fields; a shapefile cuts long field names.
  const auto dxf = e.exporta("dibujo.dxf");
  const auto lineas = prueba::lee_con_gdal(e.hoja.carpeta / "dibujo_lineas.dxf");
  ASSERT_EQ(lineas.size(), 1u);
  ASSERT_EQ(lineas.begin()->second.rasgos.size(), 2u);
  EXPECT_NE(lineas.begin()->second.rasgos[0].estilo.find("c:#00ff00"), std::string::npos);
  EXPECT_NE(std::find(dxf.avisos.begin(), dxf.avisos.end(),
                      "El formato DXF no guarda el campo codigo de la capa entities"),
            dxf.avisos.end());
  const auto resultado_shp = e.exporta("capas.shp");
  const auto shp = prueba::lee_con_gdal(e.hoja.carpeta / "capas_textos.shp");
  ASSERT_EQ(shp.count("capas_textos"), 1u);
  EXPECT_EQ(shp.at("capas_textos").rasgos.at(0).campos.at("justificac"), "7");
  // The summary says it in the program's words, and shows the layers' names with accents (the
  // files keep theirs).
  const auto lineas_shp = resultado_shp.lineas();
  EXPECT_NE(std::find(lineas_shp.begin(), lineas_shp.end(),
                      "Aviso: Nombres de campo cambiados para el formato: descripcion pasa a "
                      "descripcio, justificacion pasa a justificac"),
            lineas_shp.end())
      << ::testing::PrintToString(lineas_shp);
  EXPECT_NE(std::find(lineas_shp.begin(), lineas_shp.end(), "Capa líneas: 2 entidades"),
            lineas_shp.end());
  for (const auto& linea : lineas_shp) EXPECT_EQ(linea.find("aundered"), std::string::npos);
}

TEST(Exportacion, UnaPeticionQueNoSePuedeCumplirNoDejaNada) {
  Exportable e;
  EXPECT_THROW(e.exporta("sin_formato.xyz"), ErrorEntradaSig);
  EXPECT_THROW(exporta_sig(e.sesion, {e.hoja.carpeta / "a.gpkg", "NoExiste", 0}), ErrorEntradaSig);
  EXPECT_THROW(e.exporta("a.gpkg", 999999), ErrorEntradaSig);
  std::filesystem::create_directory(e.hoja.carpeta / "carpeta.gpkg");
  EXPECT_THROW(e.exporta("carpeta.gpkg"), ErrorEntradaSig);
  std::filesystem::remove(e.hoja.carpeta / "carpeta.gpkg");
  EXPECT_THROW(e.exporta("no/existe/a.gpkg"), ErrorTelmora);
  EXPECT_TRUE(e.nuevos().empty());
}

TEST(Exportacion, LineaDeOrdenes) {
  Exportable e;
  const auto hoja = e.hoja.bin.string();
  const auto bien = ejecuta({"exportar", hoja, (e.hoja.carpeta / "h.gpkg").string()});
  EXPECT_EQ(bien.estado, 0) << bien.errores;
  EXPECT_NE(bien.salida.find("Capa textos: 1 entidades\n"), std::string::npos);
  EXPECT_NE(bien.salida.find("Escrito " + (e.hoja.carpeta / "h.gpkg").string()), std::string::npos);

  EXPECT_EQ(ejecuta({"exportar", hoja, "h2.gpkg", "--srs", "25830"}).estado, 2);
  EXPECT_EQ(ejecuta({"exportar", hoja, "h2.xyz"}).estado, 2);
  const auto fallo = ejecuta({"exportar", hoja, (e.hoja.carpeta / "no" / "h.gpkg").string()});
  EXPECT_EQ(fallo.estado, 1);
  EXPECT_NE(fallo.errores.find("No se puede escribir"), std::string::npos);
  EXPECT_EQ(e.nuevos(), std::vector<std::string>{"h.gpkg"});
}
