// The cleanup of the sheet's line network in one run: dangling ends snapped to nodes and to
// elements, elements split where they cross, and the changes written into the sheet's file in
// place. The run works on the elements a drawing drew for the graph and the crossings; the snap
// targets are all the active elements. The searches only read the sheet (ejecuta_binjunta); the
// listings and the writes (aplica_binjunta) come after them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "depuracion/enganche.h"
#include "depuracion/tramificacion.h"
#include "dibujadas.h"
#include "progreso.h"
#include "sesion.h"
#include "topologia/grafo.h"

namespace telmora {

// The debugging listings of a run: the node and arc tables as built (kListadoNodos), and the
// cut table.
inline constexpr const char* kListadoCortes = "entidadesP.txt";

// Every pair of drawn active lines, in C-array order, whose segments cross: each crossing
// becomes a cut of the elements concerned (corta_en_cruce), in the order of the plain search of
// every pair of elements and every pair of their segments. A grid over the segments' boxes
// yields the pairs that may cross.
void BuscaInterTramosEntidad(RedBinjunta& red, Progreso& progreso = Progreso::ninguno());

// The three searches of a run, in the order they run.
struct BusquedasBinjunta {
  void (*nodo_a_nodo)(RedBinjunta&, Progreso&) = BuscaNodoProximo;
  void (*nodo_a_elemento)(RedBinjunta&, Progreso&) = BuscaNodoEntidadProxima;
  void (*cruces)(RedBinjunta&, Progreso&) = BuscaInterTramosEntidad;
};

struct OpcionesBinjunta {
  std::filesystem::path carpeta_listados;  // empty: the session's working folder
};

struct ResultadoBinjunta {
  // The network as the searches left it, and the pieces of each element of its cut table in the
  // table's order (one piece: not split): what aplica_binjunta writes.
  std::unique_ptr<RedBinjunta> red;
  std::vector<std::vector<std::vector<Vertice>>> piezas;
  // The node and arc listing of the graph as built, before any move.
  std::vector<std::string> listado_nodos;
  std::int32_t nodos_movidos = 0;
  // Elements that their cuts split into two pieces or more.
  std::int32_t elementos_partidos = 0;

  // "Nodos movidos :N", "Elementos partidos :M".
  std::vector<std::string> lineas() const;
};

// The searches of a run on the drawn network of the session's sheet with the session's
// tolerance, in order: node to node, node to element, crossings. Nothing is written.
ResultadoBinjunta ejecuta_binjunta(const Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                   Progreso& progreso = Progreso::ninguno(),
                                   const BusquedasBinjunta& busquedas = {});

// The run's listings in a folder: the node and arc tables as built (Nodos.txt) and the cut table
// (entidadesP.txt). A failed write throws ErrorTelmora (the path and the system's reason).
void escribe_listados_binjunta(const ResultadoBinjunta& resultado,
                               const std::filesystem::path& carpeta);

// Writes what a run changed into the sheet's file and the loaded sheet: lines whose vertices
// moved are rewritten in place (range block and vertices); each line that lost a vertex (a stub
// whose ends met keeps one), and each line that its cuts split into two or more pieces, is
// replaced by its new record or its pieces, with its attributes (appended, the old one marked
// deleted): no line is deleted outright. All of it is one change of the file (MarcadorBorrados):
// a failure or an interruption leaves the file and the loaded sheet as they were. The loaded
// sheet takes the rewrites and the deletions (appended records are seen once the sheet is loaded
// again) and its spatial index is rebuilt. Returns the number of elements split.
std::int32_t aplica_binjunta(Sesion& sesion, const ResultadoBinjunta& resultado);

// The whole run as the cleanup form and the command line make it: ejecuta_binjunta, the listings
// (in the folder asked for, else the working folder, else beside the sheet), then
// aplica_binjunta. The listings are written before the sheet is touched; a failed write stops
// the run with ErrorTelmora (the path and the system's reason).
ResultadoBinjunta ejecuta_y_aplica_binjunta(Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                            const OpcionesBinjunta& opciones,
                                            Progreso& progreso = Progreso::ninguno(),
                                            const BusquedasBinjunta& busquedas = {});

}  // namespace telmora
