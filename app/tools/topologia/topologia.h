// One topology run, as the topology form runs it when it opens: the graph of the drawn lines
// (pruned unless an elevation command needs every arc), the polygons, the command chosen in the
// menu (islands, the centroid check, the analyses of the elevation commands) and the form's
// result lines. The run only reads the sheet. What is made of its result lives apart: the
// listings (ListadosTopologia, a reporter of the run), the drawing (dibujo_topologia.h), the GIS
// layers of the centroid check (sig/capas_topologia.h), and the writes of the elevation commands
// (graba_cotas_calles, aplica_cotas). The viewer keeps the last result in the session, to redraw
// its polygons and to find the face under the pointer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "dialogos.h"
#include "dibujadas.h"
#include "progreso.h"
#include "sesion.h"
#include "topologia/cotas.h"
#include "topologia/etiquetas_cota.h"
#include "topologia/grafo.h"
#include "topologia/islas.h"
#include "topologia/poligonos.h"

namespace telmora {

// Which closed polygons the drawing by class shows (the display class).
enum class ClasePoligonos : std::uint8_t { caras = 0, envolventes = 1, todas = 3 };

// The topology commands: the viewer's entries that run the topology form.
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

struct OpcionesTopologia {
  EntradaTopologia orden = EntradaTopologia::todo;
  // The display class. An entry that fixes none leaves the one in force.
  ClasePoligonos clase = ClasePoligonos::todas;
  // The console's DA: metres between the elevation labels along an arc (0: the default).
  double distancia_cotas = 0;

  // The PSCT and street elevation commands work on every arc, dangling ones included.
  bool sin_poda() const;
  // The islands are looked for by their own command and by the centroid check.
  bool busca_islas() const;
  // The centroid check runs for its own command and for Z from texts, which needs it.
  bool comprueba_centroides() const;
  // The street elevation labels, drawn only or also written to the "COT" file.
  bool etiqueta_calles() const;
  // The in-place elevation commands: Z from PSCT points and Z from texts.
  bool modifica_cotas() const;
};

// Sets the command as the entry does, and the display class where the entry fixes one.
void selecciona_entrada(OpcionesTopologia& opciones, EntradaTopologia entrada);

class ResultadoTopologia {
 public:
  OpcionesTopologia opciones;
  GrafoTopologico grafo;
  TablaPoligonos poligonos;
  IslasTopologia islas;
  LocalizadorPoligonos localizador;
  // What the elevation commands prepared: the PSCT tables and the arcs' new vertices, the arcs'
  // new vertices from the faces' texts, and the street labels (drawn, and written to the "COT"
  // file by "Graba"), in the order they are placed.
  SubidaCotaTramos subida;
  CotaDeRecintos cotas_recintos;
  std::vector<EtiquetaCota> etiquetas_cota;
  // Elements whose vertices the in-place commands wrote.
  std::int32_t elementos_modificados = 0;
  // The form's result lines.
  std::vector<std::string> lineas_resultado;
  // Files that could not be written (listings, the sheet, the "COT" file), one message each.
  std::vector<std::string> fallos_escritura;

  const std::vector<std::string>& lineas() const { return lineas_resultado; }
  // The lines telmora-cli prints: the form's lines, then "Islas encontradas :N" after the island
  // command, or the four counts of the centroid check after its command.
  std::vector<std::string> lineas_y_recuentos() const;
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

// Hears a run where its tables are complete: once the polygons are built and their adjacency
// known (before the command fills the faces' centroids), and once the command has run.
class InformeTopologia {
 public:
  virtual ~InformeTopologia() = default;
  virtual void poligonos_construidos(const Hoja& /*hoja*/, const ResultadoTopologia& /*r*/) {}
  virtual void orden_ejecutada(const Hoja& /*hoja*/, const ResultadoTopologia& /*r*/) {}

  static InformeTopologia& ninguno() {
    static InformeTopologia silencioso;
    return silencioso;
  }
};

// Runs the topology on the drawn entities of the session's sheet: the graph of the drawn open
// lines and the drawn texts, the walk (reporting its progress), the command. The elevation
// commands only prepare what they write.
ResultadoTopologia ejecuta_topologia(const Sesion& sesion, const EntidadesDibujadas& dibujadas,
                                     const OpcionesTopologia& opciones,
                                     Progreso& progreso = Progreso::ninguno(),
                                     InformeTopologia& informe = InformeTopologia::ninguno());

// The listing files, in the listings folder (and kListadoNodos).
inline constexpr const char* kListadoPoli1 = "Poli1.txt";
inline constexpr const char* kListadoPoli2 = "Poli2.txt";
inline constexpr const char* kListadoIslas = "Islas.txt";
inline constexpr const char* kListadoComponentes = "CompIslas.txt";
inline constexpr const char* kListadoAdyacencia = "Adyacencia.txt";

// The run's listings, each replaced whole in a folder: once the polygons are built, the nodes,
// arcs and polygons (Nodos.txt) and the closed polygons as elements in summary order and by area
// (Poli1.txt, Poli2.txt); at the end, the adjacency after the centroid check (Adyacencia.txt),
// the islands (Islas.txt) and their components (CompIslas.txt). A listing that cannot be written
// is kept in `fallos` and the others are still written.
class ListadosTopologia : public InformeTopologia {
 public:
  explicit ListadosTopologia(std::filesystem::path carpeta) : carpeta_(std::move(carpeta)) {}
  void poligonos_construidos(const Hoja& hoja, const ResultadoTopologia& r) override;
  void orden_ejecutada(const Hoja& hoja, const ResultadoTopologia& r) override;

  std::vector<std::string> fallos;

 private:
  void lista(const char* nombre, const std::function<void(const SalidaLineas&)>& genera);

  std::filesystem::path carpeta_;
};

// The question asked before the in-place elevation commands, under the title "ADVERTENCIA".
std::string advertencia_cotas(const OpcionesTopologia& opciones);

// "Graba": the street labels appended to the sheet's "COT" file. A failed write is added to
// fallos_escritura.
void graba_cotas_calles(const Sesion& sesion, ResultadoTopologia& resultado);

// The writes of the elevation commands that a run prepared: graba_cotas_calles; for Z from PSCT
// points and Z from texts, once the user answers OK to "ADVERTENCIA", the new vertices written
// into the sheet and the loaded sheet, and the form's lines for the command. Cancel writes
// nothing and leaves the topology lines. A failed write is added to fallos_escritura.
void aplica_cotas(Sesion& sesion, ResultadoTopologia& resultado, Dialogos& dialogos,
                  Progreso& progreso = Progreso::ninguno());

}  // namespace telmora
