// Each command that changes a sheet in place, stopped dead before every operation of its
// writing, made to fail at operations of its writing, and, as a separate program, killed
// (SIGKILL) or interrupted (Ctrl-C) while it writes: at the next open the file it changes is,
// byte for byte, as it was before or as the whole run leaves it. Two writers started
// on one sheet: the second is refused, or they ran one after the other.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "carpeta_temporal.h"
#include "diario.h"
#include "ejecuta.h"

extern char** environ;

using namespace telmora;
using prueba::ejecuta;

namespace {

namespace fs = std::filesystem;

// The test hook for one block of a test.
class Gancho {
 public:
  explicit Gancho(GanchoDisco gancho) { pon_gancho_disco(std::move(gancho)); }
  ~Gancho() { pon_gancho_disco({}); }
};

// A generated sheet with its block outlines, its tables and its databases: every in-place
// command finds something to change in it.
const prueba::CarpetaTemporal& generada() {
  static const prueba::CarpetaTemporal carpeta;
  static const int estado =
      ejecuta({"generar", carpeta.ruta().string(), "--entidades", "240", "--recintos"}).estado;
  EXPECT_EQ(estado, 0);
  return carpeta;
}

// A command, the file it changes (the sheet, or its COT file), and a batch size that makes it
// write in several batches.
struct Orden {
  std::vector<std::string> argumentos;  // after the sheet's path
  std::string fichero = "hoja.bin";
  std::size_t lote = 2048;
};

std::string nombre(const Orden& orden) {
  std::string texto;
  for (const auto& a : orden.argumentos) texto += (texto.empty() ? "" : " ") + a;
  return texto;
}

const std::vector<Orden>& ordenes() {
  static const std::vector<Orden> todas{
      {{"depurar"}, "hoja.bin", 16384},
      {{"pdobles", "--tol-xy", "2000", "--tol-z", "5000"}},
      {{"duplicados", "--aplicar"}, "hoja.bin", 64},
      {{"cotas", "psct"}},
      {{"cotas", "textos"}},
      {{"cotas", "calles", "--graba", "--da", "500"}, "hoja.COT", 512},
  };
  return todas;
}

// A fresh copy of the generated sheet; for the COT file, one run of the command has made it, so
// that the run tried appends to it.
struct Copia {
  prueba::CarpetaTemporal carpeta;
  fs::path hoja, fichero;
  std::vector<std::string> argumentos;

