#include "cli.h"
#include "edicion/duplicados.h"
#include "edicion/reescritura.h"
#include "fichero.h"
#include "progreso_terminal.h"

namespace telmora::cli {

int ejecuta_duplicados(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1,
                                "telmora-cli duplicados HOJA.bin [--tolerancia M] "
                                "[--solo-entidades] [--virtuales] [--aplicar] [--grabar] [--mm]");
  const double tolerancia = tolerancia_de_opcion(argumentos);
  OpcionesDuplicados opciones;
  opciones.SoloEntidades = argumentos.bandera("solo-entidades");
  opciones.ObtengoCasoVirtuales = argumentos.bandera("virtuales");

  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  sesion.ajustes.tolerancia_tentativo = tolerancia;
  const ResultadoDuplicados duplicados = con_progreso(
      errores, [&](Progreso& progreso) { return Duplicados(sesion, opciones, progreso); });
  for (const std::string& linea : duplicados.lineas()) salida << linea << "\n";
  try {
    if (argumentos.bandera("aplicar")) marca_borrados(sesion, duplicados);
    if (argumentos.bandera("grabar")) graba_nuevo_bin(sesion, duplicados);
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
