#include <gtest/gtest.h>

#include "ejecuta.h"
#include "hoja.h"
#include "hoja_de_prueba.h"
#include "tabla_vekt.h"

using prueba::ConstructorBin;
using prueba::ejecuta;

namespace {

struct Hoja : prueba::HojaDePrueba {
  using HojaDePrueba::HojaDePrueba;
  std::vector<std::int32_t> cotas(std::size_t elemento) const {
    const auto tabla = telmora::interpreta_vekt_tab(prueba::tabla_basica(), "t");
    const telmora::Hoja hoja = telmora::cargo_bin(bin, tabla);
    std::vector<std::int32_t> z;
    for (const auto& v : hoja.vertices_de(hoja.c[elemento - 1])) z.push_back(v.z);
    return z;
  }
};

// A three-vertex street with elevation points at both ends, a street with one at one end only,
// and a ring with a text inside.
ConstructorBin calles() {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {3000, 0, 0}, {4000, 0, 0}})
      .c("100", {{4000, 0, 0}, {4000, 3000, 0}})
      .c("100", {{10000, 0, 0}, {12000, 0, 0}, {12000, 2000, 0}})
      .c("100", {{12000, 2000, 0}, {10000, 2000, 0}, {10000, 0, 0}})
      .c("PSCT", {{0, 0, 100}})
      .c("PSCT", {{4000, 0, 200}});
  b.t("TXT", {11000, 1000, 4321}, "MANZANA");
  return b;
}

}  // namespace

// psct and textos change the sheet in place as the viewer does after OK, and print the window's
// lines.
TEST(CliCotas, PsctYTextosModificanLaHoja) {
  Hoja h(calles());
  auto r = ejecuta({"cotas", h.ruta(), "psct"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida,
            "PSCT encontrados :2\nTramos encontrados :2\nTramos modificados :1\n"
            "Tramos NO modificados :1\n");
  EXPECT_EQ(h.cotas(1), (std::vector<std::int32_t>{100, 175, 200}));
  EXPECT_EQ(h.cotas(2), (std::vector<std::int32_t>{0, 0}));

  r = ejecuta({"cotas", h.ruta(), "textos"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida,
            "Nodos encontrados :5\nTramos encontrados :2\n"
            "Poligonos (abiertos/cerrados) encontrados :2\nArcos colgantes :2\n"
            "Poligonos cerrados:2\nTramos modificados :2\nTramos NO modificados :0\n");
  EXPECT_EQ(h.cotas(3), (std::vector<std::int32_t>{4321, 4321, 4321}));
  EXPECT_EQ(h.cotas(1), (std::vector<std::int32_t>{100, 175, 200}));
}

// calles prints its line; --graba appends the labels to hoja.COT at each run; --da spaces them.
TEST(CliCotas, CallesGrabaAnadeCadaVez) {
  Hoja h(calles());
  const auto cot = h.carpeta / "hoja.COT";
  const auto png = (h.carpeta / "c.png").string();
  auto r = ejecuta({"cotas", h.ruta(), "calles", "--png", png, "--tamano", "300x200"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, "GENERADOS LOS TEXTOS DE COTA\n");
  EXPECT_FALSE(std::filesystem::exists(cot));
  EXPECT_EQ(prueba::lee_bytes(png).substr(1, 3), "PNG");

  ASSERT_EQ(ejecuta({"cotas", h.ruta(), "calles", "--graba"}).estado, 0);
  const auto cada_20 = std::filesystem::file_size(cot);
  ASSERT_GT(cada_20, 0u);
  ASSERT_EQ(ejecuta({"cotas", h.ruta(), "calles", "--graba", "--da", "0"}).estado, 0);
  EXPECT_EQ(std::filesystem::file_size(cot), 2 * cada_20);
  ASSERT_EQ(ejecuta({"cotas", h.ruta(), "calles", "--graba", "--da", "5"}).estado, 0);
  EXPECT_GT(std::filesystem::file_size(cot), 3 * cada_20);
}

TEST(CliCotas, ArgumentosMalos) {
  Hoja h(calles());
  EXPECT_EQ(ejecuta({"cotas", h.ruta()}).estado, 2);
  EXPECT_EQ(ejecuta({"cotas", h.ruta(), "todas"}).estado, 2);
  EXPECT_EQ(ejecuta({"cotas", h.ruta(), "psct", "--graba"}).estado, 2);
  EXPECT_EQ(ejecuta({"cotas", h.ruta(), "calles", "--da", "-1"}).estado, 2);
  EXPECT_EQ(ejecuta({"cotas", h.ruta(), "calles", "--da", "mucho"}).estado, 2);
  EXPECT_EQ(ejecuta({"cotas", (h.carpeta / "no.bin").string(), "psct"}).estado, 2);
  EXPECT_EQ(h.cotas(1), (std::vector<std::int32_t>{0, 0, 0}));
}
