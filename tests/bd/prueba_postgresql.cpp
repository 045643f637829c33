#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "bases_prueba.h"
#include "control/control_pares.h"
#include "db/importacion.h"
#include "db/instalacion.h"
#include "db/pares.h"
#include "db/postgresql/motor_postgresql.h"
#include "dialogos_guion.h"
#include "ejecuta.h"
#include "servidor_prueba.h"

using namespace telmora;
using prueba::ejecuta;
using prueba::n;
using prueba::nulo;
using prueba::t;

namespace {

const std::vector<std::string> kNombres{"A", "B", "C", "D", "Z", "X", ""};

// What the pair control read from a database: its lines and the answer of the lookup for each
// name ("B:7" blocked by operator 7, "A" not blocked).
struct Leido {
  std::vector<std::string> lineas, busquedas;
};

Leido lee(const std::string& origen, const std::vector<std::string>& nombres = kNombres) {
  Leido leido;
  leido.lineas =
      cuenta_pares(origen, [&](const ConsultaPares& pares) {
        for (const std::string& nombre : nombres) {
          std::int32_t operador = -1;
          const bool bloqueado = pares.BuscaRecinto(nombre, operador);
          leido.busquedas.push_back(nombre + (bloqueado ? ":" + std::to_string(operador) : ""));
        }
      }).lineas();
  return leido;
}

std::int64_t importa(const std::filesystem::path& fichero, const std::string& conexion) {
  BaseDatos fuente = BaseDatos::abre(fichero.string());
  return importa_control_postgresql(fuente, conexion).filas;
}

std::int64_t cuenta(const BaseDatos& bd, const char* sql) {
  return std::get<std::int64_t>(bd.consulta({"contar", "", "", sql}).at(0).at(0));
}

// Pairs with repeated names, null names and every kind of state.
TablaNueva pares_al_azar(std::mt19937& azar) {
  std::vector<FilaBd> filas;
  const int cantidad = std::uniform_int_distribution<int>(0, 120)(azar);
  for (int i = 0; i < cantidad; ++i) {
    const Valor nombre = azar() % 15 == 0 ? nulo() : Valor("P" + std::to_string(azar() % 40));
    const Valor estado = azar() % 9 == 0 ? nulo() : n(static_cast<std::int64_t>(azar() % 3));
    const Valor operador = azar() % 7 == 0 ? nulo() : n(static_cast<std::int64_t>(azar() % 50));
    filas.push_back({nombre, estado, operador, 1.5 * i});
  }
  return tabla_control(filas);
}

}  // namespace

TEST(ConexionPg, LasPartesDeLaConexion) {
  auto d = interpreta_conexion_pg("postgresql://ana@control.prod:5433/pares");
  EXPECT_EQ(d.usuario, "ana");
  EXPECT_EQ(d.servidor, "control.prod");
  EXPECT_EQ(d.puerto, 5433);
  EXPECT_EQ(d.base, "pares");
  EXPECT_TRUE(d.ajustes.empty());

  d = interpreta_conexion_pg(
      "postgres://%2Fvar%2Frun%2Fpostgresql/pares?sslmode=require&"
      "connect_timeout=3");
  EXPECT_EQ(d.usuario, "");
  EXPECT_EQ(d.servidor, "/var/run/postgresql");
  EXPECT_EQ(d.puerto, -1);
  EXPECT_EQ(d.ajustes, (std::vector<std::pair<std::string, std::string>>{
                           {"sslmode", "require"}, {"connect_timeout", "3"}}));

  d = interpreta_conexion_pg("postgresql://[::1]:6000/b");
  EXPECT_EQ(d.servidor, "::1");
  EXPECT_EQ(d.puerto, 6000);
  EXPECT_EQ(interpreta_conexion_pg("postgresql://servidor").base, "");

  for (const char* mala : {"postgresql://h:0/b", "postgresql://h:70000/b", "postgresql://h:x/b",
                           "postgresql://h/b?sslmode", "postgresql://h/b?a=1%3Bb",
                           "postgresql://h/%zz", "postgresql://[::1/b", "mysql://h/b"}) {
    EXPECT_THROW(interpreta_conexion_pg(mala), ErrorBaseDatos) << mala;
  }
}

