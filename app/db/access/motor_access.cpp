#include "db/access/motor_access.h"

#include "db/conexion.h"
#include "db/sqlite/motor_sqlite.h"

namespace telmora {

std::string mensaje_access_solo_lectura(const std::filesystem::path& ruta) {
  const std::string origen = ruta_texto(ruta);
  return "No se puede escribir en " + origen +
         ": es una base de datos Access, que en este sistema solo se puede leer. Conviértala a "
         "SQLite con \"telmora-cli bd importar " +
         origen + " COPIA.sqlite\" y ponga la copia en su lugar con el mismo nombre.";
}

std::unique_ptr<BaseDatos::Conexion> abre_fichero_access(const std::filesystem::path& ruta,
                                                         const OpcionesApertura& opciones) {
#ifdef _WIN32
  return abre_access_odbc(ruta, opciones);
#else
  if (opciones.escritura) throw ErrorEscrituraBd(mensaje_access_solo_lectura(ruta));
  auto copia = abre_memoria_sqlite(ruta_texto(ruta));
  copia_access_mdb(ruta, *copia);
  return copia;
#endif
}

}  // namespace telmora
