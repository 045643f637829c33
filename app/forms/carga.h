// The loading window: the step under way, the file, and the progress of the load.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "progreso.h"

class QLabel;
class QProgressBar;

namespace telmora {

class Carga : public QDialog, public Progreso {
 public:
  explicit Carga(QWidget* padre = nullptr);

  void paso(std::string_view texto) override;
  void porcentaje(int porcentaje, std::int64_t hecho, std::int64_t total) override;
  void fichero(const QString& ruta);

 private:
  void BarraDeProgreso(int valor);

  QLabel* etiqueta_;
  QLabel* fichero_;
  QLabel* porcentaje_;
  QLabel* ritmo_;
  QProgressBar* barra_;
  QElapsedTimer reloj_;
};

}  // namespace telmora
