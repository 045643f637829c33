// GLib first: mdbtools.h would include it inside an extern "C" block, which C++ rejects.
#include <glib.h>
#include <mdbtools.h>

#include <QSqlQuery>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "db/access/motor_access.h"
#include "db/conexion.h"

namespace telmora {

namespace {

// The largest memo or OLE value read (a damaged length must not exhaust the memory).
constexpr std::size_t kMaximoLargo = 256u << 20;

struct CierraMdb {
  void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct LiberaTabla {
  void operator()(MdbTableDef* tabla) const { mdb_free_tabledef(tabla); }
};
struct LiberaTexto {
  void operator()(char* texto) const { g_free(texto); }
};
using TextoMdb = std::unique_ptr<char, LiberaTexto>;

std::string texto_de(TextoMdb texto) {
  return texto ? std::string(texto.get()) : std::string();
}

// Dates are days since 1899-12-30: the whole part counts the days (negative before that day)
// and the magnitude of the fraction is the time of day.
std::string texto_fecha(double valor) {
  const double entero = std::trunc(valor);
  auto dias = static_cast<long long>(entero);
  auto segundos = std::llround(std::fabs(valor - entero) * 86400.0);
  if (segundos >= 86400) segundos -= 86400, ++dias;
  // Civil date of a count of days since 1970-01-01 in the proleptic Gregorian calendar.
  const long long z = dias - 25569 + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long dia_era = z - era * 146097;
  const long long anyo_era = (dia_era - dia_era / 1460 + dia_era / 36524 - dia_era / 146096) / 365;
  const long long dia_anyo = dia_era - (365 * anyo_era + anyo_era / 4 - anyo_era / 100);
  const long long mp = (5 * dia_anyo + 2) / 153;
  const long long dia = dia_anyo - (153 * mp + 2) / 5 + 1;
  const long long mes = mp < 10 ? mp + 3 : mp - 9;
  const long long anyo = anyo_era + era * 400 + (mes <= 2 ? 1 : 0);
  std::array<char, 128> texto{};
  std::snprintf(texto.data(), texto.size(), "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", anyo, mes,
                dia, segundos / 3600, segundos / 60 % 60, segundos % 60);
  return texto.data();
}

// Access's dates run from the year 100 to 9999; a value outside stays a number.
bool es_fecha_valida(double valor) {
  return std::isfinite(valor) && valor >= -657434.0 && valor < 2958466.0;
}

double real_de_simple(float valor) {
  // The single's shortest decimal form, so that 0.1 stays 0.1 and not 0.100000001490116.
  std::array<char, 32> texto{};
  const auto [fin, error] = std::to_chars(texto.data(), texto.data() + texto.size(), valor);
  double doble = valor;
  if (error == std::errc()) std::from_chars(texto.data(), fin, doble);
  return doble;
}

const char* tipo_sqlite(int tipo) {
  switch (tipo) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
      return "INTEGER";
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
      return "REAL";
    case MDB_NUMERIC:
      return "NUMERIC";
    case MDB_BINARY:
    case MDB_OLE:
      return "BLOB";
    case MDB_DATETIME:
      return "DATETIME";
    default:
      return "TEXT";
  }
}

// The bytes a fixed-size type occupies.
int tamano_fijo(int tipo) {
  switch (tipo) {
    case MDB_BYTE:
      return 1;
    case MDB_INT:
      return 2;
    case MDB_LONGINT:
    case MDB_COMPLEX:
    case MDB_FLOAT:
      return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
      return 8;
    case MDB_REPID:
      return 16;
    case MDB_NUMERIC:
      return 17;
    case MDB_MEMO:
    case MDB_OLE:
      return MDB_MEMO_OVERHEAD;
    default:
      return 0;
  }
}

class LectorTabla {
 public:
  LectorTabla(MdbHandle* mdb, MdbTableDef* tabla, std::string origen)
      : mdb_(mdb), tabla_(tabla), origen_(std::move(origen)), campos_(tabla->num_cols) {}

