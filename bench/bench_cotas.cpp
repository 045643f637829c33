// Z from PSCT points on a generated sheet of 1,000,000 entities (a PSCT point at every street
// node, a few on inner vertices of streets and a few away from the nodes), on a copy of the
// sheet: the run up to the question (the unpruned topology and the PSCT tables), the PSCT
// tables and interpolation alone, the writing of every raised arc in place, and the whole
// command; each the median of several runs. What the command adds to the topology build is the
// PSCT part and the writing. Then the plain scans kept with the tests on a small sheet, with the
// ratio and a check that both give the same tables.
#include <cstdio>
#include <filesystem>

#include "cotas_literal.h"
#include "medicion.h"
#include "topologia/topologia.h"

namespace {

namespace fs = std::filesystem;
using namespace telmora;

// The operator answers OK.
class Acepta : public Dialogos {
 public:
  void mensaje(const std::string& texto, Icono, const std::string&) override {
    std::printf("%s\n", texto.c_str());
  }
  bool si_no(const std::string&, const std::string&) override { return true; }
  bool aceptar_cancelar(const std::string&, const std::string&) override { return true; }
  std::optional<fs::path> elige_fichero(const std::string&, const std::string&,
                                        const fs::path&) override {
    return std::nullopt;
  }
};

// The generated sheet copied into a folder of its own with its tables (the command changes it),
// opened whole; the runs take every entity as drawn.
Sesion copia_abierta(long long entidades) {
  const fs::path bin = bench::hoja_generada(entidades);
  const fs::path carpeta =
      fs::temp_directory_path() / ("telmora-bench-cotas-" + std::to_string(entidades));
  fs::create_directories(carpeta);
  for (const char* nombre : {"Vekt.tab", "Vekt.pal", "hoja.bin"})
    bench::copia_en_disco(bin.parent_path() / nombre, carpeta / nombre);
  return abre_sesion(ajustes_junto_a(carpeta / "hoja.bin"));
}

OpcionesTopologia opciones_psct() {
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, EntradaTopologia::cotas_a_tramos);
  return opciones;
}

bool iguales(const SubidaCotaTramos& a, const SubidaCotaTramos& b) {
  return a.puntos == b.puntos && a.tramos == b.tramos && a.no_modificados == b.no_modificados &&
         a.cambios.elementos == b.cambios.elementos && a.cambios.vertices == b.cambios.vertices;
}

}  // namespace

int main(int argc, char** argv) {
  const long long grande = bench::entidades_de(argc, argv, 1000000);
  constexpr int kVeces = 5;
  {
    Sesion s = copia_abierta(grande);
    const EntidadesDibujadas todas = EntidadesDibujadas::todas(s.hoja);
    const OpcionesTopologia opciones = opciones_psct();
    ResultadoTopologia r;
    const double hasta_la_pregunta =
        bench::mediana(kVeces, [&] { r = ejecuta_topologia(s, todas, opciones); });
    SubidaCotaTramos subida;
    const double psct =
        bench::mediana(kVeces, [&] { subida = ProcesarSubirCotaTramos(s.hoja, todas, r.grafo); });
    EscrituraCotas escritura;
    const double escribe =
        bench::mediana(kVeces, [&] { escritura = aplica_cambios_cota(s, subida.cambios); });
    Acepta acepta;
    const double entera = bench::mediana(kVeces, [&] {
      r = ejecuta_topologia(s, todas, opciones);
      aplica_cotas(s, r, acepta);
    });
    std::printf(
        "%lld entidades, %d nodos, %d tramos: %zu PSCT, %zu tramos encontrados, %d "
        "escritos%s (mediana de %d)\n",
        grande, r.grafo.num_nodos(), r.grafo.num_tramos(), subida.puntos.size(),
        subida.tramos.size(), escritura.escritos,
        escritura.fallo.empty() ? "" : (", FALLO: " + escritura.fallo).c_str(), kVeces);
    std::printf("  topología y tablas PSCT %.3f s, de ellas PSCT e interpolación %.3f s\n",
                hasta_la_pregunta, psct);
    std::printf("  escritura en el fichero %.3f s\n", escribe);
    std::printf("  orden entera %.3f s; más allá de la topología %.3f s (objetivo < 2 s)\n", entera,
                psct + escribe);
  }

  // The plain scans grow with the square of the sheet: 20,000 entities unless asked.
  const long long pequena = argc > 2 ? std::stoll(argv[2]) : 20000;
  const Sesion s = copia_abierta(pequena);
  const EntidadesDibujadas todas = EntidadesDibujadas::todas(s.hoja);
  const ResultadoTopologia r = ejecuta_topologia(s, todas, opciones_psct());
  SubidaCotaTramos rapida, literal;
  const double t_rapida =
      bench::mediana(kVeces, [&] { rapida = ProcesarSubirCotaTramos(s.hoja, todas, r.grafo); });
  const double t_literal =
      bench::mediana(1, [&] { literal = prueba::subida_literal(s.hoja, todas, r.grafo); });
  std::printf("%lld entidades: PSCT con tablas hash %.4f s, con recorridos %.3f s (%.0f veces)\n",
              pequena, t_rapida, t_literal, t_literal / t_rapida);
  const bool mismo = iguales(rapida, literal);
  std::printf("mismo resultado: %s\n", mismo ? "sí" : "NO");
  return mismo ? 0 : 1;
}
