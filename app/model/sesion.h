// What a session holds for the open sheet: its run settings, palette, code table and the loaded
// entities. The viewer owns one; the command line builds one per command; tests build their own.
#pragma once

#include "ajustes.h"
#include "hoja.h"
#include "indice_espacial.h"
#include "progreso.h"
#include "tabla_vekt.h"

namespace telmora {

struct Sesion {
  Ajustes ajustes;
  Paleta paleta;
  TablaVekt tabla;
  Hoja hoja;
  // Grid over the entities' boxes; an empty one makes every search walk the whole sheet.
  IndiceEspacial indice_espacial;
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

}  // namespace telmora
