// The viewer's tools run from its menus, as the operator runs them: what each writes, what it
// shows, and that the view then shows the sheet as it is.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "arranque.h"
#include "hoja_abierta.h"
#include "muestra/generador_muestra.h"
#include "superficie_imagen.h"
#include "visor.h"

using namespace telmora;
using prueba::Arranque;
using prueba::ConstructorBin;
using prueba::CuentaPintados;
using prueba::dispara;
using prueba::hoja_sencilla;
using prueba::pon_texto;
using prueba::pulsa;

TEST(Visor, ComprimirExtraerYDuplicadosDesdeElMenu) {
  Arranque a;
  ConstructorBin b = hoja_sencilla();
  b.c("100", {{0, 0, 0}, {100000, 0, 0}, {100000, 60000, 0}});  // a copy of the first line
  // Two lines sharing their north-south leg: the first is cut when the pair is processed.
  b.c("100", {{0, 80000, 0}, {50000, 80000, 0}, {50000, 90000, 0}});
  b.c("100", {{50000, 90000, 0}, {50000, 80000, 0}, {90000, 80000, 0}});
  a.hoja.carpeta.escribe("hoja.bin", b.contenido());
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  dispara(visor, "mnuComprimir");
  EXPECT_TRUE(std::filesystem::exists(a.hoja.carpeta / "hoja_c.bin"));
  dispara(visor, "mnuExtraerFicheroDentro");
  EXPECT_TRUE(std::filesystem::exists(a.hoja.carpeta / "hoja_f.bin"));
  // Shown twice, and then processed: the pairs shown are the pairs processed.
  dispara(visor, "mnuDuplicados");
  dispara(visor, "mnuDuplicados");
  const Sesion& sesion = visor->control().sesion();
  ASSERT_NE(sesion.duplicados, nullptr);
  EXPECT_EQ(sesion.duplicados->marca(1), kDuplicadoExacto);  // marked, not yet deleted
  EXPECT_TRUE(sesion.hoja.activa(1));
  EXPECT_EQ(sesion.duplicados->marca(5), kSegmentosIdenticos);
  EXPECT_EQ(sesion.duplicados->marca(6), kSegmentosIdenticos);
  EXPECT_EQ(a.hoja.carpeta.lee("hoja.bin"), b.contenido());
  dispara(visor, "mnuBorrarDuplicados");
  const std::string bytes = a.hoja.carpeta.lee("hoja.bin");
  EXPECT_EQ(bytes[1], '\0');                   // the earlier copy is deleted
  EXPECT_EQ(bytes[b.inicios()[4] + 1], '\0');  // the line cut, its western leg appended
  EXPECT_EQ(bytes[b.inicios()[5] + 1], '=');
  EXPECT_GT(bytes.size(), b.contenido().size());
  EXPECT_TRUE(a.dialogos.textos().empty());
}

TEST(Visor, PuntosDoblesDesdeElMenu) {
  Arranque a;
  ConstructorBin b = hoja_sencilla();
  b.c("100", {{500, 500, 0}, {505, 500, 0}, {9000, 500, 0}});  // a double point
  a.hoja.carpeta.escribe("hoja.bin", b.contenido());
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  bool aceptado = false;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(),
              "Borrado de puntos dobles y detección de \"lazos\",\"semiLazos\" y "
              "\"duplicados/similares\"");
    auto* label2 = d->findChild<QLabel*>("Label2");
    EXPECT_EQ(label2->text(), "Tol.Dist :");
    auto* text2 = d->findChild<QLineEdit*>("Text2");
    QTest::keyClicks(text2, "10");
    EXPECT_EQ(label2->text(), "Tol.Dist :0.141");  // metres, at 100 units a metre
    // Enter in a box does not process; in the Z box it moves on to "Procesar".
    QTest::keyClick(text2, Qt::Key_Return);
    EXPECT_TRUE(d->isVisible());
    auto* text4 = d->findChild<QLineEdit*>("Text4");
    text4->setFocus();
    QTest::keyClicks(text4, "cinco");
    QTest::keyClick(text4, Qt::Key_Return);
    EXPECT_EQ(d->focusWidget(), d->findChild<QPushButton*>("Command1"));
    // A Z tolerance that is not a number is refused on the form, which stays open.
    pulsa(d, "Command1");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(a.dialogos.textos().size(), 1u) << ::testing::PrintToString(a.dialogos.textos());
    pon_texto(d, "Text4", "5");
    pulsa(d, "Command1");
    aceptado = !d->isVisible();
  });
  dispara(visor, "mnuPuntosDobles");
  EXPECT_TRUE(aceptado);
  ASSERT_EQ(a.dialogos.textos().size(), 2u);
  EXPECT_EQ(a.dialogos.mostrados[1].icono, Icono::informacion);
  EXPECT_EQ(a.dialogos.textos()[1],
            "Proceso Finalizado\nPuntos Dobles Eliminados : 1\nEntidades Borradas : 0\n"
            "Errores Duplicados : 0\nErrores Lazos : 0\nErrores semiLazos : 0");
  EXPECT_FALSE(visor->control().sesion().hoja.activa(4));
  EXPECT_GT(a.hoja.carpeta.lee("hoja.bin").size(), b.contenido().size());
}

