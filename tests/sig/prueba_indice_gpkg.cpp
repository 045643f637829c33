// The spatial index of an exported GeoPackage, checked through GDAL and SQLite's own check of
// the R-tree: a spatial filter finds what a walk of the whole layer finds, before and after the
// file is edited by other software.
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_api.h>

#include <cmath>
#include <random>
#include <set>

#include "carpeta_temporal.h"
#include "muestra/generador_muestra.h"
#include "sig/exportacion.h"

using namespace telmora;
using prueba::CarpetaTemporal;

namespace {

const char* const kCapas[] = {"lineas", "recintos", "puntos", "textos"};

struct Rectangulo {
  double xmin, xmax, ymin, ymax;
};

class GeoPackage {
 public:
  GeoPackage(const std::filesystem::path& ruta, bool para_cambiar) {
    GDALAllRegister();
    conjunto_ = GDALOpenEx(ruta.string().c_str(),
                           GDAL_OF_VECTOR | (para_cambiar ? GDAL_OF_UPDATE : GDAL_OF_READONLY),
                           nullptr, nullptr, nullptr);
  }
  ~GeoPackage() { GDALClose(conjunto_); }
  GeoPackage(const GeoPackage&) = delete;
  GeoPackage& operator=(const GeoPackage&) = delete;

  bool abierto() const { return conjunto_ != nullptr; }
  OGRLayerH capa(const std::string& nombre) const {
    return GDALDatasetGetLayerByName(conjunto_, nombre.c_str());
  }

  // The first value of an SQL query's first row, as text.
  std::string consulta(const std::string& sql) const {
    OGRLayerH filas = GDALDatasetExecuteSQL(conjunto_, sql.c_str(), nullptr, nullptr);
    if (filas == nullptr) return "(sin resultado)";
    OGRFeatureH fila = OGR_L_GetNextFeature(filas);
    const std::string valor = fila ? OGR_F_GetFieldAsString(fila, 0) : "(sin filas)";
    OGR_F_Destroy(fila);
    GDALDatasetReleaseResultSet(conjunto_, filas);
    return valor;
  }

  // Features of a layer that meet a rectangle, found through the spatial filter (the R-tree)
  // or by walking the whole layer.
  std::set<GIntBig> en_rectangulo(const std::string& nombre, Rectangulo r, bool con_filtro) const {
    OGRLayerH c = capa(nombre);
    OGRGeometryH rectangulo = OGR_G_CreateGeometry(wkbPolygon);
    OGRGeometryH anillo = OGR_G_CreateGeometry(wkbLinearRing);
    for (const auto& [x, y] :
         {std::pair{r.xmin, r.ymin}, std::pair{r.xmax, r.ymin}, std::pair{r.xmax, r.ymax},
          std::pair{r.xmin, r.ymax}, std::pair{r.xmin, r.ymin}}) {
      OGR_G_AddPoint_2D(anillo, x, y);
    }
    OGR_G_AddGeometryDirectly(rectangulo, anillo);
    if (con_filtro) OGR_L_SetSpatialFilterRect(c, r.xmin, r.ymin, r.xmax, r.ymax);
    OGR_L_ResetReading(c);
    std::set<GIntBig> fids;
    while (OGRFeatureH f = OGR_L_GetNextFeature(c)) {
      OGRGeometryH g = OGR_F_GetGeometryRef(f);
      if (con_filtro || (g != nullptr && OGR_G_Intersects(g, rectangulo)))
        fids.insert(OGR_F_GetFID(f));
      OGR_F_Destroy(f);
    }
    OGR_L_SetSpatialFilter(c, nullptr);
    OGR_G_DestroyGeometry(rectangulo);
    return fids;
  }

