// The start form: the sheet to open, its unit and the tolerance, with the folder and file
// browsers. Its start button checks the files and opens the viewer.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>

#include "ajustes.h"
#include "carpetas.h"
#include "dialogos.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace telmora {

class Visor;

class Form1 : public QWidget {
 public:
  // `dir_datos` is the fixed folder looked in when the chosen folder lacks a file.
  Form1(Dialogos& dialogos, std::filesystem::path dir_datos, QWidget* padre = nullptr);
  ~Form1() override;

  // Shows a folder in the browsers and, when given, selects a file of it.
  void abre_en(const QString& carpeta, const QString& fichero = {});

  // The installation's settings file that the viewer reads (the installed one by default).
  void pon_fichero_instalacion(std::filesystem::path fichero) {
    fichero_instalacion_ = std::move(fichero);
  }

  // The viewer opened by the start button, if any.
  Visor* visor() { return visor_.get(); }

  void Command7_Click();

 protected:
  void closeEvent(QCloseEvent* evento) override;

 private:
  void Drive1_Change();
  void Dirlist_Change(const QString& carpeta);
  void File1_Click(const QString& nombre);
  void Command1_Click();
  void cierra_visor();
  // Opens a viewer on a sheet in place of the one open, if any.
  void abre_visor(const Ajustes& ajustes);

  Dialogos& dialogos_;
  std::filesystem::path dir_datos_;
  std::filesystem::path fichero_instalacion_ = fichero_instalacion();
  QString carpeta_;
  QLineEdit* text1_;
  QLineEdit* text2_;
  QLineEdit* text3_;
  QLineEdit* text6_;
  QRadioButton* option1_;
  QRadioButton* option2_;
  QComboBox* drive1_;
  QListWidget* dirlist_;
  QListWidget* file1_;
  std::unique_ptr<Visor> visor_;
};

}  // namespace telmora
