// The state of a stereo pair as the production's pair-control database tells it. The topology
// drawing asks it for each face's pair while the pair control draws; the database layer answers.
#pragma once

#include <cstdint>
#include <string_view>

namespace telmora {

class ConsultaPares {
 public:
  virtual ~ConsultaPares() = default;
  // True when the pair is found and blocked (its state is not 0); `operador` then holds the
  // number of the operator who holds it. A pair not found, or free, gives false.
  virtual bool BuscaRecinto(std::string_view par, std::int32_t& operador) const = 0;
};

}  // namespace telmora
