// The command console: one typed line switches codes of the code table on and off for display
// and location ("visibility"), sets the background and unknown-code colours or the arc-label
// distance, runs a command file, or asks the viewer to centre, arm an action, open the file
// information or end. The toolbar buttons and menu entries that switch codes run the same
// visibility commands through this class.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "carpetas.h"
#include "dialogos.h"
#include "sesion.h"
#include "visor/control_visor.h"
#include "vista.h"
#include "visualizacion.h"

namespace telmora {

// The code list of a visibility command: at most 5,000 code texts.
class ListaCodigos {
 public:
  static constexpr std::size_t kMaximo = 5000;

  // Appends a code. A full list takes nothing more, remembers that something was left out and
  // returns false.
  bool anade(std::string codigo);
  void vacia();
  bool llena() const { return codigos_.size() >= kMaximo; }
  bool desbordada() const { return desbordada_; }
  std::size_t size() const { return codigos_.size(); }
  const std::vector<std::string>& codigos() const { return codigos_; }

  // Ascending by text comparison, so "100" comes before "20".
  void ordena();

 private:
  std::vector<std::string> codigos_;
  bool desbordada_ = false;
};

// True when the text holds exactly one "-".
bool solo1g(std::string_view cadena);

// Appends the codes of a list: items separated by ",", each a code or a range "a-b" of integers
// (every integer from a to b, none when a > b). A range with a non-numeric end, or an item with
// more than one "-", adds the entry "Error", which matches no code. Items are trimmed.
void traduce(std::string_view cadena, ListaCodigos& lista);

// Sorts the list and sets the visibility of every table row whose code begins with one of its
// entries (the catalogue browsers fill the list).
void marco_modelo(TablaVekt& tabla, ListaCodigos& lista, bool marca);

// The folders searched after the working folder: code-list files in `datos`, command files in
// `datos` and then `tablas`.
struct CarpetasConsola {
  std::filesystem::path datos = dir_datos_fijo();
  std::filesystem::path tablas = dir_tablas_fijo();
};

// What the console asks of the viewer. The viewer implements it over its controller.
class AccionesVisor {
 public:
  virtual ~AccionesVisor() = default;
  // The view in force, to convert a map point to the drawing area.
  virtual const Vista& vista() const = 0;
  // Redraw (mnuRegenera).
  virtual void regenera() = 0;
  // mnuCentrar: current scale := scale denominator; action 4 armed.
  virtual void centrar() = 0;
  // A press of button 1 on the drawing area at (x, y), as if the user had clicked there.
  virtual void pulsa_izquierdo(int x, int y) = 0;
  // mnuInfoElemento: action 2 armed.
  virtual void info_elemento() = 0;
  // Cross-hair pointer; action 5 armed (place a new text at the next click).
  virtual void nuevo_texto() = 0;
  // The console-action-pending value of the mouse handling (2 while a console action waits).
  virtual void accion_consola_pendiente(int valor) = 0;
  // Shows the file information form.
  virtual void bininfo() = 0;
  // Cross-hair pointer; deletes the entities inside the view window.
  virtual void borra_ventana() = 0;
  // Closes the console, the viewer and the start form: the program ends.
  virtual void salir() = 0;
};

// The console's requests served by the viewer's controller. Opening the file information form,
// deleting the window's entities and ending the program belong to the viewer window, which
// sets the three hooks (an empty hook does nothing).
class AccionesControlVisor : public AccionesVisor {
 public:
  explicit AccionesControlVisor(ControlVisor& control) : control_(control) {}

  std::function<void()> al_bininfo, al_borrar_ventana, al_salir;

  const Vista& vista() const override { return control_.vista; }
  void regenera() override { control_.redibuja(); }
  void centrar() override { control_.centrar(); }
  void pulsa_izquierdo(int x, int y) override { control_.pulsa(Boton::izquierdo, x, y); }
  void info_elemento() override { control_.arma(AccionRaton::info_elemento); }
  void nuevo_texto() override { control_.arma(AccionRaton::nuevo_texto); }
  void accion_consola_pendiente(int valor) override { control_.accion_consola_pendiente = valor; }
  void bininfo() override { llama(al_bininfo); }
  void borra_ventana() override { llama(al_borrar_ventana); }
  void salir() override { llama(al_salir); }

