#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "superficie_imagen.h"

using namespace telmora;

namespace {

int pixeles_de(const QImage& imagen, QRgb color) {
  int cuenta = 0;
  for (int y = 0; y < imagen.height(); ++y) {
    for (int x = 0; x < imagen.width(); ++x) cuenta += imagen.pixel(x, y) == color;
  }
  return cuenta;
}

}  // namespace

// Small shapes are set pixel by pixel instead of through the painter: they must cover about as
// many pixels as the painter's, each within one pixel of one the painter sets.
TEST(SuperficieImagen, LasFormasPequenasSalenComoConElPintor) {
  std::mt19937 azar(7);
  std::uniform_int_distribution<int> coordenada(0, 7);
  int directos = 0, del_pintor = 0, lejanos = 0;
  for (int prueba = 0; prueba < 200; ++prueba) {
    std::vector<PuntoPantalla> puntos;
    for (int i = 0; i < 4; ++i) puntos.push_back({10 + coordenada(azar), 10 + coordenada(azar)});
    const bool poligono = prueba % 2 == 0;
    SuperficieImagen directa(30, 30);
    directa.pluma(0, 0, {255, 255, 255});
    directa.pincel({255, 255, 255});
    poligono ? directa.poligono(puntos) : directa.polilinea(puntos);
    QImage referencia(30, 30, QImage::Format_RGB32);
    referencia.fill(Qt::black);
    {
      QPainter pintor(&referencia);
      pintor.setPen(QPen(Qt::white, 0));
      pintor.setBrush(Qt::white);
      const auto* qpuntos = reinterpret_cast<const QPoint*>(puntos.data());
      poligono ? pintor.drawPolygon(qpuntos, 4, Qt::OddEvenFill) : pintor.drawPolyline(qpuntos, 4);
    }
    const QImage& imagen = directa.imagen();
    const QRgb blanco = qRgb(255, 255, 255);
    directos += pixeles_de(imagen, blanco);
    del_pintor += pixeles_de(referencia, blanco);
    for (int y = 1; y < 29; ++y) {
      for (int x = 1; x < 29; ++x) {
        if (imagen.pixel(x, y) != blanco) continue;
        bool cerca = false;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx)
            cerca = cerca || referencia.pixel(x + dx, y + dy) == blanco;
        }
        lejanos += !cerca;
      }
    }
  }
  EXPECT_EQ(lejanos, 0);
  EXPECT_NEAR(directos, del_pintor, del_pintor / 10);
}

TEST(SuperficieImagen, ModoInversionRestauraAlRepetir) {
  SuperficieImagen superficie(40, 40);
  superficie.borra({10, 20, 30});
  superficie.pluma(0, 1, {200, 0, 0});
  const std::vector<PuntoPantalla> linea{{2, 2}, {6, 7}};
  const std::vector<PuntoPantalla> larga{{0, 20}, {39, 20}};
  const QImage antes = superficie.imagen().copy();
  superficie.modo(ModoDibujo::inversion);
  superficie.polilinea(linea);
  superficie.polilinea(larga);
  EXPECT_NE(superficie.imagen(), antes);
  EXPECT_EQ(superficie.imagen().pixel(2, 2), qRgb(245, 235, 225));
  superficie.polilinea(linea);
  superficie.polilinea(larga);
  EXPECT_EQ(superficie.imagen(), antes);
}

TEST(SuperficieImagen, TextosDelMismoColorEnCualquierAngulo) {
  SuperficieImagen superficie(200, 200);
  superficie.borra({0, 0, 0});
  superficie.texto(100, 100, "Calle Mayor", 14, 450, {Horizontal::centro, Vertical::centro},
                   {255, 255, 0});
  const int amarillos = pixeles_de(superficie.imagen(), qRgb(255, 255, 0));
  EXPECT_GT(amarillos, 30);
  EXPECT_EQ(amarillos + pixeles_de(superficie.imagen(), qRgb(0, 0, 0)), 200 * 200);
  // Turned 45 degrees counter-clockwise: the text climbs to the right of its centre.
  EXPECT_GT(pixeles_de(superficie.imagen().copy(105, 55, 45, 45), qRgb(255, 255, 0)), 5);
  EXPECT_EQ(pixeles_de(superficie.imagen().copy(105, 105, 95, 95), qRgb(255, 255, 0)), 0);
}

// A text far larger than the picture (seen at a large scale, or a long one) is painted through
// its visible part, not first rendered whole on a canvas of its own size.
TEST(SuperficieImagen, UnTextoMayorQueElDibujoSalePorSuParteVisible) {
  SuperficieImagen superficie(200, 200);
  superficie.borra({0, 0, 0});
  std::string largo;
  for (int i = 0; i < 2000; ++i) largo += "Calle Mayor ";
  superficie.texto(100, 100, largo, 30, 0, {Horizontal::centro, Vertical::centro}, {255, 255, 0});
  EXPECT_GT(pixeles_de(superficie.imagen(), qRgb(255, 255, 0)), 100);
}
