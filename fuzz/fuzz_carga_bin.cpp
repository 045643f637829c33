// Any bytes as an entity file: the loader either builds a sheet that every reader can walk or
// reports the corruption; it never reads outside the bytes or hangs.
#include <cstddef>
#include <cstdint>

#include "edicion/informe_bin.h"
#include "hoja.h"
#include "tabla_vekt.h"

namespace {

const telmora::TablaVekt& tabla() {
  static const telmora::TablaVekt t = telmora::interpreta_vekt_tab(
      "//@ 1 5\r\n100 1 2\r\n200 2 3 1 1 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 \"D\"\r\n"
      "7 1 4\r\n",
      "Vekt.tab");
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  const auto* inicio = reinterpret_cast<const char*>(datos);
  const telmora::Lista<char> bytes(inicio, inicio + tamano);
  try {
    const telmora::Hoja hoja = telmora::cargo_bin_bytes(bytes, tabla());
    std::size_t total = 0;
    for (std::int32_t n = 1; n <= hoja.num_entidades(); ++n) {
      const telmora::Entidad& e = hoja.entidad(n);
      total += hoja.texto(e).size() + hoja.atributos_de(e).size();
      total += static_cast<std::size_t>(telmora::clase_elemento(hoja.vertices_de(e)));
    }
    total += telmora::informe_bin(hoja, tabla(), "/", "h.bin", 100).size();
    return total == 0 ? 0 : 0;
  } catch (const telmora::ErrorTelmora&) {
    return 0;
  }
}
