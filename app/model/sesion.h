// What a session holds for the open sheet: its run settings, palette, code table and the loaded
// entities, and the last results of the tools that the viewer goes on showing. The viewer owns
// one; the command line builds one per command; tests build their own.
#pragma once

#include <memory>

#include "ajustes.h"
#include "hoja.h"
#include "indice_espacial.h"
#include "progreso.h"
#include "tabla_vekt.h"

namespace telmora {

// Results of tools, defined with them (topologia/topologia.h, edicion/duplicados.h).
class ResultadoTopologia;
class ResultadoDuplicados;

struct Sesion {
  Ajustes ajustes;
  Paleta paleta;
  TablaVekt tabla;
  Hoja hoja;
  // Grid over the entities' boxes; an empty one makes every search walk the whole sheet.
  IndiceEspacial indice_espacial;
  // The last topology run (its polygons are redrawn and the face under the pointer found) and
  // the last duplicate search (its marks are drawn, applied or left out of a copy, and a later
  // search passes over those it applied); none until the tool runs. A new run replaces them.
  std::shared_ptr<const ResultadoTopologia> topologia;
  std::shared_ptr<const ResultadoDuplicados> duplicados;
};

// The entities to examine for a rectangle of the map (metres), ascending (file order): the
// spatial grid's candidates when the rectangle is small, every entity of the sheet when it covers
// much of it or is inverted. Each caller still applies its own exact test.
std::vector<std::int32_t> entidades_a_examinar(const Sesion& sesion, double xmin, double ymin,
                                               double xmax, double ymax);

// Whether a session indexes its entities' boxes: a command that never searches an area of the map
// (the file report) spares the time and memory of the grid.
enum class IndiceCajas { con, sin };

// Reads the palette, the code table and the entity file named by the settings, reporting each
// step, and indexes the entities' boxes. Missing files throw ErrorFicheroInexistente, unreadable
// tables ErrorTelmora, a corrupt sheet ErrorCorrupcion.
Sesion abre_sesion(const Ajustes& ajustes, Progreso& progreso = Progreso::ninguno(),
                   IndiceCajas indice = IndiceCajas::con);

// Reads the sheet again from its file and indexes it, after a tool changed the file in ways the
// loaded copy does not hold (pieces appended in place of the elements it replaced). The settings,
// palette, code table with its switches and the tools' last results stay: entity numbers do not
// change, the new pieces come after the last one. Throws as abre_sesion, leaving the session as
// it was.
void recarga_hoja(Sesion& sesion, Progreso& progreso = Progreso::ninguno());

}  // namespace telmora
