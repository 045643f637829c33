#include "memoria.h"

#if defined(__linux__)
#include <sys/mman.h>

#include <cstdint>
#endif

namespace telmora {

#if defined(__linux__)
namespace {

// Huge pages: the block is aligned to them so that the system can back it with them.
constexpr std::size_t kPaginaGrande = std::size_t{2} << 20;

// Linux 5.14 and later: maps every page of a range at once, ready for writing.
#ifndef MADV_POPULATE_WRITE
constexpr int kRellenaParaEscribir = 23;
#else
constexpr int kRellenaParaEscribir = MADV_POPULATE_WRITE;
#endif

}  // namespace
#endif

void* reserva_memoria_grande(std::size_t bytes) {
#if defined(__linux__)
  // Mapped with room to align it, then trimmed to the aligned block.
  void* mapa = mmap(nullptr, bytes + kPaginaGrande, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapa == MAP_FAILED) throw std::bad_alloc();
  auto* inicio = static_cast<char*>(mapa);
  auto* bloque = reinterpret_cast<char*>(
      (reinterpret_cast<std::uintptr_t>(inicio) + kPaginaGrande - 1) & ~(kPaginaGrande - 1));
  if (bloque > inicio) munmap(inicio, static_cast<std::size_t>(bloque - inicio));
  const std::size_t cola =
      static_cast<std::size_t>(inicio + bytes + kPaginaGrande - (bloque + bytes));
  if (cola > 0) munmap(bloque + bytes, cola);
  // In huge pages a block faults in a few pages at a time, only where it is used (a growing
  // vector keeps room it may never touch); without them, all its pages are mapped at once.
  // Both are hints: a system that has neither faults the pages in one by one.
  if (madvise(bloque, bytes, MADV_HUGEPAGE) != 0) madvise(bloque, bytes, kRellenaParaEscribir);
  return bloque;
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
