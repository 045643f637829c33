#include "visor/control_visor.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "fichero.h"
#include "hoja_abierta.h"
#include "modulo_apis.h"

namespace telmora {

namespace {

constexpr double kPasoZoom = 1.5;
constexpr int kAnchoPuntoMedida = 10;
constexpr int kAnchoCirculoMedida = 5;
// Inverted drawing ignores the pen's colour: the marks show on any background, and drawing
// them again gives back exactly the picture they covered.
constexpr Rgb kColorInversion{255, 255, 255};

}  // namespace

std::string formato_es(double valor, int decimales) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimales, std::fabs(valor));
  std::string numero(buffer);
  const auto punto = numero.find('.');
  std::string entera = numero.substr(0, punto);
  std::string agrupada;
  for (std::size_t i = 0; i < entera.size(); ++i) {
    if (i > 0 && (entera.size() - i) % 3 == 0) agrupada += '.';
    agrupada += entera[i];
  }
  if (punto != std::string::npos) agrupada += "," + numero.substr(punto + 1);
  const bool cero = agrupada.find_first_not_of("0.,") == std::string::npos;
  return (valor < 0 && !cero ? "-" : "") + agrupada;
}

std::string escala_en_texto(double escala) {
  std::string texto = formato_es(escala, 3);
  while (texto.ends_with('0')) texto.pop_back();
  if (texto.ends_with(',')) texto.pop_back();
  return texto;
}

std::string corta_tres_decimales(const std::string& texto) {
  const auto separador = texto.find(',');
  if (separador == std::string::npos) return texto;
  return texto.substr(0, separador + 4);
}

ControlVisor::ControlVisor(Sesion& sesion, PantallaVisor& pantalla, Dialogos& dialogos)
    : sesion_(sesion), pantalla_(pantalla), dialogos_(dialogos), pintor_(sesion) {}

void ControlVisor::dimensiona(int ancho, int alto, double twips_por_pixel) {
  // The whole sheet stays whole; any other view keeps its centre and scale, so a larger area
  // shows more of the map.
  const double cx = (vista.xmin + vista.xmax) / 2, cy = (vista.ymin + vista.ymax) / 2;
  vista.dimensiona(ancho, alto, twips_por_pixel);
  if (vista_de_fichero_) {
    vista.zoom_todo();
  } else {
    vista.DesplazaCentro(cx, cy);
    vista.calculo_escala();
  }
  muestra_escala();
}

void ControlVisor::ajusta_a_fichero() {
  ajusta_a_hoja(sesion_, vista, visualizacion);
  vista_de_fichero_ = true;
  muestra_escala();
}

void ControlVisor::muestra_vista() {
  muestra_escala();
  redibuja();
}

void ControlVisor::muestra_escala() {
  pantalla_.texto_escala(escala_en_texto(vista.escala));
  // The read-outs and the status line follow the view under a pointer that did not move.
  if (puntero_) mueve(puntero_->x, puntero_->y);
}

ResultadoDibujo ControlVisor::redibuja() {
  if (antes_de_dibujar) antes_de_dibujar();
  medir = false;
  origen_medida = {};  // the picture is drawn anew: no mark is left to erase
  ++redibujos_;
  pantalla_.puntero(Puntero::reloj);
  ResultadoDibujo resultado = redibuja_vista(pintor_, pantalla_.superficie(), vista, visualizacion);
  dibujadas_ = EntidadesDibujadas(sesion_.hoja, resultado.dibujadas);
  pantalla_.puntero(mouse_accion == AccionRaton::ninguna ? Puntero::defecto : Puntero::cruz);
  pantalla_.refresca();
  return resultado;
}

void ControlVisor::zoom_todo() {
  vista.zoom_todo();
  vista_de_fichero_ = true;
  muestra_vista();
}

