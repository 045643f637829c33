// Timing helpers of the benchmarks: median of several runs, and the sample sheet they work on.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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

// Medians in seconds of `veces` runs: elapsed time, and processor time of this process (which
// other work on a shared machine disturbs much less).
struct Tiempos {
  double pared = 0, cpu = 0;
};

template <typename Funcion>
Tiempos medianas(int veces, Funcion funcion) {
  std::vector<double> pared, cpu;
  for (int i = 0; i < veces; ++i) {
    const auto inicio = std::chrono::steady_clock::now();
    const std::clock_t inicio_cpu = std::clock();
    funcion();
    cpu.push_back(static_cast<double>(std::clock() - inicio_cpu) / CLOCKS_PER_SEC);
    pared.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count());
  }
  std::sort(pared.begin(), pared.end());
  std::sort(cpu.begin(), cpu.end());
  return {pared[pared.size() / 2], cpu[cpu.size() / 2]};
}

// A generated sheet of that many entities in a folder under the system's temporary folder,
// written once and reused by later runs; `recintos` as the generator's option of that name.
inline std::filesystem::path hoja_generada(long long entidades, unsigned long long semilla = 1,
                                           bool recintos = false) {
  const auto carpeta =
      std::filesystem::temp_directory_path() /
      ("telmora-bench-v" + std::to_string(telmora::kVersionMuestra) + "-" +
       std::to_string(entidades) + "-" + std::to_string(semilla) + (recintos ? "-recintos" : ""));
  const auto bin = carpeta / "hoja.bin";
  if (!std::filesystem::exists(bin)) {
    std::printf("generando %lld entidades en %s\n", entidades, carpeta.string().c_str());
    telmora::OpcionesMuestra opciones;
    opciones.entidades = entidades;
    opciones.semilla = semilla;
    opciones.recintos = recintos;
    telmora::genera_muestra(carpeta, opciones);
  }
  return bin;
}

// A copy of a sheet already on the disk, as an operator's sheet is before a tool changes it: a
// tool that flushes its change then waits for its own writing only, not for the copy's.
inline void copia_en_disco(const std::filesystem::path& origen,
                           const std::filesystem::path& destino) {
  std::filesystem::copy_file(origen, destino, std::filesystem::copy_options::overwrite_existing);
  const int descriptor = ::open(destino.c_str(), O_RDONLY);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
}

// Entity count from the first command-line argument, or the default.
inline long long entidades_de(int argc, char** argv, long long defecto) {
  return argc > 1 ? std::stoll(argv[1]) : defecto;
}

}  // namespace bench
