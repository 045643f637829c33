#include "cli.h"
#include "edicion/duplicados.h"
#include "edicion/reescritura.h"
#include "fichero.h"

namespace telmora::cli {

int ejecuta_duplicados(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1,
                                "telmora-cli duplicados HOJA.bin [--tolerancia M] "
                                "[--solo-entidades] [--virtuales] [--aplicar] [--grabar] [--mm]");
  double tolerancia = kToleranciaDefecto;
  if (argumentos.tiene("tolerancia")) {
    tolerancia = numero_de_opcion(argumentos.valor("tolerancia"), "--tolerancia");
    if (tolerancia < 0) throw ErrorUso("--tolerancia debe ser un número de metros no negativo");
  }
  OpcionesDuplicados opciones;
  opciones.SoloEntidades = argumentos.bandera("solo-entidades");
  opciones.ObtengoCasoVirtuales = argumentos.bandera("virtuales");

  Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  sesion.ajustes.tolerancia_tentativo = tolerancia;
  const TablaSegmentos tabla = Duplicados(sesion, opciones);
  const Hoja& hoja = sesion.hoja;
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const std::int32_t marca = hoja.fila(numero).activo;
    if (marca != kSinDuplicado && hoja.entidad(numero).activa()) {
      salida << numero << " " << marca << "\n";
    }
  }
  try {
    if (argumentos.bandera("aplicar")) marca_borrados(sesion, tabla);
    if (argumentos.bandera("grabar")) graba_nuevo_bin(sesion);
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