  MdbColumn* columna(unsigned int i) const {
    return static_cast<MdbColumn*>(g_ptr_array_index(tabla_->columns, i));
  }

  // The row that mdb_fetch_row has just read, one value per column in column order.
  FilaBd fila() {
    int inicio = 0;
    size_t largo = 0;
    if (mdb_find_row(mdb_, static_cast<int>(tabla_->cur_row) - 1, &inicio, &largo) != 0) danada();
    inicio &= 0x1fff;
    const int leidos = mdb_crack_row(tabla_, inicio, largo, campos_.data());
    if (leidos < 0) danada();
    FilaBd fila(tabla_->num_cols);
    for (unsigned int i = 0; i < tabla_->num_cols; ++i) {
      const MdbField& campo = campos_[i];
      if (campo.colnum < 0 || static_cast<unsigned int>(campo.colnum) >= tabla_->num_cols) danada();
      fila[static_cast<std::size_t>(campo.colnum)] = valor(*columna(campo.colnum), campo);
    }
    return fila;
  }

 private:
  [[noreturn]] void danada() const {
    throw ErrorBaseDatos("No se puede leer " + origen_ + ": la tabla \"" + tabla_->name +
                         "\" tiene una fila dañada");
  }

  Valor valor(MdbColumn& columna, const MdbField& campo) {
    if (columna.col_type == MDB_BOOL) return std::int64_t{campo.is_null ? 0 : 1};
    if (campo.is_null) return std::monostate{};
    const int inicio = campo.start, largo = campo.siz;
    if (inicio < 0 || largo < 0 || inicio + largo > mdb_->fmt->pg_size ||
        largo < tamano_fijo(columna.col_type)) {
      danada();
    }
    unsigned char* pagina = mdb_->pg_buf;
    switch (columna.col_type) {
      case MDB_BYTE:
        return std::int64_t{pagina[inicio]};
      case MDB_INT:
        return std::int64_t{static_cast<std::int16_t>(mdb_get_int16(pagina, inicio))};
      case MDB_LONGINT:
      case MDB_COMPLEX:
        return std::int64_t{static_cast<std::int32_t>(mdb_get_int32(pagina, inicio))};
      case MDB_MONEY: {
        // Ten-thousandths in a little-endian 64-bit integer.
        std::uint64_t bits = 0;
        for (int b = 7; b >= 0; --b) bits = bits << 8 | pagina[inicio + b];
        return static_cast<double>(static_cast<std::int64_t>(bits)) / 10000.0;
      }
      case MDB_FLOAT:
        return real_de_simple(mdb_get_single(pagina, inicio));
      case MDB_DOUBLE:
        return mdb_get_double(pagina, inicio);
      case MDB_DATETIME: {
        const double dias = mdb_get_double(pagina, inicio);
        if (!es_fecha_valida(dias)) return dias;
        return texto_fecha(dias);
      }
      case MDB_NUMERIC:
        return numerico(columna, inicio);
      case MDB_BINARY:
        return Bytes(pagina + inicio, pagina + inicio + largo);
      case MDB_OLE:
        return ole(columna, inicio, largo);
      case MDB_MEMO:
        prepara_memo(inicio, largo);
        [[fallthrough]];
      default:
        return texto_de(TextoMdb(mdb_col_to_string(mdb_, pagina, inicio, columna.col_type, largo)));
    }
  }

  Valor numerico(const MdbColumn& columna, int inicio) {
    const std::string texto = texto_de(
        TextoMdb(mdb_numeric_to_string(mdb_, inicio, columna.col_scale, columna.col_prec)));
    const Valor valor = texto;
    const auto numero = numero_de(valor);
    if (!numero) return valor;
    if (columna.col_scale == 0 && std::fabs(*numero) < 9e15) {
      return static_cast<std::int64_t>(*numero);
    }
    return *numero;
  }

