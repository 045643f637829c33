// SQLite files and in-memory SQLite databases, with the Access functions that the statements
// use (CStr, CLng, IsNumeric) registered on every connection.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "db/base_datos.h"

namespace telmora {

// An existing SQLite file, for reading only or also for writing.
std::unique_ptr<BaseDatos::Conexion> abre_fichero_sqlite(const std::filesystem::path& ruta,
                                                         bool escritura);

// A new, empty in-memory database; `origen` is the file that messages name.
std::unique_ptr<BaseDatos::Conexion> abre_memoria_sqlite(const std::string& origen);

// A new SQLite file written under a temporary name beside `destino` and renamed over it by
// confirma() only when complete: dropped without confirming, it leaves `destino` as it was.
class FicheroSqliteNuevo {
 public:
  explicit FicheroSqliteNuevo(std::filesystem::path destino);
  ~FicheroSqliteNuevo();
  FicheroSqliteNuevo(const FicheroSqliteNuevo&) = delete;
  FicheroSqliteNuevo& operator=(const FicheroSqliteNuevo&) = delete;

  const std::filesystem::path& temporal() const { return temporal_; }
  // A connection to the temporary file, opened at the first call; closed by confirma().
  BaseDatos::Conexion& conexion();
  void confirma();

 private:
  void borra_temporal();

  std::filesystem::path destino_, temporal_;
  std::unique_ptr<BaseDatos::Conexion> conexion_;
};

}  // namespace telmora
