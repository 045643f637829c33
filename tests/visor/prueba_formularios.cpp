#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "area_dibujo.h"
#include "arranque.h"
#include "dialogos_guion.h"
#include "dialogos_qt.h"
#include "form1.h"
#include "hoja_visor.h"
#include "info_elem.h"
#include "topo.h"
#include "visor.h"

using namespace telmora;
using prueba::Arranque;
using prueba::ConstructorBin;
using prueba::CuentaPintados;
using prueba::dispara;
using prueba::hoja_sencilla;
using prueba::HojaVisor;
using prueba::pintados;
using prueba::pon_texto;
using prueba::pulsa;
using prueba::texto;

namespace {

// A pointer move as the window system delivers it.
void mueve_raton(QWidget* w, QPoint punto) {
  QMouseEvent evento(QEvent::MouseMove, punto, w->mapToGlobal(punto), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
  QApplication::sendEvent(w, &evento);
}

}  // namespace

TEST(Form1, MensajesDelBotonDeInicio) {
  Arranque a;
  EXPECT_EQ(a.form.windowTitle(), "Visor VEKT");
  EXPECT_EQ(texto(&a.form, "Text3"), "0.5");
  EXPECT_TRUE(a.form.findChild<QRadioButton*>("Option1")->isChecked());
  pulsa(&a.form, "Command7");
  ASSERT_EQ(a.dialogos.textos(), std::vector<std::string>{"No se ha elegido ningún fichero"});
  EXPECT_EQ(a.dialogos.mostrados[0].icono, Icono::critico);

  pon_texto(&a.form, "Text1", "otra.bin");
  pulsa(&a.form, "Command7");
  EXPECT_EQ(a.dialogos.textos().back(),
            "No existe el fichero :" + (a.hoja.carpeta / "otra.bin").string());

  pon_texto(&a.form, "Text1", "hoja.bin");
  pon_texto(&a.form, "Text3", "medio");
  pulsa(&a.form, "Command7");
  EXPECT_EQ(a.dialogos.textos().back(),
            "La tolerancia \"medio\" no es un número: escriba la tolerancia en metros, como 0.5");
  pon_texto(&a.form, "Text3", "-0,5");
  pulsa(&a.form, "Command7");
  EXPECT_EQ(a.dialogos.textos().back(),
            "La tolerancia \"-0,5\" tiene que ser cero o mayor: escriba la tolerancia en metros, "
            "como 0.5");
  EXPECT_EQ(a.dialogos.mostrados.back().icono, Icono::critico);
  EXPECT_EQ(a.form.visor(), nullptr);
}

TEST(Form1, ElFicheroElegidoYElNombreDeSalida) {
  Arranque a;
  a.hoja.carpeta.escribe("mapa.v2.bin", "");
  a.form.abre_en(QString::fromStdString(a.hoja.carpeta.ruta().string()));
  auto* lista = a.form.findChild<QListWidget*>("File1");
  const auto elementos = lista->findItems("mapa.v2.bin", Qt::MatchExactly);
  ASSERT_EQ(elementos.size(), 1);
  QTest::mouseClick(lista->viewport(), Qt::LeftButton, {},
                    lista->visualItemRect(elementos.front()).center());
  EXPECT_EQ(texto(&a.form, "Text1"), "mapa.v2.bin");
  EXPECT_EQ(texto(&a.form, "Text2"), "mapa.bin");
  EXPECT_TRUE(texto(&a.form, "Text6").endsWith('/'));

  a.dialogos.ficheros.push_back(a.hoja.carpeta / "hoja.bin");
  pulsa(&a.form, "Command1");
  EXPECT_EQ(texto(&a.form, "Text1"), "hoja.bin");
  EXPECT_EQ(a.dialogos.mostrados.back().titulo, "Seleccinar fichero .bin a visualizar");
}

TEST(Form1, CadaFicheroQueFaltaSeTomaDeLaCarpetaDeDatos) {
  Arranque a;
  a.datos.escribe("Vekt.tab", a.hoja.carpeta.lee("Vekt.tab"));
  std::filesystem::remove(a.hoja.carpeta / "Vekt.tab");
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr) << (a.dialogos.textos().empty() ? "" : a.dialogos.textos().back());
  EXPECT_TRUE(a.dialogos.textos().empty());
  EXPECT_EQ(visor->windowTitle(),
            QString::fromStdString("Visor VEKT :  " + (a.hoja.carpeta / "hoja.bin").string()));
  EXPECT_FALSE(a.form.isVisible());
}

