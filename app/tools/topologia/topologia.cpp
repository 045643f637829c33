#include "topologia/topologia.h"

#include <optional>

#include "fichero.h"
#include "tabla_vekt.h"
#include "topologia/etiquetas_cota.h"

namespace telmora {

void selecciona_entrada(OpcionesTopologia& o, EntradaTopologia entrada) {
  o.islas = o.errores_centroides = o.arcos_colgantes = false;
  o.interpola_cotas = o.cotas_a_poligonos = o.cotas_a_tramos = false;
  o.graba_interpolacion = o.resaltar_poligono = false;
  switch (entrada) {
    case EntradaTopologia::todo:
      o.clase = ClasePoligonos::todas;
      break;
    case EntradaTopologia::no_envolventes:
      o.clase = ClasePoligonos::caras;
      break;
    case EntradaTopologia::envolventes:
      o.clase = ClasePoligonos::envolventes;
      break;
    case EntradaTopologia::islas:
      o.islas = true;
      break;
    case EntradaTopologia::errores_centroides:
      o.errores_centroides = true;
      break;
    case EntradaTopologia::arcos_colgantes:
      o.arcos_colgantes = true;
      o.clase = ClasePoligonos::todas;
      break;
    case EntradaTopologia::resaltar_poligono:
      o.resaltar_poligono = true;
      o.clase = ClasePoligonos::caras;
      break;
    case EntradaTopologia::cotas_calles:
    case EntradaTopologia::cotas_calles_graba:
      o.interpola_cotas = true;
      o.graba_interpolacion = entrada == EntradaTopologia::cotas_calles_graba;
      o.clase = ClasePoligonos::todas;
      break;
    case EntradaTopologia::cotas_a_recintos:
      o.cotas_a_poligonos = o.errores_centroides = true;
      o.clase = ClasePoligonos::todas;
      break;
    case EntradaTopologia::cotas_a_tramos:
      o.cotas_a_tramos = true;
      o.clase = ClasePoligonos::todas;
      break;
  }
}

namespace {

std::int32_t cuenta_caras(const TablaPoligonos& t, std::int32_t puntero) {
  std::int32_t n = 0;
  for (const ResumenPoligono& r : t.resumen) n += !r.sentido && r.Puntero_Sup == puntero;
  return n;
}

std::int32_t cuenta_textos(const GrafoTopologico& g, std::int32_t estado) {
  std::int32_t n = 0;
  for (const TextoTopologia& t : g.textos) n += t.centroide == estado;
  return n;
}

// Writes one listing, made (by `genera`, line by line) only when there is a folder for it; a
// failure is kept to be reported, and the run goes on.
void lista(ResultadoTopologia& r, const char* nombre,
           const std::function<void(const SalidaLineas&)>& genera) {
  if (r.opciones.carpeta_listados.empty()) return;
  try {
    escribe_listado(r.opciones.carpeta_listados / nombre, genera);
  } catch (const ErrorTelmora& error) {
    r.fallos_escritura.push_back(error.what());
  }
}

void pasa(const std::vector<std::string>& lineas, const SalidaLineas& salida) {
  for (const std::string& linea : lineas) salida(linea);
}

std::vector<std::string> lineas_de_topologia(const ResultadoTopologia& r) {
  std::vector<std::string> lineas{
      "Nodos encontrados :" + std::to_string(r.grafo.num_nodos()),
      "Tramos encontrados :" + std::to_string(r.grafo.num_tramos()),
      "Poligonos (abiertos/cerrados) encontrados :" + std::to_string(r.poligonos.num_poligonos()),
      "Arcos colgantes :" + std::to_string(r.grafo.nodos_valencia_1),
      "Poligonos cerrados:" + std::to_string(r.poligonos.num_cerrados()),
  };
  if (!r.poligonos.pasados.empty()) {
    lineas.push_back("Tramos pasados por alto :" + std::to_string(r.poligonos.pasados.size()));
  }
  return lineas;
}

}  // namespace

std::int32_t ResultadoTopologia::recintos_sin_centroide() const {
  return cuenta_caras(poligonos, 0);
}
std::int32_t ResultadoTopologia::recintos_con_varios() const {
  return cuenta_caras(poligonos, kVariosPoligonos);
}
std::int32_t ResultadoTopologia::textos_sin_recinto() const {
  return cuenta_textos(grafo, 0);
}
std::int32_t ResultadoTopologia::textos_en_varios() const {
  return cuenta_textos(grafo, kVariosPoligonos);
}

ResultadoTopologia ejecuta_topologia(const Sesion& sesion, const OpcionesTopologia& opciones,
                                     Progreso& progreso, const LienzoTopologia* lienzo) {
  const Hoja& hoja = sesion.hoja;
  ResultadoTopologia r;
  r.opciones = opciones;
  progreso.porcentaje(0, 0, 100);

  r.grafo = CargoNodosTramos(hoja);
  CuentaNodosV1(r.grafo);
  RellenamosVReal(r.grafo);
  if (!opciones.sin_poda()) {
    AnulaValencia1(r.grafo);
    ReCalculoTramos(r.grafo);
  }

  r.poligonos = proceso_recorrido(hoja, r.grafo, progreso);
  dibujarecintos(hoja, r.grafo, sesion.ajustes.uds, r.poligonos);
  calculaAdyacencia(r.grafo, r.poligonos);
  r.localizador = LocalizadorPoligonos(r.poligonos);
  lista(r, kListadoNodos, [&](const SalidaLineas& salida) {
    pasa(listado_nodos_tramos(r.grafo), salida);
    imprimepol(r.poligonos, salida);
  });

  std::optional<PintorTopologia> pintor;
  if (lienzo != nullptr) pintor.emplace(*lienzo, opciones.semilla_colores);
  // While the centroid check runs, polygons take the viewer's colour index, not random ones.
  const bool al_azar = !opciones.errores_centroides;
  if (pintor && !opciones.cotas_a_tramos) {
    lienzo->superficie.modo(ModoDibujo::copia);
    lienzo->superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
    pintor->dibujarecintos(r.poligonos, al_azar);
  }
  lista(r, kListadoPoli1,
        [&](const SalidaLineas& salida) { imprimepolVekt(r.poligonos, false, salida); });
  lista(r, kListadoPoli2,
        [&](const SalidaLineas& salida) { imprimepolVekt(r.poligonos, true, salida); });

  // The command chosen in the menu.
  if (opciones.islas) {
    BuscoIslas(r.poligonos, r.islas);
    if (pintor) pintor->PintoIslas(r.poligonos, r.islas);
    PoligonosComponentesIslas(r.grafo, r.poligonos, r.islas);
  } else if (opciones.errores_centroides) {
    BuscoIslas(r.poligonos, r.islas);
    PoligonosComponentesIslas(r.grafo, r.poligonos, r.islas);
    ChequeoCentroidesPoligonos(r.islas, r.poligonos, r.grafo);
    if (pintor && opciones.pares != nullptr) {
      pintor->pintoordenado_pares(hoja, r.grafo, r.poligonos, opciones.clase, *opciones.pares);
    } else if (pintor) {
      pintor->PintoErroresPoligono(r.poligonos);
      pintor->PintoErroresCentroides(r.grafo);
    }
  } else if (opciones.arcos_colgantes) {
    if (pintor) pintor->PintoErroresColgantes(r.grafo);
  } else if (!opciones.resaltar_poligono && pintor) {
    pintor->pintoordenado(r.poligonos, opciones.clase);
  }
  // The elevation commands, on the graph and polygons just built: the street labels are drawn
  // (and kept to be written with "Graba"); the in-place commands prepare their vertices.
  if (opciones.interpola_cotas) {
    const Rgb color = sesion.paleta.color(sesion.tabla.busca(kCodigoTextoCota).color);
    const ReceptorCotas receptor = [&](const EtiquetaCota& etiqueta) {
      if (pintor) pintor->pintaCota(etiqueta, color);
      if (opciones.graba_interpolacion) GrabaCotasEnFicheroNuevo(r.textos_cota, etiqueta);
      ++r.etiquetas_cota;
    };
    pintocotastramos(hoja, r.grafo, sesion.ajustes.uds, opciones.distancia_cotas, receptor);
    pintocotasextremocalles(r.grafo, sesion.ajustes.uds, receptor);
  }
  if (opciones.cotas_a_poligonos) r.cotas_recintos = BuscaCotaADar(hoja, r.grafo, r.poligonos);
  if (opciones.cotas_a_tramos) r.subida = ProcesarSubirCotaTramos(hoja, r.grafo);

  if (opciones.errores_centroides) {
    lista(r, kListadoAdyacencia, [&](const SalidaLineas& salida) {
      pasa(imprimeAdyacencia(hoja, r.grafo, r.poligonos), salida);
    });
  }
  lista(r, kListadoIslas, [&](const SalidaLineas& salida) { pasa(imprimeIslas(r.islas), salida); });
  lista(r, kListadoComponentes,
        [&](const SalidaLineas& salida) { pasa(imprimeComponentesIslas(r.islas), salida); });
  r.lineas_resultado = opciones.interpola_cotas
                           ? std::vector<std::string>{"GENERADOS LOS TEXTOS DE COTA"}
                           : lineas_de_topologia(r);
  r.opciones.pares = nullptr;
  return r;
}

std::string advertencia_cotas(const OpcionesTopologia& opciones) {
  return std::string("Atención el fichero quedará modificado en la Z de todos los elementos,\r") +
         (opciones.cotas_a_tramos ? "según la Z de los puntuales con código=PSCT"
                                  : "según la Z del texto que contengan");
}

void aplica_cotas(Sesion& sesion, ResultadoTopologia& r, Dialogos& dialogos, Progreso& progreso) {
  const OpcionesTopologia& o = r.opciones;
  if (o.interpola_cotas && o.graba_interpolacion) {
    try {
      anade_a_cot(ruta_cot(sesion.hoja.ruta), r.textos_cota);
    } catch (const ErrorTelmora& error) {
      r.fallos_escritura.push_back(error.what());
    }
    r.textos_cota = {};
  }
  if (!o.cotas_a_tramos && !o.cotas_a_poligonos) return;
  if (!dialogos.aceptar_cancelar(advertencia_cotas(o), "ADVERTENCIA")) return;
  const CambiosDeCota& cambios = o.cotas_a_tramos ? r.subida.cambios : r.cotas_recintos.cambios;
  const EscrituraCotas escritura = aplica_cambios_cota(sesion, cambios, progreso);
  r.elementos_modificados = escritura.escritos;
  if (!escritura.fallo.empty()) r.fallos_escritura.push_back(escritura.fallo);
  const std::string modificados = "Tramos modificados :" + std::to_string(escritura.escritos);
  if (o.cotas_a_tramos) {
    r.lineas_resultado = {
        "PSCT encontrados :" + std::to_string(r.subida.puntos.size()),
        "Tramos encontrados :" + std::to_string(r.subida.tramos.size()),
        modificados,
        "Tramos NO modificados :" + std::to_string(r.subida.no_modificados),
    };
  } else {
    r.lineas_resultado.push_back(modificados);
    r.lineas_resultado.push_back("Tramos NO modificados :" +
                                 std::to_string(r.cotas_recintos.sin_cota));
  }
}

ResultadoTopologia ejecuta_y_aplica_topologia(Sesion& sesion, const OpcionesTopologia& opciones,
                                              Progreso& progreso, const LienzoTopologia* lienzo,
                                              Dialogos& dialogos) {
  ResultadoTopologia r = ejecuta_topologia(sesion, opciones, progreso, lienzo);
  aplica_cotas(sesion, r, dialogos, progreso);
  return r;
}

void PintaPoligonoTopo(const ResultadoTopologia& resultado, const LienzoTopologia& lienzo) {
  PintorTopologia(lienzo, resultado.opciones.semilla_colores)
      .dibujarecintos(resultado.poligonos, true);
}

void PreparoPoligonoParaPintarYPinta(const ResultadoTopologia& resultado,
                                     const LienzoTopologia& lienzo, std::int32_t c) {
  if (c < 1 || c > resultado.poligonos.num_cerrados()) return;
  PintorTopologia(lienzo, 1).resalta(resultado.poligonos, c);
}

}  // namespace telmora
