#include <iostream>

#include "cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> argumentos(argv + 1, argv + argc);
  return telmora::cli::ejecuta_cli(argumentos, std::cout, std::cerr);
}
