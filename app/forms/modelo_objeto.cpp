#include "modelo_objeto.h"

#include <QGridLayout>
#include <QListWidget>

#include "formulario_catalogo.h"

namespace telmora {

ModeloObjeto::ModeloObjeto(std::unique_ptr<BaseDatos> bd, TablaSeleccion& seleccion,
                           std::function<void()> al_aceptar, QWidget* padre)
    : QDialog(padre),
      bd_(std::move(bd)),
      catalogo_(std::make_unique<CatalogoPorObjetos>(*bd_, seleccion)) {
  QGridLayout* capa =
      prepara_ventana_catalogo(*this, "ModeloObjeto", "Modelo de Objeto",
                               "Catálogo de Elementos por Objetos", bd_->origen(), 3);
  list_temas_ = lista_catalogo(*this, *capa, 0, "ListTemas", "OBJETO");
  list_descrip_ = lista_catalogo(*this, *capa, 1, "ListDescrip", "Atributo Enumarado");
  elementos_ = lista_catalogo(*this, *capa, 2, "Elementos", "Elementos");
  elementos_->setContextMenuPolicy(Qt::CustomContextMenu);
  elementos_->setToolTip("Botón derecho: invierte la selección de todos los elementos");
  capa->setColumnStretch(2, 2);
  pon_aceptar(*this, *capa, 3, std::move(al_aceptar));
  std::vector<std::string> objetos;
  for (const ElementoCatalogo& objeto : catalogo_->objetos()) objetos.push_back(objeto.texto);
  llena_lista(list_temas_, objetos);
  connect(list_temas_, &QListWidget::itemClicked, this, [this] { ListTemas_Click(); });
  connect(list_temas_, &QListWidget::itemDoubleClicked, this, [this] { ListTemas_DblClick(); });
  connect(list_descrip_, &QListWidget::itemClicked, this, [this] { ListDescrip_Click(); });
  connect(elementos_, &QListWidget::itemClicked, this, [this] { Elementos_Click(); });
  connect(elementos_, &QListWidget::customContextMenuRequested, this,
          [this] { invierte_elementos(); });
  resize(980, 560);
}

ModeloObjeto::~ModeloObjeto() = default;

void ModeloObjeto::ListTemas_Click() {
  std::vector<std::size_t> filas = filas_elegidas(list_temas_);
  if (filas.empty() && list_temas_->currentRow() >= 0) {
    filas.push_back(static_cast<std::size_t>(list_temas_->currentRow()));
  }
  catalogo_->elige_objetos(filas);
  llena_lista(list_descrip_, catalogo_->valores());
  llena_lista(elementos_, catalogo_->elementos());
}

void ModeloObjeto::ListTemas_DblClick() {
  list_temas_->selectAll();
  ListTemas_Click();
}

void ModeloObjeto::ListDescrip_Click() {
  elementos_->hide();
  catalogo_->elige_valores(filas_elegidas(list_descrip_));
  llena_lista(elementos_, catalogo_->elementos());
  elementos_->show();
}

void ModeloObjeto::Elementos_Click() {
  std::vector<bool> seleccion;
  for (int i = 0; i < elementos_->count(); ++i)
    seleccion.push_back(elementos_->item(i)->isSelected());
  catalogo_->marca_elementos(seleccion);
}

void ModeloObjeto::invierte_elementos() {
  catalogo_->invierte_elementos();
  llena_lista(elementos_, catalogo_->elementos());
}

}  // namespace telmora
