#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <streambuf>
#include <utility>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "ejecuta.h"
#include "hoja_de_prueba.h"

using prueba::ConstructorBin;
using prueba::ejecuta;
using prueba::HojaDePrueba;

namespace {

std::string hoja_con_codigos_que_faltan() {
  ConstructorBin b;
  b.c("100", {{100, 200, 30}, {300, 400, 50}}, {{2, 200, "R1"}})
      .t("TXT", {150, 250, 40}, "TEXTO")
      .c("999", {{120, 220, 35}}, {}, '\0')
      .c("200", {{110, 210, 10}, {190, 210, 10}, {190, 290, 12}, {110, 210, 10}})
      .c("999", {{130, 230, 36}})
      .t("999", {140, 240, 37}, "OTRO")
      .c("300", {{105, 205, 20}, {106, 206, 21}}, {{2, 12345, ""}, {2, 100, ""}, {2, 200, ""}});
  return b.contenido();
}

}  // namespace

TEST(Info, ElInformeSaleLineaALineaYSeGuardaJuntoALaHoja) {
  HojaDePrueba hoja(hoja_con_codigos_que_faltan());
  const auto r = ejecuta({"info", hoja.ruta()});
  ASSERT_EQ(r.estado, 0) << r.errores;
  const std::string sep = " +++++++++++++++++++++++++++++++++++++\n";
  const std::string esperado = sep + "Dir  :" + hoja.carpeta.ruta().string() + "/\n" +
                               "Fich :hoja.bin\n"
                               "Uds :100\n" +
                               sep +
                               " Lineales : 3\n"
                               "Puntuales : 2\n"
                               "   Textos : 2\n" +
                               sep +
                               " Xmin :  100\n"
                               " Ymin :  200\n"
                               " Zmin :  10\n"
                               " Xmax :  300\n"
                               " Ymax :  400\n"
                               " Zmax :  50\n" +
                               sep + " Contador de elementos Lineales/Puntuales\n" + sep +
                               " Codigos P.    encontrados :3\n"
                               " Codigos P. No encontrados :2\n"
                               " Codigos A.    encontrados :2\n"
                               " Codigos A. No encontrados :1\n" +
                               sep + " Contador de elementos Textos\n" + sep +
                               " Codigos P.    encontrados :1\n"
                               " Codigos P. No encontrados :1\n"
                               " Codigos A.    encontrados :0\n"
                               " Codigos A. No encontrados :0\n" +
                               sep + " Listado de códigos no encontrados\n" + sep +
                               "   C999\n"
                               "   T999\n" +
                               sep + " ... próximamente más\n";
  EXPECT_EQ(r.salida, esperado);
  EXPECT_EQ(hoja.carpeta.lee("hoja.txt"), esperado);

  // A second run rewrites the report from scratch.
  hoja.carpeta.escribe("hoja.txt", std::string(100000, 'x'));
  ASSERT_EQ(ejecuta({"info", hoja.ruta()}).estado, 0);
  EXPECT_EQ(hoja.carpeta.lee("hoja.txt"), esperado);
}

TEST(Info, UnaHojaDeNombreDeMenosDeCuatroCaracteresNoTieneFicheroDeInforme) {
  HojaDePrueba hoja(hoja_con_codigos_que_faltan());
  const std::string bytes = hoja.carpeta.lee("hoja.bin");
  // "ñ.b" is three characters in four bytes.
  for (const std::string nombre : {"a.b", "\xC3\xB1.b", "ab"}) {
    const auto antes = std::distance(std::filesystem::directory_iterator(hoja.carpeta.ruta()),
                                     std::filesystem::directory_iterator{});
    const auto r = ejecuta({"info", hoja.carpeta.escribe(nombre, bytes).string()});
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_NE(r.salida.find("Fich :" + nombre + "\n"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(hoja.carpeta.ruta()),
                            std::filesystem::directory_iterator{}),
              antes + 1)
        << nombre;
  }
  ASSERT_EQ(ejecuta({"info", hoja.carpeta.escribe("a.bb", bytes).string()}).estado, 0);
  EXPECT_TRUE(std::filesystem::exists(hoja.carpeta / "a.bb.txt"));
}

