// The file information window: the report on the open sheet, also saved beside it.
#pragma once

#include <QDialog>

#include "dialogos.h"
#include "progreso.h"
#include "sesion.h"

namespace telmora {

class BinInfo : public QDialog {
 public:
  BinInfo(const Sesion& sesion, Dialogos& dialogos, Progreso& progreso, QWidget* padre = nullptr);
};

}  // namespace telmora
