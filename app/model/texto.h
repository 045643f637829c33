// Text helpers for the fixed-width character fields of entity files and for the text files the
// system reads. Character fields hold Windows-1252 bytes; everything kept in memory as
// std::string outside those fields is UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace telmora {

// The characters before the first NUL, without leading and trailing spaces.
std::string limpia_texto(std::string_view campo);

// Trims the text and pads it with NUL characters up to 7 characters (longer texts stay trimmed).
std::string rellena_nulos(std::string_view texto);

// Windows-1252 bytes to UTF-8.
std::string cp1252_a_utf8(std::string_view bytes);

// UTF-8 to Windows-1252; characters without a Windows-1252 form become '?'.
std::string utf8_a_cp1252(std::string_view texto);

bool es_utf8_valido(std::string_view bytes);

// Appends the UTF-8 bytes of one code point.
void anade_utf8(std::string& salida, char32_t c);

// A text file's content as UTF-8: kept when it is valid UTF-8 (a leading BOM dropped),
// otherwise read as Windows-1252.
std::string decodifica_texto(std::string_view bytes);

// Splits a text into lines ending in LF or CR LF; a final line end does not open a new line.
std::vector<std::string_view> divide_lineas(std::string_view texto);

// Shortest decimal form of a number, as the listings write it ("12", "-0.5", "1234.56").
std::string numero_a_texto(double valor);

// An elevation in file units (`uds` a metre) as a label in metres: at most three decimals, cut
// (not rounded), without trailing zeros and with "." as decimal separator ("812", "12.345",
// "-0.5"). The second form takes an elevation interpolated between vertices.
std::string texto_cota(std::int32_t z, int uds);
std::string texto_cota(double z, int uds);

// Strict integer: optional sign and digits only, within the range of the type.
bool lee_entero(std::string_view texto, int& valor);
bool lee_entero(std::string_view texto, long long& valor);

// A finite decimal number as a user types it: spaces around it are ignored and "," is taken as
// the decimal separator as well as ".".
bool lee_real(std::string_view texto, double& valor);

// An integer typed by a user: any number lee_real reads, rounded to the nearest integer (halves
// to even), so "3.0" is 3 and "2.5" is 2. False when it is not a number or the integer does not
// fit.
bool lee_entero_redondeado(std::string_view texto, int& valor);

// One line of a listing in list spacing: the items follow each other directly; a number is written
// in its shortest decimal form with a leading blank (or "-" when negative) and one trailing blank;
// a Boolean as the number -1 (true) or 0; a text unchanged.
class LineaListado {
 public:
  template <typename Numero>
  requires std::is_arithmetic_v<Numero> LineaListado& operator<<(Numero numero) {
    if constexpr (std::is_same_v<Numero, bool>)
      return anade_numero(numero ? -1.0 : 0.0);
    else
      return anade_numero(static_cast<double>(numero));
  }
  LineaListado& operator<<(std::string_view texto) {
    linea_ += texto;
    return *this;
  }
  LineaListado& operator<<(const char* texto) { return *this << std::string_view(texto); }
  const std::string& str() const { return linea_; }
  operator std::string() const { return linea_; }

 private:
  LineaListado& anade_numero(double numero);

  std::string linea_;
};

// Where a listing goes as it is made, one line at a time and in order: a file being written
// (escribe_listado), or a list in memory.
using SalidaLineas = std::function<void(std::string_view)>;

}  // namespace telmora