TEST(Info, CodigosDeAtributoDeMasDeSieteCifrasYPaletaConValoresMayoresDe255) {
  // Record numbers of eight characters stand for the codes of their first seven.
  ConstructorBin b;
  b.c("100", {{1, 1, 1}}, {{2, 12345678, ""}})
      .c("100", {{2, 2, 2}}, {{2, -1234567, ""}})
      .c("100", {{3, 3, 3}}, {{2, 99999999, ""}});
  HojaDePrueba hoja(b.contenido());
  hoja.carpeta.escribe("Vekt.tab", "100 1 1\r\n1234567 1 2\r\n-123456 1 3\r\n");
  // Values above 255 are taken as 255; the sheet opens.
  hoja.carpeta.escribe("Vekt.pal", "// negro\r\n300 0 0\r\n0 256 0\r\n0 0 255\r\n");
  const auto r = ejecuta({"info", hoja.ruta()});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_NE(r.salida.find(" Codigos A.    encontrados :2\n Codigos A. No encontrados :1\n"),
            std::string::npos)
      << r.salida;
  const auto lista = ejecuta({"lista", hoja.ruta(), "1"});
  ASSERT_EQ(lista.estado, 0) << lista.errores;
  EXPECT_NE(lista.salida.find("         RGB1   : 255\n"), std::string::npos) << lista.salida;
}

