#include "db/pares.h"

namespace telmora {

namespace {

// Every statement on the pair-control database.
constexpr Sentencia kTodosLosPares{
    "leer los pares",
    "SELECT Control.PAR, Control.Estado, Control.Operador, Control.Superficie FROM Control "
    "ORDER BY Control.PAR, Control.rowid",
    "SELECT Control.PAR, Control.Estado, Control.Operador,Control.Superficie From Control ORDER BY "
    "Control.PAR ;"};
constexpr Sentencia kParesLibres{"contar los pares libres",
                                 "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 0))",
                                 "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 0));"};
constexpr Sentencia kParesBloqueados{
    "contar los pares bloqueados", "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 1))",
    "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 1));"};

std::int64_t cuenta(const BaseDatos& bd, const Sentencia& sentencia) {
  const auto filas = bd.consulta(sentencia);
  return filas.empty() ? 0 : static_cast<std::int64_t>(numero_de(filas[0][0]).value_or(0));
}

}  // namespace

ParesLeidos lee_pares(const BaseDatos& bd) {
  bd.exige({{"Control", {"PAR", "Estado", "Operador", "Superficie"}}});
  ParesLeidos pares;
  for (const FilaBd& fila : bd.consulta(kTodosLosPares)) {
    FilaPar par;
    par.par = cstr(fila[0]);
    const auto estado = numero_de(fila[1]);
    par.bloqueado = estado && *estado != 0;
    par.operador = clng(fila[2]).value_or(0);
    pares.todos.push_back(std::move(par));
  }
  pares.libres = cuenta(bd, kParesLibres);
  pares.bloqueados = cuenta(bd, kParesBloqueados);
  return pares;
}

}  // namespace telmora
