#include "ocupado.h"

#include <QApplication>
#include <QProgressBar>

#include "fichero.h"

namespace telmora {

// The viewer's progress bar: shown from the first percentage the work reports until the work
// ends.
class Ocupado::Barra : public Progreso {
 public:
  explicit Barra(QProgressBar* barra) : barra_(barra) {}
  ~Barra() override {
    if (barra_ != nullptr) barra_->hide();
  }
  Barra(const Barra&) = delete;
  Barra& operator=(const Barra&) = delete;
  void porcentaje(int porcentaje, std::int64_t, std::int64_t) override {
    if (barra_ == nullptr) return;
    barra_->setValue(porcentaje);
    barra_->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

 private:
  QProgressBar* barra_;
};

Ocupado::Ocupado(PantallaVisor& pantalla, QProgressBar* barra, Dialogos& dialogos,
                 std::optional<Puntero> puntero)
    : pantalla_(pantalla), dialogos_(dialogos), barra_(barra), activo_(puntero.has_value()) {
  if (puntero) pantalla_.puntero(*puntero);
}

Ocupado::~Ocupado() {
  termina();
}

void Ocupado::termina() {
  if (!activo_) return;
  activo_ = false;
  pantalla_.puntero(Puntero::defecto);
}

void Ocupado::puntero(Puntero puntero) {
  if (activo_) pantalla_.puntero(puntero);
}

bool Ocupado::ejecuta(const std::function<void(Progreso&)>& trabajo) {
  std::string fallo;
  try {
    Barra barra(barra_);
    trabajo(barra);
    return true;
  } catch (const ErrorTelmora& error) {
    fallo = error.what();
  } catch (const std::bad_alloc&) {
    fallo = "No hay memoria suficiente para terminar la operación";
  }
  termina();
  dialogos_.mensaje(fallo, Icono::critico);
  return false;
}

}  // namespace telmora
