#include "modelo_datos.h"

#include <QGridLayout>
#include <QListWidget>

#include "formulario_catalogo.h"

namespace telmora {

ModeloDatos::ModeloDatos(std::unique_ptr<BaseDatos> bd, TablaSeleccion& seleccion,
                         std::function<void()> al_aceptar, QWidget* padre)
    : QDialog(padre),
      bd_(std::move(bd)),
      catalogo_(std::make_unique<CatalogoPorTemas>(*bd_, seleccion)) {
  QGridLayout* capa = prepara_ventana_catalogo(*this, "ModeloDatos", "Modelo de Datos",
                                               "Catálogo de Elementos", bd_->origen(), 2);
  list_temas_ = lista_catalogo(*this, *capa, 0, "ListTemas", "TEMA");
  list_temas_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_descrip_ = lista_catalogo(*this, *capa, 1, "ListDescrip", "DESCRIPCIÓN");
  capa->setColumnStretch(1, 2);
  pon_aceptar(*this, *capa, 2, std::move(al_aceptar));
  std::vector<std::string> temas;
  for (const ElementoCatalogo& tema : catalogo_->temas()) temas.push_back(tema.texto);
  llena_lista(list_temas_, temas);
  connect(list_temas_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ListTemas_Click(list_temas_->row(item), false); });
  connect(list_temas_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { ListTemas_Click(list_temas_->row(item), true); });
  connect(list_descrip_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ListDescrip_Click(list_descrip_->row(item)); });
  resize(760, 520);
}

ModeloDatos::~ModeloDatos() = default;

void ModeloDatos::ListTemas_Click(int fila, bool doble) {
  if (fila < 0) return;
  catalogo_->elige_tema(static_cast<std::size_t>(fila), doble);
  llena_lista(list_descrip_, catalogo_->entradas());
}

void ModeloDatos::ListDescrip_Click(int fila) {
  if (fila < 0) return;
  catalogo_->pulsa_entrada(static_cast<std::size_t>(fila));
  llena_lista(list_descrip_, catalogo_->entradas());
}

}  // namespace telmora
