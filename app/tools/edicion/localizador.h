// Element location: which entity the user pointed at. The entities around a clicked point are
// offered one at a time, in file order, highlighted on the drawing, until the user accepts one.
#pragma once

#include <cstdint>
#include <functional>

#include "dialogos.h"
#include "sesion.h"
#include "superficie.h"
#include "vista.h"
#include "visualizacion.h"

namespace telmora {

// The clicked point and the square search box of half side tolerancia_tentativo around it, in
// metres.
struct Tentativo {
  double xtentativo = 0, ytentativo = 0;
  double tolerancia_tentativo = 0;

  double tentativo_minx() const { return xtentativo - tolerancia_tentativo; }
  double tentativo_miny() const { return ytentativo - tolerancia_tentativo; }
  double tentativo_maxx() const { return xtentativo + tolerancia_tentativo; }
  double tentativo_maxy() const { return ytentativo + tolerancia_tentativo; }
};

// The search box drawn on the surface in invert mode; erasing draws it again, which restores
// the picture.
void dibuja_localizador(Superficie& superficie, const Vista& vista, const Tentativo& tentativo);
void borra_localizador(Superficie& superficie, const Vista& vista, const Tentativo& tentativo);

// Title and text of the question that offers an entity.
inline constexpr const char* kTituloEleccion = "Elección de entidad";
std::string pregunta_eleccion(const Sesion& sesion, const Entidad& entidad);

// Walks the active entities whose box overlaps the search box, in file order, and offers each hit
// through Dialogos::si_no with the entity highlighted on the surface: texts by their box, lines
// and points by a vertex inside the search box or a segment passing within the tolerance. Before
// each question `muestra` puts the picture on screen, so that the user sees what is offered.
// After No the highlight is removed and the walk goes on; the entity accepted is returned, its
// highlight still drawn (the caller redraws the view and lists it). 0 when the user accepted none.
std::int32_t leo_bin_localizo(const Sesion& sesion, const Vista& vista,
                              const Visualizacion& visualizacion, Superficie& superficie,
                              Dialogos& dialogos, const Tentativo& tentativo,
                              const std::function<void()>& muestra = {});

// The element-information click at a map point (metres): the search box of the session's
// tolerance is drawn around it, the entities are offered, and the box is erased again. Returns the
// entity accepted (the caller then redraws the view and opens its listing), or 0.
std::int32_t accion_info_elemento(const Sesion& sesion, const Vista& vista,
                                  const Visualizacion& visualizacion, Superficie& superficie,
                                  Dialogos& dialogos, double xtentativo, double ytentativo,
                                  const std::function<void()>& muestra = {});

}  // namespace telmora
