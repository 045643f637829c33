// telmora-cli without the GIS library, whose start is most of the time of a short command: the
// GIS commands are handed over to the program that carries it, telmora-cli-sig, beside this one
// (a build tree) or in the installation's folder of libraries. The hand-over replaces this
// process, so the command's output, exit status and Ctrl-C are that program's own.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli.h"
#include "fichero.h"
#include "modulo_apis.h"

namespace telmora::cli {

namespace {

constexpr const char* kProgramaSig = "telmora-cli-sig";

// The command line this process was started with, word for word.
std::vector<std::string> linea_de_ordenes() {
  std::ifstream fichero("/proc/self/cmdline", std::ios::binary);
  std::vector<std::string> palabras;
  for (std::string palabra; std::getline(fichero, palabra, '\0');) palabras.push_back(palabra);
  return palabras;
}

int entrega_al_programa_sig(std::ostream& salida, std::ostream& errores) {
  salida.flush();
  errores.flush();
  std::vector<std::string> palabras = linea_de_ordenes();
  std::vector<char*> argv;
  for (std::string& palabra : palabras) argv.push_back(palabra.data());
  argv.push_back(nullptr);
  const auto carpeta = ruta_desde_texto(carpeta_del_programa());
  const auto junto = carpeta / kProgramaSig;
  const auto instalado = carpeta / ".." / TELMORA_DIR_BIBLIOTECAS / kProgramaSig;
  int fallo = 0;
  for (const auto& programa : {junto, instalado}) {
    if (!palabras.empty()) ::execv(programa.c_str(), argv.data());
    if (fallo == 0 || errno != ENOENT) fallo = errno;
  }
  errores << "telmora-cli: no se puede ejecutar " << kProgramaSig << " (" << ruta_texto(junto)
          << ", " << ruta_texto(instalado.lexically_normal())
          << "), que lleva las órdenes SIG: " << std::strerror(fallo) << "\n";
  return kErrorEntrada;
}

}  // namespace

int ejecuta_exportar(const Argumentos&, std::ostream& salida, std::ostream& errores) {
  return entrega_al_programa_sig(salida, errores);
}

int ejecuta_importar(const Argumentos&, std::ostream& salida, std::ostream& errores) {
  return entrega_al_programa_sig(salida, errores);
}

}  // namespace telmora::cli
