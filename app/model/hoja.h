// The loaded sheet: every entity of an entity file in memory, flat and in file order, with the
// entity index and the file range. Built once when a sheet is opened; tools read it and go back
// to the file only through the start positions of the index.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fichero.h"
#include "formato_bin.h"
#include "memoria.h"
#include "progreso.h"
#include "tabla_vekt.h"

namespace telmora {

// One entity of the C array (cartographic elements) or the T array (texts). Its vertices,
// attributes and text bytes live in the sheet's shared arrays; the entity keeps where.
struct Entidad {
  Cabecera cabecera;
  Rango rango;
  std::uint32_t primer_vertice = 0;     // into Hoja::vertices; C: num_puntos vertices, T: one
  std::uint32_t primer_atributo = 0;    // into Hoja::atributos; cabecera.num_atributos of them
  std::uint32_t primer_byte_texto = 0;  // into Hoja::textos; 12 * (num_puntos - 1) bytes (T)
  std::int32_t posicion_tab = 0;  // code-table row of the entity's code, 0 when not in the table
  std::int32_t numero = 0;        // entity number (1-based place in the index)

  bool activa() const { return cabecera.activa(); }
  std::uint32_t num_vertices() const {
    return cabecera.es_texto() ? 1u : static_cast<std::uint32_t>(cabecera.num_puntos);
  }
  std::uint32_t num_bytes_texto() const {
    return cabecera.es_texto() ? 12u * static_cast<std::uint32_t>(cabecera.num_puntos - 1) : 0u;
  }
};

// One row of the entity index.
struct FilaIndice {
  std::int32_t posicion = 0;  // start of the entity in the file
  std::int32_t xmin = 0, ymin = 0, xmax = 0, ymax = 0, zmin = 0, zmax = 0;
  std::int32_t num_puntos = 0;
  std::int32_t libre = 0;    // left to the quality-control tools
  std::int32_t activo = 0;   // 1 active, 0 deleted
  std::int32_t tipo = 0;     // 1 C entity, 0 T entity
  std::int32_t ordinal = 0;  // 1-based place in the C array or the T array

  // Takes the box and elevation span of an entity's range block.
  void toma_rango(const Rango& rango) {
    xmin = rango.xmin;
    ymin = rango.ymin;
    xmax = rango.xmax;
    ymax = rango.ymax;
    zmin = rango.zmin;
    zmax = rango.zmax;
  }
};

inline constexpr std::int32_t kIndiceTipoC = 1;
inline constexpr std::int32_t kIndiceTipoT = 0;

// Range of the whole file in file units. Before any entity it holds the start values of the
// scan (minima 100,000,000,000, maxima 0), so an empty file keeps an inverted range.
struct RangoFichero {
  static constexpr double kMinimoInicial = 100000000000.0;
  double xmin = kMinimoInicial, ymin = kMinimoInicial, zmin = kMinimoInicial;
  double xmax = 0, ymax = 0, zmax = 0;
  void amplia(const Rango& rango);
};

class Hoja {
 public:
  std::filesystem::path ruta;
  std::int64_t longitud = 0;
  Lista<FilaIndice> indice;  // entity n (1-based) is indice[n - 1]
  Lista<Entidad> c;          // C array, ordinal k (1-based) is c[k - 1]
  Lista<Entidad> t;          // T array
  Lista<Vertice> vertices;
  Lista<Atributo> atributos;
  Lista<char> textos;  // text pieces, raw Windows-1252 bytes
  RangoFichero rango;

  std::int32_t num_entidades() const { return static_cast<std::int32_t>(indice.size()); }
  const FilaIndice& fila(std::int32_t numero) const { return indice[numero - 1]; }
  FilaIndice& fila(std::int32_t numero) { return indice[numero - 1]; }
  // The C or T entity of an entity number.
  const Entidad& entidad(std::int32_t numero) const;
  Entidad& entidad(std::int32_t numero);

