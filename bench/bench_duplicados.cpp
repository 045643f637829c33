// Duplicate search on generated sheets of two kinds: the plain sample, whose elements share
// segments only in its deliberate faults, and the sample with block outlines along the streets,
// where most street segments are held by three elements. For each kind: the indexed search on
// 100,000 and on 1,000,000 entities (median of several runs, elapsed and processor time) and
// the growth between them, then the indexed and the pairwise search on 20,000 entities with a
// check that both give the same marks and matched segments.
#include <cstdio>
#include <map>

#include "duplicados_literal.h"
#include "edicion/duplicados.h"
#include "medicion.h"

namespace {

constexpr long long kPequena = 100000;
constexpr long long kLiteral = 20000;
constexpr double kCrecimientoMaximo = 12;

telmora::Sesion abre(long long entidades, bool recintos) {
  const auto bin = bench::hoja_generada(entidades, 1, recintos);
  return telmora::abre_sesion(telmora::ajustes_junto_a(bin));
}

void resume(const char* que, long long entidades, bench::Tiempos t, const telmora::Hoja& hoja,
            const std::vector<std::int32_t>& marcas, const telmora::TablaSegmentos& tabla) {
  std::map<std::int32_t, int> cuantas;  // marks of the entities active in the sheet
  for (std::int32_t n = 1; n <= hoja.num_entidades(); ++n) {
    if (hoja.activa(n)) ++cuantas[marcas[static_cast<std::size_t>(n - 1)]];
  }
  std::printf(
      "  %-9s %8lld entidades: %8.3f s (cpu %8.3f s)  marcas 0:%d 2:%d 3:%d 4:%d  "
      "segmentos %zu\n",
      que, entidades, t.pared, t.cpu, cuantas[0], cuantas[2], cuantas[3], cuantas[4], tabla.size());
}

// The indexed search on one sheet, `veces` runs.
bench::Tiempos indexada(long long entidades, bool recintos, int veces) {
  const telmora::Sesion sesion = abre(entidades, recintos);
  telmora::ResultadoDuplicados resultado;
  const bench::Tiempos t =
      bench::medianas(veces, [&] { resultado = telmora::Duplicados(sesion, {}); });
  resume("indexada", entidades, t, sesion.hoja, prueba::marcas_en_indice(sesion.hoja, resultado),
         resultado.segmentos);
  return t;
}

// False when the two searches disagree.
bool compara_con_literal(bool recintos) {
  const telmora::Sesion sesion = abre(kLiteral, recintos);
  telmora::ResultadoDuplicados indexada;
  prueba::DuplicadosLiterales literal;
  const auto t_indexada = bench::medianas(1, [&] { indexada = telmora::Duplicados(sesion, {}); });
  const auto t_literal =
      bench::medianas(1, [&] { literal = prueba::duplicados_literal(sesion, {}); });
  const auto marcas = prueba::marcas_en_indice(sesion.hoja, indexada);
  resume("indexada", kLiteral, t_indexada, sesion.hoja, marcas, indexada.segmentos);
  resume("literal", kLiteral, t_literal, sesion.hoja, literal.marcas, literal.tabla);
  const bool iguales = marcas == literal.marcas && indexada.segmentos == literal.tabla;
  std::printf("  mismo resultado: %s\n", iguales ? "sí" : "NO");
  return iguales;
}

}  // namespace

int main(int argc, char** argv) {
  const long long grande = bench::entidades_de(argc, argv, 1000000);
  const int veces = argc > 2 ? std::stoi(argv[2]) : 5;
  bool bien = true;
  for (const bool recintos : {false, true}) {
    std::printf("%s\n", recintos ? "hoja con recintos de manzana por los ejes de las calles"
                                 : "hoja de muestra sin segmentos compartidos");
    const bench::Tiempos pequena = indexada(kPequena, recintos, veces);
    const bench::Tiempos grande_t = indexada(grande, recintos, veces);
    const double crecimiento = grande_t.cpu / pequena.cpu;
    std::printf(
        "  crecimiento de %lld a %lld entidades: %.1f veces (cpu; %.1f en tiempo "
        "transcurrido), como mucho %.0f\n",
        kPequena, grande, crecimiento, grande_t.pared / pequena.pared, kCrecimientoMaximo);
    bien = compara_con_literal(recintos) && bien;
  }
  return bien ? 0 : 1;
}
