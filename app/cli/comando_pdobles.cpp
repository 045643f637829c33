#include "cli.h"
#include "depuracion/pdobles.h"
#include "fichero.h"
#include "progreso_terminal.h"

namespace telmora::cli {

int ejecuta_pdobles(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  const std::string uso = "telmora-cli pdobles HOJA.bin --tol-xy N --tol-z N";
  argumentos.exige_posicionales(1, uso);
  if (!argumentos.tiene("tol-xy") || !argumentos.tiene("tol-z"))
    throw ErrorUso("faltan las tolerancias: " + uso);
  ToleranciasPdobles tolerancias;
  try {
    tolerancias = lee_tolerancias(argumentos.valor("tol-xy"), argumentos.valor("tol-z"));
  } catch (const ErrorTelmora& error) {
    throw ErrorUso(error.what());
  }

  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_de_linea(argumentos.posicionales()[0], false, progreso);
  });
  return imprime_resultado(salida, errores, [&] {
    return con_progreso(
        errores, [&](Progreso& p) { return ejecuta_y_aplica_pdobles(sesion, tolerancias, p); });
  });
}

}  // namespace telmora::cli
