#include "imagen_cli.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <memory>

#include "fichero.h"

namespace telmora::cli {

namespace {

QtMessageHandler manejador_previo = nullptr;

// Without a desktop session Qt warns that it has no runtime folder and takes a temporary one,
// which the command line never uses: that warning is not the user's business.
void sin_aviso_de_carpeta_de_ejecucion(QtMsgType tipo, const QMessageLogContext& contexto,
                                       const QString& mensaje) {
  if (tipo == QtWarningMsg && mensaje.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) return;
  if (manejador_previo != nullptr) manejador_previo(tipo, contexto, mensaje);
}

}  // namespace

void asegura_aplicacion() {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  manejador_previo = qInstallMessageHandler(sin_aviso_de_carpeta_de_ejecucion);
  static int argc = 1;
  static char nombre[] = "telmora-cli";
  static char* argv[] = {nombre, nullptr};
  static auto aplicacion = std::make_unique<QGuiApplication>(argc, argv);
}

void tamano_de_opcion(const Argumentos& argumentos, int& ancho, int& alto) {
  ancho = kAnchoImagen, alto = kAltoImagen;
  if (!argumentos.tiene("tamano")) return;
  const auto tamano = numeros_de_opcion(argumentos.valor("tamano"), 'x', 2, "--tamano");
  if (tamano[0] < 1 || tamano[1] < 1 || tamano[0] > 20000 || tamano[1] > 20000 ||
      tamano[0] != static_cast<int>(tamano[0]) || tamano[1] != static_cast<int>(tamano[1])) {
    throw ErrorUso("--tamano debe ser ANCHOxALTO en píxeles, de 1 a 20000");
  }
  ancho = static_cast<int>(tamano[0]);
  alto = static_cast<int>(tamano[1]);
}

void guarda_png(const QImage& imagen, const std::string& ruta) {
  QSaveFile fichero(QString::fromStdString(ruta));
  if (!fichero.open(QIODevice::WriteOnly) || !imagen.save(&fichero, "PNG") || !fichero.commit()) {
    throw ErrorTelmora("No se puede escribir " + ruta + ": " + fichero.errorString().toStdString());
  }
}

bool guarda_png_de_opcion(const Argumentos& argumentos, const QImage& imagen,
                          std::ostream& errores) {
  if (!argumentos.tiene("png")) return true;
  try {
    exige_salida_distinta(ruta_desde_texto(argumentos.valor("png")),
                          ruta_desde_texto(argumentos.posicionales().at(0)));
    guarda_png(imagen, argumentos.valor("png"));
    return true;
  } catch (const ErrorTelmora& fallo) {
    errores << fallo.what() << "\n";
    return false;
  }
}

}  // namespace telmora::cli
