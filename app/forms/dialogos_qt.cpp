#include "dialogos_qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace telmora {

namespace {

QMessageBox::Icon icono_qt(Icono icono) {
  switch (icono) {
    case Icono::informacion:
      return QMessageBox::Information;
    case Icono::advertencia:
      return QMessageBox::Warning;
    case Icono::critico:
      return QMessageBox::Critical;
    case Icono::pregunta:
      return QMessageBox::Question;
    case Icono::ninguno:
      break;
  }
  return QMessageBox::NoIcon;
}

int pregunta(QWidget* padre, QMessageBox::Icon icono, const std::string& texto,
             const std::string& titulo, QMessageBox::StandardButtons botones) {
  // Texts carry carriage returns as line breaks.
  QString cuerpo = a_qstring(texto);
  cuerpo.replace("\r\n", "\n").replace('\r', '\n');
  QMessageBox caja(icono, titulo.empty() ? QApplication::applicationName() : a_qstring(titulo),
                   cuerpo, botones, padre);
  return caja.exec();
}

}  // namespace

std::unique_ptr<QTranslator> instala_traducciones_qt() {
  auto traductor = std::make_unique<QTranslator>();
  if (!traductor->load(QLocale(QLocale::Spanish, QLocale::Spain), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(traductor.get())) {
    return nullptr;
  }
  return traductor;
}

QString a_qstring(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string a_utf8(const QString& texto) {
  return texto.toStdString();
}

void DialogosQt::mensaje(const std::string& texto, Icono icono, const std::string& titulo) {
  pregunta(padre_, icono_qt(icono), texto, titulo, QMessageBox::Ok);
}

bool DialogosQt::si_no(const std::string& texto, const std::string& titulo) {
  return pregunta(padre_, QMessageBox::Question, texto, titulo,
                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool DialogosQt::aceptar_cancelar(const std::string& texto, const std::string& titulo) {
  return pregunta(padre_, QMessageBox::Warning, texto, titulo,
                  QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::filesystem::path> DialogosQt::elige_fichero(
    const std::string& titulo, const std::string& filtro, const std::filesystem::path& carpeta) {
  const QString elegido = QFileDialog::getOpenFileName(
      padre_, a_qstring(titulo), QString::fromStdU16String(carpeta.u16string()), a_qstring(filtro));
  if (elegido.isEmpty()) return std::nullopt;
  return std::filesystem::path(elegido.toStdU16String());
}

std::vector<std::filesystem::path> DialogosQt::elige_ficheros(
    const std::string& titulo, const std::string& filtro, const std::filesystem::path& carpeta) {
  const QStringList elegidos = QFileDialog::getOpenFileNames(
      padre_, a_qstring(titulo), QString::fromStdU16String(carpeta.u16string()), a_qstring(filtro));
  std::vector<std::filesystem::path> rutas;
  for (const QString& elegido : elegidos) rutas.emplace_back(elegido.toStdU16String());
  return rutas;
}

std::optional<std::filesystem::path> DialogosQt::elige_fichero_nuevo(
    const std::string& titulo, const std::string& filtro, const std::filesystem::path& propuesto) {
  QString filtro_elegido;
  QString elegido = QFileDialog::getSaveFileName(padre_, a_qstring(titulo),
                                                 QString::fromStdU16String(propuesto.u16string()),
                                                 a_qstring(filtro), &filtro_elegido);
  if (elegido.isEmpty()) return std::nullopt;
  // "GeoPackage (*.gpkg)": a name without an extension takes ".gpkg".
  const QRegularExpression extension(R"(\(\*(\.[^ ;)*]+))");
  const auto encontrada = extension.match(filtro_elegido);
  if (QFileInfo(elegido).suffix().isEmpty() && encontrada.hasMatch()) {
    elegido += encontrada.captured(1);
  }
  return std::filesystem::path(elegido.toStdU16String());
}

}  // namespace telmora
