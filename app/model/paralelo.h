// Work spread over the machine's cores: jobs numbered 0 to n - 1, taken in turn by as many
// threads as there are cores (the calling thread among them). Each job must write only its own
// results; the call returns when every job is done, and rethrows the first failure.
#pragma once

#include <cstddef>
#include <functional>

namespace telmora {

// Threads that en_paralelo uses at most (at least 1).
unsigned hilos_disponibles();

void en_paralelo(std::size_t trabajos, const std::function<void(std::size_t)>& trabajo);

}  // namespace telmora
