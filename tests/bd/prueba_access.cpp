#include <gtest/gtest.h>

#include "bases_prueba.h"
#include "carpeta_temporal.h"
#include "db/base_datos.h"
#include "db/importacion.h"

using namespace telmora;
using prueba::n;
using prueba::nulo;
using prueba::t;

namespace {

const std::filesystem::path kAccess = std::filesystem::path(DATOS_PRUEBA) / "access";

std::vector<FilaBd> lee(const BaseDatos& bd, const char* sql) {
  return bd.consulta({"leer", sql, sql});
}

// Column names and declared types of a table of an SQLite database.
std::vector<FilaBd> columnas(const BaseDatos& bd, const std::string& tabla) {
  const std::string sql = "SELECT name, type FROM pragma_table_info('" + tabla + "')";
  return lee(bd, sql.c_str());
}

void comprueba_fechas(const BaseDatos& bd) {
  EXPECT_EQ(bd.tablas(), std::vector<std::string>{"DateTest"});
  const std::vector<FilaBd> esperadas{
      {n(1), t("2021-12-02 00:00:00"), t("2021-12-02 00:00:00"), t("2021-12-02 00:00:00"),
       t("Hello"), t("Hello")},
      {n(2), t("9999-01-01 00:00:00"), t("9999-01-01 00:00:00"), t("9999-01-01 00:00:00"),
       t("Year 9999"), t("Year 1999")},
      {n(3), t("1898-01-01 00:00:00"), t("1899-01-01 00:00:00"), t("1900-01-01 00:00:00"),
       t("Pre-1900 years"), t("Pre-1900 years")},
      {n(4), t("0632-01-01 00:00:00"), t("0633-01-01 00:00:00"), t("0634-01-01 00:00:00"),
       t("Pre-1000 years"), t("Pre-1000 years")},
      {n(5), t("2021-12-02 00:00:00"), t("2021-12-02 00:00:00"), t("2021-12-02 00:00:00"),
       t("Escaped new line \\r\\n in field"), t("Escaped new line \\r\\n in field")},
      {n(6), t("2021-12-02 00:00:00"), t("2021-12-02 00:00:00"), t("2021-12-02 00:00:00"),
       t("New line\r\nin field"), t("No new line")},
  };
  EXPECT_EQ(lee(bd, "SELECT * FROM DateTest"), esperadas);
}

void comprueba_inventario(const BaseDatos& bd) {
  EXPECT_EQ(bd.tablas(), std::vector<std::string>{"Asset Items"});
  const auto filas = lee(bd, "SELECT * FROM [Asset Items]");
  ASSERT_EQ(filas.size(), 65u);
  EXPECT_EQ(filas.front(),
            (FilaBd{t("30050"), t("Computer Hardware"), t("GEO Rocket"), t("220ZX"), t("Computer"),
                    t("Sales"), t("344-667"), t("1997-09-02 00:00:00"), 1995.5, n(12), t("A"),
                    t("44577"), nulo()}));
  EXPECT_EQ(filas.back(), (FilaBd{t("30118"), t("Office Furniture"), t("Davis Reece"), t("Esquire"),
                                  t("Directors Desk"), t("Management"), t("DR555677"),
                                  t("1999-10-27 00:00:00"), 3425.5, n(0), nulo(), nulo(), nulo()}));
  // Totals counted from the file with another reader.
  EXPECT_EQ(lee(bd,
                "SELECT sum(Cost), sum(Warranty), count(DISTINCT [Asset No]), "
                "count(Comments), count([Tax Scale]), min(Acquired), max(Acquired) "
                "FROM [Asset Items]")[0],
            (FilaBd{98164.5, n(642), n(65), n(0), n(64), t("1997-09-02 00:00:00"),
                    t("1999-10-27 00:00:00")}));
}

}  // namespace

TEST(Access, SeReconocePorSusPrimerosBytes) {
  prueba::CarpetaTemporal carpeta;
  EXPECT_EQ(identifica_fichero(kAccess / "DateTestDatabase.mdb"), FormatoFichero::access);
  EXPECT_EQ(identifica_fichero(kAccess / "ASampleDatabase.accdb"), FormatoFichero::access);
  const auto sqlite = prueba::escribe_bd(carpeta, "control.mdb", {prueba::pares_prueba()});
  EXPECT_EQ(identifica_fichero(sqlite), FormatoFichero::sqlite);
  EXPECT_EQ(identifica_fichero(carpeta.escribe("corto.mdb", "SQLite")), FormatoFichero::otro);
  EXPECT_EQ(identifica_fichero(carpeta.escribe("texto.mdb", std::string(64, 'x'))),
            FormatoFichero::otro);
  EXPECT_EQ(identifica_fichero(carpeta / "no_existe.mdb"), FormatoFichero::otro);
}

TEST(Access, LosDosFicherosSeLeenEnterosConTiposNulosFechasYSaltosDeLinea) {
  const BaseDatos fechas = BaseDatos::abre((kAccess / "DateTestDatabase.mdb").string());
  comprueba_fechas(fechas);
  EXPECT_EQ(columnas(fechas, "DateTest"), (std::vector<FilaBd>{{t("IDCol"), t("INTEGER")},
                                                               {t("DateTimeCol"), t("DATETIME")},
                                                               {t("DateCol"), t("DATETIME")},
                                                               {t("TimeCol"), t("DATETIME")},
                                                               {t("LongTextCol"), t("TEXT")},
                                                               {t("ShortTextCol"), t("TEXT")}}));
  const BaseDatos inventario = BaseDatos::abre((kAccess / "ASampleDatabase.accdb").string());
  comprueba_inventario(inventario);
  const auto tipos = columnas(inventario, "Asset Items");
  ASSERT_EQ(tipos.size(), 13u);
  EXPECT_EQ(tipos[0], (FilaBd{t("Asset No"), t("TEXT")}));
  EXPECT_EQ(tipos[7], (FilaBd{t("Acquired"), t("DATETIME")}));
  EXPECT_EQ(tipos[8], (FilaBd{t("Cost"), t("REAL")}));
  EXPECT_EQ(tipos[9], (FilaBd{t("Warranty"), t("INTEGER")}));
}

