// Telmora: the start form is the way in; an optional file argument preselects that file.
#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "carpetas.h"
#include "dialogos_qt.h"
#include "form1.h"

namespace {

constexpr const char* kUso =
    "uso: telmora [HOJA.bin | CARPETA]\n"
    "     telmora --help | telmora --version\n"
    "\n"
    "Abre el formulario de inicio de Telmora, el visor y las herramientas de control de calidad\n"
    "de hojas de entidades (.bin) con su tabla de códigos Vekt.tab y su paleta Vekt.pal. Con\n"
    "HOJA.bin, el formulario se abre en la carpeta de la hoja con ella elegida; con CARPETA, en\n"
    "esa carpeta. La hoja, Vekt.tab y Vekt.pal que no están en la carpeta elegida se buscan en\n"
    "la carpeta de datos fija " TELMORA_DIR_DATOS
    ".\n"
    "Los ajustes de la instalación (carpeta del servidor de control de pares, contraseña del\n"
    "catálogo) se leen de " TELMORA_INSTALACION
    ".\n"
    "Las mismas herramientas sin ventana: telmora-cli --help.\n";

// --help and --version are answered before Qt starts, so that they need no display.
bool responde_sin_ventana(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUso, stdout);
    return true;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::puts("telmora " TELMORA_VERSION);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (responde_sin_ventana(argc, argv)) return 0;
  QApplication aplicacion(argc, argv);
  QApplication::setApplicationName("Telmora");
  const auto traducciones = telmora::instala_traducciones_qt();
  telmora::DialogosQt dialogos;
  telmora::Form1 inicio(dialogos, telmora::dir_datos_fijo());
  const QStringList argumentos = QApplication::arguments();
  if (argumentos.size() > 1) {
    const QFileInfo elegido(argumentos.at(1));
    if (elegido.isDir()) {
      inicio.abre_en(elegido.absoluteFilePath());
    } else {
      inicio.abre_en(elegido.absolutePath(), elegido.fileName());
    }
  }
  inicio.show();
  return QApplication::exec();
}
