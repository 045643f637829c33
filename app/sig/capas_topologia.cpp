#include "capas_topologia.h"

#include <span>
#include <string>

#include "mapeo_entidades.h"
#include "topologia/dibujo_topologia.h"

namespace telmora {

namespace {

// Size of the marks, as the viewer writes them.
const std::string kTamanoMarca = std::to_string(kTamanoMarcas) + "pt";

PuntoSig en_metros(std::int32_t x, std::int32_t y, std::int32_t z, double uds) {
  return {x / uds, y / uds, z / uds};
}

void anade_anillo(RasgoSig& rasgo, std::span<const Vertice> anillo, double uds) {
  for (const Vertice& v : anillo) rasgo.puntos.push_back(en_metros(v.x, v.y, v.z, uds));
  rasgo.cierra_parte(ClaseParte::anillo);
}

// The envelopes each closed polygon holds directly as islands. An envelope inside nested faces
// is listed with each of them; it is a hole of the innermost one, the smallest.
std::vector<std::vector<std::int32_t>> huecos_de_caras(const TablaPoligonos& tabla,
                                                       const IslasTopologia& islas) {
  const auto cerrados = static_cast<std::size_t>(tabla.num_cerrados());
  std::vector<std::int32_t> cara_de(cerrados + 1, 0);
  for (const Isla& isla : islas.islas) {
    std::int32_t& cara = cara_de[static_cast<std::size_t>(isla.Pol_Interno)];
    if (cara == 0 || tabla.resumen_de(isla.Pol_Externo).Sup < tabla.resumen_de(cara).Sup) {
      cara = isla.Pol_Externo;
    }
  }
  std::vector<std::vector<std::int32_t>> huecos(cerrados + 1);
  for (std::size_t envolvente = 1; envolvente <= cerrados; ++envolvente) {
    if (cara_de[envolvente] != 0) {
      huecos[static_cast<std::size_t>(cara_de[envolvente])].push_back(
          static_cast<std::int32_t>(envolvente));
    }
  }
  return huecos;
}

const Entidad& texto_de_lista(const Hoja& hoja, const TextoTopologia& texto) {
  return hoja.t[static_cast<std::size_t>(texto.posicion - 1)];
}

CapaDeValores capa_recintos(const Sesion& sesion, const ResultadoTopologia& r) {
  const Hoja& hoja = sesion.hoja;
  const TablaPoligonos& tabla = r.poligonos;
  const double uds = sesion.ajustes.uds;
  const auto huecos = huecos_de_caras(tabla, r.islas);
  CapaDeValores capa{{kCapaRecintosTopologia,
                      TipoGeometria::poligono,
                      {{"recinto", TipoCampo::entero},
                       {"superficie", TipoCampo::real},
                       {"error", TipoCampo::texto},
                       {"centroide", TipoCampo::texto},
                       {"entidad_centroide", TipoCampo::entero}}},
                     {}};
  for (const ResumenPoligono& resumen : tabla.resumen) {
    if (resumen.sentido) continue;
    RasgoSig rasgo;
    anade_anillo(rasgo, tabla.vertices_de(resumen.NumPol), uds);
    for (const std::int32_t hueco : huecos[static_cast<std::size_t>(resumen.NumPol)]) {
      anade_anillo(rasgo, tabla.vertices_de(hueco), uds);
    }
    ValorSig centroide, entidad;
    std::string error = "ninguno";
    int indice_color = 0;
    if (resumen.Puntero_Sup == 0) {
      error = "sin centroide";
      indice_color = kColorSinCentroide;
    } else if (resumen.Puntero_Sup < 0) {
      error = "varios centroides";
      indice_color = kColorVariosCentroides;
    } else {
      const Entidad& texto =
          texto_de_lista(hoja, r.grafo.textos[static_cast<std::size_t>(resumen.Puntero_Sup - 1)]);
      centroide = hoja.texto(texto);
      entidad = std::int64_t{texto.numero};
    }
    rasgo.valores = {std::int64_t{resumen.NumPol}, resumen.Sup, error, centroide, entidad};
    const std::string color = color_html(sesion.paleta.color(indice_color));
    rasgo.estilo = "PEN(c:" + color + ",w:1px)";
    if (indice_color != 0) rasgo.estilo = "BRUSH(fc:" + color + ");" + rasgo.estilo;
    capa.rasgos.push_back(std::move(rasgo));
  }
  return capa;
}

CapaDeValores capa_errores(const Sesion& sesion, const ResultadoTopologia& r) {
  const Hoja& hoja = sesion.hoja;
  const double uds = sesion.ajustes.uds;
  CapaDeValores capa{{kCapaErroresTopologia,
                      TipoGeometria::punto,
                      {{"marca", TipoCampo::texto},
                       {"error", TipoCampo::texto},
                       {"entidad", TipoCampo::entero},
                       {"texto", TipoCampo::texto},
                       {"nodo", TipoCampo::entero}}},
                     {}};
  auto anade = [&](PuntoSig punto, const std::string& marca, const char* error, ValorSig entidad,
                   ValorSig texto, ValorSig nodo) {
    RasgoSig rasgo;
    rasgo.puntos.push_back(punto);
    rasgo.cierra_parte(ClaseParte::punto);
    rasgo.valores = {marca, std::string(error), std::move(entidad), std::move(texto),
                     std::move(nodo)};
    // Written from the point down and to the right, as the viewer writes them.
    rasgo.estilo = "LABEL(t:\"" + marca + "\",s:" + kTamanoMarca + ",p:7)";
    capa.rasgos.push_back(std::move(rasgo));
  };
  for (const TextoTopologia& t : r.grafo.textos) {
    if (t.centroide > 0) continue;
    const bool fuera = t.centroide == 0;
    const Entidad& texto = texto_de_lista(hoja, t);
    anade(en_metros(t.x, t.y, t.z, uds), fuera ? "NoPol" : "+Pol",
          fuera ? "texto sin recinto" : "texto en varios recintos", std::int64_t{texto.numero},
          hoja.texto(texto), {});
  }
  for (std::int32_t n = 1; n <= r.grafo.num_nodos(); ++n) {
    const Nodo& nodo = r.grafo.nodo(n);
    if (nodo.valenciaReal != 1) continue;
    anade(en_metros(nodo.x, nodo.y, nodo.z, uds), "*", "extremo colgante", {}, {}, std::int64_t{n});
  }
  return capa;
}

}  // namespace

std::vector<CapaDeValores> capas_topologia(const Sesion& sesion,
                                           const ResultadoTopologia& resultado) {
  std::vector<CapaDeValores> capas;
  capas.push_back(capa_recintos(sesion, resultado));
  capas.push_back(capa_errores(sesion, resultado));
  return capas;
}

}  // namespace telmora
