// The viewer's toolbar and menu bar: each entry's name, caption and handler, in the order shown.
#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QToolBar>

#include "edicion/duplicados.h"
#include "edicion/reescritura.h"
#include "visor.h"
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

}  // namespace telmora
