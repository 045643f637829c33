#include <filesystem>
#include <iostream>

#include "cli.h"
#include "fichero.h"

#if defined(_WIN32)
// The arguments arrive in UTF-16 and are passed on as UTF-8, as everything else holds text.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> argumentos;
  for (int i = 1; i < argc; ++i) {
    argumentos.push_back(telmora::ruta_texto(std::filesystem::path(argv[i])));
  }
#else
int main(int argc, char** argv) {
  const std::vector<std::string> argumentos(argv + 1, argv + argc);
#endif
  std::ios::sync_with_stdio(false);
  return telmora::cli::ejecuta_cli(argumentos, std::cout, std::cerr);
}
