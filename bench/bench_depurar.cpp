// Network cleanup on generated sheets, whose contour lines cross the streets and the blocks'
// buildings: the whole run (graph, snapping, crossings, listings and the writing of the pieces)
// on 100,000 entities, and the plain searches on a few thousand entities for comparison (with a
// check that both give the same file there). Each run works on a fresh copy of the sheet.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "binjunta_literal.h"
#include "depuracion/binjunta.h"
#include "fichero.h"
#include "medicion.h"

namespace {

namespace fs = std::filesystem;

struct Corrida {
  double segundos = 0;  // wall clock
  double cpu = 0;       // processor time of the process, less sensitive to a loaded machine
  telmora::ResultadoBinjunta resultado;
  std::size_t cortes = 0;
  std::string bytes;
};

double mediana_de(std::vector<double> valores) {
  std::sort(valores.begin(), valores.end());
  return valores[valores.size() / 2];
}

// The sheet copied into a folder of its own with its tables and opened; the runs take every entity
// as drawn.
telmora::Sesion copia_abierta(const fs::path& bin, const fs::path& carpeta) {
  fs::create_directories(carpeta);
  for (const char* nombre : {"Vekt.tab", "Vekt.pal"})
    fs::copy_file(bin.parent_path() / nombre, carpeta / nombre,
                  fs::copy_options::overwrite_existing);
  bench::copia_en_disco(bin, carpeta / "hoja.bin");
  return telmora::abre_sesion(telmora::ajustes_junto_a(carpeta / "hoja.bin"));
}

Corrida corre(long long entidades, int veces, const telmora::BusquedasBinjunta& busquedas,
              const char* nombre) {
  const fs::path bin = bench::hoja_generada(entidades);
  const fs::path carpeta =
      fs::temp_directory_path() / ("telmora-bench-depurar-" + std::string(nombre));
  Corrida corrida;
  std::vector<double> tiempos, cpu;
  for (int i = 0; i < veces; ++i) {
    telmora::Sesion sesion = copia_abierta(bin, carpeta);
    const std::clock_t inicio = std::clock();
    tiempos.push_back(bench::mediana(1, [&] {
      corrida.resultado = telmora::ejecuta_y_aplica_binjunta(
          sesion, telmora::EntidadesDibujadas::todas(sesion.hoja), {}, telmora::Progreso::ninguno(),
          busquedas);
    }));
    cpu.push_back(static_cast<double>(std::clock() - inicio) / CLOCKS_PER_SEC);
  }
  corrida.segundos = mediana_de(tiempos);
  corrida.cpu = mediana_de(cpu);
  const auto contenido = telmora::lee_fichero(carpeta / "hoja.bin");
  corrida.bytes.assign(contenido.begin(), contenido.end());
  const auto listado = telmora::lee_fichero(carpeta / telmora::kListadoCortes);
  corrida.cortes = static_cast<std::size_t>(std::count(listado.begin(), listado.end(), '\n'));
  fs::remove_all(carpeta);
  return corrida;
}

void resume(const char* que, long long entidades, int veces, const Corrida& c) {
  std::printf(
      "%-9s %7lld entidades: %7.3f s, %7.3f s de procesador (mediana de %d)  %s  %s  "
      "líneas de cortes %zu\n",
      que, entidades, c.segundos, c.cpu, veces, c.resultado.lineas()[0].c_str(),
      c.resultado.lineas()[1].c_str(), c.cortes);
}

}  // namespace

int main(int argc, char** argv) {
  const long long grande = bench::entidades_de(argc, argv, 100000);
  constexpr int kVeces = 3;
  resume("indexada", grande, kVeces, corre(grande, kVeces, {}, "indexada"));

  constexpr long long kLiteral = 5000;
  const Corrida indexada = corre(kLiteral, kVeces, {}, "indexada");
  const Corrida literal = corre(kLiteral, 1, prueba::busquedas_literales(), "literal");
  resume("indexada", kLiteral, kVeces, indexada);
  resume("literal", kLiteral, 1, literal);
  const bool iguales = indexada.bytes == literal.bytes;
  std::printf("mismo fichero: %s\n", iguales ? "sí" : "NO");
  return iguales ? 0 : 1;
}
