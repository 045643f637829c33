#include "p_dobles.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogos_qt.h"
#include "fichero.h"

namespace telmora {

PDobles::PDobles(int uds, Dialogos& dialogos, QWidget* padre)
    : QDialog(padre), uds_(uds), dialogos_(dialogos) {
  setObjectName("PDobles");
  setWindowTitle(
      "Borrado de puntos dobles y detección de \"lazos\",\"semiLazos\" y "
      "\"duplicados/similares\"");
  auto* capa = new QGridLayout(this);
  auto* label1 = new QLabel("Tol.X ,Y (uds) :", this);
  label1->setObjectName("Label1");
  auto* label3 = new QLabel("Tol.Z  (uds) :", this);
  label3->setObjectName("Label3");
  text2_ = new QLineEdit(this);
  text2_->setObjectName("Text2");
  text4_ = new QLineEdit(this);
  text4_->setObjectName("Text4");
  label2_ = new QLabel(this);
  label2_->setObjectName("Label2");
  command1_ = new QPushButton("Procesar", this);
  command1_->setObjectName("Command1");
  capa->addWidget(label1, 0, 0);
  capa->addWidget(text2_, 0, 1);
  capa->addWidget(label2_, 0, 2);
  capa->addWidget(label3, 1, 0);
  capa->addWidget(text4_, 1, 1);
  capa->addWidget(command1_, 2, 1);
  actualiza_diagonal();

  connect(text2_, &QLineEdit::textChanged, this, [this] { actualiza_diagonal(); });
  connect(command1_, &QPushButton::clicked, this, [this] { procesar(); });
  text2_->installEventFilter(this);
  text4_->installEventFilter(this);
}

bool PDobles::eventFilter(QObject* objeto, QEvent* evento) {
  if (evento->type() != QEvent::KeyPress || (objeto != text2_ && objeto != text4_))
    return QDialog::eventFilter(objeto, evento);
  const int tecla = static_cast<QKeyEvent*>(evento)->key();
  if (tecla != Qt::Key_Return && tecla != Qt::Key_Enter) return false;
  if (objeto == text2_) {
    actualiza_diagonal();
  } else if (!text4_->text().isEmpty()) {
    command1_->setFocus();
  }
  return true;
}

void PDobles::actualiza_diagonal() {
  label2_->setText(a_qstring(texto_tol_dist(a_utf8(text2_->text()), uds_)));
}

void PDobles::procesar() {
  try {
    tolerancias_ = lee_tolerancias(a_utf8(text2_->text()), a_utf8(text4_->text()));
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
    return;
  }
  accept();
}

}  // namespace telmora
