// The viewer and a sheet that changes outside it: a change left halfway is rolled back when the
// start form opens the sheet, and a sheet rewritten by someone else is not written over.
#include <gtest/gtest.h>

#include <QTest>

#include "arranque.h"
#include "diario.h"

using namespace telmora;
using prueba::Arranque;

namespace {

// The sheet as a process that died halfway through a change leaves it: its first byte and its
// length changed, with the journal beside it.
void cambio_a_medias(const std::filesystem::path& hoja) {
  const std::string antes = prueba::lee_bytes(hoja);
  EscrituraAtomica escritura(hoja);
  const std::string original = antes.substr(0, 1), nuevo = "X";
  escritura.guarda(0, original);
  escritura.escribe(std::vector<EscrituraAtomica::Tramo>{{0, nuevo}}, "más bytes");
  // Nothing reaches the disk any more: the rollback fails too, as it never ran.
  pon_gancho_disco({[](OperacionDisco, const std::filesystem::path&) { return true; }, 0});
  EXPECT_THROW(escritura.confirma(), ErrorTelmora);
  pon_gancho_disco({});
}

}  // namespace

TEST(HojaCambiada, ElInicioDeshaceElCambioAMediasYLoDice) {
  Arranque a;
  const auto ruta = a.hoja.carpeta / "hoja.bin";
  const std::string antes = prueba::lee_bytes(ruta);
  cambio_a_medias(ruta);
  ASSERT_NE(prueba::lee_bytes(ruta), antes);
  ASSERT_NE(a.abre_visor(), nullptr);
  EXPECT_EQ(prueba::lee_bytes(ruta), antes);
  EXPECT_FALSE(std::filesystem::exists(ruta_diario(ruta)));
  ASSERT_FALSE(a.dialogos.mostrados.empty());
  EXPECT_EQ(a.dialogos.mostrados.front().texto,
            "La hoja " + ruta.string() +
                " tenía un cambio a medias: se ha devuelto a como estaba antes de él");
}

// Rewritten by another program while the viewer has it open, the sheet is not written over: the
// viewer says so and offers to load it again; loaded again, the viewer writes into it.
TEST(HojaCambiada, ElVisorNoEscribeSobreUnaHojaCambiadaYOfreceCargarla) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  const auto ruta = a.hoja.carpeta / "hoja.bin";
  prueba::ConstructorBin otra = prueba::hoja_sencilla();
  otra.c("100", {{5, 5, 0}, {10, 10, 0}});
  a.hoja.carpeta.escribe("hoja.bin", otra.contenido());

  const std::size_t mostrados = a.dialogos.mostrados.size();
  a.dialogos.respuestas = {true};
  visor->control().coloca_texto(100, 100);
  EXPECT_EQ(prueba::lee_bytes(ruta), otra.contenido());
  ASSERT_EQ(a.dialogos.mostrados.size(), mostrados + 1);
  const auto& pregunta = a.dialogos.mostrados.back();
  EXPECT_EQ(pregunta.tipo, prueba::DialogoMostrado::Tipo::si_no);
  EXPECT_NE(pregunta.texto.find(ruta.string() + " ha cambiado desde que se cargó"),
            std::string::npos)
      << pregunta.texto;
  EXPECT_EQ(visor->control().sesion().hoja.num_entidades(), 4);  // loaded again

  visor->control().coloca_texto(100, 100);
  EXPECT_EQ(prueba::lee_bytes(ruta).size(), otra.contenido().size() + 72);
  EXPECT_EQ(a.dialogos.mostrados.size(), mostrados + 1);
}
