#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "grabacion.h"
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

// A recorded drawing painted in bands on every core sets every pixel as painting its operations
// one by one does: random shapes large and small, across the bands and far outside the picture,
// thin, thick and dashed pens, both drawing modes, texts from a mask and painted.
TEST(SuperficieImagen, LasBandasPintanLoMismoQueUnaOperacionTrasOtra) {
  // A mark, a short text, and one too long for a mask at the larger heights.
  const char* const kTextos[] = {"o", "Calle Mayor", "Avenida de la Constitución, 1234 a 1250"};
  const int kAlturas[] = {5, 12, 30};
  for (const unsigned semilla : {1u, 2u}) {
    std::mt19937 azar(semilla);
    auto entero = [&](int desde, int hasta) {
      return std::uniform_int_distribution<int>(desde, hasta)(azar);
    };
    Grabacion grabacion(320, 240);
    for (int i = 0; i < 4500; ++i) {
      const Rgb color{entero(0, 255), entero(0, 255), entero(0, 255)};
      grabacion.pluma(entero(0, 9) == 0 ? entero(1, 5) : 0, entero(0, 9) == 0 ? 3 : 0, color);
      grabacion.pincel(color);
      if (i % 1500 == 700) grabacion.modo(ModoDibujo::inversion);
      if (i % 1500 == 900) grabacion.modo(ModoDibujo::copia);
      const int lado = entero(0, 15) == 0 ? 2000 : 12;
      const int x = entero(-100, 420), y = entero(-100, 340);
      std::vector<PuntoPantalla> puntos;
      for (int k = entero(1, 12); k > 0; --k)
        puntos.push_back({x + entero(-lado, lado), y + entero(-lado, lado)});
      switch (entero(0, 5)) {
        case 0:
          grabacion.poligono(puntos);
          break;
        case 1:
          grabacion.texto(x, y, kTextos[entero(0, 2)], kAlturas[entero(0, 2)], 900 * entero(0, 1),
                          {Horizontal(entero(0, 1)), Vertical::centro}, color);
          break;
        case 2:
          grabacion.punto(x, y);
          break;
        default:
          grabacion.polilinea(puntos);
      }
    }
    SuperficieImagen en_bandas(320, 240), una_a_una(320, 240);
    const Grabacion* grabaciones[] = {&grabacion};
    en_bandas.reproduce(grabaciones);
    grabacion.reproduce_en(una_a_una);
    EXPECT_TRUE(en_bandas.imagen() == una_a_una.imagen()) << "semilla " << semilla;
  }
}
