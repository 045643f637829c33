#include "diagnostico.h"

#include "formato_bin.h"
#include "texto.h"

namespace telmora {

namespace {

bool es_inicio_activo(std::string_view fichero, std::size_t p) {
  return (fichero[p] == kTipoCartografico || fichero[p] == kTipoTexto) &&
         fichero[p + 1] == kEstadoActivo;
}

// A new line with the label, the first of the lines right after it and the others below it.
void anade_tras_etiqueta(std::string& texto, std::string_view etiqueta,
                         const std::vector<std::string>& lineas) {
  texto += "\n";
  texto += etiqueta;
  for (std::size_t k = 0; k < lineas.size(); ++k) texto += (k == 0 ? "" : "\n") + lineas[k];
}

// Listing of a text entity that is known to lie whole inside the file.
std::string lista_texto(std::string_view fichero, std::int64_t inicio) {
  const char* p = fichero.data() + inicio;
  const Cabecera cabecera = lee_cabecera(p);
  const Rango r = lee_rango(p + kTamCabecera);
  const Vertice punto = lee_vertice(p + kTamFijoEntidad);
  const char* trozos = p + kTamFijoEntidad + kTamVertice;
  const std::int64_t num_trozos = cabecera.num_puntos - 1;
  const char* atributos = trozos + kTamTrozoTexto * num_trozos;

  std::string texto = "Cabecera: ";
  texto += std::string{cabecera.tipo, cabecera.estado} + " " +
           cp1252_a_utf8(limpia_texto(cabecera.codigo_bruto())) + " " +
           std::to_string(cabecera.num_puntos) + " " + std::to_string(cabecera.num_atributos);
  texto += "\nRangos:";
  for (const std::int32_t v :
       {r.xmin, r.ymin, r.zmin, r.xmax, r.ymax, r.zmax, r.septimo, r.octavo, r.noveno}) {
    texto += " " + std::to_string(v);
  }
  texto += "\nCoordenadas: " + std::to_string(punto.x) + " " + std::to_string(punto.y) + " " +
           std::to_string(punto.z);
  anade_tras_etiqueta(texto, "Texto: ",
                      trozos_limpios(std::string_view(
                          trozos, static_cast<std::size_t>(kTamTrozoTexto * num_trozos))));
  std::vector<std::string> lineas_atributos;
  for (int i = 0; i < cabecera.num_atributos; ++i) {
    const Atributo a = lee_atributo(atributos + kTamAtributo * i);
    lineas_atributos.push_back(std::to_string(a.id_tabla) + " " + std::to_string(a.n_registro) +
                               " " + cp1252_a_utf8(limpia_texto(a.resto_bruto())));
  }
  anade_tras_etiqueta(texto, "Atributos: ", lineas_atributos);
  return texto;
}

}  // namespace

std::int64_t leo_byte_a_byte(std::string_view fichero, std::int64_t desde) {
  const auto longitud = static_cast<std::int64_t>(fichero.size());
  for (std::int64_t p = desde + 1; p + 1 < longitud; ++p) {
    if (es_inicio_activo(fichero, static_cast<std::size_t>(p))) return p;
  }
  return longitud;
}

DiagnosticoEntidad BuscaEntidadNoCorrupta(std::string_view fichero, std::int64_t puntero_ok,
                                          std::int64_t posicion_erronea,
                                          std::int32_t numero_entidad) {
  DiagnosticoEntidad diagnostico;
  diagnostico.siguiente_valida = leo_byte_a_byte(fichero, puntero_ok);
  if (numero_entidad <= 1 || fichero[static_cast<std::size_t>(puntero_ok)] != kTipoTexto) {
    return diagnostico;
  }
  diagnostico.detalle = "Fichero Corrupto en la entidad : " + std::to_string(numero_entidad) +
                        "\nPosición errónea en el fichero : " + std::to_string(posicion_erronea) +
                        "\nPosicion anterior     : " + std::to_string(puntero_ok) + "\n" +
                        lista_texto(fichero, puntero_ok) + "\nPosicion Válida siguiente : " +
                        std::to_string(diagnostico.siguiente_valida);
  return diagnostico;
}

}  // namespace telmora
