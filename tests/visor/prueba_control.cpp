#include <gtest/gtest.h>

#include <cmath>

#include "dialogos_guion.h"
#include "escritor_mdt.h"
#include "funciones.h"
#include "hoja_visor.h"
#include "modulo_apis.h"
#include "superficie_imagen.h"
#include "visor/control_visor.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::HojaVisor;

namespace {

// The viewer window as the controller sees it, recording what it is told.
class PantallaDePrueba : public PantallaVisor {
 public:
  SuperficieImagen lienzo{400, 300};
  std::string escala, distancia, filtro, estado, x_utm;
  bool distancia_visible = false;
  Puntero ultimo_puntero = Puntero::defecto;
  int refrescos = 0;
  bool acepta_rango = true;
  double rango_min = 0, rango_max = 0;

  Superficie& superficie() override { return lienzo; }
  void refresca() override { ++refrescos; }
  void puntero(Puntero p) override { ultimo_puntero = p; }
  void texto_escala(const std::string& t) override { escala = t; }
  void texto_distancia(const std::string& t, bool visible) override {
    distancia = t;
    distancia_visible = visible;
  }
  void texto_filtro(const std::string& t) override { filtro = t; }
  void lecturas(const std::string&, const std::string&, const std::string& x,
                const std::string&) override {
    x_utm = x;
  }
  void linea_estado(const std::string& t) override { estado = t; }
  bool pide_rango_cotas(double& minima, double& maxima) override {
    minima = rango_min;
    maxima = rango_max;
    return acepta_rango;
  }
};

struct Visor {
  HojaVisor hoja;
  Sesion sesion;
  PantallaDePrueba pantalla;
  prueba::DialogosGuion dialogos;
  ControlVisor control;

  explicit Visor(const ConstructorBin& b)
      : hoja(b), sesion(hoja.abre()), control(sesion, pantalla, dialogos) {
    control.dimensiona(400, 300, 15);
    control.ajusta_a_fichero();
  }
};

ConstructorBin cuadricula() {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {100000, 0, 0}}).c("100", {{0, 0, 0}, {0, 75000, 0}});
  b.c("200",
      {{10000, 10000, 15000}, {20000, 10000, 15000}, {20000, 20000, 15000}, {10000, 10000, 15000}});
  return b;
}

}  // namespace

TEST(ControlVisor, ZoomVentanaConDosPulsacionesEnCualquierOrden) {
  Visor a(cuadricula()), b(cuadricula());
  a.control.arma(AccionRaton::zoom_ventana);
  a.control.pulsa(Boton::izquierdo, 100, 50);
  EXPECT_EQ(a.control.mouse_accion, AccionRaton::zoom_ventana);  // one click only marks
  a.control.pulsa(Boton::izquierdo, 300, 250);
  b.control.arma(AccionRaton::zoom_ventana);
  b.control.pulsa(Boton::izquierdo, 300, 250);
  b.control.pulsa(Boton::izquierdo, 100, 50);
  EXPECT_EQ(a.control.mouse_accion, AccionRaton::ninguna);
  EXPECT_DOUBLE_EQ(a.control.vista.xmin, b.control.vista.xmin);
  EXPECT_DOUBLE_EQ(a.control.vista.ymax, b.control.vista.ymax);
  EXPECT_DOUBLE_EQ(a.control.vista.escala, b.control.vista.escala);
  EXPECT_LT(a.control.vista.escala, Visor(cuadricula()).control.vista.escala);
}

TEST(ControlVisor, LaPulsacionDeZoomPendienteSeOlvidaAlCancelarOArmarOtraAccion) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  const Vista inicial = c.vista;
  for (const bool con_boton_derecho : {true, false}) {
    c.arma(AccionRaton::zoom_ventana);
    c.pulsa(Boton::izquierdo, 10, 10);
    if (con_boton_derecho) {
      c.pulsa(Boton::derecho, 300, 200);
    } else {
      c.arma(AccionRaton::info_elemento);
    }
    c.arma(AccionRaton::zoom_ventana);
    c.pulsa(Boton::izquierdo, 300, 200);  // a first corner again, not the abandoned one's pair
    EXPECT_EQ(c.mouse_accion, AccionRaton::zoom_ventana);
    EXPECT_EQ(c.vista.xmin, inicial.xmin);
    EXPECT_EQ(c.vista.escala, inicial.escala);
    c.cancela();
  }
}

