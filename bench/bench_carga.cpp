// Load of a generated sheet (code table, palette, both passes, index and code resolution)
// against a plain read of the same file's bytes into memory, in the same run.
#include <cstdio>

#include "hoja.h"
#include "medicion.h"
#include "tabla_vekt.h"

int main(int argc, char** argv) {
  const long long entidades = bench::entidades_de(argc, argv, 1000000);
  const auto bin = bench::hoja_generada(entidades);
  const auto carpeta = bin.parent_path();
  const double megas = static_cast<double>(std::filesystem::file_size(bin)) / 1e6;
  constexpr int kVeces = 9;

  std::size_t control = 0;
  double lectura = 0, carga = 0;
  // Interleaved so that both see the same machine state.
  for (int ronda = 0; ronda < 3; ++ronda) {
    lectura += bench::mediana(kVeces, [&] { control += telmora::lee_fichero(bin).size(); });
    carga += bench::mediana(kVeces, [&] {
      const auto paleta = telmora::leo_pal(carpeta / "Vekt.pal");
      const auto tabla = telmora::leo_vekt_tab(carpeta / "Vekt.tab");
      const auto hoja = telmora::cargo_bin(bin, tabla);
      control += hoja.indice.size() + static_cast<std::size_t>(paleta.rojo[1]);
    });
  }
  lectura /= 3;
  carga /= 3;
  std::printf("hoja: %lld entidades, %.1f MB\n", entidades, megas);
  std::printf("lectura de los bytes: %8.1f ms  %8.0f MB/s\n", lectura * 1e3, megas / lectura);
  std::printf("carga completa:       %8.1f ms  %8.0f MB/s  %10.0f entidades/s\n", carga * 1e3,
              megas / carga, static_cast<double>(entidades) / carga);
  std::printf("carga / lectura:      %8.2f\n", carga / lectura);
  return control == 0;
}
