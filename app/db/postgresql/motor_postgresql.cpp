#include "db/postgresql/motor_postgresql.h"

#include <QStringList>
#include <algorithm>
#include <cctype>
#include <charconv>

#include "db/conexion.h"

namespace telmora {

namespace {

// The message names the connection without its settings, which might hold a password.
[[noreturn]] void conexion_mala(const std::string& texto, const std::string& razon) {
  throw ErrorBaseDatos("La conexión " + texto.substr(0, texto.find('?')) +
                       " no es válida: " + razon);
}

[[noreturn]] void lleva_contrasena() {
  throw ErrorBaseDatos(
      "Una conexión a PostgreSQL no puede llevar la contraseña: póngala en el fichero de "
      "contraseñas del usuario (~/.pgpass, o el que nombre PGPASSFILE)");
}

int valor_hexadecimal(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "%2F" and the like decoded; a "%" not followed by two hexadecimal digits is an error.
std::string decodifica(std::string_view parte, const std::string& texto) {
  std::string decodificada;
  for (std::size_t i = 0; i < parte.size(); ++i) {
    if (parte[i] != '%') {
      decodificada += parte[i];
      continue;
    }
    const int alto = i + 2 < parte.size() ? valor_hexadecimal(parte[i + 1]) : -1;
    const int bajo = alto >= 0 ? valor_hexadecimal(parte[i + 2]) : -1;
    if (bajo < 0) conexion_mala(texto, "un \"%\" sin dos cifras hexadecimales detrás");
    decodificada += static_cast<char>(alto * 16 + bajo);
    i += 2;
  }
  return decodificada;
}

int puerto_de(std::string_view cifras, const std::string& texto) {
  int puerto = 0;
  const auto [fin, error] = std::from_chars(cifras.data(), cifras.data() + cifras.size(), puerto);
  if (cifras.empty() || error != std::errc{} || fin != cifras.data() + cifras.size() ||
      puerto < 1 || puerto > 65535) {
    conexion_mala(texto, "el puerto debe ser un número de 1 a 65535");
  }
  return puerto;
}

void lee_servidor(std::string_view parte, DatosConexionPg& datos, const std::string& texto) {
  if (parte.starts_with('[')) {  // an IPv6 address
    const auto cierre = parte.find(']');
    if (cierre == std::string_view::npos) conexion_mala(texto, "falta el \"]\" de la dirección");
    datos.servidor = std::string(parte.substr(1, cierre - 1));
    const auto resto = parte.substr(cierre + 1);
    if (resto.empty()) return;
    if (!resto.starts_with(':')) conexion_mala(texto, "sobra texto tras \"]\"");
    datos.puerto = puerto_de(resto.substr(1), texto);
    return;
  }
  const auto dos_puntos = parte.rfind(':');
  datos.servidor = decodifica(parte.substr(0, dos_puntos), texto);
  if (dos_puntos != std::string_view::npos) {
    datos.puerto = puerto_de(parte.substr(dos_puntos + 1), texto);
  }
}

bool es_nombre_de_ajuste(const std::string& nombre) {
  return !nombre.empty() && std::all_of(nombre.begin(), nombre.end(),
                                        [](char c) { return (c >= 'a' && c <= 'z') || c == '_'; });
}

void lee_ajustes(std::string_view parte, DatosConexionPg& datos, const std::string& texto) {
  while (!parte.empty()) {
    const auto fin = parte.find('&');
    const std::string_view ajuste = parte.substr(0, fin);
    parte = fin == std::string_view::npos ? std::string_view{} : parte.substr(fin + 1);
    const auto igual = ajuste.find('=');
    if (igual == std::string_view::npos) conexion_mala(texto, "un ajuste sin \"=\"");
    const std::string nombre = decodifica(ajuste.substr(0, igual), texto);
    if (nombre == "password") lleva_contrasena();
    if (!es_nombre_de_ajuste(nombre)) conexion_mala(texto, "el ajuste \"" + nombre + "\"");
    std::string valor = decodifica(ajuste.substr(igual + 1), texto);
    // Qt hands the settings to libpq separated by ";".
    if (valor.find(';') != std::string::npos) conexion_mala(texto, "un \";\" en un ajuste");
    datos.ajustes.emplace_back(nombre, std::move(valor));
  }
}

// libpq's quoting of a setting's value.
QString entre_comillas(const std::string& valor) {
  QString texto = QString::fromStdString(valor);
  texto.replace("\\", "\\\\").replace("'", "\\'");
  return "'" + texto + "'";
}

bool tiene_ajuste(const DatosConexionPg& datos, const char* nombre) {
  return std::any_of(datos.ajustes.begin(), datos.ajustes.end(),
                     [nombre](const auto& ajuste) { return ajuste.first == nombre; });
}

// The tables of a name (in lower case) in the schemas of the search path, the first schema first,
// each with its columns in their order; a table without columns gives one row with a null column.
constexpr const char* kTablasDelNombre =
    "SELECT n.nspname, c.relname, a.attname FROM pg_catalog.pg_class c "
    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "LEFT JOIN pg_catalog.pg_attribute a "
    "ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
    "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND lower(c.relname) = lower(?) "
    "AND n.nspname = ANY (current_schemas(false)) "
    "ORDER BY array_position(current_schemas(false), n.nspname), c.relname, a.attnum";

[[noreturn]] void nombre_ambiguo(const BaseDatos::Conexion& conexion, const std::string& que,
                                 const std::string& uno, const std::string& otro) {
  throw ErrorBaseDatos("La base de datos " + conexion.origen + " tiene " + que + " \"" + uno +
                       "\" y \"" + otro +
                       "\", que solo se distinguen por las mayúsculas: no se sabe cuál usar");
}

}  // namespace

std::optional<NombresTabla> busca_tabla_postgresql(BaseDatos::Conexion& conexion,
                                                   const std::string& tabla,
                                                   const std::vector<std::string>& columnas) {
  const std::string para = "buscar la tabla " + tabla;
  QSqlQuery consulta = ejecuta_texto(conexion, kTablasDelNombre, {tabla}, para);
  const std::vector<FilaBd> filas = filas_de(consulta, conexion, para);
  if (filas.empty()) return std::nullopt;
  const std::string esquema = texto_celda(filas[0][0]), nombre = texto_celda(filas[0][1]);
  std::vector<std::string> existentes;
  for (const FilaBd& fila : filas) {
    if (texto_celda(fila[0]) != esquema) break;
    if (texto_celda(fila[1]) != nombre)
      nombre_ambiguo(conexion, "las tablas", nombre, texto_celda(fila[1]));
    if (std::holds_alternative<std::string>(fila[2])) existentes.push_back(texto_celda(fila[2]));
  }
  NombresTabla nombres{identificador_sql(esquema) + "." + identificador_sql(nombre), {}};
  for (const std::string& columna : columnas) {
    const QString buscada = QString::fromStdString(columna);
    std::string encontrada;
    for (const std::string& existente : existentes) {
      if (QString::fromStdString(existente).compare(buscada, Qt::CaseInsensitive) != 0) continue;
      if (!encontrada.empty())
        nombre_ambiguo(conexion, "en " + nombre + " las columnas", encontrada, existente);
      encontrada = existente;
    }
    nombres.columnas.push_back(encontrada.empty() ? std::string() : identificador_sql(encontrada));
  }
  return nombres;
}

DatosConexionPg interpreta_conexion_pg(const std::string& texto) {
  if (!es_conexion_postgresql(texto)) conexion_mala(texto, "debe empezar por postgresql://");
  std::string_view resto(texto);
  resto.remove_prefix(resto.find("://") + 3);
  // A password in the user part is refused before anything else is looked at.
  const std::string_view autoridad = resto.substr(0, resto.find_first_of("/?"));
  if (autoridad.substr(0, autoridad.rfind('@') + 1).find(':') != std::string_view::npos) {
    lleva_contrasena();
  }
  DatosConexionPg datos;
  if (const auto pregunta = resto.find('?'); pregunta != std::string_view::npos) {
    lee_ajustes(resto.substr(pregunta + 1), datos, texto);
    resto = resto.substr(0, pregunta);
  }
  if (const auto barra = resto.find('/'); barra != std::string_view::npos) {
    datos.base = decodifica(resto.substr(barra + 1), texto);
    resto = resto.substr(0, barra);
  }
  if (const auto arroba = resto.rfind('@'); arroba != std::string_view::npos) {
    datos.usuario = decodifica(resto.substr(0, arroba), texto);
    resto = resto.substr(arroba + 1);
  }
  lee_servidor(resto, datos, texto);
  return datos;
}

std::unique_ptr<BaseDatos::Conexion> abre_postgresql(const std::string& texto, bool escritura) {
  const DatosConexionPg datos = interpreta_conexion_pg(texto);
  auto conexion =
      std::make_unique<BaseDatos::Conexion>("QPSQL", texto, Dialecto::postgresql, escritura);
  QSqlDatabase& bd = conexion->bd;
  bd.setHostName(QString::fromStdString(datos.servidor));
  bd.setPort(datos.puerto);
  bd.setUserName(QString::fromStdString(datos.usuario));
  bd.setDatabaseName(QString::fromStdString(datos.base));
  QStringList ajustes;
  for (const auto& [nombre, valor] : datos.ajustes) {
    ajustes << QString::fromStdString(nombre) + "=" + entre_comillas(valor);
  }
  // An unreachable server must not hold the operator for minutes.
  if (!tiene_ajuste(datos, "connect_timeout")) ajustes << "connect_timeout=10";
  if (!tiene_ajuste(datos, "application_name")) ajustes << "application_name=telmora";
  bd.setConnectOptions(ajustes.join(";"));
  if (!bd.open()) falla_bd("No se puede conectar con " + texto, bd.lastError());
  return conexion;
}

}  // namespace telmora