TEST(ControlVisor, LaEscalaArmadaEsperaASuPulsacion) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  c.vista.escala_actual = 1000;
  c.vista.CentraZoom();
  c.escala_fija(5000);
  // Arrows pan half a window at the scale shown.
  const double ancho = c.vista.xmax - c.vista.xmin, x0 = c.vista.xmin;
  c.tecla(Tecla::derecha);
  EXPECT_NEAR(c.vista.escala, 1000, 1e-6);
  EXPECT_NEAR(c.vista.xmin, x0 + ancho / 2, 1e-6);
  // A larger area shows more at the same scale; the wheel zooms from the scale shown.
  c.dimensiona(500, 300, 15);
  EXPECT_NEAR(c.vista.escala, 1000, 1e-6);
  c.rueda(100, 100, 1);
  EXPECT_NEAR(c.vista.escala, 1000 / 1.5, 1e-6);
  EXPECT_EQ(c.mouse_accion, AccionRaton::centrar);
  // The click applies the scale armed.
  c.pulsa(Boton::izquierdo, 200, 150);
  EXPECT_NEAR(c.vista.escala, 5000, 1e-6);
  EXPECT_EQ(v.pantalla.escala, "5.000");

  // Zoom+ arms a third of the scale shown when it is chosen.
  c.zoom_mas();
  c.tecla(Tecla::arriba);
  EXPECT_NEAR(c.vista.escala, 5000, 1e-6);
  c.pulsa(Boton::izquierdo, 200, 150);
  EXPECT_NEAR(c.vista.escala, 5000 / 1.5, 1e-6);
}

TEST(ControlVisor, TeclasMasMenosYFlechas) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  c.vista.escala_actual = 1000;
  c.vista.CentraZoom();
  c.tecla(Tecla::mas);
  EXPECT_NEAR(c.vista.escala, 666.6667, 1e-3);
  c.tecla(Tecla::menos);
  c.tecla(Tecla::menos);
  EXPECT_NEAR(c.vista.escala, 1500, 1e-9);
  EXPECT_EQ(v.pantalla.escala, "1.500");
  const double ancho = c.vista.xmax - c.vista.xmin, x0 = c.vista.xmin, y0 = c.vista.ymin;
  c.tecla(Tecla::derecha);
  EXPECT_NEAR(c.vista.xmin, x0 + ancho / 2, 1e-6);
  c.tecla(Tecla::arriba);
  EXPECT_NEAR(c.vista.ymin, y0 + (c.vista.ymax - c.vista.ymin) / 2, 1e-6);
  EXPECT_NEAR(c.vista.escala, 1500, 1e-6);
}

TEST(ControlVisor, LaRuedaAcercaSinMoverElPuntoBajoElPuntero) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  const double escala = c.vista.escala;
  const double x = c.vista.Fn_pantalla_utm_x(100), y = c.vista.Fn_pantalla_utm_y(80);
  c.rueda(100, 80, 2);
  EXPECT_NEAR(c.vista.escala, escala / 2.25, 1e-6);
  EXPECT_NEAR(c.vista.Fn_pantalla_utm_x(100), x, 1e-6);
  EXPECT_NEAR(c.vista.Fn_pantalla_utm_y(80), y, 1e-6);
  c.rueda(100, 80, -2);
  EXPECT_NEAR(c.vista.escala, escala, 1e-6);
}

