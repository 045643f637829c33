// The system calls behind the in-place changes of a sheet: a file opened for positioned reads
// and writes, flushes that reach the disk (of a file and of the folder that names it), and the
// exclusive advisory lock that lets one writer at a time change a sheet. Readers never take the
// lock. Every call here that changes something on disk passes first through the test hook
// (GanchoDisco), so that a test can make any one of them fail or stop the process there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "fichero.h"

namespace telmora {

// Size and modification time of a file, to tell whether anyone changed it since it was read.
struct HuellaFichero {
  std::int64_t tamano = -1;  // -1: not known
  std::int64_t modificado = 0;
  bool operator==(const HuellaFichero&) const = default;
};
// The file's fingerprint now; an unknown one when it cannot be read.
HuellaFichero huella_de(const std::filesystem::path& ruta);

// The operations that change the disk, as the test hook hears them.
enum class OperacionDisco { crea, escribe, sincroniza, recorta, borra, sincroniza_carpeta };

// Test hook of the writer. `antes`, when set, hears every operation that changes the disk
// before it runs: returning true makes that operation fail as a failing disk would (EIO), and it
// may also end the process there. `tam_lote`, when not 0, makes the writer's batches that small.
// The programs never set it.
struct GanchoDisco {
  std::function<bool(OperacionDisco, const std::filesystem::path&)> antes;
  std::size_t tam_lote = 0;
};
void pon_gancho_disco(GanchoDisco gancho);
const GanchoDisco& gancho_disco();

// A file open for reading and writing at any position, closed with the object. Reads and
// writes are whole or throw ErrorTelmora naming the path and the system's reason.
class FicheroAbierto {
 public:
  // An existing file (ErrorFicheroInexistente when there is none).
  static FicheroAbierto existente(const std::filesystem::path& ruta);
  // A new, empty file, replacing one of that name.
  static FicheroAbierto nuevo(const std::filesystem::path& ruta);

  FicheroAbierto(FicheroAbierto&& otro) noexcept;
  FicheroAbierto& operator=(FicheroAbierto&& otro) noexcept;
  FicheroAbierto(const FicheroAbierto&) = delete;
  FicheroAbierto& operator=(const FicheroAbierto&) = delete;
  ~FicheroAbierto();

  const std::filesystem::path& ruta() const { return ruta_; }
  std::int64_t tamano() const;
  // Up to `cantidad` bytes from `posicion`; fewer at the end of the file.
  std::string lee(std::int64_t posicion, std::size_t cantidad) const;
  // The same into `destino`, filled from its start: how many bytes were read.
  std::size_t lee(std::int64_t posicion, std::span<char> destino) const;
  void escribe(std::int64_t posicion, std::string_view bytes);
  // Everything written reaches the disk before this returns.
  void sincroniza();
  void recorta(std::int64_t longitud);
  // The exclusive lock of the file: false, at once, when another holder has it (another
  // process, or another open file of this one).
  bool bloquea();

 private:
  FicheroAbierto(std::filesystem::path ruta, int descriptor);
  [[noreturn]] void falla(std::string_view accion) const;

  std::filesystem::path ruta_;
  int descriptor_ = -1;
};

// Removes a file (one that is not there is no failure).
void borra_fichero(const std::filesystem::path& ruta);
// Makes the creation, renaming or removal of names in a folder reach the disk.
void sincroniza_carpeta(const std::filesystem::path& carpeta);

// Another process (or another writer of this one) is changing the sheet.
class ErrorHojaOcupada : public ErrorTelmora {
 public:
  explicit ErrorHojaOcupada(const std::filesystem::path& ruta);
};

// The exclusive lock of a sheet, held while the object lives. Taken at once or refused with
// ErrorHojaOcupada; a missing sheet gives ErrorFicheroInexistente.
class CerrojoHoja {
 public:
  explicit CerrojoHoja(const std::filesystem::path& ruta);
  const std::filesystem::path& ruta() const { return fichero_.ruta(); }

 private:
  FicheroAbierto fichero_;
};

}  // namespace telmora
