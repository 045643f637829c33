#include <gtest/gtest.h>

#include <filesystem>

#include "edicion/dibujo_edicion.h"
#include "hoja_de_prueba.h"
#include "marcador_borrados.h"
#include "superficie_imagen.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::SesionDePrueba;

namespace {

const std::string kSep = " +++++++++++++++++++++++++++++++++++++";

// A point, an open line, a closed line whose ends differ only in z, a text of two pieces with
// attributes, and a line whose code is not in the table.
ConstructorBin hoja_de_cinco() {
  ConstructorBin b;
  b.c("100", {{123456, 1500, 200}})
      .c("100", {{10000, 10000, 100}, {10100, 10050, 150}})
      .c("200", {{10000, 10000, 0}, {10100, 10000, 0}, {10100, 10100, 0}, {10000, 10000, 5}})
      .t("TXT", {10050, 10060, 1234}, "NOMBRE DE UNA CALLE", 200, 0, 0,
         {{2, 200, "R1"}, {7, -5, "ABCDEF"}})
      .c("999", {{10000, 10000, 0}, {10200, 10000, 0}});
  return b;
}

std::vector<std::string> lista(const Sesion& sesion, std::int32_t numero) {
  return lista_entidad(sesion, numero, lee_entidad_en_fichero(sesion.hoja, numero));
}

// `cuantas` lines of a listing from line `desde` on.
std::vector<std::string> tramo(const std::vector<std::string>& lineas, std::size_t desde,
                               std::size_t cuantas) {
  return {lineas.begin() + static_cast<std::ptrdiff_t>(desde),
          lineas.begin() + static_cast<std::ptrdiff_t>(desde + cuantas)};
}

}  // namespace

TEST(InfoElemento, FormateaSalidaConTresDecimalesAlMenos) {
  EXPECT_EQ(formatea_salida(123456, 100), "1234.560");
  EXPECT_EQ(formatea_salida(1500, 1000), "1.500");
  EXPECT_EQ(formatea_salida(200, 100), "2.000");
  EXPECT_EQ(formatea_salida(0, 100), "0.000");
  EXPECT_EQ(formatea_salida(-5, 100), "-0.050");
  EXPECT_EQ(formatea_salida(7, 1000), "0.007");
  EXPECT_EQ(formatea_salida(2147483647, 100), "21474836.470");
}

TEST(InfoElemento, ListadoDeUnTextoConSusAtributosYSuCodigo) {
  const ConstructorBin b = hoja_de_cinco();
  SesionDePrueba hoja(b.contenido());
  const std::vector<std::string> esperado{
      "          \"Texto\"",
      "Atributos : 2",
      "     Tipo : Texto  Activo",
      "   Codigo : TXT",
      "   Textos : 2",
      kSep,
      " 1  100.5  100.6  12.34",
      " Texto 1  NOMBRE DE UN",
      " Texto 2  A CALLE",
      kSep,
      "  Atributo : 1",
      "   IdTabla :2",
      " NRegistro :200",
      "     Resto :R1",
      "  Atributo : 2",
      "   IdTabla :7",
      " NRegistro :-5",
      "     Resto :ABCDEF",
      " DATOS EN VEKT.TAB y VEKT.PAL",
      kSep,
      "     Codigo  : TXT",
      "     Tipo    : 4",
      "     Color   : 1",
      "         RGB1   : 255",
      "         RGB2   : 0",
      "         RGB3   : 0",
      "       Pluma : 1",
      "      Grosor : 1",
      "      Fuente : 0",
      "   Distancia : 0",
      "       SimbX : 0",
      "       SimbY : 0",
      "   Tipo Linea: 0",
      " Trazo Blanco: 0",
      "  Trazo Color: 0",
      " Trazo Blanco: 0",
      "  Trazo Color: 0",
      " Trazo Blanco: 0",
      "  Trazo Color: 0",
      " Trazo Blanco: 0",
      "  Trazo Color: 0",
      " Trazo Blanco: 0",
      "  Trazo Color: 0",
      " Trazo Blanco: 0",
      "  Trazo Color: 0",
      " Trazo Blanco: 0",
      "  Trazo Color: 0",
      " Trazo Blanco: 0",
      "     Param.26: \"Texto\"",
      kSep,
      "   Offset : " + std::to_string(b.inicios()[3]),
      "   Elemento 4 de 5",
  };
  EXPECT_EQ(lista(hoja.sesion, 4), esperado);
}