// Each toolbar button does what its twin in the menus does; the trial entries are not offered.
TEST(Visor, CadaBotonHaceLoQueSuEntradaDeMenu) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  ControlVisor& c = visor->control();
  auto estado = [&c] {
    return std::tuple(c.mouse_accion, c.escala_armada, c.vista.xmin, c.vista.ymax, c.vista.escala);
  };
  const std::pair<const char*, const char*> gemelos[] = {
      {"ZoomVentana", "mnuVentana"}, {"ZoomCentrar", "mnuCentrar"},
      {"ZoomMas", "mnuZoomMas"},     {"ZoomMenos", "mnuZoomMenos"},
      {"ZoomTodo", "mnuTodo"},       {"InfoElemento", "mnuInfoElemento"}};
  QTest::mouseClick(&visor->area(), Qt::LeftButton, {}, QPoint(300, 200));
  for (const auto& [boton, entrada] : gemelos) {
    QTest::mouseClick(&visor->area(), Qt::RightButton, {}, QPoint(10, 10));
    dispara(visor, boton);
    const auto por_boton = estado();
    QTest::mouseClick(&visor->area(), Qt::RightButton, {}, QPoint(10, 10));
    dispara(visor, entrada);
    EXPECT_EQ(estado(), por_boton) << boton;
  }
  EXPECT_FALSE(visor->findChild<QAction*>("mnuSueloUrbano")->isVisible());
  EXPECT_FALSE(visor->findChild<QAction*>("mnuTopologiaVisualizar")->isVisible());
  EXPECT_FALSE(visor->findChild<QLineEdit*>("Text6")->isVisible());
}

TEST(Visor, ZoomVentanaTeclasYEscalasFijas) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  AreaDibujo& area = visor->area();
  const QString inicial = texto(visor, "Text5");
  pulsa(visor, "zoomv");
  QTest::mouseClick(&area, Qt::LeftButton, {}, QPoint(400, 300));
  QTest::mouseClick(&area, Qt::LeftButton, {}, QPoint(200, 100));
  const double escala_zoom = visor->control().vista.escala;
  EXPECT_NE(texto(visor, "Text5"), inicial);

  QTest::keyClick(visor, Qt::Key_Plus);
  EXPECT_NEAR(visor->control().vista.escala, escala_zoom / 1.5, 1e-6);
  QTest::keyClick(visor, Qt::Key_Minus);
  const double xmin = visor->control().vista.xmin;
  QTest::keyClick(visor, Qt::Key_Left);
  EXPECT_LT(visor->control().vista.xmin, xmin);

  dispara(visor, "mnu2000");
  QTest::mouseClick(&area, Qt::LeftButton, {}, QPoint(300, 200));
  EXPECT_EQ(texto(visor, "Text5"), "2.000");
  pulsa(visor, "zoomt");
  EXPECT_EQ(texto(visor, "Text5"), inicial);
}

TEST(Visor, MedirFiltrosYCancelarConElBotonDerecho) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  AreaDibujo& area = visor->area();
  dispara(visor, "mnuDistancia");
  EXPECT_TRUE(visor->findChild<QLineEdit*>("Text6")->isVisible());
  QTest::mouseClick(&area, Qt::LeftButton, {}, QPoint(100, 100));
  mueve_raton(&area, QPoint(100, 160));
  EXPECT_NE(texto(visor, "Text6"), "0");
  QTest::mouseClick(&area, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_FALSE(visor->findChild<QLineEdit*>("Text6")->isVisible());
  EXPECT_EQ(visor->control().mouse_accion, AccionRaton::ninguna);

  dispara(visor, "mnuElementos_abiertos");
  EXPECT_EQ(texto(visor, "Text7"), "Abiertos");
  dispara(visor, "mnuElementos_Todos");
  EXPECT_EQ(texto(visor, "Text7"), "");
}

TEST(Visor, ElDialogoDeRangoDeCotas) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  QTimer::singleShot(0, [] {
    QWidget* dialogo = QApplication::activeModalWidget();
    ASSERT_NE(dialogo, nullptr);
    EXPECT_EQ(dialogo->windowTitle(), "Establecer Rango de Cotas a Visualizar");
    pon_texto(dialogo, "Text1", "140");
    pon_texto(dialogo, "Text2", "160,5");
    pulsa(dialogo, "Command1");
  });
  dispara(visor, "mnuPorRangoCotas");
  EXPECT_EQ(texto(visor, "Text7"), "Rango de Cotas");
  EXPECT_EQ(visor->control().visualizacion.cota_minima, 140);
  EXPECT_EQ(visor->control().visualizacion.cota_maxima, 160.5);
  dispara(visor, "mnuPorRangoCotas");
  EXPECT_EQ(texto(visor, "Text7"), "");
}

