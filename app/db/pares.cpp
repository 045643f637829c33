#include "db/pares.h"

namespace telmora {

namespace {

// Every statement on the pair-control database. Rows of the same pair keep the table's order:
// SQLite's row order, or on a server the order the rows were loaded in (kColumnaOrdenFila) when
// the table has that column.
constexpr Sentencia kTodosLosPares{
    "leer los pares",
    "SELECT Control.PAR, Control.Estado, Control.Operador, Control.Superficie FROM Control "
    "ORDER BY Control.PAR, Control.rowid",
    "SELECT Control.PAR, Control.Estado, Control.Operador,Control.Superficie From Control ORDER BY "
    "Control.PAR ;",
    "SELECT Control.PAR, Control.Estado, Control.Operador, Control.Superficie FROM Control "
    "ORDER BY Control.PAR, Control.orden_fila"};
// A server's table made without kColumnaOrdenFila: ordered by name only, as Access orders it.
constexpr Sentencia kTodosLosParesSinOrden{
    kTodosLosPares.para, kTodosLosPares.sqlite, kTodosLosPares.access,
    "SELECT Control.PAR, Control.Estado, Control.Operador, Control.Superficie FROM Control "
    "ORDER BY Control.PAR"};
constexpr Sentencia kParesLibres{"contar los pares libres",
                                 "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 0))",
                                 "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 0));",
                                 "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 0))"};
constexpr Sentencia kParesBloqueados{"contar los pares bloqueados",
                                     "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 1))",
                                     "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 1));",
                                     "SELECT Count(*) FROM Control WHERE (((Control.Estado) = 1))"};

std::int64_t cuenta(const BaseDatos& bd, const Sentencia& sentencia) {
  const auto filas = bd.consulta(sentencia);
  return filas.empty() ? 0 : static_cast<std::int64_t>(numero_de(filas[0][0]).value_or(0));
}

}  // namespace

TablaRequerida tabla_control_requerida() {
  return {"Control", {"PAR", "Estado", "Operador", "Superficie"}};
}

ParesLeidos lee_pares(const BaseDatos& bd) {
  bd.exige({tabla_control_requerida()});
  const bool con_orden =
      bd.dialecto() != Dialecto::postgresql || bd.tiene_columna("Control", kColumnaOrdenFila);
  ParesLeidos pares;
  std::vector<FilaBd> filas;
  // The pairs and both counts belong to one moment, even while operators change pairs.
  bd.lee_en_instantanea([&] {
    filas = bd.consulta(con_orden ? kTodosLosPares : kTodosLosParesSinOrden);
    pares.libres = cuenta(bd, kParesLibres);
    pares.bloqueados = cuenta(bd, kParesBloqueados);
  });
  pares.todos.reserve(filas.size());
  for (const FilaBd& fila : filas) {
    FilaPar par;
    par.par = cstr(fila[0]);
    const auto estado = numero_de(fila[1]);
    par.bloqueado = estado && *estado != 0;
    par.operador = clng(fila[2]).value_or(0);
    pares.todos.push_back(std::move(par));
  }
  return pares;
}

}  // namespace telmora
