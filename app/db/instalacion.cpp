#include "db/instalacion.h"

#include <QSettings>

#include "db/conexion.h"
#include "fichero.h"

namespace telmora {

AjustesInstalacion lee_instalacion(const std::filesystem::path& fichero) {
  AjustesInstalacion ajustes;
  if (!std::filesystem::exists(fichero)) return ajustes;
  asegura_nucleo_qt();
  const QSettings ini(QString::fromStdU16String(fichero.u16string()), QSettings::IniFormat);
  if (ini.status() != QSettings::NoError) {
    throw ErrorTelmora("No se puede leer el fichero de instalación " + ruta_texto(fichero) +
                       (ini.status() == QSettings::FormatError ? ": su formato no es válido"
                                                               : ": no se puede abrir"));
  }
  const QString carpeta = ini.value("control/carpeta").toString();
  if (es_conexion_postgresql(carpeta.toStdString())) {
    ajustes.conexion_control = carpeta.toStdString();
  } else if (!carpeta.isEmpty()) {
    ajustes.carpeta_control = std::filesystem::path(carpeta.toStdU16String());
  }
  ajustes.contrasena_catalogo = ini.value("catalogo/contrasena").toString().toStdString();
  return ajustes;
}

}  // namespace telmora
