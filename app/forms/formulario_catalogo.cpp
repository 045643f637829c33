#include "formulario_catalogo.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "dialogos_qt.h"

namespace telmora {

QGridLayout* prepara_ventana_catalogo(QDialog& ventana, const char* nombre,
                                      const char* titulo_ventana, const char* titulo,
                                      const std::string& ruta, int columnas) {
  ventana.setObjectName(nombre);
  ventana.setWindowTitle(titulo_ventana);
  ventana.setAttribute(Qt::WA_DeleteOnClose);
  auto* capa = new QGridLayout(&ventana);
  auto* etiqueta = new QLabel(titulo, &ventana);
  etiqueta->setObjectName("Label1");
  QFont grande = etiqueta->font();
  grande.setPointSizeF(grande.pointSizeF() * 1.4);
  grande.setBold(true);
  etiqueta->setFont(grande);
  capa->addWidget(etiqueta, 0, 0, 1, columnas);
  auto* bdd = new QLineEdit(a_qstring(ruta), &ventana);
  bdd->setObjectName("BDD");
  bdd->setReadOnly(true);
  capa->addWidget(bdd, 1, 0, 1, columnas);
  return capa;
}

QListWidget* lista_catalogo(QDialog& ventana, QGridLayout& capa, int columna, const char* nombre,
                            const char* etiqueta) {
  auto* titulo = new QLabel(etiqueta, &ventana);
  titulo->setObjectName(QString("Label") + nombre);
  capa.addWidget(titulo, 2, columna);
  auto* lista = new QListWidget(&ventana);
  lista->setObjectName(nombre);
  lista->setSelectionMode(QAbstractItemView::MultiSelection);
  capa.addWidget(lista, 3, columna);
  return lista;
}

void pon_aceptar(QDialog& ventana, QGridLayout& capa, int columnas,
                 std::function<void()> al_aceptar) {
  auto* aceptar = new QPushButton("Aceptar", &ventana);
  aceptar->setObjectName("Aceptar");
  aceptar->setAutoDefault(false);
  capa.addWidget(aceptar, 4, columnas - 1, Qt::AlignRight);
  QObject::connect(aceptar, &QPushButton::clicked, &ventana, [&ventana, al_aceptar] {
    al_aceptar();
    ventana.close();
  });
}

void llena_lista(QListWidget* lista, const std::vector<std::string>& textos) {
  const QSignalBlocker bloqueo(lista);
  lista->clear();
  for (const std::string& texto : textos) lista->addItem(a_qstring(texto));
}

void llena_lista(QListWidget* lista, const std::vector<EntradaLista>& entradas) {
  const QSignalBlocker bloqueo(lista);
  // The same items only change their selection, so that the list keeps its scroll position.
  bool iguales = lista->count() == static_cast<int>(entradas.size());
  for (std::size_t i = 0; iguales && i < entradas.size(); ++i) {
    iguales = lista->item(static_cast<int>(i))->text() == a_qstring(entradas[i].texto);
  }
  if (!iguales) {
    lista->clear();
    for (const EntradaLista& entrada : entradas) lista->addItem(a_qstring(entrada.texto));
  }
  for (std::size_t i = 0; i < entradas.size(); ++i) {
    lista->item(static_cast<int>(i))->setSelected(entradas[i].seleccionada);
  }
}

std::vector<std::size_t> filas_elegidas(const QListWidget* lista) {
  std::vector<std::size_t> filas;
  for (const QListWidgetItem* item : lista->selectedItems()) {
    filas.push_back(static_cast<std::size_t>(lista->row(item)));
  }
  std::sort(filas.begin(), filas.end());
  return filas;
}

}  // namespace telmora