TEST(Visor, InfoElementoListaImprimeYBorra) {
  Arranque a;
  pon_texto(&a.form, "Text3", "5");  // a pixel here is more than a metre
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  double x = 0, y = 0;
  visor->control().vista.transforma_coordenadas(1000, 300, x, y);  // on the first line
  a.dialogos.respuestas = {true};
  pulsa(visor, "Localiza");
  QTest::mouseClick(&visor->area(), Qt::LeftButton, {}, QPoint(int(x), int(y)));
  ASSERT_EQ(a.dialogos.mostrados.size(), 1u);
  EXPECT_EQ(a.dialogos.mostrados[0].titulo, "Elección de entidad");
  InfoElem* info = visor->info_elemento();
  ASSERT_NE(info, nullptr);
  auto* lista = info->findChild<QListWidget*>("List1");
  ASSERT_GT(lista->count(), 10);
  EXPECT_EQ(lista->item(3)->text(), "   Codigo : 100");

  pulsa(info, "ImprimeEntidad");
  EXPECT_TRUE(std::filesystem::exists(a.hoja.carpeta / "hoja_1.txt"));
  const std::string antes = a.hoja.carpeta.lee("hoja.bin");
  pulsa(info, "BorraEntidad");
  const std::string despues = a.hoja.carpeta.lee("hoja.bin");
  ASSERT_EQ(antes.size(), despues.size());
  EXPECT_EQ(despues[1], '\0');
  EXPECT_EQ(antes.substr(2), despues.substr(2));
  pulsa(info, "CerrarInfoElemento");
}

TEST(Visor, CadaCandidatoSeVeResaltadoAntesDeLaPregunta) {
  Arranque a;
  pon_texto(&a.form, "Text3", "5");
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  CuentaPintados cuenta(&visor->area());
  a.dialogos.cuenta = &cuenta;
  // The line's corner lies within 5 m of the click: each of its hits is offered, and refused.
  double x = 0, y = 0;
  visor->control().vista.transforma_coordenadas(1000, 0, x, y);
  QApplication::processEvents();
  cuenta.veces = 0;
  pulsa(visor, "Localiza");
  QTest::mouseClick(&visor->area(), Qt::LeftButton, {}, QPoint(int(x), int(y) - 1));
  const auto& al_preguntar = a.dialogos.pintados_al_preguntar;
  ASSERT_GE(al_preguntar.size(), 2u);
  EXPECT_GE(al_preguntar[0], 1);
  for (std::size_t k = 1; k < al_preguntar.size(); ++k)
    EXPECT_GT(al_preguntar[k], al_preguntar[k - 1]) << k;
}

TEST(Visor, AlCerrarseSusVentanasElVisorMuestraLoHecho) {
  Arranque a;
  pon_texto(&a.form, "Text3", "5");
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  AreaDibujo& area = visor->area();
  ASSERT_GT(pintados(area), 100);

  // The entity deleted in InfoElem is gone from the map once InfoElem closes.
  double x = 0, y = 0;
  visor->control().vista.transforma_coordenadas(300, 200, x, y);  // on the block only
  a.dialogos.respuestas = {true};
  pulsa(visor, "Localiza");
  QTest::mouseClick(&area, Qt::LeftButton, {}, QPoint(int(x), int(y)));
  InfoElem* info = visor->info_elemento();
  ASSERT_NE(info, nullptr);
  const int con_todo = pintados(area);
  pulsa(info, "BorraEntidad");
  QTest::qWait(20);
  EXPECT_EQ(pintados(area), con_todo);  // still open: nothing redrawn yet
  pulsa(info, "CerrarInfoElemento");
  QTest::qWait(20);
  const int sin_manzana = pintados(area);
  EXPECT_LT(sin_manzana, con_todo - 100);

  // Codes switched off in the console vanish once the console closes.
  QTimer::singleShot(0, [] {
    auto* text1 = QApplication::activeModalWidget()->findChild<QLineEdit*>("Text1");
    QTest::keyClicks(text1, "OFF=*");
    QTest::keyClick(text1, Qt::Key_Return);
  });
  QTest::keyClick(visor, Qt::Key_Return);
  QTest::qWait(20);
  EXPECT_EQ(pintados(area), 0);
}

TEST(Visor, LasTeclasVanAlMapaTrasPulsarloYIntroEnLaEscalaSoloLaAplica) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  auto* text5 = visor->findChild<QLineEdit*>("Text5");
  QTest::mouseClick(text5, Qt::LeftButton);
  QTest::mouseClick(&visor->area(), Qt::LeftButton, {}, QPoint(300, 200));
  const double escala = visor->control().vista.escala;
  const QString caja = text5->text();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Plus);
  EXPECT_NEAR(visor->control().vista.escala, escala / 1.5, 1e-6);
  EXPECT_FALSE(text5->text().contains('+'));

  // A scale typed and Enter: the view takes it and no console opens.
  bool consola = false;
  QTimer::singleShot(50, [&consola] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      consola = true;
      modal->close();
    }
  });
  text5->setFocus();
  text5->setText("2.000");
  QTest::keyClick(text5, Qt::Key_Return);
  QTest::qWait(80);
  EXPECT_FALSE(consola);
  EXPECT_NEAR(visor->control().vista.escala, 2000, 1e-6);
  EXPECT_NE(text5->text(), caja);
  EXPECT_EQ(QApplication::focusWidget(), &visor->area());
}

