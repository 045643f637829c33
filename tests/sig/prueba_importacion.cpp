#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "ejecuta.h"
#include "formato_bin.h"
#include "hoja_de_prueba.h"
#include "muestra/generador_muestra.h"
#include "sig/exportacion.h"
#include "sig/importacion.h"
#include "sig/tipos_sig.h"
#include "texto.h"

using namespace telmora;
using prueba::CarpetaTemporal;
using prueba::ejecuta;

namespace {

// What a user sees of an entity, to compare sheets.
struct Vista {
  char tipo = 0;
  std::string codigo;
  std::vector<Vertice> vertices;
  std::string texto;
  std::int32_t altura = 0, justificacion = 0, angulo = 0;
  std::vector<std::tuple<std::int16_t, std::int32_t, std::string>> atributos;
  friend bool operator==(const Vista&, const Vista&) = default;
};

void PrintTo(const Vista& v, std::ostream* os) {
  *os << v.tipo << " \"" << v.codigo << "\" " << v.vertices.size() << " vértices";
  for (const Vertice& p : v.vertices) *os << " (" << p.x << "," << p.y << "," << p.z << ")";
  *os << " texto \"" << v.texto << "\" " << v.altura << "/" << v.justificacion << "/" << v.angulo;
  for (const auto& [tabla, registro, resto] : v.atributos) {
    *os << " [" << tabla << ":" << registro << ":" << resto << "]";
  }
}

std::vector<Vista> activas(const Hoja& hoja) {
  std::vector<Vista> salida;
  for (std::int32_t n = 1; n <= hoja.num_entidades(); ++n) {
    const Entidad& e = hoja.entidad(n);
    if (!hoja.activa(e)) continue;
    Vista v;
    v.tipo = hoja.cabecera_de(e).tipo;
    v.codigo = limpia_texto(hoja.cabecera_de(e).codigo_bruto());
    const auto vertices = hoja.vertices_de(e);
    v.vertices.assign(vertices.begin(), vertices.end());
    for (const Atributo& a : hoja.atributos_de(e)) {
      v.atributos.emplace_back(a.id_tabla, a.n_registro, limpia_texto(a.resto_bruto()));
    }
    if (hoja.cabecera_de(e).es_texto()) {
      v.texto = hoja.texto(e);
      v.altura = hoja.rango_de(e).altura_texto();
      v.justificacion = hoja.rango_de(e).justificacion_texto();
      v.angulo = hoja.rango_de(e).angulo_texto();
    }
    salida.push_back(std::move(v));
  }
  return salida;
}

Hoja carga(const std::filesystem::path& ruta) {
  return cargo_bin(ruta, TablaVekt{});
}

// The files of an export that GDAL opens (the .shp of a shapefile, not its companions).
std::vector<std::filesystem::path> fuentes(const ResultadoExportacion& exportado,
                                           const std::string& extension) {
  std::vector<std::filesystem::path> salida;
  for (const auto& fichero : exportado.ficheros) {
    if (fichero.extension() == extension) salida.push_back(fichero);
  }
  return salida;
}

ResultadoImportacion importa(const std::vector<std::filesystem::path>& origenes,
                             const std::filesystem::path& destino,
                             OpcionesImportacion opciones = {}) {
  return importa_sig(origenes, destino, opciones);
}

// The same entity; with `sentido_libre`, a closed element may also come back with its vertices
// in the opposite direction (a shapefile keeps the outer ring of a polygon clockwise).
bool misma(const Vista& vuelta, Vista original, bool sentido_libre) {
  if (vuelta == original) return true;
  if (!sentido_libre) return false;
  std::reverse(original.vertices.begin(), original.vertices.end());
  return vuelta == original;
}

class IdaYVuelta : public testing::TestWithParam<std::tuple<std::string, int>> {};

}  // namespace

