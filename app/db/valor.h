// One value of a database row, whatever the engine: null, integer, real, text (UTF-8) or bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace telmora {

using Bytes = std::vector<unsigned char>;
using Valor = std::variant<std::monostate, std::int64_t, double, std::string, Bytes>;
using FilaBd = std::vector<Valor>;

inline bool es_nulo(const Valor& valor) {
  return std::holds_alternative<std::monostate>(valor);
}

// A value as the database engine's own text conversion writes it: null gives nothing; an
// integer in decimal; a real with up to 15 significant digits and no trailing zeros ("5",
// "2.5", "1E+20"); a text unchanged; bytes as they are.
std::optional<std::string> cstr(const Valor& valor);

// The value as a table cell shows it: null as an empty cell, otherwise as cstr().
std::string texto_celda(const Valor& valor);

// The value as a number: integers and reals as they are, a text when it is a number (see
// es_numerico); nothing for null, bytes and other texts.
std::optional<double> numero_de(const Valor& valor);

// The value as a 32-bit integer, rounded half to even, as the engine's conversion to a long
// integer does; nothing for null, for what is not a number, and outside the 32-bit range.
std::optional<std::int32_t> clng(const Valor& valor);

// True for numbers and for texts that are numbers: blanks around, an optional sign, digits with
// an optional decimal point and an optional exponent ("1.5", " -2", "3E2"), or a hexadecimal or
// octal literal ("&H1F", "&O17").
bool es_numerico(const Valor& valor);

}  // namespace telmora
