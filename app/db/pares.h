// The stereo-pair control database: table "Control", one row per pair with its name (PAR), its
// state (Estado: 0 free, anything else blocked) and the operator who holds it (Operador).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/base_datos.h"

namespace telmora {

inline constexpr const char* kNombreBdControl = "BDControl.mdb";
// On a server, the column that keeps the order in which the rows were loaded: the order of the
// file they came from, and the order among rows of the same pair.
inline constexpr const char* kColumnaOrdenFila = "orden_fila";

struct FilaPar {
  std::optional<std::string> par;  // nothing for a null name, which matches no pair
  bool bloqueado = false;          // its state is a number other than 0
  std::int32_t operador = 0;       // 0 when null
};

struct ParesLeidos {
  // Every pair ordered by name (rows of the same name in the table's order).
  std::vector<FilaPar> todos;
  std::int64_t libres = 0;      // state 0
  std::int64_t bloqueados = 0;  // state 1 (other states count as neither)
};

// The table "Control" with the columns the pair control reads.
TablaRequerida tabla_control_requerida();

// Reads the pairs and the two counts, all in one snapshot of the database. A missing table or
// column, or a failing statement, throws ErrorBaseDatos naming the database.
ParesLeidos lee_pares(const BaseDatos& bd);

}  // namespace telmora
