#include "edicion/info_elemento.h"

#include "edicion/informe_bin.h"

#include "fichero.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr std::size_t kDecimalesSalida = 3;

std::string campo_limpio(std::string_view campo) {
  return cp1252_a_utf8(limpia_texto(campo));
}

ErrorTelmora fichero_cambiado(const Hoja& hoja, std::int64_t posicion) {
  return ErrorTelmora("El fichero " + ruta_texto(hoja.ruta) +
                      " ha cambiado desde que se cargó: no hay una entidad completa en la " +
                      "posición " + std::to_string(posicion));
}

void lista_vertices(std::vector<std::string>& lineas, const EntidadEnFichero& e, int uds) {
  lineas.push_back(kSeparador);
  switch (clase_elemento(e.vertices)) {
    case ClaseElemento::puntual:
      lineas.push_back(" Elemento Punto/Simbolo");
      break;
    case ClaseElemento::cerrado:
      lineas.push_back(" Elemento cerrado");
      break;
    case ClaseElemento::abierto:
      lineas.push_back(" Elemento abierto");
      break;
  }
  lineas.push_back(kSeparador);
  lineas.push_back("   Puntos : " + std::to_string(e.cabecera.num_puntos));
  lineas.push_back(kSeparador);
  for (std::size_t i = 0; i < e.vertices.size(); ++i) {
    const Vertice& v = e.vertices[i];
    std::string linea = " ";
    linea += std::to_string(i + 1) + "  " + formatea_salida(v.x, uds) + "  " +
             formatea_salida(v.y, uds) + "  " + formatea_salida(v.z, uds);
    lineas.push_back(std::move(linea));
  }
  lineas.push_back(kSeparador);
}

void lista_texto(std::vector<std::string>& lineas, const EntidadEnFichero& e, int uds) {
  lineas.push_back("   Textos : " + std::to_string(e.cabecera.num_puntos - 1));
  lineas.push_back(kSeparador);
  const Vertice& p = e.vertices[0];
  lineas.push_back(" 1  " + numero_a_texto(double(p.x) / uds) + "  " +
                   numero_a_texto(double(p.y) / uds) + "  " + numero_a_texto(double(p.z) / uds));
  const std::vector<std::string> trozos = trozos_limpios(e.bytes_texto);
  for (std::size_t k = 0; k < trozos.size(); ++k) {
    lineas.push_back(" Texto " + std::to_string(k + 1) + "  " + trozos[k]);
  }
  lineas.push_back(kSeparador);
}

void lista_atributos(std::vector<std::string>& lineas, const EntidadEnFichero& e) {
  for (std::size_t i = 0; i < e.atributos.size(); ++i) {
    const Atributo& a = e.atributos[i];
    lineas.push_back("  Atributo : " + std::to_string(i + 1));
    lineas.push_back("   IdTabla :" + std::to_string(a.id_tabla));
    lineas.push_back(" NRegistro :" + std::to_string(a.n_registro));
    lineas.push_back("     Resto :" + campo_limpio(a.resto_bruto()));
  }
}

void lista_tabla(std::vector<std::string>& lineas, const Sesion& sesion, std::int32_t fila_tab) {
  const FilaVekt& fila = sesion.tabla.fila(fila_tab);
  const Rgb color = sesion.paleta.color(sesion.tabla.color_de_fila(fila_tab));
  lineas.push_back(" DATOS EN VEKT.TAB y VEKT.PAL");
  lineas.push_back(kSeparador);
  lineas.push_back("     Codigo  : " + fila.campo(1));
  lineas.push_back("     Tipo    : " + fila.campo(2));
  lineas.push_back("     Color   : " + fila.campo(3));
  lineas.push_back("         RGB1   : " + std::to_string(color.rojo));
  lineas.push_back("         RGB2   : " + std::to_string(color.verde));
  lineas.push_back("         RGB3   : " + std::to_string(color.azul));
  lineas.push_back("       Pluma : " + fila.campo(4));
  lineas.push_back("      Grosor : " + fila.campo(5));
  lineas.push_back("      Fuente : " + fila.campo(6));
  lineas.push_back("   Distancia : " + fila.campo(7));
  lineas.push_back("       SimbX : " + fila.campo(8));
  lineas.push_back("       SimbY : " + fila.campo(9));
  lineas.push_back("   Tipo Linea: " + fila.campo(10));
  // The gaps and strokes of the dash pattern alternate from field 11 on.
  for (int n = 11; n <= 25; ++n) {
    lineas.push_back((n % 2 == 1 ? " Trazo Blanco: " : "  Trazo Color: ") + fila.campo(n));
  }
  lineas.push_back("     Param.26: " + fila.campo(26));
}

}  // namespace