TEST(Visor, ExportarEImportarFormatosSigDesdeElArchivo) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  const auto archivo = visor->findChild<QMenu*>("mnuArchivo")->actions();
  ASSERT_GE(archivo.size(), 2);
  EXPECT_EQ(archivo[archivo.size() - 2]->objectName(), "mnuExportarSig");
  EXPECT_EQ(archivo[archivo.size() - 2]->text(), "&Exportar a formato SIG…");
  EXPECT_EQ(archivo.back()->objectName(), "mnuImportarSig");
  EXPECT_EQ(archivo.back()->text(), "&Importar de formato SIG…");

  // Cancelling the file dialog does nothing.
  const auto gpkg = a.hoja.carpeta / "hoja.gpkg";
  dispara(visor, "mnuExportarSig");
  EXPECT_EQ(a.dialogos.mostrados.back().tipo, prueba::DialogoMostrado::Tipo::fichero);
  EXPECT_FALSE(std::filesystem::exists(gpkg));

  a.dialogos.ficheros.push_back(gpkg);
  dispara(visor, "mnuExportarSig");
  ASSERT_TRUE(std::filesystem::exists(gpkg));
  EXPECT_EQ(a.dialogos.mostrados.back().icono, Icono::informacion);
  EXPECT_NE(a.dialogos.textos().back().find("Capa textos: 1 entidades"), std::string::npos);

  // The name proposed is never a file that exists, and a file the viewer holds open is refused,
  // however it is spelt: nothing is written and the viewer stays on its sheet.
  a.hoja.carpeta.escribe("hoja_sig.bin", "");
  const std::string hoja = a.hoja.carpeta.lee("hoja.bin");
  for (const auto& cargado :
       {a.hoja.carpeta / "hoja.bin", a.hoja.carpeta / "otra" / ".." / "hoja.bin",
        a.hoja.ajustes().fich_vekttab, a.hoja.ajustes().fich_pal}) {
    a.dialogos.ficheros = {gpkg, cargado};
    dispara(visor, "mnuImportarSig");
    const auto& mostrados = a.dialogos.mostrados;
    ASSERT_GE(mostrados.size(), 2u);
    EXPECT_EQ(mostrados[mostrados.size() - 2].propuesto, a.hoja.carpeta / "hoja_sig2.bin");
    EXPECT_EQ(mostrados.back().icono, Icono::critico) << cargado;
    EXPECT_NE(mostrados.back().texto.find("es un fichero abierto en el visor"), std::string::npos);
  }
  EXPECT_EQ(a.hoja.carpeta.lee("hoja.bin"), hoja);
  EXPECT_EQ(a.hoja.carpeta.lee("hoja_sig.bin"), "");
  EXPECT_EQ(a.form.visor(), visor);

  // The imported sheet opens in a new viewer with the same tables and unit.
  const auto vuelta = a.hoja.carpeta / "vuelta.bin";
  a.dialogos.ficheros = {gpkg, vuelta};
  dispara(visor, "mnuImportarSig");
  ASSERT_TRUE(std::filesystem::exists(vuelta));
  EXPECT_NE(a.dialogos.textos().back().find("Escrito " + vuelta.string() + ": 3 entidades"),
            std::string::npos);
  QTest::qWait(20);
  Visor* nuevo = a.form.visor();
  ASSERT_NE(nuevo, nullptr);
  EXPECT_EQ(nuevo->ajustes().fich_entrada, vuelta);
  EXPECT_EQ(nuevo->ajustes().fich_vekttab, a.hoja.ajustes().fich_vekttab);
  EXPECT_EQ(nuevo->control().sesion().hoja.num_entidades(), 3);
  EXPECT_TRUE(nuevo->isVisible());
}

