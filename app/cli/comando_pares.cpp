#include "cli.h"
#include "control/control_pares.h"
#include "db/instalacion.h"
#include "dialogos_terminal.h"
#include "fichero.h"
#include "imagen_cli.h"

namespace telmora::cli {

int ejecuta_pares(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli pares HOJA.bin [--bd RUTA]");
  const auto hoja = ruta_desde_texto(argumentos.posicionales()[0]);
  if (!existe_archivo(hoja)) throw ErrorFicheroInexistente(hoja);
  asegura_aplicacion();
  DialogosTerminal dialogos(errores);
  Ajustes ajustes;
  ajustes.dir_trabajo = carpeta_de(hoja);
  const auto ruta = base_datos_de_linea(argumentos, ajustes, kNombreBdControl, dialogos);
  if (!ruta) return kErrorEntrada;
  // A database named on the command line is the one read; otherwise the server's copy is
  // preferred, as in the viewer.
  const ResultadoControlPares resultado =
      argumentos.tiene("bd")
          ? cuenta_pares(*ruta)
          : carga_control_pares(*ruta, lee_instalacion(ajustes.fichero_instalacion), dialogos,
                                [](const std::string&) {});
  for (const std::string& linea : resultado.lineas()) salida << linea << "\n";
  return kExito;
}

}  // namespace telmora::cli
