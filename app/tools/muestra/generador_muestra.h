// A realistic sample sheet for demonstration, tests and benchmarks: the code table, the palette
// and an entity file with a street network whose streets close into blocks (one centroid text
// in each, a few plazas as islands), buildings, contour lines, point symbols, elevation points
// (PSCT at every street node, a few on inner vertices of streets and a few away from the nodes),
// texts and a few deliberate faults (a block without its text, one with two, a text outside
// every block, a dangling street end, duplicates). The same options always give the same bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace telmora {

// Changes whenever the same options start giving other bytes, so that sheets kept from an
// earlier generator are not taken for the current one.
inline constexpr int kVersionMuestra = 4;

struct OpcionesMuestra {
  std::int64_t entidades = 20000;
  std::uint64_t semilla = 1;
  std::string nombre = "hoja.bin";
  // Each block also gets its outline (code "1615") drawn along the axes of its four streets, so
  // that every street segment is shared by the street and by the blocks on both of its sides,
  // one in each direction, as sheets whose urban areas were captured on the street network are.
  bool recintos = false;
};

struct ResumenMuestra {
  std::filesystem::path bin, tab, pal, mdt;
  // The pair-control database, the catalogue and the sheet's error database.
  std::filesystem::path control, catalogo, errores;
  std::int64_t entidades = 0;
  std::int64_t bytes = 0;
};

// Writes Vekt.tab, Vekt.pal, the entity file, its terrain model (the entity file's name with
// ".MDT" for its extension) and its databases (bases_muestra.h) into the folder (created when
// missing); each file is complete or absent.
ResumenMuestra genera_muestra(const std::filesystem::path& carpeta,
                              const OpcionesMuestra& opciones);

// Contents of the sample code table and palette.
std::string tabla_vekt_muestra();
std::string paleta_muestra();

}  // namespace telmora
