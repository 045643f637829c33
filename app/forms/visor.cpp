#include "visor.h"

#include <QApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <map>

#include "area_dibujo.h"
#include "bin_info.h"
#include "binjunta.h"
#include "carga.h"
#include "control/busca_bd.h"
#include "control_errores.h"
#include "control_pares.h"
#include "db/catalogo.h"
#include "db/pares.h"
#include "dialogos_qt.h"
#include "edicion/dibujo_edicion.h"
#include "edicion/localizador.h"
#include "edicion/reescritura.h"
#include "fichero.h"
#include "info_elem.h"
#include "marcador_borrados.h"
#include "modelo_datos.h"
#include "modelo_objeto.h"
#include "ordenes.h"
#include "p_dobles.h"
#include "rango_cotas.h"
#include "sig/exportacion.h"
#include "sig/importacion.h"
#include "texto.h"
#include "vigia_ventanas.h"
#include "visor/ficheros_visor.h"

namespace telmora {

Visor::Visor(Ajustes ajustes, Dialogos& dialogos, QWidget* padre)
    : QMainWindow(padre), ajustes_(std::move(ajustes)), dialogos_(dialogos) {
  setObjectName("Visor");
  setWindowTitle("Visor VEKT :  " + QString::fromStdU16String(ajustes_.fich_entrada.u16string()));
  setAttribute(Qt::WA_DeleteOnClose, false);
  construye_controles();
  construye_barra();
  new VigiaVentanas(this, [this] { ventana_propia_cerrada(); });
}

Visor::~Visor() {
  while (cursores_ocupados_ > 0) {
    QApplication::restoreOverrideCursor();
    --cursores_ocupados_;
  }
}

bool Visor::carga() {
  Carga ventana(this);
  ventana.fichero(QString::fromStdU16String(ajustes_.fich_entrada.u16string()));
  ventana.show();
  sesion_ = abre_sesion_o_avisa(ajustes_, ventana, dialogos_, [&ventana] { ventana.close(); });
  if (!sesion_) return false;
  ventana.close();
  avisa_recuperacion();
  control_ = std::make_unique<ControlVisor>(*sesion_, *this, dialogos_);
  control_->localiza = [this](double x, double y) { localiza(x, y); };
  control_->antes_de_dibujar = [this] { comprueba_hoja(); };
  acciones_ = std::make_unique<AccionesControlVisor>(*control_);
  acciones_->al_bininfo = [this] { muestra_bin_info(); };
  acciones_->al_salir = [this] { salir(); };
  acciones_->al_borrar_ventana = [this] { borra_ventana(); };
  control_->coloca_texto = [this](double x, double y) {
    if (!hoja_sin_cambios()) return;
    ocupado().ejecuta([&](Progreso&) { NuevaEntidadTexto(*sesion_, x, y); });
  };
  construye_menus();
  return true;
}

// A sheet left half-changed by a crash was put back as it was when it was read: say so.
void Visor::avisa_recuperacion() {
  if (!sesion_->hoja.aviso_recuperacion.empty())
    dialogos_.mensaje(sesion_->hoja.aviso_recuperacion, Icono::informacion);
}

bool Visor::hoja_sin_cambios() {
  const auto cambio = cambio_en_disco(sesion_->hoja);
  if (!cambio) return true;
  vigia_.cambio_nuevo(sesion_->hoja);  // offered here: the next redraw does not offer it again
  ofrece_recarga(ErrorHojaCambiada(sesion_->hoja.ruta, *cambio));
  return false;
}

void Visor::comprueba_hoja() {
  if (const auto cambio = vigia_.cambio_nuevo(sesion_->hoja))
    ofrece_recarga(ErrorHojaCambiada(sesion_->hoja.ruta, *cambio));
}

void Visor::ofrece_recarga(const ErrorTelmora& error) {
  if (dialogos_.si_no(std::string(error.what()) + "\nNo se escribe nada. ¿Cargarlo de nuevo?",
                      "Visor VEKT")) {
    // What the open windows show belongs to the sheet as it was.
    if (info_) info_->close();
    if (topo_) topo_->close();
    recarga();
  }
}

// --- Controls ----------------------------------------------------------------------------------

void Visor::construye_controles() {
  auto* central = new QWidget(this);
  auto* capa = new QVBoxLayout(central);
  capa->setContentsMargins(2, 2, 2, 2);
  auto* fila = new QHBoxLayout();
  capa->addLayout(fila);

  auto boton = [&](const char* nombre, const char* titulo, std::function<void()> accion) {
    auto* b = new QPushButton(titulo, central);
    b->setObjectName(nombre);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, accion] {
      if (control_) accion();
    });
    fila->addWidget(b);
    return b;
  };
  boton("Command1", "Visualizar", [this] { control_->redibuja(); });
  boton("Command2", "Salir", [this] { abrir(); });
  boton("Localiza", "Info Elemento", [this] { control_->arma(AccionRaton::info_elemento); });
  boton("zoomt", "ZoomT", [this] { control_->zoom_todo(); });
  boton("zoomv", "ZoomV", [this] { control_->arma(AccionRaton::zoom_ventana); });
  boton("Distancia", "Medir ON/OFF", [this] { control_->conmuta_medir(false); });

  const char* etiquetas[] = {nullptr, "X", "Y", "X UTM", "Y UTM", "Escala 1:", "Distancia", ""};
  const int anchos[] = {0, 50, 50, 110, 120, 90, 90, 170};
  for (int i = 1; i <= 7; ++i) {
    if (etiquetas[i][0] != '\0') fila->addWidget(new QLabel(etiquetas[i], central));
    text_[i] = new QLineEdit(central);
    text_[i]->setObjectName(QString("Text%1").arg(i));
    text_[i]->setReadOnly(i != 5);
    text_[i]->setFocusPolicy(i == 5 ? Qt::ClickFocus : Qt::NoFocus);
    text_[i]->setMinimumWidth(40);
    text_[i]->setMaximumWidth(anchos[i]);
    fila->addWidget(text_[i]);
  }
  // The distance box keeps its place while hidden, so showing it does not move the area.
  QSizePolicy politica = text_[6]->sizePolicy();
  politica.setRetainSizeWhenHidden(true);
  text_[6]->setSizePolicy(politica);
  text_[6]->hide();
  // Enter in the scale box applies the scale typed, and nothing else (it does not reach the
  // viewer, where it would open the console).
  text_[5]->installEventFilter(this);
  fila->addStretch();

  area_ = new AreaDibujo(central);
  capa->addWidget(area_, 1);
  area_->al_pulsar = [this](Qt::MouseButton boton, QPoint punto) {
    if (!control_) return;
    const Boton b = boton == Qt::RightButton    ? Boton::derecho
                    : boton == Qt::MiddleButton ? Boton::central
                                                : Boton::izquierdo;
    control_->pulsa(b, punto.x(), punto.y());
    area_->esquina_de_zoom(eligiendo_zoom() ? std::optional<QPoint>(punto) : std::nullopt);
  };
  area_->al_mover = [this](QPoint punto) {
    if (!control_) return;
    // A zoom window abandoned for another action loses its outline.
    if (!eligiendo_zoom()) area_->esquina_de_zoom(std::nullopt);
    control_->mueve(punto.x(), punto.y());
  };
  area_->al_redimensionar = [this](QSize tamano) { redimensionada(tamano); };
  area_->al_girar_rueda = [this](QPoint punto, int pasos) {
    if (control_) control_->rueda(punto.x(), punto.y(), pasos);
  };
  setCentralWidget(central);

  auto* barra = statusBar();
  barra->setObjectName("sbStatusBar");
  estado_ = new QLabel(barra);
  estado_->setObjectName("Estado");
  fecha_ = new QLabel(barra);
  hora_ = new QLabel(barra);
  barra->addWidget(estado_, 1);
  progreso_ = new QProgressBar(barra);
  progreso_->setObjectName("ProgressBar1");
  progreso_->setRange(0, 100);
  progreso_->setMaximumWidth(200);
  progreso_->hide();
  barra->addPermanentWidget(progreso_);
  barra->addPermanentWidget(fecha_);
  barra->addPermanentWidget(hora_);
  auto* reloj = new QTimer(this);
  auto marca_hora = [this] {
    const QDateTime ahora = QDateTime::currentDateTime();
    fecha_->setText(ahora.toString("dd/MM/yyyy"));
    hora_->setText(ahora.toString("HH:mm:ss"));
  };
  connect(reloj, &QTimer::timeout, this, marca_hora);
  marca_hora();
  reloj->start(1000);
  setFocusPolicy(Qt::StrongFocus);
}

