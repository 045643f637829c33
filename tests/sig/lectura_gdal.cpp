#include "lectura_gdal.h"

#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <cstdlib>
#include <sstream>

namespace prueba {

namespace {

// The geometry as its type's name and its points, "x y z" each, in parentheses by part.
std::string texto_de(OGRGeometryH geometria) {
  std::ostringstream texto;
  texto.precision(12);
  texto << "(";
  const int partes = OGR_G_GetGeometryCount(geometria);
  for (int i = 0; i < partes; ++i)
    texto << (i > 0 ? "," : "") << texto_de(OGR_G_GetGeometryRef(geometria, i));
  for (int i = 0; i < OGR_G_GetPointCount(geometria); ++i) {
    double x = 0, y = 0, z = 0;
    OGR_G_GetPoint(geometria, i, &x, &y, &z);
    texto << (i > 0 ? "," : "") << x << " " << y << " " << z;
  }
  texto << ")";
  return texto.str();
}

}  // namespace

std::map<std::string, CapaGdal> lee_con_gdal(const std::filesystem::path& ruta) {
  GDALAllRegister();
  std::map<std::string, CapaGdal> capas;
  GDALDatasetH conjunto = GDALOpenEx(ruta.string().c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                     nullptr, nullptr, nullptr);
  if (conjunto == nullptr) return capas;
  for (int i = 0; i < GDALDatasetGetLayerCount(conjunto); ++i) {
    OGRLayerH capa = GDALDatasetGetLayer(conjunto, i);
    CapaGdal& leida = capas[OGR_L_GetName(capa)];
    OGRFeatureDefnH definicion = OGR_L_GetLayerDefn(capa);
    for (int k = 0; k < OGR_FD_GetFieldCount(definicion); ++k) {
      leida.campos.emplace_back(OGR_Fld_GetNameRef(OGR_FD_GetFieldDefn(definicion, k)));
    }
    if (OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(capa)) {
      const char* codigo = OSRGetAuthorityCode(srs, nullptr);
      if (codigo != nullptr) leida.epsg = std::atoi(codigo);
    }
    OGR_L_ResetReading(capa);
    while (OGRFeatureH rasgo = OGR_L_GetNextFeature(capa)) {
      RasgoGdal r;
      for (int k = 0; k < OGR_F_GetFieldCount(rasgo); ++k) {
        if (OGR_F_IsFieldSetAndNotNull(rasgo, k))
          r.campos[leida.campos[k]] = OGR_F_GetFieldAsString(rasgo, k);
      }
      if (const char* estilo = OGR_F_GetStyleString(rasgo)) r.estilo = estilo;
      if (OGRGeometryH geometria = OGR_F_GetGeometryRef(rasgo)) {
        r.geometria = std::string(OGR_G_GetGeometryName(geometria)) +
                      (OGR_G_Is3D(geometria) ? " Z " : " ") + texto_de(geometria);
      }
      leida.rasgos.push_back(std::move(r));
      OGR_F_Destroy(rasgo);
    }
  }
  GDALClose(conjunto);
  return capas;
}

}  // namespace prueba
