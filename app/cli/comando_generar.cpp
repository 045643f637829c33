#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "muestra/generador_muestra.h"

namespace telmora::cli {

int ejecuta_generar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      1, "telmora-cli generar CARPETA [--entidades N] [--semilla S] [--recintos]");
  OpcionesMuestra opciones;
  if (argumentos.tiene("entidades")) {
    opciones.entidades = entero_de_opcion(argumentos.valor("entidades"), "--entidades");
    if (opciones.entidades < 1 || opciones.entidades > 50000000) {
      throw ErrorUso("--entidades debe estar entre 1 y 50000000");
    }
  }
  if (argumentos.tiene("semilla")) {
    const long long semilla = entero_de_opcion(argumentos.valor("semilla"), "--semilla");
    if (semilla < 0) throw ErrorUso("--semilla no puede ser negativa");
    opciones.semilla = static_cast<std::uint64_t>(semilla);
  }
  if (argumentos.tiene("nombre")) opciones.nombre = argumentos.valor("nombre");
  opciones.recintos = argumentos.bandera("recintos");
  asegura_aplicacion();  // the sample's databases are written through Qt SQL
  try {
    const auto resumen = genera_muestra(ruta_desde_texto(argumentos.posicionales()[0]), opciones);
    salida << ruta_texto(resumen.bin) << ": " << resumen.entidades << " entidades, "
           << resumen.bytes << " bytes\n";
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
