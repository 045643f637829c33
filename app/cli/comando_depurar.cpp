#include "cli.h"
#include "depuracion/binjunta.h"
#include "fichero.h"
#include "progreso_terminal.h"

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
    return abre_hoja_para_cambiar(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  sesion.ajustes.tolerancia_tentativo = tolerancia;
  // The sheet as the viewer shows it when opened: whole, every code on, every element drawn.
  for (Entidad& e : sesion.hoja.c) e.pintado = 1;
  for (Entidad& e : sesion.hoja.t) e.pintado = 1;
  return imprime_resultado(salida, errores, [&] {
    return con_progreso(errores,
                        [&](Progreso& p) { return ejecuta_binjunta(sesion, opciones, p); });
  });
}

}  // namespace telmora::cli
