#include "texto.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace telmora {

void anade_utf8(std::string& salida, char32_t c) {
  if (c < 0x80) {
    salida += static_cast<char>(c);
  } else if (c < 0x800) {
    salida += static_cast<char>(0xC0 | (c >> 6));
    salida += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    salida += static_cast<char>(0xE0 | (c >> 12));
    salida += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    salida += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    salida += static_cast<char>(0xF0 | (c >> 18));
    salida += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    salida += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    salida += static_cast<char>(0x80 | (c & 0x3F));
  }
}

namespace {

// Code points of bytes 0x80-0x9F in Windows-1252 (0 where the code page leaves a hole).
constexpr std::array<char32_t, 32> kCp1252Alto = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Decodes one UTF-8 sequence at bytes[i]; returns its length, 0 when it is not valid.
std::size_t lee_utf8(std::string_view bytes, std::size_t i, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(bytes[i]);
  std::size_t largo;
  char32_t minimo;
  if (b0 < 0x80) {
    c = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    largo = 2, minimo = 0x80, c = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    largo = 3, minimo = 0x800, c = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    largo = 4, minimo = 0x10000, c = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + largo > bytes.size()) return 0;
  for (std::size_t k = 1; k < largo; ++k) {
    const auto b = static_cast<unsigned char>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return largo;
}

}  // namespace

std::string limpia_texto(std::string_view campo) {
  const auto nulo = campo.find('\0');
  if (nulo != std::string_view::npos) campo = campo.substr(0, nulo);
  const auto inicio = campo.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return {};
  const auto fin = campo.find_last_not_of(' ');
  return std::string(campo.substr(inicio, fin - inicio + 1));
}

std::string rellena_nulos(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(' ');
  std::string salida;
  if (inicio != std::string_view::npos) {
    salida = texto.substr(inicio, texto.find_last_not_of(' ') - inicio + 1);
  }
  if (salida.size() < 7) salida.append(7 - salida.size(), '\0');
  return salida;
}

std::string cp1252_a_utf8(std::string_view bytes) {
  std::string salida;
  salida.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      salida += ch;
    } else if (b < 0xA0) {
      const char32_t c = kCp1252Alto[b - 0x80];
      anade_utf8(salida, c ? c : char32_t{0xFFFD});
    } else {
      anade_utf8(salida, b);
    }
  }
  return salida;
}

std::string utf8_a_cp1252(std::string_view texto) {
  std::string salida;
  salida.reserve(texto.size());
  for (std::size_t i = 0; i < texto.size();) {
    char32_t c = 0;
    const std::size_t largo = lee_utf8(texto, i, c);
    if (largo == 0) {
      salida += '?';
      ++i;
      continue;
    }
    i += largo;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      salida += static_cast<char>(c);
      continue;
    }
    char byte = '?';
    for (std::size_t k = 0; k < kCp1252Alto.size(); ++k) {
      if (kCp1252Alto[k] == c && c != 0) byte = static_cast<char>(0x80 + k);
    }
    salida += byte;
  }
  return salida;
}

bool es_utf8_valido(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t c = 0;
    const std::size_t largo = lee_utf8(bytes, i, c);
    if (largo == 0) return false;
    i += largo;
  }
  return true;
}

std::string decodifica_texto(std::string_view bytes) {
  if (es_utf8_valido(bytes)) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return std::string(bytes);
  }
  return cp1252_a_utf8(bytes);
}

std::vector<std::string_view> divide_lineas(std::string_view texto) {
  std::vector<std::string_view> lineas;
  while (!texto.empty()) {
    const auto fin = texto.find('\n');
    std::string_view linea = texto.substr(0, fin);
    if (linea.ends_with('\r')) linea.remove_suffix(1);
    lineas.push_back(linea);
    if (fin == std::string_view::npos) break;
    texto.remove_prefix(fin + 1);
  }
  return lineas;
}

std::string numero_a_texto(double valor) {
  std::array<char, 64> buffer{};
  // Whole numbers (most of what listings hold) take the integer conversion, which writes the
  // same digits much faster.
  if (valor == std::trunc(valor) && std::fabs(valor) < 9.0e15) {
    const auto [fin, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<long long>(valor));
    return std::string(buffer.data(), fin);
  }
  const auto [fin, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), valor, std::chars_format::fixed);
  if (error != std::errc()) return "0";
  std::string texto(buffer.data(), fin);
  if (texto == "-0") texto = "0";
  return texto;
}

namespace {

// A magnitude in thousandths of a metre, with its sign, as an elevation label.
std::string texto_milesimas(bool negativa, long long milesimas) {
  std::string texto = std::to_string(milesimas / 1000);
  if (negativa && milesimas > 0) texto.insert(texto.begin(), '-');
  if (milesimas % 1000 == 0) return texto;
  std::string fraccion = std::to_string(milesimas % 1000);
  fraccion.insert(0, 3 - fraccion.size(), '0');
  while (fraccion.ends_with('0')) fraccion.pop_back();
  return texto + "." + fraccion;
}

}  // namespace

std::string texto_cota(std::int32_t z, int uds) {
  const long long magnitud = std::llabs(static_cast<long long>(z));
  return texto_milesimas(z < 0, magnitud / uds * 1000 + magnitud % uds * 1000 / uds);
}

std::string texto_cota(double z, int uds) {
  if (!std::isfinite(z)) return "0";
  // The small allowance keeps a value held just under a whole thousandth (0.3 m as
  // 0.29999999...) from losing it when cut.
  const double milesimas = std::trunc(std::fabs(z) * 1000 / uds + 1e-6);
  return texto_milesimas(z < 0, static_cast<long long>(milesimas));
}

LineaListado& LineaListado::anade_numero(double numero) {
  const std::string texto = numero_a_texto(numero);
  if (!texto.starts_with('-')) linea_ += ' ';
  linea_ += texto;
  linea_ += ' ';
  return *this;
}

namespace {

template <typename Numero>
bool lee_todo(std::string_view texto, Numero& valor) {
  if (texto.starts_with('+')) texto.remove_prefix(1);
  if (texto.empty()) return false;
  const auto [fin, error] = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
  return error == std::errc() && fin == texto.data() + texto.size();
}

}  // namespace

bool lee_entero(std::string_view texto, int& valor) {
  return lee_todo(texto, valor);
}

bool lee_entero(std::string_view texto, long long& valor) {
  return lee_todo(texto, valor);
}

bool lee_real(std::string_view texto, double& valor) {
  const auto inicio = texto.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return false;
  std::string normal(texto.substr(inicio, texto.find_last_not_of(' ') - inicio + 1));
  std::replace(normal.begin(), normal.end(), ',', '.');
  return lee_todo(std::string_view(normal), valor) && std::isfinite(valor);
}

bool lee_entero_redondeado(std::string_view texto, int& valor) {
  double numero = 0;
  if (!lee_real(texto, numero)) return false;
  const double redondo = std::nearbyint(numero);
  if (redondo < std::numeric_limits<int>::min() || redondo > std::numeric_limits<int>::max()) {
    return false;
  }
  valor = static_cast<int>(redondo);
  return true;
}

}  // namespace telmora
