// Access files (Jet ".mdb", ACE ".accdb"). On Linux the mdbtools library reads every table into
// an in-memory SQLite copy, which can only be read: opening for writing is refused with a
// message that names the conversion to SQLite. On Windows the file is opened through ODBC with
// the Access driver, for reading and writing, and the statements run in Access's own SQL.
#pragma once

#include <filesystem>
#include <memory>

#include "db/base_datos.h"

namespace telmora {

std::unique_ptr<BaseDatos::Conexion> abre_fichero_access(const std::filesystem::path& ruta,
                                                         const OpcionesApertura& opciones);

// The Linux reader: every user table of the file copied into `destino`, with its columns'
// types (yes/no, whole numbers and counters as INTEGER, currency and floating numbers as REAL,
// dates as "YYYY-MM-DD HH:MM:SS" text, text and memo as TEXT, binary and OLE as BLOB) and its
// nulls, in the file's row order.
void copia_access_mdb(const std::filesystem::path& ruta, BaseDatos::Conexion& destino);

// Through ODBC with the Access driver (Windows).
std::unique_ptr<BaseDatos::Conexion> abre_access_odbc(const std::filesystem::path& ruta,
                                                      const OpcionesApertura& opciones);

// The message that refuses to write into an Access file where it can only be read.
std::string mensaje_access_solo_lectura(const std::filesystem::path& ruta);

}  // namespace telmora
