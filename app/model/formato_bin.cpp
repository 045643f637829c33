#include "formato_bin.h"

#include "texto.h"

#include <algorithm>
#include <stdexcept>

namespace telmora {

namespace {

void anade_i32(std::string& salida, std::int32_t valor) {
  const auto v = static_cast<std::uint32_t>(valor);
  const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8),
                         static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
  salida.append(bytes, 4);
}

void anade_i16(std::string& salida, std::int16_t valor) {
  const auto v = static_cast<std::uint16_t>(valor);
  const char bytes[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
  salida.append(bytes, 2);
}

}  // namespace

void escribe_cabecera(std::string& salida, const Cabecera& cabecera) {
  salida += cabecera.tipo;
  salida += cabecera.estado;
  salida.append(cabecera.codigo.data(), cabecera.codigo.size());
  salida += static_cast<char>(cabecera.num_atributos);
  anade_i16(salida, cabecera.num_puntos);
}

void escribe_rango(std::string& salida, const Rango& rango) {
  for (const std::int32_t valor : {rango.xmin, rango.ymin, rango.zmin, rango.xmax, rango.ymax,
                                   rango.zmax, rango.septimo, rango.octavo, rango.noveno}) {
    anade_i32(salida, valor);
  }
}

void escribe_vertice(std::string& salida, const Vertice& vertice) {
  anade_i32(salida, vertice.x);
  anade_i32(salida, vertice.y);
  anade_i32(salida, vertice.z);
}

void escribe_atributo(std::string& salida, const Atributo& atributo) {
  anade_i16(salida, atributo.id_tabla);
  anade_i32(salida, atributo.n_registro);
  salida.append(atributo.resto.data(), atributo.resto.size());
}

void escribe_entidad(std::string& salida, const Cabecera& cabecera, const Rango& rango,
                     std::span<const Vertice> vertices, std::string_view bytes_texto,
                     std::span<const Atributo> atributos) {
  const std::size_t puntos = static_cast<std::size_t>(cabecera.num_puntos);
  const bool coherente =
      cabecera.num_puntos >= 1 && atributos.size() == cabecera.num_atributos &&
      (cabecera.es_texto() ? vertices.size() == 1 && bytes_texto.size() == 12 * (puntos - 1)
                           : vertices.size() == puntos && bytes_texto.empty());
  if (!coherente) throw std::logic_error("entidad incoherente con su cabecera");
  escribe_cabecera(salida, cabecera);
  escribe_rango(salida, rango);
  for (const Vertice& v : vertices) escribe_vertice(salida, v);
  salida.append(bytes_texto);
  for (const Atributo& a : atributos) escribe_atributo(salida, a);
}

std::string trozo_de_texto(std::string_view texto) {
  std::string trozo(texto.substr(0, kTamTrozoTexto));
  trozo.resize(kTamTrozoTexto, ' ');
  return trozo;
}

std::vector<std::string> trozos_limpios(std::string_view bytes_texto) {
  std::vector<std::string> trozos;
  for (std::size_t inicio = 0; inicio < bytes_texto.size(); inicio += kTamTrozoTexto) {
    trozos.push_back(cp1252_a_utf8(limpia_texto(bytes_texto.substr(inicio, kTamTrozoTexto))));
  }
  return trozos;
}

std::array<char, 7> codigo_desde_texto(std::string_view codigo_cp1252) {
  const std::string relleno = rellena_nulos(codigo_cp1252);
  std::array<char, 7> codigo{};
  std::memcpy(codigo.data(), relleno.data(), std::min<std::size_t>(7, relleno.size()));
  return codigo;
}

}  // namespace telmora
