#include "orogrid.h"

#include <optional>

#include "modelo_mdt.h"

namespace {
// The one model of the process and the triangle that answered the last lookup. The index
// survives reloads; the search only uses it while it is below the triangle count.
std::optional<orogrid::ModeloMdt> modelo;
std::int32_t ultimo_hallado = 0;
}  // namespace

extern "C" OROGRID_EXPORT std::int32_t OROGRID_LLAMADA fnOrogrid(const char* ruta) {
  modelo.reset();
  if (ruta != nullptr) modelo = orogrid::ModeloMdt::lee_fichero(ruta);
  return modelo ? 0 : -1;
}

extern "C" OROGRID_EXPORT double OROGRID_LLAMADA fnGetZValue(double x, double y) {
  if (!modelo) return -1.0;
  return modelo->cota(x, y, ultimo_hallado).value_or(-1.0);
}

extern "C" OROGRID_EXPORT std::int32_t OROGRID_LLAMADA fnUnloadMDT() {
  if (!modelo) return -1;
  modelo.reset();
  return 1;
}
