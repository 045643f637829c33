#include <gtest/gtest.h>

#include <QImage>

#include "bases_prueba.h"
#include "constructor_bin.h"
#include "db/base_datos.h"
#include "ejecuta.h"
#include "hoja_abierta.h"
#include "pintor.h"
#include "topologia/dibujo_topologia.h"

using prueba::ejecuta;
using namespace telmora;

namespace {

const std::filesystem::path kAccess = std::filesystem::path(DATOS_PRUEBA) / "access";

std::vector<std::string> lineas(const std::string& texto) {
  std::vector<std::string> salida;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    const auto fin = texto.find('\n', inicio);
    salida.push_back(texto.substr(inicio, fin - inicio));
    inicio = fin == std::string::npos ? texto.size() : fin + 1;
  }
  return salida;
}

std::int64_t cuenta(const std::filesystem::path& bd, const char* sql) {
  const auto filas = BaseDatos::abre(bd.string()).consulta({"contar", sql, sql});
  return std::get<std::int64_t>(filas.at(0).at(0));
}

// Where a map point (file units) lies on a picture of the whole sheet, fitted as the command line
// fits it.
QPoint punto_en(const QImage& imagen, const Sesion& sesion, std::int32_t x, std::int32_t y) {
  Vista vista;
  Visualizacion visualizacion;
  vista.dimensiona(imagen.width(), imagen.height());
  ajusta_a_hoja(sesion, vista, visualizacion);
  const PuntoPantalla p = a_pantalla(vista, Vertice{x, y, 0}, sesion.ajustes.uds);
  return {p.x, p.y};
}

QRgb color_en(const QImage& imagen, const Sesion& sesion, std::int32_t x, std::int32_t y) {
  return imagen.pixel(punto_en(imagen, sesion, x, y));
}

int pixeles_de_color(const QImage& imagen, QRect zona, QRgb color) {
  int n = 0;
  for (int y = zona.top(); y <= zona.bottom(); ++y) {
    for (int x = zona.left(); x <= zona.right(); ++x) n += imagen.pixel(x, y) == color;
  }
  return n;
}

}  // namespace

