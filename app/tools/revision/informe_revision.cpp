#include "revision/informe_revision.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <tuple>
#include <variant>

#include "fichero.h"
#include "texto.h"

namespace telmora {

namespace {

// ---- Text of the rows ----

constexpr std::string_view kEstadoError = "error: ";

int gravedad(const FilaRevision& fila) {
  if (!fila.recuentos) return 0;
  return fila.correcta() ? 2 : 1;
}

bool es_base64(std::string_view texto) {
  return std::all_of(texto.begin(), texto.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/' || c == '=';
  });
}

// ---- CSV ----

std::string campo_csv(std::string_view texto) {
  if (texto.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(texto);
  std::string campo = "\"";
  for (const char c : texto) {
    if (c == '"') campo += '"';
    campo += c;
  }
  return campo + "\"";
}

// ---- JSON ----

std::string cadena_json(std::string_view texto) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string salida = "\"";
  for (const char c : texto) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      salida += '\\';
      salida += c;
    } else if (u < 0x20) {
      salida += "\\u00";
      salida += kHex[u >> 4];
      salida += kHex[u & 0xF];
    } else {
      salida += c;
    }
  }
  return salida + "\"";
}

// A member's value: text, a whole number, or null.
using ValorJson = std::variant<std::monostate, std::string, std::int64_t>;

// Reads one JSON object whose members are texts, whole numbers or null: what a row is made of.
class LectorJson {
 public:
  explicit LectorJson(std::string_view texto) : texto_(texto) {}

  std::map<std::string, ValorJson> objeto() {
    std::map<std::string, ValorJson> miembros;
    espera('{');
    if (!consume('}')) {
      do {
        std::string nombre = cadena();
        espera(':');
        miembros[std::move(nombre)] = valor();
      } while (consume(','));
      espera('}');
    }
    salta_blancos();
    if (pos_ != texto_.size()) falla("hay algo más tras el objeto");
    return miembros;
  }

 private:
  [[noreturn]] void falla(const std::string& que) const {
    throw ErrorTelmora("no es una fila de revisión en JSON (" + que + ", en el carácter " +
                       std::to_string(pos_ + 1) + ")");
  }

