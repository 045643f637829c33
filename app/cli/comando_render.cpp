#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <memory>

#include "cli.h"
#include "fichero.h"
#include "ordenes_render.h"
#include "pintor.h"
#include "superficie_imagen.h"

namespace telmora::cli {

namespace {

QtMessageHandler manejador_previo = nullptr;

// Without a desktop session Qt warns that it has no runtime folder and takes a temporary one,
// which drawing into an image never uses: that warning is not the user's business.
void sin_aviso_de_carpeta_de_ejecucion(QtMsgType tipo, const QMessageLogContext& contexto,
                                       const QString& mensaje) {
  if (tipo == QtWarningMsg && mensaje.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) return;
  if (manejador_previo != nullptr) manejador_previo(tipo, contexto, mensaje);
}

// Qt's drawing of text needs an application object; without a display the offscreen platform
// serves.
void asegura_aplicacion() {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  manejador_previo = qInstallMessageHandler(sin_aviso_de_carpeta_de_ejecucion);
  static int argc = 1;
  static char nombre[] = "telmora-cli";
  static char* argv[] = {nombre, nullptr};
  static auto aplicacion = std::make_unique<QGuiApplication>(argc, argv);
}

void guarda_png(const QImage& imagen, const std::string& ruta) {
  QSaveFile fichero(QString::fromStdString(ruta));
  if (!fichero.open(QIODevice::WriteOnly) || !imagen.save(&fichero, "PNG") || !fichero.commit()) {
    throw ErrorTelmora("No se puede escribir " + ruta + ": " + fichero.errorString().toStdString());
  }
}

}  // namespace

int ejecuta_render(const Argumentos& argumentos, std::ostream& /*salida*/, std::ostream& errores) {
  argumentos.exige_posicionales(2, "telmora-cli render HOJA.bin SALIDA.png [opciones]");
  int ancho = 1920, alto = 1080;
  if (argumentos.tiene("tamano")) {
    const auto tamano = numeros_de_opcion(argumentos.valor("tamano"), 'x', 2, "--tamano");
    if (tamano[0] < 1 || tamano[1] < 1 || tamano[0] > 20000 || tamano[1] > 20000 ||
        tamano[0] != static_cast<int>(tamano[0]) || tamano[1] != static_cast<int>(tamano[1])) {
      throw ErrorUso("--tamano debe ser ANCHOxALTO en píxeles, de 1 a 20000");
    }
    ancho = static_cast<int>(tamano[0]);
    alto = static_cast<int>(tamano[1]);
  }
  std::vector<double> ventana;
  if (argumentos.tiene("ventana")) {
    ventana = numeros_de_opcion(argumentos.valor("ventana"), ',', 4, "--ventana");
    if (ventana[0] > ventana[2] || ventana[1] > ventana[3]) {
      throw ErrorUso("--ventana debe ser XMIN,YMIN,XMAX,YMAX con XMIN <= XMAX e YMIN <= YMAX");
    }
  }
  double escala = 0;
  if (argumentos.tiene("escala")) {
    escala = numero_de_opcion(argumentos.valor("escala"), "--escala");
    if (escala <= 0) throw ErrorUso("--escala debe ser un número mayor que 0");
  }

  Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  asegura_aplicacion();
  Vista vista;
  vista.dimensiona(ancho, alto);
  vista.ajusta_a_fichero(sesion.hoja.rango, sesion.ajustes.uds);
  if (!ventana.empty()) {
    vista.xmin = ventana[0], vista.ymin = ventana[1], vista.xmax = ventana[2],
    vista.ymax = ventana[3];
    vista.calculo_escala();
  }
  if (escala > 0) {
    vista.escala_actual = escala;
    vista.CentraZoom();
  }
  Visualizacion visualizacion;
  visualizacion.cota_minima = vista.zmin;
  visualizacion.cota_maxima = vista.zmax;
  if (!aplica_ordenes(argumentos.valores("orden"), sesion, visualizacion, errores)) {
    return kErrorEntrada;
  }

  SuperficieImagen superficie(ancho, alto);
  superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
  Pintor pintor(sesion);
  pintor.leo_bin_pinto(superficie, vista, visualizacion);
  try {
    guarda_png(superficie.imagen(), argumentos.posicionales()[1]);
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace telmora::cli
