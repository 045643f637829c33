#include <gtest/gtest.h>

#include "ejecuta.h"
#include "hoja_de_prueba.h"

using prueba::ConstructorBin;
using prueba::ejecuta;
using prueba::HojaDePrueba;

namespace {

std::string hoja_con_duplicados() {
  const std::vector<prueba::V> linea{{100, 100, 1}, {900, 900, 2}};
  ConstructorBin b;
  b.c("100", linea).c("100", {{130, 100, 1}, {900, 900, 2}});  // 30 cm apart
  b.c("200", {{0, 5000, 0}, {1000, 5000, 0}, {1000, 6000, 0}});
  b.c("200", {{3000, 5000, 0}, {1000, 5000, 0}, {1000, 6000, 0}});
  b.c("300", {{7, 7, 7}}, {}, '\0');
  return b.contenido();
}

}  // namespace

TEST(CliReescritura, Comprimir) {
  ConstructorBin b;
  b.c("100", {{1, 1, 1}}, {}, '\0').c("200", {{2, 2, 2}});
  HojaDePrueba hoja(b.contenido());
  const auto r = ejecuta({"comprimir", hoja.bin.string()});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, (hoja.carpeta / "hoja_c.bin").string() + "\n");
  EXPECT_EQ(prueba::lee_bytes(hoja.carpeta / "hoja_c.bin"), b.contenido().substr(60));

  const auto falta = ejecuta({"comprimir", (hoja.carpeta / "otra.bin").string()});
  EXPECT_EQ(falta.estado, 2);
  EXPECT_NE(falta.errores.find("No existe el fichero :"), std::string::npos);

  std::filesystem::remove(hoja.carpeta / "hoja_c.bin");
  std::filesystem::create_directory(hoja.carpeta / "hoja_c.bin");
  const auto bloqueada = ejecuta({"comprimir", hoja.bin.string()});
  EXPECT_EQ(bloqueada.estado, 1);
  EXPECT_NE(bloqueada.errores.find("hoja_c.bin"), std::string::npos);
  EXPECT_EQ(hoja.bytes(), b.contenido());

  HojaDePrueba corrupta("C=corta");
  EXPECT_EQ(ejecuta({"comprimir", corrupta.bin.string()}).estado, 2);
}

TEST(CliReescritura, Extraer) {
  ConstructorBin b;
  b.c("100", {{500, 1500, 0}, {1500, 1500, 1000}, {2500, 1500, 2000}});
  HojaDePrueba hoja(b.contenido());
  for (const std::vector<std::string>& malos :
       {std::vector<std::string>{"extraer", hoja.bin.string()},
        {"extraer", hoja.bin.string(), "--ventana", "10,10,20"},
        {"extraer", hoja.bin.string(), "--ventana", "20,10,10,20"}}) {
    const auto r = ejecuta(malos);
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(std::count(r.errores.begin(), r.errores.end(), '\n'), 1) << r.errores;
  }
  auto r = ejecuta({"extraer", hoja.bin.string(), "--ventana", "10,10,20,20"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  const auto dentro = prueba::lee_bytes(hoja.carpeta / "hoja_f.bin");
  EXPECT_EQ(dentro.size(), 48u + 3 * 12);
  r = ejecuta({"extraer", hoja.bin.string(), "--ventana=10,10,20,20", "--solapados"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(prueba::lee_bytes(hoja.carpeta / "hoja_f.bin"), b.contenido());
}

TEST(CliReescritura, DuplicadosListaAplicaYGraba) {
  HojaDePrueba hoja(hoja_con_duplicados());
  auto r = ejecuta({"duplicados", hoja.bin.string()});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, "1 2\n3 3\n4 3\n");
  EXPECT_EQ(hoja.bytes(), hoja_con_duplicados());

  EXPECT_EQ(ejecuta({"duplicados", hoja.bin.string(), "--tolerancia", "0.2"}).salida, "3 3\n4 3\n");
  EXPECT_EQ(ejecuta({"duplicados", hoja.bin.string(), "--solo-entidades"}).salida, "1 2\n");
  EXPECT_EQ(ejecuta({"duplicados", hoja.bin.string(), "--virtuales"}).salida, "");
  // In millimetres the 30 units are 3 cm, within a 0.05 m tolerance.
  EXPECT_EQ(ejecuta({"duplicados", hoja.bin.string(), "--mm", "--tolerancia", "0.05"}).salida,
            "1 2\n3 3\n4 3\n");
  for (const char* mala : {"-1", "medio", "nan"}) {
    EXPECT_EQ(ejecuta({"duplicados", hoja.bin.string(), "--tolerancia", mala}).estado, 2) << mala;
  }

  r = ejecuta({"duplicados", hoja.bin.string(), "--aplicar", "--grabar"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  const telmora::Hoja aplicada = telmora::cargo_bin(hoja.bin, telmora::TablaVekt{});
  ASSERT_EQ(aplicada.num_entidades(), 6);  // the first line of the pair cut: one piece left
  EXPECT_FALSE(aplicada.activa(1));
  EXPECT_FALSE(aplicada.activa(3));
  const telmora::Hoja grabada =
      telmora::cargo_bin(hoja.carpeta / "hoja_d.bin", telmora::TablaVekt{});
  EXPECT_EQ(grabada.num_entidades(), 3);  // the later copy, the other line and the piece

  // One line matched by two others whose code rules pick different sides: the segment it shares
  // with the first line stays in the sheet.
  ConstructorBin cadena;
  cadena.c("100", {{50000, 0, 0}, {51000, 0, 0}, {51000, 3000, 0}});
  cadena.c("5099", {{49000, 2000, 0}, {52000, 2000, 0}, {52000, 2500, 0}});
  cadena.c("100", {{51000, 0, 0}, {50000, 0, 0}, {49000, 2000, 0}, {52000, 2000, 0}});
  HojaDePrueba tres(cadena.contenido());
  ASSERT_EQ(ejecuta({"duplicados", tres.bin.string(), "--tolerancia", "0.5", "--aplicar"}).estado,
            0);
  const telmora::Hoja cortada = telmora::cargo_bin(tres.bin, telmora::TablaVekt{});
  int con_el_segmento = 0;
  for (std::int32_t n = 1; n <= cortada.num_entidades(); ++n) {
    const auto v = cortada.vertices_de(cortada.entidad(n));
    for (std::size_t k = 0; k + 1 < v.size(); ++k) {
      const bool es = std::min(v[k].x, v[k + 1].x) == 50000 &&
                      std::max(v[k].x, v[k + 1].x) == 51000 && v[k].y == 0 && v[k + 1].y == 0;
      con_el_segmento += es && cortada.activa(n);
    }
  }
  EXPECT_EQ(con_el_segmento, 1);
}
