#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <random>

#include "bases_prueba.h"
#include "constructor_bin.h"
#include "control/busca_bd.h"
#include "control/control_errores.h"
#include "control/control_pares.h"
#include "db/conexion.h"
#include "dialogos_guion.h"
#include "hoja.h"
#include "sesion.h"
#include "tabla_vekt.h"

using namespace telmora;
using prueba::n;
using prueba::nulo;
using prueba::t;

namespace {

// The pair lookup as a walk from the first row of the all-pairs order.
bool busca_recinto_literal(const std::vector<FilaPar>& filas, const std::string& par,
                           std::int32_t& operador) {
  for (const FilaPar& fila : filas) {
    if (fila.par && *fila.par == par) {
      if (!fila.bloqueado) return false;
      operador = fila.operador;
      return true;
    }
  }
  return false;
}

// The error lookup as a walk from the first row.
std::optional<std::size_t> busca_error_literal(const std::vector<FilaError>& filas,
                                               std::int32_t numero) {
  for (std::size_t i = 0; i < filas.size(); ++i) {
    if (numero_de(filas[i].valores[kColumnaNumError]) == static_cast<double>(numero)) return i;
  }
  return std::nullopt;
}

Hoja hoja_con_textos(const std::vector<std::string>& textos) {
  prueba::ConstructorBin b;
  b.c("100", {{0, 0, 0}, {100, 0, 0}});
  for (std::size_t i = 0; i < textos.size(); ++i) {
    b.t("TXT", {static_cast<std::int32_t>(i), 0, 0}, textos[i]);
  }
  const std::string& bytes = b.contenido();
  return cargo_bin_bytes(Lista<char>(bytes.begin(), bytes.end()),
                         interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab"));
}

Valor estado_de(const std::filesystem::path& bd, std::int64_t numero) {
  const BaseDatos lectura = BaseDatos::abre(bd.string());
  const auto filas = lectura.consulta(
      {"leer", "SELECT Estado, DescripcionEstado FROM Errores WHERE NumError = ? ORDER BY rowid",
       ""},
      {n(numero)});
  return filas.empty() ? Valor(std::string("sin fila")) : filas[0][0];
}

}  // namespace

TEST(ControlPares, RecuentosYBusquedaDeLosParesPrimeroYUltimo) {
  prueba::CarpetaTemporal carpeta;
  const auto ruta = prueba::escribe_bd(carpeta, "BDControl.mdb", {prueba::pares_prueba()});
  std::vector<std::string> dibujados;
  const auto resultado = cuenta_pares(ruta.string(), [&](const ConsultaPares& pares) {
    for (const char* par : {"A", "B", "C", "D", "Z", "X", ""}) {
      std::int32_t operador = -1;
      const bool bloqueado = pares.BuscaRecinto(par, operador);
      dibujados.push_back(std::string(par) + (bloqueado ? ":" + std::to_string(operador) : ""));
    }
  });
  // "A" is found in its first row (free); state 2 is blocked but counted neither way.
  EXPECT_EQ(dibujados, (std::vector<std::string>{"A", "B:7", "C:3", "D", "Z:11", "X", ""}));
  EXPECT_EQ(resultado.lineas(),
            (std::vector<std::string>{"Pares    Totales : 6", "Pares Bloqueados : 3",
                                      "Pares     Libres : 1"}));
}

TEST(ControlPares, LaBusquedaIndexadaDaLoMismoQueElRecorrido) {
  std::mt19937 azar(5);
  for (int vuelta = 0; vuelta < 30; ++vuelta) {
    std::vector<FilaPar> filas;
    const int cantidad = std::uniform_int_distribution<int>(0, 200)(azar);
    for (int i = 0; i < cantidad; ++i) {
      FilaPar fila;
      if (azar() % 17 != 0) fila.par = "P" + std::to_string(azar() % 60);
      fila.bloqueado = azar() % 2 == 0;
      fila.operador = static_cast<std::int32_t>(azar() % 13);
      filas.push_back(fila);
    }
    const TablaPares tabla(filas);
    for (int p = 0; p < 70; ++p) {
      const std::string par = "P" + std::to_string(p);
      std::int32_t indexado = -1, literal = -1;
      ASSERT_EQ(tabla.BuscaRecinto(par, indexado), busca_recinto_literal(filas, par, literal));
      ASSERT_EQ(indexado, literal);
    }
  }
}

TEST(ControlPares, SinServidorAvisaYUsaLaCopiaLocal) {
  prueba::CarpetaTemporal local, servidor;
  const auto ruta = prueba::escribe_bd(local, "BDControl.mdb", {prueba::pares_prueba()});
  prueba::DialogosGuion dialogos;
  std::vector<std::string> estados;
  auto estado = [&](const std::string& texto) { estados.push_back(texto); };

  AjustesInstalacion instalacion;
  instalacion.carpeta_control = servidor.ruta();  // mounted, but without the database
  auto resultado = carga_control_pares(ruta, instalacion, dialogos, estado);
  EXPECT_EQ(resultado.origen, ruta.string());
  EXPECT_FALSE(resultado.conectada);
  EXPECT_EQ(dialogos.textos(),
            std::vector<std::string>{"Connexión no posible.\nUtilizo BdD en local"});
  // The panel keeps the reason: nothing was connected, so nothing is closed.
  EXPECT_EQ(estados, (std::vector<std::string>{"Conectando la Base de Datos...",
                                               "Conexion imposible. No existe el fichero :" +
                                                   (servidor / "BDControl.mdb").string()}));

  // No server at all.
  estados.clear();
  carga_control_pares(ruta, {}, dialogos, estado);
  EXPECT_EQ(estados.back(), "Conexion imposible.");

  // The settings file the package installs names no server and holds no password; the folder
  // of its example, once its ";" is taken away, is read.
  const std::string instalado = prueba::lee_bytes(PAQUETE "/instalacion.ini");
  const AjustesInstalacion sin_servidor =
      lee_instalacion(servidor.escribe("instalado.ini", instalado));
  EXPECT_TRUE(sin_servidor.carpeta_control.empty() && sin_servidor.conexion_control.empty() &&
              sin_servidor.contrasena_catalogo.empty());
  std::string con_carpeta = instalado;
  con_carpeta.erase(con_carpeta.find(";carpeta=/mnt/O/8233/"), 1);
  EXPECT_EQ(lee_instalacion(servidor.escribe("instalado.ini", con_carpeta)).carpeta_control,
            "/mnt/O/8233/");

  // The server's copy, when there, is the one read.
  prueba::escribe_bd(servidor, "BDControl.mdb",
                     {telmora::tabla_control({{t("S"), n(1), n(1), n(1)}})});
  servidor.escribe("instalacion.ini", "[control]\ncarpeta=" + servidor.ruta().string() + "\n");
  instalacion = lee_instalacion(servidor / "instalacion.ini");
  estados.clear();
  resultado = carga_control_pares(ruta, instalacion, dialogos, estado);
  EXPECT_EQ(resultado.origen, (servidor / "BDControl.mdb").string());
  EXPECT_TRUE(resultado.conectada);
  EXPECT_EQ(resultado.totales, 1);
  EXPECT_EQ(dialogos.mostrados.size(), 2u);
  EXPECT_EQ(estados, (std::vector<std::string>{"Conectando la Base de Datos...",
                                               "Conexión Establecida.", "Conexión Cerrada."}));
}

TEST(ControlErrores, LosTextosQueNombranErrores) {
  const Hoja hoja = hoja_con_textos({"1234_revisado", "1234", "12.5", "12.5_x", "abc", "_nota",
                                     "  77  ", "&H10_hex", "1e2", "99999999999", "5_a_b"});
  std::vector<std::pair<std::int32_t, std::string>> marcas;
  for (const MarcaError& m : marcas_de_error(hoja)) marcas.emplace_back(m.numero, m.descripcion);
  EXPECT_EQ(marcas,
            (std::vector<std::pair<std::int32_t, std::string>>{
                {1234, "revisado"}, {1234, ""}, {77, ""}, {16, "hex"}, {100, ""}, {5, "a_b"}}));
}

TEST(ControlErrores, CadaHallazgoSuma100YAnadeLaDescripcion) {
  TablaErrores tabla({{prueba::fila_error(7), {n(1)}},
                      {prueba::fila_error(3, n(0), t("previa")), {n(2)}},
                      {prueba::fila_error(3), {n(3)}},
                      {prueba::fila_error(9, n(1), t("vista;")), {n(4)}}});
  EXPECT_EQ(tabla.BuscaError(7, "revisado"), 0u);  // the first row
  EXPECT_EQ(tabla.BuscaError(7, "otra"), 0u);
  EXPECT_EQ(tabla.BuscaError(7, ""), 0u);
  EXPECT_EQ(tabla.filas()[0].valores[kColumnaEstado], n(201));
  EXPECT_EQ(tabla.filas()[0].valores[kColumnaDescripcionEstado], t("revisadootra"));
  EXPECT_EQ(tabla.BuscaError(3, "nuevo"), 1u);  // state 0 starts again at 1; the second 3 untouched
  EXPECT_EQ(tabla.filas()[1].valores[kColumnaEstado], n(1));
  EXPECT_EQ(tabla.filas()[1].valores[kColumnaDescripcionEstado], t("nuevo"));
  EXPECT_EQ(tabla.filas()[2].valores[kColumnaEstado], nulo());
  EXPECT_EQ(tabla.BuscaError(9, "otra vez"), 3u);  // the last row
  EXPECT_EQ(tabla.filas()[3].valores[kColumnaEstado], n(101));
  EXPECT_EQ(tabla.filas()[3].valores[kColumnaDescripcionEstado], t("vista;otra vez"));
  EXPECT_EQ(tabla.BuscaError(8, "x"), std::nullopt);
}

TEST(ControlErrores, LaBusquedaIndexadaDaLoMismoQueElRecorrido) {
  std::mt19937 azar(3);
  std::vector<FilaError> filas;
  for (int i = 0; i < 300; ++i) {
    const auto numero = static_cast<std::int64_t>(azar() % 150);
    filas.push_back({prueba::fila_error(numero), {n(i)}});
    if (azar() % 11 == 0) filas.back().valores[kColumnaNumError] = nulo();
    if (azar() % 13 == 0) filas.back().valores[kColumnaNumError] = numero + 0.5;
  }
  const TablaErrores tabla(filas);
  for (std::int32_t numero = -1; numero < 160; ++numero) {
    ASSERT_EQ(tabla.busca(numero), busca_error_literal(filas, numero)) << numero;
  }
}

TEST(ControlErrores, CadaCambioSeGuardaEnElMomento) {
  prueba::CarpetaTemporal carpeta;
  const auto ruta = prueba::escribe_bd(
      carpeta, "hoja.mdb",
      {telmora::tabla_errores(
          {prueba::fila_error(5), prueba::fila_error(6, n(1), t("a;")), prueba::fila_error(7)})});
  const Hoja hoja = hoja_con_textos({"6_b", "5", "6_c", "8"});
  const auto resultado = carga_control_errores(hoja, ruta);
  EXPECT_EQ(resultado.cambiadas, (std::vector<std::size_t>{0, 1}));
  const auto lineas = resultado.lineas();
  ASSERT_EQ(lineas.size(), 3u);
  EXPECT_TRUE(lineas[0].starts_with("NumError\tTipoControl\tescala\t"));
  EXPECT_EQ(lineas[2],
            "6\tTopología\t1000\tE1\t2024-01-31 00:00:00\thoja\tE7\t440000.5\t"
            "4470000.25\t650\tNota\t1539\t\t\t201\ta;bc");
  EXPECT_EQ(estado_de(ruta, 6), n(201));
  EXPECT_EQ(estado_de(ruta, 5), n(1));
  EXPECT_EQ(estado_de(ruta, 7), nulo());

#ifndef _WIN32
  // A program that dies right after a change has saved it: the change is in the file.
  const pid_t hijo = fork();
  ASSERT_GE(hijo, 0);
  if (hijo == 0) {
    BaseDatos bd = BaseDatos::abre(ruta.string(), [] {
      OpcionesApertura o;
      o.escritura = true;
      return o;
    }());
    TablaErrores tabla(lee_errores(bd));
    guarda_estado_error(bd, tabla.fila(*tabla.BuscaError(7, "antes del fallo")));
    _exit(0);  // no destructors, no close
  }
  int estado = 0;
  waitpid(hijo, &estado, 0);
  EXPECT_EQ(estado_de(ruta, 7), n(1));
#endif

  // A row deleted by someone else between reading and writing is reported, not lost silently.
  OpcionesApertura escritura;
  escritura.escritura = true;
  BaseDatos bd = BaseDatos::abre(ruta.string(), escritura);
  auto filas = lee_errores(bd);
  BaseDatos otra = BaseDatos::abre(ruta.string(), escritura);
  otra.ejecuta({"borrar", "DELETE FROM Errores WHERE NumError = 5", ""});
  EXPECT_THROW(guarda_estado_error(bd, filas[0]), ErrorEscrituraBd);
}

// Through ODBC an Access table has no row number: the state goes to the row on screen, found by
// the table's key or, in a table without one, by all that the row holds; never to every row of
// its error number. An SQLite file takes here the statements written for Access.
TEST(ControlErrores, ElEstadoVaALaFilaMostradaYNoATodasLasDeSuNumero) {
  for (const bool con_clave : {false, true}) {
    SCOPED_TRACE(con_clave ? "con clave" : "sin clave");
    prueba::CarpetaTemporal carpeta;
    // The second and third rows are alike in everything.
    TablaNueva tabla = tabla_errores({prueba::fila_error(7), prueba::fila_error(7, n(1), t("b")),
                                      prueba::fila_error(7, n(1), t("b"))});
    if (con_clave) {
      tabla.columnas.insert(tabla.columnas.begin(), {"Id", "TEXT PRIMARY KEY"});
      for (std::size_t i = 0; i < tabla.filas.size(); ++i)
        tabla.filas[i].insert(tabla.filas[i].begin(), Valor("k" + std::to_string(9 - i)));
    }
    const auto ruta = prueba::escribe_bd(carpeta, "hoja.mdb", {tabla});
    auto conexion =
        std::make_unique<BaseDatos::Conexion>("QSQLITE", ruta.string(), Dialecto::access, true);
    conexion->bd.setDatabaseName(QString::fromStdString(ruta.string()));
    ASSERT_TRUE(conexion->bd.open());
    BaseDatos bd(std::move(conexion));
    auto estados = [&] {
      return BaseDatos::abre(ruta.string())
          .consulta({"leer", "SELECT Estado, DescripcionEstado FROM Errores ORDER BY rowid", ""});
    };

    // The first row, found twice: saved each time, and only it.
    std::vector<FilaError> filas = lee_errores(bd);
    ASSERT_EQ(filas.size(), 3u);
    for (const auto& [estado, descripcion] : {std::pair{1, "x"}, std::pair{101, "xy"}}) {
      filas[0].valores[kColumnaEstado] = n(estado);
      filas[0].valores[kColumnaDescripcionEstado] = t(descripcion);
      guarda_estado_error(bd, filas[0]);
    }
    EXPECT_EQ(estados(), (std::vector<FilaBd>{{n(101), t("xy")}, {n(1), t("b")}, {n(1), t("b")}}));

    // One of the twins: by its key only that one; without a key it cannot be told from the
    // other, and nothing is written.
    FilaError& gemela = filas[1];
    gemela.valores[kColumnaEstado] = n(101);
    if (con_clave) {
      guarda_estado_error(bd, gemela);
      EXPECT_EQ(estados(),
                (std::vector<FilaBd>{{n(101), t("xy")}, {n(101), t("b")}, {n(1), t("b")}}));
    } else {
      EXPECT_THROW(guarda_estado_error(bd, gemela), ErrorEscrituraBd);
      EXPECT_EQ(estados(),
                (std::vector<FilaBd>{{n(101), t("xy")}, {n(1), t("b")}, {n(1), t("b")}}));
    }
  }
}

TEST(ControlErrores, ElMensajeNombraLaTablaQueFalta) {
  prueba::CarpetaTemporal carpeta;
  const auto ruta = prueba::escribe_bd(carpeta, "hoja.mdb", {prueba::pares_prueba()});
  try {
    carga_control_errores(hoja_con_textos({"1"}), ruta);
    FAIL();
  } catch (const ErrorBaseDatos& error) {
    EXPECT_EQ(std::string(error.what()),
              "La base de datos " + ruta.string() + " no tiene la tabla \"Errores\"");
  }
}

TEST(BuscaBaseDatos, CarpetaDeTrabajoDespuesCarpetaDeDatosYSiNoElMensaje) {
  prueba::CarpetaTemporal trabajo, datos;
  Ajustes ajustes;
  ajustes.fich_entrada = trabajo / "mapa.bin";
  ajustes.dir_trabajo = trabajo.ruta();
  ajustes.dir_datos = datos.ruta();
  EXPECT_EQ(nombre_bd_errores(ajustes), "mapa.mdb");
  prueba::DialogosGuion dialogos;
  EXPECT_EQ(busca_base_datos(ajustes, "Catalogo.mdb", dialogos), std::nullopt);
  EXPECT_EQ(dialogos.textos(), std::vector<std::string>{"No existe el fichero :" +
                                                        (trabajo / "Catalogo.mdb").string()});
  EXPECT_EQ(dialogos.mostrados[0].icono, Icono::critico);

  datos.escribe("Catalogo.mdb", "");
  EXPECT_EQ(busca_base_datos(ajustes, "Catalogo.mdb", dialogos), datos / "Catalogo.mdb");
  EXPECT_EQ(ajustes.dir_trabajo, datos.ruta());
  trabajo.escribe("mapa.mdb", "");
  datos.escribe("mapa.mdb", "");
  ajustes.dir_trabajo = trabajo.ruta();
  EXPECT_EQ(busca_base_datos(ajustes, "mapa.mdb", dialogos), trabajo / "mapa.mdb");
  EXPECT_EQ(ajustes.dir_trabajo, trabajo.ruta());
}