  explicit Copia(const Orden& orden) {
    for (const auto& entrada : fs::directory_iterator(generada().ruta()))
      fs::copy_file(entrada.path(), carpeta / entrada.path().filename().string());
    hoja = carpeta / "hoja.bin";
    fichero = carpeta / orden.fichero;
    argumentos = orden.argumentos;
    argumentos.insert(argumentos.begin() + 1, hoja.string());
    if (orden.fichero != "hoja.bin") EXPECT_EQ(ejecuta(argumentos).estado, 0);
  }
};

// What the next open finds: the command line's own open of the file, which rolls back a change
// left halfway, and the bytes after it.
struct Apertura {
  std::string bytes;
  bool avisa = false;
};
Apertura abre_de_nuevo(const fs::path& fichero) {
  const auto r = ejecuta({"info", fichero.string()});
  return {prueba::lee_bytes(fichero),
          r.errores.find("tenía un cambio a medias") != std::string::npos};
}

pid_t lanza(const std::vector<std::string>& argumentos, const fs::path& errores) {
  std::vector<std::string> linea{TELMORA_CLI};
  linea.insert(linea.end(), argumentos.begin(), argumentos.end());
  std::vector<char*> argv;
  for (auto& a : linea) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t acciones;
  posix_spawn_file_actions_init(&acciones);
  posix_spawn_file_actions_addopen(&acciones, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&acciones, 2, errores.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  posix_spawn(&pid, TELMORA_CLI, &acciones, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acciones);
  return pid;
}

}  // namespace

// Before each operation of the writing, the files are copied as a process killed there leaves
// them (its file and, when there is one, its journal). Each copy, opened again, is as before the
// run or as after it: before until the journal goes, after from then on; when the open puts the
// file back it says so.
TEST(Interrupciones, MuertoAntesDeCadaOperacionDeLaEscritura) {
  for (const Orden& orden : ordenes()) {
    Copia copia(orden);
    const std::string antes = prueba::lee_bytes(copia.fichero);
    std::vector<fs::path> muertes;
    {
      Gancho gancho(
          {[&](OperacionDisco, const fs::path&) {
             const fs::path carpeta = copia.carpeta / ("muerte" + std::to_string(muertes.size()));
             fs::create_directory(carpeta);
             for (const char* tabla : {"Vekt.tab", "Vekt.pal"})
               fs::copy_file(copia.carpeta / tabla, carpeta / tabla);
             fs::copy_file(copia.fichero, carpeta / orden.fichero);
             if (fs::exists(ruta_diario(copia.fichero)))
               fs::copy_file(ruta_diario(copia.fichero), ruta_diario(carpeta / orden.fichero));
             muertes.push_back(carpeta / orden.fichero);
             return false;
           },
           orden.lote});
      ASSERT_EQ(ejecuta(copia.argumentos).estado, 0) << nombre(orden);
    }
    const std::string despues = prueba::lee_bytes(copia.fichero);
    ASSERT_NE(antes, despues) << nombre(orden);
    std::size_t deshechas = 0;
    bool ya_despues = false;
    for (std::size_t n = 0; n < muertes.size(); ++n) {
      const std::string donde = nombre(orden) + ", muerto en el punto " + std::to_string(n);
      const std::string dejado = prueba::lee_bytes(muertes[n]);
      const Apertura a = abre_de_nuevo(muertes[n]);
      deshechas += a.bytes != dejado;
      EXPECT_TRUE(a.bytes == antes || a.bytes == despues) << donde;
      EXPECT_FALSE(ya_despues && a.bytes == antes) << donde;  // once after, after for good
      ya_despues = ya_despues || a.bytes == despues;
      EXPECT_EQ(a.avisa, a.bytes != dejado) << donde;
      EXPECT_FALSE(fs::exists(ruta_diario(muertes[n]))) << donde;
    }
    EXPECT_TRUE(ya_despues) << nombre(orden);
    EXPECT_GT(deshechas, 0u) << nombre(orden);
    std::printf("%s: muerto en %zu puntos, %zu de ellos deshechos al abrir\n",
                nombre(orden).c_str(), muertes.size(), deshechas);
  }
}

// The Nth operation of the writing fails, for operations spread over it: the command reports the
// failure naming the file and leaves it as it was, with nothing left over; past the end of the
// change it reports success.
TEST(Interrupciones, UnaOperacionQueFallaNoCambiaNada) {
  for (const Orden& orden : ordenes()) {
    std::size_t operaciones = 0;
    std::string antes, despues;
    {
      Copia copia(orden);
      antes = prueba::lee_bytes(copia.fichero);
      Gancho cuenta(
          {[&](OperacionDisco, const fs::path&) { return ++operaciones, false; }, orden.lote});
      ejecuta(copia.argumentos);
      despues = prueba::lee_bytes(copia.fichero);
    }
    for (std::size_t n = 1; n <= operaciones; n += std::max<std::size_t>(1, operaciones / 4)) {
      Copia copia(orden);
      std::size_t vistas = 0;
      Gancho falla({[&](OperacionDisco, const fs::path&) { return ++vistas == n; }, orden.lote});
      const auto r = ejecuta(copia.argumentos);
      const std::string final = prueba::lee_bytes(copia.fichero);
      EXPECT_FALSE(fs::exists(ruta_diario(copia.fichero))) << nombre(orden) << " " << n;
      if (r.estado == 0) {
        EXPECT_EQ(final, despues) << nombre(orden) << " " << n;
      } else {
        EXPECT_EQ(r.estado, 1) << nombre(orden) << " " << n;
        EXPECT_NE(r.errores.find(copia.carpeta.ruta().string()), std::string::npos) << r.errores;
        EXPECT_EQ(final, antes) << nombre(orden) << " " << n;
      }
    }
  }
}

// The command itself, killed (SIGKILL) or interrupted (Ctrl-C) the moment its journal appears,
// that is, in the middle of its writing: the next open finds the file as before or as after; a
// journal left behind means before, and the open says so when the file had been touched. A
// command that stops at the Ctrl-C (status 130) leaves the file as before.
TEST(Interrupciones, ElProgramaMatadoOInterrumpidoMientrasEscribe) {
  for (const Orden& orden : ordenes()) {
    Copia limpia(orden);
    const std::string antes = prueba::lee_bytes(limpia.fichero);
    int estado = 0;
    waitpid(lanza(limpia.argumentos, limpia.carpeta / "errores.txt"), &estado, 0);
    const std::string despues = prueba::lee_bytes(limpia.fichero);
    ASSERT_NE(antes, despues) << nombre(orden);
    int a_medias = 0, interrumpidas = 0;
    for (const int senal : {SIGKILL, SIGINT}) {
      Copia copia(orden);
      const fs::path diario = ruta_diario(copia.fichero);
      const pid_t pid = lanza(copia.argumentos, copia.carpeta / "errores.txt");
      bool terminada = false;
      while (!fs::exists(diario) && !terminada) terminada = waitpid(pid, &estado, WNOHANG) == pid;
      if (!terminada) {
        kill(pid, senal);
        waitpid(pid, &estado, 0);
      }
      const std::string donde = nombre(orden) + (senal == SIGKILL ? ", SIGKILL" : ", Ctrl-C");
      const bool con_diario = fs::exists(diario);
      a_medias += con_diario;
      const std::string dejado = prueba::lee_bytes(copia.fichero);
      const Apertura a = abre_de_nuevo(copia.fichero);
      EXPECT_TRUE(a.bytes == antes || a.bytes == despues) << donde;
      if (con_diario) {
        EXPECT_EQ(a.bytes, antes) << donde;
        EXPECT_EQ(a.avisa, dejado != antes) << donde;
      }
      EXPECT_FALSE(fs::exists(diario)) << donde;
      if (WIFEXITED(estado) && WEXITSTATUS(estado) == 130) {
        ++interrumpidas;
        EXPECT_EQ(a.bytes, antes) << donde;
      }
    }
    std::printf(
        "%s: detenida 2 veces mientras escribía, %d con el diario a medias, %d parada por Ctrl-C\n",
        nombre(orden).c_str(), a_medias, interrumpidas);
  }
}

// Cleanup and double points started on one sheet, the second a little later each time: the
// sheet ends as one ran after the other, or as the first alone left it with the second refused
// (status 2, the sheet named).
TEST(Interrupciones, DosEscritoresALaVez) {
  const Orden &depurar = ordenes()[0], &pdobles = ordenes()[1];
  auto con_hoja = [](const Orden& o, const Copia& copia) {
    auto argumentos = o.argumentos;
    argumentos.insert(argumentos.begin() + 1, copia.hoja.string());
    return argumentos;
  };
  auto en_serie = [&](const std::vector<const Orden*>& serie) {
    Copia copia(depurar);
    for (const Orden* o : serie) EXPECT_EQ(ejecuta(con_hoja(*o, copia)).estado, 0);
    return prueba::lee_bytes(copia.hoja);
  };
  const std::string solo_d = en_serie({&depurar}), solo_p = en_serie({&pdobles});
  const std::string d_p = en_serie({&depurar, &pdobles}), p_d = en_serie({&pdobles, &depurar});
  int rechazos = 0;
  for (int i = 0; i < 6; ++i) {
    Copia copia(depurar);
    const Orden& primera = i % 2 ? depurar : pdobles;
    const Orden& segunda = i % 2 ? pdobles : depurar;
    const pid_t a = lanza(con_hoja(primera, copia), copia.carpeta / "a.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(200 * i));
    const pid_t b = lanza(con_hoja(segunda, copia), copia.carpeta / "b.txt");
    int estado_a = 0, estado_b = 0;
    waitpid(a, &estado_a, 0);
    waitpid(b, &estado_b, 0);
    const std::string final = prueba::lee_bytes(copia.hoja);
    if (WEXITSTATUS(estado_a) == 2 || WEXITSTATUS(estado_b) == 2) {
      ++rechazos;
      const bool rechazada_b = WEXITSTATUS(estado_b) == 2;
      EXPECT_EQ(WEXITSTATUS(rechazada_b ? estado_a : estado_b), 0) << i;
      EXPECT_NE(prueba::lee_bytes(copia.carpeta / (rechazada_b ? "b.txt" : "a.txt"))
                    .find("La hoja " + copia.hoja.string() + " la está modificando otro proceso"),
                std::string::npos)
          << i;
      const Orden& hecha = rechazada_b ? primera : segunda;
      EXPECT_EQ(final, &hecha == &depurar ? solo_d : solo_p) << i;
    } else {
      EXPECT_EQ(WEXITSTATUS(estado_a), 0) << i;
      EXPECT_EQ(WEXITSTATUS(estado_b), 0) << i;
      EXPECT_TRUE(final == d_p || final == p_d) << i;
    }
  }
  std::printf("%d de 6 con el segundo escritor rechazado\n", rechazos);
}