TEST(InfoElemento, ListadoDePuntoLineaAbiertaYCerrada) {
  SesionDePrueba hoja(hoja_de_cinco().contenido());
  const Sesion& sesion = hoja.sesion;

  const auto punto = lista(sesion, 1);
  EXPECT_EQ(punto[0], "          \"Linea cien\"");
  EXPECT_EQ(punto[2], "     Tipo : Puntual  Activo");
  EXPECT_EQ(tramo(punto, 4, 7),
            (std::vector<std::string>{kSep, " Elemento Punto/Simbolo", kSep, "   Puntos : 1", kSep,
                                      " 1  1234.560  15.000  2.000", kSep}));
  EXPECT_EQ(punto[11], " DATOS EN VEKT.TAB y VEKT.PAL");

  const auto abierta = lista(sesion, 2);
  EXPECT_EQ(abierta[2], "     Tipo : Lineal  Activo");
  EXPECT_EQ(tramo(abierta, 4, 8),
            (std::vector<std::string>{kSep, " Elemento abierto", kSep, "   Puntos : 2", kSep,
                                      " 1  100.000  100.000  1.000", " 2  101.000  100.500  1.500",
                                      kSep}));

  // First and last vertices differ only in z: closed.
  const auto cerrada = lista(sesion, 3);
  EXPECT_EQ(cerrada[0], "          \"Recinto doscientos\"");
  EXPECT_EQ(tramo(cerrada, 4, 10),
            (std::vector<std::string>{kSep, " Elemento cerrado", kSep, "   Puntos : 4", kSep,
                                      " 1  100.000  100.000  0.000", " 2  101.000  100.000  0.000",
                                      " 3  101.000  101.000  0.000", " 4  100.000  100.000  0.050",
                                      kSep}));

  // A code missing from the table: empty table fields, the colour of unknown codes (index 5).
  const auto desconocida = lista(sesion, 5);
  EXPECT_EQ(desconocida[0], "          ");
  EXPECT_EQ(desconocida[3], "   Codigo : 999");
  EXPECT_EQ(tramo(desconocida, 12, 8),
            (std::vector<std::string>{" DATOS EN VEKT.TAB y VEKT.PAL", kSep, "     Codigo  : ",
                                      "     Tipo    : ", "     Color   : ", "         RGB1   : 0",
                                      "         RGB2   : 255", "         RGB3   : 255"}));
  EXPECT_EQ(desconocida.back(), "   Elemento 5 de 5");
}

TEST(InfoElemento, BorrarCambiaSoloElByteDeEstadoYElListadoLoMuestra) {
  const ConstructorBin b = hoja_de_cinco();
  SesionDePrueba hoja(b.contenido());
  const auto ruta = hoja.sesion.ajustes.fich_entrada;

  anula_entidad(hoja.sesion.hoja, 4);
  const std::string despues = prueba::lee_bytes(ruta);
  ASSERT_EQ(despues.size(), b.contenido().size());
  std::vector<std::size_t> cambiados;
  for (std::size_t i = 0; i < despues.size(); ++i) {
    if (despues[i] != b.contenido()[i]) cambiados.push_back(i);
  }
  EXPECT_EQ(cambiados, std::vector<std::size_t>{static_cast<std::size_t>(b.inicios()[3] + 1)});
  EXPECT_EQ(lista(hoja.sesion, 4)[2], "     Tipo : Texto  Borrado");
}