 private:
  GDALDatasetH conjunto_ = nullptr;
};

// Every layer's R-tree passes SQLite's check, GDAL takes it as the layer's spatial index, and
// spatial filters over rectangles of many sizes find exactly the features a walk finds.
void comprueba_indices(const std::filesystem::path& gpkg, unsigned semilla) {
  const GeoPackage g(gpkg, false);
  ASSERT_TRUE(g.abierto());
  std::mt19937 azar(semilla);
  for (const char* nombre : kCapas) {
    SCOPED_TRACE(nombre);
    EXPECT_EQ(g.consulta(std::string("SELECT rtreecheck('rtree_") + nombre + "_geom')"), "ok");
    EXPECT_EQ(g.consulta(std::string("SELECT HasSpatialIndex('") + nombre + "', 'geom')"), "1");
    OGREnvelope extension;
    ASSERT_EQ(OGR_L_GetExtent(g.capa(nombre), &extension, TRUE), OGRERR_NONE);
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < 12; ++i) {
      const double lado = (extension.MaxX - extension.MinX) * std::pow(u(azar), 3);
      const double x = extension.MinX + u(azar) * (extension.MaxX - extension.MinX);
      const double y = extension.MinY + u(azar) * (extension.MaxY - extension.MinY);
      const Rectangulo r{x, x + lado, y, y + lado};
      EXPECT_EQ(g.en_rectangulo(nombre, r, true), g.en_rectangulo(nombre, r, false))
          << "rectángulo " << i;
    }
  }
}

std::filesystem::path exporta_muestra(const CarpetaTemporal& carpeta) {
  OpcionesMuestra muestra;
  muestra.entidades = 4000;  // several levels of nodes in the larger layers
  muestra.semilla = 11;
  const auto bin = genera_muestra(carpeta.ruta(), muestra).bin;
  exporta_sig(abre_sesion(ajustes_junto_a(bin)), {carpeta / "hoja.gpkg", "", 0});
  return carpeta / "hoja.gpkg";
}

}  // namespace

TEST(IndiceGpkg, ElFiltroEspacialEncuentraLoMismoQueRecorrerLaCapa) {
  CarpetaTemporal carpeta;
  comprueba_indices(exporta_muestra(carpeta), 1);
}

TEST(IndiceGpkg, SigueAlDiaCuandoOtroProgramaCambiaLosRasgos) {
  CarpetaTemporal carpeta;
  const auto gpkg = exporta_muestra(carpeta);
  {
    const GeoPackage g(gpkg, true);
    ASSERT_TRUE(g.abierto());
    // A point far from the sheet, a line deleted, a polygon moved off it.
    OGRLayerH puntos = g.capa("puntos");
    OGRFeatureH nuevo = OGR_F_Create(OGR_L_GetLayerDefn(puntos));
    OGRGeometryH punto = OGR_G_CreateGeometry(wkbPoint);
    OGR_G_SetPoint(punto, 0, 10, 20, 0);
    OGR_F_SetGeometryDirectly(nuevo, punto);
    ASSERT_EQ(OGR_L_CreateFeature(puntos, nuevo), OGRERR_NONE);
    OGR_F_Destroy(nuevo);
    ASSERT_EQ(OGR_L_DeleteFeature(g.capa("lineas"), 1), OGRERR_NONE);
    OGRLayerH recintos = g.capa("recintos");
    OGRFeatureH movido = OGR_L_GetFeature(recintos, 2);
    ASSERT_NE(movido, nullptr);
    OGR_G_Empty(OGR_F_GetGeometryRef(movido));
    OGRGeometryH anillo = OGR_G_CreateGeometry(wkbLinearRing);
    for (const auto& [x, y] :
         {std::pair{-5, -5}, std::pair{-4, -5}, std::pair{-4, -4}, std::pair{-5, -5}}) {
      OGR_G_AddPoint_2D(anillo, x, y);
    }
    OGR_G_AddGeometryDirectly(OGR_F_GetGeometryRef(movido), anillo);
    ASSERT_EQ(OGR_L_SetFeature(recintos, movido), OGRERR_NONE);
    OGR_F_Destroy(movido);
  }
  comprueba_indices(gpkg, 2);
  const GeoPackage g(gpkg, false);
  EXPECT_EQ(g.en_rectangulo("puntos", {9, 11, 19, 21}, true).size(), 1u);
  EXPECT_EQ(g.en_rectangulo("recintos", {-6, -3, -6, -3}, true), std::set<GIntBig>{2});
  EXPECT_EQ(g.consulta("SELECT count(*) FROM rtree_lineas_geom WHERE id = 1"), "0");
}