  // Memo text is converted into a buffer of the handle's bind size: make room for the whole
  // text (each stored byte gives at most three bytes of UTF-8).
  void prepara_memo(int inicio, int largo) {
    const std::size_t declarado =
        static_cast<std::size_t>(mdb_get_int32(mdb_->pg_buf, inicio)) & 0x3fffffffu;
    const std::size_t bytes = std::max<std::size_t>(declarado, static_cast<std::size_t>(largo));
    if (bytes > kMaximoLargo) danada();
    mdb_set_bind_size(mdb_, std::max<std::size_t>(MDB_BIND_SIZE, 3 * bytes + 64));
  }

  Bytes ole(MdbColumn& columna, int inicio, int largo) {
    std::array<unsigned char, MDB_MEMO_OVERHEAD> cabecera{};
    std::memcpy(cabecera.data(), mdb_->pg_buf + inicio, cabecera.size());
    const std::size_t declarado =
        static_cast<std::size_t>(mdb_get_int32(cabecera.data(), 0)) & 0x3fffffffu;
    if (declarado > kMaximoLargo) danada();
    std::vector<unsigned char> trozo(2 * MDB_PGSIZE);
    columna.bind_ptr = trozo.data();
    columna.cur_value_start = inicio;
    columna.cur_value_len = largo;
    Bytes datos;
    std::size_t leidos = mdb_ole_read(mdb_, &columna, cabecera.data(), trozo.size());
    while (leidos > 0 && leidos <= trozo.size() && datos.size() <= declarado) {
      datos.insert(datos.end(), trozo.begin(), trozo.begin() + static_cast<long>(leidos));
      leidos = mdb_ole_read_next(mdb_, &columna, cabecera.data());
    }
    columna.bind_ptr = nullptr;
    return datos;
  }

  MdbHandle* mdb_;
  MdbTableDef* tabla_;
  std::string origen_;
  std::vector<MdbField> campos_;
};

void copia_tabla(MdbHandle* mdb, MdbCatalogEntry* entrada, BaseDatos::Conexion& destino) {
  const std::unique_ptr<MdbTableDef, LiberaTabla> tabla(mdb_read_table(entrada));
  if (tabla == nullptr || mdb_read_columns(tabla.get()) == nullptr) {
    throw ErrorBaseDatos("No se puede leer " + destino.origen + ": la tabla \"" +
                         entrada->object_name + "\" está dañada");
  }
  if (tabla->num_cols == 0) return;
  LectorTabla lector(mdb, tabla.get(), destino.origen);
  std::vector<ColumnaNueva> columnas;
  for (unsigned int i = 0; i < tabla->num_cols; ++i) {
    const MdbColumn* columna = lector.columna(i);
    columnas.push_back({QString::fromUtf8(columna->name), tipo_sqlite(columna->col_type)});
  }
  QSqlQuery insercion = crea_tabla(destino, QString::fromUtf8(tabla->name), columnas);
  mdb_rewind_table(tabla.get());
  while (mdb_fetch_row(tabla.get())) inserta(insercion, lector.fila(), destino.origen);
}

}  // namespace

void copia_access_mdb(const std::filesystem::path& ruta, BaseDatos::Conexion& destino) {
  const std::unique_ptr<MdbHandle, CierraMdb> mdb(mdb_open(ruta.c_str(), MDB_NOFLAGS));
  if (mdb == nullptr) {
    throw ErrorBaseDatos("No se puede abrir " + destino.origen +
                         ": no es una base de datos Access que se pueda leer");
  }
  if (mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr) {
    throw ErrorBaseDatos("No se puede leer " + destino.origen +
                         ": su catálogo de tablas está dañado o cifrado");
  }
  if (!destino.bd.transaction())
    falla_bd("Error al copiar " + destino.origen, destino.bd.lastError());
  for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
    auto* entrada = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entrada->object_type == MDB_TABLE && mdb_is_user_table(entrada)) {
      copia_tabla(mdb.get(), entrada, destino);
    }
  }
  if (!destino.bd.commit()) falla_bd("Error al copiar " + destino.origen, destino.bd.lastError());
}

}  // namespace telmora