TEST(LineaBd, ParesConPngColoreaLasCarasPorElEstadoDeSuPar) {
  prueba::CarpetaTemporal carpeta;
  const auto bin = carpeta
                       .escribe_hoja(prueba::hoja_de_pares().contenido(), prueba::tabla_basica(),
                                     prueba::paleta_con_color_10())
                       .string();
  const auto bd = prueba::escribe_bd(carpeta, "pares.sqlite", {prueba::pares_de_la_hoja()});
  const auto png = (carpeta / "pares.png").string();
  const auto r = ejecuta({"pares", bin, "--bd", bd.string(), "--png", png, "--tamano", "300x200"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, "Pares    Totales : 2\nPares Bloqueados : 1\nPares     Libres : 1\n");

  const QImage imagen(QString::fromStdString(png));
  ASSERT_EQ(imagen.size(), QSize(300, 200));
  const Sesion sesion = cli::abre_hoja_de_linea(bin, false);
  EXPECT_EQ(color_en(imagen, sesion, 2500, 2500), qRgb(220, 40, 40));   // P1, blocked
  EXPECT_EQ(color_en(imagen, sesion, 12500, 2500), qRgb(40, 170, 70));  // P2, free
  EXPECT_EQ(color_en(imagen, sesion, 22500, 2500), qRgb(10, 20, 30));   // no centroid
  // The blocked face carries its operator's number at its centre, the free one nothing.
  const Rgb legible = color_legible(kColorParBloqueado);
  const QRgb numero = qRgb(legible.rojo, legible.verde, legible.azul);
  auto centro = [&](std::int32_t x) {
    return QRect(punto_en(imagen, sesion, x, 5000) - QPoint(12, 12), QSize(25, 25));
  };
  EXPECT_GT(pixeles_de_color(imagen, centro(5000), numero), 0);
  EXPECT_EQ(pixeles_de_color(imagen, centro(15000), numero), 0);

  // A picture that cannot be written: the counts are printed, the status is a failed write.
  const auto sin_carpeta =
      ejecuta({"pares", bin, "--bd", bd.string(), "--png", (carpeta / "no" / "p.png").string()});
  EXPECT_EQ(sin_carpeta.estado, 1);
  EXPECT_EQ(sin_carpeta.salida, r.salida);
}

// The README's run: a sample sheet with its databases, and each command on it.
TEST(LineaBd, LaMuestraTraeSusBasesDeDatosYLasOrdenesLasLeen) {
  prueba::CarpetaTemporal carpeta;
  ASSERT_EQ(ejecuta({"generar", carpeta.ruta().string(), "--entidades", "4000"}).estado, 0);
  const auto bin = (carpeta / "hoja.bin").string();

  const auto pares = ejecuta({"pares", bin});
  ASSERT_EQ(pares.estado, 0) << pares.errores;
  const auto bd = carpeta / "BDControl.mdb";
  EXPECT_EQ(lineas(pares.salida),
            (std::vector<std::string>{
                "Pares    Totales : " + std::to_string(cuenta(bd, "SELECT count(*) FROM Control")),
                "Pares Bloqueados : " +
                    std::to_string(cuenta(bd, "SELECT count(*) FROM Control WHERE Estado = 1")),
                "Pares     Libres : " +
                    std::to_string(cuenta(bd, "SELECT count(*) FROM Control WHERE Estado = 0"))}));
  EXPECT_NE(pares.errores.find("Connexión no posible.\nUtilizo BdD en local"), std::string::npos);
  // Every block name of the sheet names a pair.
  EXPECT_GT(cuenta(bd, "SELECT count(*) FROM Control WHERE PAR LIKE 'MANZANA %'"), 100);

  // The first run marks the errors written in the sheet; a second one finds them again.
  const auto errores = ejecuta({"errores", bin});
  ASSERT_EQ(errores.estado, 0) << errores.errores;
  const auto primeras = lineas(errores.salida);
  ASSERT_GT(primeras.size(), 3u);
  EXPECT_TRUE(primeras[1].starts_with("1001\t"));
  EXPECT_TRUE(primeras[1].ends_with("\t1\t"));
  EXPECT_TRUE(primeras[2].ends_with("\t101\tvisto;revisado"));
  const auto errores_bd = carpeta / "hoja.mdb";
  EXPECT_EQ(cuenta(errores_bd,
                   "SELECT count(*) FROM Errores WHERE NumError > 9000 AND "
                   "Estado IS NULL"),
            3);
  const auto segunda = lineas(ejecuta({"errores", bin}).salida);
  EXPECT_EQ(segunda.size(), primeras.size());
  EXPECT_TRUE(segunda[2].ends_with("\t201\tvisto;revisadorevisado"));

  const auto temas = ejecuta({"catalogo", "temas", "--bd", (carpeta / "Catalogo.mdb").string()});
  ASSERT_EQ(temas.estado, 0) << temas.errores;
  EXPECT_EQ(lineas(temas.salida).front(), "Vías de comunicación");
  const auto valores =
      ejecuta({"catalogo", "valor", "10", "TD1", "--bd", (carpeta / "Catalogo.mdb").string()});
  EXPECT_EQ(valores.salida, "1519 -Camino de tierra (Trazo discontinuo)\n");
}

TEST(LineaBd, CatalogoDeLaCarpetaActualYSusErrores) {
  prueba::CarpetaTemporal carpeta;
  const auto catalogo = prueba::escribe_bd(carpeta, "Catalogo.mdb", prueba::catalogo_completo());
  const auto actual = std::filesystem::current_path();
  std::filesystem::current_path(carpeta.ruta());
  const auto objetos = ejecuta({"catalogo", "objetos"});
  const auto objeto = ejecuta({"catalogo", "objeto", "8"});
  const auto tema = ejecuta({"catalogo", "tema", "2"});
  const auto sin_tema = ejecuta({"catalogo", "tema", "3"});
  const auto sin_valor = ejecuta({"catalogo", "valor", "7", "XX"});
  const auto malo = ejecuta({"catalogo", "tema"});
  std::filesystem::current_path(actual);
  EXPECT_EQ(objetos.salida, "7 -Calle\n8 -Casa\n");
  EXPECT_EQ(objeto.salida,
            "2.5 - [8] Medio\n3 - [8] Casa\n4 - [8] Farola\n00 - [8] Sin Enumerado o Nulo\n");
  EXPECT_EQ(lineas(tema.salida).size(), 7u);
  EXPECT_EQ(sin_tema.estado, 2);
  EXPECT_NE(sin_tema.errores.find("tema 3"), std::string::npos);
  EXPECT_EQ(sin_valor.estado, 2);
  EXPECT_EQ(malo.estado, 2);

  // Neither in the current folder nor in the data folder.
  prueba::CarpetaTemporal vacia;
  std::filesystem::current_path(vacia.ruta());
  const auto falta = ejecuta({"catalogo", "temas"});
  std::filesystem::current_path(actual);
  EXPECT_EQ(falta.estado, 2);
  EXPECT_NE(falta.errores.find("No existe el fichero :" + (vacia / "Catalogo.mdb").string()),
            std::string::npos);
}

TEST(LineaBd, ImportarYLasBasesAccessQueNoSePuedenEscribir) {
  prueba::CarpetaTemporal carpeta;
  const auto copia = carpeta / "fechas.sqlite";
  const auto importar =
      ejecuta({"bd", "importar", (kAccess / "DateTestDatabase.mdb").string(), copia.string()});
  ASSERT_EQ(importar.estado, 0) << importar.errores;
  EXPECT_EQ(importar.salida, "DateTest: 6 filas\n");
  EXPECT_EQ(identifica_fichero(copia), FormatoFichero::sqlite);

  // An existing destination is refused unless --reemplazar is given, and is then replaced whole;
  // the source itself is never a destination.
  const std::string primera = carpeta.lee("fechas.sqlite");
  const auto otra = prueba::escribe_bd(carpeta, "otra.sqlite", {prueba::pares_prueba()});
  const auto ocupada = ejecuta({"bd", "importar", otra.string(), copia.string()});
  EXPECT_EQ(ocupada.estado, 2);
  EXPECT_NE(ocupada.errores.find("--reemplazar"), std::string::npos) << ocupada.errores;
  EXPECT_EQ(carpeta.lee("fechas.sqlite"), primera);
  const auto sobre_si = ejecuta({"bd", "importar", otra.string(), otra.string(), "--reemplazar"});
  EXPECT_EQ(sobre_si.estado, 2);
  const auto reemplazo = ejecuta({"bd", "importar", otra.string(), copia.string(), "--reemplazar"});
  ASSERT_EQ(reemplazo.estado, 0) << reemplazo.errores;
  EXPECT_EQ(reemplazo.salida, "Control: 6 filas\n");
  EXPECT_EQ(cuenta(copia, "SELECT count(*) FROM Control"), 6);

  EXPECT_EQ(ejecuta({"bd", "importar", (carpeta / "falta.mdb").string(), copia.string()}).estado,
            2);
  const auto sin_carpeta = carpeta / "no" / "copia.sqlite";
  EXPECT_EQ(ejecuta({"bd", "importar", copia.string(), sin_carpeta.string()}).estado, 1);
  EXPECT_FALSE(std::filesystem::exists(sin_carpeta.parent_path()));
  EXPECT_EQ(ejecuta({"bd", "exportar", copia.string(), copia.string()}).estado, 2);

  // An Access error database on Linux: refused with the conversion to use, nothing changed.
  prueba::ConstructorBin b;
  b.t("TXT", {0, 0, 0}, "1");
  const auto bin = carpeta.escribe_hoja(b.contenido());
  std::filesystem::copy_file(kAccess / "DateTestDatabase.mdb", carpeta / "hoja.mdb");
  const auto errores = ejecuta({"errores", bin.string()});
  EXPECT_EQ(errores.estado, 1);
  EXPECT_NE(errores.errores.find("telmora-cli bd importar"), std::string::npos);
  EXPECT_EQ(carpeta.lee("hoja.mdb"), prueba::lee_bytes(kAccess / "DateTestDatabase.mdb"));

  // The imported copy under the sheet's name is then read and written.
  std::filesystem::remove(carpeta / "hoja.mdb");
  prueba::escribe_bd(carpeta, "hoja.mdb", {telmora::tabla_errores({prueba::fila_error(1)})});
  const auto escritos = ejecuta({"errores", bin.string(), "--bd", (carpeta / "hoja.mdb").string()});
  EXPECT_EQ(escritos.estado, 0) << escritos.errores;
  EXPECT_EQ(lineas(escritos.salida).size(), 2u);
}
