#include "form1.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "ajustes.h"
#include "dialogos_qt.h"
#include "diario.h"
#include "fichero.h"
#include "texto.h"
#include "visor.h"

namespace telmora {

namespace {

QString con_separador(QString carpeta) {
  if (!carpeta.endsWith('/') && !carpeta.endsWith(QDir::separator())) carpeta += QDir::separator();
  return carpeta;
}

std::filesystem::path a_ruta(const QString& texto) {
  return std::filesystem::path(texto.toStdU16String());
}

}  // namespace

Form1::Form1(Dialogos& dialogos, std::filesystem::path dir_datos, QWidget* padre)
    : QWidget(padre), dialogos_(dialogos), dir_datos_(std::move(dir_datos)) {
  setObjectName("Form1");
  setWindowTitle("Visor VEKT");
  auto* capa = new QGridLayout(this);

  auto etiqueta = [this](const char* nombre, const char* texto) {
    auto* l = new QLabel(texto, this);
    l->setObjectName(nombre);
    return l;
  };
  auto caja = [this](const char* nombre) {
    auto* t = new QLineEdit(this);
    t->setObjectName(nombre);
    return t;
  };
  text1_ = caja("Text1");
  text2_ = caja("Text2");
  text6_ = caja("Text6");
  text6_->setReadOnly(true);
  text3_ = caja("Text3");
  text3_->setText("0.5");
  capa->addWidget(etiqueta("Label1", "Fichero entrada:"), 0, 0);
  capa->addWidget(text1_, 0, 1, 1, 2);
  capa->addWidget(etiqueta("Label2", "Fichero salida:"), 1, 0);
  capa->addWidget(text2_, 1, 1, 1, 2);
  capa->addWidget(etiqueta("Label3", "Directorio de trabajo:"), 2, 0);
  capa->addWidget(text6_, 2, 1, 1, 2);
  capa->addWidget(etiqueta("Label4", "Tolerancia Tentativo/Igualdad"), 3, 0);
  capa->addWidget(text3_, 3, 1);

  auto* unidades = new QHBoxLayout();
  unidades->addWidget(etiqueta("Label5", "Unidades del fichero : "));
  option1_ = new QRadioButton("cm", this);
  option1_->setObjectName("Option1");
  option1_->setChecked(true);
  option2_ = new QRadioButton("mm", this);
  option2_->setObjectName("Option2");
  unidades->addWidget(option1_);
  unidades->addWidget(option2_);
  unidades->addStretch();
  capa->addLayout(unidades, 4, 0, 1, 3);

  drive1_ = new QComboBox(this);
  drive1_->setObjectName("Drive1");
  for (const QFileInfo& unidad : QDir::drives()) drive1_->addItem(unidad.absoluteFilePath());
  dirlist_ = new QListWidget(this);
  dirlist_->setObjectName("Dirlist");
  file1_ = new QListWidget(this);
  file1_->setObjectName("File1");
  capa->addWidget(drive1_, 5, 0);
  capa->addWidget(dirlist_, 6, 0);
  capa->addWidget(file1_, 5, 1, 2, 2);

  auto* command1 = new QPushButton("Elegir Fichero", this);
  command1->setObjectName("Command1");
  auto* command7 = new QPushButton("Visor VEKT", this);
  command7->setObjectName("Command7");
  command7->setDefault(true);
  capa->addWidget(command1, 7, 1);
  capa->addWidget(command7, 7, 2);

  connect(drive1_, &QComboBox::activated, this, [this] { Drive1_Change(); });
  connect(dirlist_, &QListWidget::itemActivated, this, [this](QListWidgetItem* elemento) {
    const QString destino = elemento->data(Qt::UserRole).toString();
    Dirlist_Change(destino);
  });
  connect(file1_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* elemento) { File1_Click(elemento->text()); });
  connect(file1_, &QListWidget::itemDoubleClicked, this, [this] { Command7_Click(); });
  connect(command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(command7, &QPushButton::clicked, this, [this] { Command7_Click(); });

  Dirlist_Change(QDir::currentPath());
  resize(640, 480);
}

Form1::~Form1() = default;

void Form1::abre_en(const QString& carpeta, const QString& fichero) {
  Dirlist_Change(carpeta);
  if (!fichero.isEmpty()) {
    const auto encontrados = file1_->findItems(fichero, Qt::MatchExactly);
    if (!encontrados.isEmpty()) file1_->setCurrentItem(encontrados.front());
    File1_Click(fichero);
  }
}

void Form1::Drive1_Change() {
  Dirlist_Change(con_separador(drive1_->currentText()));
}

void Form1::Dirlist_Change(const QString& carpeta) {
  QDir dir(carpeta);
  if (!dir.exists()) return;
  carpeta_ = dir.absolutePath();
  dirlist_->clear();
  auto anade = [this](const QString& texto, const QString& destino) {
    auto* elemento = new QListWidgetItem(texto, dirlist_);
    elemento->setData(Qt::UserRole, destino);
  };
  anade(carpeta_, carpeta_);
  if (!dir.isRoot()) anade("..", QDir::cleanPath(carpeta_ + "/.."));
  for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    anade(sub, dir.absoluteFilePath(sub));
  }
  file1_->clear();
  file1_->addItems(dir.entryList({"*.bin"}, QDir::Files, QDir::Name));
  text6_->setText(con_separador(QDir::toNativeSeparators(carpeta_)));
}

