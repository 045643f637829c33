// Changes of a sheet in place that survive a crash: a rollback journal beside the sheet keeps its
// length and the bytes of every range about to be overwritten, and reaches the disk before the
// sheet is touched. Once the sheet is written and flushed, removing the journal ends the change.
// A journal found later belongs to a change that never ended: the sheet is put back as it was
// before it, so that it always reads as before the change or as after it, never in between.
//
// The journal, "<sheet>.diario": a header (signature, the sheet's length before the change, a
// random number of this change and a checksum), then records (position, length, checksum, the
// original bytes). A record whose checksum fails ends the journal: its range was not written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "disco.h"
#include "imagen_fichero.h"
#include "memoria.h"

namespace telmora {

std::filesystem::path ruta_diario(const std::filesystem::path& hoja);

// Rolls back a change left halfway in the sheet by a process that ended: when a journal is
// beside it and no writer holds its lock, the sheet is put back as it was before that change.
// Returns the line that tells the user, or an empty text when there was nothing to roll back (or
// a change is under way in another process).
std::string recupera_hoja(const std::filesystem::path& ruta);
// The same for a writer that already holds the sheet's lock.
std::string recupera_hoja(const CerrojoHoja& cerrojo);

// A sheet's bytes as they are between changes, without taking its lock: a change left halfway is
// rolled back first (`aviso` says so), and while another process is changing the sheet its
// bytes are read as they were before that change. `huella` is the file's fingerprint when read.
// When no change is under way and `mapear` allows it, the bytes are the file mapped
// (ImagenFichero), taken only when the fingerprint and the journal's absence held across the
// mapping. A mapping goes on showing what other processes write later: whoever reads its pages
// afterwards checks with hoja_intacta that the sheet has not changed since.
struct LecturaHoja {
  ImagenFichero bytes;
  HuellaFichero huella;
  std::string aviso;
};
LecturaHoja lee_hoja(const std::filesystem::path& ruta, bool mapear = true);

// Whether the sheet still has that fingerprint and no change of it is under way.
bool hoja_intacta(const std::filesystem::path& ruta, const HuellaFichero& huella);

// One change of a file in place, all or nothing. It takes the file's lock (or works under one
// already held for it) and rolls back first a change that another process left halfway. The
// change is written in batches (escribe); confirma() ends it. Dropped without confirma() (a
// failure, an exception from a caller, a cancelled run), or when a batch fails to be written,
// everything written is rolled back, so the file is exactly as it was before; when even that
// fails the journal stays, the failure says so, and the next open of the file rolls it back.
class EscrituraAtomica {
 public:
  // A range of the file and its bytes.
  struct Tramo {
    std::int64_t posicion = 0;
    std::string_view bytes;
  };

  explicit EscrituraAtomica(const std::filesystem::path& ruta,
                            std::shared_ptr<const CerrojoHoja> cerrojo = nullptr);
  ~EscrituraAtomica();
  EscrituraAtomica(const EscrituraAtomica&) = delete;
  EscrituraAtomica& operator=(const EscrituraAtomica&) = delete;

  const std::filesystem::path& ruta() const { return fichero_.ruta(); }
  // Length of the file when the change began, and now.
  std::int64_t longitud_inicial() const { return longitud_inicial_; }
  std::int64_t longitud() const { return longitud_; }
  // Bytes of the file as it is now, into `destino` from its start: how many were read.
  std::size_t lee(std::int64_t posicion, std::span<char> destino) const {
    return fichero_.lee(posicion, destino);
  }

  // Keeps for the journal the present bytes of a range that the next batch overwrites (only
  // what lies within the file's first length matters). They reach the disk with that batch,
  // before the file is touched.
  void guarda(std::int64_t posicion, std::string_view originales);
  // Writes one batch: the journal with what guarda() kept since the last batch, flushed; then
  // `escritos` over the file and `anadido` at its end. Every range of `escritos` within the
  // file's first length must have been kept.
  void escribe(std::span<const Tramo> escritos, std::string_view anadido);
  // Flushes the file and removes the journal: the change is made. A failure rolls it back.
  void confirma();
  // Puts the file back as it was before the change and ends it. When that fails the journal
  // stays, for the next open to roll the file back, and ErrorTelmora says so.
  void deshaz();

 private:
  // Puts the journal's header first in registros_ when the change has not made it yet.
  void empieza_registros();
  // Writes and flushes the journal's header, when it has none yet, and the records kept.
  void escribe_diario();
  // Puts the file back as it was and throws ErrorTelmora with `motivo`, telling also when that
  // could not be done.
  [[noreturn]] void deshaz_y_falla(const std::string& motivo);

  std::shared_ptr<const CerrojoHoja> cerrojo_;
  FicheroAbierto fichero_;
  std::int64_t longitud_inicial_ = 0;
  std::int64_t longitud_ = 0;
  bool con_diario_ = false;  // the journal file was made: the file may have been written
  std::optional<FicheroAbierto> diario_;
  std::int64_t fin_diario_ = 0;
  std::string registros_;  // the records kept for the next batch, their buffer reused
  std::uint64_t numero_cambio_ = 0;
  bool terminada_ = false;
};

// Appends bytes to the end of an existing file as one change: all of them or none.
void anade_al_final(const std::filesystem::path& ruta, std::string_view bytes);

}  // namespace telmora
