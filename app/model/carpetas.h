// Fixed folders of the installation, set when the program is built.
#pragma once

#include <filesystem>

namespace telmora {

// Where the entity file, Vekt.tab and Vekt.pal are looked for when the working folder lacks them.
inline std::filesystem::path dir_datos_fijo() {
  return TELMORA_DIR_DATOS;
}
// Where command files are looked for after the working folder.
inline std::filesystem::path dir_tablas_fijo() {
  return TELMORA_DIR_TABLAS;
}

// The installation's settings file (the control server's folder, the catalogue's password).
inline std::filesystem::path fichero_instalacion() {
  return TELMORA_INSTALACION;
}

}  // namespace telmora
