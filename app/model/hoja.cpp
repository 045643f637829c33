#include "hoja.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <thread>

#include "diagnostico.h"
#include "diario.h"
#include "texto.h"

namespace telmora {

namespace {

// Open addressing over 64-bit keys with a row each, sized to a power of two: a load looks up a
// key for every entity and every attribute.
class TablaDeFilas {
 public:
  // Where the key is, or the empty slot where it would go.
  struct Casilla {
    std::uint64_t clave = 0;
    std::int32_t fila = 0;
    bool ocupada = false;
  };

  explicit TablaDeFilas(std::size_t minimo = 16) : casillas_(std::bit_ceil(2 * minimo)) {}

  Casilla& busca(std::uint64_t clave) {
    std::size_t i = mezcla(clave) & (casillas_.size() - 1);
    while (casillas_[i].ocupada && casillas_[i].clave != clave)
      i = (i + 1) & (casillas_.size() - 1);
    return casillas_[i];
  }
  const Casilla* encuentra(std::uint64_t clave) const {
    std::size_t i = mezcla(clave) & (casillas_.size() - 1);
    for (; casillas_[i].ocupada; i = (i + 1) & (casillas_.size() - 1)) {
      if (casillas_[i].clave == clave) return &casillas_[i];
    }
    return nullptr;
  }
  // Fills an empty slot found by busca(); the table grows to stay at most half full.
  void ocupa(Casilla& casilla, std::uint64_t clave, std::int32_t fila) {
    casilla = {clave, fila, true};
    if (++ocupadas_ * 2 > casillas_.size()) crece();
  }

 private:
  static std::size_t mezcla(std::uint64_t clave) {
    clave ^= clave >> 33;
    clave *= 0xff51afd7ed558ccdULL;
    clave ^= clave >> 33;
    return static_cast<std::size_t>(clave);
  }

  void crece() {
    std::vector<Casilla> viejas(casillas_.size() * 2);
    viejas.swap(casillas_);
    for (const Casilla& casilla : viejas) {
      if (casilla.ocupada) busca(casilla.clave) = casilla;
    }
  }

  std::vector<Casilla> casillas_;
  std::size_t ocupadas_ = 0;
};

// The code-table rows of a load: an entity's code is resolved once per distinct raw 7-byte code,
// an attribute's record number through the table's codes that are numbers written in decimal
// (the only codes such a number, written as text, can equal).
class FilasDeTabla {
 public:
  explicit FilasDeTabla(const TablaVekt& tabla) : tabla_(tabla) {
    for (std::int32_t fila = 1; fila <= tabla.num_entradas(); ++fila) {
      const std::string& codigo = tabla.fila(fila).codigo();
      std::int64_t valor = 0;
      const auto [fin, error] =
          std::from_chars(codigo.data(), codigo.data() + codigo.size(), valor);
      if (error != std::errc() || fin != codigo.data() + codigo.size() || valor < INT32_MIN ||
          valor > INT32_MAX || std::to_string(valor) != codigo) {
        continue;
      }
      TablaDeFilas::Casilla& casilla = numeros_.busca(clave_de_numero(valor));
      if (!casilla.ocupada) numeros_.ocupa(casilla, clave_de_numero(valor), fila);  // the first
    }
  }

  std::int32_t fila_de_codigo(const std::array<char, 7>& codigo) {
    std::uint64_t clave = 0;
    std::memcpy(&clave, codigo.data(), codigo.size());
    TablaDeFilas::Casilla& casilla = codigos_.busca(clave);
    if (!casilla.ocupada) {
      const std::int32_t fila =
          tabla_.busca_codigo_bin({codigo.data(), codigo.size()}).posicion_tab;
      codigos_.ocupa(casilla, clave, fila);
      return fila;
    }
    return casilla.fila;
  }

  std::int32_t fila_de_registro(std::int32_t n_registro) const {
    const TablaDeFilas::Casilla* casilla = numeros_.encuentra(clave_de_numero(n_registro));
    return casilla == nullptr ? 0 : casilla->fila;
  }

 private:
  static std::uint64_t clave_de_numero(std::int64_t valor) {
    return static_cast<std::uint32_t>(valor);
  }