void ControlVisor::arma(AccionRaton accion) {
  mouse_accion = accion;
  pulsaciones_zoom = 0;  // a zoom window starts afresh
  pantalla_.puntero(Puntero::cruz);
}

void ControlVisor::centrar() {
  escala_fija(vista.escala);
}

void ControlVisor::escala_fija(double escala) {
  // Kept apart until its click: until then panning, resizing and the wheel work at the scale
  // shown.
  escala_armada = escala;
  arma(AccionRaton::centrar);
}

void ControlVisor::zoom_mas() {
  escala_fija(vista.escala / kPasoZoom);
}

void ControlVisor::zoom_menos() {
  escala_fija(vista.escala * kPasoZoom);
}

void ControlVisor::escala_tecleada(double escala) {
  if (!(escala > 0) || !std::isfinite(escala)) return;
  vista_de_fichero_ = false;
  vista.escala_actual = escala;
  vista.CentraZoom();
  muestra_vista();
}

void ControlVisor::conmuta_medir(bool toca_distancia) {
  medir = !medir;
  if (!medir) {
    medir1 = false;
    mouse_accion = AccionRaton::ninguna;
    pantalla_.puntero(Puntero::defecto);
    return;
  }
  arma(AccionRaton::medir);
  if (toca_distancia) {
    texto_distancia_ = "0";
    distancia_visible_ = true;
    pantalla_.texto_distancia(texto_distancia_, distancia_visible_);
  }
}

void ControlVisor::invierte_marcas_medida() {
  Superficie& superficie = pantalla_.superficie();
  superficie.modo(ModoDibujo::inversion);
  superficie.pluma(0, kAnchoPuntoMedida, kColorInversion);
  superficie.punto(origen_medida.x, origen_medida.y);
  // The tolerance circle only where it clears the dot: inverted twice, the pixels they shared
  // would vanish from both.
  const auto radio =
      static_cast<int>(std::lround(sesion_.ajustes.tolerancia_tentativo * vista.factor));
  if (radio > (kAnchoPuntoMedida + kAnchoCirculoMedida) / 2) {
    superficie.pluma(0, kAnchoCirculoMedida, kColorInversion);
    superficie.circulo(origen_medida.x, origen_medida.y, radio);
  }
  superficie.pluma(0, 1, kColorInversion);
  superficie.modo(ModoDibujo::copia);
  pantalla_.refresca();
}

void ControlVisor::cancela() {
  pantalla_.puntero(Puntero::defecto);
  if (hay_origen_medida()) invierte_marcas_medida();
  origen_medida = {};
  pulsaciones_zoom = 0;
  mouse_accion = AccionRaton::ninguna;
  medir = false;
  medir1 = false;
  distancia_visible_ = false;
  pantalla_.texto_distancia(texto_distancia_, distancia_visible_);
}

void ControlVisor::tecla(Tecla tecla) {
  vista_de_fichero_ = false;
  const double cx = (vista.xmin + vista.xmax) / 2, cy = (vista.ymin + vista.ymax) / 2;
  switch (tecla) {
    case Tecla::izquierda:
      vista.DesplazaCentro(vista.xmin, cy);
      break;
    case Tecla::derecha:
      vista.DesplazaCentro(vista.xmax, cy);
      break;
    case Tecla::arriba:
      vista.DesplazaCentro(cx, vista.ymax);
      break;
    case Tecla::abajo:
      vista.DesplazaCentro(cx, vista.ymin);
      break;
    case Tecla::mas:
    case Tecla::menos:
      vista.escala = tecla == Tecla::mas ? vista.escala / kPasoZoom : vista.escala * kPasoZoom;
      vista.escala_actual = vista.escala;
      vista.CentraZoom();
      muestra_escala();
      break;
  }
  redibuja();
}

