#include "ordenes.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogos_qt.h"

namespace telmora {

Ordenes::Ordenes(std::function<void(const std::string&)> ejecuta, QWidget* padre) : QDialog(padre) {
  setObjectName("Ordenes");
  setWindowTitle("Teclee una orden:");
  auto* capa = new QVBoxLayout(this);
  text1_ = new QLineEdit(this);
  text1_->setObjectName("Text1");
  text1_->setMinimumWidth(360);
  capa->addWidget(text1_);
  connect(text1_, &QLineEdit::returnPressed, this, [this, ejecuta] {
    const std::string linea = a_utf8(text1_->text());
    // The console closes first, so that what the command opens or arms is not under it.
    accept();
    if (!linea.empty()) ejecuta(linea);
  });
}

}  // namespace telmora
