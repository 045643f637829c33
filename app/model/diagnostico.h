// Diagnosis of a corrupt entity file: where the next valid entity starts, and what the last
// good entity before the corruption held.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telmora {

// First position after `desde` where an active entity starts: a 'C' or 'T' byte followed by
// '='. The file length when there is none.
std::int64_t leo_byte_a_byte(std::string_view fichero, std::int64_t desde);

struct DiagnosticoEntidad {
  std::int64_t siguiente_valida = 0;
  std::string detalle;  // listing of the last good entity when it is a text; empty otherwise
};

// Diagnosis of a bad header at `posicion_erronea` after the good entity starting at
// `puntero_ok`: the next valid start (scanned from just after the good entity's start) and, when
// the good entity is a text, the listing of its header, range, point, pieces and attributes.
DiagnosticoEntidad BuscaEntidadNoCorrupta(std::string_view fichero, std::int64_t puntero_ok,
                                          std::int64_t posicion_erronea,
                                          std::int32_t numero_entidad);

}  // namespace telmora