void ControlVisor::rueda(int x, int y, int pasos) {
  if (pasos == 0) return;
  vista_de_fichero_ = false;
  const double xm = vista.Fn_pantalla_utm_x(x), ym = vista.Fn_pantalla_utm_y(y);
  const double factor = vista.factor * std::pow(kPasoZoom, pasos);
  vista.xmin = xm - x / factor;
  vista.ymax = ym + y / factor;
  vista.xmax = vista.xmin + vista.ancho_px() / factor;
  vista.ymin = vista.ymax - vista.alto_px() / factor;
  vista.calculo_escala();
  muestra_vista();
}

void ControlVisor::modo_elementos(ModoElementos modo, bool centroides, const std::string& titulo) {
  visualizacion.abierto_cerrado = modo;
  if (modo == ModoElementos::cerrados) {
    visualizacion.centroides = centroides;
    visualizacion.grabar_centroides = false;
  }
  titulo_filtro_ = titulo;
  pantalla_.texto_filtro(titulo);
  redibuja();
}

void ControlVisor::conmuta_relleno() {
  visualizacion.relleno = !visualizacion.relleno;
  redibuja();
}

void ControlVisor::rango_cotas() {
  if (!visualizacion.todas_las_cotas) {
    visualizacion.todas_las_cotas = true;
    titulo_filtro_.clear();
    pantalla_.texto_filtro(titulo_filtro_);
    redibuja();
    return;
  }
  double minima = visualizacion.cota_minima, maxima = visualizacion.cota_maxima;
  if (!pantalla_.pide_rango_cotas(minima, maxima)) return;
  visualizacion.cota_minima = minima;
  visualizacion.cota_maxima = maxima;
  visualizacion.todas_las_cotas = false;
  titulo_filtro_ = "Rango de Cotas";
  pantalla_.texto_filtro(titulo_filtro_);
  redibuja();
}

std::filesystem::path ControlVisor::grabar_centroides() {
  visualizacion.abierto_cerrado = ModoElementos::cerrados;
  visualizacion.centroides = true;
  visualizacion.grabar_centroides = true;
  titulo_filtro_ = "Cerrados";
  pantalla_.texto_filtro(titulo_filtro_);
  const auto destino = ruta_con_sufijo(sesion_.ajustes.fich_entrada, "_x.bin");
  const ResultadoDibujo dibujo = redibuja();
  visualizacion.grabar_centroides = false;
  visualizacion.centroides = false;
  std::string bytes;
  for (const EntidadNueva& texto : dibujo.centroides) texto.codifica(bytes);
  try {
    escribe_fichero_atomico(destino, bytes);
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
    return {};
  }
  return destino;
}

void ControlVisor::activa_mdt() {
  try {
    if (visualiza_mdt) {
      visualiza_mdt = false;
      fnUnloadMDT();
      return;
    }
    const auto mdt = ruta_companera(sesion_.ajustes.fich_entrada, ".MDT");
    if (!existe_archivo(mdt)) {
      dialogos_.mensaje(ErrorFicheroInexistente(mdt).what(), Icono::critico);
      return;
    }
    enlaza_orogrid();
    fnOrogrid(mdt);
    visualiza_mdt = true;
  } catch (const ErrorTelmora& error) {
    // The library or one of its functions is missing.
    visualiza_mdt = false;
    dialogos_.mensaje(error.what(), Icono::critico);
  }
}

bool ControlVisor::resaltando() const {
  return opciones_topologia.orden == EntradaTopologia::resaltar_poligono;
}

void ControlVisor::entrada_topologia(EntradaTopologia entrada) {
  selecciona_entrada(opciones_topologia, entrada);
  if (entrada == EntradaTopologia::resaltar_poligono) poligono_resaltado = 0;
}

LienzoTopologia ControlVisor::lienzo_topologia() {
  return {pantalla_.superficie(),
          vista,
          sesion_.paleta,
          sesion_.ajustes.uds,
          visualizacion.estilo_pluma,
          color_fondo(sesion_.tabla, sesion_.paleta)};
}

