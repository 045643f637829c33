#include <gtest/gtest.h>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "ejecuta.h"
#include "hoja_de_prueba.h"
#include "red_aleatoria.h"

using prueba::ConstructorBin;
using prueba::ejecuta;

namespace {

// Two faces, one with an island.
struct Hoja : prueba::HojaDePrueba {
  Hoja() : HojaDePrueba(prueba::dos_caras_con_isla(1000)) {}
};

const std::string kLineas =
    "Nodos encontrados :6\nTramos encontrados :6\n"
    "Poligonos (abiertos/cerrados) encontrados :5\nArcos colgantes :1\nPoligonos cerrados:5\n";

}  // namespace

TEST(CliTopologia, LineasDeLaVentanaYDeCadaOrden) {
  Hoja h;
  auto r = ejecuta({"topologia", h.ruta()});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, kLineas);
  EXPECT_TRUE(std::filesystem::exists(h.carpeta / "Nodos.txt"));
  EXPECT_FALSE(std::filesystem::exists(h.carpeta / "Adyacencia.txt"));

  r = ejecuta({"topologia", h.ruta(), "--orden", "islas"});
  EXPECT_EQ(r.salida, kLineas + "Islas encontradas :1\n");
  EXPECT_NE(h.carpeta.lee("Islas.txt").find("Pol_Interno\n 1 "), std::string::npos);

  prueba::CarpetaTemporal listados;
  const auto png = (listados / "t.png").string();
  r = ejecuta({"topologia", h.ruta(), "--orden=centroides", "--listados", listados.ruta().string(),
               "--png", png, "--tamano", "300x200"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, kLineas +
                          "Recintos sin centroide :0\nRecintos con varios centroides :1\n"
                          "Textos NoPol :1\nTextos +Pol :0\n");
  EXPECT_TRUE(std::filesystem::exists(listados / "Adyacencia.txt"));
  EXPECT_EQ(prueba::lee_bytes(png).substr(1, 3), "PNG");
}

TEST(CliTopologia, ArgumentosMalosYFallosDeEscritura) {
  Hoja h;
  EXPECT_EQ(ejecuta({"topologia", h.ruta(), "--orden", "todas"}).estado, 2);
  EXPECT_EQ(ejecuta({"topologia", (h.carpeta / "no.bin").string()}).estado, 2);
  EXPECT_EQ(ejecuta({"topologia"}).estado, 2);
  const auto r = ejecuta({"topologia", h.ruta(), "--png", (h.carpeta / "no" / "t.png").string()});
  EXPECT_EQ(r.estado, 1);
  EXPECT_EQ(r.salida, kLineas);
}

// The generated sample is a topology test: blocks with their texts, plazas as islands, a block
// without its text, one with two, texts outside every block and dangling street ends.
TEST(CliTopologia, LaHojaDeMuestraTieneLasFaltasDeTopologia) {
  prueba::CarpetaTemporal carpeta;
  ASSERT_EQ(ejecuta({"generar", carpeta.ruta().string(), "--entidades", "12000"}).estado, 0);
  const auto bin = (carpeta / "hoja.bin").string();
  const auto islas = ejecuta({"topologia", bin, "--orden", "islas"});
  ASSERT_EQ(islas.estado, 0) << islas.errores;
  EXPECT_EQ(islas.salida.find("Islas encontradas :0\n"), std::string::npos) << islas.salida;
  const auto r = ejecuta({"topologia", bin, "--orden", "centroides"});
  auto numero = [&](const std::string& texto) {
    const auto p = r.salida.find(texto);
    return p == std::string::npos ? -1 : std::stoi(r.salida.substr(p + texto.size()));
  };
  EXPECT_GT(numero("Poligonos cerrados:"), 1000);
  EXPECT_GE(numero("Arcos colgantes :"), 1);
  EXPECT_GE(numero("Recintos sin centroide :"), 1);
  EXPECT_GE(numero("Recintos con varios centroides :"), 1);
  EXPECT_GE(numero("Textos NoPol :"), 1);
  EXPECT_LT(numero("Recintos sin centroide :") + numero("Recintos con varios centroides :"),
            numero("Poligonos cerrados:") / 20);
}