TEST(ConexionPg, NingunaContrasenaSeAceptaNiSeRepite) {
  for (const char* texto :
       {"postgresql://ana:secreto@h/b", "postgresql://ana:secreto@h:x/b?y",
        "postgresql://h/b?password=secreto", "postgresql://h/b?x&password=secreto"}) {
    try {
      BaseDatos::abre(texto);
      ADD_FAILURE() << texto;
    } catch (const ErrorBaseDatos& error) {
      EXPECT_EQ(std::string(error.what()).find("secreto"), std::string::npos) << error.what();
    }
  }

  // The installation names the server where it would name the folder.
  prueba::CarpetaTemporal carpeta;
  carpeta.escribe("instalacion.ini", "[control]\ncarpeta=postgresql://ana@control:5432/pares\n");
  const AjustesInstalacion ajustes = lee_instalacion(carpeta / "instalacion.ini");
  EXPECT_EQ(ajustes.conexion_control, "postgresql://ana@control:5432/pares");
  EXPECT_TRUE(ajustes.carpeta_control.empty());
}

TEST(ServidorPg, RecuentosYBusquedasComoConElFichero) {
  EXIGE_SERVIDOR_PG();
  prueba::CarpetaTemporal carpeta;
  const auto fichero = prueba::escribe_bd(carpeta, "BDControl.mdb", {prueba::pares_prueba()});
  prueba::BasePg pg;
  EXPECT_EQ(importa(fichero, pg.conexion()), 6);
  const Leido servidor = lee(pg.conexion());
  EXPECT_EQ(servidor.busquedas,
            (std::vector<std::string>{"A", "B:7", "C:3", "D", "Z:11", "X", ""}));
  EXPECT_EQ(servidor.lineas,
            (std::vector<std::string>{"Pares    Totales : 6", "Pares Bloqueados : 3",
                                      "Pares     Libres : 1"}));

  // The same rows in both give the same counts and the same first row of each name.
  std::mt19937 azar(11);
  std::vector<std::string> nombres{""};
  for (int p = 0; p < 42; ++p) nombres.push_back("P" + std::to_string(p));
  for (int vuelta = 0; vuelta < 6; ++vuelta) {
    const auto otro = prueba::escribe_bd(carpeta, "azar.sqlite", {pares_al_azar(azar)});
    pg.ejecuta("DROP TABLE control");
    importa(otro, pg.conexion());
    const Leido de_fichero = lee(otro.string(), nombres),
                del_servidor = lee(pg.conexion(), nombres);
    ASSERT_EQ(del_servidor.lineas, de_fichero.lineas) << vuelta;
    ASSERT_EQ(del_servidor.busquedas, de_fichero.busquedas) << vuelta;
  }

  // A table made on the server by hand, with only the four columns, is read as well.
  pg.ejecuta("DROP TABLE control");
  pg.ejecuta("CREATE TABLE Control (PAR text, Estado integer, Operador integer, Superficie real)");
  pg.ejecuta("INSERT INTO Control VALUES ('Z', 1, 11, 1), ('B', 1, 7, 10), ('C', 0, 3, 1)");
  const Leido a_mano = lee(pg.conexion());
  EXPECT_EQ(a_mano.busquedas, (std::vector<std::string>{"A", "B:7", "C", "D", "Z:11", "X", ""}));
  EXPECT_EQ(a_mano.lineas, (std::vector<std::string>{"Pares    Totales : 3", "Pares Bloqueados : 2",
                                                     "Pares     Libres : 1"}));

  // So is one that a migration tool made with the Access names quoted, in mixed case, in a
  // schema of the search path other than the first.
  pg.ejecuta("DROP TABLE control");
  pg.ejecuta("CREATE SCHEMA migrada");
  pg.ejecuta("ALTER DATABASE " + pg.base() + " SET search_path TO public, migrada");
  pg.ejecuta(
      "CREATE TABLE migrada.\"Control\" (\"PAR\" text, \"Estado\" integer, \"Operador\" "
      "integer, \"Superficie\" real, \"Notas del par\" text)");
  pg.ejecuta(
      "INSERT INTO migrada.\"Control\" VALUES ('Z', 1, 11, 1, 'x'), ('B', 1, 7, 10, NULL), "
      "('C', 0, 3, 1, NULL)");
  const Leido migrada = lee(pg.conexion());
  EXPECT_EQ(migrada.busquedas, a_mano.busquedas);
  EXPECT_EQ(migrada.lineas, a_mano.lineas);
}

