#include <gtest/gtest.h>

#include "ejecuta.h"
#include "hoja_de_prueba.h"
#include "lectura_gdal.h"
#include "red_aleatoria.h"

using prueba::ejecuta;

namespace {

// Two faces side by side, 100 m wide: the left one with its text and an island (a ring with its
// own text), the right one with two texts; a text outside both and a dangling street.
struct HojaConIsla {
  prueba::HojaDePrueba hoja{prueba::dos_caras_con_isla(1000).contenido()};

  prueba::Ejecucion exporta(const std::string& salida) const {
    return ejecuta(
        {"exportar", hoja.bin.string(), (hoja.carpeta / salida).string(), "--topologia"});
  }
};

std::vector<std::string> valores(const prueba::CapaGdal& capa, const std::string& campo) {
  std::vector<std::string> lista;
  for (const auto& rasgo : capa.rasgos) {
    const auto valor = rasgo.campos.find(campo);
    lista.push_back(valor == rasgo.campos.end() ? "-" : valor->second);
  }
  return lista;
}

}  // namespace

TEST(CapasTopologia, CarasConSuCentroideYSusHuecosYMarcasDeError) {
  HojaConIsla h;
  const auto r = h.exporta("t.gpkg");
  ASSERT_EQ(r.estado, 0) << r.errores;
  // The lines of the centroid check come first, then the export's.
  EXPECT_EQ(r.salida.find("Nodos encontrados :6\n"), 0u) << r.salida;
  EXPECT_NE(r.salida.find("Poligonos cerrados:5\nRecintos sin centroide :0\n"
                          "Recintos con varios centroides :1\nTextos NoPol :1\nTextos +Pol :0\n"
                          "Formato GPKG\n"),
            std::string::npos)
      << r.salida;
  EXPECT_NE(r.salida.find("Capa recintos_topología: 3 entidades\n"
                          "Capa errores_topología: 2 entidades\n"),
            std::string::npos);
  // No listing is left beside the sheet.
  EXPECT_FALSE(std::filesystem::exists(h.hoja.carpeta / "Nodos.txt"));

  const auto capas = prueba::lee_con_gdal(h.hoja.carpeta / "t.gpkg");
  ASSERT_EQ(capas.size(), 7u);  // the entities' four, the two of the check, layer_styles
  const auto& recintos = capas.at("recintos_topologia");
  EXPECT_EQ(recintos.campos,
            (std::vector<std::string>{"recinto", "superficie", "error", "centroide",
                                      "entidad_centroide", "OGR_STYLE"}));
  // Faces only (the two envelopes are left out), in the order of the closed polygons.
  EXPECT_EQ(valores(recintos, "error"),
            (std::vector<std::string>{"ninguno", "varios centroides", "ninguno"}));
  EXPECT_EQ(valores(recintos, "centroide"), (std::vector<std::string>{"CARA A", "-", "ISLA"}));
  EXPECT_EQ(valores(recintos, "entidad_centroide"), (std::vector<std::string>{"8", "-", "9"}));
  EXPECT_EQ(valores(recintos, "superficie"), (std::vector<std::string>{"10000", "10000", "1600"}));
  // The left face holds the island's outline as a hole, walked the other way round.
  EXPECT_EQ(recintos.rasgos[0].geometria,
            "POLYGON Z ((0 0 0,100 0 0,100 100 0,0 100 0,0 0 0),"
            "(60 60 0,60 20 0,20 20 0,20 60 0,60 60 0))");
  EXPECT_EQ(recintos.rasgos[1].geometria,
            "POLYGON Z ((100 100 0,100 0 0,200 0 0,200 100 0,100 100 0))");
  EXPECT_EQ(recintos.rasgos[2].geometria, "POLYGON Z ((20 20 0,60 20 0,60 60 0,20 60 0,20 20 0))");
  // Faces in error filled as the viewer fills them, the others outlined.
  EXPECT_EQ(recintos.rasgos[0].estilo.rfind("PEN(", 0), 0u);
  EXPECT_EQ(recintos.rasgos[1].estilo.rfind("BRUSH(fc:#", 0), 0u);

  const auto& errores = capas.at("errores_topologia");
  EXPECT_EQ(errores.campos,
            (std::vector<std::string>{"marca", "error", "entidad", "texto", "nodo", "OGR_STYLE"}));
  ASSERT_EQ(errores.rasgos.size(), 2u);
  EXPECT_EQ(errores.rasgos[0].geometria, "POINT Z (300 300 0)");
  EXPECT_EQ(errores.rasgos[0].campos,
            (std::map<std::string, std::string>{{"marca", "NoPol"},
                                                {"error", "texto sin recinto"},
                                                {"entidad", "12"},
                                                {"texto", "FUERA"},
                                                {"OGR_STYLE", "LABEL(t:\"NoPol\",s:20pt,p:7)"}}));
  EXPECT_EQ(errores.rasgos[1].geometria, "POINT Z (150 150 0)");
  EXPECT_EQ(valores(errores, "marca")[1], "*");
  EXPECT_EQ(valores(errores, "error")[1], "extremo colgante");
  EXPECT_EQ(valores(errores, "texto")[1], "-");
  EXPECT_NE(valores(errores, "nodo")[1], "-");
}

