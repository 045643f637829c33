// The files the viewer opens and writes apart from its tools: the sheet opened with its tables
// (or the reason it cannot be), the GIS formats its file dialogs offer, and the new sheet a GIS
// import writes, which is never a file the viewer has loaded.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ajustes.h"
#include "dialogos.h"
#include "progreso.h"
#include "sesion.h"

namespace telmora {

// The GIS formats offered by the file dialogs (GDAL reads and writes more; "Todos" lets them
// through).
inline constexpr const char* kFiltroSigEscritura =
    "GeoPackage (*.gpkg);;Shapefile (*.shp);;GeoJSON (*.geojson);;DXF (*.dxf);;"
    "FlatGeobuf (*.fgb);;KML (*.kml);;Todos los ficheros (*)";
inline constexpr const char* kFiltroSigLectura =
    "Formatos SIG (*.gpkg *.shp *.geojson *.json *.dxf *.fgb *.kml *.gml *.csv *.sqlite);;"
    "Todos los ficheros (*)";

// Opens the session of the settings, reporting its steps; when it cannot, runs `al_fallar` (the
// loading window closes), tells the user why (the detail of a corrupt sheet first) and returns
// nothing.
std::unique_ptr<Sesion> abre_sesion_o_avisa(const Ajustes& ajustes, Progreso& progreso,
                                            Dialogos& dialogos,
                                            const std::function<void()>& al_fallar = {});

// The files the viewer holds open: the sheet, its code table and its palette.
std::vector<std::filesystem::path> ficheros_cargados(const Ajustes& ajustes);

// The sheet an import of `origen` writes, chosen by the user from "<origen>_sig.bin" (or the
// next free name) beside the open sheet. A loaded file is refused with a message and nothing is
// returned; replacing any other file is for the file dialog to confirm.
std::optional<std::filesystem::path> elige_destino_importacion(const Ajustes& ajustes,
                                                               const std::filesystem::path& origen,
                                                               Dialogos& dialogos);

// A result's lines as one message.
std::string une_lineas(const std::vector<std::string>& lineas);

}  // namespace telmora
