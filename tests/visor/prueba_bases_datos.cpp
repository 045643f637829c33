#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTableWidget>

#include "area_dibujo.h"
#include "arranque.h"
#include "bases_prueba.h"
#include "db/importacion.h"
#include "pintor.h"
#include "servidor_prueba.h"

using namespace telmora;
using prueba::Arranque;
using prueba::dispara;
using prueba::n;
using prueba::t;

namespace {

QListWidget* lista(QWidget* ventana, const char* nombre) {
  auto* l = ventana->findChild<QListWidget*>(nombre);
  EXPECT_NE(l, nullptr) << nombre;
  return l;
}

std::vector<std::string> textos(QListWidget* l) {
  std::vector<std::string> salida;
  for (int i = 0; i < l->count(); ++i) salida.push_back(l->item(i)->text().toStdString());
  return salida;
}

// A click, or a double-click as the window system delivers it: a click, then the second press
// as a double-click, then its release.
void pulsa_item(QListWidget* l, int fila, bool doble = false) {
  const QPoint punto = l->visualItemRect(l->item(fila)).center();
  QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, punto);
  if (!doble) return;
  QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, punto);
  QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, punto);
}

std::vector<std::string> visibles(Visor* visor) {
  const TablaVekt& tabla = visor->control().sesion().tabla;
  std::vector<std::string> codigos;
  for (int fila = 1; fila <= tabla.num_entradas(); ++fila) {
    if (tabla.fila(fila).visible) codigos.push_back(tabla.fila(fila).codigo());
  }
  return codigos;
}

bool pinta(Visor* visor, QRgb color) {
  const QImage& imagen = visor->area().superficie().imagen();
  for (int y = 0; y < imagen.height(); ++y) {
    for (int x = 0; x < imagen.width(); ++x) {
      if (imagen.pixel(x, y) == color) return true;
    }
  }
  return false;
}

constexpr QRgb kVerde = 0xff00ff00, kAzul = 0xff0000ff;

// The colour of the viewer's picture at a map point (file units).
QRgb color_en(Visor* visor, std::int32_t x, std::int32_t y) {
  const PuntoPantalla p =
      a_pantalla(visor->control().vista, Vertice{x, y, 0}, visor->control().sesion().ajustes.uds);
  return visor->area().superficie().imagen().pixel(p.x, p.y);
}

// The faces of hoja_de_pares() by the state of their pair: blocked, free, without a centroid.
void caras_por_estado(Visor* visor) {
  EXPECT_EQ(color_en(visor, 2500, 2500), qRgb(220, 40, 40));
  EXPECT_EQ(color_en(visor, 12500, 2500), qRgb(40, 170, 70));
  EXPECT_EQ(color_en(visor, 22500, 2500), qRgb(10, 20, 30));
}