TEST(Access, ImportarCopiaCadaTablaEnUnSQLiteQueSeLeeIgual) {
  prueba::CarpetaTemporal carpeta;
  for (const char* nombre : {"DateTestDatabase.mdb", "ASampleDatabase.accdb"}) {
    BaseDatos fuente = BaseDatos::abre((kAccess / nombre).string());
    const auto destino = carpeta / (std::string(nombre) + ".sqlite");
    const auto tablas = importa_base_datos(fuente, destino);
    ASSERT_EQ(tablas.size(), 1u);
    const BaseDatos copia = BaseDatos::abre(destino.string());
    EXPECT_EQ(identifica_fichero(destino), FormatoFichero::sqlite);
    if (tablas[0].nombre == "DateTest") {
      EXPECT_EQ(tablas[0].filas, 6);
      comprueba_fechas(copia);
    } else {
      EXPECT_EQ(tablas[0].filas, 65);
      comprueba_inventario(copia);
    }
  }
  // Only the two copies: no temporary file left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(carpeta.ruta()), {}), 2);
}

TEST(Access, NoSeEscribeEnUnAccessYElMensajeDiceComoConvertirlo) {
  OpcionesApertura escritura;
  escritura.escritura = true;
  const auto ruta = (kAccess / "DateTestDatabase.mdb").string();
  try {
    BaseDatos::abre(ruta, escritura);
    FAIL() << "se abrió para escribir";
  } catch (const ErrorEscrituraBd& error) {
    const std::string mensaje = error.what();
    EXPECT_NE(mensaje.find(ruta), std::string::npos) << mensaje;
    EXPECT_NE(mensaje.find("telmora-cli bd importar"), std::string::npos) << mensaje;
  }
}

TEST(BaseDatos, LosFicherosQueNoSonBasesDeDatosSeNombranEnElMensaje) {
  prueba::CarpetaTemporal carpeta;
  EXPECT_THROW(BaseDatos::abre((carpeta / "falta.mdb").string()), ErrorFicheroInexistente);
  // A file with the Jet signature and nothing behind it, and one that is not a database.
  std::string jet(4096, '\0');
  jet.replace(4, 16, std::string("Standard Jet DB\0", 16));
  for (const auto& [nombre, bytes] :
       {std::pair{"roto.mdb", jet}, std::pair{"texto.mdb", std::string("hola\n")}}) {
    const auto ruta = carpeta.escribe(nombre, bytes).string();
    try {
      BaseDatos::abre(ruta);
      ADD_FAILURE() << nombre << " se abrió";
    } catch (const ErrorBaseDatos& error) {
      EXPECT_NE(std::string(error.what()).find(ruta), std::string::npos) << error.what();
    }
  }
}

TEST(BaseDatos, UnaTablaOColumnaQueFaltaSeNombra) {
  prueba::CarpetaTemporal carpeta;
  const auto ruta = prueba::escribe_bd(carpeta, "BDControl.mdb",
                                       {{"Control", {{"PAR", "TEXT"}, {"Estado", "INTEGER"}}, {}}});
  const BaseDatos bd = BaseDatos::abre(ruta.string());
  EXPECT_NO_THROW(bd.exige({{"control", {"par", "ESTADO"}}}));
  try {
    bd.exige({{"Control", {"PAR", "Operador"}}});
    FAIL();
  } catch (const ErrorBaseDatos& error) {
    EXPECT_EQ(std::string(error.what()),
              "La tabla \"Control\" de " + ruta.string() + " no tiene la columna \"Operador\"");
  }
  try {
    bd.exige({{"Errores", {}}});
    FAIL();
  } catch (const ErrorBaseDatos& error) {
    EXPECT_EQ(std::string(error.what()),
              "La base de datos " + ruta.string() + " no tiene la tabla \"Errores\"");
  }
}

TEST(BaseDatos, UnFicheroNuevoQueNoSePuedeEscribirNoDejaNada) {
  prueba::CarpetaTemporal carpeta;
  const auto destino = carpeta / "falta" / "copia.sqlite";
  EXPECT_THROW(crea_base_datos_sqlite(destino, {prueba::pares_prueba()}), ErrorBaseDatos);
  EXPECT_FALSE(std::filesystem::exists(destino.parent_path()));
  // A table that cannot be created (its name twice) leaves the earlier file as it was.
  const auto ruta = prueba::escribe_bd(carpeta, "BDControl.mdb", {prueba::pares_prueba()});
  const std::string antes = carpeta.lee("BDControl.mdb");
  EXPECT_THROW(crea_base_datos_sqlite(ruta, {prueba::pares_prueba(), prueba::pares_prueba()}),
               ErrorBaseDatos);
  EXPECT_EQ(carpeta.lee("BDControl.mdb"), antes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(carpeta.ruta()), {}), 1);
}
