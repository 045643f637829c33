// Allocation of the large arrays of a loaded sheet and of the tools that work on a whole sheet.
// A large block is asked of the system in huge pages where it has them, with its pages mapped at
// once (one call instead of one fault per page): memory touched for the first time is costly,
// and this is what makes opening a big sheet, or searching it whole, fast. Small blocks go
// through the usual allocator.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace telmora {

void* reserva_memoria_grande(std::size_t bytes);
void libera_memoria_grande(void* memoria, std::size_t bytes);

template <typename T>
struct AsignadorGrande {
  using value_type = T;
  static constexpr std::size_t kUmbral = std::size_t{1} << 22;  // 4 MB

  AsignadorGrande() = default;
  template <typename U>
  AsignadorGrande(const AsignadorGrande<U>&) {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kUmbral) return static_cast<T*>(::operator new(bytes));
    return static_cast<T*>(reserva_memoria_grande(bytes));
  }
  void deallocate(T* p, std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kUmbral) {
      ::operator delete(p);
    } else {
      libera_memoria_grande(p, bytes);
    }
  }
  template <typename U>
  bool operator==(const AsignadorGrande<U>&) const {
    return true;
  }
};

// A vector whose storage uses AsignadorGrande.
template <typename T>
using Lista = std::vector<T, AsignadorGrande<T>>;

}  // namespace telmora
