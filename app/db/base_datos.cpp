#include "db/base_datos.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <array>
#include <atomic>
#include <cstring>
#include <fstream>

#include "db/access/motor_access.h"
#include "db/conexion.h"
#include "db/postgresql/motor_postgresql.h"
#include "db/sqlite/motor_sqlite.h"

namespace telmora {

namespace {

QString nombre_nuevo() {
  static std::atomic<int> contador{0};
  return QString("telmora-bd-%1").arg(++contador);
}

QString a_qstring(const std::string& texto) {
  return QString::fromUtf8(texto.data(), static_cast<qsizetype>(texto.size()));
}

std::string a_utf8(const QString& texto) {
  return texto.toUtf8().toStdString();
}

const QString* busca_sin_caso(const QStringList& nombres, const std::string& buscado) {
  const QString q = a_qstring(buscado);
  for (const QString& nombre : nombres) {
    if (nombre.compare(q, Qt::CaseInsensitive) == 0) return &nombre;
  }
  return nullptr;
}

QString texto_de(const Sentencia& sentencia, const BaseDatos::Conexion& conexion) {
  switch (conexion.dialecto) {
    case Dialecto::sqlite:
      return QString::fromUtf8(sentencia.sqlite);
    case Dialecto::access:
      return QString::fromUtf8(sentencia.access);
    case Dialecto::postgresql:
      break;
  }
  if (sentencia.postgresql == nullptr) {
    throw ErrorBaseDatos("No se puede " + std::string(sentencia.para) + " en " + conexion.origen +
                         ": esa base de datos no puede estar en un servidor PostgreSQL");
  }
  return QString::fromUtf8(sentencia.postgresql);
}

// The engine's reason on one line: servers answer in several, with tabs.
std::string una_linea(const QString& texto) {
  return a_utf8(texto.simplified());
}

QStringList nombres_de(const QSqlRecord& registro) {
  QStringList nombres;
  for (int i = 0; i < registro.count(); ++i) nombres << registro.fieldName(i);
  return nombres;
}

}  // namespace

void asegura_nucleo_qt() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char nombre[] = "telmora";
  static char* argv[] = {nombre, nullptr};
  static QCoreApplication aplicacion(argc, argv);
}

BaseDatos::Conexion::Conexion(const char* driver, std::string origen_, Dialecto dialecto_,
                              bool escribible_)
    : origen(std::move(origen_)), dialecto(dialecto_), escribible(escribible_) {
  asegura_nucleo_qt();
  bd = QSqlDatabase::addDatabase(driver, nombre_nuevo());
  if (!bd.isValid()) {
    throw ErrorBaseDatos("No se puede abrir " + origen + ": falta el controlador " + driver +
                         " de Qt");
  }
}

BaseDatos::Conexion::~Conexion() {
  const QString nombre = bd.connectionName();
  bd.close();
  bd = QSqlDatabase();
  QSqlDatabase::removeDatabase(nombre);
}

QVariant a_qvariant(const Valor& valor) {
  if (const auto* entero = std::get_if<std::int64_t>(&valor)) {
    return QVariant(static_cast<qlonglong>(*entero));
  }
  if (const auto* real = std::get_if<double>(&valor)) return QVariant(*real);
  if (const auto* texto = std::get_if<std::string>(&valor)) return QVariant(a_qstring(*texto));
  if (const auto* bytes = std::get_if<Bytes>(&valor)) {
    return QVariant(QByteArray(reinterpret_cast<const char*>(bytes->data()),
                               static_cast<qsizetype>(bytes->size())));
  }
  return QVariant(QMetaType(QMetaType::QString));
}