TEST(Visor, LosDialogosNormalesHablanEspanol) {
  const auto traducciones = instala_traducciones_qt();
  ASSERT_NE(traducciones, nullptr) << "qtbase_es.qm is missing (qt6-translations-l10n)";
  QStringList botones;
  QTimer::singleShot(0, [&botones] {
    QWidget* caja = QApplication::activeModalWidget();
    ASSERT_NE(caja, nullptr);
    for (auto* boton : caja->findChildren<QPushButton*>()) botones << boton->text().remove('&');
    caja->close();
  });
  DialogosQt dialogos;
  dialogos.si_no("Cod: 100\r\r¿Este elemento?", "Elección de entidad");
  botones.sort();
  EXPECT_EQ(botones, (QStringList{"No", "Sí"}));
  QTimer::singleShot(0, [&botones] {
    QWidget* caja = QApplication::activeModalWidget();
    ASSERT_NE(caja, nullptr);
    botones.clear();
    for (auto* boton : caja->findChildren<QPushButton*>()) botones << boton->text().remove('&');
    caja->close();
  });
  dialogos.aceptar_cancelar("ADVERTENCIA", "");
  botones.sort();
  EXPECT_EQ(botones, (QStringList{"Aceptar", "Cancelar"}));
}

TEST(Visor, BinInfoMuestraYGuardaElInforme) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  dispara(visor, "mnuBinInfo");
  auto* ventana = visor->findChild<QDialog*>("BinInfo");
  ASSERT_NE(ventana, nullptr);
  EXPECT_EQ(ventana->windowTitle(), "Información del fichero :");
  auto* lista = ventana->findChild<QListWidget*>("List1");
  EXPECT_EQ(lista->item(2)->text(), "Fich :hoja.bin");
  EXPECT_NE(a.hoja.carpeta.lee("hoja.txt").find("Fich :hoja.bin\n"), std::string::npos);
  ventana->close();
}

TEST(Visor, LaConsolaSeAbreConIntroYEjecutaLaOrden) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  auto teclea = [](const char* orden) {
    QTimer::singleShot(0, [orden] {
      QWidget* consola = QApplication::activeModalWidget();
      ASSERT_NE(consola, nullptr);
      EXPECT_EQ(consola->windowTitle(), "Teclee una orden:");
      auto* text1 = consola->findChild<QLineEdit*>("Text1");
      QTest::keyClicks(text1, orden);
      QTest::keyClick(text1, Qt::Key_Return);
    });
  };
  teclea("off=100");
  QTest::keyClick(visor, Qt::Key_Return);
  EXPECT_FALSE(visor->control().sesion().tabla.fila(1).visible);

  teclea("ZOOMP=500,300");
  QTest::keyClick(visor, Qt::Key_Return);
  const Vista& vista = visor->control().vista;
  EXPECT_NEAR((vista.xmin + vista.xmax) / 2, 500, 2);
  EXPECT_NEAR((vista.ymin + vista.ymax) / 2, 300, 2);

  dispara(visor, "OnTodo");
  EXPECT_TRUE(visor->control().sesion().tabla.fila(1).visible);
  EXPECT_TRUE(visor->findChild<QAction*>("mnuTopoGenerarCotasCallesSoloVertices")->isEnabled());
}

TEST(Visor, PonerTextoYBorrarVentanaDesdeLaConsola) {
  Arranque a;
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  auto orden = [&](const char* texto) {
    QTimer::singleShot(0, [texto] {
      auto* text1 = QApplication::activeModalWidget()->findChild<QLineEdit*>("Text1");
      QTest::keyClicks(text1, texto);
      QTest::keyClick(text1, Qt::Key_Return);
    });
    QTest::keyClick(visor, Qt::Key_Return);
  };
  const auto largo = a.hoja.carpeta.lee("hoja.bin").size();
  orden("PONERTEXTO");
  EXPECT_EQ(visor->control().mouse_accion, AccionRaton::nuevo_texto);
  QTest::mouseClick(&visor->area(), Qt::LeftButton, {}, QPoint(200, 200));
  EXPECT_EQ(a.hoja.carpeta.lee("hoja.bin").size(), largo + 72);

  // Everything the last drawing drew is in the window: all three entities go.
  orden("BORRAR_V");
  const std::string bytes = a.hoja.carpeta.lee("hoja.bin");
  const ConstructorBin original = hoja_sencilla();
  for (const auto inicio : original.inicios()) EXPECT_EQ(bytes[inicio + 1], '\0');
  EXPECT_EQ(bytes[largo + 1], '=');  // the new text was not loaded, so it was not drawn
}