TEST(ServidorPg, ElDibujoDeLosParesEsElDelFichero) {
  EXIGE_SERVIDOR_PG();
  prueba::CarpetaTemporal carpeta;
  const auto bin = carpeta
                       .escribe_hoja(prueba::hoja_de_pares().contenido(), prueba::tabla_basica(),
                                     prueba::paleta_con_color_10())
                       .string();
  const auto fichero = prueba::escribe_bd(carpeta, "pares.sqlite", {prueba::pares_de_la_hoja()});
  prueba::BasePg pg;
  importa(fichero, pg.conexion());
  std::vector<QImage> imagenes;
  for (const std::string& origen : {fichero.string(), pg.conexion()}) {
    const auto png = (carpeta / "p.png").string();
    const auto r = ejecuta({"pares", bin, "--bd", origen, "--png", png, "--tamano", "300x200"});
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, "Pares    Totales : 2\nPares Bloqueados : 1\nPares     Libres : 1\n");
    imagenes.emplace_back(QString::fromStdString(png));
  }
  ASSERT_FALSE(imagenes[0].isNull());
  EXPECT_TRUE(imagenes[0] == imagenes[1]);
}

TEST(ServidorPg, ImportarCreaLaTablaYSuIndiceSinTocarLaQueYaHay) {
  EXIGE_SERVIDOR_PG();
  prueba::CarpetaTemporal carpeta;
  const auto fichero = prueba::escribe_bd(carpeta, "BDControl.mdb", {prueba::pares_prueba()});
  prueba::BasePg pg;
  const auto r = ejecuta({"bd", "importar", fichero.string(), pg.conexion()});
  ASSERT_EQ(r.estado, 0) << r.errores;
  EXPECT_EQ(r.salida, "Control: 6 filas\n");
  const BaseDatos bd = BaseDatos::abre(pg.conexion());
  EXPECT_EQ(cuenta(bd,
                   "SELECT count(*) FROM pg_indexes WHERE tablename = 'control' AND "
                   "indexdef LIKE '%(par)'"),
            1);
  // Rows numbered in the file's order.
  const auto filas = bd.consulta(
      {"leer", "", "", "SELECT par, estado, operador FROM control ORDER BY orden_fila"});
  ASSERT_EQ(filas.size(), 6u);
  EXPECT_EQ(filas[0], (FilaBd{t("B"), n(1), n(7)}));
  EXPECT_EQ(filas[4], (FilaBd{t("D"), nulo(), n(4)}));

  // A second copy would mix two files: refused, the table as it was, unless --reemplazar is
  // given; then the table is replaced in one transaction. A table named as a migration tool
  // names it is the same table.
  const auto otra =
      prueba::escribe_bd(carpeta, "otra.sqlite", {tabla_control({{t("Q"), n(0), n(0), n(0)}})});
  const auto repetida = ejecuta({"bd", "importar", otra.string(), pg.conexion()});
  EXPECT_EQ(repetida.estado, 2);
  EXPECT_NE(repetida.errores.find("--reemplazar"), std::string::npos) << repetida.errores;
  EXPECT_EQ(cuenta(bd, "SELECT count(*) FROM control"), 6);
  pg.ejecuta("ALTER TABLE control RENAME TO \"Control\"");
  EXPECT_EQ(ejecuta({"bd", "importar", otra.string(), pg.conexion()}).estado, 2);
  const auto reemplazo = ejecuta({"bd", "importar", otra.string(), pg.conexion(), "--reemplazar"});
  ASSERT_EQ(reemplazo.estado, 0) << reemplazo.errores;
  EXPECT_EQ(cuenta(bd, "SELECT count(*) FROM pg_tables WHERE lower(tablename) = 'control'"), 1);
  EXPECT_EQ(cuenta(bd, "SELECT count(*) FROM control"), 1);

  // A source without the pair table, or a server as the source: bad input.
  const auto sin_tabla = prueba::escribe_bd(carpeta, "catalogo.sqlite", {tabla_temas({})});
  EXPECT_EQ(ejecuta({"bd", "importar", sin_tabla.string(), pg.conexion()}).estado, 2);
  EXPECT_EQ(ejecuta({"bd", "importar", pg.conexion(), (carpeta / "copia.sqlite").string()}).estado,
            2);
}