TEST_P(IdaYVuelta, DevuelveLasMismasEntidadesEnElMismoOrden) {
  const auto& [extension, uds] = GetParam();
  CarpetaTemporal carpeta;
  OpcionesMuestra muestra;
  muestra.entidades = 3000;
  muestra.semilla = 3;
  const auto bin = genera_muestra(carpeta.ruta(), muestra).bin;
  Ajustes ajustes = ajustes_junto_a(bin);
  ajustes.uds = uds;
  const Sesion sesion = abre_sesion(ajustes);

  const auto exportado = exporta_sig(sesion, {carpeta / ("salida" + extension), "", 0});
  OpcionesImportacion opciones;
  opciones.uds = uds;
  const auto importado = importa(fuentes(exportado, extension), carpeta / "vuelta.bin", opciones);
  EXPECT_TRUE(importado.en_orden_de_entidad);
  EXPECT_EQ(importado.vacias + importado.invalidas + importado.partidas, 0);

  const auto originales = activas(sesion.hoja);
  const auto vueltas = activas(carga(carpeta / "vuelta.bin"));
  ASSERT_EQ(vueltas.size(), originales.size());
  EXPECT_GT(std::count_if(originales.begin(), originales.end(),
                          [](const Vista& v) { return v.tipo == 'T'; }),
            100);
  for (std::size_t i = 0; i < originales.size(); ++i) {
    ASSERT_PRED3(misma, vueltas[i], originales[i], extension == ".shp")
        << "entidad activa " << i + 1 << " de " << extension;
  }
}

INSTANTIATE_TEST_SUITE_P(Formatos, IdaYVuelta,
                         testing::Values(std::tuple{".gpkg", kUdsCentimetros},
                                         std::tuple{".shp", kUdsCentimetros},
                                         std::tuple{".geojson", kUdsCentimetros},
                                         std::tuple{".gpkg", kUdsMilimetros}));

TEST(Importacion, GeometriasSeparadasPartidasYSaltadas) {
  CarpetaTemporal carpeta;
  std::string larga = "[0,0,1]";
  for (int i = 1; i < 40000; ++i) larga += ",[" + std::to_string(i) + ",0,1]";
  auto rasgo = [](const std::string& propiedades, const std::string& geometria) {
    return "{\"type\":\"Feature\",\"properties\":{" + propiedades + "},\"geometry\":" + geometria +
           "}";
  };
  const std::string json =
      "{\"type\":\"FeatureCollection\",\"features\":[" +
      rasgo("\"clase\":\"ABCDEFGHIJ\"",
            "{\"type\":\"MultiLineString\",\"coordinates\":[[[1.234,2,3],[1.236,2,3]],[[5,5],[6,"
            "6]]]}") +
      "," +
      rasgo("\"clase\":null",
            "{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[10,0],[10,10],[0,10],[0,0]],[[2,2],[3,"
            "2],[3,3],[2,2]]]}") +
      "," + rasgo("\"clase\":\"P\"", "{\"type\":\"LineString\",\"coordinates\":[[7,7]]}") + "," +
      rasgo("", "null") + "," + rasgo("", "{\"type\":\"GeometryCollection\",\"geometries\":[]}") +
      "," + rasgo("\"clase\":\"L\"", "{\"type\":\"LineString\",\"coordinates\":[" + larga + "]}") +
      "," + rasgo("\"clase\":\"F\"", "{\"type\":\"LineString\",\"coordinates\":[[1e9,0],[1,1]]}") +
      "," +
      rasgo("\"clase\":\"Q\"", "{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[1,0],[1,1]]]}") +
      "]}";
  const auto origen = carpeta.escribe("varias.geojson", json);
  OpcionesImportacion opciones;
  opciones.campo_codigo = "clase";
  opciones.codigo = "DEF";
  const auto r = importa({origen}, carpeta / "varias.bin", opciones);
  EXPECT_EQ(r.vacias, 2);
  EXPECT_EQ(r.invalidas, 2);  // a line of one point, a coordinate the file cannot hold
  EXPECT_EQ(r.partidas, 1);
  EXPECT_FALSE(r.en_orden_de_entidad);
  ASSERT_EQ(r.capas.size(), 1u);
  EXPECT_EQ(r.capas[0].rasgos, 8);
  EXPECT_EQ(r.capas[0].entidades, 7);

  const Hoja hoja = carga(carpeta / "varias.bin");
  const auto v = activas(hoja);
  ASSERT_EQ(v.size(), 7u);
  EXPECT_EQ(v[0].codigo, "ABCDEFG");
  EXPECT_EQ(v[0].vertices, (std::vector<Vertice>{{123, 200, 300}, {124, 200, 300}}));
  EXPECT_EQ(v[1].codigo, "ABCDEFG");
  EXPECT_EQ(v[1].vertices, (std::vector<Vertice>{{500, 500, 0}, {600, 600, 0}}));
  // Each ring its own closed element; a null code takes the fixed one.
  EXPECT_EQ(v[2].codigo, "DEF");
  EXPECT_EQ(v[2].vertices.size(), 5u);
  EXPECT_EQ(v[3].vertices,
            (std::vector<Vertice>{{200, 200, 0}, {300, 200, 0}, {300, 300, 0}, {200, 200, 0}}));
  // 40,000 vertices: 32,767 and the rest, sharing the vertex where they were cut.
  EXPECT_EQ(v[4].vertices.size(), 32767u);
  EXPECT_EQ(v[5].vertices.size(), 40000u - 32767u + 1u);
  EXPECT_EQ(v[5].vertices.front(), v[4].vertices.back());
  EXPECT_EQ(v[5].vertices.back(), (Vertice{3999900, 0, 100}));
  // A ring left open is closed.
  EXPECT_EQ(v[6].vertices,
            (std::vector<Vertice>{{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 0, 0}}));

  const Entidad& partida = hoja.c[4];
  EXPECT_EQ(hoja.rango_de(partida).xmax, 3276600);
  EXPECT_EQ(hoja.rango_de(partida).zmin, 100);
  EXPECT_EQ(hoja.rango_de(partida).septimo, 20);
}

