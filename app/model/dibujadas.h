// The entities a drawing drew, as a set by entity number: what the tools that work on what the
// view shows take as their input (the topology, the network cleanup, the elevation labels of the
// vertices, the deletion of the entities in the view). The renderer returns the list of what it
// drew; whoever drew keeps the set and hands it on, so no tool depends on which drawing ran last.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "hoja.h"

namespace telmora {

class EntidadesDibujadas {
 public:
  // None drawn.
  EntidadesDibujadas() = default;
  // The entities of `numeros` (entity numbers of the sheet; numbers outside it are left out).
  EntidadesDibujadas(const Hoja& hoja, std::span<const std::int32_t> numeros);
  // Every entity of the sheet, as a drawing of the whole sheet with every code on draws the
  // active ones.
  static EntidadesDibujadas todas(const Hoja& hoja);

  bool contiene(std::int32_t numero) const {
    return numero > 0 && static_cast<std::size_t>(numero) < marcas_.size() &&
           marcas_[static_cast<std::size_t>(numero)] != 0;
  }
  bool contiene(const Entidad& e) const { return contiene(e.numero); }

 private:
  std::vector<unsigned char> marcas_;  // by entity number; entry 0 unused
};

}  // namespace telmora
