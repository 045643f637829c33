#include "paralelo.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace telmora {

unsigned hilos_disponibles() {
  return std::max(1u, std::thread::hardware_concurrency());
}

void en_paralelo(std::size_t trabajos, const std::function<void(std::size_t)>& trabajo) {
  std::atomic<std::size_t> siguiente{0};
  std::mutex cerrojo;
  std::exception_ptr fallo;
  auto hilo = [&] {
    for (std::size_t k; (k = siguiente.fetch_add(1)) < trabajos;) {
      try {
        trabajo(k);
      } catch (...) {
        const std::lock_guard<std::mutex> guarda(cerrojo);
        if (!fallo) fallo = std::current_exception();
        siguiente = trabajos;  // the jobs not started are dropped
      }
    }
  };
  const std::size_t otros = std::min<std::size_t>(hilos_disponibles(), trabajos) - (trabajos > 0);
  std::vector<std::thread> hilos;
  hilos.reserve(otros);
  for (std::size_t i = 0; i < otros; ++i) hilos.emplace_back(hilo);
  hilo();
  for (std::thread& h : hilos) h.join();
  if (fallo) std::rethrow_exception(fallo);
}

}  // namespace telmora