TEST(Importacion, PuntosQueSonTextos) {
  CarpetaTemporal carpeta;
  const auto origen = carpeta.escribe(
      "nombres.geojson",
      "{\"type\":\"FeatureCollection\",\"features\":["
      "{\"type\":\"Feature\",\"properties\":{\"codigo\":\"T1\",\"nombre\":\"Plaza Mayor\","
      "\"angulo\":90.5,\"justificacion\":4},"
      "\"geometry\":{\"type\":\"Point\",\"coordinates\":[10,20,5]}},"
      "{\"type\":\"Feature\",\"properties\":{\"codigo\":\"T2\",\"nombre\":\"Avenida de "
      "Andalucía\"},\"geometry\":{\"type\":\"MultiPoint\",\"coordinates\":[[1,1],[2,2]]}},"
      "{\"type\":\"Feature\",\"properties\":{\"codigo\":\"R\",\"nombre\":\"Recinto\"},"
      "\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[1,0],[1,1],[0,0]]]}}]}");
  OpcionesImportacion opciones;
  opciones.campo_texto = "nombre";
  opciones.altura_texto = 3;
  const auto r = importa({origen}, carpeta / "textos.bin", opciones);
  EXPECT_EQ(r.textos, 3);
  EXPECT_EQ(r.elementos, 1);
  const Hoja hoja = carga(carpeta / "textos.bin");
  const auto v = activas(hoja);
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0].tipo, 'T');
  EXPECT_EQ(v[0].codigo, "T1");
  EXPECT_EQ(v[0].texto, "Plaza Mayor");
  EXPECT_EQ(v[0].vertices, (std::vector<Vertice>{{1000, 2000, 500}}));
  EXPECT_EQ(v[0].altura, 300);
  EXPECT_EQ(v[0].angulo, 9050);
  EXPECT_EQ(v[0].justificacion, 4);
  // Two pieces of twelve characters hold the longer name, written in Windows-1252; its box
  // starts at the insertion point, 0.6 of the height per character wide.
  EXPECT_EQ(v[1].texto, "Avenida de Andalucía");
  EXPECT_EQ(hoja.cabecera_de(hoja.t[1]).num_puntos, 3);
  const Rango& caja = hoja.rango_de(hoja.t[1]);
  EXPECT_EQ(std::vector<std::int32_t>({caja.xmin, caja.ymin, caja.xmax, caja.ymax}),
            std::vector<std::int32_t>({100, 100, 100 + 20 * 180, 100 + 300}));
  EXPECT_EQ(v[2].texto, v[1].texto);
  EXPECT_EQ(v[2].angulo, 0);
  EXPECT_EQ(v[3].tipo, 'C');

  // Without a text field the points stay points; a field named that no layer has is told.
  OpcionesImportacion otro_campo;
  otro_campo.campo_texto = "rotulo";
  const auto sin_textos = importa({origen}, carpeta / "puntos.bin", otro_campo);
  EXPECT_EQ(sin_textos.textos, 0);
  EXPECT_EQ(sin_textos.elementos, 4);
  EXPECT_EQ(sin_textos.avisos, std::vector<std::string>{"Ninguna capa tiene el campo rotulo"});

  // A box larger than file coordinates hold stops at their limit.
  opciones.altura_texto = 5e6;
  importa({origen}, carpeta / "enormes.bin", opciones);
  const Hoja enormes = carga(carpeta / "enormes.bin");
  EXPECT_EQ(enormes.rango_de(enormes.t[1]).xmax, std::numeric_limits<std::int32_t>::max());
}

