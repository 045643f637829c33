// Installation settings that the databases need, kept in a settings file of the installation
// (INI format) rather than in the program:
//
//   [control]
//   carpeta=/mnt/O/8233/     ; the control server's shared folder, as the system mounts it
//   [catalogo]
//   contrasena=...           ; the password of an Access catalogue that has one
#pragma once

#include <filesystem>
#include <string>

namespace telmora {

struct AjustesInstalacion {
  // Where BDControl.mdb lies on the control server; empty when there is no server.
  std::filesystem::path carpeta_control;
  std::string contrasena_catalogo;
};

// Reads the settings file; a file that does not exist gives empty settings. A file that cannot
// be read or parsed throws ErrorTelmora naming it.
AjustesInstalacion lee_instalacion(const std::filesystem::path& fichero);

}  // namespace telmora