TEST(InfoElemento, UnFicheroQueCambioTrasCargarseSeNombraSinLeerFueraDeEl) {
  const ConstructorBin b = hoja_de_cinco();
  SesionDePrueba hoja(b.contenido());
  const Hoja& cargada = hoja.sesion.hoja;
  EXPECT_THROW(lee_entidad_en_fichero(cargada, 0), ErrorTelmora);
  EXPECT_THROW(lee_entidad_en_fichero(cargada, 6), ErrorTelmora);

  // Cut inside the text, then a header that is no entity.
  hoja.carpeta.escribe("hoja.bin", b.contenido().substr(0, b.inicios()[3] + 60));
  EXPECT_THROW(lee_entidad_en_fichero(cargada, 4), ErrorTelmora);
  std::string danado = b.contenido();
  danado[static_cast<std::size_t>(b.inicios()[3])] = 'X';
  hoja.carpeta.escribe("hoja.bin", danado);
  try {
    lee_entidad_en_fichero(cargada, 4);
    FAIL();
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find("hoja.bin"), std::string::npos);
  }
  EXPECT_EQ(lista(hoja.sesion, 3)[3], "   Codigo : 200");
}

TEST(InfoElemento, ImprimeJuntoALaHojaSustituyendoElAnterior) {
  SesionDePrueba hoja(hoja_de_cinco().contenido());
  const auto& fich_entrada = hoja.sesion.ajustes.fich_entrada;
  EXPECT_EQ(ruta_listado(fich_entrada, 12), hoja.carpeta / "hoja_12.txt");

  hoja.carpeta.escribe("hoja_4.txt", std::string(5000, 'x'));
  const auto lineas = lista(hoja.sesion, 4);
  EXPECT_EQ(ImprimeEntidad(lineas, fich_entrada, 4), hoja.carpeta / "hoja_4.txt");
  std::string esperado;
  for (const auto& linea : lineas) esperado += linea + "\n";
  EXPECT_EQ(hoja.carpeta.lee("hoja_4.txt"), esperado);

  // A listing that cannot be written is reported with its path; nothing is left half written.
  std::filesystem::create_directory(hoja.carpeta / "hoja_5.txt");
  try {
    ImprimeEntidad(lista(hoja.sesion, 5), fich_entrada, 5);
    FAIL();
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find("hoja_5.txt"), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_directory(hoja.carpeta / "hoja_5.txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(hoja.carpeta.ruta()), {}), 5);
}

// The vertex numbers stay readable whatever the scale, and a text has none.
TEST(InfoElemento, NumerosDeVerticeLegiblesACualquierEscala) {
  SesionDePrueba hoja(hoja_de_cinco().contenido());
  const Sesion& sesion = hoja.sesion;
  const Rgb fondo = color_fondo(sesion.tabla, sesion.paleta);
  for (const double semiancho : {5.0, 5000.0}) {
    Vista vista;
    vista.dimensiona(300, 300);
    vista.xmin = 1234.56 - semiancho, vista.xmax = 1234.56 + semiancho;
    vista.ymin = 15 - semiancho, vista.ymax = 15 + semiancho;
    vista.calculo_escala();
    SuperficieImagen superficie(300, 300);
    superficie.borra(fondo);
    numera_vertices(superficie, vista, sesion, lee_entidad_en_fichero(sesion.hoja, 4));
    const QImage vacia = superficie.imagen().copy();
    numera_vertices(superficie, vista, sesion, lee_entidad_en_fichero(sesion.hoja, 1));
    const QImage& imagen = superficie.imagen();

    int arriba = 300, abajo = -1, izquierda = 300, derecha = -1;
    for (int y = 0; y < 300; ++y) {
      for (int x = 0; x < 300; ++x) {
        if (imagen.pixel(x, y) == vacia.pixel(x, y)) continue;
        arriba = std::min(arriba, y), abajo = std::max(abajo, y);
        izquierda = std::min(izquierda, x), derecha = std::max(derecha, x);
      }
    }
    // The label "1" sits up and to the right of the point at the centre.
    EXPECT_GE(abajo - arriba + 1, 8) << "escala 1:" << vista.escala;
    EXPECT_LE(abajo - arriba + 1, 30);
    EXPECT_NEAR(izquierda, 150, 4);
    EXPECT_NEAR(abajo, 150, 6);
    EXPECT_EQ(vacia, [&] {
      SuperficieImagen limpia(300, 300);
      limpia.borra(fondo);
      return limpia.imagen().copy();
    }());
  }
}