TEST(Importacion, FuentesQueNoSeLeenNoDejanSalida) {
  CarpetaTemporal carpeta;
  const auto salida = carpeta / "salida.bin";
  auto falla = [&](const std::vector<std::filesystem::path>& origenes, const std::string& parte,
                   OpcionesImportacion opciones = {}) {
    try {
      importa(origenes, salida, opciones);
      ADD_FAILURE() << "se esperaba un error con " << parte;
    } catch (const ErrorTelmora& error) {
      EXPECT_NE(std::string(error.what()).find(parte), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(salida));
  };

  const auto cortado = carpeta.escribe(
      "cortado.geojson",
      "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{},"
      "\"geometry\":{\"type\":\"Point\",\"coordinates\":[1,");
  falla({cortado}, "No se puede leer " + cortado.string() + " como formato SIG");
  // GDAL's own words come only after the program's, as the reason.
  const auto texto = carpeta.escribe("basura.dat", std::string("\x01\x02\x03 no es SIG", 13));
  falla({texto}, "No se puede leer " + texto.string() +
                     " como formato SIG: GDAL no reconoce su "
                     "formato");

  const auto tin = carpeta.escribe(
      "tin.csv",
      "WKT,codigo\n\"LINESTRING (0 0,1 1)\",A\n\"TIN Z (((0 0 0,0 1 0,1 0 0,0 0 0)))\",B\n");
  falla({tin}, "geometrías de tipo TIN");

  prueba::HojaDePrueba hoja(
      prueba::ConstructorBin().c("100", {{0, 0, 0}, {100, 100, 0}}).contenido());
  const auto exportado = exporta_sig(hoja.abre(), {carpeta / "capa.shp", "", 0});
  std::filesystem::remove(carpeta / "capa_lineas.dbf");
  falla({carpeta / "capa_lineas.shp"}, "Falta el fichero");
  // The other layers read, but one source that does not stops all of them.
  falla(fuentes(exportado, ".shp"), "Falta el fichero");

  falla({carpeta / "no_existe.gpkg"}, "No existe el fichero :");
  const auto vacias = carpeta.escribe(
      "vacias.geojson",
      "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{},"
      "\"geometry\":null}]}");
  falla({vacias}, "No hay geometrías que importar");
  OpcionesImportacion con_capa;
  con_capa.capas = {"calles"};
  falla({carpeta / "capa_puntos.shp"}, "No hay ninguna capa calles", con_capa);
}

TEST(Importacion, LineaDeOrdenes) {
  CarpetaTemporal carpeta;
  const auto origen = carpeta.escribe(
      "una.geojson",
      "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{},"
      "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[1,2],[3,4]]}}]}");
  const auto bien = ejecuta(
      {"importar", origen.string(), (carpeta / "una.bin").string(), "--codigo", "1516", "--mm"});
  ASSERT_EQ(bien.estado, 0) << bien.errores;
  EXPECT_NE(bien.salida.find("Escrito " + (carpeta / "una.bin").string() +
                             ": 1 entidades (1 elementos, 0 textos)"),
            std::string::npos);
  const auto v = activas(carga(carpeta / "una.bin"));
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].codigo, "1516");
  EXPECT_EQ(v[0].vertices, (std::vector<Vertice>{{1000, 2000, 0}, {3000, 4000, 0}}));

  EXPECT_EQ(ejecuta({"importar", (carpeta / "no.gpkg").string(), "x.bin"}).estado, 2);
  EXPECT_EQ(ejecuta({"importar", origen.string()}).estado, 2);
  EXPECT_EQ(ejecuta({"importar", origen.string(), "x.bin", "--altura-texto", "0"}).estado, 2);
  const auto fallo = ejecuta({"importar", origen.string(), (carpeta / "no" / "una.bin").string()});
  EXPECT_EQ(fallo.estado, 1);
  EXPECT_NE(fallo.errores.find("No se puede crear"), std::string::npos);
}
