#include <gtest/gtest.h>

#include "hoja_visor.h"
#include "muestra/generador_muestra.h"
#include "pintor.h"
#include "superficie_imagen.h"

using namespace telmora;
using prueba::Atr;
using prueba::ConstructorBin;
using prueba::HojaVisor;

namespace {

const QColor kNegro(0, 0, 0), kVerde(0, 255, 0), kAzul(0, 0, 255), kAmarillo(255, 255, 0),
    kCian(0, 255, 255), kBlanco(255, 255, 255);

// Draws a sheet of 0 to 100 m (centimetre file) on a 200 x 200 area: 2 pixels a metre.
struct Dibujo {
  Sesion sesion;
  Vista vista;
  Visualizacion visualizacion;

  explicit Dibujo(const HojaVisor& hoja) : sesion(hoja.abre()) {
    vista.dimensiona(200, 200, 15);
    vista.xmin = 0, vista.ymin = 0, vista.xmax = 100, vista.ymax = 100;
    vista.calculo_escala();
    visualizacion.cota_minima = vista.zmin;
    visualizacion.cota_maxima = vista.zmax;
  }
  QImage pinta() {
    SuperficieImagen superficie(200, 200);
    superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
    Pintor(sesion).leo_bin_pinto(superficie, vista, visualizacion);
    return superficie.imagen().copy();
  }
};

// Pixel of the map point (metres).
QColor en(const QImage& imagen, double x, double y) {
  return imagen.pixelColor(static_cast<int>(x * 2), static_cast<int>(200 - y * 2));
}

prueba::V v(int x_m, int y_m, int z_m = 0) {
  return {x_m * 100, y_m * 100, z_m * 100};
}

bool tiene_color(const QImage& imagen, const QColor& color, QRect zona) {
  for (int y = zona.top(); y <= zona.bottom(); ++y) {
    for (int x = zona.left(); x <= zona.right(); ++x) {
      if (imagen.pixelColor(x, y) == color) return true;
    }
  }
  return false;
}

}  // namespace

TEST(Pintor, ColoresDeLaPaletaPrimeraFilaYCodigosDesconocidos) {
  ConstructorBin b;
  b.c("100", {v(0, 10), v(100, 10)})
      .c("300", {v(0, 20), v(100, 20)})
      .c("999", {v(0, 30), v(100, 30)})
      .c("100", {v(0, 40), v(100, 40)}, {}, '\0');
  HojaVisor hoja(b);
  const QImage imagen = Dibujo(hoja).pinta();
  EXPECT_EQ(en(imagen, 50, 10), kVerde);
  EXPECT_EQ(en(imagen, 50, 20), kAmarillo);  // the first of the two "300" rows
  EXPECT_EQ(en(imagen, 50, 30), kCian);      // unknown code: the "//@" colour
  EXPECT_EQ(en(imagen, 50, 40), kNegro);     // deleted
  EXPECT_EQ(en(imagen, 50, 60), kNegro);     // background of "//@ 0"
}

TEST(Pintor, CerradosRellenosSegunElModoYElRelleno) {
  ConstructorBin b;
  b.c("200", {v(10, 10), v(40, 10), v(40, 40), v(10, 40), v(10, 10)})
      .c("100", {v(60, 60), v(60, 60)})  // closed with two identical vertices
      .c("100", {v(60, 10), v(90, 10)});
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  QImage imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 25, 25), kAzul);
  EXPECT_EQ(en(imagen, 75, 10), kVerde);

  dibujo.visualizacion.relleno = false;
  imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 25, 25), kNegro);
  EXPECT_EQ(en(imagen, 10, 25), kAzul);  // the outline stays

  dibujo.visualizacion.abierto_cerrado = ModoElementos::abiertos;
  imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 10, 25), kNegro);
  EXPECT_EQ(en(imagen, 75, 10), kVerde);

  dibujo.visualizacion.abierto_cerrado = ModoElementos::cerrados;
  dibujo.visualizacion.centroides = true;  // centroid mode fills whatever the fill switch says
  imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 15, 15), kAzul);
  EXPECT_EQ(en(imagen, 75, 10), kNegro);
}

TEST(Pintor, VisibilidadYSeleccionPorAtributo) {
  ConstructorBin b;
  b.c("200", {v(0, 10), v(100, 10)}).c("200", {v(0, 20), v(100, 20)}, {{2, 100, ""}});
  b.c("999", {v(0, 30), v(100, 30)}).c("999", {v(0, 40), v(100, 40)}, {{2, 100, ""}});
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  dibujo.sesion.tabla.fila(2).visible = false;  // "200" switched off
  QImage imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 50, 10), kNegro);
  EXPECT_EQ(en(imagen, 50, 20), kNegro);
  EXPECT_EQ(en(imagen, 50, 30), kCian);  // an unknown code is never hidden
  EXPECT_EQ(en(imagen, 50, 40), kCian);

  // With the selection display on, the table-2 attribute's code shows the second line, and
  // gives an unknown code its colour.
  dibujo.visualizacion.seleccion = true;
  imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 50, 10), kNegro);
  EXPECT_EQ(en(imagen, 50, 20), kVerde);
  EXPECT_EQ(en(imagen, 50, 40), kVerde);
}

