#include "bin_info.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ajustes.h"
#include "dialogos_qt.h"
#include "edicion/informe_bin.h"
#include "fichero.h"

namespace telmora {

BinInfo::BinInfo(const Sesion& sesion, Dialogos& dialogos, Progreso& progreso, QWidget* padre)
    : QDialog(padre) {
  setObjectName("BinInfo");
  setWindowTitle("Información del fichero :");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* capa = new QVBoxLayout(this);
  auto* list1 = new QListWidget(this);
  list1->setObjectName("List1");
  QFont fuente("Courier New");
  fuente.setStyleHint(QFont::Monospace);
  list1->setFont(fuente);
  capa->addWidget(list1);
  resize(520, 640);

  const Ajustes& ajustes = sesion.ajustes;
  const auto lineas =
      informe_bin(sesion.hoja, sesion.tabla, texto_directorio(ajustes.dir_trabajo),
                  ruta_texto(ajustes.fich_entrada.filename()), ajustes.uds, progreso);
  for (const std::string& linea : lineas) list1->addItem(a_qstring(linea));
  try {
    escribe_lineas(ruta_con_sufijo(ajustes.fich_entrada, kSufijoInforme), lineas);
  } catch (const ErrorTelmora& error) {
    dialogos.mensaje(error.what(), Icono::critico);
  }
}

}  // namespace telmora
