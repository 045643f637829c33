// The cleanup of the sheet's line network in one run: dangling ends snapped to nodes and to
// elements, elements split where they cross, and the changes written into the sheet's file in
// place. The run works on the elements the last drawing drew (Entidad::pintado) for the graph
// and the crossings; the snap targets are all the active elements.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "depuracion/enganche.h"
#include "depuracion/tramificacion.h"
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
  std::int32_t nodos_movidos = 0;
  std::int32_t elementos_partidos = 0;

  // "Nodos movidos :N", "Elementos partidos :M".
  std::vector<std::string> lineas() const;
};

// The whole run on the session's sheet with the session's tolerance: the graph and its listing,
// the searches, the cut listing, then the changes written into the sheet's file (see
// aplica_binjunta). The listings are written before the sheet is touched; a failed write stops
// the run with ErrorTelmora (the path and the system's reason).
ResultadoBinjunta ejecuta_binjunta(Sesion& sesion, const OpcionesBinjunta& opciones,
                                   Progreso& progreso = Progreso::ninguno(),
                                   const BusquedasBinjunta& busquedas = {});

// Writes what a run changed into the sheet's file and the loaded sheet: lines whose vertices
// moved are rewritten in place (range block and vertices); each line that lost a vertex (a stub
// whose ends met keeps one), and each line that its cuts split into two or more pieces, is
// replaced by its new record or its pieces, with its attributes (appended, the old one marked
// deleted): no line is deleted outright. All of it is one change of the file (MarcadorBorrados):
// a failure or an interruption leaves the file and the loaded sheet as they were. The loaded
// sheet takes the rewrites and the deletions (appended records are seen once the sheet is loaded
// again) and its spatial index is
// rebuilt. Returns the number of elements split.
std::int32_t aplica_binjunta(Sesion& sesion, const RedBinjunta& red);

}  // namespace telmora
