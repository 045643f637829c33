// The loaded sheet: every entity of an entity file in memory, flat and in file order, with the
// entity index and the file range. Built once when a sheet is opened; tools read it and go back
// to the file only through the start positions of the index.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "disco.h"
#include "fichero.h"
#include "formato_bin.h"
#include "imagen_fichero.h"
#include "memoria.h"
#include "progreso.h"
#include "tabla_vekt.h"

namespace telmora {

// The loaded sheet reads the header, the range block and the vertices where they lie in the
// file's bytes: their structs have the file's layout, and every one starts at a multiple of 4.
static_assert(std::endian::native == std::endian::little,
              "the file's little-endian fields are read in place");
static_assert(sizeof(Cabecera) == kTamCabecera && alignof(Cabecera) <= 4 &&
              offsetof(Cabecera, codigo) == kPosicionCodigo &&
              offsetof(Cabecera, num_atributos) == 9 && offsetof(Cabecera, num_puntos) == 10);
static_assert(sizeof(Rango) == kTamRango && alignof(Rango) <= 4);
static_assert(sizeof(Vertice) == kTamVertice && alignof(Vertice) <= 4);
static_assert(std::is_trivially_copyable_v<Cabecera> && std::is_trivially_copyable_v<Rango> &&
              std::is_trivially_copyable_v<Vertice>);

// One entity of the C array (cartographic elements) or the T array (texts). Its header, range
// block, vertices and text pieces are read where they lie in the file's bytes (Hoja::cabecera_de,
// rango_de, vertices_de, bytes_texto), its attributes in the sheet's decoded array, and whether it
// is active in the entity index; the entity keeps where, as offsets, so that a copy of the sheet
// reads its own bytes.
struct Entidad {
  // Into the file's bytes seen as vertices (its byte position / 12: every entity starts at a
  // multiple of 12, and so does its first vertex, 48 bytes after the start).
  std::uint32_t primer_vertice = 0;
  std::uint32_t primer_atributo = 0;  // into Hoja::atributos
  std::int32_t posicion_tab = 0;  // code-table row of the entity's code, 0 when not in the table
  std::int32_t numero = 0;        // entity number (1-based place in the index)
  // Of the header as loaded (huella_de_cabecera): a writer tells by it that the entity it is
  // about to change in the file is still this one.
  std::uint32_t huella = 0;

  // Start of the entity in the file's bytes.
  std::size_t posicion() const {
    return std::size_t{primer_vertice} * kTamVertice - kTamFijoEntidad;
  }
};

// A digest of an entity's 12 header bytes, its state byte aside. A mapped sheet's bytes are the
// file's until this process changes them, so another program rewriting the file in place is seen
// there: the digest taken at load is what still tells the entity loaded from another.
std::uint32_t huella_de_cabecera(const char* cabecera);

// One row of the entity index.
struct FilaIndice {
  std::int32_t posicion = 0;  // start of the entity in the file
  std::int32_t xmin = 0, ymin = 0, xmax = 0, ymax = 0, zmin = 0, zmax = 0;
  std::int32_t num_puntos = 0;
  std::int32_t libre = 0;    // left to the quality-control tools
  std::int32_t activo = 0;   // 1 active, 0 deleted
  std::int32_t tipo = 0;     // 1 C entity, 0 T entity
  std::int32_t ordinal = 0;  // 1-based place in the C array or the T array

  friend bool operator==(const FilaIndice&, const FilaIndice&) = default;

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
  std::int64_t longitud = 0;  // of the file when loaded
  // The file's size and modification time when loaded, or after this copy last changed it:
  // whoever writes the file through this copy first checks that nobody else changed it since.
  HuellaFichero huella;
  // Held by a command that reads the sheet in order to change it, from before the reading until
  // it ends, so that no other writer changes the sheet in between; empty otherwise.
  std::shared_ptr<const CerrojoHoja> cerrojo;
  // The line telling that a change left halfway in the file was rolled back when it was loaded.
  std::string aviso_recuperacion;
  Lista<FilaIndice> indice;  // entity n (1-based) is indice[n - 1]
  Lista<Entidad> c;          // C array, ordinal k (1-based) is c[k - 1]
  Lista<Entidad> t;          // T array
  Lista<Atributo> atributos;
  // The file's bytes as loaded: the vertices (little-endian x, y, z, as held in memory) and the
  // text pieces (raw Windows-1252) are read there. A change of the loaded copy is written here.
  ImagenFichero bytes;
  RangoFichero rango;

