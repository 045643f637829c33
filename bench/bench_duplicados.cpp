// Duplicate search on generated sheets: the indexed search on 100,000 and 1,000,000 entities,
// and the plain comparison of every pair on 20,000 entities for comparison (with a check that
// both give the same marks and matched segments there).
#include <cstdio>
#include <map>

#include "duplicados_literal.h"
#include "edicion/duplicados.h"
#include "medicion.h"

namespace {

telmora::Sesion abre(long long entidades) {
  const auto bin = bench::hoja_generada(entidades);
  return telmora::abre_sesion(telmora::ajustes_junto_a(bin));
}

std::vector<std::int32_t> marcas(const telmora::Hoja& hoja) {
  std::vector<std::int32_t> salida;
  for (const auto& fila : hoja.indice) salida.push_back(fila.activo);
  return salida;
}

void restaura(telmora::Hoja& hoja, const std::vector<std::int32_t>& marcas) {
  for (std::size_t k = 0; k < marcas.size(); ++k) hoja.indice[k].activo = marcas[k];
}

void resume(const char* que, long long entidades, double segundos, const telmora::Hoja& hoja,
            const telmora::TablaSegmentos& tabla) {
  std::map<std::int32_t, int> cuantas;  // marks of the entities active in the sheet
  for (std::int32_t n = 1; n <= hoja.num_entidades(); ++n) {
    if (hoja.entidad(n).activa()) ++cuantas[hoja.fila(n).activo];
  }
  std::printf("%-9s %8lld entidades: %9.3f s  marcas 0:%d 2:%d 3:%d 4:%d  segmentos %zu\n", que,
              entidades, segundos, cuantas[0], cuantas[2], cuantas[3], cuantas[4], tabla.size());
}

}  // namespace

int main(int argc, char** argv) {
  const long long grande = bench::entidades_de(argc, argv, 1000000);
  for (const long long entidades : {100000LL, grande}) {
    telmora::Sesion sesion = abre(entidades);
    const auto iniciales = marcas(sesion.hoja);
    telmora::TablaSegmentos tabla;
    const double segundos = bench::mediana(entidades > 100000 ? 1 : 5, [&] {
      restaura(sesion.hoja, iniciales);
      tabla = telmora::Duplicados(sesion, {});
    });
    resume("indexada", entidades, segundos, sesion.hoja, tabla);
  }

  constexpr long long kLiteral = 20000;
  telmora::Sesion indexada = abre(kLiteral);
  telmora::Sesion literal = indexada;
  telmora::TablaSegmentos tabla_indexada, tabla_literal;
  const double t_indexada =
      bench::mediana(1, [&] { tabla_indexada = telmora::Duplicados(indexada, {}); });
  const double t_literal =
      bench::mediana(1, [&] { tabla_literal = prueba::duplicados_literal(literal, {}); });
  resume("indexada", kLiteral, t_indexada, indexada.hoja, tabla_indexada);
  resume("literal", kLiteral, t_literal, literal.hoja, tabla_literal);
  const bool iguales =
      marcas(indexada.hoja) == marcas(literal.hoja) && tabla_indexada == tabla_literal;
  std::printf("mismo resultado: %s\n", iguales ? "sí" : "NO");
  return iguales ? 0 : 1;
}
