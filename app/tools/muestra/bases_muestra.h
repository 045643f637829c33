// The production databases of a sample sheet, written beside it as SQLite files under the names
// the viewer looks for: the pair-control database "BDControl.mdb" (one pair per block name of the
// sheet), the feature catalogue "Catalogo.mdb" (the sample's codes by theme and by object) and
// the sheet's error database (its name with ".mdb"; one row per error number written in the
// sheet, and a few that are not).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace telmora {

struct ManzanaMuestra {
  std::string nombre;     // the block's text, which names its pair
  double superficie = 0;  // square metres
};

struct ErrorMuestra {
  std::int32_t numero = 0;
  std::string codigo;          // code of the element in error
  double x = 0, y = 0, z = 0;  // metres
};

struct BasesMuestra {
  std::filesystem::path control, catalogo, errores;
};

BasesMuestra escribe_bases_muestra(const std::filesystem::path& bin,
                                   const std::vector<ManzanaMuestra>& manzanas,
                                   const std::vector<ErrorMuestra>& errores);

}  // namespace telmora