  std::int32_t num_entidades() const { return static_cast<std::int32_t>(indice.size()); }
  const FilaIndice& fila(std::int32_t numero) const { return indice[numero - 1]; }
  FilaIndice& fila(std::int32_t numero) { return indice[numero - 1]; }
  // The C or T entity of an entity number.
  const Entidad& entidad(std::int32_t numero) const;
  Entidad& entidad(std::int32_t numero);
  // Whether the entity is active, as the index holds it (not marked deleted since it was loaded
  // by this copy, whatever another program wrote in the file since).
  bool activa(std::int32_t numero) const { return fila(numero).activo == 1; }
  bool activa(const Entidad& e) const { return activa(e.numero); }

  // The header and range block of an entity, in the file's bytes. A change made through them is
  // the loaded copy's change (a deletion mark, a new range), as it is for the vertices.
  const Cabecera& cabecera_de(const Entidad& e) const {
    return *reinterpret_cast<const Cabecera*>(bytes.datos() + e.posicion());
  }
  Cabecera& cabecera_de(const Entidad& e) {
    return *reinterpret_cast<Cabecera*>(bytes.datos() + e.posicion());
  }
  const Rango& rango_de(const Entidad& e) const {
    return *reinterpret_cast<const Rango*>(bytes.datos() + e.posicion() + kTamCabecera);
  }
  Rango& rango_de(const Entidad& e) {
    return *reinterpret_cast<Rango*>(bytes.datos() + e.posicion() + kTamCabecera);
  }

  // The spans below stay within the loaded bytes and attributes even should another program
  // rewrite a mapped sheet's counts in place after it was checked.
  std::span<const Vertice> vertices_de(const Entidad& e) const {
    return {reinterpret_cast<const Vertice*>(bytes.datos()) + e.primer_vertice, vertices_a_leer(e)};
  }
  std::span<Vertice> vertices_de(const Entidad& e) {
    return {reinterpret_cast<Vertice*>(bytes.datos()) + e.primer_vertice, vertices_a_leer(e)};
  }
  std::span<const Atributo> atributos_de(const Entidad& e) const {
    return {
        atributos.data() + e.primer_atributo,
        std::min<std::size_t>(cabecera_de(e).num_atributos, atributos.size() - e.primer_atributo)};
  }
  // The raw bytes of a text's pieces (empty for a C entity), right after its vertex.
  std::string_view bytes_texto(const Entidad& e) const {
    const std::size_t primero = (std::size_t{e.primer_vertice} + 1) * sizeof(Vertice);
    return {bytes.datos() + primero,
            std::min<std::size_t>(cabecera_de(e).num_bytes_texto(), bytes.tamano() - primero)};
  }
  // The text of a T entity: its pieces joined, cut at the first NUL and trimmed, as UTF-8.
  std::string texto(const Entidad& e) const;

 private:
  std::size_t vertices_a_leer(const Entidad& e) const {
    return std::min<std::size_t>(cabecera_de(e).num_vertices(),
                                 bytes.tamano() / sizeof(Vertice) - e.primer_vertice);
  }
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
// code-table row, the entity index and the file range, in one walk over the file's bytes, which
// the sheet keeps (ImagenFichero: mapped where that is safe). A corrupt file throws
// ErrorCorrupcion with the diagnostic; a missing or unreadable one throws ErrorTelmora.
Hoja cargo_bin(const std::filesystem::path& ruta, const TablaVekt& tabla,
               Progreso& progreso = Progreso::ninguno());
// The same from bytes already in memory, which the sheet keeps.
Hoja cargo_bin_bytes(ImagenFichero bytes, const TablaVekt& tabla,
                     Progreso& progreso = Progreso::ninguno());
inline Hoja cargo_bin_bytes(Lista<char> bytes, const TablaVekt& tabla,
                            Progreso& progreso = Progreso::ninguno()) {
  return cargo_bin_bytes(ImagenFichero(std::move(bytes)), tabla, progreso);
}

// The first entity of a kind (kIndiceTipoC or kIndiceTipoT) with that ordinal: its start
// position and number, or position 0 and the number unchanged when there is none.
void busca_en_indice(const Hoja& hoja, std::int32_t ordinal, std::int32_t tipo,
                     std::int32_t& posicion, std::int32_t& numero);

}  // namespace telmora