TEST(Pintor, FiltroDeCotas) {
  ConstructorBin b;
  b.c("100", {v(0, 10, 150), v(100, 10, 150)})
      .c("100", {v(0, 20, 150), v(50, 20, 250), v(100, 20, 150)});
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  dibujo.visualizacion.todas_las_cotas = false;
  dibujo.visualizacion.cota_minima = 200;
  dibujo.visualizacion.cota_maxima = 400;
  const QImage imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 50, 10), kNegro);
  EXPECT_EQ(en(imagen, 25, 20), kVerde);  // one vertex within the range shows the whole line
}

TEST(Pintor, TextosLegiblesOUnaMarcaYPuntos) {
  ConstructorBin b;
  b.t("TXT", v(20, 50), "ABC", 1000, 0, 0)   // 10 m high: legible at this scale
      .t("TXT", v(70, 50), "ABC", 10, 0, 0)  // 10 cm high: drawn as a small mark
      .c("100", {v(50, 90)});                // a point element
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  const QImage imagen = dibujo.pinta();
  // Left-bottom justification: the text lies up and to the right of its anchor (40, 100).
  EXPECT_TRUE(tiene_color(imagen, kBlanco, QRect(40, 60, 40, 40)));
  EXPECT_FALSE(tiene_color(imagen, kBlanco, QRect(0, 101, 200, 99)));
  EXPECT_TRUE(tiene_color(imagen, kBlanco, QRect(140, 90, 10, 10)));
  EXPECT_FALSE(tiene_color(imagen, kBlanco, QRect(152, 60, 48, 40)));
  EXPECT_EQ(tamano_texto(200, 100, 1000, 15), 3 * 2.54);
  EXPECT_EQ(altura_fuente_px(3 * 2.54, 15), 10);
  EXPECT_EQ(tamano_texto(500, 100, 1000, 15), 8 * 2.54);  // 7.5 rounds to even
  EXPECT_EQ(PoneJustificacion(9), PoneJustificacion(0));
}

TEST(Pintor, AUnaEscalaExtremaLaLineaLejanaSigueRecta) {
  // A 10 cm window around (50, 50): two thousand million pixels a metre, so the ends of the
  // line lie a hundred thousand million pixels away.
  ConstructorBin b;
  b.c("200", {v(0, 0), v(100, 0), v(50, 100), v(0, 0)});  // a filled triangle around the view
  b.c("100", {v(0, 25), v(100, 75)});                     // slope 1/2 through the centre
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  dibujo.vista.xmin = 50 - 5e-8, dibujo.vista.xmax = 50 + 5e-8;
  dibujo.vista.ymin = 50 - 5e-8, dibujo.vista.ymax = 50 + 5e-8;
  dibujo.vista.calculo_escala();
  ASSERT_GT(dibujo.vista.factor, 1e9);
  const QImage imagen = dibujo.pinta();
  for (const int dx : {-90, -40, 0, 40, 90}) {
    EXPECT_TRUE(tiene_color(imagen, kVerde, QRect(100 + dx - 1, 100 - dx / 2 - 1, 3, 3))) << dx;
  }
  EXPECT_FALSE(tiene_color(imagen, kVerde, QRect(185, 10, 10, 10)));  // where a bent line went
  // The triangle's edges pass 25 m away: all of the view is inside it.
  EXPECT_EQ(imagen.pixelColor(20, 180), kAzul);
  EXPECT_EQ(imagen.pixelColor(180, 20), kAzul);
}

TEST(Pintor, LaRejillaDibujaLoMismoQueElRecorridoCompleto) {
  prueba::CarpetaTemporal carpeta;
  OpcionesMuestra opciones;
  opciones.entidades = 4000;
  genera_muestra(carpeta.ruta(), opciones);
  Sesion sesion = abre_sesion(ajustes_junto_a(carpeta / "hoja.bin"));
  Vista vista;
  vista.dimensiona(300, 200, 15);
  vista.ajusta_a_fichero(sesion.hoja.rango, 100);
  vista.escala_actual = 1500;
  vista.CentraZoom();
  Visualizacion visualizacion;
  auto pinta = [&](Sesion& s) {
    SuperficieImagen superficie(300, 200);
    const auto resultado = Pintor(s).leo_bin_pinto(superficie, vista, visualizacion);
    return std::make_pair(superficie.imagen().copy(), resultado.dibujadas);
  };
  const auto [con_rejilla, dibujadas] = pinta(sesion);
  ASSERT_GT(dibujadas.size(), 20u);
  sesion.indice_espacial = IndiceEspacial();  // an empty grid walks the whole sheet
  const auto [completo, todas] = pinta(sesion);
  EXPECT_EQ(dibujadas, todas);
  EXPECT_TRUE(con_rejilla == completo);
}
