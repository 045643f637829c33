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

  const bool aplica = argumentos.bandera("aplicar");
  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return (aplica ? abre_hoja_para_cambiar : abre_hoja_de_linea)(
        argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  sesion.ajustes.tolerancia_tentativo = tolerancia;
  const TablaSegmentos tabla = con_progreso(
      errores, [&](Progreso& progreso) { return Duplicados(sesion, opciones, progreso); });
  const Hoja& hoja = sesion.hoja;
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const std::int32_t marca = hoja.fila(numero).activo;
    if (marca != kSinDuplicado && hoja.entidad(numero).activa()) {
      salida << numero << " " << marca << "\n";
    }
  }
  try {
    if (aplica) marca_borrados(sesion, tabla);
    if (argumentos.bandera("grabar")) graba_nuevo_bin(sesion);
  } catch (const ErrorHojaOcupada&) {
    throw;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