void Visor::ver_centroides() {
  control_->modo_elementos(ModoElementos::cerrados, true, "Cerrados+Centroides");
  control_->visualizacion.centroides = false;
  control_->visualizacion.abierto_cerrado = ModoElementos::todos;
}

bool Visor::eligiendo_zoom() const {
  return control_->mouse_accion == AccionRaton::zoom_ventana && control_->pulsaciones_zoom == 1;
}

void Visor::ventana_propia_cerrada() {
  // As when the viewer is activated again: once control is back, the view is drawn anew (unless
  // it was drawn since), so that it shows what was done in that window.
  if (!control_) return;
  const std::uint64_t redibujos = control_->redibujos();
  QTimer::singleShot(0, this, [this, redibujos] {
    if (control_ && isVisible() && control_->redibujos() == redibujos) control_->redibuja();
  });
}

void Visor::localiza(double x, double y) {
  std::int32_t numero = 0;
  const bool hecho = ocupado(std::nullopt).ejecuta([&](Progreso&) {
    numero = accion_info_elemento(*sesion_, control_->vista, control_->visualizacion, superficie(),
                                  dialogos_, x, y, [this] { refresca(); });
  });
  refresca();
  if (!hecho || numero == 0) return;
  if (info_) info_->close();
  control_->redibuja();
  muestra_info(numero);
}