Valor de_qvariant(const QVariant& valor) {
  if (!valor.isValid() || valor.isNull()) return std::monostate{};
  switch (valor.typeId()) {
    case QMetaType::Bool:
      return std::int64_t{valor.toBool() ? 1 : 0};
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
      return std::int64_t{valor.toLongLong()};
    case QMetaType::ULongLong:
      return static_cast<std::int64_t>(valor.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
      return valor.toDouble();
    case QMetaType::QByteArray: {
      const QByteArray bytes = valor.toByteArray();
      return Bytes(bytes.begin(), bytes.end());
    }
    case QMetaType::QDate:
      return a_utf8(valor.toDate().toString(Qt::ISODate));
    case QMetaType::QDateTime:
      return a_utf8(valor.toDateTime().toString("yyyy-MM-dd HH:mm:ss"));
    default:
      return a_utf8(valor.toString());
  }
}

void falla_bd(const std::string& mensaje, const QSqlError& error) {
  std::string razon = una_linea(error.text());
  if (razon.empty()) razon = "error desconocido del motor de bases de datos";
  throw ErrorBaseDatos(mensaje + ": " + razon);
}

QSqlQuery ejecuta_texto(BaseDatos::Conexion& conexion, const QString& texto,
                        const std::vector<Valor>& valores, const std::string& para) {
  QSqlQuery consulta(conexion.bd);
  consulta.setForwardOnly(true);
  const std::string mensaje = "Error al " + para + " en " + conexion.origen;
  if (!consulta.prepare(texto)) falla_bd(mensaje, consulta.lastError());
  for (const Valor& valor : valores) consulta.addBindValue(a_qvariant(valor));
  if (!consulta.exec()) falla_bd(mensaje, consulta.lastError());
  return consulta;
}

std::vector<FilaBd> filas_de(QSqlQuery& consulta, const BaseDatos::Conexion& conexion,
                             const std::string& para) {
  std::vector<FilaBd> filas;
  const int columnas = consulta.record().count();
  while (consulta.next()) {
    FilaBd fila;
    fila.reserve(static_cast<std::size_t>(columnas));
    for (int i = 0; i < columnas; ++i) fila.push_back(de_qvariant(consulta.value(i)));
    filas.push_back(std::move(fila));
  }
  if (consulta.lastError().isValid()) {
    falla_bd("Error al " + para + " en " + conexion.origen, consulta.lastError());
  }
  return filas;
}

std::string identificador_sql(std::string_view nombre) {
  std::string citado = "\"";
  for (const char c : nombre) citado += c == '"' ? std::string("\"\"") : std::string(1, c);
  return citado + "\"";
}

QSqlQuery crea_tabla(BaseDatos::Conexion& destino, const QString& tabla,
                     const std::vector<ColumnaNueva>& columnas) {
  auto identificador = [](const QString& nombre) {
    return QString::fromStdString(identificador_sql(nombre.toStdString()));
  };
  QStringList definiciones, nombres, marcas;
  for (const ColumnaNueva& columna : columnas) {
    definiciones << identificador(columna.nombre) + " " + columna.tipo;
    nombres << identificador(columna.nombre);
    marcas << "?";
  }
  const QString nombre = identificador(tabla);
  const std::string mensaje = "Error al copiar la tabla " + a_utf8(tabla) + " en " + destino.origen;
  QSqlQuery orden(destino.bd);
  if (!orden.exec("CREATE TABLE " + nombre + " (" + definiciones.join(", ") + ")")) {
    falla_bd(mensaje, orden.lastError());
  }
  QSqlQuery insercion(destino.bd);
  if (!insercion.prepare("INSERT INTO " + nombre + " (" + nombres.join(", ") + ") VALUES (" +
                         marcas.join(",") + ")")) {
    falla_bd(mensaje, insercion.lastError());
  }
  return insercion;
}

void inserta(QSqlQuery& insercion, const FilaBd& fila, const std::string& origen) {
  for (std::size_t i = 0; i < fila.size(); ++i) {
    insercion.bindValue(static_cast<int>(i), a_qvariant(fila[i]));
  }
  if (!insercion.exec()) falla_bd("Error al copiar una fila en " + origen, insercion.lastError());
}

FormatoFichero identifica_fichero(const std::filesystem::path& ruta) {
  std::array<char, 20> cabecera{};
  std::ifstream entrada(ruta, std::ios::binary);
  if (!entrada.read(cabecera.data(), cabecera.size())) return FormatoFichero::otro;
  if (std::memcmp(cabecera.data(), "SQLite format 3\0", 16) == 0) return FormatoFichero::sqlite;
  // Jet and ACE files begin with a page-type word and the engine's name.
  if (std::memcmp(cabecera.data() + 4, "Standard Jet DB\0", 16) == 0 ||
      std::memcmp(cabecera.data() + 4, "Standard ACE DB\0", 16) == 0) {
    return FormatoFichero::access;
  }
  return FormatoFichero::otro;
}

bool es_conexion_postgresql(std::string_view origen) {
  return origen.starts_with("postgresql://") || origen.starts_with("postgres://");
}

BaseDatos BaseDatos::abre(const std::string& origen, const OpcionesApertura& opciones) {
  if (es_conexion_postgresql(origen)) return BaseDatos(abre_postgresql(origen, opciones.escritura));
  const auto ruta = ruta_desde_texto(origen);
  if (!existe_archivo(ruta)) throw ErrorFicheroInexistente(ruta);
  switch (identifica_fichero(ruta)) {
    case FormatoFichero::sqlite:
      return BaseDatos(abre_fichero_sqlite(ruta, opciones.escritura));
    case FormatoFichero::access:
      return BaseDatos(abre_fichero_access(ruta, opciones));
    case FormatoFichero::otro:
      break;
  }
  throw ErrorBaseDatos("No se puede abrir " + origen +
                       ": no es una base de datos SQLite ni Access (o no se puede leer)");
}

BaseDatos::BaseDatos(std::unique_ptr<Conexion> conexion) : conexion_(std::move(conexion)) {}
BaseDatos::BaseDatos(BaseDatos&&) noexcept = default;
BaseDatos& BaseDatos::operator=(BaseDatos&&) noexcept = default;
BaseDatos::~BaseDatos() = default;

const std::string& BaseDatos::origen() const {
  return conexion_->origen;
}

Dialecto BaseDatos::dialecto() const {
  return conexion_->dialecto;
}

std::vector<std::string> BaseDatos::tablas() const {
  std::vector<std::string> nombres;
  for (const QString& nombre : conexion_->bd.tables()) {
    if (!nombre.startsWith("sqlite_")) nombres.push_back(a_utf8(nombre));
  }
  return nombres;
}

std::optional<NombresTabla> BaseDatos::busca_tabla(const std::string& tabla,
                                                   const std::vector<std::string>& columnas) const {
  if (dialecto() == Dialecto::postgresql)
    return busca_tabla_postgresql(*conexion_, tabla, columnas);
  // A file's engine compares names without regard to case itself.
  const QStringList tablas = conexion_->bd.tables();
  const QString* nombre = busca_sin_caso(tablas, tabla);
  if (nombre == nullptr) return std::nullopt;
  const QStringList existentes = nombres_de(conexion_->bd.record(*nombre));
  auto cita = [&](const QString& n) {
    return dialecto() == Dialecto::access ? "[" + a_utf8(n) + "]" : identificador_sql(a_utf8(n));
  };
  NombresTabla nombres{cita(*nombre), {}};
  for (const std::string& columna : columnas) {
    const QString* existente = busca_sin_caso(existentes, columna);
    nombres.columnas.push_back(existente == nullptr ? std::string() : cita(*existente));
  }
  return nombres;
}

void BaseDatos::exige(const std::vector<TablaRequerida>& tablas) const {
  for (const TablaRequerida& tabla : tablas) {
    const auto nombres = busca_tabla(tabla.nombre, tabla.columnas);
    if (!nombres) {
      throw ErrorBaseDatos("La base de datos " + origen() + " no tiene la tabla \"" + tabla.nombre +
                           "\"");
    }
    for (std::size_t i = 0; i < tabla.columnas.size(); ++i) {
      if (nombres->columnas[i].empty()) {
        throw ErrorBaseDatos("La tabla \"" + tabla.nombre + "\" de " + origen() +
                             " no tiene la columna \"" + tabla.columnas[i] + "\"");
      }
    }
  }
}

std::vector<FilaBd> BaseDatos::consulta(const Sentencia& sentencia,
                                        const std::vector<Valor>& valores) const {
  QSqlQuery consulta =
      ejecuta_texto(*conexion_, texto_de(sentencia, *conexion_), valores, sentencia.para);
  return filas_de(consulta, *conexion_, sentencia.para);
}

void BaseDatos::lee_en_instantanea(const std::function<void()>& lectura) const {
  QSqlDatabase& bd = conexion_->bd;
  if (dialecto() == Dialecto::access) return lectura();
  const std::string mensaje = "Error al leer " + origen();
  if (!bd.transaction()) falla_bd(mensaje, bd.lastError());
  try {
    if (dialecto() == Dialecto::postgresql) {
      QSqlQuery nivel(bd);
      if (!nivel.exec("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY")) {
        falla_bd(mensaje, nivel.lastError());
      }
    }
    lectura();
  } catch (...) {
    bd.rollback();
    throw;
  }
  // Nothing was written: ending the transaction only lets the snapshot go.
  if (!bd.commit()) falla_bd(mensaje, bd.lastError());
}

std::int64_t BaseDatos::ejecuta(const Sentencia& sentencia, const std::vector<Valor>& valores) {
  const std::string mensaje = "Error al " + std::string(sentencia.para) + " en " + origen();
  if (!conexion_->escribible) {
    throw ErrorEscrituraBd(mensaje + ": la base de datos está abierta solo para leer");
  }
  try {
    return ejecuta_texto(*conexion_, texto_de(sentencia, *conexion_), valores, sentencia.para)
        .numRowsAffected();
  } catch (const ErrorEscrituraBd&) {
    throw;
  } catch (const ErrorBaseDatos& error) {
    throw ErrorEscrituraBd(error.what());
  }
}

std::int64_t BaseDatos::ejecuta_en_una_fila(const Sentencia& sentencia,
                                            const std::vector<Valor>& valores) {
  QSqlDatabase& bd = conexion_->bd;
  const std::string mensaje = "Error al " + std::string(sentencia.para) + " en " + origen();
  if (conexion_->escribible && !bd.transaction()) {
    throw ErrorEscrituraBd(mensaje + ": " + una_linea(bd.lastError().text()));
  }
  std::int64_t cambiadas = 0;
  try {
    cambiadas = ejecuta(sentencia, valores);
  } catch (...) {
    bd.rollback();
    throw;
  }
  if (cambiadas != 1) {
    bd.rollback();
  } else if (!bd.commit()) {
    const QSqlError error = bd.lastError();
    bd.rollback();
    throw ErrorEscrituraBd(mensaje + ": " + una_linea(error.text()));
  }
  return cambiadas;
}

}  // namespace telmora
