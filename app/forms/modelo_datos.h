// The catalogue browser by theme "Modelo de Datos": the themes, the entries of the chosen theme
// (a click picks or drops one, a double-click on a theme the whole theme) and "Aceptar", which
// shows only the codes of the picked entries.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "control/navegacion_catalogo.h"

class QListWidget;

namespace telmora {

class ModeloDatos : public QDialog {
 public:
  // `al_aceptar` hands the selection to the viewer, which applies it and redraws.
  ModeloDatos(std::unique_ptr<BaseDatos> bd, TablaSeleccion& seleccion,
              std::function<void()> al_aceptar, QWidget* padre = nullptr);
  ~ModeloDatos() override;

 private:
  void ListTemas_Click(int fila, bool doble);
  void ListDescrip_Click(int fila);

  std::unique_ptr<BaseDatos> bd_;
  std::unique_ptr<CatalogoPorTemas> catalogo_;
  QListWidget* list_temas_;
  QListWidget* list_descrip_;
};

}  // namespace telmora
