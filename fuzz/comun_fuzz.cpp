#include "comun_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ajustes.h"
#include "disco.h"
#include "hoja.h"

namespace fuzz {

void falla(const std::string& que) {
  std::fprintf(stderr, "==telmora-fuzz== %s\n", que.c_str());
  std::abort();
}

HojaAbiertaFuzz::HojaAbiertaFuzz(const CarpetaProceso& carpeta, const HojaSintetica& hoja)
    : ruta_(carpeta.escribe(hoja)), bytes_(hoja.bin()) {
  telmora::Ajustes ajustes = telmora::ajustes_junto_a(ruta_);
  ajustes.uds = hoja.milimetros ? telmora::kUdsMilimetros : telmora::kUdsCentimetros;
  ajustes.tolerancia_tentativo = hoja.tolerancia_metros;
  sesion_ = telmora::abre_sesion(ajustes);
  dibujadas_ = telmora::EntidadesDibujadas::todas(sesion_.hoja);
}

telmora::Sesion HojaAbiertaFuzz::sesion() const {
  // A new file in place of the old one, so that nothing still reading the old one sees it change.
  const auto nueva = ruta_.parent_path() / "hoja.nueva";
  {
    std::ofstream f(nueva, std::ios::binary);
    f.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    if (!f) falla("no se puede escribir " + nueva.string());
  }
  std::filesystem::rename(nueva, ruta_);
  // The same bytes as the ones loaded, in a file written since: the copy takes its fingerprint,
  // so that the in-place writer does not take it for a sheet changed by someone else.
  telmora::Sesion copia = sesion_;
  copia.hoja.huella = telmora::huella_de(ruta_);
  return copia;
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
  for (const telmora::Entidad& e : hoja.c) a.c += hoja.activa(e);
  for (const telmora::Entidad& e : hoja.t) a.t += hoja.activa(e);
  return a;
}

}  // namespace fuzz
