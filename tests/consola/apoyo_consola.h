// A session with a code table of chosen codes and a viewer that records what the console asks.
#pragma once

#include <string>
#include <vector>

#include "carpeta_temporal.h"
#include "dialogos_guion.h"
#include "hoja_de_prueba.h"
#include "tabla_vekt.h"
#include "texto.h"
#include "visor/consola.h"

namespace prueba {

// Palette: index 0 black (a comment line), 1 red, 2 green, 3 blue, 4 yellow, 5 white.
inline std::string paleta_consola() {
  return "// negro\r\n255 0 0\r\n0 255 0\r\n0 0 255\r\n255 255 0\r\n255 255 255\r\n";
}

// Background 0, unknown codes 5; "100" lines in green, "200" filled in blue.
inline std::string tabla_consola() {
  return "//@ 0 5\r\n100 1 2\r\n200 2 3\r\n";
}

// One table entry of colour 1 per code, no settings line unless given.
inline telmora::TablaVekt tabla_de(const std::vector<std::string>& codigos,
                                   const std::string& ajustes = "") {
  std::string texto = ajustes;
  for (const auto& codigo : codigos) texto += codigo + " 1 1\r\n";
  auto tabla = telmora::interpreta_vekt_tab(texto, "Vekt.tab");
  tabla.indexa();
  return tabla;
}

// The codes of the table's visible entries, in table order.
inline std::vector<std::string> visibles(const telmora::TablaVekt& tabla) {
  std::vector<std::string> codigos;
  for (int n = 1; n <= tabla.num_entradas(); ++n) {
    if (tabla.fila(n).visible) codigos.push_back(tabla.fila(n).codigo());
  }
  return codigos;
}

class VisorGrabado : public telmora::AccionesVisor {
 public:
  std::vector<std::string> llamadas;
  int pendiente = -1;

  void regenera() override { llamadas.push_back("regenera"); }
  void centrar() override { llamadas.push_back("centrar"); }
  void pulsa_izquierdo(double x, double y) override {
    llamadas.push_back("pulsa " + telmora::numero_a_texto(x) + " " + telmora::numero_a_texto(y));
  }
  void info_elemento() override { llamadas.push_back("info_elemento"); }
  void nuevo_texto() override { llamadas.push_back("nuevo_texto"); }
  void accion_consola_pendiente(int valor) override { pendiente = valor; }
  void bininfo() override { llamadas.push_back("bininfo"); }
  void borra_ventana() override { llamadas.push_back("borra_ventana"); }
  void salir() override { llamadas.push_back("salir"); }
};

// A session over a table of codes, with a working folder, a data folder and a command-file
// folder of its own.
struct EntornoConsola {
  CarpetaTemporal trabajo, datos, tablas;
  telmora::Sesion sesion;
  telmora::Visualizacion visualizacion;
  DialogosGuion dialogos;
  VisorGrabado visor;

  explicit EntornoConsola(const std::vector<std::string>& codigos,
                          const std::string& ajustes = "") {
    sesion.tabla = tabla_de(codigos, ajustes);
    sesion.ajustes.dir_trabajo = trabajo.ruta();
  }

  // Runs one typed line through a console of its own, as the form does.
  void teclea(const std::string& linea) { consola().ejecuta(linea); }
  telmora::Consola consola() {
    return telmora::Consola(sesion, visualizacion, dialogos, &visor, {datos.ruta(), tablas.ruta()});
  }
};

}  // namespace prueba