void Visor::muestra_info(std::int32_t numero) {
  if (info_) info_->close();
  auto* ventana = new InfoElem(*sesion_, numero, dialogos_, this);
  ventana->antes_de_borrar = [this] { return hoja_sin_cambios(); };
  if (!ventana->leida()) {
    delete ventana;
    return;
  }
  numera_vertices(superficie(), control_->vista, *sesion_, ventana->entidad());
  refresca();
  info_ = ventana;
  ventana->show();
}

void Visor::muestra_bin_info() {
  BinInfo* ventana = nullptr;
  ocupado().ejecuta([&](Progreso& p) { ventana = new BinInfo(*sesion_, dialogos_, p, this); });
  if (ventana != nullptr) ventana->show();
}

void Visor::topologia(EntradaTopologia entrada, const ConsultaPares* pares) {
  OpcionesTopologia orden;
  selecciona_entrada(orden, entrada);
  if (orden.modifica_cotas() && !hoja_sin_cambios()) return;
  if (topo_) topo_->close();
  control_->entrada_topologia(entrada);
  Topo* ventana = nullptr;
  ocupado().ejecuta([&](Progreso& p) { ventana = new Topo(*control_, dialogos_, p, pares, this); });
  topo_ = ventana;
  if (ventana != nullptr) ventana->show();
}

void Visor::recarga() {
  ocupado().ejecuta([this](Progreso& p) { recarga_hoja(*sesion_, p); });
  avisa_recuperacion();
  control_->redibuja();
}

void Visor::depura_red() {
  if (!hoja_sin_cambios()) return;
  Binjunta* ventana = nullptr;
  ocupado().ejecuta([&](Progreso& p) {
    ventana = new Binjunta(*sesion_, control_->dibujadas(), dialogos_, p, this);
  });
  recarga();
  if (ventana == nullptr) return;
  if (!ventana->hecha()) {
    delete ventana;
    return;
  }
  ventana->show();
}

void Visor::escribe(const std::function<std::filesystem::path()>& escritura) {
  std::filesystem::path ruta;
  if (ocupado().ejecuta([&](Progreso&) { ruta = escritura(); })) {
    linea_estado("Escrito " + ruta_texto(ruta));
  }
}

