#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <map>

#include "procesos.h"

using namespace telmora::cli;
using namespace std::chrono_literals;

TEST(Procesos, UnoQueFallaOSeCuelgaNoDetieneALosDemasYCadaFinSeCuenta) {
  const std::vector<std::vector<std::string>> ordenes{
      {"/bin/sh", "-c", "echo uno; echo aviso >&2"},
      {"/bin/sh", "-c", "kill -SEGV $$"},
      {"/bin/sh", "-c", "exec sleep 30"},
      {"/bin/sh", "-c", "cat; exit 3"},  // no input: it ends at once
      {"/bin/sh", "-c", "head -c 300000 /dev/zero | tr '\\0' x"},
  };
  OpcionesProcesos opciones;
  opciones.simultaneos = 2;
  opciones.limite = 1500ms;
  std::map<std::size_t, ProcesoTerminado> fines;
  const auto inicio = std::chrono::steady_clock::now();
  ejecuta_procesos(ordenes, opciones, [&](std::size_t i, ProcesoTerminado fin) {
    EXPECT_TRUE(fines.emplace(i, std::move(fin)).second);
  });
  EXPECT_LT(std::chrono::steady_clock::now() - inicio, 10s);

  ASSERT_EQ(fines.size(), ordenes.size());
  EXPECT_EQ(fines[0].estado, 0);
  EXPECT_EQ(fines[0].salida, "uno\n");
  EXPECT_EQ(fines[0].errores, "aviso\n");
  EXPECT_EQ(fines[1].senal, SIGSEGV);
  EXPECT_NE(motivo_de_fin(fines[1], opciones.limite).find("señal 11"), std::string::npos);
  EXPECT_TRUE(fines[2].agotado);
  EXPECT_EQ(motivo_de_fin(fines[2], opciones.limite), "no terminó en 1500 ms y se detuvo");
  EXPECT_EQ(fines[3].estado, 3);
  EXPECT_EQ(motivo_de_fin(fines[3], opciones.limite), "terminó con el estado 3");
  // An output larger than a pipe holds is kept whole.
  EXPECT_EQ(fines[4].salida, std::string(300000, 'x'));
}

TEST(Procesos, UnaParadaMataYEsperaALosQueQuedan) {
  const std::vector<std::vector<std::string>> ordenes(4, {"/bin/sh", "-c", "exec sleep 30"});
  OpcionesProcesos opciones;
  opciones.simultaneos = 4;
  int latidos = 0;
  opciones.latido = [&] {
    if (++latidos == 5) throw std::runtime_error("parada");
  };
  const auto inicio = std::chrono::steady_clock::now();
  EXPECT_THROW(ejecuta_procesos(ordenes, opciones, [](std::size_t, ProcesoTerminado) {}),
               std::runtime_error);
  EXPECT_LT(std::chrono::steady_clock::now() - inicio, 5s);
  // None is left running or unwaited.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}
