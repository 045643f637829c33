// The one writer of a loaded sheet's file in place: deletion marks, rewritten vertices and
// appended entities, each run of a tool as one change, all or nothing (see EscrituraAtomica),
// and by one writer at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diario.h"
#include "hoja.h"

namespace telmora {

// The sheet's file is not the one the loaded copy was read from: another process changed it.
class ErrorHojaCambiada : public ErrorTelmora {
 public:
  ErrorHojaCambiada(const std::filesystem::path& ruta, const std::string& porque);
};

// Why the sheet's file is no longer the one loaded (its size or modification time changed
// since it was read or last written by this copy), or nothing when it is.
std::optional<std::string> cambio_en_disco(const Hoja& hoja);

// Watches a loaded sheet's file for a reader that keeps the sheet open (the viewer): a mapped
// copy goes on showing what other processes write into the file, so before each use of the copy
// the file's fingerprint is compared (a stat). Each new state of the file is told once, so that
// the reload is offered once, not at every redraw.
class VigiaHoja {
 public:
  // Why the file is no longer the one loaded, when this state of it was not told yet.
  std::optional<std::string> cambio_nuevo(const Hoja& hoja);

 private:
  HuellaFichero contada_;
};

// An entity of the sheet and the whole entities, as file bytes, that take its place (0: none,
// they are only appended).
struct Sustitucion {
  std::int32_t numero = 0;
  std::string nuevas;
};

// New vertices for an element (as many as it has) and the range block to store with them.
struct VerticesNuevos {
  std::int32_t numero = 0;  // entity number
  Rango rango;
  std::span<const Vertice> vertices;
};

// A change of the loaded sheet's file and of the loaded copy. Created, it takes the sheet's
// lock (or works under Hoja::cerrojo when the sheet holds it): ErrorHojaOcupada when another
// writer has it. It rolls back first a change that a process left halfway, and refuses with
// ErrorHojaCambiada a file changed since the copy was loaded. Changes are gathered into batches
// and written as each fills; each entity's header is read before its bytes are changed, and an
// entity that is no longer where it was loaded stops the change (ErrorHojaCambiada). The index
// and the loaded copy take each change at once, so that the tool sees what it did.
//
// confirma() ends the change. Dropped without it (a failure, an exception of the caller, a
// cancelled run), everything is undone in the file and in the loaded copy alike: the file is
// exactly as it was, and so is the copy. Should even the undoing fail, the failure says so and
// the next open of the sheet rolls the file back.
//
// `al_escribir`, when given, hears after each batch is written how many of the changes asked
// for so far (each call of anula and sustituye, each element given to reescribe_vertices) are
// in it; it may throw (OperacionCancelada) to stop the change, which is then undone.
class MarcadorBorrados {
 public:
  explicit MarcadorBorrados(Hoja& hoja, std::function<void(std::size_t)> al_escribir = {});
  ~MarcadorBorrados();
  MarcadorBorrados(const MarcadorBorrados&) = delete;
  MarcadorBorrados& operator=(const MarcadorBorrados&) = delete;

  // Marks an entity deleted (only its state byte changes). Numbers outside the sheet are passed
  // over.
  void anula(std::int32_t numero);
  // New range blocks and vertices for elements, written in file order (what is pending is
  // written before this returns); an element whose kind or vertex count is not the loaded one
  // throws ErrorTelmora. Numbers outside the sheet are passed over.
  void reescribe_vertices(std::span<const VerticesNuevos> cambios);
  void reescribe_vertices(std::int32_t numero, const Rango& rango,
                          std::span<const Vertice> vertices) {
    const VerticesNuevos cambio{numero, rango, vertices};
    reescribe_vertices({&cambio, 1});
  }
  // Replaces an entity by whole entities (file bytes), appended at the end of the file; 0
  // replaces none and only appends.
  void sustituye(std::int32_t numero, std::string_view nuevas);
  void anade(std::string_view entidades) { sustituye(0, entidades); }
  // Writes what is pending and ends the change: the file then holds all of it.
  void confirma();

 private:
  // An overwrite of an entity's bytes from `desplazamiento` within it; the new bytes are
  // `largo` bytes of nuevos_ from `desde`.
  struct Pendiente {
    std::int32_t numero = 0;
    std::int64_t desplazamiento = 0;
    std::size_t desde = 0, largo = 0;
  };
  // What the loaded copy held before a change, to put back when the change is undone; the
  // vertices it rewrote are `cuantos` of vertices_anteriores_ from `desde`. The index row's box
  // is always its entity's range, which is kept.
  struct Anterior {
    std::int32_t numero = 0;
    std::int32_t activo = 0;
    char estado = 0;
    Rango rango;
    std::size_t desde = 0, cuantos = 0;
  };

  // A run of a batch: the bytes [inicio, fin) of the file, read at `en` of leido_, where the
  // changes from orden_[primero] to before orden_[ultimo] fall.
  struct Tirada {
    std::int64_t inicio = 0, fin = 0;
    std::size_t primero = 0, ultimo = 0, en = 0;
  };

  std::string_view bytes_de(const Pendiente& cambio) const {
    return std::string_view(nuevos_).substr(cambio.desde, cambio.largo);
  }
  // Records that the bytes appended to nuevos_ since `desde` overwrite the entity's from
  // `desplazamiento`.
  void pendiente(std::int32_t numero, std::int64_t desplazamiento, std::size_t desde);
  // anula() without counting the change.
  void marca_borrada(std::int32_t numero);
  void guarda_anterior(std::int32_t numero, bool con_vertices);
  // Throws ErrorHojaCambiada when the bytes read from `inicio` do not hold the change's entity
  // as it was loaded, whole up to the bytes it changes.
  void comprueba(const Pendiente& cambio, std::string_view tirada, std::int64_t inicio) const;
  void vacia_si_lleno();
  // Writes the pending batch.
  void vacia();
  void deshaz_copia();

  Hoja& hoja_;
  EscrituraAtomica escritura_;
  std::vector<Pendiente> pendientes_;
  // Working buffers of vacia(), kept from batch to batch: the changes' order by the position of
  // their first byte, the runs read, their bytes and the ranges written back.
  std::vector<std::pair<std::int64_t, std::size_t>> orden_;
  std::vector<Tirada> tiradas_;
  std::vector<char> leido_;
  std::vector<EscrituraAtomica::Tramo> escritos_;
  std::string nuevos_;
  std::string anadidos_;
  std::vector<Anterior> anteriores_;
  std::vector<Vertice> vertices_anteriores_;
  std::function<void(std::size_t)> al_escribir_;
  std::size_t hechos_ = 0;  // changes asked for so far
  bool terminado_ = false;
};

// Marks an entity deleted in the file (only its state byte changes), in the index and in the
// loaded copy, as one change. A number outside the sheet does nothing.
void anula_entidad(Hoja& hoja, std::int32_t numero);

}  // namespace telmora
