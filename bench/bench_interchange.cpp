// GIS interchange on a generated sheet: the sheet opened and exported to GeoPackage, and that
// GeoPackage imported back into an entity file, each against ogr2ogr copying the same
// GeoPackage to a new one in the same run. Both sides build the spatial index of every layer
// (ogr2ogr does by default); ogr2ogr is timed as it runs by default and with the SQLite
// synchronisation off, as the export writes its temporary file. The export must take at most
// half the faster copy; the import at most one and a half times it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "medicion.h"
#include "sig/exportacion.h"
#include "sig/importacion.h"

namespace {

constexpr int kVeces = 3;
constexpr double kLimiteExportar = 0.5;
constexpr double kLimiteImportar = 1.5;

std::string entre_comillas(const std::filesystem::path& ruta) {
  return "\"" + ruta.string() + "\"";
}

// ogr2ogr copying a GeoPackage; false when it fails.
bool copia_con_ogr2ogr(const std::filesystem::path& origen, const std::filesystem::path& destino,
                       bool sin_sincronizar) {
  std::filesystem::remove(destino);
  const std::string orden = std::string("ogr2ogr -f GPKG ") +
                            (sin_sincronizar ? "--config OGR_SQLITE_SYNCHRONOUS OFF " : "") +
                            entre_comillas(destino) + " " + entre_comillas(origen);
  return std::system(orden.c_str()) == 0;
}

void linea(const char* que, double segundos, double referencia) {
  std::printf("%-44s %8.3f s  %5.2f veces ogr2ogr\n", que, segundos, segundos / referencia);
}

}  // namespace

int main(int argc, char** argv) {
  const long long entidades = bench::entidades_de(argc, argv, 1000000);
  // A sheet of its own: the shared ones of the other benchmarks may be changed in place by them.
  const auto carpeta = std::filesystem::temp_directory_path() / "telmora-bench-interchange";
  telmora::OpcionesMuestra muestra;
  muestra.entidades = entidades;
  const auto bin = telmora::genera_muestra(carpeta, muestra).bin;
  const auto exportada = carpeta / "hoja.gpkg";
  const auto copia = carpeta / "copia.gpkg";
  const auto vuelta = carpeta / "vuelta.bin";

  telmora::ResultadoExportacion exportado;
  const double exportar = bench::mediana(kVeces, [&] {
    std::filesystem::remove(exportada);
    const telmora::Sesion sesion = telmora::abre_sesion(telmora::ajustes_junto_a(bin));
    exportado = telmora::exporta_sig(sesion, {exportada, "GPKG", 0});
  });
  bool ogr2ogr_bien = true;
  const double por_defecto =
      bench::mediana(kVeces, [&] { ogr2ogr_bien &= copia_con_ogr2ogr(exportada, copia, false); });
  const double sin_sincronizar =
      bench::mediana(kVeces, [&] { ogr2ogr_bien &= copia_con_ogr2ogr(exportada, copia, true); });
  if (!ogr2ogr_bien) {
    std::fprintf(stderr, "ogr2ogr no está o no copia %s (paquete gdal-bin)\n",
                 exportada.string().c_str());
    return 2;
  }
  telmora::ResultadoImportacion importado;
  const double importar =
      bench::mediana(kVeces, [&] { importado = telmora::importa_sig({exportada}, vuelta, {}); });

  std::printf("%lld entidades, mediana de %d ejecuciones\n", entidades, kVeces);
  for (const auto& capa : exportado.capas) {
    std::printf("  capa %-9s %lld rasgos\n", capa.nombre.c_str(),
                static_cast<long long>(capa.rasgos));
  }
  std::printf("%-44s %8.3f s\n", "ogr2ogr GPKG -> GPKG", por_defecto);
  std::printf("%-44s %8.3f s\n", "ogr2ogr GPKG -> GPKG, OGR_SQLITE_SYNCHRONOUS=OFF",
              sin_sincronizar);
  const double referencia = std::min(por_defecto, sin_sincronizar);
  linea("exportar (abrir la hoja y escribir el GPKG)", exportar, referencia);
  linea("importar (leer el GPKG y escribir la hoja)", importar, referencia);
  std::printf("importadas %lld entidades\n",
              static_cast<long long>(importado.elementos + importado.textos));
  const bool exporta_bien = exportar <= kLimiteExportar * referencia;
  const bool importa_bien = importar <= kLimiteImportar * referencia;
  std::printf("exportar dentro de %.1f veces la copia más rápida de ogr2ogr: %s\n", kLimiteExportar,
              exporta_bien ? "sí" : "NO");
  std::printf("importar dentro de %.1f veces la copia más rápida de ogr2ogr: %s\n", kLimiteImportar,
              importa_bien ? "sí" : "NO");
  const bool dentro = exporta_bien && importa_bien;
  std::filesystem::remove_all(carpeta);
  return dentro ? 0 : 1;
}
