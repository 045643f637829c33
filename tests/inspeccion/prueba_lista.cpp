#include <gtest/gtest.h>

#include "../cli/ejecuta.h"
#include "hoja_de_prueba.h"

using prueba::ConstructorBin;
using prueba::ejecuta;
using prueba::SesionDePrueba;

namespace {

std::string hoja_de_dos() {
  ConstructorBin b;
  b.c("100", {{123456, 1500, 200}}).t("TXT", {10050, 10060, 1234}, "RIO", 200, 0, 0, {{2, 7, ""}});
  return b.contenido();
}

}  // namespace

TEST(Lista, EscribeElListadoDeLaVentanaDeInformacion) {
  SesionDePrueba hoja(hoja_de_dos());
  const std::string ruta = hoja.sesion.ajustes.fich_entrada.string();
  // The text: its insertion point in metres, its piece, its attribute, its code's row and
  // palette colour (index 1, the palette's second line), where it starts in the file.
  const auto texto = ejecuta({"lista", ruta, "2"});
  ASSERT_EQ(texto.estado, 0) << texto.errores;
  EXPECT_TRUE(texto.errores.empty());
  EXPECT_EQ(texto.salida,
            "          \"Texto\"\n"
            "Atributos : 1\n"
            "     Tipo : Texto  Activo\n"
            "   Codigo : TXT\n"
            "   Textos : 1\n"
            " +++++++++++++++++++++++++++++++++++++\n"
            " 1  100.5  100.6  12.34\n"
            " Texto 1  RIO\n"
            " +++++++++++++++++++++++++++++++++++++\n"
            "  Atributo : 1\n"
            "   IdTabla :2\n"
            " NRegistro :7\n"
            "     Resto :\n"
            " DATOS EN VEKT.TAB y VEKT.PAL\n"
            " +++++++++++++++++++++++++++++++++++++\n"
            "     Codigo  : TXT\n"
            "     Tipo    : 4\n"
            "     Color   : 1\n"
            "         RGB1   : 255\n"
            "         RGB2   : 0\n"
            "         RGB3   : 0\n"
            "       Pluma : 1\n"
            "      Grosor : 1\n"
            "      Fuente : 0\n"
            "   Distancia : 0\n"
            "       SimbX : 0\n"
            "       SimbY : 0\n"
            "   Tipo Linea: 0\n"
            " Trazo Blanco: 0\n"
            "  Trazo Color: 0\n"
            " Trazo Blanco: 0\n"
            "  Trazo Color: 0\n"
            " Trazo Blanco: 0\n"
            "  Trazo Color: 0\n"
            " Trazo Blanco: 0\n"
            "  Trazo Color: 0\n"
            " Trazo Blanco: 0\n"
            "  Trazo Color: 0\n"
            " Trazo Blanco: 0\n"
            "  Trazo Color: 0\n"
            " Trazo Blanco: 0\n"
            "  Trazo Color: 0\n"
            " Trazo Blanco: 0\n"
            "     Param.26: \"Texto\"\n"
            " +++++++++++++++++++++++++++++++++++++\n"
            "   Offset : 60\n"
            "   Elemento 2 de 2\n");

  // The point element: its vertex with three decimals; in millimetres the same vertex.
  const auto punto = ejecuta({"lista", ruta, "1"});
  ASSERT_EQ(punto.estado, 0) << punto.errores;
  EXPECT_EQ(punto.salida.substr(0, punto.salida.find(" DATOS EN VEKT.TAB")),
            "          \"Linea cien\"\n"
            "Atributos : 0\n"
            "     Tipo : Puntual  Activo\n"
            "   Codigo : 100\n"
            " +++++++++++++++++++++++++++++++++++++\n"
            " Elemento Punto/Simbolo\n"
            " +++++++++++++++++++++++++++++++++++++\n"
            "   Puntos : 1\n"
            " +++++++++++++++++++++++++++++++++++++\n"
            " 1  1234.560  15.000  2.000\n"
            " +++++++++++++++++++++++++++++++++++++\n");
  const auto milimetros = ejecuta({"lista", ruta, "1", "--mm"});
  ASSERT_EQ(milimetros.estado, 0);
  EXPECT_NE(milimetros.salida.find("\n 1  123.456  1.500  0.200\n"), std::string::npos);
}

TEST(Lista, UnaEntidadFueraDeLaHojaEsUnErrorDeUnaLinea) {
  SesionDePrueba hoja(hoja_de_dos());
  const std::string ruta = hoja.sesion.ajustes.fich_entrada.string();
  for (const std::string numero : {"0", "3", "-1", "x", "1.5"}) {
    const auto r = ejecuta({"lista", ruta, numero});
    EXPECT_EQ(r.estado, 2) << numero;
    EXPECT_TRUE(r.salida.empty());
    EXPECT_EQ(std::count(r.errores.begin(), r.errores.end(), '\n'), 1) << r.errores;
  }
  EXPECT_NE(ejecuta({"lista", ruta, "3"}).errores.find("entre 1 y 2"), std::string::npos);
  EXPECT_EQ(ejecuta({"lista", ruta}).estado, 2);
  EXPECT_EQ(ejecuta({"lista", (hoja.carpeta / "otra.bin").string(), "1"}).estado, 2);
}
