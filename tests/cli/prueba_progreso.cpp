#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <limits>
#include <set>
#include <sstream>

#include "carpeta_temporal.h"
#include "depuracion/binjunta.h"
#include "depuracion/pdobles.h"
#include "dialogos_guion.h"
#include "diario.h"
#include "edicion/duplicados.h"
#include "edicion/reescritura.h"
#include "ejecuta.h"
#include "progreso_terminal.h"
#include "sesion.h"
#include "sig/exportacion.h"
#include "topologia/topologia.h"

using namespace telmora;
using prueba::ejecuta;

namespace {

// What the terminal shows of a line rewritten with carriage returns: the text after the last
// one, without the blanks that cover a longer line before it.
std::string visible(const std::string& escrito) {
  std::string linea = escrito.substr(escrito.rfind('\r') + 1);
  return linea.substr(0, linea.find_last_not_of(' ') + 1);
}

// Stops the operation at its n-th report of progress, as Ctrl-C stops it at the next one.
// It also notes whether the last report came while a change of `hoja` was being written (its
// journal beside it).
class InterrumpeEn : public Progreso {
 public:
  explicit InterrumpeEn(int n, std::filesystem::path hoja = {}) : n_(n), hoja_(std::move(hoja)) {}
  void paso(std::string_view) override { cuenta(); }
  void porcentaje(int, std::int64_t, std::int64_t) override { cuenta(); }
  int llamadas = 0;
  bool ultima_escribiendo = false;

 private:
  void cuenta() {
    ultima_escribiendo = !hoja_.empty() && std::filesystem::exists(ruta_diario(hoja_));
    if (++llamadas == n_) throw OperacionCancelada();
  }
  int n_;
  std::filesystem::path hoja_;
};

}  // namespace

TEST(ProgresoTerminal, UnaLineaQueSeReescribeConElPasoElPorcentajeYElTiempoQueQueda) {
  std::ostringstream pantalla;
  const std::atomic<bool> sin_cancelar{false};
  std::chrono::steady_clock::time_point ahora{};
  {
    cli::ProgresoTerminal progreso(&pantalla, sin_cancelar, [&] { return ahora; });
    progreso.paso("Cruces entre elementos");
    EXPECT_EQ(visible(pantalla.str()), "Cruces entre elementos");
    ahora += std::chrono::seconds(10);
    progreso.porcentaje(25, 250, 1000);
    EXPECT_EQ(visible(pantalla.str()), "Cruces entre elementos: 25 %, quedan 30 s");
    ahora += std::chrono::seconds(290);
    progreso.porcentaje(40, 400, 1000);
    EXPECT_EQ(visible(pantalla.str()), "Cruces entre elementos: 40 %, quedan 7 min 30 s");
    // A new step starts its own clock, and its shorter line covers the longer one.
    progreso.paso("Nodos");
    const std::string escrito = pantalla.str();
    EXPECT_EQ(visible(escrito), "Nodos");
    EXPECT_GE(escrito.size() - escrito.rfind('\r') - 1,
              std::string("Cruces entre elementos: 40 %, quedan 7 min 30 s").size());
    progreso.porcentaje(1, 1, 100);
    EXPECT_EQ(visible(pantalla.str()), "Nodos: 1 %");
    // One line only, never wider than a terminal.
    progreso.paso(std::string(200, 'x'));
    EXPECT_EQ(visible(pantalla.str()), std::string(79, 'x'));
  }
  // Whatever comes next starts on an empty line.
  EXPECT_EQ(visible(pantalla.str()), "");
  EXPECT_EQ(pantalla.str().find('\n'), std::string::npos);
  EXPECT_EQ(cli::tiempo_restante(std::chrono::hours(2), 1, 2), "quedan 2 h 00 min");
}

