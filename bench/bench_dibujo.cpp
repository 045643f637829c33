// Redraw of a generated sheet on a 1920x1080 area: the whole sheet, and a 1:1000 view in its
// middle. The time is split into culling (finding what is in view), transforming (everything
// but painting, measured on a surface that paints nothing) and painting.
#include <QGuiApplication>
#include <cstdio>

#include "medicion.h"
#include "pintor.h"
#include "sesion.h"
#include "superficie_imagen.h"

namespace {

// A surface that paints nothing: what remains of a redraw on it is culling and transforming.
class SuperficieNula : public telmora::Superficie {
 public:
  int ancho() const override { return 1920; }
  int alto() const override { return 1080; }
  void borra(telmora::Rgb) override {}
  void modo(telmora::ModoDibujo) override {}
  void pluma(int, int, telmora::Rgb) override {}
  void pincel(telmora::Rgb) override {}
  void polilinea(std::span<const telmora::PuntoPantalla> p) override { puntos += p.size(); }
  void poligono(std::span<const telmora::PuntoPantalla> p) override { puntos += p.size(); }
  void pixel(int, int, telmora::Rgb) override {}
  void punto(int, int) override {}
  void circulo(int, int, int) override {}
  void texto(int, int, std::string_view t, int, int, telmora::Alineacion, telmora::Rgb) override {
    puntos += t.size();
  }
  std::size_t puntos = 0;
};

// Culling alone: the entities whose boxes overlap the view.
std::size_t en_vista(const telmora::Sesion& s, const telmora::Vista& v) {
  const int uds = s.ajustes.uds;
  auto solapa = [&](const telmora::FilaIndice& f) {
    return f.xmax / double(uds) >= v.xmin && f.ymax / double(uds) >= v.ymin &&
           f.xmin / double(uds) <= v.xmax && f.ymin / double(uds) <= v.ymax;
  };
  std::size_t cuenta = 0;
  const double xmin = v.xmin * uds, ymin = v.ymin * uds, xmax = v.xmax * uds, ymax = v.ymax * uds;
  if (s.indice_espacial.fraccion_cubierta(xmin, ymin, xmax, ymax) > 0.25) {
    for (const auto& f : s.hoja.indice) cuenta += solapa(f);
  } else {
    for (const auto n : s.indice_espacial.candidatas(xmin, ymin, xmax, ymax))
      cuenta += solapa(s.hoja.fila(n));
  }
  return cuenta;
}

// Medians of this many redraws.
constexpr int kVeces = 7;

void mide(const char* titulo, telmora::Sesion& sesion, const telmora::Vista& vista) {
  telmora::Visualizacion visualizacion;
  visualizacion.cota_minima = vista.zmin;
  visualizacion.cota_maxima = vista.zmax;
  telmora::Pintor pintor(sesion);
  telmora::SuperficieImagen imagen(1920, 1080);
  SuperficieNula nula;
  std::size_t dibujadas = 0, visibles = 0;
  const bench::Tiempos redibujo = bench::medianas(kVeces, [&] {
    imagen.borra({0, 0, 0});
    dibujadas = pintor.leo_bin_pinto(imagen, vista, visualizacion).dibujadas.size();
    imagen.imagen();  // flush the painting
  });
  const double total = redibujo.pared;
  const double sin_pintar =
      bench::mediana(kVeces, [&] { pintor.leo_bin_pinto(nula, vista, visualizacion); });
  const double seleccion = bench::mediana(kVeces, [&] { visibles = en_vista(sesion, vista); });
  std::printf("%s: escala 1:%.0f, %zu en vista, %zu dibujadas\n", titulo, vista.escala, visibles,
              dibujadas);
  std::printf("  total %8.1f ms = selección %6.1f + transformación %6.1f + pintura %6.1f\n",
              total * 1e3, seleccion * 1e3, (sin_pintar - seleccion) * 1e3,
              (total - sin_pintar) * 1e3);
  // Processor time, of every thread: steadier than elapsed time on a machine others share.
  std::printf("  procesador %8.1f ms\n", redibujo.cpu * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
  const long long entidades = bench::entidades_de(argc, argv, 1000000);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc_qt = 1;
  QGuiApplication aplicacion(argc_qt, argv);
  const auto bin = bench::hoja_generada(entidades);
  const telmora::Ajustes ajustes = telmora::ajustes_junto_a(bin);
  telmora::Sesion sesion = telmora::abre_sesion(ajustes);

  telmora::Vista vista;
  vista.dimensiona(1920, 1080);
  vista.ajusta_a_fichero(sesion.hoja.rango, ajustes.uds);
  mide("hoja entera", sesion, vista);
  vista.escala_actual = 1000;
  vista.CentraZoom();
  mide("1:1000 en el centro", sesion, vista);
  return 0;
}
