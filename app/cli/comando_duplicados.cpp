#include "cli.h"
#include "edicion/duplicados.h"
#include "edicion/reescritura.h"
#include "fichero.h"
#include "progreso_terminal.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "marca los elementos duplicados y los que comparten segmentos; los aplica o los graba";
constexpr const char* kAyuda =
    "uso: telmora-cli duplicados HOJA.bin [--tolerancia M] [--solo-entidades] [--virtuales]\n"
    "                            [--aplicar] [--grabar] [--mm]\n"
    "\n"
    "Compara cada elemento con los que le siguen en el fichero y escribe en la salida una\n"
    "línea \"N MARCA\" por cada entidad marcada (N su número desde 1 en el orden del fichero):\n"
    "  0  repite entero a un elemento posterior (sus cuatro límites son iguales)\n"
    "  2  repite a un elemento posterior con sus límites dentro de la tolerancia\n"
    "  3  comparte segmentos idénticos con otro elemento (se marcan los dos)\n"
    "  4  comparte segmentos con otro elemento dentro de la tolerancia\n"
    "Los códigos 5007 a 5014 nunca son duplicados; las entidades borradas no participan.\n"
    "  --tolerancia M     tolerancia en metros (0.5 si no se indica)\n"
    "  --solo-entidades   compara solo elementos enteros, no sus segmentos\n"
    "  --virtuales        solo parejas en las que un elemento tiene un código virtual\n"
    "                     (5020, 5632 a 5639)\n"
    "  --aplicar          aplica las marcas a la hoja: borra los marcados con 0 y 2 y, de\n"
    "                     cada pareja que comparte segmentos, corta uno (los trozos que\n"
    "                     quedan se añaden al final de la hoja)\n"
    "  --grabar           escribe HOJA_d.bin con la hoja sin borradas ni duplicados (después\n"
    "                     de --aplicar si se piden las dos)\n"
    "  --mm               la hoja está en milímetros (centímetros si no se indica)\n";

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
    const std::string& hoja = argumentos.posicionales()[0];
    const bool milimetros = argumentos.bandera("mm");
    return aplica ? abre_hoja_para_cambiar(hoja, milimetros, progreso)
                  : abre_hoja_de_linea(hoja, milimetros, progreso);
  });
  sesion.ajustes.tolerancia_tentativo = tolerancia;
  const ResultadoDuplicados duplicados = con_progreso(
      errores, [&](Progreso& progreso) { return Duplicados(sesion, opciones, progreso); });
  for (const std::string& linea : duplicados.lineas()) salida << linea << "\n";
  try {
    if (aplica) marca_borrados(sesion, duplicados);
    if (argumentos.bandera("grabar")) graba_nuevo_bin(sesion, duplicados);
  } catch (const ErrorHojaOcupada&) {
    throw;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace

Comando comando_duplicados() {
  OpcionesAdmitidas opciones{{"tolerancia"},
                             {"solo-entidades", "virtuales", "aplicar", "grabar", "mm"}};
  return {"duplicados", kResumen, kAyuda, std::move(opciones), ejecuta_duplicados};
}

}  // namespace telmora::cli
