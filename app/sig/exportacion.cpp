#include "exportacion.h"

#include <array>

#include "escritor_sig.h"
#include "estilos_capas.h"
#include "mapeo_entidades.h"
#include "texto.h"

namespace telmora {

namespace {

// A layer's name as the user reads it, with its accents; the file keeps the name without them.
std::string nombre_visible(std::string nombre) {
  for (const auto& [sin, con] :
       {std::pair{"lineas", "líneas"}, std::pair{"topologia", "topología"}}) {
    const auto donde = nombre.find(sin);
    if (donde != std::string::npos) nombre.replace(donde, std::string_view(sin).size(), con);
  }
  return nombre;
}

}  // namespace

std::vector<std::string> ResultadoExportacion::lineas() const {
  std::vector<std::string> salida{"Formato " + formato};
  for (const Capa& capa : capas) {
    salida.push_back("Capa " + nombre_visible(capa.nombre) + ": " + std::to_string(capa.rasgos) +
                     " entidades");
  }
  for (const auto& fichero : ficheros) salida.push_back("Escrito " + ruta_texto(fichero));
  for (const auto& aviso : avisos) salida.push_back("Aviso: " + aviso);
  return salida;
}

ResultadoExportacion exporta_sig(const Sesion& sesion, const OpcionesExportacion& opciones,
                                 Progreso& progreso) {
  const Hoja& hoja = sesion.hoja;
  NumerosPorCapa numeros;
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const Entidad& e = hoja.entidad(numero);
    if (hoja.activa(e)) numeros[capa_de_entidad(hoja, e)].push_back(numero);
  }
  std::vector<DefinicionCapa> capas = capas_de_entidades();
  std::int64_t total = 0;
  for (const auto& lista : numeros) total += static_cast<std::int64_t>(lista.size());
  for (const CapaDeValores& adicional : opciones.capas_adicionales) {
    capas.push_back(adicional.definicion);
    total += static_cast<std::int64_t>(adicional.rasgos.size());
  }

  EscritorSig escritor(opciones.destino, opciones.formato, opciones.epsg, capas);
  ResultadoExportacion resultado;
  ContadorPorcentaje contador(progreso, total);
  std::int64_t hechos = 0;
  // One layer of `cuantos` features, the k-th made by rasgo_k(k).
  auto escribe_capa = [&](std::size_t capa, std::size_t cuantos, const auto& rasgo_k) {
    progreso.paso("Exportando " + capas[capa].nombre);
    escritor.empieza_capa(capa);
    for (std::size_t k = 0; k < cuantos; ++k) {
      escritor.escribe(rasgo_k(k));
      contador.avanza(++hechos);
    }
    escritor.termina_capa();
    resultado.capas.push_back({capas[capa].nombre, static_cast<std::int64_t>(cuantos)});
  };
  RasgoSig rasgo;
  for (std::size_t capa = 0; capa < kNumCapasEntidades; ++capa) {
    escribe_capa(capa, numeros[capa].size(), [&](std::size_t k) -> const RasgoSig& {
      rasgo_de_entidad(sesion, numeros[capa][k], rasgo);
      return rasgo;
    });
  }
  for (std::size_t capa = 0; capa < opciones.capas_adicionales.size(); ++capa) {
    const auto& rasgos = opciones.capas_adicionales[capa].rasgos;
    escribe_capa(kNumCapasEntidades + capa, rasgos.size(),
                 [&](std::size_t k) -> const RasgoSig& { return rasgos[k]; });
  }
  // A GeoPackage carries the styles with which a desktop GIS opens its layers.
  if (escritor.formato() == "GPKG" && escritor.conjunto_unico() != nullptr) {
    escribe_estilos_capas(*escritor.conjunto_unico(), sesion, numeros);
  }
  resultado.ficheros = escritor.confirma();
  resultado.formato = escritor.formato();
  resultado.avisos = escritor.avisos();
  return resultado;
}

int epsg_de_texto(const std::string& texto) {
  int codigo = 0;
  const bool epsg = texto.size() > 5 && (texto.starts_with("EPSG:") || texto.starts_with("epsg:"));
  if (!epsg || !lee_entero(std::string_view(texto).substr(5), codigo) || codigo <= 0) {
    throw ErrorEntradaSig(
        "El sistema de coordenadas se da como EPSG:N (por ejemplo EPSG:25830), "
        "no \"" +
        texto + "\"");
  }
  return codigo;
}

}  // namespace telmora
