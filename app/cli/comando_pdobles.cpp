#include "cli.h"
#include "depuracion/pdobles.h"
#include "fichero.h"

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

  Sesion sesion = abre_hoja_para_cambiar(argumentos.posicionales()[0], false);
  return imprime_resultado(salida, errores, [&] { return Proceso_pdobles(sesion, tolerancias); });
}

}  // namespace telmora::cli