const ResultadoTopologia& ControlVisor::topologia(Progreso& progreso, const ConsultaPares* pares) {
  OpcionesTopologia opciones = opciones_topologia;
  opciones.distancia_cotas = visualizacion.distancia_cotas;
  const LienzoTopologia lienzo = lienzo_topologia();
  SalidasTopologia salidas;
  salidas.lienzo = &lienzo;
  salidas.carpeta_listados = sesion_.ajustes.dir_trabajo.empty()
                                 ? sesion_.ajustes.fich_entrada.parent_path()
                                 : sesion_.ajustes.dir_trabajo;
  salidas.pares = pares;
  salidas.muestra = [this] { pantalla_.refresca(); };
  sesion_.topologia.reset();
  sesion_.topologia = std::make_shared<const ResultadoTopologia>(
      ejecuta_y_aplica_topologia(sesion_, dibujadas_, opciones, salidas, progreso, &dialogos_));
  inicio_resaltado_ = 0;
  pantalla_.refresca();
  return *sesion_.topologia;
}

void ControlVisor::visualiza_topologia() {
  if (!sesion_.topologia) return;
  PintaPoligonoTopo(*sesion_.topologia, lienzo_topologia());
  pantalla_.refresca();
}

std::int32_t ControlVisor::resalta_en(double x, double y) {
  const int uds = sesion_.ajustes.uds;
  const auto a_unidades = [uds](double metros) {
    return static_cast<std::int32_t>(
        std::clamp(std::lround(metros * uds), -2147483647L, 2147483647L));
  };
  const ResultadoTopologia& topologia = *sesion_.topologia;
  const std::int32_t cara = topologia.LocalizaPol(a_unidades(x), a_unidades(y));
  if (cara != 0 && cara != poligono_resaltado) {
    redibuja();
    PreparoPoligonoParaPintarYPinta(topologia, lienzo_topologia(), cara);
    poligono_resaltado = cara;
    pantalla_.refresca();
  }
  return cara;
}

void ControlVisor::resalta_bajo_puntero(double x, double y) {
  if (!resaltando() || !sesion_.topologia) return;
  const double ahora = reloj ? reloj() : [] {
    const auto dia = std::chrono::system_clock::now().time_since_epoch() % std::chrono::hours(24);
    return std::chrono::duration<double>(dia).count();
  }();
  if (inicio_resaltado_ == 0) {
    inicio_resaltado_ = ahora;
    return;
  }
  if (static_cast<float>(ahora - inicio_resaltado_) <= 0.2f) return;
  resalta_en(x, y);
  inicio_resaltado_ = ahora;
}

void ControlVisor::desarma() {
  pantalla_.puntero(Puntero::defecto);
  accion_consola_pendiente = 0;
  mouse_accion = AccionRaton::ninguna;
}

