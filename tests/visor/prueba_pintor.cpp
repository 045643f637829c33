#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "hoja_abierta.h"
#include "hoja_visor.h"
#include "muestra/generador_muestra.h"
#include "pintor.h"
#include "superficie_imagen.h"
#include "superficie_nula.h"

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

TEST(Pintor, TextosLegiblesOUnaMarca) {
  ConstructorBin b;
  b.t("TXT", v(20, 50), "ABC", 1000, 0, 0)    // 10 m high: legible at this scale
      .t("TXT", v(70, 50), "ABC", 10, 0, 0);  // 10 cm high: drawn as a small mark
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
}

TEST(Pintor, LaJustificacionColocaElTextoRespectoASuPunto) {
  // Where the text's box lies from its anchor (the pixel of (50, 50) m, at (100, 100)), by
  // justification code: -1 before or above it, 0 across it, 1 after or below it.
  const struct {
    int codigo, horizontal, vertical;
  } casos[] = {{0, 1, -1}, {1, 1, 1},   {2, 1, 1},  {3, 0, 1}, {4, -1, 1},
               {5, -1, 1}, {6, -1, -1}, {7, 0, -1}, {8, 0, 1}, {9, 1, -1}};
  for (const auto& caso : casos) {
    ConstructorBin b;
    b.t("TXT", v(50, 50), "MMMM", 1000, caso.codigo, 0);
    HojaVisor hoja(b);
    const QImage imagen = Dibujo(hoja).pinta();
    QRect caja;
    for (int y = 0; y < imagen.height(); ++y) {
      for (int x = 0; x < imagen.width(); ++x) {
        if (imagen.pixelColor(x, y) == kBlanco) caja |= QRect(x, y, 1, 1);
      }
    }
    ASSERT_GT(caja.width(), 20) << caso.codigo;
    auto lado = [](int desde, int hasta) { return hasta <= 101 ? -1 : desde >= 99 ? 1 : 0; };
    EXPECT_EQ(lado(caja.left(), caja.right()), caso.horizontal) << caso.codigo;
    EXPECT_EQ(lado(caja.top(), caja.bottom()), caso.vertical) << caso.codigo;
    if (caso.horizontal == 0) {
      EXPECT_NEAR(caja.center().x(), 100, 3) << caso.codigo;
    }
  }
}

TEST(Pintor, LosPuntosSonUnaXQueDesapareceDeTamanoCincoOMenos) {
  ConstructorBin b;
  b.c("100", {v(50, 50)});
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  // At the drawing's scale the "x" is 4 × 2.54 in size, a few pixels around the point.
  const QRect cerca(94, 94, 12, 12), alrededor(80, 80, 40, 40);
  QImage imagen = dibujo.pinta();
  EXPECT_TRUE(tiene_color(imagen, kVerde, cerca));
  EXPECT_FALSE(tiene_color(imagen, kVerde, QRect(80, 80, 40, 12)));
  for (const auto& [escala, visible] : {std::pair{3000.0, true}, std::pair{4999.0, true},
                                        std::pair{5100.0, false}, std::pair{20000.0, false}}) {
    dibujo.vista.escala_actual = escala;
    dibujo.vista.CentraZoom();
    imagen = dibujo.pinta();
    EXPECT_EQ(tiene_color(imagen, kVerde, alrededor), visible) << escala;
  }
}

