#include "db/valor.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace telmora {

namespace {

std::string_view sin_blancos(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(" \t");
  if (inicio == std::string_view::npos) return {};
  return texto.substr(inicio, texto.find_last_not_of(" \t") - inicio + 1);
}

bool es_digito_en_base(char c, int base) {
  if (base == 8) return c >= '0' && c <= '7';
  return (c >= '0' && c <= '9') ||
         (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// "&H1F" and "&O17": the base and the digits, or nothing.
std::optional<std::pair<int, std::string_view>> literal_en_base(std::string_view texto) {
  if (texto.size() < 3 || texto[0] != '&') return std::nullopt;
  const char letra = texto[1];
  const int base = (letra == 'H' || letra == 'h') ? 16 : (letra == 'O' || letra == 'o') ? 8 : 0;
  if (base == 0) return std::nullopt;
  const std::string_view digitos = texto.substr(2);
  for (const char c : digitos) {
    if (!es_digito_en_base(c, base)) return std::nullopt;
  }
  return std::pair{base, digitos};
}

// A decimal number in the form es_numerico accepts, rewritten for from_chars: no "+" sign and
// "e" for the exponent letter. Nothing when the text is not one.
std::optional<std::string> decimal_normalizado(std::string_view texto) {
  std::string salida;
  std::size_t i = 0;
  if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) {
    if (texto[i] == '-') salida += '-';
    ++i;
  }
  bool digitos = false;
  while (i < texto.size() && texto[i] >= '0' && texto[i] <= '9')
    salida += texto[i++], digitos = true;
  if (i < texto.size() && texto[i] == '.') {
    salida += texto[i++];
    while (i < texto.size() && texto[i] >= '0' && texto[i] <= '9') {
      salida += texto[i++];
      digitos = true;
    }
  }
  if (!digitos) return std::nullopt;
  if (i < texto.size() &&
      (texto[i] == 'e' || texto[i] == 'E' || texto[i] == 'd' || texto[i] == 'D')) {
    salida += 'e';
    ++i;
    if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) {
      if (texto[i] == '-') salida += '-';
      ++i;
    }
    bool exponente = false;
    while (i < texto.size() && texto[i] >= '0' && texto[i] <= '9') {
      salida += texto[i++];
      exponente = true;
    }
    if (!exponente) return std::nullopt;
  }
  if (i != texto.size()) return std::nullopt;
  return salida;
}

std::optional<double> numero_de_texto(std::string_view texto) {
  texto = sin_blancos(texto);
  if (const auto literal = literal_en_base(texto)) {
    unsigned long long valor = 0;
    const auto [fin, error] =
        std::from_chars(literal->second.data(), literal->second.data() + literal->second.size(),
                        valor, literal->first);
    if (error != std::errc() || fin != literal->second.data() + literal->second.size()) {
      return std::nullopt;
    }
    return static_cast<double>(valor);
  }
  const auto normal = decimal_normalizado(texto);
  if (!normal) return std::nullopt;
  double valor = 0;
  const auto [fin, error] = std::from_chars(normal->data(), normal->data() + normal->size(), valor);
  if (error != std::errc() || fin != normal->data() + normal->size() || !std::isfinite(valor)) {
    return std::nullopt;
  }
  return valor;
}

std::string texto_real(double valor) {
  constexpr double kEnteroExacto = 1e15;
  if (valor == std::trunc(valor) && std::fabs(valor) < kEnteroExacto) {
    return std::to_string(static_cast<long long>(valor));
  }
  std::array<char, 40> buffer{};
  const auto [fin, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), valor,
                                          std::chars_format::general, 15);
  std::string texto(buffer.data(), error == std::errc() ? fin : buffer.data());
  for (char& c : texto) {
    if (c == 'e') c = 'E';
  }
  return texto;
}

}  // namespace

std::optional<std::string> cstr(const Valor& valor) {
  if (const auto* entero = std::get_if<std::int64_t>(&valor)) return std::to_string(*entero);
  if (const auto* real = std::get_if<double>(&valor)) return texto_real(*real);
  if (const auto* texto = std::get_if<std::string>(&valor)) return *texto;
  if (const auto* bytes = std::get_if<Bytes>(&valor))
    return std::string(bytes->begin(), bytes->end());
  return std::nullopt;
}

std::string texto_celda(const Valor& valor) {
  return cstr(valor).value_or(std::string());
}

std::optional<double> numero_de(const Valor& valor) {
  if (const auto* entero = std::get_if<std::int64_t>(&valor)) return static_cast<double>(*entero);
  if (const auto* real = std::get_if<double>(&valor)) return *real;
  if (const auto* texto = std::get_if<std::string>(&valor)) return numero_de_texto(*texto);
  return std::nullopt;
}

std::optional<std::int32_t> clng(const Valor& valor) {
  const auto numero = numero_de(valor);
  if (!numero) return std::nullopt;
  // The default rounding mode rounds halves to the even neighbour.
  const double redondo = std::nearbyint(*numero);
  if (redondo < std::numeric_limits<std::int32_t>::min() ||
      redondo > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(redondo);
}

bool es_numerico(const Valor& valor) {
  return numero_de(valor).has_value();
}

}  // namespace telmora