TEST(Info, MilimetrosYHojaVacia) {
  HojaDePrueba hoja("");
  const auto r = ejecuta({"info", hoja.ruta(), "--mm"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_NE(r.salida.find("Uds :1000\n"), std::string::npos);
  EXPECT_NE(r.salida.find(" Lineales : 0\n"), std::string::npos);
  EXPECT_NE(r.salida.find(" Xmin :  100000000000\n"), std::string::npos);
  EXPECT_NE(r.salida.find(" Xmax :  0\n"), std::string::npos);
}

TEST(Info, FicherosQueFaltanHojaCorruptaYArgumentosMalos) {
  HojaDePrueba hoja(hoja_con_codigos_que_faltan());
  auto r = ejecuta({"info", (hoja.carpeta / "otra.bin").string()});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.errores, "No existe el fichero :" + (hoja.carpeta / "otra.bin").string() + "\n");
  EXPECT_TRUE(r.salida.empty());

  std::filesystem::remove(hoja.carpeta / "Vekt.pal");
  r = ejecuta({"info", hoja.ruta()});
  EXPECT_EQ(r.estado, 2);
  EXPECT_NE(r.errores.find("No existe el fichero :"), std::string::npos);
  EXPECT_NE(r.errores.find("Vekt.pal"), std::string::npos);
  hoja.carpeta.escribe("Vekt.pal", prueba::paleta_basica());

  ConstructorBin b;
  b.c("100", {{1, 2, 3}}).bytes("ZZZZ");
  hoja.carpeta.escribe("hoja.bin", b.contenido());
  r = ejecuta({"info", hoja.ruta()});
  EXPECT_EQ(r.estado, 2);
  EXPECT_NE(r.errores.find("Fichero Corrupto en la entidad__: 2\n"), std::string::npos);
  EXPECT_NE(r.errores.find("Posición errónea en el fichero___: 60\n"), std::string::npos);
  EXPECT_NE(r.errores.find("Posicion válida siguiente_______: 64"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(hoja.carpeta / "hoja.txt"));

  hoja.carpeta.escribe("Vekt.tab", "100 1 x\r\n");
  hoja.carpeta.escribe("hoja.bin", "");
  r = ejecuta({"info", hoja.ruta()});
  EXPECT_EQ(r.estado, 2);
  EXPECT_NE(r.errores.find("Vekt.tab, línea 1"), std::string::npos);

  for (const std::vector<std::string>& malos : {std::vector<std::string>{"info"},
                                                {"info", hoja.ruta(), "--cm"},
                                                {"info", "a", "b"},
                                                {"nada"},
                                                {}}) {
    r = ejecuta(malos);
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(std::count(r.errores.begin(), r.errores.end(), '\n'), 1) << r.errores;
  }
}

// Each command's help is its own and names every option the command takes.
TEST(Info, LaAyudaDocumentaCadaOrden) {
  auto r = ejecuta({"--help"});
  EXPECT_EQ(r.estado, 0);
  for (const auto& comando : telmora::cli::comandos()) {
    EXPECT_NE(r.salida.find(std::string("  ") + comando.nombre), std::string::npos);
    const auto ayuda = ejecuta({comando.nombre, "--help"});
    EXPECT_EQ(ayuda.estado, 0);
    EXPECT_EQ(ayuda.salida.find(std::string("uso: telmora-cli ") + comando.nombre + " "), 0u)
        << comando.nombre;
    for (const auto* nombres : {&comando.opciones.con_valor, &comando.opciones.banderas}) {
      for (const std::string& opcion : *nombres) {
        EXPECT_NE(ayuda.salida.find("--" + opcion), std::string::npos) << comando.nombre;
      }
    }
  }
}

// A sheet whose name is what its report would be called ("hoja.txt") is refused before anything
// is written or printed: the sheet keeps its bytes and no file appears beside it.
TEST(Info, UnaHojaConElNombreDeSuInformeNoSeSobrescribe) {
  HojaDePrueba hoja(hoja_con_codigos_que_faltan());
  const std::string bytes = hoja.carpeta.lee("hoja.bin");
  const auto ruta = hoja.carpeta.escribe("hoja.txt", bytes);
  std::filesystem::remove(hoja.carpeta / "hoja.bin");
  const auto ficheros = [&] {
    return std::distance(std::filesystem::directory_iterator(hoja.carpeta.ruta()),
                         std::filesystem::directory_iterator{});
  };
  const auto antes = ficheros();
  const auto r = ejecuta({"info", ruta.string()});
  EXPECT_EQ(r.estado, 2);
  EXPECT_TRUE(r.salida.empty()) << r.salida;
  EXPECT_NE(r.errores.find(ruta.string()), std::string::npos) << r.errores;
  EXPECT_EQ(hoja.carpeta.lee("hoja.txt"), bytes);
  EXPECT_EQ(ficheros(), antes);
}

namespace {

// An output that runs a piece of work the first time the command writes to it: what another
// process does while the command is at work.
class SalidaQueInterrumpe : public std::streambuf {
 public:
  explicit SalidaQueInterrumpe(std::function<void()> trabajo) : trabajo_(std::move(trabajo)) {}

 protected:
  int_type overflow(int_type c) override {
    if (trabajo_) std::exchange(trabajo_, {})();
    return c;
  }

 private:
  std::function<void()> trabajo_;
};

}  // namespace

// A command that only reads a sheet says, in one line naming it, that the sheet changed while it
// read it, and ends with 1; unchanged, it says nothing of the kind.
TEST(Info, UnaHojaCambiadaMientrasSeLeeSeDiceYLaOrdenTerminaConUno) {
  for (const bool cambia : {false, true}) {
    HojaDePrueba hoja(hoja_con_codigos_que_faltan());
    SalidaQueInterrumpe interrupcion([&] {
      if (cambia) hoja.carpeta.escribe("hoja.bin", hoja_con_codigos_que_faltan() + "C=");
    });
    std::ostream salida(&interrupcion);
    std::ostringstream errores;
    const int estado = telmora::cli::ejecuta_cli({"info", hoja.ruta()}, salida, errores);
    if (!cambia) {
      EXPECT_EQ(estado, 0) << errores.str();
      EXPECT_EQ(errores.str(), "");
      continue;
    }
    EXPECT_EQ(estado, 1);
    const std::string linea = errores.str();
    EXPECT_NE(linea.find("la hoja " + hoja.ruta() + " ha cambiado mientras se leía"),
              std::string::npos)
        << linea;
    EXPECT_EQ(std::count(linea.begin(), linea.end(), '\n'), 1) << linea;
  }
}
