#include "indice_espacial.h"

namespace telmora {

IndiceEspacial::IndiceEspacial(const Hoja& hoja) {
  std::vector<Caja> cajas;
  cajas.reserve(hoja.indice.size());
  for (const FilaIndice& f : hoja.indice) cajas.push_back({f.xmin, f.ymin, f.xmax, f.ymax});
  rejilla_ = RejillaCajas(cajas);
}

std::vector<std::int32_t> IndiceEspacial::candidatas(double xmin, double ymin, double xmax,
                                                     double ymax) const {
  std::vector<std::int32_t> salida;
  rejilla_.candidatas(xmin, ymin, xmax, ymax, salida);
  for (std::int32_t& lugar : salida) ++lugar;
  return salida;
}

}  // namespace telmora
