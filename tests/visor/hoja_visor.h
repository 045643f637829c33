// A sheet on disk with a code table and palette of plain colours, to tell them in pictures.
#pragma once

#include <string>

#include "hoja_de_prueba.h"

namespace prueba {

// Palette: index 0 black (a comment line), 1 red, 2 green, 3 blue, 4 yellow, 5 cyan,
// 6 magenta, 7 white. Table: background 0, unknown codes 5; "100" green, "200" blue, "300" twice
// (yellow first, magenta second), "TXT" white.
inline std::string paleta_visor() {
  return "// negro\r\n255 0 0\r\n0 255 0\r\n0 0 255\r\n255 255 0\r\n0 255 255\r\n255 0 255\r\n"
         "255 255 255\r\n";
}
inline std::string tabla_visor() {
  return "//@ 0 5\r\n100 1 2\r\n200 2 3\r\n300 1 4\r\n300 1 6\r\nTXT 4 7\r\n";
}

struct HojaVisor : HojaDePrueba {
  explicit HojaVisor(const ConstructorBin& hoja, const std::string& tabla = tabla_visor())
      : HojaDePrueba(hoja, tabla, paleta_visor()) {}
};

}  // namespace prueba
