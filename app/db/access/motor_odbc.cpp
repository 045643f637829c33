#include "db/access/motor_access.h"
#include "db/conexion.h"

namespace telmora {

namespace {

// A value of an ODBC connection string, in braces so that ";" and "=" may be part of it.
QString entre_llaves(const QString& valor) {
  QString salida = valor;
  salida.replace("}", "}}");
  return "{" + salida + "}";
}

}  // namespace

std::unique_ptr<BaseDatos::Conexion> abre_access_odbc(const std::filesystem::path& ruta,
                                                      const OpcionesApertura& opciones) {
  auto conexion = std::make_unique<BaseDatos::Conexion>("QODBC", ruta_texto(ruta), Dialecto::access,
                                                        opciones.escritura);
  QString cadena = "DRIVER={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=" +
                   entre_llaves(QString::fromStdU16String(ruta.u16string()));
  if (!opciones.contrasena.empty()) {
    cadena += ";PWD=" + entre_llaves(QString::fromStdString(opciones.contrasena));
  }
  if (!opciones.escritura) cadena += ";ReadOnly=1";
  conexion->bd.setDatabaseName(cadena);
  if (!conexion->bd.open()) {
    falla_bd("No se puede abrir " + conexion->origen +
                 " (¿falta el controlador ODBC de Access, o la contraseña no es la suya?)",
             conexion->bd.lastError());
  }
  return conexion;
}

}  // namespace telmora
