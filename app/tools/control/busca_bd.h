// How the viewer's menus find a database before opening its form.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "ajustes.h"
#include "dialogos.h"

namespace telmora {

// The error database of a sheet: its name with ".mdb" for its extension.
std::string nombre_bd_errores(const Ajustes& ajustes);

// Looks for `nombre` in the working folder, then in the data folder; found in the data folder,
// the data folder becomes the working folder. In neither, tells the user "No existe el fichero :"
// with the working-folder path and gives nothing.
std::optional<std::filesystem::path> busca_base_datos(Ajustes& ajustes, const std::string& nombre,
                                                      Dialogos& dialogos);

}  // namespace telmora
