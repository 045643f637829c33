#include "indice_espacial.h"

#include <cstddef>

namespace telmora {

// The index rows hold an entity's box as a Caja lays it out: the grid reads them in place.
static_assert(offsetof(FilaIndice, ymin) == offsetof(FilaIndice, xmin) + offsetof(Caja, ymin) &&
              offsetof(FilaIndice, xmax) == offsetof(FilaIndice, xmin) + offsetof(Caja, xmax) &&
              offsetof(FilaIndice, ymax) == offsetof(FilaIndice, xmin) + offsetof(Caja, ymax));

IndiceEspacial::IndiceEspacial(const Hoja& hoja)
    : rejilla_(CajasEspaciadas(
          hoja.indice.empty() ? nullptr : reinterpret_cast<const char*>(&hoja.indice.front().xmin),
          sizeof(FilaIndice), hoja.indice.size())) {}

std::vector<std::int32_t> IndiceEspacial::candidatas(double xmin, double ymin, double xmax,
                                                     double ymax) const {
  std::vector<std::int32_t> salida;
  rejilla_.candidatas(xmin, ymin, xmax, ymax, salida);
  for (std::int32_t& lugar : salida) ++lugar;
  return salida;
}

}  // namespace telmora
