#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <map>

#include "../cli/ejecuta.h"
#include "apoyo_consola.h"
#include "constructor_bin.h"

using prueba::ejecuta;

namespace {

constexpr QRgb kNegro = 0xff000000, kVerde = 0xff00ff00, kAzul = 0xff0000ff, kAmarillo = 0xffffff00;

// A 100 x 50 m sheet: a filled block "200" (blue) with a street "100" (green) across it.
prueba::ConstructorBin calle_y_manzana() {
  prueba::ConstructorBin b;
  b.c("200", {{0, 0, 0}, {10000, 0, 0}, {10000, 5000, 0}, {0, 5000, 0}, {0, 0, 0}});
  b.c("100", {{0, 2500, 0}, {10000, 2500, 0}});
  return b;
}

struct HojaRender : prueba::HojaDePrueba {
  std::string png = (carpeta / "hoja.png").string();

  HojaRender()
      : HojaDePrueba(calle_y_manzana(), prueba::tabla_consola(), prueba::paleta_consola()) {}

  // The colours of the picture drawn with these orders, with how many pixels each.
  std::map<QRgb, int> colores(const std::vector<std::string>& ordenes,
                              const std::vector<std::string>& mas = {}) {
    std::vector<std::string> argumentos{"render", ruta(), png, "--tamano", "200x150"};
    for (const auto& orden : ordenes) argumentos.insert(argumentos.end(), {"--orden", orden});
    argumentos.insert(argumentos.end(), mas.begin(), mas.end());
    const auto r = ejecuta(argumentos);
    EXPECT_EQ(r.estado, 0) << r.errores;
    const QImage imagen(QString::fromStdString(png));
    std::map<QRgb, int> cuenta;
    for (int y = 0; y < imagen.height(); ++y) {
      for (int x = 0; x < imagen.width(); ++x) ++cuenta[imagen.pixel(x, y)];
    }
    std::filesystem::remove(png);
    return cuenta;
  }
};

}  // namespace

TEST(RenderOrden, LosCodigosApagadosNoSeVen) {
  HojaRender h;
  auto todo = h.colores({});
  EXPECT_GT(todo[kAzul], 1000);
  EXPECT_GT(todo[kVerde], 50);

  auto sin_manzanas = h.colores({"OFF=200"});
  EXPECT_EQ(sin_manzanas.count(kAzul), 0u);
  EXPECT_GT(sin_manzanas[kVerde], 50);

  auto solo_manzanas = h.colores({"OFF=*", "on=200", "COLOR_FONDO=4"});
  EXPECT_EQ(solo_manzanas.count(kVerde), 0u);
  EXPECT_GT(solo_manzanas[kAzul], 1000);
  EXPECT_GT(solo_manzanas[kAmarillo], 0);  // the background outside the sheet's proportions
  EXPECT_EQ(solo_manzanas.count(kNegro), 0u);

  h.carpeta.escribe("calles.tab", "100\r\n");
  h.carpeta.escribe("ordenes.txt", "OFF=*\r\nON=calles.tab\r\n");
  auto solo_calles = h.colores({"@ordenes.txt"});
  EXPECT_EQ(solo_calles.count(kAzul), 0u);
  EXPECT_GT(solo_calles[kVerde], 50);
}

TEST(RenderOrden, UnaOrdenQueNoSePuedeAplicarNoDejaImagen) {
  HojaRender h;
  const auto base = std::vector<std::string>{"render", h.ruta(), h.png, "--orden"};
  for (const auto& [orden, texto] : std::vector<std::pair<std::string, std::string>>{
           {"ZOOMP=10,10", "--orden \"ZOOMP=10,10\""},
           {"ON=falta.tab", "No existe el fichero :"},
           {"@falta.txt", "No existe el fichero :falta.txt"},
           {"COLOR_FONDO=300", "COLOR_FONDO: "}}) {
    auto argumentos = base;
    argumentos.push_back(orden);
    const auto r = ejecuta(argumentos);
    EXPECT_EQ(r.estado, 2) << orden;
    EXPECT_NE(r.errores.find(texto), std::string::npos) << r.errores;
    EXPECT_FALSE(std::filesystem::exists(h.png)) << orden;
  }
}

TEST(RenderOrden, ElCatalogoDejaSoloLosCodigosDeSusEntradas) {
  HojaRender h;
  // The entry 20 stands for every code that begins with 20; it is applied after the orders.
  auto manzanas = h.colores({"OFF=200"}, {"--catalogo", "20"});
  EXPECT_GT(manzanas[kAzul], 1000);
  EXPECT_EQ(manzanas.count(kVerde), 0u);
  auto calles = h.colores({}, {"--catalogo", "7,100"});
  EXPECT_EQ(calles.count(kAzul), 0u);
  EXPECT_GT(calles[kVerde], 50);
  EXPECT_EQ(ejecuta({"render", h.ruta(), h.png, "--catalogo", "1,x"}).estado, 2);
  EXPECT_EQ(ejecuta({"render", h.ruta(), h.png, "--catalogo", "1.5"}).estado, 2);
}

#if defined(__linux__) && defined(TELMORA_CLI)
TEST(RenderOrden, SinSesionDeEscritorioNadaSaleEnLaSalidaDeErrores) {
  // The program itself, as a script on a machine without a desktop session runs it.
  HojaRender h;
  const std::string errores = (h.carpeta / "errores.txt").string();
  const std::string orden = "env -u XDG_RUNTIME_DIR -u DISPLAY -u QT_QPA_PLATFORM '" +
                            std::string(TELMORA_CLI) + "' render '" + h.ruta() + "' '" + h.png +
                            "' --tamano 200x150 2> '" + errores + "'";
  EXPECT_EQ(std::system(orden.c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(h.png));
  EXPECT_EQ(prueba::lee_bytes(errores), "");
}
#endif
