// The start form on a sheet of its own, with a data folder of its own and scripted dialogs, and
// the helpers that drive the windows by their controls' names.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "area_dibujo.h"
#include "dialogos_guion.h"
#include "form1.h"
#include "hoja_visor.h"
#include "visor.h"

namespace prueba {

inline ConstructorBin hoja_sencilla() {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {100000, 0, 0}, {100000, 60000, 0}})
      .c("200", {{20000, 20000, 15000},
                 {40000, 20000, 15000},
                 {40000, 40000, 15000},
                 {20000, 20000, 15000}})
      .t("TXT", {50000, 30000, 0}, "CALLE", 500, 0, 0);
  return b;
}

inline QString texto(QWidget* w, const char* nombre) {
  return w->findChild<QLineEdit*>(nombre)->text();
}

inline void pon_texto(QWidget* w, const char* nombre, const QString& valor) {
  w->findChild<QLineEdit*>(nombre)->setText(valor);
}

inline void pulsa(QWidget* w, const char* nombre) {
  QTest::mouseClick(w->findChild<QPushButton*>(nombre), Qt::LeftButton);
}

inline void dispara(QWidget* w, const char* nombre) {
  QAction* accion = w->findChild<QAction*>(nombre);
  ASSERT_NE(accion, nullptr) << nombre;
  accion->trigger();
}

// Pixels of the area's picture that are not the black background.
inline int pintados(telmora::AreaDibujo& area) {
  const QImage& imagen = area.superficie().imagen();
  int cuantos = 0;
  for (int y = 0; y < imagen.height(); ++y) {
    for (int x = 0; x < imagen.width(); ++x) cuantos += imagen.pixel(x, y) != 0xff000000u;
  }
  return cuantos;
}

// Counts the times a widget is painted on screen.
class CuentaPintados : public QObject {
 public:
  explicit CuentaPintados(QWidget* w) { w->installEventFilter(this); }
  int veces = 0;

 protected:
  bool eventFilter(QObject*, QEvent* evento) override {
    veces += evento->type() == QEvent::Paint;
    return false;
  }
};

// Scripted answers that, at each question, let the window system paint and record how many
// times the drawing area has been painted by then.
class DialogosQueMiran : public prueba::DialogosGuion {
 public:
  CuentaPintados* cuenta = nullptr;
  std::vector<int> pintados_al_preguntar;

  bool si_no(const std::string& texto, const std::string& titulo) override {
    mira();
    return DialogosGuion::si_no(texto, titulo);
  }
  bool aceptar_cancelar(const std::string& texto, const std::string& titulo) override {
    mira();
    return DialogosGuion::aceptar_cancelar(texto, titulo);
  }

 private:
  void mira() {
    QApplication::processEvents();
    if (cuenta != nullptr) pintados_al_preguntar.push_back(cuenta->veces);
  }
};

struct Arranque {
  HojaVisor hoja;
  prueba::CarpetaTemporal datos;  // the fixed data folder of this test
  DialogosQueMiran dialogos;
  telmora::Form1 form{dialogos, datos.ruta()};

  explicit Arranque(const ConstructorBin& bin = hoja_sencilla(),
                    const std::string& tabla = tabla_visor())
      : hoja(bin, tabla) {
    form.pon_fichero_instalacion(datos / "instalacion.ini");
    form.abre_en(QString::fromStdString(hoja.carpeta.ruta().string()));
  }

  telmora::Visor* abre_visor() {
    form.abre_en(QString::fromStdString(hoja.carpeta.ruta().string()), "hoja.bin");
    form.Command7_Click();
    telmora::Visor* visor = form.visor();
    if (visor == nullptr) return nullptr;
    visor->showNormal();
    visor->resize(900, 700);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(visor));
    QTest::qWait(20);
    return visor;
  }
};

}  // namespace prueba
