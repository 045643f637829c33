// Telmora: the start form is the way in; an optional file argument preselects that file.
#include <QApplication>
#include <QFileInfo>

#include "carpetas.h"
#include "dialogos_qt.h"
#include "form1.h"

int main(int argc, char** argv) {
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
