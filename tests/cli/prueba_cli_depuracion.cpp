#include <gtest/gtest.h>

#include "casos_pdobles.h"
#include "ejecuta.h"
#include "hoja_de_prueba.h"
#include "hoja_depuracion.h"
#include "limite_tamano.h"

using prueba::ConstructorBin;
using prueba::ejecuta;
using prueba::hoja_de_casos;
using prueba::HojaDePrueba;
using prueba::HojaDepuracion;
using prueba::kResumen;
using prueba::linea;
using prueba::lineas_activas;

TEST(CliDepurar, LineaDeOrdenes) {
  ConstructorBin b;
  linea(b, {{1000, 1000}, {1100, 1100}});
  linea(b, {{1000, 1100}, {1100, 1000}});
  HojaDepuracion h(b, 5);
  prueba::CarpetaTemporal listados;
  const std::string hoja = h.sesion.ajustes.fich_entrada.string();
  auto r = prueba::ejecuta(
      {"depurar", hoja, "--tolerancia", "0.1", "--listados", listados.ruta().string()});
  EXPECT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, "Nodos movidos :0\nElementos partidos :2\n");
  EXPECT_EQ(lineas_activas(h.recargada()).size(), 4u);
  EXPECT_NE(listados.lee("entidadesP.txt").find(" 1  1050  1050  0  71 "), std::string::npos);
  EXPECT_NE(listados.lee("Nodos.txt").find("*********TRAMOS*********"), std::string::npos);
  // Without --listados the listings go beside the sheet.
  r = prueba::ejecuta({"depurar", hoja});
  EXPECT_EQ(r.salida, "Nodos movidos :0\nElementos partidos :0\n");
  EXPECT_TRUE(std::filesystem::exists(h.carpeta / "entidadesP.txt"));

  EXPECT_EQ(prueba::ejecuta({"depurar", hoja, "--listados", (h.carpeta / "no").string()}).estado,
            2);
  EXPECT_EQ(prueba::ejecuta({"depurar", hoja, "--tolerancia", "-1"}).estado, 2);
  EXPECT_EQ(prueba::ejecuta({"depurar", (h.carpeta / "otra.bin").string()}).estado, 2);
  EXPECT_EQ(prueba::ejecuta({"depurar"}).estado, 2);
}

TEST(CliPdobles, ResumenErroresDeArgumentosYEscrituraFallida) {
  const ConstructorBin b = hoja_de_casos();
  HojaDePrueba hoja(b.contenido());
  for (const std::vector<std::string>& malos :
       {std::vector<std::string>{"pdobles", hoja.bin.string(), "--tol-xy", "diez", "--tol-z", "5"},
        {"pdobles", hoja.bin.string(), "--tol-xy", "10"},
        {"pdobles", (hoja.carpeta / "otra.bin").string(), "--tol-xy", "10", "--tol-z", "5"}}) {
    const auto r = ejecuta(malos);
    EXPECT_EQ(r.estado, 2) << malos[2];
    EXPECT_FALSE(r.errores.empty());
    EXPECT_TRUE(r.salida.empty());
  }
  EXPECT_NE(ejecuta({"pdobles", hoja.bin.string(), "--tol-xy", "diez", "--tol-z", "5"})
                .errores.find("\"diez\""),
            std::string::npos);
  EXPECT_EQ(hoja.bytes(), b.contenido());

#ifndef _WIN32
  {
    prueba::LimiteDeTamano limite(b.contenido().size() + 10);
    const auto r = ejecuta({"pdobles", hoja.bin.string(), "--tol-xy", "10", "--tol-z", "5"});
    EXPECT_EQ(r.estado, 1);
    EXPECT_NE(r.errores.find(hoja.bin.string()), std::string::npos);
  }
  EXPECT_EQ(hoja.bytes(), b.contenido());  // nothing appended, nothing deleted
#endif

  const auto r = ejecuta({"pdobles", hoja.bin.string(), "--tol-xy", "10", "--tol-z", "5"});
  EXPECT_EQ(r.estado, 0);
  std::string esperada;
  for (const auto& linea : kResumen) esperada += linea + "\n";
  EXPECT_EQ(r.salida, esperada);
}