TEST(ProgresoTerminal, PedidaLaCancelacionLaSiguienteLlamadaDetieneLaOperacion) {
  std::ostringstream pantalla;
  std::atomic<bool> cancelar{false};
  cli::ProgresoTerminal sin_pantalla(nullptr, cancelar);
  sin_pantalla.paso("Puntos dobles");
  sin_pantalla.porcentaje(1, 1, 100);
  cancelar = true;
  EXPECT_THROW(sin_pantalla.porcentaje(2, 2, 100), OperacionCancelada);
  EXPECT_THROW(sin_pantalla.paso("Otro"), OperacionCancelada);
}

// Every tool that changes the sheet, or writes a new file, stopped at any report of its
// progress leaves the sheet byte for byte as it was and no new file behind. Those that report
// while they write the sheet are also stopped in the middle of their writing.
TEST(Interrupcion, LasHerramientasInterrumpidasDejanLaHojaComoEstaba) {
  prueba::CarpetaTemporal carpeta, listados;
  ASSERT_EQ(
      ejecuta({"generar", carpeta.ruta().string(), "--entidades", "1500", "--recintos"}).estado, 0);
  const std::string antes = carpeta.lee("hoja.bin");
  const auto salida = carpeta / "hoja.gpkg";
  // The sheet as telmora-cli opens it; the cleanup takes every entity as drawn.
  auto abre = [&] { return abre_sesion(ajustes_junto_a(carpeta / "hoja.bin")); };

  const std::vector<std::pair<const char*, std::function<void(Sesion&, Progreso&)>>> herramientas{
      {"depurar",
       [&](Sesion& s, Progreso& p) {
         ejecuta_y_aplica_binjunta(s, EntidadesDibujadas::todas(s.hoja), {listados.ruta()}, p);
       }},
      {"pdobles",
       [](Sesion& s, Progreso& p) {
         ejecuta_y_aplica_pdobles(s, {5, 5}, p);
       }},
      {"duplicados --aplicar",
       [](Sesion& s, Progreso& p) { marca_borrados(s, Duplicados(s, {}, p)); }},
      {"exportar", [&](Sesion& s, Progreso& p) { exporta_sig(s, {salida}, p); }},
      {"cotas psct",
       [](Sesion& s, Progreso& p) {
         OpcionesTopologia opciones;
         selecciona_entrada(opciones, EntradaTopologia::cotas_a_tramos);
         prueba::DialogosGuion dialogos;
         dialogos.respuestas = {true};
         ResultadoTopologia r =
             ejecuta_topologia(s, EntidadesDibujadas::todas(s.hoja), opciones, p);
         aplica_cotas(s, r, dialogos, p);
       }},
  };
  const std::set<std::string> avisan_al_escribir{"pdobles", "cotas psct"};
  for (const auto& [nombre, herramienta] : herramientas) {
    // The reports of a whole run, on a copy of the sheet.
    InterrumpeEn nunca(std::numeric_limits<int>::max(), carpeta / "hoja.bin");
    {
      Sesion sesion = abre();
      herramienta(sesion, nunca);
    }
    carpeta.escribe("hoja.bin", antes);
    std::filesystem::remove(salida);
    ASSERT_GT(nunca.llamadas, 10) << nombre;
    EXPECT_EQ(nunca.ultima_escribiendo, avisan_al_escribir.contains(nombre)) << nombre;

    std::set<int> instantes{1, nunca.llamadas - 1, nunca.llamadas};
    for (int k = 1; k < 4; ++k) instantes.insert(nunca.llamadas * k / 4);
    for (const int n : instantes) {
      Sesion sesion = abre();
      InterrumpeEn interrumpe(n);
      EXPECT_THROW(herramienta(sesion, interrumpe), OperacionCancelada) << nombre << " en " << n;
      EXPECT_TRUE(carpeta.lee("hoja.bin") == antes) << nombre << " interrumpida en " << n;
      EXPECT_FALSE(std::filesystem::exists(salida)) << nombre << " interrumpida en " << n;
    }
  }
}
