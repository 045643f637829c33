// Any bytes as a code table: parsed or rejected with a message, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fichero.h"
#include "tabla_vekt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  const std::string_view texto(reinterpret_cast<const char*>(datos), tamano);
  try {
    const telmora::TablaVekt tabla = telmora::interpreta_vekt_tab(texto, "Vekt.tab");
    for (int n = 0; n <= tabla.num_entradas(); ++n) {
      const auto& fila = tabla.fila(n);
      if (tabla.busca(fila.codigo()).posicion_tab > n) return 0;
      (void)tabla.color_de_fila(n);
    }
  } catch (const telmora::ErrorTelmora&) {
  }
  return 0;
}
