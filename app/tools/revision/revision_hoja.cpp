#include "revision/revision_hoja.h"

#include <algorithm>

namespace telmora {

void anade_recuentos(RecuentosRevision& r, const AnalisisBin& analisis) {
  r.entidades = analisis.cartograficas + analisis.textos;
  r.lineales = analisis.lineales();
  r.puntuales = analisis.puntuales;
  r.textos = analisis.textos;
  r.codigos_no_encontrados = static_cast<std::int64_t>(analisis.no_encontrados.size());
}

void anade_recuentos(RecuentosRevision& r, const ResultadoDuplicados& duplicados) {
  const auto cuenta = [&](std::int32_t a, std::int32_t b) {
    return std::count_if(duplicados.marcas.begin() + (duplicados.marcas.empty() ? 0 : 1),
                         duplicados.marcas.end(),
                         [&](std::int8_t marca) { return marca == a || marca == b; });
  };
  r.duplicados = cuenta(kDuplicadoExacto, kDuplicadoSimilar);
  r.segmentos_compartidos = cuenta(kSegmentosIdenticos, kSegmentosCercanos);
}

void anade_recuentos(RecuentosRevision& r, const ResultadoPdobles& pdobles) {
  r.puntos_dobles = pdobles.puntos_eliminados;
  r.lazos = pdobles.lazos;
  r.semilazos = pdobles.semilazos;
  r.segmentos_duplicados = pdobles.duplicados;
}

void anade_recuentos(RecuentosRevision& r, const ResultadoTopologia& topologia) {
  r.poligonos_cerrados = topologia.poligonos.num_cerrados();
  r.sin_centroide = topologia.recintos_sin_centroide();
  r.varios_centroides = topologia.recintos_con_varios();
  r.nopol = topologia.textos_sin_recinto();
  r.maspol = topologia.textos_en_varios();
  r.arcos_colgantes = topologia.grafo.nodos_valencia_1;
}

void anade_recuentos(RecuentosRevision& r, const ResultadoBinjunta& binjunta) {
  r.nodos_movidos = binjunta.nodos_movidos;
  r.elementos_partidos = binjunta.elementos_partidos;
}

RevisionHoja revisa_hoja(const Sesion& sesion, const EntidadesDibujadas& dibujadas,
                         const ToleranciasPdobles& tolerancias, Progreso& progreso) {
  RevisionHoja revision;
  RecuentosRevision& r = revision.recuentos;
  progreso.paso("Informe del fichero");
  anade_recuentos(r, analiza_bin(sesion.hoja, sesion.tabla, progreso));
  progreso.paso("Duplicados");
  revision.duplicados = Duplicados(sesion, OpcionesDuplicados{}, progreso);
  anade_recuentos(r, revision.duplicados);
  progreso.paso("Puntos dobles");
  anade_recuentos(r, Proceso_pdobles(sesion, tolerancias, progreso));
  progreso.paso("Topología");
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, EntradaTopologia::errores_centroides);
  revision.topologia = ejecuta_topologia(sesion, dibujadas, opciones, progreso);
  anade_recuentos(r, revision.topologia);
  anade_recuentos(r, ejecuta_binjunta(sesion, dibujadas, progreso));
  return revision;
}

}  // namespace telmora
