// The command console: one line typed and run on Enter, then the console closes.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace telmora {

class Ordenes : public QDialog {
 public:
  // `ejecuta` runs the typed line; an empty line only closes the console.
  Ordenes(std::function<void(const std::string&)> ejecuta, QWidget* padre = nullptr);

 private:
  QLineEdit* text1_;
};

}  // namespace telmora
