// Any bytes as a palette: parsed or rejected with a message, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fichero.h"
#include "tabla_vekt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  const std::string_view texto(reinterpret_cast<const char*>(datos), tamano);
  try {
    const telmora::Paleta paleta = telmora::interpreta_pal(texto, "Vekt.pal");
    int suma = 0;
    for (int indice = -2; indice <= 257; ++indice) suma += paleta.color(indice).rojo;
    return suma < 0 ? 0 : 0;
  } catch (const telmora::ErrorTelmora&) {
    return 0;
  }
}
