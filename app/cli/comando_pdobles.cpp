#include "cli.h"
#include "depuracion/pdobles.h"
#include "fichero.h"
#include "progreso_terminal.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "quita los puntos dobles y marca lazos, semilazos y segmentos duplicados";
constexpr const char* kAyuda =
    "uso: telmora-cli pdobles HOJA.bin --tol-xy N --tol-z N\n"
    "\n"
    "Trabaja sobre la propia hoja, elemento a elemento. Quita de cada elemento los vértices\n"
    "que distan del anterior menos que las tolerancias (en X, en Y y en Z); el elemento limpio\n"
    "se añade al final de la hoja y el leído queda borrado (sin sustituto si le quedan menos\n"
    "de dos vértices). Marca con un cuadrado con muesca, añadido al final, cada pareja de\n"
    "segmentos de un elemento que coinciden (código 60130, en los dos extremos del primero),\n"
    "que se cruzan (60120) o en que un vértice cae sobre el segmento siguiente al siguiente\n"
    "(60121). Escribe en la salida el resumen, una línea por renglón.\n"
    "  --tol-xy N   tolerancia en X y en Y, en unidades del fichero\n"
    "  --tol-z N    tolerancia en Z, en unidades del fichero\n";

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
    return abre_hoja_para_cambiar(argumentos.posicionales()[0], false, progreso);
  });
  return imprime_resultado(salida, errores, [&] {
    return con_progreso(
        errores, [&](Progreso& p) { return ejecuta_y_aplica_pdobles(sesion, tolerancias, p); });
  });
}

}  // namespace

Comando comando_pdobles() {
  OpcionesAdmitidas opciones{{"tol-xy", "tol-z"}, {}};
  return {"pdobles", kResumen, kAyuda, std::move(opciones), ejecuta_pdobles};
}

}  // namespace telmora::cli
