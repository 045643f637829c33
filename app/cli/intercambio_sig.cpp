#include "cli.h"
#include "sig/tipos_sig.h"

namespace telmora::cli {

int ejecuta_intercambio(const std::function<std::vector<std::string>()>& intercambio,
                        std::ostream& salida, std::ostream& errores) {
  try {
    for (const auto& linea : intercambio()) salida << linea << "\n";
  } catch (const ErrorEntradaSig&) {
    throw;
  } catch (const ErrorFicheroInexistente&) {
    throw;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
