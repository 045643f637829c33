// Installation settings that the databases need, kept in a settings file of the installation
// (INI format) rather than in the program:
//
//   [control]
//   carpeta=/mnt/O/8233/     ; the control server's shared folder, as the system mounts it, or
//                            ; its PostgreSQL database: postgresql://usuario@servidor:5432/base
//   [catalogo]
//   contrasena=...           ; the password of an Access catalogue that has one
//
// No password of the server goes here: libpq reads it from the user's own password file.
#pragma once

#include <filesystem>
#include <string>

namespace telmora {

struct AjustesInstalacion {
  // Where BDControl.mdb lies on the control server; empty when there is no server folder.
  std::filesystem::path carpeta_control;
  // The control server's PostgreSQL database, when the setting names one instead of a folder.
  std::string conexion_control;
  std::string contrasena_catalogo;
};

// Reads the settings file; a file that does not exist gives empty settings. A file that cannot
// be read or parsed throws ErrorTelmora naming it.
AjustesInstalacion lee_instalacion(const std::filesystem::path& fichero);

}  // namespace telmora
