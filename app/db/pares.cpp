#include "db/pares.h"

namespace telmora {

namespace {

// Every statement on the pair-control database. Rows of the same pair keep the table's order:
// SQLite's row order, or on a server the order the rows were loaded in (kColumnaOrdenFila) when
// the table has that column. A server's statements are made for its table (sentencias_servidor).
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

// The three statements on a server, naming its table and columns as its catalogue spells them,
// quoted: a table made by a migration tool keeps Access's mixed case ("Control", "PAR"), one made
// by hand is usually in lower case, and both are read alike. Without kColumnaOrdenFila the rows
// are ordered by name only, as Access orders them.
struct SentenciasServidor {
  std::string todos, libres, bloqueados;
};

SentenciasServidor sentencias_servidor(const BaseDatos& bd) {
  std::vector<std::string> columnas = tabla_control_requerida().columnas;
  columnas.push_back(kColumnaOrdenFila);
  const auto n = bd.busca_tabla("Control", columnas);
  // Gone since exige() found it.
  if (!n)
    throw ErrorBaseDatos("La base de datos " + bd.origen() + " no tiene la tabla \"Control\"");
  const std::string &tabla = n->tabla, &par = n->columnas[0], &estado = n->columnas[1];
  const std::string& orden_fila = n->columnas[4];
  SentenciasServidor s;
  s.todos = "SELECT " + par + ", " + estado + ", " + n->columnas[2] + ", " + n->columnas[3] +
            " FROM " + tabla + " ORDER BY " + par + (orden_fila.empty() ? "" : ", " + orden_fila);
  s.libres = "SELECT count(*) FROM " + tabla + " WHERE " + estado + " = 0";
  s.bloqueados = "SELECT count(*) FROM " + tabla + " WHERE " + estado + " = 1";
  return s;
}

Sentencia en_servidor(const Sentencia& sentencia, const std::string& texto) {
  return {sentencia.para, sentencia.sqlite, sentencia.access, texto.c_str()};
}

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
  const SentenciasServidor servidor =
      bd.dialecto() == Dialecto::postgresql ? sentencias_servidor(bd) : SentenciasServidor{};
  ParesLeidos pares;
  std::vector<FilaBd> filas;
  // The pairs and both counts belong to one moment, even while operators change pairs.
  bd.lee_en_instantanea([&] {
    filas = bd.consulta(en_servidor(kTodosLosPares, servidor.todos));
    pares.libres = cuenta(bd, en_servidor(kParesLibres, servidor.libres));
    pares.bloqueados = cuenta(bd, en_servidor(kParesBloqueados, servidor.bloqueados));
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