 private:
  static void llama(const std::function<void()>& gancho) {
    if (gancho) gancho();
  }
  ControlVisor& control_;
};

// One command of the console, a button or a menu entry. Create one per command: it holds the
// code list of that command and tells the user at most once that a list was cut at 5,000.
class Consola {
 public:
  // `visor` may be null where there is no viewer (the command line): "REGENERA" lines of
  // command files then do nothing, and the viewer commands are not available.
  Consola(Sesion& sesion, Visualizacion& visualizacion, Dialogos& dialogos,
          AccionesVisor* visor = nullptr, CarpetasConsola carpetas = {});

  ListaCodigos codigos;

  // Runs one typed line. An empty line does nothing (the console just closes).
  void ejecuta(std::string_view linea);

  // A visibility command ("ON=...", "OFF=...", "ON_A=...", "OFF_A=...") issued by a button, a
  // menu entry or a command file: the selection display switch := `seleccion`, then the
  // command's list is applied. A line of any other word does nothing.
  void orden_visibilidad(std::string_view orden, bool seleccion);

  // Applies a visibility list (the text after "=") to the code table: "P*" every code beginning
  // with P, a ".TAB" or ".M" file name the codes of that file, otherwise a list for traduce.
  void marco(std::string_view argumento, bool marca);

  // Fills the code list from a code-list file looked for in the working folder, then in the
  // data folder; returns the path read, or nothing after telling the user
  // "No existe el fichero :" and the first path tried. Each line is split at ";" into up to six
  // trimmed fields; its first and second fields, when not empty, are codes, each added once.
  std::optional<std::filesystem::path> leeTab(std::string_view fich_tab);

  // Runs a command file ("@" and its name), looked for in the working folder, the data folder
  // and the command-file folder: its "ON=" and "OFF=" lines switch codes, "REGENERA" redraws,
  // every other line is ignored.
  void ProcesaArroba(std::string_view arroba);

 private:
  // A palette index typed after a command, or nothing after telling the user what it must be.
  std::optional<int> indice_de_paleta(std::string_view argumento, const char* orden,
                                      const char* que);
  void color_fondo(std::string_view argumento);
  void color_nuevo(std::string_view argumento);
  void distancia_cotas(std::string_view argumento);
  void zoomp(std::string_view argumento);
  void orden_simple(const std::string& palabra);
  void aplica_lista(bool marca);
  void avisa_desbordamiento();
  bool con_visor(const std::string& palabra);

  Sesion& sesion_;
  Visualizacion& visualizacion_;
  Dialogos& dialogos_;
  AccionesVisor* visor_;
  CarpetasConsola carpetas_;
  bool avisado_desbordamiento_ = false;
};

// The command word of a line: the text before its first "=" (or the whole line), trimmed and
// upper-cased.
std::string palabra_orden(std::string_view linea);

// True for the lines that change only the code table and the display switches (ON, OFF, ON_A,
// OFF_A, COLOR_FONDO, COLOR_NUEVO and "@" command files): what a drawing without a viewer can
// apply.
bool es_orden_de_visibilidad(std::string_view linea);

// The toolbar buttons and menu entries that switch codes; each redraws afterwards.
void OffPares(Consola& consola, AccionesVisor& visor);        // "OFF=1-20"
void OnTodo(Consola& consola, AccionesVisor& visor);          // "ON=*"
void mnuTodos(Consola& consola, AccionesVisor& visor);        // "ON_A=*"
void mnuSueloUrbano(Consola& consola, AccionesVisor& visor);  // urban land parcels only
void mnuVialUrbano(Consola& consola, AccionesVisor& visor);   // urban road parcels only

}  // namespace telmora
