#include "tabla_vekt.h"

#include <algorithm>

#include "fichero.h"
#include "texto.h"

namespace telmora {

namespace {

[[noreturn]] void error_de_linea(std::string_view fichero, std::size_t linea,
                                 std::string_view motivo) {
  throw ErrorTelmora("Error en el fichero " + std::string(fichero) + ", línea " +
                     std::to_string(linea) + ": " + std::string(motivo));
}

std::string_view recorta_espacios(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return {};
  return texto.substr(inicio, texto.find_last_not_of(' ') - inicio + 1);
}

int entero_de_linea(std::string_view texto, std::string_view fichero, std::size_t linea) {
  int valor = 0;
  if (!lee_entero(texto, valor)) {
    error_de_linea(fichero, linea,
                   "se esperaba un número entero y hay \"" + std::string(texto) + "\"");
  }
  return valor;
}

int indice_de_color(std::string_view texto, std::string_view fichero, std::size_t linea) {
  const int valor = entero_de_linea(recorta_espacios(texto), fichero, linea);
  if (valor < -1 || valor > 255) {
    error_de_linea(fichero, linea,
                   "el índice de color " + std::to_string(valor) + " no está entre -1 y 255");
  }
  return valor;
}

void lee_ajustes(std::string_view resto, TablaVekt& tabla, std::string_view fichero,
                 std::size_t linea) {
  std::vector<std::string_view> valores;
  while (!resto.empty()) {
    const auto inicio = resto.find_first_not_of(' ');
    if (inicio == std::string_view::npos) break;
    resto.remove_prefix(inicio);
    const auto fin = resto.find(' ');
    valores.push_back(resto.substr(0, fin));
    resto.remove_prefix(fin == std::string_view::npos ? resto.size() : fin);
  }
  if (valores.size() < 2) {
    error_de_linea(fichero, linea, "la línea \"//@\" debe llevar dos números enteros");
  }
  tabla.ajuste_fondo = indice_de_color(valores[0], fichero, linea);
  tabla.color_desconocido = indice_de_color(valores[1], fichero, linea);
}

}  // namespace

ResultadoBusqueda TablaVekt::busca(std::string_view codigo_limpio) const {
  const auto encontrado = primera_fila_.find(std::string(codigo_limpio));
  if (encontrado == primera_fila_.end()) return {0, color_de_fila(0)};
  return {encontrado->second, fila(encontrado->second).color};
}

ResultadoBusqueda TablaVekt::busca_codigo_bin(std::string_view codigo_bruto) const {
  return busca(cp1252_a_utf8(limpia_texto(codigo_bruto)));
}

int TablaVekt::color_de_fila(std::int32_t posicion_tab) const {
  if (posicion_tab > 0) return fila(posicion_tab).color;
  // The console may set this colour on a table without a settings line.
  return color_desconocido != kSinAjustes ? color_desconocido : kColorDesconocidoDefecto;
}

void TablaVekt::indexa() {
  primera_fila_.clear();
  for (int n = num_entradas(); n >= 1; --n) primera_fila_[fila(n).codigo()] = n;
}

Rgb Paleta::color(int indice) const {
  if (indice < -1 || indice > 255) return {};
  const auto ranura = static_cast<std::size_t>(indice + 1);
  return {rojo[ranura], verde[ranura], azul[ranura]};
}

bool Paleta::define(int indice) const {
  return indice >= -1 && indice <= 255 && definida[static_cast<std::size_t>(indice + 1)];
}

std::vector<std::string> divide_campos_vekt(std::string_view linea) {
  std::vector<std::string> campos;
  std::string actual;
  bool entre_comillas = false;
  char anterior = ' ';
  for (const char c : linea) {
    if (!entre_comillas && c == ' ' && anterior != ' ') {
      campos.push_back(std::move(actual));
      actual.clear();
    } else {
      if (c == '"') entre_comillas = true;
      actual += c;
    }
    anterior = c;
  }
  if (!actual.empty()) campos.push_back(std::move(actual));
  return campos;
}

TablaVekt interpreta_vekt_tab(std::string_view contenido, std::string_view nombre_fichero) {
  TablaVekt tabla;
  const std::string texto = decodifica_texto(contenido);
  std::size_t numero_linea = 0;
  for (const std::string_view linea : divide_lineas(texto)) {
    ++numero_linea;
    if (linea.starts_with("//@")) {
      lee_ajustes(linea.substr(3), tabla, nombre_fichero, numero_linea);
      continue;
    }
    // Comments, and blank lines (a trailing one is common), hold no entry.
    if (linea.starts_with("//") || linea.find_first_not_of(' ') == std::string_view::npos) continue;
    auto campos = divide_campos_vekt(linea);
    if (campos.size() > static_cast<std::size_t>(kCamposVekt)) {
      error_de_linea(nombre_fichero, numero_linea,
                     "tiene " + std::to_string(campos.size()) + " campos y el máximo es 26");
    }
    FilaVekt fila;
    std::move(campos.begin(), campos.end(), fila.campos.begin());
    fila.color = indice_de_color(fila.campo(3), nombre_fichero, numero_linea);
    tabla.filas.push_back(std::move(fila));
  }
  tabla.indexa();
  return tabla;
}

Paleta interpreta_pal(std::string_view contenido, std::string_view nombre_fichero) {
  Paleta paleta;
  const std::string texto = decodifica_texto(contenido);
  std::size_t ranura = 0;
  for (const std::string_view linea : divide_lineas(texto)) {
    ++ranura;
    if (ranura > 256) {
      error_de_linea(nombre_fichero, ranura, "la paleta no admite más de 256 líneas");
    }
    // Comment and blank lines take their slot and leave it as it was.
    if (linea.starts_with("//") || linea.empty()) continue;
    std::vector<std::string_view> valores;
    std::size_t inicio = 0;
    while (true) {
      const auto fin = linea.find(' ', inicio);
      valores.push_back(linea.substr(inicio, fin - inicio));
      if (fin == std::string_view::npos) break;
      inicio = fin + 1;
    }
    if (valores.size() != 3) {
      error_de_linea(nombre_fichero, ranura,
                     "se esperaban tres valores R G B separados por un espacio y hay " +
                         std::to_string(valores.size()));
    }
    std::array<std::int16_t, 3> rgb{};
    for (std::size_t k = 0; k < 3; ++k) {
      const int valor = entero_de_linea(valores[k], nombre_fichero, ranura);
      if (valor < 0) {
        error_de_linea(nombre_fichero, ranura,
                       "el valor " + std::to_string(valor) + " no está entre 0 y 255");
      }
      // Palettes in use carry a few values above 255: they mean full intensity.
      rgb[k] = static_cast<std::int16_t>(std::min(valor, 255));
    }
    paleta.rojo[ranura] = rgb[0];
    paleta.verde[ranura] = rgb[1];
    paleta.azul[ranura] = rgb[2];
    paleta.definida[ranura] = true;
  }
  return paleta;
}

TablaVekt leo_vekt_tab(const std::filesystem::path& ruta) {
  const auto bytes = lee_fichero(ruta);
  return interpreta_vekt_tab({bytes.data(), bytes.size()}, ruta_texto(ruta));
}

Paleta leo_pal(const std::filesystem::path& ruta) {
  const auto bytes = lee_fichero(ruta);
  return interpreta_pal({bytes.data(), bytes.size()}, ruta_texto(ruta));
}

Rgb color_fondo(const TablaVekt& tabla, const Paleta& paleta) {
  return tabla.tiene_ajustes() ? paleta.color(tabla.ajuste_fondo) : Rgb{};
}

}  // namespace telmora
