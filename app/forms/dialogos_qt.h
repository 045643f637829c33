// Dialogs shown with message boxes and the file dialog.
#pragma once

#include <QTranslator>
#include <QWidget>
#include <memory>

#include "dialogos.h"

namespace telmora {

class DialogosQt : public Dialogos {
 public:
  explicit DialogosQt(QWidget* padre = nullptr) : padre_(padre) {}
  void mensaje(const std::string& texto, Icono icono, const std::string& titulo) override;
  bool si_no(const std::string& texto, const std::string& titulo) override;
  bool aceptar_cancelar(const std::string& texto, const std::string& titulo) override;
  std::optional<std::filesystem::path> elige_fichero(const std::string& titulo,
                                                     const std::string& filtro,
                                                     const std::filesystem::path& carpeta) override;
  std::vector<std::filesystem::path> elige_ficheros(const std::string& titulo,
                                                    const std::string& filtro,
                                                    const std::filesystem::path& carpeta) override;
  std::optional<std::filesystem::path> elige_fichero_nuevo(
      const std::string& titulo, const std::string& filtro,
      const std::filesystem::path& propuesto) override;

 private:
  QWidget* padre_;
};

// Qt's own Spanish texts for its standard dialogs and buttons ("Sí", "No", "Aceptar",
// "Cancelar" ...), installed in the application; null when the system lacks them. They stay
// while the translator returned lives.
std::unique_ptr<QTranslator> instala_traducciones_qt();

QString a_qstring(const std::string& utf8);
std::string a_utf8(const QString& texto);

}  // namespace telmora
