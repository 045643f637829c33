#include "topologia_cli.h"

#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "pintor.h"

namespace telmora::cli {

namespace {

// The picture's size, checked before the sheet is read; Qt's text drawing made ready.
std::pair<int, int> tamano_de(const Argumentos& argumentos) {
  int ancho = 0, alto = 0;
  tamano_de_opcion(argumentos, ancho, alto);
  asegura_aplicacion();
  return {ancho, alto};
}

}  // namespace

HojaDibujada::HojaDibujada(const Argumentos& argumentos)
    : HojaDibujada(argumentos, tamano_de(argumentos)) {}

HojaDibujada::HojaDibujada(const Argumentos& argumentos, std::pair<int, int> tamano)
    : sesion(abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"))),
      superficie(tamano.first, tamano.second) {
  vista.dimensiona(superficie.ancho(), superficie.alto());
  vista.ajusta_a_fichero(sesion.hoja.rango, sesion.ajustes.uds);
  visualizacion.cota_minima = vista.zmin;
  visualizacion.cota_maxima = vista.zmax;
  superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
  Pintor(sesion).leo_bin_pinto(superficie, vista, visualizacion);
}

int termina_topologia(const ResultadoTopologia& resultado, const Argumentos& argumentos,
                      HojaDibujada& hoja, std::ostream& errores) {
  int estado = kExito;
  for (const std::string& fallo : resultado.fallos_escritura) {
    errores << fallo << "\n";
    estado = kFalloEscritura;
  }
  if (argumentos.tiene("png")) {
    try {
      guarda_png(hoja.superficie.imagen(), argumentos.valor("png"));
    } catch (const ErrorTelmora& fallo) {
      errores << fallo.what() << "\n";
      estado = kFalloEscritura;
    }
  }
  return estado;
}

}  // namespace telmora::cli
