#include "tipos_sig.h"

#include <cmath>

#include "texto.h"

namespace telmora {

std::string valor_como_texto(const ValorSig& valor) {
  if (const auto* entero = std::get_if<std::int64_t>(&valor)) return std::to_string(*entero);
  if (const auto* real = std::get_if<double>(&valor)) return numero_a_texto(*real);
  if (const auto* texto = std::get_if<std::string>(&valor)) return *texto;
  return {};
}

bool valor_como_real(const ValorSig& valor, double& numero) {
  if (const auto* entero = std::get_if<std::int64_t>(&valor)) {
    numero = static_cast<double>(*entero);
    return true;
  }
  if (const auto* real = std::get_if<double>(&valor)) {
    numero = *real;
    return std::isfinite(numero);
  }
  if (const auto* texto = std::get_if<std::string>(&valor)) return lee_real(*texto, numero);
  return false;
}

}  // namespace telmora