  std::span<const Vertice> vertices_de(const Entidad& e) const {
    return {vertices.data() + e.primer_vertice, e.num_vertices()};
  }
  std::span<Vertice> vertices_de(const Entidad& e) {
    return {vertices.data() + e.primer_vertice, e.num_vertices()};
  }
  std::span<const Atributo> atributos_de(const Entidad& e) const {
    return {atributos.data() + e.primer_atributo, e.cabecera.num_atributos};
  }
  // The raw bytes of a text's pieces (empty for a C entity).
  std::string_view bytes_texto(const Entidad& e) const {
    return {textos.data() + e.primer_byte_texto, e.num_bytes_texto()};
  }
  // The text of a T entity: its pieces joined, cut at the first NUL and trimmed, as UTF-8.
  std::string texto(const Entidad& e) const;
};

ClaseElemento clase_elemento(std::span<const Vertice> vertices);

// Where a scan of the file found it corrupt. `previa` is the start of the last good entity
// (0 when there is none), `siguiente_valida` the next position where an active entity starts
// ("C=" or "T="), or the file length when there is none.
struct Corrupcion {
  std::int32_t numero_entidad = 0;  // number the bad entity would have
  std::int64_t posicion = 0;
  std::int64_t previa = 0;
  std::int64_t siguiente_valida = 0;
  std::string motivo;   // empty for a bad kind byte, else why the entity itself cannot be read
  std::string detalle;  // listing of the last good entity when it is a text, else empty

  std::string mensaje() const;
};

class ErrorCorrupcion : public ErrorTelmora {
 public:
  explicit ErrorCorrupcion(Corrupcion corrupcion);
  const Corrupcion& corrupcion() const { return corrupcion_; }

 private:
  Corrupcion corrupcion_;
};

// Loads an entity file: every entity into the C and T arrays with its code resolved to its
// code-table row, the entity index and the file range. A corrupt file throws ErrorCorrupcion
// with the diagnostic; a missing or unreadable one throws ErrorTelmora.
Hoja cargo_bin(const std::filesystem::path& ruta, const TablaVekt& tabla,
               Progreso& progreso = Progreso::ninguno());
// The same from bytes already in memory.
Hoja cargo_bin_bytes(const Lista<char>& bytes, const TablaVekt& tabla,
                     Progreso& progreso = Progreso::ninguno());

// The first entity of a kind (kIndiceTipoC or kIndiceTipoT) with that ordinal: its start
// position and number, or position 0 and the number unchanged when there is none.
void busca_en_indice(const Hoja& hoja, std::int32_t ordinal, std::int32_t tipo,
                     std::int32_t& posicion, std::int32_t& numero);

// Marks an entity deleted in the file (only its state byte changes), in the index and in the
// in-memory copy. A number outside the sheet does nothing. The header is read first: when the
// file no longer holds an entity there, nothing is written and ErrorTelmora says so.
void anula_entidad(Hoja& hoja, std::int32_t numero);

// An entity of the sheet and the whole entities, as file bytes, that take its place.
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

// The same for tools that delete many entities: the file stays open between deletions. It also
// rewrites elements' range blocks and vertices in place. Each change is checked and flushed
// before the index and the in-memory copy take it; the entity's header is read first, and when
// the file no longer holds that entity there nothing is written.
class MarcadorBorrados {
 public:
  explicit MarcadorBorrados(Hoja& hoja);
  void anula(std::int32_t numero);
  // Rewrites elements in file order, by runs of elements lying close together: each run is read
  // in one go and every header in it checked; the new range blocks and vertices are put in and
  // the run is written back in one write, checked and flushed. A write that fails is undone with
  // the bytes read, so no element is left with part of its vertices changed. When the file no
  // longer holds a loaded element where it was, the elements before it are written and
  // ErrorTelmora says so. `escritos`, when given, hears after each run how many elements are
  // written so far. Numbers outside the sheet are passed over.
  void reescribe_vertices(std::span<const VerticesNuevos> cambios,
                          const std::function<void(std::size_t)>& escritos = {});
  void reescribe_vertices(std::int32_t numero, const Rango& rango,
                          std::span<const Vertice> vertices) {
    const VerticesNuevos cambio{numero, rango, vertices};
    reescribe_vertices({&cambio, 1});
  }
  // Replaces entities by the whole entities given for each: all the new ones are appended to
  // the file at once, then the old ones are marked deleted in order. When a mark cannot be
  // written the file is cut back to where the new entities of that one start, so the
  // replacements before it are done and it and those after it are not.
  void sustituye(std::span<const Sustitucion> sustituciones);

 private:
  Cabecera cabecera_en_fichero(const FilaIndice& fila, const Entidad& e);
  void comprueba_escritura();
  // Why the element loaded at entity number `numero` cannot be rewritten from these bytes of
  // the file (starting at its position), or nothing when it can.
  std::optional<std::string> no_reescribible(const VerticesNuevos& cambio,
                                             std::string_view bytes) const;

  Hoja& hoja_;
  std::fstream fichero_;
};

}  // namespace telmora