void Visor::extrae(ModoExtraccion modo) {
  // The window written is the one on screen: its outline is drawn first.
  Superficie& s = superficie();
  const std::vector<PuntoPantalla> borde{
      {0, 0}, {s.ancho() - 1, 0}, {s.ancho() - 1, s.alto() - 1}, {0, s.alto() - 1}, {0, 0}};
  s.pluma(0, 3, {255, 255, 0});
  s.polilinea(borde);
  refresca();
  escribe([this, modo] { return CortaFichero(*sesion_, control_->vista, modo); });
}

void Visor::ver_duplicados() {
  Ocupado espera = ocupado();
  const bool hecho = espera.ejecuta([this](Progreso& p) {
    sesion_->duplicados = std::make_shared<const ResultadoDuplicados>(Duplicados(*sesion_, {}, p));
  });
  if (!hecho) return;
  control_->redibuja();
  espera.puntero(Puntero::reloj_flecha);
  leo_bin_pinto_duplicados(*sesion_, *sesion_->duplicados, superficie(), control_->vista,
                           control_->visualizacion);
  refresca();
}

void Visor::procesa_duplicados(const OpcionesDuplicados& opciones) {
  if (!hoja_sin_cambios()) return;
  {
    Ocupado espera = ocupado();
    espera.ejecuta([&](Progreso& p) {
      // The pairs that were only shown are searched again, with this entry's options, and
      // processed.
      ResultadoDuplicados duplicados = Duplicados(*sesion_, opciones, p);
      duplicados.aplicado = true;
      sesion_->duplicados = std::make_shared<const ResultadoDuplicados>(std::move(duplicados));
      espera.puntero(Puntero::reloj_flecha);
      marca_borrados(*sesion_, *sesion_->duplicados);
    });
  }
  // The elements cut have their pieces appended to the file.
  recarga();
}

void Visor::borra_ventana() {
  if (!hoja_sin_cambios()) return;
  ocupado(Puntero::cruz).ejecuta([this](Progreso&) {
    borra_entidades_en_ventana(*sesion_, control_->dibujadas());
  });
  control_->redibuja();
}

void Visor::puntos_dobles() {
  if (!hoja_sin_cambios()) return;
  PDobles formulario(sesion_->ajustes.uds, dialogos_, this);
  if (formulario.exec() != QDialog::Accepted) {
    control_->redibuja();
    return;
  }
  ResultadoPdobles resultado;
  const bool hecho = ocupado().ejecuta([&](Progreso& p) {
    resultado = ejecuta_y_aplica_pdobles(*sesion_, formulario.tolerancias(), p);
  });
  // The summary is shown over the sheet as it now is.
  recarga();
  if (hecho) dialogos_.mensaje(une_lineas(resultado.lineas()), Icono::informacion);
}

void Visor::exporta_a_sig() {
  const auto destino =
      dialogos_.elige_fichero_nuevo("Exportar a formato SIG", kFiltroSigEscritura,
                                    ruta_companera(ajustes_.fich_entrada, ".gpkg"));
  if (!destino) return;
  ResultadoExportacion resultado;
  if (!ocupado().ejecuta([&](Progreso& p) {
        resultado = exporta_sig(*sesion_, {*destino, "", 0}, p);
      })) {
    return;
  }
  linea_estado("Escrito " + ruta_texto(*destino));
  dialogos_.mensaje(une_lineas(resultado.lineas()), Icono::informacion, "Exportar a formato SIG");
}

void Visor::importa_de_sig() {
  const auto origenes = dialogos_.elige_ficheros("Importar de formato SIG", kFiltroSigLectura,
                                                 ajustes_.fich_entrada.parent_path());
  if (origenes.empty()) return;
  const auto destino = elige_destino_importacion(ajustes_, origenes.front(), dialogos_);
  if (!destino) return;
  OpcionesImportacion opciones;
  opciones.uds = ajustes_.uds;
  ResultadoImportacion resultado;
  if (!ocupado().ejecuta(
          [&](Progreso& p) { resultado = importa_sig(origenes, *destino, opciones, p); })) {
    return;
  }
  dialogos_.mensaje(une_lineas(resultado.lineas()), Icono::informacion, "Importar de formato SIG");
  if (al_abrir_hoja) al_abrir_hoja(*destino);
}

