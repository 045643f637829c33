#include <gtest/gtest.h>

#include <map>

#include "apoyo_consola.h"
#include "constructor_bin.h"
#include "hoja_abierta.h"
#include "pintor.h"
#include "superficie_imagen.h"
#include "superficie_nula.h"
#include "visor/cotas_vertices.h"

using namespace telmora;
using prueba::ConstructorBin;

namespace {

// Texts drawn, with their anchor and character height; everything else is ignored.
class SuperficieGrabada : public telmora::SuperficieNula {
 public:
  struct Texto {
    int x, y;
    std::string texto;
    int altura;
  };
  std::vector<Texto> textos;

  SuperficieGrabada() : SuperficieNula(400, 300) {}
  void texto(int x, int y, std::string_view texto, int altura, int, Alineacion, Rgb) override {
    textos.push_back({x, y, std::string(texto), altura});
  }
};

// A 1000 x 750 m sheet: a street along y = 375 m with a vertex every metre whose elevation in
// metres equals its x, the same street 1 m higher with elevations above a million, a single
// point, and the sheet's left edge.
ConstructorBin hoja_de_calles() {
  std::vector<prueba::V> calle, paralela;
  for (int x = 0; x <= 100000; x += 100) {
    calle.push_back({x, 37500, x});
    paralela.push_back({x, 37600, 100000000 + x});
  }
  ConstructorBin b;
  b.c("100", calle).c("100", paralela).c("100", {{50000, 60000, 77700}});
  b.c("200", {{0, 0, 0}, {0, 75000, 0}});
  return b;
}

struct VisorDePrueba : prueba::HojaDePrueba {
  Sesion sesion;
  Vista vista;
  Visualizacion visualizacion;
  SuperficieImagen lienzo{400, 300};
  prueba::DialogosGuion dialogos;
  Pintor pintor{sesion};
  EntidadesDibujadas dibujadas;

  explicit VisorDePrueba(const ConstructorBin& hoja)
      : HojaDePrueba(hoja, prueba::tabla_consola(), prueba::paleta_consola()), sesion(abre()) {
    vista.dimensiona(400, 300, 15);
    ajusta_a_hoja(sesion, vista, visualizacion);
    redibuja();
  }
  void redibuja() {
    dibujadas = EntidadesDibujadas(sesion.hoja,
                                   redibuja_vista(pintor, lienzo, vista, visualizacion).dibujadas);
  }
};

int pixeles_de(const QImage& imagen, QRgb color) {
  int n = 0;
  for (int y = 0; y < imagen.height(); ++y) {
    for (int x = 0; x < imagen.width(); ++x) n += imagen.pixel(x, y) == color;
  }
  return n;
}

std::map<std::string, std::uintmax_t> contenido_de(const std::filesystem::path& carpeta) {
  std::map<std::string, std::uintmax_t> ficheros;
  for (const auto& f : std::filesystem::directory_iterator(carpeta)) {
    ficheros[f.path().filename().string()] = f.file_size();
  }
  return ficheros;
}

}  // namespace

TEST(CotasVertices, TextoDeLaCota) {
  EXPECT_EQ(texto_cota(81200, 100), "812");
  EXPECT_EQ(texto_cota(1234, 100), "12.34");
  EXPECT_EQ(texto_cota(12345, 1000), "12.345");
  EXPECT_EQ(texto_cota(-5, 1000), "-0.005");
  EXPECT_EQ(texto_cota(-2147483647 - 1, 1000), "-2147483.648");
}

TEST(CotasVertices, EtiquetasEspaciadasSegunLaEscalaYSinSolaparse) {
  VisorDePrueba v(hoja_de_calles());
  const auto etiquetas_en = [&](double xmin, double xmax) {
    v.vista.xmin = xmin, v.vista.xmax = xmax;
    v.vista.ymin = 375 - (xmax - xmin) * 0.375, v.vista.ymax = 375 + (xmax - xmin) * 0.375;
    v.vista.calculo_escala();
    v.redibuja();
    SuperficieGrabada grabada;
    const int n = VisualizarCotasVertices(grabada, v.sesion, v.vista, v.dibujadas);
    EXPECT_EQ(n, static_cast<int>(grabada.textos.size()));
    return grabada.textos;
  };
  for (const auto& [xmin, xmax] : {std::pair{0.0, 1000.0}, std::pair{200.0, 300.0}}) {
    const auto textos = etiquetas_en(xmin, xmax);
    const double factor = v.vista.factor;
    ASSERT_GE(textos.size(), 5u);
    int anterior = -1;
    for (const auto& t : textos) {
      // Only the first street is labelled: its parallel twin 1 m away would overlap it, and the
      // single point is no line.
      const int metros = std::stoi(t.texto);
      ASSERT_LE(metros, 1000) << t.texto;
      EXPECT_NEAR((metros - xmin) * factor + 3, t.x, 1.5);
      EXPECT_GE(t.altura, 10);
      EXPECT_LE(t.altura, 20);
      if (anterior >= 0) {
        EXPECT_GE((metros - anterior) * factor, 60 - 1e-6);
      }
      anterior = metros;
    }
    // Closer labels at the larger scale, never fewer than one per 120 pixels of street.
    EXPECT_LE((std::stoi(textos.back().texto) - std::stoi(textos.front().texto)) * factor,
              120.0 * textos.size());
  }
}

TEST(CotasVertices, DibujaSobreLaImagenSinEscribirFicheros) {
  VisorDePrueba v(hoja_de_calles());
  const auto antes = contenido_de(v.carpeta.ruta());
  const QRgb blanco = qRgb(255, 255, 255);
  ASSERT_EQ(pixeles_de(v.lienzo.imagen(), blanco), 0);
  EXPECT_GT(VisualizarCotasVertices(v.lienzo, v.sesion, v.vista, v.dibujadas), 0);
  EXPECT_GT(pixeles_de(v.lienzo.imagen(), blanco), 20);
  EXPECT_EQ(contenido_de(v.carpeta.ruta()), antes);

  // Nothing is labelled when the last drawing drew no line.
  Consola(v.sesion, v.visualizacion, v.dialogos).ejecuta("OFF=*");
  v.redibuja();
  SuperficieGrabada grabada;
  EXPECT_EQ(VisualizarCotasVertices(grabada, v.sesion, v.vista, v.dibujadas), 0);
}