TEST(ControlVisor, EscalaFijaYPulsacionCentraAEsaEscala) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  c.escala_fija(5000);
  EXPECT_EQ(v.pantalla.ultimo_puntero, Puntero::cruz);
  const double x = c.vista.Fn_pantalla_utm_x(120), y = c.vista.Fn_pantalla_utm_y(80);
  c.pulsa(Boton::izquierdo, 120, 80);
  EXPECT_NEAR(c.vista.escala, 5000, 1e-6);
  EXPECT_NEAR((c.vista.xmin + c.vista.xmax) / 2, x, 1e-6);
  EXPECT_NEAR((c.vista.ymin + c.vista.ymax) / 2, y, 1e-6);
  EXPECT_EQ(c.mouse_accion, AccionRaton::ninguna);

  // Chosen and then cancelled with the right button: the view stays.
  const double xmin = c.vista.xmin;
  c.escala_fija(500);
  c.pulsa(Boton::derecho, 10, 10);
  c.pulsa(Boton::izquierdo, 10, 10);
  EXPECT_EQ(c.vista.xmin, xmin);
  EXPECT_NEAR(c.vista.escala, 5000, 1e-6);
}

TEST(ControlVisor, MedirMarcaElOrigenYMideDesdeLaUltimaPulsacion) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  c.redibuja();
  const QImage antes = v.pantalla.lienzo.imagen().copy();
  c.conmuta_medir(true);
  EXPECT_TRUE(v.pantalla.distancia_visible);
  EXPECT_EQ(v.pantalla.distancia, "0");
  // An origin on the filled block: its marks show there, and a new origin elsewhere erases
  // them leaving the block whole.
  double xp = 0, yp = 0;
  c.vista.transforma_coordenadas(150, 100, xp, yp);
  const int x_linea = static_cast<int>(std::lround(xp)),
            y_linea = static_cast<int>(std::lround(yp));
  c.pulsa(Boton::izquierdo, x_linea, y_linea);
  EXPECT_NE(v.pantalla.lienzo.imagen().pixel(x_linea, y_linea), antes.pixel(x_linea, y_linea));
  c.pulsa(Boton::izquierdo, 200, 150);
  EXPECT_TRUE(c.medir1);
  EXPECT_EQ(v.pantalla.lienzo.imagen().copy(QRect(0, 0, 150, 300)),
            antes.copy(QRect(0, 0, 150, 300)));
  EXPECT_NE(v.pantalla.lienzo.imagen(), antes);  // the new origin is marked
  c.mueve(230, 190);                             // 50 pixels away
  EXPECT_EQ(v.pantalla.distancia, formato_es(50 / c.vista.factor, 3));
  EXPECT_NE(v.pantalla.estado.find("Distancia : "), std::string::npos);

  // A right click switches measuring off, erases the marks and hides the distance, whatever
  // was armed.
  c.pulsa(Boton::derecho, 5, 5);
  EXPECT_FALSE(c.medir);
  EXPECT_FALSE(v.pantalla.distancia_visible);
  EXPECT_EQ(c.mouse_accion, AccionRaton::ninguna);
  EXPECT_EQ(v.pantalla.lienzo.imagen(), antes);

  // After a redraw there is no mark left: the next origin is the only mark drawn.
  c.conmuta_medir(true);
  c.pulsa(Boton::izquierdo, 200, 150);
  c.redibuja();
  c.pulsa(Boton::izquierdo, 100, 100);
  c.pulsa(Boton::derecho, 5, 5);
  EXPECT_EQ(v.pantalla.lienzo.imagen(), antes);

  // Twice in a row: off, nothing armed, default pointer.
  c.conmuta_medir(true);
  c.conmuta_medir(true);
  EXPECT_FALSE(c.medir);
  EXPECT_EQ(c.mouse_accion, AccionRaton::ninguna);
  EXPECT_EQ(v.pantalla.ultimo_puntero, Puntero::defecto);
}

