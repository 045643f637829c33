// One topology run, as the topology form runs it when it opens: the graph of the drawn lines
// (pruned unless an elevation command needs every arc), the polygons, the command chosen in the
// menu, the drawing, the listings and the form's result lines; then, for the elevation commands,
// their writes. The form and the command line only call ejecuta_y_aplica_topologia and show what
// it returns; the viewer keeps the last result to redraw its polygons and to find the face under
// the pointer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "consulta_pares.h"
#include "dialogos.h"
#include "progreso.h"
#include "sesion.h"
#include "topologia/cotas.h"
#include "topologia/dibujo_topologia.h"
#include "topologia/grafo.h"
#include "topologia/islas.h"
#include "topologia/poligonos.h"

namespace telmora {

// The switches of the topology commands and the display class of the polygons.
struct OpcionesTopologia {
  bool islas = false;
  bool errores_centroides = false;
  bool arcos_colgantes = false;
  bool interpola_cotas = false;      // elevation labels along the streets
  bool cotas_a_poligonos = false;    // Z of the arcs from the faces' texts
  bool cotas_a_tramos = false;       // Z of the arcs from the PSCT points
  bool graba_interpolacion = false;  // the street labels also written to a new file
  bool resaltar_poligono = false;    // the face under the pointer is highlighted
  ClasePoligonos clase = ClasePoligonos::todas;
  // The console's DA: metres between the elevation labels along an arc (0: the default).
  double distancia_cotas = 0;

  // Where the listings go (replaced whole at each run); none when empty.
  std::filesystem::path carpeta_listados;
  std::uint64_t semilla_colores = 0;  // 0: seeded from the clock
  // Set while the pair control draws: the centroid check then colours the faces by the state
  // of the pair their centroid names.
  const ConsultaPares* pares = nullptr;

  // The PSCT and street elevation commands work on every arc, dangling ones included.
  bool sin_poda() const { return cotas_a_tramos || interpola_cotas; }
};

// The viewer's entries that run the topology form.
enum class EntradaTopologia {
  todo,                // mnuTopologiaTodo
  no_envolventes,      // mnuTopologiaNoEnvolvente
  envolventes,         // mnuTopologiaEnvolventes
  islas,               // mnuTopologiaIslas
  errores_centroides,  // mnuTopologiaErrCentroides
  arcos_colgantes,     // mnuTopologiaArcosColgantes
  resaltar_poligono,   // mnuTopologiaResaltarPoligono
  cotas_calles,        // mnuTopoGenerarCotasCallesSoloVisualizar
  cotas_calles_graba,  // mnuTopoGenerarCotasCallesGraba
  cotas_a_recintos,    // mnuTopoDarCotasACartografia2D
  cotas_a_tramos,      // mnuTopoDarCotasACartografia2DTramos
};

// Sets the switches as the entry does: the command switches cleared, its own set, the display
// class where the entry fixes one. Only the highlight entry leaves the highlight on.
void selecciona_entrada(OpcionesTopologia& opciones, EntradaTopologia entrada);
// Whether the entry rewrites the sheet's file in place (the elevations given to arcs).
inline bool cambia_la_hoja(EntradaTopologia entrada) {
  return entrada == EntradaTopologia::cotas_a_recintos ||
         entrada == EntradaTopologia::cotas_a_tramos;
}

class ResultadoTopologia {
 public:
  GrafoTopologico grafo;
  TablaPoligonos poligonos;
  IslasTopologia islas;
  LocalizadorPoligonos localizador;
  OpcionesTopologia opciones;
  // What the elevation commands prepared: the PSCT tables and the arcs' new vertices, the arcs'
  // new vertices from the faces' texts, and the street labels as text elements for the "COT"
  // file ("Graba" only) with their count.
  SubidaCotaTramos subida;
  CotaDeRecintos cotas_recintos;
  std::string textos_cota;
  std::int32_t etiquetas_cota = 0;
  // Elements whose vertices the in-place commands wrote.
  std::int32_t elementos_modificados = 0;
  // The form's result lines.
  std::vector<std::string> lineas_resultado;
  // Files that could not be written (listings, the sheet, the "COT" file), one message each.
  std::vector<std::string> fallos_escritura;

  const std::vector<std::string>& lineas() const { return lineas_resultado; }
  // The face under a map point (file units), or 0.
  std::int32_t LocalizaPol(std::int32_t x, std::int32_t y) const {
    return localizador.LocalizaPol(poligonos, x, y);
  }

  // Counts of the centroid check.
  std::int32_t recintos_sin_centroide() const;
  std::int32_t recintos_con_varios() const;
  std::int32_t textos_sin_recinto() const;
  std::int32_t textos_en_varios() const;
};

// The listing files, in the listings folder (and kListadoNodos).
inline constexpr const char* kListadoPoli1 = "Poli1.txt";
inline constexpr const char* kListadoPoli2 = "Poli2.txt";
inline constexpr const char* kListadoIslas = "Islas.txt";
inline constexpr const char* kListadoComponentes = "CompIslas.txt";
inline constexpr const char* kListadoAdyacencia = "Adyacencia.txt";

// Runs the topology on the drawn elements of the session's sheet. The walk reports its progress;
// `lienzo`, when given, gets the picture (cleared, then the polygons and marks, and the street
// elevation labels). The elevation commands only prepare what they write. Throws ErrorTelmora
// only for an internal failure of the walk.
ResultadoTopologia ejecuta_topologia(const Sesion& sesion, const OpcionesTopologia& opciones,
                                     Progreso& progreso, const LienzoTopologia* lienzo);

// The question asked before the in-place elevation commands, under the title "ADVERTENCIA".
std::string advertencia_cotas(const OpcionesTopologia& opciones);

// The writes of the elevation commands that a run prepared: the street labels appended to the
// sheet's "COT" file ("Graba"); for Z from PSCT points and Z from texts, once the user answers OK
// to "ADVERTENCIA", the new vertices written into the sheet and the loaded sheet, and the form's
// lines for the command. Cancel writes nothing and leaves the topology lines. A failed write is
// added to fallos_escritura.
void aplica_cotas(Sesion& sesion, ResultadoTopologia& resultado, Dialogos& dialogos,
                  Progreso& progreso);

// The whole run as the topology form makes it: ejecuta_topologia, then aplica_cotas.
ResultadoTopologia ejecuta_y_aplica_topologia(Sesion& sesion, const OpcionesTopologia& opciones,
                                              Progreso& progreso, const LienzoTopologia* lienzo,
                                              Dialogos& dialogos);

// Redraws every closed polygon of a result, without building anything.
void PintaPoligonoTopo(const ResultadoTopologia& resultado, const LienzoTopologia& lienzo);

// Draws closed polygon c highlighted (outline in colour 30, pen width 6).
void PreparoPoligonoParaPintarYPinta(const ResultadoTopologia& resultado,
                                     const LienzoTopologia& lienzo, std::int32_t c);

}  // namespace telmora