void cierra(QWidget* ventana) {
  ventana->close();
  for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

TEST(VisorBases, ControlParesMuestraLosRecuentosYAvisaSinServidor) {
  Arranque a;
  prueba::escribe_bd(a.hoja.carpeta, "BDControl.mdb", {prueba::pares_prueba()});
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  dispara(visor, "mnuControlPares");
  auto* ventana = visor->findChild<QDialog*>("ControlPares");
  ASSERT_NE(ventana, nullptr);
  EXPECT_EQ(ventana->windowTitle(), "Control de Pares");
  EXPECT_EQ(prueba::texto(ventana, "Text1").toStdString(),
            (a.hoja.carpeta / "BDControl.mdb").string());
  EXPECT_EQ(ventana->findChild<QLabel*>("Label1")->text(), "Pares    Totales : 6");
  EXPECT_EQ(ventana->findChild<QLabel*>("Label2")->text(), "Pares Bloqueados : 3");
  EXPECT_EQ(ventana->findChild<QLabel*>("Label3")->text(), "Pares     Libres : 1");
  EXPECT_EQ(a.dialogos.textos(),
            std::vector<std::string>{"Connexión no posible.\nUtilizo BdD en local"});
  EXPECT_EQ(visor->findChild<QLabel*>("Estado")->text(), "Conexion imposible.");
}

TEST(VisorBases, ControlParesColoreaLasCarasYSeCierraConLaTopologia) {
  Arranque a(prueba::hoja_de_pares());
  a.hoja.carpeta.escribe("Vekt.pal", prueba::paleta_con_color_10());
  prueba::escribe_bd(a.hoja.carpeta, "BDControl.mdb", {prueba::pares_de_la_hoja()});
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  dispara(visor, "mnuControlPares");
  auto* pares = visor->findChild<QDialog*>("ControlPares");
  ASSERT_NE(pares, nullptr);
  auto* topo = visor->findChild<QDialog*>("Topo");
  ASSERT_NE(topo, nullptr);
  EXPECT_EQ(pares->findChild<QLabel*>("Label2")->text(), "Pares Bloqueados : 1");
  // Both windows can be read: the pair control stands beside the topology window, on the screen.
  QCoreApplication::processEvents();
  EXPECT_FALSE(pares->frameGeometry().intersects(topo->frameGeometry()))
      << pares->frameGeometry().x() << " " << topo->frameGeometry().x();
  EXPECT_TRUE(pares->screen()->availableGeometry().contains(pares->frameGeometry()));

  caras_por_estado(visor);

  // Leaving the pair control for another window closes the topology window it opened; the pair
  // control stays.
  ASSERT_TRUE(pares->isActiveWindow());
  visor->activateWindow();
  QCoreApplication::processEvents();
  for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(visor->findChild<QDialog*>("Topo"), nullptr);
  EXPECT_EQ(visor->findChild<QDialog*>("ControlPares"), pares);

  // Closing the pair control closes the topology window it opened.
  cierra(pares);
  dispara(visor, "mnuControlPares");
  pares = visor->findChild<QDialog*>("ControlPares");
  ASSERT_NE(visor->findChild<QDialog*>("Topo"), nullptr);
  cierra(pares);
  EXPECT_EQ(visor->findChild<QDialog*>("Topo"), nullptr);
}

TEST(VisorBases, ControlParesEnUnServidorPostgresql) {
  Arranque a(prueba::hoja_de_pares());
  a.hoja.carpeta.escribe("Vekt.pal", prueba::paleta_con_color_10());
  prueba::escribe_bd(a.hoja.carpeta, "BDControl.mdb", {prueba::pares_prueba()});
  const std::string inalcanzable = "postgresql://telmora@127.0.0.1:1/telmora";
  a.datos.escribe("instalacion.ini", "[control]\ncarpeta=" + inalcanzable + "\n");
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);

  // A server that cannot be reached: the local copy, and the server's reason in the panel.
  dispara(visor, "mnuControlPares");
  auto* pares = visor->findChild<QDialog*>("ControlPares");
  ASSERT_NE(pares, nullptr);
  EXPECT_EQ(pares->findChild<QLabel*>("Label1")->text(), "Pares    Totales : 6");
  EXPECT_EQ(a.dialogos.textos(),
            std::vector<std::string>{"Connexión no posible.\nUtilizo BdD en local"});
  const std::string estado = visor->findChild<QLabel*>("Estado")->text().toStdString();
  const std::string imposible =
      "Conexion imposible. No se puede conectar con " + inalcanzable + ": ";
  EXPECT_TRUE(estado.starts_with(imposible) && estado.size() > imposible.size()) << estado;
  cierra(pares);

  EXIGE_SERVIDOR_PG();
  prueba::BasePg pg;
  {
    const auto fichero =
        prueba::escribe_bd(a.datos, "servidor.sqlite", {prueba::pares_de_la_hoja()});
    BaseDatos fuente = BaseDatos::abre(fichero.string());
    importa_control_postgresql(fuente, pg.conexion());
  }
  a.datos.escribe("instalacion.ini", "[control]\ncarpeta=" + pg.conexion() + "\n");
  dispara(visor, "mnuControlPares");
  pares = visor->findChild<QDialog*>("ControlPares");
  ASSERT_NE(pares, nullptr);
  EXPECT_EQ(prueba::texto(pares, "Text1").toStdString(), pg.conexion());
  EXPECT_EQ(pares->findChild<QLabel*>("Label1")->text(), "Pares    Totales : 2");
  EXPECT_EQ(pares->findChild<QLabel*>("Label2")->text(), "Pares Bloqueados : 1");
  EXPECT_EQ(visor->findChild<QLabel*>("Estado")->text(), "Conexión Cerrada.");
  EXPECT_EQ(a.dialogos.mostrados.size(), 1u);
  caras_por_estado(visor);
}

TEST(VisorBases, CadaBaseSeBuscaEnLaCarpetaDeTrabajoYDespuesEnLaDeDatos) {
  prueba::ConstructorBin hoja = prueba::hoja_sencilla();
  hoja.t("TXT", {1000, 1000, 0}, "5_visto").t("TXT", {2000, 1000, 0}, "6");
  Arranque a(hoja);
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  dispara(visor, "mnuControlErrores");
  dispara(visor, "mnuSegunObjeto");
  EXPECT_EQ(a.dialogos.textos(),
            (std::vector<std::string>{
                "No existe el fichero :" + (a.hoja.carpeta / "hoja.mdb").string(),
                "No existe el fichero :" + (a.hoja.carpeta / "Catalogo.mdb").string()}));
  EXPECT_EQ(visor->findChild<QDialog*>("ControlErrores"), nullptr);

  // Found in the data folder, which becomes the working folder of the start form.
  prueba::escribe_bd(a.datos, "hoja.mdb",
                     {tabla_errores({prueba::fila_error(5), prueba::fila_error(6, n(1), t("x;")),
                                     prueba::fila_error(7)})});
  dispara(visor, "mnuControlErrores");
  auto* ventana = visor->findChild<QDialog*>("ControlErrores");
  ASSERT_NE(ventana, nullptr);
  EXPECT_EQ(ventana->windowTitle(), "ControlErr");
  auto* tabla = ventana->findChild<QTableWidget*>("DBGrid1");
  ASSERT_EQ(tabla->rowCount(), 3);
  EXPECT_EQ(tabla->horizontalHeaderItem(15)->text(), "DescripcionEstado");
  EXPECT_EQ(tabla->item(0, 14)->text(), "1");
  EXPECT_EQ(tabla->item(0, 15)->text(), "visto");
  EXPECT_EQ(tabla->item(1, 14)->text(), "101");
  EXPECT_EQ(tabla->item(1, 15)->text(), "x;");
  EXPECT_EQ(tabla->item(2, 14)->text(), "");
  EXPECT_TRUE(tabla->item(1, 0)->font().bold());
  EXPECT_FALSE(tabla->item(2, 0)->font().bold());
  EXPECT_EQ(prueba::texto(&a.form, "Text6"),
            QDir::toNativeSeparators(
                QDir(QString::fromStdString(a.datos.ruta().string())).absolutePath()) +
                QDir::separator());
}