// The topology entries open the window "Topología", which shows the run's lines; the hidden
// entry redraws the polygons of the last run.
TEST(Visor, LasEntradasDeTopologiaAbrenLaVentanaConSusLineas) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  for (const char* nombre : {"mnuTopologiaTodo", "mnuTopologiaIslas", "mnuTopologiaErrCentroides",
                             "mnuTopologiaArcosColgantes", "mnuTopologiaResaltarPoligono"}) {
    EXPECT_TRUE(visor->findChild<QAction*>(nombre)->isEnabled()) << nombre;
  }
  dispara(visor, "mnuTopologiaArcosColgantes");
  auto* ventana = visor->findChild<QDialog*>("Topo");
  ASSERT_NE(ventana, nullptr);
  EXPECT_EQ(ventana->windowTitle(), "Topología");
  EXPECT_EQ(ventana->findChild<QLabel*>("Label1")->text(), "Nodos encontrados :2");
  EXPECT_EQ(ventana->findChild<QLabel*>("Label4")->text(), "Arcos colgantes :2");
  EXPECT_EQ(visor->control().opciones_topologia.orden, EntradaTopologia::arcos_colgantes);
  EXPECT_FALSE(visor->findChild<QProgressBar*>("ProgressBar1")->isVisible());
  EXPECT_TRUE(std::filesystem::exists(a.hoja.carpeta / "Nodos.txt"));
  dispara(visor, "mnuTopologiaVisualizar");
  ventana->close();
}

// The elevation entries: "DarCotasATramos" asks "ADVERTENCIA" first (Cancel leaves the sheet
// as it was and shows the topology lines, OK writes it and shows the PSCT lines); the street
// labels with "Graba" go to hoja.COT, spaced by the console's DA.
TEST(Visor, LasEntradasDeCotas) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {30000, 0, 0}, {40000, 0, 0}})
      .c("PSCT", {{0, 0, 10000}})
      .c("PSCT", {{40000, 0, 20000}});
  Arranque a(b);
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  for (const char* nombre :
       {"mnuTopoGenerarCotasCallesSoloVertices", "mnuTopoGenerarCotasCallesSoloVisualizar",
        "mnuTopoGenerarCotasCallesGraba", "mnuTopoDarCotasACartografia2D",
        "mnuTopoDarCotasACartografia2DTramos"}) {
    EXPECT_TRUE(visor->findChild<QAction*>(nombre)->isEnabled()) << nombre;
  }
  // The window of the last run (those of earlier runs are closed).
  auto linea = [&](const char* etiqueta) {
    for (QDialog* topo : visor->findChildren<QDialog*>("Topo")) {
      if (topo->isVisible()) return topo->findChild<QLabel*>(etiqueta)->text();
    }
    return QString("(sin ventana)");
  };
  const std::string antes = a.hoja.carpeta.lee("hoja.bin");
  // The warning is asked over the picture it is about: the faces and errors are on screen.
  CuentaPintados cuenta(&visor->area());
  a.dialogos.cuenta = &cuenta;
  QApplication::processEvents();
  const int pintados_antes = cuenta.veces;
  a.dialogos.respuestas = {false};
  dispara(visor, "mnuTopoDarCotasACartografia2DTramos");
  ASSERT_EQ(a.dialogos.mostrados.size(), 1u);
  EXPECT_EQ(a.dialogos.mostrados[0].titulo, "ADVERTENCIA");
  ASSERT_EQ(a.dialogos.pintados_al_preguntar.size(), 1u);
  EXPECT_GT(a.dialogos.pintados_al_preguntar[0], pintados_antes);
  EXPECT_EQ(a.hoja.carpeta.lee("hoja.bin"), antes);
  EXPECT_EQ(linea("Label1"), "Nodos encontrados :2");

  a.dialogos.respuestas = {true};
  dispara(visor, "mnuTopoDarCotasACartografia2DTramos");
  EXPECT_EQ(linea("Label1"), "PSCT encontrados :2");
  EXPECT_EQ(linea("Label3"), "Tramos modificados :1");
  EXPECT_EQ(linea("Label5"), "");
  const Hoja leida = cargo_bin(a.hoja.carpeta / "hoja.bin", visor->control().sesion().tabla);
  EXPECT_EQ(leida.vertices_de(leida.c[0])[1].z, 17500);
  EXPECT_EQ(visor->control().sesion().hoja.vertices_de(visor->control().sesion().hoja.c[0])[1].z,
            17500);

  dispara(visor, "mnuTopoGenerarCotasCallesGraba");
  EXPECT_EQ(linea("Label1"), "GENERADOS LOS TEXTOS DE COTA");
  const auto cot = a.hoja.carpeta / "hoja.COT";
  const auto cada_20 = std::filesystem::file_size(cot);
  EXPECT_EQ(cada_20, (19u + 2u) * 72u);  // every 20 m along 400 m, and the two nodes
  visor->control().visualizacion.distancia_cotas = 100;
  dispara(visor, "mnuTopoGenerarCotasCallesSoloVisualizar");
  EXPECT_EQ(std::filesystem::file_size(cot), cada_20);
  dispara(visor, "mnuTopoGenerarCotasCallesGraba");
  EXPECT_EQ(std::filesystem::file_size(cot), cada_20 + (3u + 2u) * 72u);
  EXPECT_EQ(a.dialogos.mostrados.size(), 2u);
}

