// The throwaway PostgreSQL server that scripts/pruebas.sh starts for the tests: TELMORA_PG names
// its database "telmora" and PGPASSFILE holds the password. Without them the server tests skip.
// Each test works in a database of its own, dropped when it ends.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <cstdlib>
#include <string>

#include "db/base_datos.h"
#include "db/conexion.h"

namespace prueba {

inline constexpr const char* kSinServidorPg =
    "Sin servidor PostgreSQL de pruebas: falta TELMORA_PG (scripts/pruebas.sh arranca uno con "
    "scripts/servidor_postgresql.sh)";

inline std::string servidor_pg() {
  const char* conexion = std::getenv("TELMORA_PG");
  return conexion == nullptr ? std::string() : conexion;
}

// Skips the test when no server was started.
#define EXIGE_SERVIDOR_PG() \
  if (prueba::servidor_pg().empty()) GTEST_SKIP() << prueba::kSinServidorPg

// Runs a statement as it is (database creation cannot be prepared).
inline void orden_pg(const telmora::BaseDatos& bd, const std::string& sql) {
  QSqlQuery consulta(bd.conexion().bd);
  if (!consulta.exec(QString::fromStdString(sql))) {
    throw telmora::ErrorBaseDatos(sql + ": " + consulta.lastError().text().toStdString());
  }
}

inline telmora::BaseDatos abre_pg(const std::string& conexion) {
  telmora::OpcionesApertura escritura;
  escritura.escritura = true;
  return telmora::BaseDatos::abre(conexion, escritura);
}

class BasePg {
 public:
  BasePg() {
    static std::atomic<int> contador{0};
    nombre_ = "prueba_" + std::to_string(QCoreApplication::applicationPid()) + "_" +
              std::to_string(contador++);
    const std::string servidor = servidor_pg();
    conexion_ = servidor.substr(0, servidor.rfind('/') + 1) + nombre_;
    orden_pg(abre_pg(servidor), "CREATE DATABASE " + nombre_);
  }
  ~BasePg() {
    try {
      orden_pg(abre_pg(servidor_pg()), "DROP DATABASE IF EXISTS " + nombre_ + " WITH (FORCE)");
    } catch (const telmora::ErrorTelmora&) {
      // The server is stopped at the end anyway.
    }
  }
  BasePg(const BasePg&) = delete;
  BasePg& operator=(const BasePg&) = delete;

  const std::string& conexion() const { return conexion_; }
  const std::string& base() const { return nombre_; }
  void ejecuta(const std::string& sql) const { orden_pg(abre_pg(conexion_), sql); }

 private:
  std::string nombre_, conexion_;
};

}  // namespace prueba
