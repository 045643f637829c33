#include "cli.h"
#include "depuracion/binjunta.h"
#include "fichero.h"
#include "hoja_abierta.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "superficie_nula.h"

namespace telmora::cli {

int ejecuta_depurar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      1, "telmora-cli depurar HOJA.bin [--tolerancia M] [--listados CARPETA] [--mm]");
  const double tolerancia = tolerancia_de_opcion(argumentos);
  OpcionesBinjunta opciones;
  if (argumentos.tiene("listados")) {
    opciones.carpeta_listados = ruta_desde_texto(argumentos.valor("listados"));
    std::error_code error;
    if (!std::filesystem::is_directory(opciones.carpeta_listados, error)) {
      throw ErrorUso("--listados no es una carpeta: \"" + argumentos.valor("listados") + "\"");
    }
  }

  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  sesion.ajustes.tolerancia_tentativo = tolerancia;
  // The network as the viewer shows it when the sheet opens; no picture is kept.
  SuperficieNula superficie(kAnchoImagen, kAltoImagen);
  const HojaAbierta hoja = dibuja_hoja_abierta(sesion, superficie);
  return imprime_resultado(salida, errores, [&] {
    return con_progreso(errores, [&](Progreso& p) {
      return ejecuta_y_aplica_binjunta(sesion, hoja.dibujadas, opciones, p);
    });
  });
}

}  // namespace telmora::cli
