#include "comun_fuzz.h"

#include <cstdio>
#include <cstdlib>

#include "ajustes.h"
#include "hoja.h"

namespace fuzz {

void falla(const std::string& que) {
  std::fprintf(stderr, "==telmora-fuzz== %s\n", que.c_str());
  std::abort();
}

telmora::Sesion abre(const CarpetaProceso& carpeta, const HojaSintetica& hoja) {
  telmora::Ajustes ajustes = telmora::ajustes_junto_a(carpeta.escribe(hoja));
  ajustes.uds = hoja.milimetros ? telmora::kUdsMilimetros : telmora::kUdsCentimetros;
  ajustes.tolerancia_tentativo = hoja.tolerancia_metros;
  telmora::Sesion sesion = telmora::abre_sesion(ajustes);
  for (telmora::Entidad& e : sesion.hoja.c) e.pintado = 1;
  for (telmora::Entidad& e : sesion.hoja.t) e.pintado = 1;
  return sesion;
}

telmora::Hoja recarga(const telmora::Sesion& sesion, const std::string& tras) {
  try {
    return telmora::cargo_bin(sesion.ajustes.fich_entrada, sesion.tabla);
  } catch (const telmora::ErrorTelmora& error) {
    falla("la hoja no carga tras " + tras + ": " + error.what());
  }
}

Activas activas(const telmora::Hoja& hoja) {
  Activas a;
  for (const telmora::Entidad& e : hoja.c) a.c += e.activa();
  for (const telmora::Entidad& e : hoja.t) a.t += e.activa();
  return a;
}

}  // namespace fuzz
