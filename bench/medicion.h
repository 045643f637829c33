// Timing helpers of the benchmarks: median of several runs, and the sample sheet they work on.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "muestra/generador_muestra.h"

namespace bench {

// Median in seconds of `veces` runs of the function.
template <typename Funcion>
double mediana(int veces, Funcion funcion) {
  std::vector<double> tiempos;
  for (int i = 0; i < veces; ++i) {
    const auto inicio = std::chrono::steady_clock::now();
    funcion();
    tiempos.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count());
  }
  std::sort(tiempos.begin(), tiempos.end());
  return tiempos[tiempos.size() / 2];
}

// A generated sheet of that many entities in a folder under the system's temporary folder,
// written once and reused by later runs.
inline std::filesystem::path hoja_generada(long long entidades, unsigned long long semilla = 1) {
  const auto carpeta = std::filesystem::temp_directory_path() /
                       ("telmora-bench-v" + std::to_string(telmora::kVersionMuestra) + "-" +
                        std::to_string(entidades) + "-" + std::to_string(semilla));
  const auto bin = carpeta / "hoja.bin";
  if (!std::filesystem::exists(bin)) {
    std::printf("generando %lld entidades en %s\n", entidades, carpeta.string().c_str());
    telmora::OpcionesMuestra opciones;
    opciones.entidades = entidades;
    opciones.semilla = semilla;
    telmora::genera_muestra(carpeta, opciones);
  }
  return bin;
}

// Entity count from the first command-line argument, or the default.
inline long long entidades_de(int argc, char** argv, long long defecto) {
  return argc > 1 ? std::stoll(argv[1]) : defecto;
}

}  // namespace bench
