// The double-point cases: a sheet with one element of each case, and the summary that the
// process gives for it with tolerances 10 and 5.
#pragma once

#include <string>
#include <vector>

#include "constructor_bin.h"

namespace prueba {

inline const std::vector<std::string> kResumen{
    "Proceso Finalizado",     "Puntos Dobles Eliminados : 4",
    "Entidades Borradas : 1", "Errores Duplicados : 2",
    "Errores Lazos : 1",      "Errores semiLazos : 2"};

inline ConstructorBin hoja_de_casos() {
  ConstructorBin b;
  b.c("100", {{100, 100, 0}, {109, 95, 4}});  // left with one vertex: deleted
  b.c("200", {{0, 0, 0}, {8, 0, 0}, {16, 0, 0}, {24, 0, 0}, {500, 0, 0}}, {{1, 77, "EDIF"}});
  b.t("TXT", {5, 5, 0}, "NO SE TOCA");
  b.c("100", {{0, 0, 0}, {1, 1, 1}}, {}, '\0');  // deleted already
  b.c("300", {{0, 1000, 0}, {1000, 1000, 1}, {2000, 1000, 2}, {1000, 1000, 3}, {0, 1000, 4}});
  b.c("300", {{0, 0, 0}, {1000, 800, 10}, {1000, 0, 0}, {0, 1000, 21}, {0, 0, 0}});
  b.c("300", {{0, 0, 0}, {1000, 0, 7}, {1003, 300, 0}, {1003, -300, 0}});
  return b;
}

}  // namespace prueba
