// The viewer's behaviour without its window: the view and display state, the commands of the
// menus, toolbar and keys, the armed mouse action, and what a click or a pointer move does.
// The viewer form implements PantallaVisor and forwards its events here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dialogos.h"
#include "dibujadas.h"
#include "pintor.h"
#include "sesion.h"
#include "superficie.h"
#include "topologia/dibujo_topologia.h"
#include "vista.h"
#include "visualizacion.h"

namespace telmora {

// The armed mouse action (mouse_accion).
enum class AccionRaton : int {
  ninguna = 0,
  zoom_ventana = 1,
  info_elemento = 2,
  medir = 3,
  centrar = 4,
  nuevo_texto = 5,
};

enum class Puntero { defecto, cruz, reloj, reloj_flecha };

enum class Boton { izquierdo = 1, derecho = 2, central = 4 };

enum class Tecla { izquierda, derecha, arriba, abajo, mas, menos };

// What the viewer window does for the controller.
class PantallaVisor {
 public:
  virtual ~PantallaVisor() = default;
  virtual Superficie& superficie() = 0;
  // The picture changed: show it.
  virtual void refresca() = 0;
  virtual void puntero(Puntero puntero) = 0;
  virtual void texto_escala(const std::string& texto) = 0;                   // Text5
  virtual void texto_distancia(const std::string& texto, bool visible) = 0;  // Text6
  virtual void texto_filtro(const std::string& texto) = 0;                   // Text7
  // Text1 to Text4: screen x and y, map x and y of the pointer.
  virtual void lecturas(const std::string& xp, const std::string& yp, const std::string& x,
                        const std::string& y) = 0;
  virtual void linea_estado(const std::string& texto) = 0;
  // The elevation-range dialog with the current limits; false when it is closed without them.
  virtual bool pide_rango_cotas(double& minima, double& maxima) = 0;
};

// Numbers as the read-out boxes show them: Spanish grouping ("440.123,457").
std::string formato_es(double valor, int decimales);
// A number cut three characters after its decimal separator (whole when it has none).
std::string corta_tres_decimales(const std::string& texto);
// A scale denominator as the scale box and the status line show it: no trailing zeros
// ("1.500", "666,667").
std::string escala_en_texto(double escala);

class ControlVisor {
 public:
  ControlVisor(Sesion& sesion, PantallaVisor& pantalla, Dialogos& dialogos);

  Sesion& sesion() { return sesion_; }
  Vista vista;
  Visualizacion visualizacion;

  // State of the interaction.
  AccionRaton mouse_accion = AccionRaton::ninguna;
  bool medir = false;
  bool medir1 = false;
  bool visualiza_reales = true;
  bool visualiza_pantalla = false;
  bool visualiza_escala = true;
  bool visualiza_mdt = false;
  int pulsaciones_zoom = 0;
  PuntoPantalla ultima_pulsacion, origen_medida, primera_esquina;
  // The scale that action 4 applies at its click (fixed scale, Zoom+, Zoom-, Centrar).
  double escala_armada = 1;
  double xtentativo = 0, ytentativo = 0;
  int accion_consola_pendiente = 0;

  // Run for the element-information click with the clicked point (metres).
  std::function<void(double, double)> localiza;
  // Run for the place-text click with the clicked point (metres).
  std::function<void(double, double)> coloca_texto;
  // Heard before every redraw: the sheet may be loaded again there.
  std::function<void()> antes_de_dibujar;

  // The drawing area's size (pixels) and twips per pixel; the view keeps its centre and its
  // current scale.
  void dimensiona(int ancho, int alto, double twips_por_pixel);
  // Initial view: the whole file.
  void ajusta_a_fichero();