void Visor::abre_consola() {
  Ordenes consola([this](const std::string& linea) { orden(linea); }, this);
  consola.exec();
}

void Visor::orden(const std::string& linea) {
  Consola consola(*sesion_, control_->visualizacion, dialogos_, acciones_.get());
  consola.ejecuta(linea);
}

void Visor::visibilidad(void (*entrada)(Consola&, AccionesVisor&)) {
  Consola consola(*sesion_, control_->visualizacion, dialogos_, acciones_.get());
  entrada(consola, *acciones_);
}

// --- Production databases -------------------------------------------------------------------

std::optional<std::filesystem::path> Visor::busca_bd(const std::string& nombre) {
  const auto carpeta = sesion_->ajustes.dir_trabajo;
  auto ruta = busca_base_datos(sesion_->ajustes, nombre, dialogos_);
  if (sesion_->ajustes.dir_trabajo != carpeta && al_cambiar_carpeta) {
    al_cambiar_carpeta(sesion_->ajustes.dir_trabajo);
  }
  return ruta;
}

std::optional<AjustesInstalacion> Visor::instalacion() {
  std::optional<AjustesInstalacion> ajustes;
  ocupado(std::nullopt).ejecuta([&](Progreso&) {
    ajustes = lee_instalacion(sesion_->ajustes.fichero_instalacion);
  });
  return ajustes;
}

void Visor::control_pares() {
  const auto local = busca_bd(kNombreBdControl);
  if (!local) return;
  const auto ajustes = instalacion();
  if (!ajustes) return;
  ocupado(std::nullopt).ejecuta([&](Progreso&) {
    // While the pairs are loaded, the centroid check draws each face by the state of its pair.
    const ResultadoControlPares resultado = carga_control_pares(
        *local, *ajustes, dialogos_, [this](const std::string& texto) { linea_estado(texto); },
        [this](const ConsultaPares& pares) {
          topologia(EntradaTopologia::errores_centroides, &pares);
        });
    // The topology window that drew the pairs goes with the pair control when it is closed or
    // left for another window; until then both stand side by side.
    auto* ventana = new ControlPares(
        resultado,
        [dibujo = topo_] {
          if (dibujo) dibujo->close();
        },
        this);
    ventana->adjustSize();
    if (topo_) ventana->se_coloca_junto_a(*topo_);
    ventana->show();
  });
}

void Visor::control_errores() {
  const auto ruta = busca_bd(nombre_bd_errores(sesion_->ajustes));
  if (!ruta) return;
  std::optional<ResultadoControlErrores> resultado;
  ocupado().ejecuta([&](Progreso&) { resultado = carga_control_errores(sesion_->hoja, *ruta); });
  if (resultado) (new ControlErrores(*resultado, this))->show();
}

void Visor::abre_catalogo(bool por_objeto) {
  const auto ruta = busca_bd(kNombreCatalogo);
  if (!ruta) return;
  const auto ajustes = instalacion();
  if (!ajustes) return;
  ocupado(std::nullopt).ejecuta([&](Progreso&) {
    OpcionesApertura opciones;
    opciones.contrasena = ajustes->contrasena_catalogo;
    auto bd = std::make_unique<BaseDatos>(BaseDatos::abre(ruta_texto(*ruta), opciones));
    QDialog* ventana;
    if (por_objeto) {
      ventana = new ModeloObjeto(
          std::move(bd), seleccion_catalogo_, [this] { acepta_catalogo(); }, this);
    } else {
      ventana = new ModeloDatos(
          std::move(bd), seleccion_catalogo_, [this] { acepta_catalogo(); }, this);
    }
    ventana->show();
  });
}

void Visor::acepta_catalogo() {
  Consola consola(*sesion_, control_->visualizacion, dialogos_, acciones_.get());
  Aceptar(seleccion_catalogo_, consola, sesion_->tabla);
  control_->redibuja();
}

// --- Events ------------------------------------------------------------------------------------

