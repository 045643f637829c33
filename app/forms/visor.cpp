#include "visor.h"

#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

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
#include "modelo_datos.h"
#include "modelo_objeto.h"
#include "ordenes.h"
#include "p_dobles.h"
#include "rango_cotas.h"
#include "sig/exportacion.h"
#include "sig/importacion.h"
#include "texto.h"
#include "vigia_ventanas.h"
#include "visor/cotas_vertices.h"

namespace telmora {

// One menu entry: its name, caption, what it does, its sub-entries, and whether it is offered.
struct Visor::Entrada {
  const char* nombre;
  const char* titulo;
  std::function<void()> accion = {};
  std::vector<Entrada> hijos = {};
  bool activa = true;
  bool visible = true;
};

namespace {

// The viewer's progress bar, shown while a tool works on the whole sheet.
class BarraProgreso : public Progreso {
 public:
  explicit BarraProgreso(QProgressBar* barra) : barra_(barra) {
    barra_->setValue(0);
    barra_->show();
  }
  ~BarraProgreso() override { barra_->hide(); }
  void porcentaje(int porcentaje, std::int64_t, std::int64_t) override {
    barra_->setValue(porcentaje);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

 private:
  QProgressBar* barra_;
};

// The GIS formats offered by the file dialogs (GDAL reads and writes more; "Todos" lets them
// through).
constexpr const char* kFiltroSigEscritura =
    "GeoPackage (*.gpkg);;Shapefile (*.shp);;GeoJSON (*.geojson);;DXF (*.dxf);;"
    "FlatGeobuf (*.fgb);;KML (*.kml);;Todos los ficheros (*)";
constexpr const char* kFiltroSigLectura =
    "Formatos SIG (*.gpkg *.shp *.geojson *.json *.dxf *.fgb *.kml *.gml *.csv *.sqlite);;"
    "Todos los ficheros (*)";

std::string une_lineas(const std::vector<std::string>& lineas) {
  std::string texto;
  for (const auto& linea : lineas) texto += (texto.empty() ? "" : "\n") + linea;
  return texto;
}

// Toolbar pictures: a standard icon where the style has one, else a drawn sign.
QIcon icono(const QString& signo) {
  QPixmap imagen(24, 24);
  imagen.fill(Qt::transparent);
  QPainter pintor(&imagen);
  pintor.setPen(QApplication::palette().color(QPalette::ButtonText));
  QFont fuente = pintor.font();
  fuente.setPixelSize(signo.size() > 2 ? 9 : 16);
  fuente.setBold(true);
  pintor.setFont(fuente);
  pintor.drawText(imagen.rect(), Qt::AlignCenter, signo);
  return QIcon(imagen);
}

}  // namespace

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
  try {
    sesion_ = std::make_unique<Sesion>(abre_sesion(ajustes_, ventana));
  } catch (const ErrorCorrupcion& error) {
    ventana.close();
    if (!error.corrupcion().detalle.empty()) dialogos_.mensaje(error.corrupcion().detalle);
    dialogos_.mensaje(error.what());
    return false;
  } catch (const ErrorTelmora& error) {
    ventana.close();
    dialogos_.mensaje(error.what());
    return false;
  } catch (const std::bad_alloc&) {
    ventana.close();
    dialogos_.mensaje("No hay memoria suficiente para cargar " + ruta_texto(ajustes_.fich_entrada));
    return false;
  } catch (const std::exception& error) {
    ventana.close();
    dialogos_.mensaje("No se puede cargar " + ruta_texto(ajustes_.fich_entrada) + ": " +
                      error.what());
    return false;
  }
  control_ = std::make_unique<ControlVisor>(*sesion_, *this, dialogos_);
  control_->localiza = [this](double x, double y) { localiza(x, y); };
  acciones_ = std::make_unique<AccionesControlVisor>(*control_);
  acciones_->al_bininfo = [this] { muestra_bin_info(); };
  acciones_->al_salir = [this] { salir(); };
  acciones_->al_borrar_ventana = [this] { borra_ventana(); };
  control_->coloca_texto = [this](double x, double y) {
    try {
      NuevaEntidadTexto(sesion_->ajustes, x, y);
    } catch (const ErrorTelmora& error) {
      dialogos_.mensaje(error.what(), Icono::critico);
    }
  };
  construye_menus();
  ventana.close();
  return true;
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

void Visor::construye_barra() {
  auto* barra = addToolBar("Toolbar1");
  barra->setObjectName("Toolbar1");
  barra->setMovable(false);
  struct Boton {
    const char* clave;
    const char* consejo;
    QIcon icono;
    std::function<void()> accion;
    bool activa;
  };
  QStyle* estilo = style();
  const std::vector<Boton> botones{
      {"Abrir", "Abrir Fichero", estilo->standardIcon(QStyle::SP_DialogOpenButton),
       [this] { abrir(); }, true},
      {"ZoomVentana", "Zoom Ventana", icono("▭"),
       [this] { control_->arma(AccionRaton::zoom_ventana); }, true},
      {"ZoomCentrar", "ZoomCentrar", icono("⊕"), [this] { control_->centrar(); }, true},
      {"ZoomMas", "Zoom +", icono("+"), [this] { control_->zoom_mas(); }, true},
      {"ZoomMenos", "Zoom -", icono("−"), [this] { control_->zoom_menos(); }, true},
      {"ZoomTodo", "Zoom Todo", icono("⤢"), [this] { control_->zoom_todo(); }, true},
      {"InfoElemento", "Información Elemento", icono("i"),
       [this] { control_->arma(AccionRaton::info_elemento); }, true},
      {"Rellenar", "Rellenar On/Off", icono("▨"), [this] { control_->conmuta_relleno(); }, true},
      {"OffPares", "OffPares", icono("Off"), [this] { visibilidad(OffPares); }, true},
      {"OnTodo", "On Todo", icono("On"), [this] { visibilidad(OnTodo); }, true},
  };
  for (const Boton& b : botones) {
    QAction* accion = barra->addAction(b.icono, b.clave);
    accion->setObjectName(b.clave);
    accion->setToolTip(b.consejo);
    accion->setEnabled(b.activa);
    connect(accion, &QAction::triggered, this, [this, f = b.accion] {
      if (control_) f();
    });
  }
}

// --- Menus -------------------------------------------------------------------------------------

void Visor::anade_entradas(QMenu* menu, const std::vector<Entrada>& entradas) {
  for (const Entrada& entrada : entradas) {
    if (std::string_view(entrada.titulo) == "-") {
      menu->addSeparator()->setObjectName(entrada.nombre);
      continue;
    }
    QAction* accion;
    if (!entrada.hijos.empty()) {
      QMenu* submenu = menu->addMenu(entrada.titulo);
      submenu->setObjectName(entrada.nombre);
      anade_entradas(submenu, entrada.hijos);
      accion = submenu->menuAction();
    } else {
      accion = menu->addAction(entrada.titulo);
      if (entrada.accion) connect(accion, &QAction::triggered, this, entrada.accion);
    }
    accion->setObjectName(entrada.nombre);
    accion->setEnabled(entrada.activa);
    accion->setVisible(entrada.visible);
  }
}

void Visor::construye_menus() {
  ControlVisor& c = *control_;
  auto escala = [&c](double e) { return [&c, e] { c.escala_fija(e); }; };
  auto elementos = [&c](ModoElementos modo, bool centroides, const char* titulo) {
    return [&c, modo, centroides, titulo] { c.modo_elementos(modo, centroides, titulo); };
  };
  auto conmuta = [](bool& valor) { return [&valor] { valor = !valor; }; };
  auto topo = [this](EntradaTopologia entrada) { return [this, entrada] { topologia(entrada); }; };

  const std::vector<Entrada> barra{
      {"mnuArchivo",
       "&Archivo",
       {},
       {{"mnuAbrir", "&Abrir", [this] { abrir(); }},
        {"mnuSalir", "&Salir", [this] { salir(); }},
        {"mnuExportarSig", "&Exportar a formato SIG…", [this] { exporta_a_sig(); }},
        {"mnuImportarSig", "&Importar de formato SIG…", [this] { importa_de_sig(); }}}},
      {"mnuRegenera", "&Regenera", [&c] { c.redibuja(); }},
      {"mnuZoom",
       "&Zoom",
       {},
       {{"mnuVentana", "&Ventana", [&c] { c.arma(AccionRaton::zoom_ventana); }},
        {"mnuCentrar", "&Centrar", [&c] { c.centrar(); }},
        {"mnuTodo", "&Todo", [&c] { c.zoom_todo(); }},
        {"separa1", "-"},
        {"mnuZ_Escala",
         "&Escala",
         {},
         {{"mnu500", "&1/500", escala(500)},
          {"mnu1000", "&1/1000", escala(1000)},
          {"mnu2000", "&1/2000", escala(2000)},
          {"mnu5000", "&1/5000", escala(5000)},
          {"mnu10000", "&1/10000", escala(10000)},
          {"mnu25000", "&1/25000", escala(25000)},
          {"mnu50000", "&1/50000", escala(50000)}}},
        {"separa4", "-"},
        {"mnuZoomMas", "&Zoom+", [&c] { c.zoom_mas(); }},
        {"mnuZoomMenos", "&Zoom-", [&c] { c.zoom_menos(); }}}},
      {"mnuInfoElemento", "&Info.Elemento", [&c] { c.arma(AccionRaton::info_elemento); }},
      {"mnuMedir", "&Medir", {}, {{"mnuDistancia", "&Distancia", [&c] { c.conmuta_medir(true); }}}},
      {"mnuVisualizar",
       "&Visualizar",
       {},
       {{"mnuEscala", "&Escala", conmuta(c.visualiza_escala)},
        {"separa2", "-"},
        {"mnuCoordenadas",
         "&Coordenadas",
         {},
         {{"mnuPantalla", "&Pantalla", conmuta(c.visualiza_pantalla)},
          {"mnuReales", "&Reales", conmuta(c.visualiza_reales)}}},
        {"separa3", "-"},
        {"mnuElementos",
         "&Elementos",
         {},
         {{"mnuElementos_cerrados", "&Elementos cerrados",
           elementos(ModoElementos::cerrados, false, "Cerrados")},
          {"mnuElementos_cerrados_centroides", "&Elementos cerrados+Centroides",
           elementos(ModoElementos::cerrados, true, "Cerrados + Centroides")},
          {"mnuElementos_abiertos", "&Elementos abiertos",
           elementos(ModoElementos::abiertos, false, "Abiertos")},
          {"mnuElementos_Textos", "&Textos/Puntuales",
           elementos(ModoElementos::textos_y_puntuales, false, "Textos/Puntos")},
          {"mnuElementos_No_Textos", "&No textos",
           elementos(ModoElementos::no_textos, false, "No Textos")},
          {"mnuElementos_Todos", "&Todos", elementos(ModoElementos::todos, false, "")}}},
        {"separa5", "-"},
        {"mnuPorRangoCotas", "&Por Rango de Cotas", [&c] { c.rango_cotas(); }}}},
      {"mnuVisBordes",
       "&Visualizar Bordes",
       {},
       {{"mnuTodos", "&Todos", [this] { visibilidad(mnuTodos); }},
        {"mnuSegunCatalogo", "&Según Catálogo Tema", [this] { abre_catalogo(false); }},
        {"mnuSegunObjeto", "&Según Catálogo Objeto", [this] { abre_catalogo(true); }},
        {"mnuSueloUrbano",
         "&Recinto de suelo urbano (Prueba)",
         [this] { visibilidad(mnuSueloUrbano); },
         {},
         true,
         false},
        {"mnuVialUrbano",
         "&Recinto de Vial Urbano (Prueba)",
         [this] { visibilidad(mnuVialUrbano); },
         {},
         true,
         false}}},
      {"mnuElemDuplicados",
       "&ElemDuplicados",
       {},
       {{"mnuDuplicados", "&Ver Duplicados", [this] { ver_duplicados(); }},
        {"mnuBorrarDuplicadosEntidades", "&Procesar duplicados (Solo entidades)",
         [this] {
           procesa_duplicados({true, false});
         }},
        {"mnuBorrarDuplicadosVirtuales", "&Procesar duplicados (Solo entidades) VIRTUALES",
         [this] {
           procesa_duplicados({true, true});
         }},
        {"mnuBorrarDuplicados", "&Procesar duplicados (Vectores de entidades)",
         [this] {
           procesa_duplicados({false, false});
         }},
        {"mnuGrabarDuplicados", "&Grabar en fich. salida.(necesita procesar antes)",
         [this] {
           escribe([this] { return graba_nuevo_bin(*sesion_, ultimos_duplicados(*sesion_)); });
         }}}},
      {"mnuCentroides",
       "&Centroides",
       {},
       {{"mnuVerCentroides", "&Ver Centroides", [this] { ver_centroides(); }},
        {"mnuGrabarCentroides", "&Grabar en fichero nuevo", [&c] { c.grabar_centroides(); }}}},
      {"mnuTopologia",
       "&Topologia",
       {},
       {{"mnuTopologiaTodo", "&Ver Todo", topo(EntradaTopologia::todo)},
        {"mnuTopologiaNoEnvolvente", "&Ver No Ennvolventes",
         topo(EntradaTopologia::no_envolventes)},
        {"mnuTopologiaEnvolventes", "&Ver Envolventes", topo(EntradaTopologia::envolventes)},
        {"mnuTopologiaIslas", "&Ver Islas", topo(EntradaTopologia::islas)},
        {"mnuTopologiaErrCentroides", "&Ver Errores Centroides",
         topo(EntradaTopologia::errores_centroides)},
        {"mnuTopologiaVisualizar",
         "&Visualizar Topología",
         [&c] { c.visualiza_topologia(); },
         {},
         true,
         false},
        {"mnuTopologiaArcosColgantes", "&Visualizar Arcos Colgantes",
         topo(EntradaTopologia::arcos_colgantes)},
        {"mnuTopologiaResaltarPoligono", "&Resaltar Polígono",
         topo(EntradaTopologia::resaltar_poligono)}}},
      {"mnuActivarMdt", "&Activar MDT", [&c] { c.activa_mdt(); }},
      {"mnuControlesVarios",
       "&ControlesVarios",
       {},
       {{"mnuControlPares", "&ControlPares", [this] { control_pares(); }},
        {"mnuControlErrores", "&ControlErrores", [this] { control_errores(); }}}},
      {"mnuUtilidades",
       "&Utilidades",
       {},
       {{"mnuPuntosDobles", "&PuntosDobles", [this] { puntos_dobles(); }},
        {"mnuBinjunta", "&Binjunta", [this] { depura_red(); }},
        {"mnuComprimir", "&Comprimir",
         [this] { escribe([this] { return comprimir(sesion_->ajustes.fich_entrada); }); }},
        {"mnuExtraerFichero",
         "&Extraer en fichero",
         {},
         {{"mnuExtraerFicheroSolapados", "&Elementos solapados (Ventana activa)",
           [this] { extrae(ModoExtraccion::solapados); }},
          {"mnuExtraerFicheroDentro", "&Elementos dentro (Ventana activa)",
           [this] { extrae(ModoExtraccion::dentro); }}}},
        {"mnuBinInfo", "&BinInfo", [this] { muestra_bin_info(); }},
        {"mnuTopoGenerarCotasCalles",
         "&GenerarCotasElementosLineales",
         {},
         {{"mnuTopoGenerarCotasCallesSoloVertices", "&VisualizarCotasVertices",
           [this] {
             VisualizarCotasVertices(superficie(), *sesion_, control_->vista,
                                     control_->dibujadas());
             refresca();
           }},
          {"mnuTopoGenerarCotasCallesSoloVisualizar", "&SoloVisualizarInterpolación",
           topo(EntradaTopologia::cotas_calles)},
          {"mnuTopoGenerarCotasCallesGraba", "&InterpolaciónConGrabaciónEnFicheroNuevo",
           topo(EntradaTopologia::cotas_calles_graba)}}},
        {"mnuTopoDarCotas2D",
         "&DarCotasACartografia2D",
         {},
         {{"mnuTopoDarCotasACartografia2D", "&DarCotasARecintos",
           topo(EntradaTopologia::cotas_a_recintos)},
          {"mnuTopoDarCotasACartografia2DTramos", "&DarCotasATramos",
           topo(EntradaTopologia::cotas_a_tramos)}}}}},
  };
  for (const Entrada& entrada : barra) {
    if (entrada.hijos.empty()) {
      QAction* accion = menuBar()->addAction(entrada.titulo);
      accion->setObjectName(entrada.nombre);
      accion->setEnabled(entrada.activa);
      if (entrada.accion) connect(accion, &QAction::triggered, this, entrada.accion);
      continue;
    }
    QMenu* menu = menuBar()->addMenu(entrada.titulo);
    menu->setObjectName(entrada.nombre);
    menu->menuAction()->setObjectName(entrada.nombre);
    anade_entradas(menu, entrada.hijos);
  }
  for (const char* nombre : {"mnuEscala", "mnuReales", "mnuPantalla"}) {
    QAction* accion = findChild<QAction*>(nombre);
    accion->setCheckable(true);
  }
  findChild<QAction*>("mnuEscala")->setChecked(c.visualiza_escala);
  findChild<QAction*>("mnuReales")->setChecked(c.visualiza_reales);
  findChild<QAction*>("mnuPantalla")->setChecked(c.visualiza_pantalla);
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
  try {
    numero = accion_info_elemento(*sesion_, control_->vista, control_->visualizacion, superficie(),
                                  dialogos_, x, y, [this] { refresca(); });
  } catch (const ErrorTelmora& error) {
    refresca();
    dialogos_.mensaje(error.what(), Icono::critico);
    return;
  }
  refresca();
  if (numero == 0) return;
  if (info_) info_->close();
  control_->redibuja();
  muestra_info(numero);
}

void Visor::muestra_info(std::int32_t numero) {
  if (info_) info_->close();
  auto* ventana = new InfoElem(*sesion_, numero, dialogos_, this);
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
  puntero(Puntero::reloj);
  BinInfo* ventana;
  {
    BarraProgreso barra(progreso_);
    ventana = new BinInfo(*sesion_, dialogos_, barra, this);
  }
  puntero(Puntero::defecto);
  ventana->show();
}

void Visor::topologia(EntradaTopologia entrada, const ConsultaPares* pares) {
  if (topo_) topo_->close();
  control_->entrada_topologia(entrada);
  puntero(Puntero::reloj);
  Topo* ventana;
  {
    BarraProgreso barra(progreso_);
    ventana = new Topo(*control_, dialogos_, barra, pares, this);
  }
  puntero(Puntero::defecto);
  topo_ = ventana;
  ventana->show();
}

void Visor::depura_red() {
  puntero(Puntero::reloj);
  Binjunta* ventana;
  {
    BarraProgreso barra(progreso_);
    ventana = new Binjunta(*sesion_, control_->dibujadas(), dialogos_, barra, this);
  }
  puntero(Puntero::defecto);
  control_->redibuja();
  if (!ventana->hecha()) {
    delete ventana;
    return;
  }
  ventana->show();
}

void Visor::escribe(const std::function<std::filesystem::path()>& escritura) {
  puntero(Puntero::reloj);
  try {
    const auto ruta = escritura();
    puntero(Puntero::defecto);
    linea_estado("Escrito " + ruta_texto(ruta));
  } catch (const ErrorTelmora& error) {
    puntero(Puntero::defecto);
    dialogos_.mensaje(error.what(), Icono::critico);
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
  puntero(Puntero::reloj);
  {
    BarraProgreso barra(progreso_);
    sesion_->duplicados =
        std::make_shared<const ResultadoDuplicados>(Duplicados(*sesion_, {}, barra));
  }
  control_->redibuja();
  puntero(Puntero::reloj_flecha);
  leo_bin_pinto_duplicados(*sesion_, *sesion_->duplicados, superficie(), control_->vista,
                           control_->visualizacion);
  refresca();
  puntero(Puntero::defecto);
}

void Visor::procesa_duplicados(const OpcionesDuplicados& opciones) {
  puntero(Puntero::reloj);
  try {
    ResultadoDuplicados duplicados;
    {
      BarraProgreso barra(progreso_);
      // The pairs that were only shown are searched again, with this entry's options, and
      // processed.
      duplicados = Duplicados(*sesion_, opciones, barra);
    }
    duplicados.aplicado = true;
    sesion_->duplicados = std::make_shared<const ResultadoDuplicados>(std::move(duplicados));
    puntero(Puntero::reloj_flecha);
    marca_borrados(*sesion_, *sesion_->duplicados);
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
  }
  puntero(Puntero::defecto);
}

void Visor::borra_ventana() {
  puntero(Puntero::cruz);
  try {
    borra_entidades_en_ventana(*sesion_, control_->dibujadas());
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
  }
  control_->redibuja();
}

void Visor::puntos_dobles() {
  PDobles formulario(sesion_->ajustes.uds, dialogos_, this);
  if (formulario.exec() == QDialog::Accepted) {
    puntero(Puntero::reloj);
    try {
      ResultadoPdobles resultado;
      {
        BarraProgreso barra(progreso_);
        resultado = ejecuta_y_aplica_pdobles(*sesion_, formulario.tolerancias(), barra);
      }
      puntero(Puntero::defecto);
      dialogos_.mensaje(une_lineas(resultado.lineas()), Icono::informacion);
    } catch (const ErrorTelmora& error) {
      puntero(Puntero::defecto);
      dialogos_.mensaje(error.what(), Icono::critico);
    }
  }
  control_->redibuja();
}

void Visor::exporta_a_sig() {
  const auto destino =
      dialogos_.elige_fichero_nuevo("Exportar a formato SIG", kFiltroSigEscritura,
                                    ruta_companera(ajustes_.fich_entrada, ".gpkg"));
  if (!destino) return;
  puntero(Puntero::reloj);
  try {
    ResultadoExportacion resultado;
    {
      BarraProgreso barra(progreso_);
      resultado = exporta_sig(*sesion_, {*destino, "", 0}, barra);
    }
    puntero(Puntero::defecto);
    linea_estado("Escrito " + ruta_texto(*destino));
    dialogos_.mensaje(une_lineas(resultado.lineas()), Icono::informacion, "Exportar a formato SIG");
  } catch (const ErrorTelmora& error) {
    puntero(Puntero::defecto);
    dialogos_.mensaje(error.what(), Icono::critico);
  }
}

void Visor::importa_de_sig() {
  const auto origenes = dialogos_.elige_ficheros("Importar de formato SIG", kFiltroSigLectura,
                                                 ajustes_.fich_entrada.parent_path());
  if (origenes.empty()) return;
  const auto destino = dialogos_.elige_fichero_nuevo(
      "Hoja nueva", "Fichero BIN (*.bin)",
      ajustes_.fich_entrada.parent_path() / origenes.front().stem().concat(".bin"));
  if (!destino) return;
  OpcionesImportacion opciones;
  opciones.uds = ajustes_.uds;
  puntero(Puntero::reloj);
  try {
    ResultadoImportacion resultado;
    {
      BarraProgreso barra(progreso_);
      resultado = importa_sig(origenes, *destino, opciones, barra);
    }
    puntero(Puntero::defecto);
    dialogos_.mensaje(une_lineas(resultado.lineas()), Icono::informacion,
                      "Importar de formato SIG");
  } catch (const ErrorTelmora& error) {
    puntero(Puntero::defecto);
    dialogos_.mensaje(error.what(), Icono::critico);
    return;
  }
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
  try {
    return lee_instalacion(sesion_->ajustes.fichero_instalacion);
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
    return std::nullopt;
  }
}

void Visor::control_pares() {
  const auto local = busca_bd(kNombreBdControl);
  if (!local) return;
  const auto ajustes = instalacion();
  if (!ajustes) return;
  try {
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
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
  }
}

void Visor::control_errores() {
  const auto ruta = busca_bd(nombre_bd_errores(sesion_->ajustes));
  if (!ruta) return;
  puntero(Puntero::reloj);
  try {
    const ResultadoControlErrores resultado = carga_control_errores(sesion_->hoja, *ruta);
    puntero(Puntero::defecto);
    (new ControlErrores(resultado, this))->show();
  } catch (const ErrorTelmora& error) {
    puntero(Puntero::defecto);
    dialogos_.mensaje(error.what(), Icono::critico);
  }
}

void Visor::abre_catalogo(bool por_objeto) {
  const auto ruta = busca_bd(kNombreCatalogo);
  if (!ruta) return;
  const auto ajustes = instalacion();
  if (!ajustes) return;
  try {
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
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
  }
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
  if (!control_) return QMainWindow::keyPressEvent(evento);
  switch (evento->key()) {
    case Qt::Key_Left:
      control_->tecla(Tecla::izquierda);
      break;
    case Qt::Key_Right:
      control_->tecla(Tecla::derecha);
      break;
    case Qt::Key_Up:
      control_->tecla(Tecla::arriba);
      break;
    case Qt::Key_Down:
      control_->tecla(Tecla::abajo);
      break;
    case Qt::Key_Plus:
      control_->tecla(Tecla::mas);
      break;
    case Qt::Key_Minus:
      control_->tecla(Tecla::menos);
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      abre_consola();
      break;
    default:
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