TEST(ControlVisor, LineaDeEstadoYLecturas) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  c.mueve(0, 0);
  EXPECT_EQ(v.pantalla.x_utm, formato_es(c.vista.xmin, 3));
  // Without the terrain model a blank stands in place of the elevation.
  EXPECT_EQ(v.pantalla.estado.rfind("UTM : " + formato_es(c.vista.xmin, 3) + " / " +
                                        formato_es(c.vista.ymax, 3) + " Escala : ",
                                    0),
            0u)
      << v.pantalla.estado;
  c.visualiza_reales = false;
  c.visualiza_escala = false;
  c.visualiza_pantalla = true;
  c.mueve(12, 34);
  EXPECT_EQ(v.pantalla.estado, "Pantalla : 12 / 34  ");
  c.modo_elementos(ModoElementos::abiertos, false, "Abiertos");
  c.mueve(12, 34);
  EXPECT_EQ(v.pantalla.estado, "Pantalla : 12 / 34  Visualización de elementos : Abiertos");
  EXPECT_EQ(formato_es(-1234567.25, 3), "-1.234.567,250");
  EXPECT_EQ(formato_es(-0.0001, 3), "0,000");
  EXPECT_EQ(corta_tres_decimales("12,34567"), "12,345");
  EXPECT_EQ(corta_tres_decimales("1.500"), "1.500");
}

TEST(ControlVisor, LaLineaDeEstadoSigueALaVistaSinMoverElPuntero) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  c.vista.escala_actual = 1000;
  c.vista.CentraZoom();
  c.mueve(100, 80);
  EXPECT_NE(v.pantalla.estado.find("Escala : 1.000  "), std::string::npos) << v.pantalla.estado;
  c.rueda(100, 80, 1);
  EXPECT_NE(v.pantalla.estado.find("Escala : 666,667  "), std::string::npos) << v.pantalla.estado;
  EXPECT_EQ(v.pantalla.escala, "666,667");
  c.rueda(100, 80, -2);
  EXPECT_NE(v.pantalla.estado.find("Escala : 1.500  "), std::string::npos) << v.pantalla.estado;
  EXPECT_EQ(v.pantalla.x_utm, formato_es(c.vista.Fn_pantalla_utm_x(100), 3));
}

TEST(ControlVisor, RangoDeCotasAlterna) {
  Visor v(cuadricula());
  ControlVisor& c = v.control;
  v.pantalla.rango_min = 100;
  v.pantalla.rango_max = 200;
  c.rango_cotas();
  EXPECT_FALSE(c.visualizacion.todas_las_cotas);
  EXPECT_EQ(c.visualizacion.cota_minima, 100);
  EXPECT_EQ(v.pantalla.filtro, "Rango de Cotas");
  c.rango_cotas();
  EXPECT_TRUE(c.visualizacion.todas_las_cotas);
  EXPECT_EQ(v.pantalla.filtro, "");
  v.pantalla.acepta_rango = false;  // closed without accepting: nothing changes
  c.rango_cotas();
  EXPECT_TRUE(c.visualizacion.todas_las_cotas);
}

TEST(ControlVisor, GrabarCentroidesEscribeUnTextoPorRecinto) {
  Visor v(cuadricula());
  v.hoja.carpeta.escribe("hoja_x.bin", "viejo");
  const auto ruta = v.control.grabar_centroides();
  EXPECT_EQ(ruta, v.hoja.carpeta / "hoja_x.bin");
  Sesion centroides = v.sesion;
  centroides.hoja = cargo_bin(ruta, v.sesion.tabla);
  ASSERT_EQ(centroides.hoja.num_entidades(), 1);
  const Entidad& texto = centroides.hoja.t.at(0);
  EXPECT_EQ(centroides.hoja.texto(texto), "200C");
  const Vertice p = centroides.hoja.vertices_de(texto)[0];
  EXPECT_TRUE(punto_en_poligono(p.x, p.y, v.sesion.hoja.vertices_de(v.sesion.hoja.c[2])));
  EXPECT_FALSE(v.control.visualizacion.grabar_centroides);
}

