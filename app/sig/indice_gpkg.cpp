#include "indice_gpkg.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <span>

#include "fichero.h"

namespace telmora {

namespace {

// A node of the R-tree: its depth (read from the root only) and number of cells, then each
// cell: a 64-bit id (a feature's, or a child node's) and its box as four 32-bit floats (x from,
// x to, y from, y to), all big-endian, the rest of the node's fixed size zero.
constexpr std::size_t kCabeceraNodo = 4;
constexpr std::size_t kBytesPorCelda = 8 + 4 * 4;
constexpr const char* kExtension = "gpkg_rtree_index";
constexpr const char* kDefinicion = "http://www.geopackage.org/spec120/#extension_rtree";

struct Celda {
  std::int64_t id = 0;
  float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// The box stored for a value: a float never inside the true box.
float hacia_abajo(double valor) {
  const auto f = static_cast<float>(std::clamp(valor, double(-FLT_MAX), double(FLT_MAX)));
  return f > valor ? std::nextafter(f, -FLT_MAX) : f;
}
float hacia_arriba(double valor) {
  const auto f = static_cast<float>(std::clamp(valor, double(-FLT_MAX), double(FLT_MAX)));
  return f < valor ? std::nextafter(f, FLT_MAX) : f;
}

// Place of a cell on a Hilbert curve over a 65536 x 65536 grid.
std::uint32_t hilbert(std::uint32_t x, std::uint32_t y) {
  constexpr std::uint32_t kLado = 1u << 16;
  std::uint32_t d = 0;
  for (std::uint32_t s = kLado / 2; s > 0; s /= 2) {
    const std::uint32_t rx = (x & s) != 0, ry = (y & s) != 0;
    d += s * s * ((3 * rx) ^ ry);
    if (ry == 0) {
      if (rx == 1) {
        x = kLado - 1 - x;
        y = kLado - 1 - y;
      }
      std::swap(x, y);
    }
  }
  return d;
}

// The features' cells in the order of the Hilbert curve through their boxes' centres.
std::vector<Celda> en_orden_espacial(const std::vector<CajaRasgo>& cajas) {
  double xmin = DBL_MAX, ymin = DBL_MAX, xmax = -DBL_MAX, ymax = -DBL_MAX;
  for (const CajaRasgo& c : cajas) {
    xmin = std::min(xmin, (c.xmin + c.xmax) / 2), xmax = std::max(xmax, (c.xmin + c.xmax) / 2);
    ymin = std::min(ymin, (c.ymin + c.ymax) / 2), ymax = std::max(ymax, (c.ymin + c.ymax) / 2);
  }
  auto rejilla = [](double v, double desde, double hasta) {
    if (!(hasta > desde)) return std::uint32_t{0};
    return static_cast<std::uint32_t>(std::clamp((v - desde) / (hasta - desde), 0.0, 1.0) * 65535);
  };
  std::vector<std::pair<std::uint32_t, Celda>> ordenadas;
  ordenadas.reserve(cajas.size());
  for (const CajaRasgo& c : cajas) {
    const std::uint32_t clave = hilbert(rejilla((c.xmin + c.xmax) / 2, xmin, xmax),
                                        rejilla((c.ymin + c.ymax) / 2, ymin, ymax));
    ordenadas.push_back({clave,
                         {c.fid, hacia_abajo(c.xmin), hacia_arriba(c.xmax), hacia_abajo(c.ymin),
                          hacia_arriba(c.ymax)}});
  }
  std::stable_sort(ordenadas.begin(), ordenadas.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Celda> celdas;
  celdas.reserve(ordenadas.size());
  for (const auto& o : ordenadas) celdas.push_back(o.second);
  return celdas;
}

void pon_entero(std::string& bytes, std::size_t en, std::uint64_t valor, int ancho) {
  for (int i = 0; i < ancho; ++i) {
    bytes[en + static_cast<std::size_t>(i)] =
        static_cast<char>(valor >> (8 * (ancho - 1 - i)) & 0xFF);
  }
}

// The bytes of a node of `tamano` bytes holding these cells.
std::string nodo(std::size_t tamano, std::span<const Celda> celdas, int profundidad) {
  std::string bytes(tamano, '\0');
  pon_entero(bytes, 0, static_cast<std::uint64_t>(profundidad), 2);
  pon_entero(bytes, 2, celdas.size(), 2);
  std::size_t en = kCabeceraNodo;
  for (const Celda& c : celdas) {
    pon_entero(bytes, en, static_cast<std::uint64_t>(c.id), 8);
    std::size_t k = en + 8;
    for (const float v : {c.xmin, c.xmax, c.ymin, c.ymax}) {
      pon_entero(bytes, k, std::bit_cast<std::uint32_t>(v), 4);
      k += 4;
    }
    en += kBytesPorCelda;
  }
  return bytes;
}

Celda envolvente(std::int64_t id, std::span<const Celda> celdas) {
  Celda e{id, FLT_MAX, -FLT_MAX, FLT_MAX, -FLT_MAX};
  for (const Celda& c : celdas) {
    e.xmin = std::min(e.xmin, c.xmin), e.xmax = std::max(e.xmax, c.xmax);
    e.ymin = std::min(e.ymin, c.ymin), e.ymax = std::max(e.ymax, c.ymax);
  }
  return e;
}

// A name as an SQL identifier.
std::string identificador(const std::string& nombre) {
  std::string entre_comillas = "\"";
  for (const char c : nombre) {
    entre_comillas += c;
    if (c == '"') entre_comillas += '"';
  }
  return entre_comillas + "\"";
}

class Conexion {
 public:
  explicit Conexion(const std::filesystem::path& ruta) : ruta_(ruta) {
    if (sqlite3_open_v2(ruta_texto(ruta).c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
      falla();
    }
  }
  ~Conexion() { sqlite3_close_v2(db_); }
  Conexion(const Conexion&) = delete;
  Conexion& operator=(const Conexion&) = delete;

  void ejecuta(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) falla();
  }

  class Sentencia {
   public:
    Sentencia(Conexion& conexion, const std::string& sql) : conexion_(conexion) {
      if (sqlite3_prepare_v2(conexion.db_, sql.c_str(), -1, &sentencia_, nullptr) != SQLITE_OK) {
        conexion.falla();
      }
    }
    ~Sentencia() { sqlite3_finalize(sentencia_); }
    Sentencia(const Sentencia&) = delete;
    Sentencia& operator=(const Sentencia&) = delete;

    Sentencia& entero(int lugar, std::int64_t valor) {
      sqlite3_bind_int64(sentencia_, lugar, valor);
      return *this;
    }
    Sentencia& texto(int lugar, const std::string& valor) {
      sqlite3_bind_text(sentencia_, lugar, valor.data(), static_cast<int>(valor.size()),
                        SQLITE_TRANSIENT);
      return *this;
    }
    Sentencia& bytes(int lugar, const std::string& valor) {
      sqlite3_bind_blob(sentencia_, lugar, valor.data(), static_cast<int>(valor.size()),
                        SQLITE_TRANSIENT);
      return *this;
    }
    // Runs it; true while it gives rows. Ready to run again once it has none.
    bool paso() {
      const int resultado = sqlite3_step(sentencia_);
      if (resultado == SQLITE_ROW) return true;
      sqlite3_reset(sentencia_);
      if (resultado != SQLITE_DONE) conexion_.falla();
      return false;
    }
    std::int64_t columna(int lugar) const { return sqlite3_column_int64(sentencia_, lugar); }

   private:
    Conexion& conexion_;
    sqlite3_stmt* sentencia_ = nullptr;
  };

 private:
  [[noreturn]] void falla() {
    throw ErrorTelmora("No se puede escribir el índice espacial de " + ruta_texto(ruta_) + ": " +
                       (db_ != nullptr ? sqlite3_errmsg(db_) : "sin memoria"));
  }

  std::filesystem::path ruta_;
  sqlite3* db_ = nullptr;
};

// The triggers that keep a layer's R-tree up to date when its features change, as the
// GeoPackage's R-tree extension gives them.
std::vector<std::string> disparadores(const IndiceCapa& capa) {
  const std::string t = identificador(capa.tabla), g = identificador(capa.columna),
                    i = identificador(capa.id);
  const std::string base = "rtree_" + capa.tabla + "_" + capa.columna;
  const std::string r = identificador(base);
  const std::string caja = "ST_MinX(NEW." + g + "), ST_MaxX(NEW." + g + "),ST_MinY(NEW." + g +
                           "), ST_MaxY(NEW." + g + ")";
  const std::string pon = "INSERT OR REPLACE INTO " + r + " VALUES (NEW." + i + "," + caja + ");";
  const std::string con = "(NEW." + g + " NOTNULL AND NOT ST_IsEmpty(NEW." + g + "))";
  const std::string sin = "(NEW." + g + " ISNULL OR ST_IsEmpty(NEW." + g + "))";
  auto disparador = [&](const char* sufijo, const std::string& cuando, const std::string& cuerpo) {
    return "CREATE TRIGGER " + identificador(base + "_" + sufijo) + " " + cuando + " BEGIN " +
           cuerpo + " END";
  };
  return {
      disparador("insert",
                 "AFTER INSERT ON " + t + " WHEN (new." + g + " NOT NULL AND NOT ST_IsEmpty(NEW." +
                     g + "))",
                 pon),
      disparador(
          "update1",
          "AFTER UPDATE OF " + g + " ON " + t + " WHEN OLD." + i + " = NEW." + i + " AND " + con,
          pon),
      disparador(
          "update2",
          "AFTER UPDATE OF " + g + " ON " + t + " WHEN OLD." + i + " = NEW." + i + " AND " + sin,
          "DELETE FROM " + r + " WHERE id = OLD." + i + ";"),
      disparador("update3",
                 "AFTER UPDATE ON " + t + " WHEN OLD." + i + " != NEW." + i + " AND " + con,
                 "DELETE FROM " + r + " WHERE id = OLD." + i + "; " + pon),
      disparador("update4",
                 "AFTER UPDATE ON " + t + " WHEN OLD." + i + " != NEW." + i + " AND " + sin,
                 "DELETE FROM " + r + " WHERE id IN (OLD." + i + ", NEW." + i + ");"),
      disparador("delete", "AFTER DELETE ON " + t + " WHEN old." + g + " NOT NULL",
                 "DELETE FROM " + r + " WHERE id = OLD." + i + ";"),
  };
}

// Packs the layer's boxes into the empty R-tree just created: full leaves in Hilbert order, and
// above them full nodes of the nodes below in the same order, up to the root (node 1).
std::size_t bytes_de_nodo(Conexion& db, const std::string& arbol) {
  Conexion::Sentencia tamano(
      db, "SELECT length(data) FROM " + identificador(arbol + "_node") + " WHERE nodeno = 1");
  const auto bytes = tamano.paso() ? static_cast<std::size_t>(tamano.columna(0)) : 0;
  while (tamano.paso()) {
  }
  return bytes;
}

void llena_arbol(Conexion& db, const std::string& arbol, const std::vector<CajaRasgo>& cajas) {
  // The size the module gave the nodes of this file (its pages less a margin, up to 51 cells).
  const std::size_t bytes_nodo = bytes_de_nodo(db, arbol);
  if (bytes_nodo < kCabeceraNodo) return;
  const std::size_t maximo = (bytes_nodo - kCabeceraNodo) / kBytesPorCelda;
  if (cajas.empty() || maximo < 2) return;

  Conexion::Sentencia pon_nodo(
      db, "INSERT OR REPLACE INTO " + identificador(arbol + "_node") + " VALUES (?, ?)");
  Conexion::Sentencia pon_padre(
      db, "INSERT INTO " + identificador(arbol + "_parent") + " VALUES (?, ?)");
  std::vector<std::pair<std::int64_t, std::int64_t>> hoja_de_rasgo;  // fid, leaf
  hoja_de_rasgo.reserve(cajas.size());

  std::vector<Celda> nivel = en_orden_espacial(cajas);
  int profundidad = 0;
  std::int64_t siguiente = 2;
  // Writes a node with these cells and notes where each cell went.
  auto escribe = [&](std::int64_t numero, std::span<const Celda> celdas) {
    pon_nodo.entero(1, numero).bytes(2, nodo(bytes_nodo, celdas, numero == 1 ? profundidad : 0));
    pon_nodo.paso();
    for (const Celda& c : celdas) {
      if (profundidad == 0) {
        hoja_de_rasgo.push_back({c.id, numero});
      } else {
        pon_padre.entero(1, c.id).entero(2, numero);
        pon_padre.paso();
      }
    }
  };
  while (nivel.size() > maximo) {
    const std::size_t grupos = (nivel.size() + maximo - 1) / maximo;
    std::vector<Celda> superior;
    std::size_t desde = 0;
    for (std::size_t g = 0; g < grupos; ++g) {
      const std::size_t hasta = nivel.size() * (g + 1) / grupos;
      const std::span<const Celda> celdas(nivel.data() + desde, hasta - desde);
      escribe(siguiente, celdas);
      superior.push_back(envolvente(siguiente++, celdas));
      desde = hasta;
    }
    nivel = std::move(superior);
    ++profundidad;
  }
  escribe(1, nivel);

  std::sort(hoja_de_rasgo.begin(), hoja_de_rasgo.end());
  Conexion::Sentencia pon_rasgo(
      db, "INSERT INTO " + identificador(arbol + "_rowid") + " VALUES (?, ?)");
  for (const auto& [fid, numero] : hoja_de_rasgo) {
    pon_rasgo.entero(1, fid).entero(2, numero);
    pon_rasgo.paso();
  }
}

}  // namespace

void escribe_indices_gpkg(const std::filesystem::path& gpkg, std::vector<IndiceCapa> capas) {
  Conexion db(gpkg);
  // The file is not in its place until it is complete: nothing is lost if the machine stops.
  db.ejecuta("PRAGMA synchronous = OFF");
  db.ejecuta("BEGIN");
  db.ejecuta(
      "CREATE TABLE IF NOT EXISTS gpkg_extensions (table_name TEXT,column_name TEXT,"
      "extension_name TEXT NOT NULL,definition TEXT NOT NULL,scope TEXT NOT NULL,"
      "CONSTRAINT ge_tce UNIQUE (table_name, column_name, extension_name))");
  Conexion::Sentencia extension(db,
                                "INSERT INTO gpkg_extensions VALUES (?, ?, ?, ?, 'write-only')");
  for (const IndiceCapa& capa : capas) {
    const std::string arbol = "rtree_" + capa.tabla + "_" + capa.columna;
    db.ejecuta("CREATE VIRTUAL TABLE " + identificador(arbol) +
               " USING rtree(id, minx, maxx, miny, maxy)");
    llena_arbol(db, arbol, capa.cajas);
    for (const std::string& disparador : disparadores(capa)) db.ejecuta(disparador);
    extension.texto(1, capa.tabla)
        .texto(2, capa.columna)
        .texto(3, kExtension)
        .texto(4, kDefinicion);
    extension.paso();
  }
  db.ejecuta("COMMIT");
}

}  // namespace telmora