void Form1::File1_Click(const QString& nombre) {
  text1_->setText(nombre);
  text2_->setText(a_qstring(nombre_salida_sugerido(a_utf8(nombre))));
}

void Form1::Command1_Click() {
  const auto elegido = dialogos_.elige_fichero("Seleccinar fichero .bin a visualizar",
                                               "Fichero BIN (*.bin)", a_ruta(carpeta_));
  if (!elegido) return;
  const QString ruta = QString::fromStdU16String(elegido->u16string());
  Dirlist_Change(QFileInfo(ruta).absolutePath());
  File1_Click(QFileInfo(ruta).fileName());
}

void Form1::Command7_Click() {
  if (text1_->text().isEmpty()) {
    dialogos_.mensaje("No se ha elegido ningún fichero", Icono::critico);
    return;
  }
  Ajustes ajustes;
  try {
    ajustes = busca_ficheros(a_ruta(carpeta_), a_utf8(text1_->text()), dir_datos_);
  } catch (const ErrorFicheroInexistente& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
    return;
  }
  try {
    const std::string aviso = recupera_hoja(ajustes.fich_entrada);
    if (!aviso.empty()) dialogos_.mensaje(aviso, Icono::informacion);
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
    return;
  }
  ajustes.uds = option1_->isChecked() ? kUdsCentimetros : kUdsMilimetros;
  ajustes.fichero_instalacion = fichero_instalacion_;
  const std::string texto_tolerancia = a_utf8(text3_->text());
  double tolerancia = 0;
  const bool numero = lee_real(texto_tolerancia, tolerancia);
  if (!numero || tolerancia < 0) {
    dialogos_.mensaje("La tolerancia \"" + texto_tolerancia + "\" " +
                          (numero ? "tiene que ser cero o mayor" : "no es un número") +
                          ": escriba la tolerancia en metros, como 0.5",
                      Icono::critico);
    return;
  }
  ajustes.tolerancia_tentativo = tolerancia;
  abre_visor(ajustes);
}

void Form1::abre_visor(const Ajustes& ajustes) {
  auto visor = std::make_unique<Visor>(ajustes, dialogos_);
  if (!visor->carga()) return;
  visor->al_abrir = [this] {
    show();
    QTimer::singleShot(0, this, [this] { cierra_visor(); });
  };
  visor->al_salir = [] { QTimer::singleShot(0, qApp, &QApplication::quit); };
  // A new sheet opens with the same tables, unit and tolerance, once the viewer that asked has
  // finished its work.
  visor->al_abrir_hoja = [this](const std::filesystem::path& bin) {
    Ajustes nuevos = visor_->ajustes();
    nuevos.fich_entrada = bin;
    QTimer::singleShot(0, this, [this, nuevos] { abre_visor(nuevos); });
  };
  visor->al_cambiar_carpeta = [this](const std::filesystem::path& carpeta) {
    Dirlist_Change(QString::fromStdU16String(carpeta.u16string()));
  };
  visor_ = std::move(visor);
  // Sized to the screen first: where no window manager honours the maximized state, the viewer
  // still fills the screen instead of shrinking to its controls' size.
  if (const QScreen* pantalla = visor_->screen()) {
    visor_->setGeometry(pantalla->availableGeometry());
  }
  visor_->showMaximized();
  hide();
}

void Form1::cierra_visor() {
  visor_.reset();
}

void Form1::closeEvent(QCloseEvent* evento) {
  QWidget::closeEvent(evento);
  QApplication::quit();
}

}  // namespace telmora
