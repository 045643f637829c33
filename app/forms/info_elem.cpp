#include "info_elem.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogos_qt.h"
#include "fichero.h"
#include "marcador_borrados.h"

namespace telmora {

InfoElem::InfoElem(Sesion& sesion, std::int32_t numero, Dialogos& dialogos, QWidget* padre)
    : QDialog(padre), sesion_(sesion), numero_(numero), dialogos_(dialogos) {
  setObjectName("InfoElem");
  setWindowTitle("Información Elemento");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* capa = new QVBoxLayout(this);
  list1_ = new QListWidget(this);
  list1_->setObjectName("List1");
  list1_->setFont(QFont("Courier New"));
  capa->addWidget(list1_);
  auto* botones = new QHBoxLayout();
  capa->addLayout(botones);
  auto boton = [&](const char* nombre, const char* titulo, std::function<void()> accion) {
    auto* b = new QPushButton(titulo, this);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, accion);
    botones->addWidget(b);
  };
  boton("ImprimeEntidad", "Imprimir", [this] { ImprimeEntidad(); });
  boton("BorraEntidad", "Borrar", [this] { BorraEntidad(); });
  boton("CerrarInfoElemento", "Cerrar", [this] { close(); });
  resize(560, 640);

  try {
    entidad_ = lee_entidad_en_fichero(sesion_.hoja, numero_);
    for (const std::string& linea : lista_entidad(sesion_, numero_, entidad_)) {
      list1_->addItem(a_qstring(linea));
    }
    leida_ = true;
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
  }
}

void InfoElem::ImprimeEntidad() {
  std::vector<std::string> lineas;
  for (int i = 0; i < list1_->count(); ++i) lineas.push_back(a_utf8(list1_->item(i)->text()));
  try {
    telmora::ImprimeEntidad(lineas, sesion_.ajustes.fich_entrada, numero_);
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
  }
}

void InfoElem::BorraEntidad() {
  if (antes_de_borrar && !antes_de_borrar()) return;
  try {
    anula_entidad(sesion_.hoja, numero_);
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
  }
}

}  // namespace telmora