void Visor::redimensionada(QSize tamano) {
  if (!control_) return;
  const double twips_por_pixel = 1440.0 / std::max(1, area_->logicalDpiY());
  control_->dimensiona(tamano.width(), tamano.height(), twips_por_pixel);
  if (!ajustada_) {
    control_->ajusta_a_fichero();
    ajustada_ = true;
  }
  control_->redibuja();
}

bool Visor::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto != text_[5] || evento->type() != QEvent::KeyPress) return false;
  const int tecla = static_cast<QKeyEvent*>(evento)->key();
  if (tecla != Qt::Key_Return && tecla != Qt::Key_Enter) return false;
  double escala = 0;
  if (control_ && lee_real(a_utf8(text_[5]->text().remove('.')), escala))
    control_->escala_tecleada(escala);
  area_->setFocus();  // the keys go to the view again
  return true;
}

void Visor::keyPressEvent(QKeyEvent* evento) {
  static const std::map<int, Tecla> kTeclas{
      {Qt::Key_Left, Tecla::izquierda}, {Qt::Key_Right, Tecla::derecha},
      {Qt::Key_Up, Tecla::arriba},      {Qt::Key_Down, Tecla::abajo},
      {Qt::Key_Plus, Tecla::mas},       {Qt::Key_Minus, Tecla::menos}};
  const int tecla = evento->key();
  if (!control_) return QMainWindow::keyPressEvent(evento);
  if (const auto t = kTeclas.find(tecla); t != kTeclas.end()) {
    control_->tecla(t->second);
  } else if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
    abre_consola();
  } else {
    QMainWindow::keyPressEvent(evento);
  }
}

void Visor::closeEvent(QCloseEvent* evento) {
  // Closing the window ends the program, as "Salir" does.
  if (!cerrando_ && al_salir) {
    cerrando_ = true;
    al_salir();
  }
  QMainWindow::closeEvent(evento);
}

void Visor::abrir() {
  cerrando_ = true;
  hide();
  if (al_abrir) al_abrir();
}

void Visor::salir() {
  cerrando_ = true;
  hide();
  if (al_salir) al_salir();
}

Ocupado Visor::ocupado(std::optional<Puntero> puntero) {
  if (sesion_) comprueba_hoja();
  return {*this, progreso_, dialogos_, puntero};
}

// --- PantallaVisor -----------------------------------------------------------------------------

Superficie& Visor::superficie() {
  return area_->superficie();
}

void Visor::refresca() {
  area_->update();
}

void Visor::puntero(Puntero puntero) {
  while (cursores_ocupados_ > 0) {
    QApplication::restoreOverrideCursor();
    --cursores_ocupados_;
  }
  switch (puntero) {
    case Puntero::defecto:
      area_->unsetCursor();
      break;
    case Puntero::cruz:
      area_->setCursor(Qt::CrossCursor);
      break;
    case Puntero::reloj:
    case Puntero::reloj_flecha:
      QApplication::setOverrideCursor(puntero == Puntero::reloj ? Qt::WaitCursor : Qt::BusyCursor);
      ++cursores_ocupados_;
      break;
  }
}

void Visor::texto_escala(const std::string& texto) {
  text_[5]->setText(a_qstring(texto));
}

void Visor::texto_distancia(const std::string& texto, bool visible) {
  text_[6]->setText(a_qstring(texto));
  text_[6]->setVisible(visible);
}

void Visor::texto_filtro(const std::string& texto) {
  text_[7]->setText(a_qstring(texto));
}

void Visor::lecturas(const std::string& xp, const std::string& yp, const std::string& x,
                     const std::string& y) {
  text_[1]->setText(a_qstring(xp));
  text_[2]->setText(a_qstring(yp));
  text_[3]->setText(a_qstring(x));
  text_[4]->setText(a_qstring(y));
}

void Visor::linea_estado(const std::string& texto) {
  estado_->setText(a_qstring(texto));
}

bool Visor::pide_rango_cotas(double& minima, double& maxima) {
  RangoCotas dialogo(minima, maxima, this);
  if (dialogo.exec() != QDialog::Accepted) return false;
  minima = dialogo.minima();
  maxima = dialogo.maxima();
  return true;
}

}  // namespace telmora
