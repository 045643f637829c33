// A sheet written into a fresh folder with the basic code table and palette, opened as the
// viewer opens it.
#pragma once

#include <string>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "sesion.h"

namespace prueba {

struct HojaDePrueba {
  CarpetaTemporal carpeta;
  std::filesystem::path bin;

  explicit HojaDePrueba(const std::string& bytes) {
    carpeta.escribe("Vekt.tab", tabla_basica());
    carpeta.escribe("Vekt.pal", paleta_basica());
    bin = carpeta.escribe("hoja.bin", bytes);
  }

  telmora::Sesion abre(int uds = 100, double tolerancia = 0.5) const {
    telmora::Ajustes ajustes = telmora::ajustes_junto_a(bin);
    ajustes.uds = uds;
    ajustes.tolerancia_tentativo = tolerancia;
    return telmora::abre_sesion(ajustes);
  }

  std::string bytes() const { return lee_bytes(bin); }
};

}  // namespace prueba