TEST(VisorBases, ModeloDatosYAceptarDejanVerSoloLasEntradasElegidas) {
  Arranque a;
  prueba::escribe_bd(a.hoja.carpeta, "Catalogo.mdb", prueba::catalogo_completo());
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  ASSERT_TRUE(pinta(visor, kVerde) && pinta(visor, kAzul));
  dispara(visor, "mnuSegunCatalogo");
  auto* ventana = visor->findChild<QDialog*>("ModeloDatos");
  ASSERT_NE(ventana, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana));
  EXPECT_EQ(ventana->windowTitle(), "Modelo de Datos");
  EXPECT_EQ(prueba::texto(ventana, "BDD").toStdString(),
            (a.hoja.carpeta / "Catalogo.mdb").string());
  QListWidget* temas = lista(ventana, "ListTemas");
  QListWidget* entradas = lista(ventana, "ListDescrip");
  EXPECT_EQ(textos(temas), (std::vector<std::string>{"Viales", "Edificios"}));

  // A double-click picks the whole theme; a click on an entry drops it.
  pulsa_item(temas, 0, true);
  ASSERT_EQ(entradas->count(), 8);
  EXPECT_EQ(entradas->selectedItems().size(), 8);
  pulsa_item(entradas, 0);
  pulsa_item(entradas, 1);
  EXPECT_FALSE(entradas->item(0)->isSelected());
  pulsa_item(temas, 1);
  EXPECT_EQ(entradas->item(0)->text(), "10 -Duplicado MSLINK");
  EXPECT_FALSE(entradas->item(0)->isSelected());  // MSLINK 10's first record, dropped

  QTest::mouseClick(ventana->findChild<QPushButton*>("Aceptar"), Qt::LeftButton);
  // Entry 30 stands for the codes that begin with 30: both rows of "300", which the sheet
  // does not use, so nothing is drawn.
  EXPECT_EQ(visibles(visor), (std::vector<std::string>{"300", "300"}));
  EXPECT_FALSE(pinta(visor, kVerde) || pinta(visor, kAzul));
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(visor->findChild<QDialog*>("ModeloDatos"), nullptr);
}

TEST(VisorBases, ModeloObjetoPorObjetoValorYElementos) {
  Arranque a;
  prueba::escribe_bd(a.hoja.carpeta, "Catalogo.mdb", prueba::catalogo_completo());
  Visor* visor = a.abre_visor();
  ASSERT_NE(visor, nullptr);
  dispara(visor, "mnuSegunObjeto");
  auto* ventana = visor->findChild<QDialog*>("ModeloObjeto");
  ASSERT_NE(ventana, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana));
  EXPECT_EQ(ventana->windowTitle(), "Modelo de Objeto");
  QListWidget* objetos = lista(ventana, "ListTemas");
  QListWidget* valores = lista(ventana, "ListDescrip");
  QListWidget* elementos = lista(ventana, "Elementos");
  EXPECT_EQ(textos(objetos), (std::vector<std::string>{"7 -Calle", "8 -Casa"}));

  pulsa_item(objetos, 0);
  ASSERT_EQ(valores->count(), 8);
  pulsa_item(valores, 0);  // "1 - [7] Secundaria"
  EXPECT_EQ(textos(elementos),
            (std::vector<std::string>{"10 -Secundaria (Trazo)", "20 -Secundaria (Relleno)"}));
  pulsa_item(elementos, 0);
  // The right button inverts every entry: 20 is picked instead of 10.
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                         elementos->viewport()->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(elementos->viewport(), &menu);
  EXPECT_FALSE(elementos->item(0)->isSelected());
  EXPECT_TRUE(elementos->item(1)->isSelected());

  // A double-click chooses every object.
  pulsa_item(objetos, 0, true);
  EXPECT_EQ(objetos->selectedItems().size(), 2);
  EXPECT_EQ(valores->count(), 12);

  QTest::mouseClick(ventana->findChild<QPushButton*>("Aceptar"), Qt::LeftButton);
  EXPECT_EQ(visibles(visor), std::vector<std::string>{"200"});
  EXPECT_TRUE(pinta(visor, kAzul));
  EXPECT_FALSE(pinta(visor, kVerde));
}
