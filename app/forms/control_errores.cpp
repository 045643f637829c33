#include "control_errores.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "dialogos_qt.h"
#include "fichero.h"

namespace telmora {

ControlErrores::ControlErrores(const ResultadoControlErrores& resultado, QWidget* padre)
    : QDialog(padre) {
  setObjectName("ControlErrores");
  setWindowTitle("ControlErr");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* capa = new QVBoxLayout(this);
  auto* text1 = new QLineEdit(a_qstring(ruta_texto(resultado.ruta)), this);
  text1->setObjectName("Text1");
  text1->setReadOnly(true);
  capa->addWidget(text1);

  auto* tabla = new QTableWidget(static_cast<int>(resultado.filas.size()),
                                 static_cast<int>(kColumnasErrores.size()), this);
  tabla->setObjectName("DBGrid1");
  tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QStringList cabeceras;
  for (const char* columna : kColumnasErrores) cabeceras << columna;
  tabla->setHorizontalHeaderLabels(cabeceras);
  const std::set<std::size_t> cambiadas(resultado.cambiadas.begin(), resultado.cambiadas.end());
  QFont negrita = tabla->font();
  negrita.setBold(true);
  for (std::size_t fila = 0; fila < resultado.filas.size(); ++fila) {
    const FilaBd& valores = resultado.filas[fila].valores;
    for (std::size_t columna = 0; columna < valores.size(); ++columna) {
      auto* celda = new QTableWidgetItem(a_qstring(texto_celda(valores[columna])));
      if (cambiadas.contains(fila)) celda->setFont(negrita);
      tabla->setItem(static_cast<int>(fila), static_cast<int>(columna), celda);
    }
  }
  tabla->resizeColumnsToContents();
  capa->addWidget(tabla);
  resize(1000, 480);
}

}  // namespace telmora
