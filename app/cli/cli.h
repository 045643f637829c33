// telmora-cli: the program's tools without a window, for batch work and scripts.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "argumentos.h"
#include "dialogos.h"
#include "sesion.h"

namespace telmora::cli {

// Exit statuses.
inline constexpr int kExito = 0;
inline constexpr int kFalloEscritura = 1;
// A sheet the command read changed under it: what it wrote may not match any version of it.
inline constexpr int kHojaCambiada = 1;
inline constexpr int kErrorEntrada = 2;    // bad arguments, missing or corrupt input
inline constexpr int kInterrumpida = 130;  // stopped by Ctrl-C, as a shell counts SIGINT

// Runs a tool that rewrites the sheet and prints its result lines; a failed write is told on the
// error stream and gives kFalloEscritura. A sheet that another process is changing is refused as
// bad input.
template <class Herramienta>
int imprime_resultado(std::ostream& salida, std::ostream& errores, Herramienta herramienta) {
  try {
    const auto resultado = herramienta();
    for (const std::string& linea : resultado.lineas()) salida << linea << "\n";
    return kExito;
  } catch (const ErrorHojaOcupada&) {
    throw;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
}

// A command of telmora-cli: its name, the line --help gives it, its full help text, the options
// it takes and the routine that runs it.
struct Comando {
  const char* nombre;
  const char* resumen;
  const char* uso;
  OpcionesAdmitidas opciones;
  int (*ejecuta)(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
};

// Every command, in the order --help lists them.
const std::vector<Comando>& comandos();

// Runs one command line (without the program name) and returns the exit status.
int ejecuta_cli(const std::vector<std::string>& argumentos, std::ostream& salida,
                std::ostream& errores);

// Opens a sheet given on the command line as the start form would: the working folder is the
// sheet's folder, and the sheet and its companions are looked for there, then in the fixed data
// folder. The sheet is read without its lock: when the command ends, ejecuta_cli checks that
// nobody changed it meanwhile, since a sheet read in place may then have been seen half old and
// half new, and says so (kHojaCambiada).
Sesion abre_hoja_de_linea(const std::string& ruta_bin, bool milimetros,
                          Progreso& progreso = Progreso::ninguno(),
                          IndiceCajas indice = IndiceCajas::con);
// The same for a command that changes the sheet in place: the sheet's lock is taken before it is
// read and held until the command ends (Hoja::cerrojo), so that no other writer changes it in
// between. A sheet that another process is changing is refused at once (ErrorHojaOcupada).
Sesion abre_hoja_para_cambiar(const std::string& ruta_bin, bool milimetros,
                              Progreso& progreso = Progreso::ninguno());

// Runs an export or import to or from a GIS format and prints its lines. A source or request
// that cannot be used goes on to ejecuta_cli as bad input; any other failure is a failed write.
int ejecuta_intercambio(const std::function<std::vector<std::string>()>& intercambio,
                        std::ostream& salida, std::ostream& errores);

// The folder of a file named on the command line (absolute when it can be).
std::filesystem::path carpeta_de(const std::filesystem::path& ruta);

// The database a command reads: the path given with --bd (which must exist), else `nombre`
// found as the viewer's menus find it, in the working folder of `ajustes` and then in its data
// folder. Nothing, after telling the user, when it is in neither.
std::optional<std::filesystem::path> base_datos_de_linea(const Argumentos& argumentos,
                                                         Ajustes& ajustes,
                                                         const std::string& nombre,
                                                         Dialogos& dialogos);

// The commands, each registered beside its work in comando_NAME.cpp.
Comando comando_bd();
Comando comando_catalogo();
Comando comando_comprimir();
Comando comando_cotas();
Comando comando_depurar();
Comando comando_duplicados();
Comando comando_errores();
Comando comando_exportar();
Comando comando_extraer();
Comando comando_generar();
Comando comando_importar();
Comando comando_info();
Comando comando_lista();
Comando comando_pares();
Comando comando_pdobles();
Comando comando_render();
Comando comando_revisar();
Comando comando_topologia();

// What runs the two GIS commands: the export and import themselves where the GIS library is
// linked (telmora-cli-sig and the tests), a hand-over to telmora-cli-sig in telmora-cli.
int ejecuta_exportar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_importar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);

}  // namespace telmora::cli