std::string formatea_salida(std::int32_t num_entero, int uds) {
  std::string letra = numero_a_texto(static_cast<double>(num_entero) / uds);
  const auto punto = letra.find('.');
  if (punto == std::string::npos) return letra + "." + std::string(kDecimalesSalida, '0');
  const std::size_t decimales = letra.size() - punto - 1;
  if (decimales < kDecimalesSalida) letra.append(kDecimalesSalida - decimales, '0');
  return letra;
}

EntidadEnFichero lee_entidad_en_fichero(const Hoja& hoja, std::int32_t numero) {
  if (numero < 1 || numero > hoja.num_entidades()) {
    throw ErrorTelmora("La hoja " + ruta_texto(hoja.ruta) + " no tiene la entidad " +
                       std::to_string(numero) + ": tiene " + std::to_string(hoja.num_entidades()));
  }
  EntidadEnFichero e;
  e.posicion = hoja.fila(numero).posicion;
  const std::string cabecera = lee_en_posicion(hoja.ruta, e.posicion, kTamCabecera);
  if (cabecera.size() != kTamCabecera ||
      (cabecera[0] != kTipoCartografico && cabecera[0] != kTipoTexto)) {
    throw fichero_cambiado(hoja, e.posicion);
  }
  e.cabecera = lee_cabecera(cabecera.data());
  if (e.cabecera.num_puntos < 1) throw fichero_cambiado(hoja, e.posicion);
  const auto largo =
      static_cast<std::size_t>(longitud_entidad(e.cabecera.num_puntos, e.cabecera.num_atributos));
  const std::string bytes = lee_en_posicion(hoja.ruta, e.posicion, largo);
  if (bytes.size() != largo) throw fichero_cambiado(hoja, e.posicion);

  const char* p = bytes.data() + kTamCabecera;
  e.rango = lee_rango(p);
  p += kTamRango;
  const int num_vertices = e.cabecera.es_texto() ? 1 : e.cabecera.num_puntos;
  for (int i = 0; i < num_vertices; ++i, p += kTamVertice) e.vertices.push_back(lee_vertice(p));
  if (e.cabecera.es_texto()) {
    const auto num_bytes = static_cast<std::size_t>(kTamTrozoTexto * (e.cabecera.num_puntos - 1));
    e.bytes_texto.assign(p, num_bytes);
    p += num_bytes;
  }
  for (int i = 0; i < e.cabecera.num_atributos; ++i, p += kTamAtributo) {
    e.atributos.push_back(lee_atributo(p));
  }
  return e;
}

std::vector<std::string> lista_entidad(const Sesion& sesion, std::int32_t numero,
                                       const EntidadEnFichero& e) {
  const int uds = sesion.ajustes.uds;
  const std::int32_t fila_tab =
      sesion.tabla.busca_codigo_bin(e.cabecera.codigo_bruto()).posicion_tab;
  const char* tipo =
      e.cabecera.es_texto() ? "Texto" : (e.cabecera.num_puntos < 2 ? "Puntual" : "Lineal");

  std::vector<std::string> lineas{
      "          " + sesion.tabla.fila(fila_tab).descripcion(),
      "Atributos : " + std::to_string(e.cabecera.num_atributos),
      std::string("     Tipo : ") + tipo + "  " + (e.cabecera.activa() ? "Activo" : "Borrado"),
      "   Codigo : " + campo_limpio(e.cabecera.codigo_bruto())};
  if (e.cabecera.es_texto()) {
    lista_texto(lineas, e, uds);
  } else {
    lista_vertices(lineas, e, uds);
  }
  lista_atributos(lineas, e);
  lista_tabla(lineas, sesion, fila_tab);
  lineas.push_back(kSeparador);
  lineas.push_back("   Offset : " + std::to_string(e.posicion));
  lineas.push_back("   Elemento " + std::to_string(numero) + " de " +
                   std::to_string(sesion.hoja.num_entidades()));
  return lineas;
}

std::filesystem::path ruta_listado(const std::filesystem::path& fich_entrada, std::int32_t numero) {
  return ruta_con_sufijo(fich_entrada, "_" + std::to_string(numero) + ".txt");
}

std::filesystem::path ImprimeEntidad(const std::vector<std::string>& lineas,
                                     const std::filesystem::path& fich_entrada,
                                     std::int32_t numero) {
  const auto ruta = ruta_listado(fich_entrada, numero);
  escribe_lineas(ruta, lineas);
  return ruta;
}

}  // namespace telmora
