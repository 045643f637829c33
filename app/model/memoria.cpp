#include "memoria.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace telmora {

void* reserva_memoria_grande(std::size_t bytes) {
#if defined(__linux__)
  void* memoria = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (memoria == MAP_FAILED) throw std::bad_alloc();
  return memoria;
#else
  return ::operator new(bytes);
#endif
}

void libera_memoria_grande(void* memoria, std::size_t bytes) {
#if defined(__linux__)
  munmap(memoria, bytes);
#else
  (void)bytes;
  ::operator delete(memoria);
#endif
}

}  // namespace telmora
