// The element-information window: every field of one entity, with its printing to a text file
// beside the sheet and its deletion.
#pragma once

#include <QDialog>
#include <functional>

#include "dialogos.h"
#include "edicion/info_elemento.h"
#include "sesion.h"

class QListWidget;

namespace telmora {

class InfoElem : public QDialog {
 public:
  // Reads entity `numero` from the sheet's file and lists it; false (after telling the user)
  // when it cannot be read.
  InfoElem(Sesion& sesion, std::int32_t numero, Dialogos& dialogos, QWidget* padre = nullptr);
  bool leida() const { return leida_; }
  // Asked before the entity is deleted in the file; false leaves it.
  std::function<bool()> antes_de_borrar;
  const EntidadEnFichero& entidad() const { return entidad_; }

 private:
  void ImprimeEntidad();
  void BorraEntidad();

  Sesion& sesion_;
  std::int32_t numero_;
  Dialogos& dialogos_;
  QListWidget* list1_;
  EntidadEnFichero entidad_;
  bool leida_ = false;
};

}  // namespace telmora