// Nested islands: a ring inside the island's face is a hole of that face only, not of the face
// that holds the island too.
TEST(CapasTopologia, UnaIslaDentroDeOtraEsHuecoSoloDeLaCaraQueLaRodea) {
  auto p = [](int x, int y) { return prueba::V{x * 1000, y * 1000, 0}; };
  prueba::ConstructorBin b;
  b.c("100", {p(0, 0), p(10, 0), p(10, 10)})
      .c("100", {p(10, 10), p(0, 10), p(0, 0)})
      .c("100", {p(2, 2), p(8, 2), p(8, 8)})
      .c("100", {p(8, 8), p(2, 8), p(2, 2)})
      .c("100", {p(4, 4), p(6, 4), p(6, 6)})
      .c("100", {p(6, 6), p(4, 6), p(4, 4)});
  prueba::HojaDePrueba hoja(b.contenido());
  const auto r =
      ejecuta({"exportar", hoja.bin.string(), (hoja.carpeta / "n.gpkg").string(), "--topologia"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  const auto capas = prueba::lee_con_gdal(hoja.carpeta / "n.gpkg");
  const auto& recintos = capas.at("recintos_topologia");
  ASSERT_EQ(recintos.rasgos.size(), 3u);
  std::map<std::string, std::string> por_superficie;
  for (const auto& rasgo : recintos.rasgos) {
    por_superficie[rasgo.campos.at("superficie")] = rasgo.geometria;
  }
  EXPECT_EQ(por_superficie.at("10000"),
            "POLYGON Z ((0 0 0,100 0 0,100 100 0,0 100 0,0 0 0),"
            "(80 80 0,80 20 0,20 20 0,20 80 0,80 80 0))");
  EXPECT_EQ(por_superficie.at("3600"),
            "POLYGON Z ((20 20 0,80 20 0,80 80 0,20 80 0,20 20 0),"
            "(60 60 0,60 40 0,40 40 0,40 60 0,60 60 0))");
  EXPECT_EQ(por_superficie.at("400"), "POLYGON Z ((40 40 0,60 40 0,60 60 0,40 60 0,40 40 0))");
  // Every face lacks its text.
  EXPECT_EQ(valores(recintos, "error"), std::vector<std::string>(3, "sin centroide"));
  EXPECT_TRUE(capas.at("errores_topologia").rasgos.empty());
}

TEST(CapasTopologia, FormatosDeUnaCapaPorFicheroYFallosDeEscritura) {
  HojaConIsla h;
  // A shapefile per layer, its field names cut to ten characters.
  ASSERT_EQ(h.exporta("t.shp").estado, 0);
  const auto shp = prueba::lee_con_gdal(h.hoja.carpeta / "t_recintos_topologia.shp");
  ASSERT_EQ(shp.size(), 1u);
  EXPECT_EQ(valores(shp.begin()->second, "entidad_ce"), (std::vector<std::string>{"8", "-", "9"}));
  EXPECT_TRUE(std::filesystem::exists(h.hoja.carpeta / "t_errores_topologia.shp"));

  const auto fallo = h.exporta("no/t.gpkg");
  EXPECT_EQ(fallo.estado, 1);
  EXPECT_NE(fallo.errores.find("No se puede escribir"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(h.hoja.carpeta / "no"));
}
