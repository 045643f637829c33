// A sheet on disk with its own code table and palette, opened as the viewer opens it.
#pragma once

#include <string>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "sesion.h"

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

struct HojaVisor {
  CarpetaTemporal carpeta;
  telmora::Ajustes ajustes;

  explicit HojaVisor(const ConstructorBin& hoja, const std::string& tabla = tabla_visor()) {
    carpeta.escribe("Vekt.tab", tabla);
    carpeta.escribe("Vekt.pal", paleta_visor());
    ajustes = telmora::ajustes_junto_a(carpeta.escribe("hoja.bin", hoja.contenido()));
  }
  telmora::Sesion abre() const { return telmora::abre_sesion(ajustes); }
};

}  // namespace prueba
