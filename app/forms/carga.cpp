#include "carga.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace telmora {

Carga::Carga(QWidget* padre) : QDialog(padre) {
  setObjectName("Carga");
  setWindowTitle("Cargando");
  setModal(true);
  auto* capa = new QVBoxLayout(this);
  etiqueta_ = new QLabel(this);
  etiqueta_->setObjectName("Label1");
  fichero_ = new QLabel(this);
  fichero_->setObjectName("Label2");
  barra_ = new QProgressBar(this);
  barra_->setObjectName("ProgressBar1");
  barra_->setRange(0, 100);
  porcentaje_ = new QLabel(this);
  porcentaje_->setObjectName("Label3");
  ritmo_ = new QLabel(this);
  ritmo_->setObjectName("Label4");
  for (QWidget* control : {static_cast<QWidget*>(etiqueta_), static_cast<QWidget*>(fichero_),
                           static_cast<QWidget*>(barra_), static_cast<QWidget*>(porcentaje_),
                           static_cast<QWidget*>(ritmo_)}) {
    capa->addWidget(control);
  }
  setMinimumWidth(480);
  reloj_.start();
}

void Carga::paso(std::string_view texto) {
  etiqueta_->setText(QString::fromUtf8(texto.data(), static_cast<qsizetype>(texto.size())));
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Carga::fichero(const QString& ruta) {
  fichero_->setText(ruta);
}

void Carga::BarraDeProgreso(int valor) {
  barra_->setValue(valor);
}

void Carga::porcentaje(int porcentaje, std::int64_t hecho, std::int64_t /*total*/) {
  BarraDeProgreso(porcentaje);
  porcentaje_->setText(QString::number(porcentaje) + " %");
  const double segundos = reloj_.elapsed() / 1000.0;
  if (segundos > 0) {
    ritmo_->setText(QString::number(static_cast<qint64>(hecho / segundos / 1e6 * 10) / 10.0) +
                    " MB/s");
  }
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace telmora
