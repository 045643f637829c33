#include <gtest/gtest.h>

#include "../cli/ejecuta.h"
#include "hoja_prueba.h"
#include "edicion/info_elemento.h"

using prueba::ConstructorBin;
using prueba::ejecuta;
using prueba::HojaPrueba;

namespace {

std::string hoja_de_dos() {
  ConstructorBin b;
  b.c("100", {{123456, 1500, 200}}).t("TXT", {10050, 10060, 1234}, "RIO", 200, 0, 0, {{2, 7, ""}});
  return b.contenido();
}

}  // namespace

TEST(Lista, EscribeElListadoDeLaVentanaDeInformacion) {
  HojaPrueba hoja(hoja_de_dos());
  const std::string ruta = hoja.sesion.ajustes.fich_entrada.string();
  for (const std::int32_t numero : {1, 2}) {
    const auto r = ejecuta({"lista", ruta, std::to_string(numero)});
    ASSERT_EQ(r.estado, 0) << r.errores;
    std::string esperado;
    for (const auto& linea : telmora::lista_entidad(
             hoja.sesion, numero, telmora::lee_entidad_en_fichero(hoja.sesion.hoja, numero))) {
      esperado += linea + "\n";
    }
    EXPECT_EQ(r.salida, esperado);
    EXPECT_TRUE(r.errores.empty());
  }

  const auto milimetros = ejecuta({"lista", ruta, "1", "--mm"});
  ASSERT_EQ(milimetros.estado, 0);
  EXPECT_NE(milimetros.salida.find("\n 1  123.456  1.500  0.200\n"), std::string::npos);
}

TEST(Lista, UnaEntidadFueraDeLaHojaEsUnErrorDeUnaLinea) {
  HojaPrueba hoja(hoja_de_dos());
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