  const TablaVekt& tabla_;
  TablaDeFilas codigos_{512};
  TablaDeFilas numeros_;
};

struct Recuento {
  std::int32_t entidades = 0, c = 0, t = 0;
  std::int64_t atributos = 0;
};

// Entities lie one after the other: the bytes some way ahead of a walk are asked for before it
// gets there, across the page boundaries where the processor stops guessing by itself.
void adelanta_lectura(std::string_view fichero, std::int64_t p) {
  constexpr std::int64_t kDistancia = 2048;
#if defined(__GNUC__)
  if (p + kDistancia < static_cast<std::int64_t>(fichero.size())) {
    __builtin_prefetch(fichero.data() + p + kDistancia);
  }
#else
  (void)fichero;
  (void)p;
#endif
}

[[noreturn]] void corrupto(std::string_view fichero, std::int32_t numero, std::int64_t posicion,
                           std::int64_t previa, std::string motivo) {
  Corrupcion corrupcion;
  corrupcion.numero_entidad = numero;
  corrupcion.posicion = posicion;
  corrupcion.previa = previa;
  if (motivo.empty()) {
    // A bad kind byte: the previous entity's lengths may be what went wrong, so the search for
    // the next valid start begins just after the previous entity's start.
    auto diagnostico = BuscaEntidadNoCorrupta(fichero, previa, posicion, numero);
    corrupcion.siguiente_valida = diagnostico.siguiente_valida;
    corrupcion.detalle = std::move(diagnostico.detalle);
  } else {
    // The header is sound but its entity cannot be read: search after it.
    corrupcion.siguiente_valida = leo_byte_a_byte(fichero, posicion);
  }
  corrupcion.motivo = std::move(motivo);
  throw ErrorCorrupcion(std::move(corrupcion));
}

// Walks the file by headers and lengths, counts what the arrays will hold, and stops at the first
// position that does not hold a whole, readable entity. It reads the headers only, so that the
// arrays are then built once at their size.
Recuento cuenta_entidades(std::string_view fichero) {
  const auto longitud = static_cast<std::int64_t>(fichero.size());
  Recuento recuento;
  std::int64_t p = 0, previa = 0;
  while (p < longitud) {
    adelanta_lectura(fichero, p);
    const std::int32_t numero = recuento.entidades + 1;
    const char tipo = fichero[static_cast<std::size_t>(p)];
    if (tipo != kTipoCartografico && tipo != kTipoTexto) corrupto(fichero, numero, p, previa, {});
    if (longitud - p < kTamCabecera) {
      corrupto(fichero, numero, p, previa, "Entidad cortada por el final del fichero");
    }
    const Cabecera cabecera = lee_cabecera(fichero.data() + p);
    if (cabecera.num_puntos < 1) {
      corrupto(fichero, numero, p, previa,
               "Número de puntos no válido: " + std::to_string(cabecera.num_puntos));
    }
    const std::int64_t largo = longitud_entidad(cabecera.num_puntos, cabecera.num_atributos);
    if (largo > longitud - p) {
      corrupto(fichero, numero, p, previa, "Entidad cortada por el final del fichero");
    }
    ++recuento.entidades;
    ++(cabecera.es_texto() ? recuento.t : recuento.c);
    recuento.atributos += cabecera.num_atributos;
    previa = p;
    p += largo;
  }
  return recuento;
}

}  // namespace

std::uint32_t huella_de_cabecera(const char* cabecera) {
  std::uint64_t a = 0;
  std::uint32_t b = 0;
  std::memcpy(&a, cabecera, 8);
  std::memcpy(&b, cabecera + 8, 4);
  a &= ~std::uint64_t{0xFF00};  // the state byte
  std::uint64_t h = a * 0x9E3779B97F4A7C15ULL ^ (std::uint64_t{b} + 0x632BE59BD9B4E019ULL);
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return static_cast<std::uint32_t>(h);
}

void RangoFichero::amplia(const Rango& r) {
  if (r.xmax > xmax) xmax = r.xmax;
  if (r.ymax > ymax) ymax = r.ymax;
  if (r.xmin < xmin) xmin = r.xmin;
  if (r.ymin < ymin) ymin = r.ymin;
  if (r.zmin < zmin) zmin = r.zmin;
  if (r.zmax > zmax) zmax = r.zmax;
}

const Entidad& Hoja::entidad(std::int32_t numero) const {
  const FilaIndice& f = fila(numero);
  return f.tipo == kIndiceTipoC ? c[f.ordinal - 1] : t[f.ordinal - 1];
}

Entidad& Hoja::entidad(std::int32_t numero) {
  const FilaIndice& f = fila(numero);
  return f.tipo == kIndiceTipoC ? c[f.ordinal - 1] : t[f.ordinal - 1];
}

std::string Hoja::texto(const Entidad& e) const {
  return cp1252_a_utf8(limpia_texto(bytes_texto(e)));
}

ClaseElemento clase_elemento(std::span<const Vertice> vertices) {
  if (vertices.size() < 2) return ClaseElemento::puntual;
  const Vertice& primero = vertices.front();
  const Vertice& ultimo = vertices.back();
  return primero.x == ultimo.x && primero.y == ultimo.y ? ClaseElemento::cerrado
                                                        : ClaseElemento::abierto;
}

std::string Corrupcion::mensaje() const {
  std::string texto = "Fichero Corrupto en la entidad__: " + std::to_string(numero_entidad) +
                      "\nPosición errónea en el fichero___: " + std::to_string(posicion) +
                      "\nPosicion anterior_____________: " + std::to_string(previa) +
                      "\nPosicion válida siguiente_______: " + std::to_string(siguiente_valida);
  if (!motivo.empty()) texto += "\n" + motivo;
  return texto;
}

ErrorCorrupcion::ErrorCorrupcion(Corrupcion corrupcion)
    : ErrorTelmora(corrupcion.mensaje()), corrupcion_(std::move(corrupcion)) {}

namespace {

// From this many entities on, the index is built on a thread of its own while the entity arrays
// are built: a large sheet's load is the time of writing these arrays to memory.
constexpr std::int32_t kEntidadesEnParalelo = 1 << 16;

// The entity index and the file range, from a walk of the checked bytes.
void construye_indice(std::string_view fichero, std::int32_t entidades, Hoja& hoja) {
  std::int32_t ordinal_c = 0, ordinal_t = 0;
  std::int64_t p = 0;
  for (std::int32_t numero = 1; numero <= entidades; ++numero) {
    adelanta_lectura(fichero, p);
    const char* datos = fichero.data() + p;
    const Cabecera cabecera = lee_cabecera(datos);
    const Rango rango = lee_rango(datos + kTamCabecera);
    FilaIndice& f = hoja.indice.emplace_back();
    f.posicion = static_cast<std::int32_t>(p);
    f.toma_rango(rango);
    f.num_puntos = cabecera.num_puntos;
    f.activo = cabecera.activa() ? 1 : 0;
    f.tipo = cabecera.es_texto() ? kIndiceTipoT : kIndiceTipoC;
    f.ordinal = cabecera.es_texto() ? ++ordinal_t : ++ordinal_c;
    hoja.rango.amplia(rango);
    p += longitud_entidad(cabecera.num_puntos, cabecera.num_atributos);
  }
}

// The C and T arrays and the attributes, from a walk of the checked bytes; progress follows it.
void construye_entidades(std::string_view fichero, std::int32_t entidades, const TablaVekt& tabla,
                         Progreso& progreso, Hoja& hoja) {
  FilasDeTabla filas(tabla);
  ContadorPorcentaje avance(progreso, static_cast<std::int64_t>(fichero.size()));
  std::int64_t p = 0;
  for (std::int32_t numero = 1; numero <= entidades; ++numero) {
    adelanta_lectura(fichero, p);
    const char* datos = fichero.data() + p;
    const Cabecera cabecera = lee_cabecera(datos);
    const std::int64_t vertices = p + kTamFijoEntidad;
    (cabecera.es_texto() ? hoja.t : hoja.c)
        .push_back({static_cast<std::uint32_t>(vertices / kTamVertice),
                    static_cast<std::uint32_t>(hoja.atributos.size()),
                    filas.fila_de_codigo(cabecera.codigo), numero, huella_de_cabecera(datos)});
    const char* atributos = fichero.data() + vertices + kTamVertice * cabecera.num_vertices() +
                            cabecera.num_bytes_texto();
    for (int i = 0; i < cabecera.num_atributos; ++i) {
      Atributo& a = hoja.atributos.emplace_back(lee_atributo(atributos + kTamAtributo * i));
      a.posicion_tab = filas.fila_de_registro(a.n_registro);
    }
    p += longitud_entidad(cabecera.num_puntos, cabecera.num_atributos);
    avance.avanza(p);
  }
}

// Builds the sheet over the file's bytes, which it takes. The bytes are walked once to check
// them and count what the arrays will hold, then the arrays are built at their size.
Hoja carga(ImagenFichero bytes, const TablaVekt& tabla, Progreso& progreso) {
  if (bytes.tamano() > static_cast<std::size_t>(INT32_MAX)) {
    throw ErrorTelmora(
        "El fichero ocupa más de 2 GB y las posiciones de sus entidades no caben "
        "en el índice");
  }
  const std::string_view fichero(bytes.datos(), bytes.tamano());
  const Recuento recuento = cuenta_entidades(fichero);

  Hoja hoja;
  hoja.longitud = static_cast<std::int64_t>(fichero.size());
  // Reserved, not resized: every element is written once.
  hoja.indice.reserve(static_cast<std::size_t>(recuento.entidades));
  hoja.c.reserve(static_cast<std::size_t>(recuento.c));
  hoja.t.reserve(static_cast<std::size_t>(recuento.t));
  hoja.atributos.reserve(static_cast<std::size_t>(recuento.atributos));
  if (recuento.entidades >= kEntidadesEnParalelo && std::thread::hardware_concurrency() > 1) {
    std::thread indice([&] { construye_indice(fichero, recuento.entidades, hoja); });
    try {
      construye_entidades(fichero, recuento.entidades, tabla, progreso, hoja);
    } catch (...) {
      indice.join();
      throw;
    }
    indice.join();
  } else {
    construye_indice(fichero, recuento.entidades, hoja);
    construye_entidades(fichero, recuento.entidades, tabla, progreso, hoja);
  }
  hoja.bytes = std::move(bytes);
  return hoja;
}

}  // namespace

namespace {

Hoja carga_leida(const std::filesystem::path& ruta, LecturaHoja lectura, const TablaVekt& tabla,
                 Progreso& progreso) {
  Hoja hoja = carga(std::move(lectura.bytes), tabla, progreso);
  hoja.ruta = ruta;
  hoja.huella = lectura.huella;
  hoja.aviso_recuperacion = std::move(lectura.aviso);
  return hoja;
}

}  // namespace

Hoja cargo_bin(const std::filesystem::path& ruta, const TablaVekt& tabla, Progreso& progreso) {
  LecturaHoja lectura = lee_hoja(ruta);
  if (!lectura.bytes.mapeada()) return carga_leida(ruta, std::move(lectura), tabla, progreso);
  // A mapped sheet's pages are read while it is built: should another process change it in the
  // meantime, what was built may mix both versions, and it is read again into memory.
  const HuellaFichero huella = lectura.huella;
  const std::string aviso = lectura.aviso;
  try {
    Hoja hoja = carga_leida(ruta, std::move(lectura), tabla, progreso);
    if (hoja_intacta(ruta, huella)) return hoja;
  } catch (const ErrorCorrupcion&) {
    if (hoja_intacta(ruta, huella)) throw;
  }
  LecturaHoja leida = lee_hoja(ruta, false);
  if (leida.aviso.empty()) leida.aviso = aviso;
  return carga_leida(ruta, std::move(leida), tabla, progreso);
}

Hoja cargo_bin_bytes(ImagenFichero bytes, const TablaVekt& tabla, Progreso& progreso) {
  return carga(std::move(bytes), tabla, progreso);
}

void busca_en_indice(const Hoja& hoja, std::int32_t ordinal, std::int32_t tipo,
                     std::int32_t& posicion, std::int32_t& numero) {
  const auto& entidades = tipo == kIndiceTipoC ? hoja.c : hoja.t;
  posicion = 0;
  if (ordinal < 1 || ordinal > static_cast<std::int32_t>(entidades.size())) return;
  numero = entidades[static_cast<std::size_t>(ordinal - 1)].numero;
  posicion = hoja.fila(numero).posicion;
}

}  // namespace telmora