  // Redraw: measuring off, clear, draw. The entities drawn are kept: the tools that work on what
  // the view shows take them.
  ResultadoDibujo redibuja();
  const EntidadesDibujadas& dibujadas() const { return dibujadas_; }
  // How many redraws there have been: a caller can tell whether the picture was drawn since.
  std::uint64_t redibujos() const { return redibujos_; }
  void zoom_todo();
  void arma(AccionRaton accion);
  void centrar();                       // current scale := scale; arm action 4
  void escala_fija(double escala);      // current scale := escala; arm action 4
  void zoom_mas();                      // current scale := scale / 1.5; arm action 4
  void zoom_menos();                    // current scale := scale * 1.5; arm action 4
  void escala_tecleada(double escala);  // re-centres at a typed scale
  // Measuring on or off (mnuDistancia, and the Distancia button, which leaves Text6 alone).
  void conmuta_medir(bool toca_distancia);
  void cancela();  // right button
  void tecla(Tecla tecla);
  // The mouse wheel: each step towards the user zooms out by 1.5, each step away zooms in,
  // keeping the map point under the pointer where it is.
  void rueda(int x, int y, int pasos);

  // Display filters; each redraws.
  void modo_elementos(ModoElementos modo, bool centroides, const std::string& titulo);
  void conmuta_relleno();
  void rango_cotas();
  // Centroid mode writing each interior point as a text to "_x.bin"; returns the path written.
  std::filesystem::path grabar_centroides();
  // Terrain model on (the sheet's name with ".MDT") or off; the status line then shows the
  // elevation under the pointer.
  void activa_mdt();

  // Topology: the options the menu entries set (kept until the viewer closes), the last run
  // (kept in the session), and the face highlighted under the pointer.
  OpcionesTopologia opciones_topologia;
  std::int32_t poligono_resaltado = 0;
  // Seconds of the day, for the throttle of the highlight; the system clock unless replaced.
  std::function<double()> reloj;
  void entrada_topologia(EntradaTopologia entrada);
  // Runs the topology on what the view shows, draws it, and keeps the result in the session. The
  // listings go to the working folder; the street labels are spaced by the console's DA; the
  // in-place elevation commands ask "ADVERTENCIA" first and write into the sheet.
  const ResultadoTopologia& topologia(Progreso& progreso, const ConsultaPares* pares = nullptr);
  const ResultadoTopologia* ultima_topologia() const { return sesion_.topologia.get(); }
  // The highlight entry is the one in force: the face under the pointer is drawn highlighted.
  bool resaltando() const;
  // Redraws the polygons of the last run without building them again.
  void visualiza_topologia();

  // Mouse.
  void pulsa(Boton boton, int x, int y);
  void mueve(int x, int y);
  // A press of the left button at a map point (metres), as the console feeds one: an armed
  // centring takes the point itself, not the pixel under it; any other action gets that pixel.
  void pulsa_en_mapa(double x, double y);

 private:
  // A served click: default pointer, nothing armed, no console action waiting.
  void desarma();
  // Action 4 served at a map point (metres): the view centred on it at the armed scale.
  void centra_en(double x, double y);
  // The dot and circle of the measuring origin, drawn inverted: drawn a second time, they are
  // erased.
  void invierte_marcas_medida();
  // The origin (0, 0) of the drawing area stands for no origin.
  bool hay_origen_medida() const { return origen_medida.x != 0 && origen_medida.y != 0; }
  void muestra_escala();
  // After the view changed: the scale box and the picture.
  void muestra_vista();
  std::string linea_estado(int x, int y, const std::string& xm, const std::string& ym,
                           const std::string& distancia) const;

  LienzoTopologia lienzo_topologia();
  // The face under the pointer, looked up at most every 0.2 s; drawn when it changes.
  void resalta_bajo_puntero(double x, double y);
  // The face at a map point (metres) drawn highlighted; its number, or 0.
  std::int32_t resalta_en(double x, double y);

  Sesion& sesion_;
  PantallaVisor& pantalla_;
  Dialogos& dialogos_;
  Pintor pintor_;
  std::string titulo_filtro_;
  std::string texto_distancia_;
  // The distance box is shown by the Distancia menu entry and hidden by the right button; the
  // pointer moves only change its text.
  bool distancia_visible_ = false;
  bool vista_de_fichero_ = false;         // the view shows the whole sheet as fitted
  std::optional<PuntoPantalla> puntero_;  // where the pointer was last seen
  std::uint64_t redibujos_ = 0;
  EntidadesDibujadas dibujadas_;
  double inicio_resaltado_ = 0;  // time of the last lookup of the face under the pointer
};

}  // namespace telmora
