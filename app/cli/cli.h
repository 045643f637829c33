// telmora-cli: the program's tools without a window, for batch work and scripts.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "argumentos.h"
#include "dialogos.h"
#include "sesion.h"

namespace telmora::cli {

// Exit statuses.
inline constexpr int kExito = 0;
inline constexpr int kFalloEscritura = 1;
inline constexpr int kErrorEntrada = 2;    // bad arguments, missing or corrupt input
inline constexpr int kInterrumpida = 130;  // stopped by Ctrl-C, as a shell counts SIGINT

// Runs a tool that rewrites the sheet and prints its result lines; a failed write is told on the
// error stream and gives kFalloEscritura.
template <class Herramienta>
int imprime_resultado(std::ostream& salida, std::ostream& errores, Herramienta herramienta) {
  try {
    const auto resultado = herramienta();
    for (const std::string& linea : resultado.lineas()) salida << linea << "\n";
    return kExito;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
}

struct Comando {
  const char* nombre;
  const char* resumen;
  const char* uso;  // full help text
  OpcionesAdmitidas opciones;
  int (*ejecuta)(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
};

const std::vector<Comando>& comandos();

// Runs one command line (without the program name) and returns the exit status.
int ejecuta_cli(const std::vector<std::string>& argumentos, std::ostream& salida,
                std::ostream& errores);

// Opens a sheet given on the command line as the start form would: the working folder is the
// sheet's folder, and the sheet and its companions are looked for there, then in the fixed data
// folder.
Sesion abre_hoja_de_linea(const std::string& ruta_bin, bool milimetros,
                          Progreso& progreso = Progreso::ninguno());

// Runs an export or import to or from a GIS format and prints its lines. A source or request
// that cannot be used goes on to ejecuta_cli as bad input; any other failure is a failed write.
int ejecuta_intercambio(const std::function<std::vector<std::string>()>& intercambio,
                        std::ostream& salida, std::ostream& errores);

// The commands.
int ejecuta_depurar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
// The folder of a file named on the command line (absolute when it can be).
std::filesystem::path carpeta_de(const std::filesystem::path& ruta);

// The database a command reads: the path given with --bd (which must exist), else `nombre`
// found as the viewer's menus find it, in the working folder of `ajustes` and then in its data
// folder. Nothing, after telling the user, when it is in neither.
std::optional<std::filesystem::path> base_datos_de_linea(const Argumentos& argumentos,
                                                         Ajustes& ajustes,
                                                         const std::string& nombre,
                                                         Dialogos& dialogos);

// The commands.
int ejecuta_bd(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_cotas(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_catalogo(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_comprimir(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_duplicados(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_exportar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_extraer(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_errores(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_generar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_importar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_info(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_lista(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_pdobles(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_pares(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_revisar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_render(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);
int ejecuta_topologia(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores);

}  // namespace telmora::cli
