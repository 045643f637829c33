#include "depuracion/binjunta.h"

#include <string>

#include "fichero.h"
#include "funciones.h"
#include "indice_espacial.h"
#include "marcador_borrados.h"

namespace telmora {

namespace {

// The listings go to the folder asked for, else to the working folder, else beside the sheet.
std::filesystem::path carpeta_de_listados(const Sesion& sesion, const OpcionesBinjunta& opciones) {
  if (!opciones.carpeta_listados.empty()) return opciones.carpeta_listados;
  if (!sesion.ajustes.dir_trabajo.empty()) return sesion.ajustes.dir_trabajo;
  return sesion.ajustes.fich_entrada.parent_path();
}

// The records that replace an element: one per piece, with the element's header and attributes,
// and a range rebuilt from the piece.
std::string registros_de(const Hoja& hoja, const Entidad& e,
                         const std::vector<std::vector<Vertice>>& piezas) {
  std::string bytes;
  for (const auto& pieza : piezas) {
    Cabecera cabecera = hoja.cabecera_de(e);
    cabecera.num_puntos = static_cast<std::int16_t>(pieza.size());
    Rango rango;
    calcula_rango_entidad(rango, pieza);
    rango.septimo = kSeptimoElementoNuevo;
    rango.octavo = kOctavoElementoNuevo;
    rango.noveno = kNovenoElementoNuevo;
    escribe_entidad(bytes, cabecera, rango, pieza, {}, hoja.atributos_de(e));
  }
  return bytes;
}

// What becomes of the elements of a run in the file.
struct Destinos {
  const std::vector<std::vector<std::vector<Vertice>>>& piezas;  // per cut-table entry
  std::vector<unsigned char> partido;                            // per element (1-based)
};

Destinos destinos_de(const ResultadoBinjunta& resultado) {
  const RedBinjunta& red = *resultado.red;
  Destinos d{resultado.piezas, {}};
  d.partido.assign(static_cast<std::size_t>(red.num_elementos()) + 1, 0);
  const auto& entradas = red.cortes.entradas();
  for (std::size_t k = 0; k < entradas.size(); ++k) {
    if (d.piezas[k].size() >= 2) d.partido[static_cast<std::size_t>(entradas[k].elemento)] = 1;
  }
  return d;
}

// One change of the sheet: elements moved whole are rewritten in place, shortened or split ones
// replaced by their pieces.
std::int32_t escribe_cambios(Hoja& hoja, const RedBinjunta& red, const Destinos& d) {
  MarcadorBorrados marcador(hoja);
  auto entidad = [&](std::int32_t e) -> const Entidad& {
    return hoja.c[static_cast<std::size_t>(e - 1)];
  };
  auto partido = [&](std::int32_t e) { return d.partido[static_cast<std::size_t>(e)] != 0; };
  for (std::int32_t e = 1; e <= red.num_elementos(); ++e) {
    if (!red.movido(e) || red.acortado(e) || partido(e)) continue;
    Rango rango = hoja.rango_de(entidad(e));
    calcula_rango_entidad(rango, red.vertices(e));
    marcador.reescribe_vertices(entidad(e).numero, rango, red.vertices(e));
  }
  auto sustituye = [&](std::int32_t e, const std::vector<std::vector<Vertice>>& piezas) {
    marcador.sustituye(entidad(e).numero, registros_de(hoja, entidad(e), piezas));
  };
  for (std::int32_t e = 1; e <= red.num_elementos(); ++e) {
    if (!red.acortado(e) || partido(e)) continue;
    const auto v = red.vertices(e);
    sustituye(e, {std::vector<Vertice>(v.begin(), v.end())});
  }
  std::int32_t partidos = 0;
  const auto& entradas = red.cortes.entradas();
  for (std::size_t k = 0; k < entradas.size(); ++k) {
    if (!partido(entradas[k].elemento)) continue;
    sustituye(entradas[k].elemento, d.piezas[k]);
    ++partidos;
  }
  marcador.confirma();
  return partidos;
}

}  // namespace

void BuscaInterTramosEntidad(RedBinjunta& red, Progreso& progreso) {
  const std::vector<ElementoCortable> elementos = red.elementos_cortables();
  const ParesEntreElementos pares(elementos);
  ContadorPorcentaje avance(progreso, static_cast<std::int64_t>(elementos.size()));
  std::vector<ParSegmentos> lista;
  for (std::size_t i = 0; i < elementos.size(); ++i) {
    avance.avanza(static_cast<std::int64_t>(i) + 1);
    pares.pares_de(i, lista);
    for (const ParSegmentos& p : lista) {
      corta_en_cruce(elementos[i], p.v, elementos[static_cast<std::size_t>(p.j)], p.w,
                     red.tolerancia(), red.cortes);
    }
  }
}

std::vector<std::string> ResultadoBinjunta::lineas() const {
  return {"Nodos movidos :" + std::to_string(nodos_movidos),
          "Elementos partidos :" + std::to_string(elementos_partidos)};
}

ResultadoBinjunta ejecuta_binjunta(const Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                   Progreso& progreso, const BusquedasBinjunta& busquedas) {
  ResultadoBinjunta resultado;
  resultado.red =
      std::make_unique<RedBinjunta>(sesion.hoja, dibujadas, tolerancia_binjunta(sesion.ajustes));
  RedBinjunta& red = *resultado.red;
  resultado.listado_nodos = listado_nodos_tramos(red.grafo);
  progreso.paso("Nodos próximos");
  busquedas.nodo_a_nodo(red, progreso);
  progreso.paso("Nodos próximos a elementos");
  busquedas.nodo_a_elemento(red, progreso);
  progreso.paso("Cruces entre elementos");
  busquedas.cruces(red, progreso);
  resultado.nodos_movidos = red.nodos_movidos;
  for (const ElementoAPartir& entrada : red.cortes.entradas()) {
    resultado.piezas.push_back(piezas_de(red.vertices(entrada.elemento), entrada.cortes));
    resultado.elementos_partidos += resultado.piezas.back().size() >= 2;
  }
  return resultado;
}

void escribe_listados_binjunta(const ResultadoBinjunta& resultado,
                               const std::filesystem::path& carpeta) {
  escribe_lineas(carpeta / kListadoNodos, resultado.listado_nodos);
  escribe_lineas(carpeta / kListadoCortes, imprimeEntidadesPartidas(resultado.red->cortes));
}

ResultadoBinjunta ejecuta_y_aplica_binjunta(Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                            const OpcionesBinjunta& opciones, Progreso& progreso,
                                            const BusquedasBinjunta& busquedas) {
  ResultadoBinjunta resultado = ejecuta_binjunta(sesion, dibujadas, progreso, busquedas);
  escribe_listados_binjunta(resultado, carpeta_de_listados(sesion, opciones));
  aplica_binjunta(sesion, resultado);
  return resultado;
}

std::int32_t aplica_binjunta(Sesion& sesion, const ResultadoBinjunta& resultado) {
  const Destinos destinos = destinos_de(resultado);
  try {
    const std::int32_t partidos = escribe_cambios(sesion.hoja, *resultado.red, destinos);
    sesion.indice_espacial = IndiceEspacial(sesion.hoja);
    return partidos;
  } catch (...) {
    sesion.indice_espacial = IndiceEspacial(sesion.hoja);
    throw;
  }
}

}  // namespace telmora