// The network cleanup from the menu: it splits the two crossing lines in the sheet's file and
// shows its two result lines in its own window; the progress bar is gone when it ends.
TEST(Visor, BinjuntaDesdeElMenu) {
  Arranque a;
  ConstructorBin b;
  b.c("100", {{1000, 1000, 0}, {101000, 101000, 0}})
      .c("100", {{1000, 101000, 0}, {101000, 1000, 0}});
  a.hoja.carpeta.escribe("hoja.bin", b.contenido());
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  ASSERT_TRUE(visor->findChild<QAction*>("mnuBinjunta")->isEnabled());
  dispara(visor, "mnuBinjunta");
  auto* ventana = visor->findChild<QDialog*>("Binjunta");
  ASSERT_NE(ventana, nullptr);
  EXPECT_TRUE(ventana->isVisible());
  EXPECT_EQ(ventana->windowTitle(), "Proceso de Depuración Arcos Colgantes, Tramificación, etc");
  EXPECT_EQ(ventana->findChild<QLabel*>("Label1")->text(), "Nodos movidos :0");
  EXPECT_EQ(ventana->findChild<QLabel*>("Label2")->text(), "Elementos partidos :2");
  EXPECT_FALSE(visor->findChild<QProgressBar*>("ProgressBar1")->isVisible());
  EXPECT_EQ(a.hoja.carpeta.lee("hoja.bin").size(), b.contenido().size() + 4 * 72);
  EXPECT_TRUE(std::filesystem::exists(a.hoja.carpeta / "entidadesP.txt"));
  EXPECT_TRUE(a.dialogos.mostrados.empty());
}

// Whatever a tool that changes the sheet does to it, the view then shows the sheet as its file
// holds it, in the window and at the scale the operator had: over generated sheets, after
// double points, cleanup and processed duplicates, the loaded entities are those of the file
// and everything drawn is what a fresh opening of the file draws there.
TEST(Visor, TrasCadaHerramientaLaVistaMuestraLaHojaComoEsta) {
  for (const std::uint64_t semilla : {1u, 2u}) {
    for (const char* herramienta : {"mnuPuntosDobles", "mnuBinjunta", "mnuBorrarDuplicados"}) {
      SCOPED_TRACE(std::string(herramienta) + " semilla " + std::to_string(semilla));
      Arranque a;
      OpcionesMuestra opciones;
      opciones.entidades = 400;
      opciones.semilla = semilla;
      genera_muestra(a.hoja.carpeta.ruta(), opciones);
      Visor* visor = a.abre_visor();
      ASSERT_NE(visor, nullptr);
      // The operator's window: a zoom on the middle of the sheet.
      dispara(visor, "mnuZoomMas");
      QTest::mouseClick(&visor->area(), Qt::LeftButton, {}, QPoint(450, 330));
      const Vista antes = visor->control().vista;
      const std::string bytes_antes = a.hoja.carpeta.lee("hoja.bin");
      if (std::string_view(herramienta) == "mnuPuntosDobles") {
        QTimer::singleShot(0, [] {
          QWidget* d = QApplication::activeModalWidget();
          ASSERT_NE(d, nullptr);
          pon_texto(d, "Text2", "10");
          pon_texto(d, "Text4", "5");
          pulsa(d, "Command1");
        });
      }
      dispara(visor, herramienta);
      ASSERT_NE(a.hoja.carpeta.lee("hoja.bin"), bytes_antes);  // the tool changed the sheet
      const Sesion& sesion = visor->control().sesion();
      const Hoja leida = cargo_bin(a.hoja.carpeta / "hoja.bin", sesion.tabla);
      ASSERT_EQ(sesion.hoja.num_entidades(), leida.num_entidades());
      for (std::int32_t n = 1; n <= leida.num_entidades(); ++n) {
        ASSERT_EQ(sesion.hoja.activa(n), leida.activa(n)) << n;
      }
      const Vista& despues = visor->control().vista;
      EXPECT_EQ(despues.escala, antes.escala);
      EXPECT_EQ(despues.xmin, antes.xmin);
      EXPECT_EQ(despues.ymax, antes.ymax);
      // The picture is the one a fresh opening of the file draws in that window.
      const Sesion fresca = a.hoja.abre();
      const QImage& imagen = visor->area().superficie().imagen();
      SuperficieImagen esperada(imagen.width(), imagen.height());
      Pintor pintor(fresca);
      redibuja_vista(pintor, esperada, despues, visor->control().visualizacion);
      EXPECT_TRUE(esperada.imagen() == imagen);
    }
  }
}
