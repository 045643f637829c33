#include "dibujadas.h"

namespace telmora {

EntidadesDibujadas::EntidadesDibujadas(const Hoja& hoja, std::span<const std::int32_t> numeros)
    : marcas_(static_cast<std::size_t>(hoja.num_entidades()) + 1, 0) {
  for (const std::int32_t numero : numeros) {
    if (numero >= 1 && numero <= hoja.num_entidades())
      marcas_[static_cast<std::size_t>(numero)] = 1;
  }
}

EntidadesDibujadas EntidadesDibujadas::todas(const Hoja& hoja) {
  EntidadesDibujadas todas;
  todas.marcas_.assign(static_cast<std::size_t>(hoja.num_entidades()) + 1, 1);
  todas.marcas_[0] = 0;
  return todas;
}

}  // namespace telmora
