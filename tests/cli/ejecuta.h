// Runs telmora-cli in-process and keeps what it wrote.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace prueba {

struct Ejecucion {
  int estado = -1;
  std::string salida, errores;
};

inline Ejecucion ejecuta(const std::vector<std::string>& argumentos) {
  std::ostringstream salida, errores;
  Ejecucion resultado;
  resultado.estado = telmora::cli::ejecuta_cli(argumentos, salida, errores);
  resultado.salida = salida.str();
  resultado.errores = errores.str();
  return resultado;
}

}  // namespace prueba
