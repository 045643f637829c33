#include "topologia/topologia.h"

#include "fichero.h"

namespace telmora {

bool OpcionesTopologia::sin_poda() const {
  return orden == EntradaTopologia::cotas_a_tramos || etiqueta_calles();
}

bool OpcionesTopologia::busca_islas() const {
  return orden == EntradaTopologia::islas || comprueba_centroides();
}

bool OpcionesTopologia::comprueba_centroides() const {
  return orden == EntradaTopologia::errores_centroides ||
         orden == EntradaTopologia::cotas_a_recintos;
}

bool OpcionesTopologia::etiqueta_calles() const {
  return orden == EntradaTopologia::cotas_calles || orden == EntradaTopologia::cotas_calles_graba;
}

bool OpcionesTopologia::modifica_cotas() const {
  return orden == EntradaTopologia::cotas_a_tramos || orden == EntradaTopologia::cotas_a_recintos;
}

void selecciona_entrada(OpcionesTopologia& o, EntradaTopologia entrada) {
  o.orden = entrada;
  switch (entrada) {
    case EntradaTopologia::todo:
    case EntradaTopologia::arcos_colgantes:
    case EntradaTopologia::cotas_calles:
    case EntradaTopologia::cotas_calles_graba:
    case EntradaTopologia::cotas_a_recintos:
    case EntradaTopologia::cotas_a_tramos:
      o.clase = ClasePoligonos::todas;
      break;
    case EntradaTopologia::no_envolventes:
    case EntradaTopologia::resaltar_poligono:
      o.clase = ClasePoligonos::caras;
      break;
    case EntradaTopologia::envolventes:
      o.clase = ClasePoligonos::envolventes;
      break;
    case EntradaTopologia::islas:
    case EntradaTopologia::errores_centroides:
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

std::vector<std::string> ResultadoTopologia::lineas_y_recuentos() const {
  std::vector<std::string> lineas = lineas_resultado;
  if (opciones.orden == EntradaTopologia::islas) {
    lineas.push_back("Islas encontradas :" + std::to_string(islas.islas.size()));
  } else if (opciones.orden == EntradaTopologia::errores_centroides) {
    lineas.push_back("Recintos sin centroide :" + std::to_string(recintos_sin_centroide()));
    lineas.push_back("Recintos con varios centroides :" + std::to_string(recintos_con_varios()));
    lineas.push_back("Textos NoPol :" + std::to_string(textos_sin_recinto()));
    lineas.push_back("Textos +Pol :" + std::to_string(textos_en_varios()));
  }
  return lineas;
}

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

ResultadoTopologia ejecuta_topologia(const Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                     const OpcionesTopologia& opciones, Progreso& progreso,
                                     InformeTopologia& informe) {
  const Hoja& hoja = sesion.hoja;
  const int uds = sesion.ajustes.uds;
  ResultadoTopologia r;
  r.opciones = opciones;
  progreso.porcentaje(0, 0, 100);

  r.grafo = CargoNodosTramos(hoja, dibujadas);
  CuentaNodosV1(r.grafo);
  RellenamosVReal(r.grafo);
  if (!opciones.sin_poda()) {
    AnulaValencia1(r.grafo);
    ReCalculoTramos(r.grafo);
  }

  r.poligonos = proceso_recorrido(hoja, r.grafo, progreso);
  construye_recintos(hoja, r.grafo, uds, r.poligonos);
  calculaAdyacencia(r.grafo, r.poligonos);
  r.localizador = LocalizadorPoligonos(r.poligonos);
  informe.poligonos_construidos(hoja, r);

  // The command chosen in the menu.
  if (opciones.busca_islas()) {
    BuscoIslas(r.poligonos, r.islas);
    PoligonosComponentesIslas(r.grafo, r.poligonos, r.islas);
  }
  if (opciones.comprueba_centroides()) ChequeoCentroidesPoligonos(r.islas, r.poligonos, r.grafo);
  if (opciones.etiqueta_calles()) {
    const ReceptorCotas receptor = [&](const EtiquetaCota& e) { r.etiquetas_cota.push_back(e); };
    pintocotastramos(hoja, r.grafo, uds, opciones.distancia_cotas, receptor);
    pintocotasextremocalles(r.grafo, uds, receptor);
  }
  if (opciones.orden == EntradaTopologia::cotas_a_recintos) {
    r.cotas_recintos = BuscaCotaADar(hoja, r.grafo, r.poligonos);
  }
  if (opciones.orden == EntradaTopologia::cotas_a_tramos) {
    r.subida = ProcesarSubirCotaTramos(hoja, dibujadas, r.grafo);
  }
  r.lineas_resultado = opciones.etiqueta_calles()
                           ? std::vector<std::string>{"GENERADOS LOS TEXTOS DE COTA"}
                           : lineas_de_topologia(r);
  informe.orden_ejecutada(hoja, r);
  return r;
}

void ListadosTopologia::lista(const char* nombre,
                              const std::function<void(const SalidaLineas&)>& genera) {
  try {
    escribe_listado(carpeta_ / nombre, genera);
  } catch (const ErrorTelmora& error) {
    fallos.push_back(error.what());
  }
}

void ListadosTopologia::poligonos_construidos(const Hoja& /*hoja*/, const ResultadoTopologia& r) {
  lista(kListadoNodos, [&](const SalidaLineas& salida) {
    pasa(listado_nodos_tramos(r.grafo), salida);
    imprimepol(r.poligonos, salida);
  });
  lista(kListadoPoli1,
        [&](const SalidaLineas& salida) { imprimepolVekt(r.poligonos, false, salida); });
  lista(kListadoPoli2,
        [&](const SalidaLineas& salida) { imprimepolVekt(r.poligonos, true, salida); });
}

void ListadosTopologia::orden_ejecutada(const Hoja& hoja, const ResultadoTopologia& r) {
  if (r.opciones.comprueba_centroides()) {
    lista(kListadoAdyacencia, [&](const SalidaLineas& salida) {
      pasa(imprimeAdyacencia(hoja, r.grafo, r.poligonos), salida);
    });
  }
  lista(kListadoIslas, [&](const SalidaLineas& salida) { pasa(imprimeIslas(r.islas), salida); });
  lista(kListadoComponentes,
        [&](const SalidaLineas& salida) { pasa(imprimeComponentesIslas(r.islas), salida); });
}

std::string advertencia_cotas(const OpcionesTopologia& opciones) {
  return std::string("Atención el fichero quedará modificado en la Z de todos los elementos,\r") +
         (opciones.orden == EntradaTopologia::cotas_a_tramos
              ? "según la Z de los puntuales con código=PSCT"
              : "según la Z del texto que contengan");
}

void graba_cotas_calles(const Sesion& sesion, ResultadoTopologia& r) {
  if (r.opciones.orden != EntradaTopologia::cotas_calles_graba) return;
  std::string textos;
  for (const EtiquetaCota& etiqueta : r.etiquetas_cota) GrabaCotasEnFicheroNuevo(textos, etiqueta);
  try {
    anade_a_cot(ruta_cot(sesion.hoja.ruta), textos);
  } catch (const ErrorTelmora& error) {
    r.fallos_escritura.push_back(error.what());
  }
}

void aplica_cotas(Sesion& sesion, ResultadoTopologia& r, Dialogos& dialogos, Progreso& progreso) {
  graba_cotas_calles(sesion, r);
  const OpcionesTopologia& o = r.opciones;
  if (!o.modifica_cotas()) return;
  if (!dialogos.aceptar_cancelar(advertencia_cotas(o), "ADVERTENCIA")) return;
  const bool psct = o.orden == EntradaTopologia::cotas_a_tramos;
  const CambiosDeCota& cambios = psct ? r.subida.cambios : r.cotas_recintos.cambios;
  const EscrituraCotas escritura = aplica_cambios_cota(sesion, cambios, progreso);
  r.elementos_modificados = escritura.escritos;
  if (!escritura.fallo.empty()) r.fallos_escritura.push_back(escritura.fallo);
  const std::string modificados = "Tramos modificados :" + std::to_string(escritura.escritos);
  if (psct) {
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

}  // namespace telmora