  void salta_blancos() {
    while (pos_ < texto_.size() && (texto_[pos_] == ' ' || texto_[pos_] == '\t' ||
                                    texto_[pos_] == '\n' || texto_[pos_] == '\r')) {
      ++pos_;
    }
  }
  bool consume(char c) {
    salta_blancos();
    if (pos_ < texto_.size() && texto_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  void espera(char c) {
    if (!consume(c)) falla(std::string("se esperaba '") + c + "'");
  }

  ValorJson valor() {
    salta_blancos();
    if (pos_ >= texto_.size()) falla("falta un valor");
    const char c = texto_[pos_];
    if (c == '"') return cadena();
    if (texto_.substr(pos_, 4) == "null") {
      pos_ += 4;
      return std::monostate{};
    }
    if (c == '-' || (c >= '0' && c <= '9')) return entero();
    falla("valor no admitido");
  }

  std::int64_t entero() {
    std::int64_t n = 0;
    const char* inicio = texto_.data() + pos_;
    const auto [fin, error] = std::from_chars(inicio, texto_.data() + texto_.size(), n);
    if (error != std::errc()) falla("número no válido");
    pos_ += static_cast<std::size_t>(fin - inicio);
    if (pos_ < texto_.size() &&
        (texto_[pos_] == '.' || texto_[pos_] == 'e' || texto_[pos_] == 'E')) {
      falla("número no entero");
    }
    return n;
  }

  std::uint32_t cuatro_hex() {
    if (texto_.size() - pos_ < 4) falla("escape \\u incompleto");
    std::uint32_t punto = 0;
    const auto [fin, error] =
        std::from_chars(texto_.data() + pos_, texto_.data() + pos_ + 4, punto, 16);
    if (error != std::errc() || fin != texto_.data() + pos_ + 4) falla("escape \\u no válido");
    pos_ += 4;
    return punto;
  }

  std::string cadena() {
    salta_blancos();
    if (pos_ >= texto_.size() || texto_[pos_] != '"') falla("se esperaba un texto");
    ++pos_;
    std::string salida;
    while (true) {
      if (pos_ >= texto_.size()) falla("texto sin terminar");
      const char c = texto_[pos_++];
      if (c == '"') return salida;
      if (static_cast<unsigned char>(c) < 0x20) falla("carácter de control en un texto");
      if (c != '\\') {
        salida += c;
        continue;
      }
      if (pos_ >= texto_.size()) falla("texto sin terminar");
      const char e = texto_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          salida += e;
          break;
        case 'b':
          salida += '\b';
          break;
        case 'f':
          salida += '\f';
          break;
        case 'n':
          salida += '\n';
          break;
        case 'r':
          salida += '\r';
          break;
        case 't':
          salida += '\t';
          break;
        case 'u': {
          std::uint32_t punto = cuatro_hex();
          if (punto >= 0xD800 && punto < 0xDC00 && texto_.substr(pos_, 2) == "\\u") {
            pos_ += 2;
            const std::uint32_t bajo = cuatro_hex();
            if (bajo < 0xDC00 || bajo >= 0xE000) falla("par sustituto no válido");
            punto = 0x10000 + ((punto - 0xD800) << 10) + (bajo - 0xDC00);
          } else if (punto >= 0xD800 && punto < 0xE000) {
            falla("par sustituto no válido");
          }
          anade_utf8(salida, static_cast<char32_t>(punto));
          break;
        }
        default:
          falla("escape no válido");
      }
    }
  }

  std::string_view texto_;
  std::size_t pos_ = 0;
};

const ValorJson* miembro(const std::map<std::string, ValorJson>& miembros, const std::string& n) {
  const auto encontrado = miembros.find(n);
  return encontrado == miembros.end() ? nullptr : &encontrado->second;
}

std::string texto_de(const std::map<std::string, ValorJson>& miembros, const std::string& n) {
  const ValorJson* v = miembro(miembros, n);
  if (v == nullptr || !std::holds_alternative<std::string>(*v)) {
    throw ErrorTelmora("no es una fila de revisión en JSON (falta el texto \"" + n + "\")");
  }
  return std::get<std::string>(*v);
}

// ---- HTML ----

std::string html(std::string_view texto) {
  std::string salida;
  for (const char c : texto) {
    switch (c) {
      case '&':
        salida += "&amp;";
        break;
      case '<':
        salida += "&lt;";
        break;
      case '>':
        salida += "&gt;";
        break;
      case '"':
        salida += "&quot;";
        break;
      case '\'':
        salida += "&#39;";
        break;
      default:
        salida += c;
    }
  }
  return salida;
}

// The page takes nothing from outside itself: its pictures are data, its style and script
// are in it.
constexpr std::string_view kPolitica =
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src data:; "
    "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">";

constexpr std::string_view kEstilo = R"(
body{font-family:sans-serif;margin:1em;color:#222}
table{border-collapse:collapse;font-size:13px;margin-bottom:1em}
th,td{border:1px solid #ccc;padding:2px 5px}
td.n{text-align:right}
td.n0{color:#aaa}
#hojas th[data-tipo]{cursor:pointer;background:#eee;position:sticky;top:0}
#hojas th[aria-sort=ascending]::after{content:" \25B2"}
#hojas th[aria-sort=descending]::after{content:" \25BC"}
tr.error td{background:#fdd}
tr.con-errores td.estado{color:#b00}
tr.correcta td.estado{color:#070}
img.miniatura{width:160px;cursor:zoom-in;display:block}
img.miniatura.grande{width:auto;max-width:95vw;cursor:zoom-out}
)";

// Sorts the table by the column whose header is clicked (numbers from the highest the first
// time, texts from the lowest; a second click reverses), ties kept in the worst-first order;
// a click on a picture shows it whole or small again.
constexpr std::string_view kGuion = R"(
(function () {
  var tabla = document.getElementById("hojas");
  var cuerpo = tabla.tBodies[0];
  var cabeceras = tabla.tHead.rows[0].cells;
  var actual = null, ascendente = true;
  function ordena(th) {
    var c = th.cellIndex, numerica = th.getAttribute("data-tipo") === "numero";
    ascendente = th === actual ? !ascendente : !numerica;
    actual = th;
    var filas = Array.prototype.slice.call(cuerpo.rows);
    filas.sort(function (a, b) {
      var x = a.cells[c].getAttribute("data-v"), y = b.cells[c].getAttribute("data-v"), r;
      r = numerica ? Number(x) - Number(y) : (x < y ? -1 : x > y ? 1 : 0);
      if (!ascendente) r = -r;
      return r || Number(a.getAttribute("data-orden")) - Number(b.getAttribute("data-orden"));
    });
    filas.forEach(function (f) { cuerpo.appendChild(f); });
    for (var i = 0; i < cabeceras.length; ++i) cabeceras[i].removeAttribute("aria-sort");
    th.setAttribute("aria-sort", ascendente ? "ascending" : "descending");
  }
  for (var i = 0; i < cabeceras.length; ++i) {
    if (cabeceras[i].hasAttribute("data-tipo")) {
      cabeceras[i].addEventListener("click", function (e) { ordena(e.currentTarget); });
    }
  }
  cuerpo.addEventListener("click", function (e) {
    if (e.target.tagName === "IMG") e.target.classList.toggle("grande");
  });
})();
)";

std::string clase_de_fila(const FilaRevision& fila) {
  if (!fila.recuentos) return "error";
  return fila.correcta() ? "correcta" : "con-errores";
}

std::string celda_numero(std::optional<std::int64_t> valor) {
  if (!valor) return "<td class=\"n\" data-v=\"-1\"></td>";
  const std::string n = std::to_string(*valor);
  return std::string("<td class=\"n") + (*valor == 0 ? " n0" : "") + "\" data-v=\"" + n + "\">" +
         n + "</td>";
}

std::string fila_html(const FilaRevision& fila, std::size_t orden) {
  std::string s =
      "<tr class=\"" + clase_de_fila(fila) + "\" data-orden=\"" + std::to_string(orden) + "\">";
  s += "<td data-v=\"" + html(fila.hoja) + "\">" + html(fila.hoja) + "</td>";
  s += "<td class=\"estado\" data-v=\"" + std::to_string(gravedad(fila)) + " " +
       html(fila.estado()) + "\">" + html(fila.estado()) + "</td>";
  s += celda_numero(fila.recuentos ? std::optional(hallazgos(*fila.recuentos)) : std::nullopt);
  for (const ColumnaRecuento& c : kColumnasRecuento) {
    s += celda_numero(fila.recuentos ? std::optional((*fila.recuentos).*c.campo) : std::nullopt);
  }
  s += "<td class=\"imagen\">";
  if (!fila.imagen.empty() && es_base64(fila.imagen)) {
    s += "<img class=\"miniatura\" alt=\"" + html(fila.hoja) + "\" src=\"data:image/png;base64," +
         fila.imagen + "\">";
  }
  return s + "</td></tr>\n";
}

std::string totales_html(const std::vector<FilaRevision>& filas) {
  std::size_t correctas = 0, con_errores = 0, fallidas = 0;
  RecuentosRevision suma;
  for (const FilaRevision& fila : filas) {
    if (!fila.recuentos) {
      ++fallidas;
      continue;
    }
    ++(fila.correcta() ? correctas : con_errores);
    for (const ColumnaRecuento& c : kColumnasRecuento) suma.*c.campo += (*fila.recuentos).*c.campo;
  }
  std::string s =
      "<table id=\"totales\"><tr><th>hojas</th><th>correctas</th><th>con errores</th>"
      "<th>sin revisar</th><th>hallazgos</th>";
  for (const ColumnaRecuento& c : kColumnasRecuento) s += "<th>" + std::string(c.nombre) + "</th>";
  s += "</tr>\n<tr>" + celda_numero(static_cast<std::int64_t>(filas.size())) +
       celda_numero(static_cast<std::int64_t>(correctas)) +
       celda_numero(static_cast<std::int64_t>(con_errores)) +
       celda_numero(static_cast<std::int64_t>(fallidas)) + celda_numero(hallazgos(suma));
  for (const ColumnaRecuento& c : kColumnasRecuento) s += celda_numero(suma.*c.campo);
  return s + "</tr></table>\n";
}

}  // namespace

FilaRevision FilaRevision::con_error(std::string hoja, std::string motivo) {
  FilaRevision fila;
  fila.hoja = std::move(hoja);
  fila.motivo = motivo.empty() ? "sin motivo conocido" : std::move(motivo);
  return fila;
}

std::string FilaRevision::estado() const {
  if (!recuentos) return std::string(kEstadoError) + motivo;
  return correcta() ? "correcta" : "con errores";
}

void ordena_por_hoja(std::vector<FilaRevision>& filas) {
  std::stable_sort(filas.begin(), filas.end(),
                   [](const FilaRevision& a, const FilaRevision& b) { return a.hoja < b.hoja; });
}

void ordena_peor_primero(std::vector<FilaRevision>& filas) {
  const auto clave = [](const FilaRevision& f) {
    return std::make_tuple(gravedad(f), f.recuentos ? -hallazgos(*f.recuentos) : 0,
                           std::string_view(f.hoja));
  };
  std::stable_sort(filas.begin(), filas.end(), [&](const FilaRevision& a, const FilaRevision& b) {
    return clave(a) < clave(b);
  });
}

std::string resumen_csv(const std::vector<FilaRevision>& filas) {
  std::string s = "hoja";
  for (const ColumnaRecuento& c : kColumnasRecuento) s += "," + std::string(c.nombre);
  s += ",estado\n";
  for (const FilaRevision& fila : filas) {
    s += campo_csv(fila.hoja);
    for (const ColumnaRecuento& c : kColumnasRecuento) {
      s += ',';
      if (fila.recuentos) s += std::to_string((*fila.recuentos).*c.campo);
    }
    s += "," + campo_csv(fila.estado()) + "\n";
  }
  return s;
}

std::string fila_json(const FilaRevision& fila, bool con_imagen) {
  std::string s = "{\"hoja\":" + cadena_json(fila.hoja);
  for (const ColumnaRecuento& c : kColumnasRecuento) {
    s += ",\"" + std::string(c.nombre) +
         "\":" + (fila.recuentos ? std::to_string((*fila.recuentos).*c.campo) : "null");
  }
  s += ",\"estado\":" + cadena_json(fila.estado());
  if (con_imagen && !fila.imagen.empty()) s += ",\"imagen\":" + cadena_json(fila.imagen);
  return s + "}";
}

std::string resumen_json(const std::vector<FilaRevision>& filas) {
  std::string s = "[";
  for (std::size_t i = 0; i < filas.size(); ++i) {
    s += (i == 0 ? "\n" : ",\n") + fila_json(filas[i], false);
  }
  return s + "\n]\n";
}

FilaRevision fila_de_json(std::string_view texto) {
  const auto miembros = LectorJson(texto).objeto();
  FilaRevision fila;
  fila.hoja = texto_de(miembros, "hoja");
  const std::string estado = texto_de(miembros, "estado");
  if (estado.rfind(kEstadoError, 0) == 0) {
    return FilaRevision::con_error(fila.hoja, estado.substr(kEstadoError.size()));
  }
  RecuentosRevision recuentos;
  for (const ColumnaRecuento& c : kColumnasRecuento) {
    const ValorJson* v = miembro(miembros, std::string(c.nombre));
    if (v == nullptr || !std::holds_alternative<std::int64_t>(*v) ||
        std::get<std::int64_t>(*v) < 0) {
      throw ErrorTelmora("no es una fila de revisión en JSON (\"" + std::string(c.nombre) +
                         "\" no es un recuento)");
    }
    recuentos.*c.campo = std::get<std::int64_t>(*v);
  }
  fila.recuentos = recuentos;
  if (fila.estado() != estado) {
    throw ErrorTelmora("no es una fila de revisión en JSON (el estado \"" + estado +
                       "\" no es el de sus recuentos)");
  }
  if (const ValorJson* imagen = miembro(miembros, "imagen")) {
    if (!std::holds_alternative<std::string>(*imagen) ||
        !es_base64(std::get<std::string>(*imagen))) {
      throw ErrorTelmora("no es una fila de revisión en JSON (la imagen no está en base64)");
    }
    fila.imagen = std::get<std::string>(*imagen);
  }
  return fila;
}

std::string informe_html(const std::vector<FilaRevision>& filas) {
  const std::string titulo =
      "Revisión de " + std::to_string(filas.size()) + (filas.size() == 1 ? " hoja" : " hojas");
  std::string s = "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n" +
                  std::string(kPolitica) + "\n<title>" + html(titulo) + "</title>\n<style>" +
                  std::string(kEstilo) + "</style>\n</head>\n<body>\n<h1>" + html(titulo) +
                  "</h1>\n";
  s += totales_html(filas);
  s += "<p>Una pulsación en una cabecera ordena por esa columna, y otra la invierte; una en una "
       "imagen la muestra entera.</p>\n";
  s += "<table id=\"hojas\">\n<thead><tr><th data-tipo=\"texto\">hoja</th>"
       "<th data-tipo=\"texto\">estado</th><th data-tipo=\"numero\">hallazgos</th>";
  for (const ColumnaRecuento& c : kColumnasRecuento) {
    s += "<th data-tipo=\"numero\">" + std::string(c.nombre) + "</th>";
  }
  s += "<th>imagen</th></tr></thead>\n<tbody>\n";
  for (std::size_t i = 0; i < filas.size(); ++i) s += fila_html(filas[i], i);
  return s + "</tbody>\n</table>\n<script>" + std::string(kGuion) + "</script>\n</body>\n</html>\n";
}

void escribe_informe_revision(const std::filesystem::path& carpeta,
                              std::vector<FilaRevision> filas) {
  std::error_code error;
  std::filesystem::create_directories(carpeta, error);
  if (error) {
    throw ErrorTelmora("No se puede crear la carpeta " + ruta_texto(carpeta) + ": " +
                       error.message());
  }
  CarpetaNueva nueva(carpeta);
  ordena_por_hoja(filas);
  escribe_fichero_atomico(nueva.ruta() / kResumenCsv, resumen_csv(filas));
  escribe_fichero_atomico(nueva.ruta() / kResumenJson, resumen_json(filas));
  ordena_peor_primero(filas);
  escribe_fichero_atomico(nueva.ruta() / kInformeHtml, informe_html(filas));
  nueva.confirma();
}

}  // namespace telmora
