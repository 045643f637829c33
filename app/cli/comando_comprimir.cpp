#include "cli.h"
#include "diario.h"
#include "edicion/reescritura.h"
#include "fichero.h"

namespace telmora::cli {

int ejecuta_comprimir(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli comprimir HOJA.bin");
  const auto entrada = ruta_desde_texto(argumentos.posicionales()[0]);
  const Lista<char> bytes = lee_hoja(entrada).bytes;
  std::filesystem::path destino;
  try {
    destino = comprimir(entrada, bytes);
  } catch (const ErrorCorrupcion&) {
    throw;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  salida << ruta_texto(destino) << "\n";
  return kExito;
}

}  // namespace telmora::cli
