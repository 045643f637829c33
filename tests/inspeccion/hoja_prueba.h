// A sheet written byte by byte into a temporary folder with the basic code table and palette,
// opened as a session in centimetres with a tolerance of 0.5 m.
#pragma once

#include <string>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "sesion.h"

namespace prueba {

struct HojaPrueba {
  CarpetaTemporal carpeta;
  telmora::Sesion sesion;

  explicit HojaPrueba(const std::string& bin) {
    telmora::Ajustes ajustes;
    ajustes.fich_vekttab = carpeta.escribe("Vekt.tab", tabla_basica());
    ajustes.fich_pal = carpeta.escribe("Vekt.pal", paleta_basica());
    ajustes.fich_entrada = carpeta.escribe("hoja.bin", bin);
    ajustes.dir_trabajo = carpeta.ruta();
    ajustes.uds = telmora::kUdsCentimetros;
    ajustes.tolerancia_tentativo = 0.5;
    sesion = telmora::abre_sesion(ajustes);
  }
};

}  // namespace prueba