TEST(Pintor, ModosDeTextosYNoTextosYFiltrosDeLosTextos) {
  ConstructorBin b;
  b.c("100", {v(0, 10), v(100, 10)})                                 // a line
      .c("100", {v(50, 30)})                                         // a point
      .c("200", {v(10, 60), v(40, 60), v(40, 90), v(10, 60)})        // a closed element
      .t("TXT", v(60, 70, 150), "BAJO", 800, 0, 0)                   // a text at 150 m
      .t("TXT", v(60, 50, 250), "ALTO", 800, 0, 0, {{2, 100, ""}});  // at 250 m, with "100"
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  const QRect texto_bajo(120, 40, 60, 20), texto_alto(120, 80, 60, 20);
  auto ve = [](const QImage& imagen) {
    return std::vector<bool>{en(imagen, 70, 10) == kVerde,
                             tiene_color(imagen, kVerde, QRect(94, 134, 12, 12)),
                             en(imagen, 25, 60) == kAzul};
  };

  dibujo.visualizacion.abierto_cerrado = ModoElementos::textos_y_puntuales;
  QImage imagen = dibujo.pinta();
  EXPECT_EQ(ve(imagen), (std::vector<bool>{false, true, false}));
  EXPECT_TRUE(tiene_color(imagen, kBlanco, texto_bajo));
  EXPECT_TRUE(tiene_color(imagen, kBlanco, texto_alto));

  dibujo.visualizacion.abierto_cerrado = ModoElementos::no_textos;
  imagen = dibujo.pinta();
  EXPECT_EQ(ve(imagen), (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(tiene_color(imagen, kBlanco, texto_bajo));
  EXPECT_FALSE(tiene_color(imagen, kBlanco, texto_alto));

  // The elevation filter takes a text by its insertion point.
  dibujo.visualizacion.abierto_cerrado = ModoElementos::todos;
  dibujo.visualizacion.todas_las_cotas = false;
  dibujo.visualizacion.cota_minima = 200;
  dibujo.visualizacion.cota_maxima = 400;
  imagen = dibujo.pinta();
  EXPECT_FALSE(tiene_color(imagen, kBlanco, texto_bajo));
  EXPECT_TRUE(tiene_color(imagen, kBlanco, texto_alto));
  dibujo.visualizacion.todas_las_cotas = true;

  // Texts switched off show, with the selection display, through a table-2 attribute's code,
  // still in their own code's colour.
  dibujo.sesion.tabla.fila(dibujo.sesion.tabla.busca("TXT").posicion_tab).visible = false;
  imagen = dibujo.pinta();
  EXPECT_FALSE(tiene_color(imagen, kBlanco, texto_alto));
  EXPECT_FALSE(tiene_color(imagen, kVerde, texto_alto));
  dibujo.visualizacion.seleccion = true;
  imagen = dibujo.pinta();
  EXPECT_TRUE(tiene_color(imagen, kBlanco, texto_alto));
  EXPECT_FALSE(tiene_color(imagen, kVerde, texto_alto));
  EXPECT_FALSE(tiene_color(imagen, kBlanco, texto_bajo));
}

TEST(Pintor, UnaHojaEnMilimetros) {
  // A millimetre sheet, every file value a thousandth of a metre: a line at 10 m, a text 10 m
  // high at (20, 50) m, a point at (50, 90) m.
  ConstructorBin b;
  b.c("100", {{0, 10000, 0}, {100000, 10000, 0}})
      .t("TXT", {20000, 50000, 0}, "ABC", 10000, 0, 0)
      .c("100", {{50000, 90000, 0}});
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  dibujo.sesion.ajustes.uds = 1000;
  const QImage imagen = dibujo.pinta();
  EXPECT_EQ(en(imagen, 50, 10), kVerde);
  EXPECT_TRUE(tiene_color(imagen, kBlanco, QRect(40, 60, 40, 40)));
  EXPECT_FALSE(tiene_color(imagen, kBlanco, QRect(0, 101, 200, 99)));
  // The point's "x" is 500 file units high: half a metre here, too small to be drawn.
  EXPECT_FALSE(tiene_color(imagen, kVerde, QRect(80, 0, 40, 40)));
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

namespace {

// The view as it was drawn before the recording, the bands and the level of detail: each drawn
// entity whole, one after another, straight on the surface.
QImage entidad_a_entidad(const Sesion& s, const Vista& v, const Visualizacion& visualizacion,
                         const std::vector<std::int32_t>& dibujadas) {
  SuperficieImagen superficie(v.ancho_px(), v.alto_px());
  superficie.borra(color_fondo(s.tabla, s.paleta));
  Trazador trazador;
  const int uds = s.ajustes.uds;
  for (const std::int32_t n : dibujadas) {
    const Entidad& e = s.hoja.entidad(n);
    const Rgb color = s.paleta.color(s.tabla.color_de_fila(e.posicion_tab));
    const auto vertices = s.hoja.vertices_de(e);
    if (s.hoja.cabecera_de(e).es_texto()) {
      double x = 0, y = 0;
      v.transforma_coordenadas(double(vertices[0].x) / uds, double(vertices[0].y) / uds, x, y);
      Pintor::PintoUnTexto(superficie, x, y, s.hoja.texto(e), s.hoja.rango_de(e).angulo_texto(),
                           s.hoja.rango_de(e).altura_texto(),
                           s.hoja.rango_de(e).justificacion_texto(), color, v, uds);
    } else {
      superficie.pluma(visualizacion.estilo_pluma, 0, color);
      superficie.pincel(color);
      dibuja_elemento(superficie, trazador, v, vertices, uds, visualizacion.rellena_cerrados(),
                      color);
    }
  }
  return superficie.imagen().copy();
}

int pixeles_distintos(const QImage& a, const QImage& b) {
  int distintos = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) distintos += a.pixel(x, y) != b.pixel(x, y);
  }
  return distintos;
}

}  // namespace

// Wherever no element and no segment is under a pixel (from 1:1000 to 1:20000 on a generated
// sheet, the whole of it on screen at the last, so that it is painted in bands), the picture is
// the one of drawing each entity whole; on the whole sheet at a glance it differs only in a few
// pixels of lines of one-pixel steps. Some range blocks do not hold their vertices, as in a
// damaged file: an element is drawn by its vertices, never as the pixel of its block. The
// entities that count as drawn depend on the view's window and the filters only: not on the
// size of the picture, nor on whether anything is painted.
TEST(Pintor, ComoEntidadAEntidadDondeNadaEsMenorQueUnPixel) {
  prueba::CarpetaTemporal carpeta;
  OpcionesMuestra opciones;
  opciones.entidades = 10000;
  genera_muestra(carpeta.ruta(), opciones);
  Sesion sesion = abre_sesion(ajustes_junto_a(carpeta / "hoja.bin"));
  for (std::size_t i = 0; i < sesion.hoja.c.size(); i += 7) {
    Rango& rango = sesion.hoja.rango_de(sesion.hoja.c[i]);
    rango.xmax = rango.xmin + (i % 2), rango.ymax = rango.ymin;
  }
  const Visualizacion visualizacion;
  Pintor pintor(sesion);
  for (const double escala : {1000.0, 5000.0, 20000.0, 0.0}) {
    Vista vista;
    vista.dimensiona(1920, 1080, 15);
    vista.ajusta_a_fichero(sesion.hoja.rango, sesion.ajustes.uds);
    if (escala > 0) {
      vista.escala_actual = escala;
      vista.CentraZoom();
    }
    SuperficieImagen superficie(1920, 1080);
    superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
    const auto dibujadas = pintor.leo_bin_pinto(superficie, vista, visualizacion).dibujadas;
    ASSERT_GT(dibujadas.size(), 100u);
    const int distintos = pixeles_distintos(
        superficie.imagen(), entidad_a_entidad(sesion, vista, visualizacion, dibujadas));
    if (escala > 0) {
      EXPECT_EQ(distintos, 0) << "1:" << escala;
      continue;
    }
    EXPECT_LT(distintos, 1920 * 1080 / 1000);
    Vista pequena = vista;
    pequena.dimensiona(96, 54, 15);
    pequena.calculo_escala();
    ASSERT_NEAR(pequena.xmin, vista.xmin, 1e-6);
    SuperficieImagen superficie_pequena(96, 54);
    SuperficieNula nula(1920, 1080);
    EXPECT_EQ(pintor.leo_bin_pinto(superficie_pequena, pequena, visualizacion).dibujadas,
              dibujadas);
    EXPECT_EQ(pintor.leo_bin_pinto(nula, vista, visualizacion).dibujadas, dibujadas);
  }
}

// The sheet as it opens draws every active entity, wherever it lies: the commands that work on
// what is drawn (cleanup, topology, elevations) see the whole sheet. Sheets anywhere in the
// coordinate range, of any extent and proportions (a single point, a line), with entities on
// their very edges, in areas of any shape.
TEST(HojaAbierta, DibujaTodasLasEntidadesActivas) {
  std::mt19937_64 azar(11);
  auto entero = [&](std::int64_t a, std::int64_t b) {
    return static_cast<std::int32_t>(std::uniform_int_distribution<std::int64_t>(a, b)(azar));
  };
  const Paleta paleta = interpreta_pal(prueba::paleta_basica(), "Vekt.pal");
  const TablaVekt tabla = interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab");
  const std::int64_t extensiones[] = {0, 1, 100, 54321, 10000000, 1000000000};
  for (int vez = 0; vez < 300; ++vez) {
    const std::int32_t x0 = entero(-1000000000, 1000000000), y0 = entero(-1000000000, 1000000000);
    const std::int32_t ancho = static_cast<std::int32_t>(extensiones[entero(0, 5)]);
    const std::int32_t alto = static_cast<std::int32_t>(extensiones[entero(0, 5)]);
    const std::int32_t x1 = x0 + ancho, y1 = y0 + alto;
    auto punto = [&] { return prueba::V{entero(x0, x1), entero(y0, y1), entero(-50, 50)}; };
    prueba::ConstructorBin b;
    b.c("100", {{x0, y0, 0}, {x0, y1, 0}})  // along the left edge
        .c("200", {{x1, y1, 0}})            // a point at the top-right corner
        .t("TXT", {x1, y0, 0}, "ESQUINA")
        .c("300", {{x0, y1, 0}, {x1, y1, 0}});  // along the top edge
    for (int k = entero(0, 20); k > 0; --k) {
      const char* codigos[] = {"100", "200", "300", "999"};
      const char estado = entero(0, 5) == 0 ? '\0' : '=';
      if (entero(0, 3) == 0) {
        b.t("TXT", punto(), "T", 200, 0, 0, {}, estado);
      } else {
        b.c(codigos[entero(0, 3)], {punto(), punto(), punto()}, {}, estado);
      }
    }
    Sesion sesion;
    sesion.paleta = paleta;
    sesion.tabla = tabla;
    sesion.ajustes.uds = entero(0, 1) == 0 ? 100 : 1000;
    const std::string& bytes = b.contenido();
    sesion.hoja = cargo_bin_bytes(Lista<char>(bytes.begin(), bytes.end()), sesion.tabla);
    sesion.indice_espacial = IndiceEspacial(sesion.hoja);
    SuperficieNula superficie(entero(1, 3000), entero(1, 3000));
    const EntidadesDibujadas dibujadas = dibuja_hoja_abierta(sesion, superficie).dibujadas;
    for (std::int32_t n = 1; n <= sesion.hoja.num_entidades(); ++n) {
      ASSERT_EQ(dibujadas.contiene(n), sesion.hoja.activa(n))
          << "vez " << vez << ", entidad " << n << ", " << ancho << " x " << alto << " desde " << x0
          << ", " << y0;
    }
  }
}

// Where elements and segments are under a pixel, the picture may differ from drawing each entity
// whole, but nothing vanishes and nothing moves: random tiny elements, open and closed, and lines
// of many segments under a pixel, each alone in a cell of 20 x 20 pixels, show in their colour
// in their cell, every pixel within one of a pixel that drawing them whole sets.
TEST(Pintor, LoMenorQueUnPixelNoDesapareceNiSeMueve) {
  std::mt19937 azar(5);
  auto entero = [&](int desde, int hasta) {
    return std::uniform_int_distribution<int>(desde, hasta)(azar);
  };
  ConstructorBin b;
  const char* const kCodigos[] = {"100", "200", "300"};
  for (int celda = 0; celda < 100; ++celda) {
    // A pixel is 50 file units; the cell's centre is at 10 m + 10 m per cell.
    prueba::V p{1000 + 1000 * (celda % 10) + entero(0, 49), 1000 + 1000 * (celda / 10), 0};
    std::vector<prueba::V> vertices{p};
    if (celda % 2 == 0) {
      // A zigzag some pixels high, of segments under a pixel.
      for (int k = 0; k < 15; ++k) {
        p.x += entero(5, 30), p.y += ((k / 5) % 2 == 0 ? 1 : -1) * entero(30, 45);
        vertices.push_back(p);
      }
    } else {
      for (int k = entero(2, 4); k > 0; --k) {
        p.x += entero(-12, 12), p.y += entero(-12, 12);
        vertices.push_back(p);
      }
      if (entero(0, 1) == 0) vertices.push_back(vertices.front());
    }
    b.c(kCodigos[entero(0, 2)], vertices);
  }
  HojaVisor hoja(b);
  Dibujo dibujo(hoja);
  const QImage imagen = dibujo.pinta();
  std::vector<std::int32_t> todas(100);
  std::iota(todas.begin(), todas.end(), 1);
  const QImage entera = entidad_a_entidad(dibujo.sesion, dibujo.vista, dibujo.visualizacion, todas);
  const QRgb fondo = imagen.pixel(0, 0);
  for (int celda = 0; celda < 100; ++celda) {
    const int x0 = 10 + 20 * (celda % 10), y0 = 200 - 30 - 20 * (celda / 10);
    int pixeles = 0;
    for (int y = y0; y < y0 + 20; ++y) {
      for (int x = x0; x < x0 + 20; ++x) {
        if (imagen.pixel(x, y) == fondo) continue;
        ++pixeles;
        EXPECT_TRUE(tiene_color(entera, imagen.pixelColor(x, y), QRect(x - 1, y - 1, 3, 3)))
            << "celda " << celda << ", píxel " << x << ", " << y;
      }
    }
    EXPECT_GT(pixeles, 0) << "celda " << celda;
  }
}