TEST(ServidorPg, LasTresLecturasVenUnMismoInstanteYNoEscriben) {
  EXIGE_SERVIDOR_PG();
  prueba::CarpetaTemporal carpeta;
  prueba::BasePg pg;
  importa(prueba::escribe_bd(carpeta, "BDControl.mdb", {prueba::pares_prueba()}), pg.conexion());
  const BaseDatos lectura = BaseDatos::abre(pg.conexion());
  BaseDatos otro_operador = prueba::abre_pg(pg.conexion());
  const char* bloqueados = "SELECT count(*) FROM control WHERE estado = 1";
  std::int64_t antes = -1, despues = -1;
  lectura.lee_en_instantanea([&] {
    antes = cuenta(lectura, bloqueados);
    otro_operador.ejecuta({"bloquear", "", "", "UPDATE control SET estado = 1"});
    despues = cuenta(lectura, bloqueados);
  });
  EXPECT_EQ(antes, 3);
  EXPECT_EQ(despues, 3);
  EXPECT_EQ(cuenta(lectura, bloqueados), 6);
  // The snapshot is read-only: a write inside it fails, and the connection goes on reading.
  EXPECT_THROW(lectura.lee_en_instantanea([&] {
    lectura.consulta({"cambiar", "", "", "UPDATE control SET estado = 0 RETURNING 1"});
  }),
               ErrorBaseDatos);
  EXPECT_EQ(cuenta(lectura, bloqueados), 6);
}

TEST(ServidorPg, SinServidorSinLoginOSinTablaSeLeeLaCopiaLocal) {
  EXIGE_SERVIDOR_PG();
  prueba::CarpetaTemporal carpeta;
  const auto local = prueba::escribe_bd(carpeta, "BDControl.mdb", {prueba::pares_prueba()});
  prueba::BasePg con_tabla, sin_tabla;
  importa(prueba::escribe_bd(carpeta, "servidor.sqlite", {prueba::pares_de_la_hoja()}),
          con_tabla.conexion());
  const std::string servidor = prueba::servidor_pg();
  const std::string puerto_cerrado = "postgresql://telmora@127.0.0.1:1/telmora";
  // A password file with the wrong password: the server refuses the login.
  const auto clave_mala = carpeta.escribe("pgpass", "*:*:*:*:incorrecta\n");
  std::filesystem::permissions(
      clave_mala, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const std::string pgpass = std::getenv("PGPASSFILE") ? std::getenv("PGPASSFILE") : "";

  auto carga = [&](const std::string& conexion, std::vector<std::string>& estados,
                   prueba::DialogosGuion& dialogos) {
    AjustesInstalacion instalacion;
    instalacion.conexion_control = conexion;
    return carga_control_pares(local, instalacion, dialogos,
                               [&](const std::string& texto) { estados.push_back(texto); });
  };
  const std::pair<std::string, std::string> casos[] = {
      {puerto_cerrado, "No se puede conectar con " + puerto_cerrado + ": "},
      {servidor, "password authentication failed"},
      {sin_tabla.conexion(), "no tiene la tabla \"Control\""}};
  for (const auto& [conexion, razon] : casos) {
    if (conexion == servidor) qputenv("PGPASSFILE", clave_mala.string().c_str());
    std::vector<std::string> estados;
    prueba::DialogosGuion dialogos;
    const auto resultado = carga(conexion, estados, dialogos);
    qputenv("PGPASSFILE", pgpass.c_str());
    EXPECT_EQ(resultado.origen, local.string());
    EXPECT_FALSE(resultado.conectada);
    EXPECT_EQ(resultado.totales, 6);
    EXPECT_EQ(dialogos.textos(),
              std::vector<std::string>{"Connexión no posible.\nUtilizo BdD en local"});
    ASSERT_EQ(estados.size(), 2u);
    EXPECT_TRUE(estados[1].starts_with("Conexion imposible. ")) << estados[1];
    EXPECT_NE(estados[1].find(razon), std::string::npos) << estados[1];
  }

  std::vector<std::string> estados;
  prueba::DialogosGuion dialogos;
  const auto resultado = carga(con_tabla.conexion(), estados, dialogos);
  EXPECT_EQ(resultado.origen, con_tabla.conexion());
  EXPECT_TRUE(resultado.conectada);
  EXPECT_EQ(resultado.totales, 2);
  EXPECT_TRUE(dialogos.mostrados.empty());
  EXPECT_EQ(estados, (std::vector<std::string>{"Conectando la Base de Datos...",
                                               "Conexión Establecida.", "Conexión Cerrada."}));
}
