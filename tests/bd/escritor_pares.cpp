// One operator of the load test: for SEGUNDOS seconds, flips the state of random pairs of the
// server's control table, one transaction each, and logs every change. Each transaction first
// takes the next number of the table "contador", whose row lock orders the writers' commits, so
// the log's numbers are the order in which the changes became visible:
//
//   escritor_pares CONEXION SEGUNDOS SEMILLA OPERADOR REGISTRO
//
// REGISTRO gets one line per change: "NUMERO FILA ESTADO" (the state after it). Exit status 0,
// or 1 after telling why on standard error.
#include <chrono>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "db/base_datos.h"
#include "db/conexion.h"

using namespace telmora;

namespace {

constexpr Sentencia kFilas{"contar los pares", "", "", "SELECT count(*) FROM control"};
constexpr Sentencia kSiguiente{"numerar el cambio", "", "",
                               "UPDATE contador SET n = n + 1 RETURNING n"};
constexpr Sentencia kCambia{"cambiar un par", "", "",
                            "UPDATE control SET estado = 1 - estado, operador = ? "
                            "WHERE orden_fila = ? RETURNING estado"};

std::int64_t entero(const std::vector<FilaBd>& filas) {
  return std::get<std::int64_t>(filas.at(0).at(0));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "uso: escritor_pares CONEXION SEGUNDOS SEMILLA OPERADOR REGISTRO\n";
    return 1;
  }
  try {
    OpcionesApertura escritura;
    escritura.escritura = true;
    BaseDatos bd = BaseDatos::abre(argv[1], escritura);
    QSqlDatabase& conexion = bd.conexion().bd;
    const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(argv[2]));
    std::mt19937_64 azar(std::stoull(argv[3]));
    const std::int64_t operador = std::stoll(argv[4]);
    std::ofstream registro(argv[5]);
    const std::int64_t filas = entero(bd.consulta(kFilas));
    while (std::chrono::steady_clock::now() < fin) {
      const auto fila = static_cast<std::int64_t>(azar() % static_cast<std::uint64_t>(filas)) + 1;
      if (!conexion.transaction()) falla_bd("BEGIN", conexion.lastError());
      const std::int64_t numero = entero(bd.consulta(kSiguiente));
      const std::int64_t estado = entero(bd.consulta(kCambia, {operador, fila}));
      if (!conexion.commit()) falla_bd("COMMIT", conexion.lastError());
      registro << numero << ' ' << fila << ' ' << estado << '\n';
    }
    registro.flush();
    if (!registro) throw ErrorTelmora(std::string("No se puede escribir ") + argv[5]);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