void ControlVisor::pulsa(Boton boton, int x, int y) {
  ultima_pulsacion = {x, y};
  if (boton == Boton::derecho) {
    cancela();
    return;
  }
  switch (mouse_accion) {
    case AccionRaton::zoom_ventana: {
      if (++pulsaciones_zoom == 1) {
        primera_esquina = ultima_pulsacion;
        return;
      }
      pulsaciones_zoom = 0;
      const int izquierda = std::min(primera_esquina.x, x),
                derecha = std::max(primera_esquina.x, x);
      const int arriba = std::min(primera_esquina.y, y), abajo = std::max(primera_esquina.y, y);
      const double xmin = vista.Fn_pantalla_utm_x(izquierda),
                   xmax = vista.Fn_pantalla_utm_x(derecha);
      const double ymin = vista.Fn_pantalla_utm_y(abajo), ymax = vista.Fn_pantalla_utm_y(arriba);
      vista.xmin = xmin, vista.xmax = xmax, vista.ymin = ymin, vista.ymax = ymax;
      vista_de_fichero_ = false;
      desarma();
      vista.calculo_escala();
      muestra_vista();
      return;
    }
    case AccionRaton::info_elemento:
      xtentativo = vista.Fn_pantalla_utm_x(x);
      ytentativo = vista.Fn_pantalla_utm_y(y);
      if (localiza) localiza(xtentativo, ytentativo);
      desarma();
      return;
    case AccionRaton::medir:
      if (hay_origen_medida()) invierte_marcas_medida();
      origen_medida = ultima_pulsacion;
      medir1 = true;
      invierte_marcas_medida();
      return;
    case AccionRaton::centrar:
      centra_en(vista.Fn_pantalla_utm_x(x), vista.Fn_pantalla_utm_y(y));
      return;
    case AccionRaton::nuevo_texto:
      xtentativo = vista.Fn_pantalla_utm_x(x);
      ytentativo = vista.Fn_pantalla_utm_y(y);
      desarma();
      if (coloca_texto) coloca_texto(xtentativo, ytentativo);
      return;
    case AccionRaton::ninguna:
      // With the highlight on, a click shows the face under it.
      if (resaltando() && sesion_.topologia) {
        poligono_resaltado = 0;
        resalta_en(vista.Fn_pantalla_utm_x(x), vista.Fn_pantalla_utm_y(y));
      }
      return;
  }
}

void ControlVisor::pulsa_en_mapa(double x, double y) {
  const PuntoPantalla p = a_pantalla(vista, x, y);
  if (mouse_accion != AccionRaton::centrar) {
    pulsa(Boton::izquierdo, p.x, p.y);
    return;
  }
  ultima_pulsacion = p;
  centra_en(x, y);
}

void ControlVisor::centra_en(double x, double y) {
  desarma();
  vista_de_fichero_ = false;
  vista.escala_actual = escala_armada;
  vista.DesplazaCentro(x, y);
  vista.CentraZoom();
  muestra_vista();
}

void ControlVisor::mueve(int x, int y) {
  puntero_ = PuntoPantalla{x, y};
  const double xm = vista.Fn_pantalla_utm_x(x), ym = vista.Fn_pantalla_utm_y(y);
  const std::string texto_x = formato_es(xm, 3), texto_y = formato_es(ym, 3);
  pantalla_.lecturas(std::to_string(x), std::to_string(y), texto_x, texto_y);
  if (medir && medir1) {
    const double dx = x - ultima_pulsacion.x, dy = y - ultima_pulsacion.y;
    texto_distancia_ = formato_es(std::sqrt(dx * dx + dy * dy) / vista.factor, 3);
    pantalla_.texto_distancia(texto_distancia_, distancia_visible_);
  }
  pantalla_.linea_estado(linea_estado(x, y, texto_x, texto_y, texto_distancia_));
  resalta_bajo_puntero(xm, ym);
}

std::string ControlVisor::linea_estado(int x, int y, const std::string& xm, const std::string& ym,
                                       const std::string& distancia) const {
  std::string linea;
  if (visualiza_pantalla) {
    linea += "Pantalla : " + std::to_string(x) + " / " + std::to_string(y) + "  ";
  }
  if (visualiza_reales) {
    linea += "UTM : " + corta_tres_decimales(xm) + " / " + corta_tres_decimales(ym);
    if (visualiza_mdt) {
      const int uds = sesion_.ajustes.uds;
      const double z =
          fnGetZValue(vista.Fn_pantalla_utm_x(x) * uds, vista.Fn_pantalla_utm_y(y) * uds);
      linea += " / " + formato_es(z / uds, 3);
    } else {
      linea += ' ';  // a blank in place of the elevation
    }
  }
  if (visualiza_escala) linea += "Escala : " + escala_en_texto(vista.escala) + "  ";
  if (!titulo_filtro_.empty()) linea += "Visualización de elementos : " + titulo_filtro_;
  if (medir && medir1) linea += "Distancia : " + corta_tres_decimales(distancia);
  return linea;
}

}  // namespace telmora
