// Load on the shared pair control: eight operators flip the state of random pairs for ten seconds
// while telmora-cli pares counts again and again. Every count must add up and be the state of the
// table at one moment of the writers' log, and nothing may fail.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "bases_prueba.h"
#include "db/importacion.h"
#include "servidor_prueba.h"

using namespace telmora;

namespace {

constexpr int kEscritores = 8;
constexpr int kSegundos = 10;
constexpr int kPares = 500;

struct Recuento {
  std::int64_t desde = 0, hasta = 0;  // the writers' counter before and after the run
  int estado = -1;
  std::int64_t totales = -1, bloqueados = -1, libres = -1;
  std::string errores;
};

std::int64_t contador(const BaseDatos& bd) {
  return std::get<std::int64_t>(
      bd.consulta({"leer el contador", "", "", "SELECT n FROM contador"}).at(0).at(0));
}

// The three numbers of "Pares    Totales : N" and the two lines after it.
void lee_lineas(const std::string& salida, Recuento& r) {
  std::istringstream lineas(salida);
  std::string linea;
  std::int64_t* destinos[] = {&r.totales, &r.bloqueados, &r.libres};
  for (std::int64_t* destino : destinos) {
    if (!std::getline(lineas, linea) || linea.find(':') == std::string::npos) return;
    *destino = std::stoll(linea.substr(linea.find(':') + 1));
  }
}

}  // namespace

TEST(CargaPares, OchoOperadoresCambianParesMientrasSeCuentan) {
  EXIGE_SERVIDOR_PG();
  prueba::CarpetaTemporal carpeta;
  std::mt19937 azar(17);
  std::vector<FilaBd> filas;
  std::int64_t bloqueados_al_empezar = 0;
  for (int i = 0; i < kPares; ++i) {
    const std::int64_t estado = azar() % 2;
    bloqueados_al_empezar += estado;
    filas.push_back({std::string("P" + std::to_string(i)), estado, std::int64_t{0}, 1.0});
  }
  const auto fichero = prueba::escribe_bd(carpeta, "BDControl.mdb", {tabla_control(filas)});
  prueba::BasePg pg;
  {
    BaseDatos fuente = BaseDatos::abre(fichero.string());
    importa_control_postgresql(fuente, pg.conexion());
  }
  pg.ejecuta("CREATE TABLE contador (n bigint NOT NULL)");
  pg.ejecuta("INSERT INTO contador VALUES (0)");
  const auto hoja = carpeta.escribe("hoja.bin", prueba::hoja_de_pares().contenido());
  const BaseDatos lectura = BaseDatos::abre(pg.conexion());

  std::vector<std::unique_ptr<QProcess>> escritores;
  for (int e = 0; e < kEscritores; ++e) {
    auto escritor = std::make_unique<QProcess>();
    escritor->start(
        ESCRITOR_PARES,
        {QString::fromStdString(pg.conexion()), QString::number(kSegundos),
         QString::number(100 + e), QString::number(e + 1),
         QString::fromStdString((carpeta / ("registro" + std::to_string(e))).string())});
    ASSERT_TRUE(escritor->waitForStarted());
    escritores.push_back(std::move(escritor));
  }
  std::vector<Recuento> recuentos;
  QElapsedTimer reloj;
  reloj.start();
  while (reloj.elapsed() < kSegundos * 1000) {
    Recuento r;
    r.desde = contador(lectura);
    QProcess cli;
    cli.start(TELMORA_CLI, {"pares", QString::fromStdString(hoja.string()), "--bd",
                            QString::fromStdString(pg.conexion())});
    cli.waitForFinished(60000);
    r.hasta = contador(lectura);
    r.estado = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    r.errores = cli.readAllStandardError().toStdString();
    lee_lineas(cli.readAllStandardOutput().toStdString(), r);
    recuentos.push_back(r);
  }
  const double segundos = static_cast<double>(reloj.elapsed()) / 1000.0;
  for (const auto& escritor : escritores) {
    escritor->waitForFinished(60000);
    EXPECT_EQ(escritor->exitCode(), 0) << escritor->readAllStandardError().toStdString();
  }

  // The writers' log: the change of each number, which must run from 1 without a gap.
  std::map<std::int64_t, std::int64_t> cambios;  // number -> +1 blocked, -1 freed
  for (int e = 0; e < kEscritores; ++e) {
    std::ifstream registro(carpeta / ("registro" + std::to_string(e)));
    std::int64_t numero = 0, fila = 0, estado = 0;
    while (registro >> numero >> fila >> estado) {
      ASSERT_TRUE(cambios.emplace(numero, estado == 1 ? 1 : -1).second) << numero;
    }
  }
  const std::int64_t ultimo = contador(lectura);
  ASSERT_EQ(static_cast<std::int64_t>(cambios.size()), ultimo);
  ASSERT_GT(ultimo, 0);
  std::vector<std::int64_t> bloqueados{bloqueados_al_empezar};  // after each number
  for (const auto& [numero, cambio] : cambios) {
    ASSERT_EQ(numero, static_cast<std::int64_t>(bloqueados.size()));
    bloqueados.push_back(bloqueados.back() + cambio);
  }
  EXPECT_EQ(
      std::get<std::int64_t>(
          lectura.consulta({"contar", "", "", "SELECT count(*) FROM control WHERE estado = 1"})
              .at(0)
              .at(0)),
      bloqueados.back());

  ASSERT_GT(recuentos.size(), 3u);
  for (const Recuento& r : recuentos) {
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.totales, kPares);
    EXPECT_EQ(r.bloqueados + r.libres, r.totales);
    bool visto = false;
    for (std::int64_t k = r.desde; k <= r.hasta && !visto; ++k) {
      visto = bloqueados[static_cast<std::size_t>(k)] == r.bloqueados;
    }
    EXPECT_TRUE(visto) << r.bloqueados << " bloqueados no es el estado de ningún instante entre "
                       << r.desde << " y " << r.hasta;
  }
  const double por_segundo = static_cast<double>(recuentos.size()) / segundos;
  std::cout << recuentos.size() << " recuentos en " << segundos << " s (" << por_segundo
            << " por segundo) mientras " << kEscritores << " operadores hacían " << ultimo
            << " cambios (" << static_cast<double>(ultimo) / segundos << " por segundo)\n";
  RecordProperty("recuentos_por_segundo", std::to_string(por_segundo));
}
