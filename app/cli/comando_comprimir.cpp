#include "cli.h"
#include "diario.h"
#include "edicion/reescritura.h"
#include "fichero.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen = "copia la hoja sin sus entidades borradas en HOJA_c.bin";
constexpr const char* kAyuda =
    "uso: telmora-cli comprimir HOJA.bin\n"
    "\n"
    "Escribe junto a la hoja, con su nombre sin la extensión seguido de \"_c.bin\", una copia\n"
    "con sus entidades activas en el mismo orden y byte a byte iguales salvo el relleno de\n"
    "los códigos, que pasa a ser de caracteres nulos. La hoja no cambia. Escribe en la\n"
    "salida el nombre del fichero escrito. No necesita Vekt.tab ni Vekt.pal.\n";

int ejecuta_comprimir(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli comprimir HOJA.bin");
  const auto entrada = ruta_desde_texto(argumentos.posicionales()[0]);
  ImagenFichero bytes = lee_hoja(entrada, false).bytes;
  std::filesystem::path destino;
  try {
    destino = comprimir(entrada, std::move(bytes));
  } catch (const ErrorCorrupcion&) {
    throw;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  salida << ruta_texto(destino) << "\n";
  return kExito;
}

}  // namespace

Comando comando_comprimir() {
  OpcionesAdmitidas opciones{{}, {}};
  return {"comprimir", kResumen, kAyuda, std::move(opciones), ejecuta_comprimir};
}

}  // namespace telmora::cli
