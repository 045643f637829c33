#include "topologia/dibujo_topologia.h"

#include <chrono>

#include "pintor.h"

namespace telmora {

std::vector<int> colores_al_azar(const Paleta& paleta, Rgb fondo) {
  std::vector<int> colores, todos;
  for (int indice = 1; indice <= kColoresAlAzar; ++indice) {
    todos.push_back(indice);
    if (paleta.define(indice) && paleta.color(indice) != fondo) colores.push_back(indice);
  }
  return colores.empty() ? todos : colores;
}

PintorTopologia::PintorTopologia(const LienzoTopologia& lienzo, std::uint64_t semilla)
    : lienzo_(lienzo),
      colores_(colores_al_azar(lienzo.paleta, lienzo.fondo)),
      azar_(semilla != 0 ? semilla
                         : static_cast<std::uint64_t>(
                               std::chrono::steady_clock::now().time_since_epoch().count())) {}

int PintorTopologia::color_al_azar() {
  std::uniform_int_distribution<std::size_t> eleccion(0, colores_.size() - 1);
  return colores_[eleccion(azar_)];
}

const std::vector<PuntoPantalla>& PintorTopologia::puntos(const TablaPoligonos& tabla,
                                                          std::int32_t c) {
  puntos_.clear();
  for (const Vertice& v : tabla.vertices_de(c)) {
    puntos_.push_back(a_pantalla(lienzo_.vista, v, lienzo_.uds));
  }
  return puntos_;
}

void PintorTopologia::rellena(const TablaPoligonos& tabla, std::int32_t c, Rgb color) {
  lienzo_.superficie.pluma(lienzo_.estilo_pluma, 0, color);
  lienzo_.superficie.pincel(color);
  lienzo_.superficie.poligono(puntos(tabla, c));
}

void PintorTopologia::pintaPoligono(const TablaPoligonos& tabla, std::int32_t c, bool al_azar) {
  if (al_azar) color_actual = color_al_azar();
  rellena(tabla, c, lienzo_.paleta.color(color_actual));
}

void PintorTopologia::resalta(const TablaPoligonos& tabla, std::int32_t c) {
  lienzo_.superficie.pluma(lienzo_.estilo_pluma, kAnchoResaltado,
                           lienzo_.paleta.color(kColorResaltado));
  lienzo_.superficie.polilinea(puntos(tabla, c));
}

void PintorTopologia::dibujarecintos(const TablaPoligonos& tabla, bool al_azar) {
  for (std::int32_t c = 1; c <= tabla.num_cerrados(); ++c) pintaPoligono(tabla, c, al_azar);
}

bool PintorTopologia::se_ve(const ResumenPoligono& r, ClasePoligonos clase) const {
  return clase == ClasePoligonos::todas || (clase == ClasePoligonos::envolventes && r.sentido) ||
         (clase == ClasePoligonos::caras && !r.sentido);
}

void PintorTopologia::pintoordenado(const TablaPoligonos& tabla, ClasePoligonos clase) {
  for (auto c = tabla.por_superficie.rbegin(); c != tabla.por_superficie.rend(); ++c) {
    if (se_ve(tabla.resumen_de(*c), clase)) pintaPoligono(tabla, *c, true);
  }
}

void PintorTopologia::pintoordenado_pares(const Hoja& hoja, const GrafoTopologico& grafo,
                                          const TablaPoligonos& tabla, ClasePoligonos clase,
                                          const ConsultaPares& pares) {
  const Vista& vista = lienzo_.vista;
  const int altura = altura_fuente_px(kTamanoMarcas, vista.twips_por_pixel());
  for (auto c = tabla.por_superficie.rbegin(); c != tabla.por_superficie.rend(); ++c) {
    const ResumenPoligono& r = tabla.resumen_de(*c);
    if (!se_ve(r, clase)) continue;
    if (r.sentido || r.Puntero_Sup <= 0) {
      const int indice = r.Puntero_Sup < 0 ? kColorVariosCentroides : kColorSinCentroide;
      rellena(tabla, *c, lienzo_.paleta.color(indice));
      continue;
    }
    // The centroid text names the face's stereo pair.
    const TextoTopologia& centroide = grafo.textos[std::size_t(r.Puntero_Sup - 1)];
    std::int32_t operador = 0;
    const bool bloqueado =
        pares.BuscaRecinto(hoja.texto(hoja.t[std::size_t(centroide.posicion - 1)]), operador);
    rellena(tabla, *c, bloqueado ? kColorParBloqueado : kColorParLibre);
    if (!bloqueado) continue;
    const PuntoPantalla p = a_pantalla(vista, Vertice{centroide.x, centroide.y, 0}, lienzo_.uds);
    lienzo_.superficie.texto(p.x, p.y, std::to_string(operador), altura, 0,
                             {Horizontal::centro, Vertical::centro},
                             color_legible(kColorParBloqueado));
  }
}

void PintorTopologia::PintoIslas(const TablaPoligonos& tabla, const IslasTopologia& islas) {
  for (const Isla& i : islas.islas) pintaPoligono(tabla, i.Pol_Interno, true);
}

void PintorTopologia::PintoErroresPoligono(const TablaPoligonos& tabla) {
  for (const ResumenPoligono& r : tabla.resumen) {
    if (r.sentido || r.Puntero_Sup > 0) continue;
    color_actual = r.Puntero_Sup == 0 ? kColorSinCentroide : kColorVariosCentroides;
    pintaPoligono(tabla, r.NumPol, false);
  }
}

void PintorTopologia::PintoErroresCentroides(const GrafoTopologico& grafo) {
  for (const TextoTopologia& t : grafo.textos) {
    if (t.centroide < 1) pintaPuntoTexto(t.x, t.y, std::to_string(t.centroide));
  }
}

void PintorTopologia::PintoErroresColgantes(const GrafoTopologico& grafo) {
  for (const Nodo& n : grafo.nodos) {
    if (n.valenciaReal == 1) pintaPuntoTexto(n.x, n.y, "*");
  }
}

void PintorTopologia::pintaCota(const EtiquetaCota& etiqueta, Rgb color) {
  const PuntoPantalla p =
      a_pantalla(lienzo_.vista, etiqueta.x / lienzo_.uds, etiqueta.y / lienzo_.uds);
  Pintor::PintoUnTexto(lienzo_.superficie, p.x, p.y, etiqueta.texto, 0, kAlturaTextoCota, 0, color,
                       lienzo_.vista, lienzo_.uds);
}

void PintorTopologia::pintaPuntoTexto(std::int32_t x, std::int32_t y, const std::string& texto) {
  const std::string escrito = texto == "0" ? "NoPol" : texto == "-2" ? "+Pol" : texto;
  const Rgb color = lienzo_.paleta.color(color_al_azar());
  const Vista& vista = lienzo_.vista;
  const PuntoPantalla p = a_pantalla(vista, Vertice{x, y, 0}, lienzo_.uds);
  lienzo_.superficie.texto(p.x, p.y, escrito,
                           altura_fuente_px(kTamanoMarcas, vista.twips_por_pixel()), 0,
                           {Horizontal::izquierda, Vertical::arriba}, color);
}

void dibuja_topologia(const Sesion& sesion, const ResultadoTopologia& r,
                      const LienzoTopologia& lienzo, const ConsultaPares* pares) {
  const OpcionesTopologia& o = r.opciones;
  PintorTopologia pintor(lienzo, 0);
  if (o.orden != EntradaTopologia::cotas_a_tramos) {
    lienzo.superficie.modo(ModoDibujo::copia);
    lienzo.superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
    // While the centroid check runs, polygons take the viewer's colour index, not random ones.
    pintor.dibujarecintos(r.poligonos, !o.comprueba_centroides());
  }
  if (o.orden == EntradaTopologia::islas) {
    pintor.PintoIslas(r.poligonos, r.islas);
  } else if (o.comprueba_centroides()) {
    if (pares != nullptr) {
      pintor.pintoordenado_pares(sesion.hoja, r.grafo, r.poligonos, o.clase, *pares);
    } else {
      pintor.PintoErroresPoligono(r.poligonos);
      pintor.PintoErroresCentroides(r.grafo);
    }
  } else if (o.orden == EntradaTopologia::arcos_colgantes) {
    pintor.PintoErroresColgantes(r.grafo);
  } else if (o.orden != EntradaTopologia::resaltar_poligono) {
    pintor.pintoordenado(r.poligonos, o.clase);
  }
  if (!r.etiquetas_cota.empty()) {
    const Rgb color = sesion.paleta.color(sesion.tabla.busca(kCodigoTextoCota).color);
    for (const EtiquetaCota& etiqueta : r.etiquetas_cota) pintor.pintaCota(etiqueta, color);
  }
}

void PintaPoligonoTopo(const ResultadoTopologia& resultado, const LienzoTopologia& lienzo) {
  PintorTopologia(lienzo, 0).dibujarecintos(resultado.poligonos, true);
}

void PreparoPoligonoParaPintarYPinta(const ResultadoTopologia& resultado,
                                     const LienzoTopologia& lienzo, std::int32_t c) {
  if (c < 1 || c > resultado.poligonos.num_cerrados()) return;
  PintorTopologia(lienzo, 1).resalta(resultado.poligonos, c);
}

ResultadoTopologia ejecuta_y_aplica_topologia(Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                              const OpcionesTopologia& opciones,
                                              const SalidasTopologia& salidas, Progreso& progreso,
                                              Dialogos* dialogos) {
  ListadosTopologia listados(salidas.carpeta_listados);
  InformeTopologia& informe =
      salidas.carpeta_listados.empty() ? InformeTopologia::ninguno() : listados;
  ResultadoTopologia r = ejecuta_topologia(sesion, dibujadas, opciones, progreso, informe);
  r.fallos_escritura = std::move(listados.fallos);
  if (salidas.lienzo != nullptr) dibuja_topologia(sesion, r, *salidas.lienzo, salidas.pares);
  if (salidas.muestra) salidas.muestra();
  if (dialogos != nullptr) aplica_cotas(sesion, r, *dialogos, progreso);
  return r;
}

}  // namespace telmora
