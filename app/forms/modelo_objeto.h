// The catalogue browser by object "Modelo de Objeto": the objects, their enumerated values and
// the entries of the chosen values (a click picks or drops one; the right button inverts them
// all; a double-click on the objects chooses them all) and "Aceptar", which shows only the codes
// of the picked entries.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "control/navegacion_catalogo.h"

class QListWidget;

namespace telmora {

class ModeloObjeto : public QDialog {
 public:
  // `al_aceptar` hands the selection to the viewer, which applies it and redraws.
  ModeloObjeto(std::unique_ptr<BaseDatos> bd, TablaSeleccion& seleccion,
               std::function<void()> al_aceptar, QWidget* padre = nullptr);
  ~ModeloObjeto() override;

 private:
  void ListTemas_Click();
  void ListTemas_DblClick();
  void ListDescrip_Click();
  void Elementos_Click();
  void invierte_elementos();

  std::unique_ptr<BaseDatos> bd_;
  std::unique_ptr<CatalogoPorObjetos> catalogo_;
  QListWidget* list_temas_;
  QListWidget* list_descrip_;
  QListWidget* elementos_;
};

}  // namespace telmora
