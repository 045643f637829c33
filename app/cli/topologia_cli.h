// What the topology commands share: the sheet opened and drawn whole, as the viewer shows it on
// opening (topology takes the lines that were drawn), and the end of a run: its failed writes
// and the picture.
#pragma once

#include <ostream>
#include <utility>

#include "argumentos.h"
#include "sesion.h"
#include "superficie_imagen.h"
#include "topologia/topologia.h"
#include "vista.h"
#include "visualizacion.h"

namespace telmora::cli {

// The sheet of the first positional argument (--mm for millimetres) drawn on a picture of
// --tamano pixels.
class HojaDibujada {
 public:
  explicit HojaDibujada(const Argumentos& argumentos);

  Sesion sesion;
  Vista vista;
  Visualizacion visualizacion;
  SuperficieImagen superficie;

  LienzoTopologia lienzo() {
    return {superficie, vista, sesion.paleta, sesion.ajustes.uds, visualizacion.estilo_pluma};
  }

 private:
  HojaDibujada(const Argumentos& argumentos, std::pair<int, int> tamano);
};

// Reports each failed write of the run and writes the --png picture; the exit status (a failed
// write is 1).
int termina_topologia(const ResultadoTopologia& resultado, const Argumentos& argumentos,
                      HojaDibujada& hoja, std::ostream& errores);

}  // namespace telmora::cli
