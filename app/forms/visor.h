// The viewer: menus, toolbar, buttons, read-out boxes, status bar and the drawing area of the
// open sheet. Its behaviour lives in ControlVisor; this form builds the controls and forwards
// their events.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "ajustes.h"
#include "control/navegacion_catalogo.h"
#include "db/instalacion.h"
#include "edicion/duplicados.h"
#include "edicion/extraccion.h"
#include "info_elem.h"
#include "marcador_borrados.h"
#include "ocupado.h"
#include "sesion.h"
#include "topo.h"
#include "visor/consola.h"
#include "visor/control_visor.h"

class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;

namespace telmora {

class AreaDibujo;

class Visor : public QMainWindow, public PantallaVisor {
 public:
  Visor(Ajustes ajustes, Dialogos& dialogos, QWidget* padre = nullptr);
  ~Visor() override;

  // Loads the sheet with the loading window; false, after telling the user why, when it cannot.
  bool carga();
  // Loads the sheet again in place of the loaded copy (after a tool appended pieces to it, or
  // when it was changed under the viewer) and draws it in the same view window and scale.
  void recarga();

  // Run when the user asks for another file (back to the start form) or to end the program.
  std::function<void()> al_abrir;
  std::function<void()> al_salir;
  // Run when a sheet made by the viewer (an import) is to be opened in its place.
  std::function<void(const std::filesystem::path&)> al_abrir_hoja;

  const Ajustes& ajustes() const { return ajustes_; }
  // Run when a database found in the data folder makes it the working folder.
  std::function<void(const std::filesystem::path&)> al_cambiar_carpeta;

  ControlVisor& control() { return *control_; }
  AreaDibujo& area() { return *area_; }
  // The element-information window open, if any.
  InfoElem* info_elemento() { return info_; }

  // PantallaVisor
  Superficie& superficie() override;
  void refresca() override;
  void puntero(Puntero puntero) override;
  void texto_escala(const std::string& texto) override;
  void texto_distancia(const std::string& texto, bool visible) override;
  void texto_filtro(const std::string& texto) override;
  void lecturas(const std::string& xp, const std::string& yp, const std::string& x,
                const std::string& y) override;
  void linea_estado(const std::string& texto) override;
  bool pide_rango_cotas(double& minima, double& maxima) override;

 protected:
  void keyPressEvent(QKeyEvent* evento) override;
  bool eventFilter(QObject* objeto, QEvent* evento) override;
  void closeEvent(QCloseEvent* evento) override;

 private:
  struct Entrada;
  // Tells the user when the sheet was rolled back from a change a crash left half-done.
  void avisa_recuperacion();
  // Before the viewer changes the sheet's file: true when the file is still the one loaded;
  // otherwise the user is told, nothing is written, and loading it again is offered.
  bool hoja_sin_cambios();
  // Before each redraw and each handler's work: when another process changed the sheet's file
  // since it was loaded, loading it again is offered, once for each new state of the file.
  void comprueba_hoja();
  void ofrece_recarga(const ErrorTelmora& error);
  void construye_menus();
  void anade_entradas(QMenu* menu, const std::vector<Entrada>& entradas);
  void construye_barra();
  void construye_controles();
  void abrir();
  void salir();
  void redimensionada(QSize tamano);
  void ver_centroides();
  // The element-information click: the entities around the point are offered, and the one
  // accepted is listed.
  void localiza(double x, double y);
  // The first corner of a zoom window is set and the second awaited.
  bool eligiendo_zoom() const;
  // One of the viewer's own windows was closed: the view is redrawn once control is back.
  void ventana_propia_cerrada();
  void muestra_info(std::int32_t numero);
  void muestra_bin_info();
  // The network cleanup: it changes the sheet's file, which is loaded again and drawn.
  void depura_red();
  // A handler's busy spell (no pointer: the pointer is left alone).
  Ocupado ocupado(std::optional<Puntero> puntero = Puntero::reloj);
  // The console: opened by Enter; the buttons and entries that switch codes run its commands.
  void abre_consola();
  void orden(const std::string& linea);
  // Runs a tool that writes a file with the hourglass; the path written goes to the status
  // line, a failure to a message.
  void escribe(const std::function<std::filesystem::path()>& escritura);
  void extrae(ModoExtraccion modo);
  // The duplicate search with its two switches, kept in the session; shown, or applied to the
  // file.
  void ver_duplicados();
  void procesa_duplicados(const OpcionesDuplicados& opciones);
  void borra_ventana();
  // The double-point form; on "Procesar" the process runs on the sheet and its summary is shown.
  void puntos_dobles();
  // The sheet written to a GIS format, and GIS sources read into a new sheet that then opens.
  void exporta_a_sig();
  void importa_de_sig();
  // A topology entry: its switches set, then the topology window opened, which runs it (with
  // the pair lookup when the pair control draws).
  void topologia(EntradaTopologia entrada, const ConsultaPares* pares = nullptr);
  // A toolbar button or menu entry that switches codes as a console command does.
  void visibilidad(void (*entrada)(Consola&, AccionesVisor&));
  // The production databases: each is found before its window opens.
  std::optional<std::filesystem::path> busca_bd(const std::string& nombre);
  std::optional<AjustesInstalacion> instalacion();
  void control_pares();
  void control_errores();
  void abre_catalogo(bool por_objeto);
  void acepta_catalogo();

  Ajustes ajustes_;
  Dialogos& dialogos_;
  std::unique_ptr<Sesion> sesion_;
  std::unique_ptr<ControlVisor> control_;
  std::unique_ptr<AccionesControlVisor> acciones_;
  AreaDibujo* area_ = nullptr;
  QLineEdit* text_[8] = {};
  QLabel* estado_ = nullptr;
  QLabel* fecha_ = nullptr;
  QLabel* hora_ = nullptr;
  QProgressBar* progreso_ = nullptr;
  QPointer<InfoElem> info_;
  QPointer<Topo> topo_;
  TablaSeleccion seleccion_catalogo_;  // shared by the two catalogue browsers
  bool ajustada_ = false;
  bool cerrando_ = false;
  int cursores_ocupados_ = 0;
  VigiaHoja vigia_;
};

}  // namespace telmora
