// Export of the loaded sheet to a GIS format: the active entities, in file order, as the
// layers "lineas", "recintos", "puntos" and "textos" (see mapeo_entidades.h). The output is
// complete or absent.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "progreso.h"
#include "sesion.h"
#include "tipos_sig.h"

namespace telmora {

// A layer made elsewhere (the results of a check: faces, error points) handed over whole as
// plain values, in metres.
struct CapaDeValores {
  DefinicionCapa definicion;
  std::vector<RasgoSig> rasgos;
};

struct OpcionesExportacion {
  OpcionesExportacion() = default;
  OpcionesExportacion(std::filesystem::path destino_, std::string formato_ = {}, int epsg_ = 0)
      : destino(std::move(destino_)), formato(std::move(formato_)), epsg(epsg_) {}

  std::filesystem::path destino;
  std::string formato;  // GDAL driver name; empty: chosen by the destination's extension
  int epsg = 0;         // coordinate system given to the layers; 0: none (sheets carry none)
  // Written after the entities' layers, in the same file or files.
  std::vector<CapaDeValores> capas_adicionales;
};

struct ResultadoExportacion {
  std::string formato;  // the GDAL driver that wrote
  std::vector<std::filesystem::path> ficheros;
  struct Capa {
    std::string nombre;
    std::int64_t rasgos = 0;
  };
  std::vector<Capa> capas;
  std::vector<std::string> avisos;

  std::vector<std::string> lineas() const;
};

// Writes the sheet. An unknown format or coordinate system throws ErrorEntradaSig before
// anything is written; a failed write throws ErrorTelmora and leaves no output.
ResultadoExportacion exporta_sig(const Sesion& sesion, const OpcionesExportacion& opciones,
                                 Progreso& progreso = Progreso::ninguno());

// "EPSG:N" (any case) as the number N; ErrorEntradaSig for anything else.
int epsg_de_texto(const std::string& texto);

}  // namespace telmora