TEST(ControlVisor, ModeloDelTerrenoBajoElPuntero) {
  Visor sin_modelo(cuadricula());
  sin_modelo.control.activa_mdt();
  EXPECT_FALSE(sin_modelo.control.visualiza_mdt);
  ASSERT_EQ(sin_modelo.dialogos.textos().size(), 1u);
  EXPECT_EQ(sin_modelo.dialogos.textos()[0],
            "No existe el fichero :" + (sin_modelo.hoja.carpeta / "hoja.MDT").string());

  // A model beside the sheet: a plane rising 1 unit a unit of x.
  Visor v(cuadricula());
  orogrid::escribe_mdt_rejilla(v.hoja.carpeta / "hoja.MDT", {0, 0, 100000, 75000}, 5000,
                               [](std::int32_t x, std::int32_t) { return x; });
  v.control.activa_mdt();
  ASSERT_TRUE(v.control.visualiza_mdt);
  double xp = 0, yp = 0;
  v.control.vista.transforma_coordenadas(400, 300, xp, yp);
  v.control.mueve(static_cast<int>(xp), static_cast<int>(yp));
  const double x = v.control.vista.Fn_pantalla_utm_x(static_cast<int>(xp));
  EXPECT_NE(v.pantalla.estado.find(" / " + formato_es(std::trunc(x * 100) / 100, 3)),
            std::string::npos)
      << v.pantalla.estado;
  v.control.activa_mdt();
  EXPECT_FALSE(v.control.visualiza_mdt);
  EXPECT_EQ(fnUnloadMDT(), -1);  // the model was released
}

// Two faces side by side, 100 m each, in a view of one pixel a metre.
TEST(ControlVisor, ResaltaLaCaraBajoElPunteroComoMuchoCadaDosDecimas) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {10000, 0, 0}})
      .c("100", {{10000, 0, 0}, {10000, 10000, 0}})
      .c("100", {{10000, 10000, 0}, {0, 10000, 0}, {0, 0, 0}})
      .c("100", {{10000, 0, 0}, {20000, 0, 0}, {20000, 10000, 0}, {10000, 10000, 0}});
  Visor v(b);
  ControlVisor& c = v.control;
  c.vista.xmin = -50, c.vista.xmax = 350, c.vista.ymin = -150, c.vista.ymax = 150;
  c.vista.factor = 1;
  c.redibuja();
  double ahora = 1000;
  c.reloj = [&] { return ahora; };
  c.entrada_topologia(EntradaTopologia::resaltar_poligono);
  c.topologia(Progreso::ninguno());
  ASSERT_NE(c.ultima_topologia(), nullptr);
  const auto& r = *c.ultima_topologia();
  EXPECT_EQ(r.lineas()[4], "Poligonos cerrados:3");
  const std::int32_t izquierda = r.LocalizaPol(5000, 5000), derecha = r.LocalizaPol(15000, 5000);

  const int refrescos = v.pantalla.refrescos;
  c.mueve(100, 100);  // (50, 50) m: the first move only starts the clock
  EXPECT_EQ(c.poligono_resaltado, 0);
  ahora += 0.1;
  c.mueve(101, 100);  // too soon
  EXPECT_EQ(c.poligono_resaltado, 0);
  ahora += 0.15;
  c.mueve(102, 100);
  EXPECT_EQ(c.poligono_resaltado, izquierda);
  const QImage& imagen = v.pantalla.lienzo.imagen();
  const Rgb violeta = v.sesion.paleta.color(kColorResaltado);
  const QColor borde = imagen.pixelColor(50, 50);  // the face's top-left corner
  EXPECT_EQ((Rgb{borde.red(), borde.green(), borde.blue()}), violeta);
  const int tras_resaltar = v.pantalla.refrescos;
  EXPECT_GT(tras_resaltar, refrescos);
  ahora += 0.5;
  c.mueve(110, 110);  // the same face: nothing redrawn
  EXPECT_EQ(v.pantalla.refrescos, tras_resaltar);
  ahora += 0.5;
  c.mueve(200, 100);
  EXPECT_EQ(c.poligono_resaltado, derecha);

  // A click with nothing armed shows the face under it; another entry ends the highlight.
  c.pulsa(Boton::izquierdo, 100, 100);
  EXPECT_EQ(c.poligono_resaltado, izquierda);
  c.entrada_topologia(EntradaTopologia::todo);
  ahora += 1;
  c.mueve(200, 100);
  c.mueve(200, 101);
  EXPECT_EQ(c.poligono_resaltado, izquierda);
}
