#include "hoja.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>

#include "diagnostico.h"
#include "diario.h"
#include "texto.h"

namespace telmora {

namespace {

static_assert(sizeof(Vertice) == kTamVertice, "vertices are copied straight from the file");

// Code-table rows already resolved during a load, keyed by the raw 7-byte code or by an
// attribute's record number: each distinct key goes through the table once.
class CacheFilas {
 public:
  explicit CacheFilas(const TablaVekt& tabla) : tabla_(tabla), claves_(kTamInicial) {}

  std::int32_t fila_de_codigo(const std::array<char, 7>& codigo) {
    std::uint64_t clave = 0;
    std::memcpy(&clave, codigo.data(), codigo.size());
    return busca(clave, [&] {
      return tabla_.busca_codigo_bin({codigo.data(), codigo.size()}).posicion_tab;
    });
  }

  std::int32_t fila_de_registro(std::int32_t n_registro) {
    const std::uint64_t clave = (std::uint64_t{1} << 63) | static_cast<std::uint32_t>(n_registro);
    return busca(clave, [&] { return tabla_.busca(std::to_string(n_registro)).posicion_tab; });
  }

 private:
  static constexpr std::size_t kTamInicial = 1024;
  struct Casilla {
    std::uint64_t clave = 0;
    std::int32_t fila = 0;
    bool ocupada = false;
  };

  template <typename Resolver>
  std::int32_t busca(std::uint64_t clave, Resolver resolver) {
    std::size_t i = mezcla(clave) & (claves_.size() - 1);
    while (claves_[i].ocupada) {
      if (claves_[i].clave == clave) return claves_[i].fila;
      i = (i + 1) & (claves_.size() - 1);
    }
    const std::int32_t fila = resolver();
    claves_[i] = {clave, fila, true};
    if (++ocupadas_ * 2 > claves_.size()) crece();
    return fila;
  }

  static std::size_t mezcla(std::uint64_t clave) {
    clave ^= clave >> 33;
    clave *= 0xff51afd7ed558ccdULL;
    clave ^= clave >> 33;
    return static_cast<std::size_t>(clave);
  }

  void crece() {
    std::vector<Casilla> viejas(claves_.size() * 2);
    viejas.swap(claves_);
    for (const Casilla& casilla : viejas) {
      if (!casilla.ocupada) continue;
      std::size_t i = mezcla(casilla.clave) & (claves_.size() - 1);
      while (claves_[i].ocupada) i = (i + 1) & (claves_.size() - 1);
      claves_[i] = casilla;
    }
  }

  const TablaVekt& tabla_;
  std::vector<Casilla> claves_;
  std::size_t ocupadas_ = 0;
};

struct Recuento {
  std::int32_t entidades = 0, c = 0, t = 0;
  std::int64_t vertices = 0, atributos = 0, bytes_texto = 0;
};

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

// First pass: walks the file by headers and lengths, counts what the arrays will hold, and stops
// at the first position that does not hold a whole, readable entity.
Recuento cuenta_entidades(std::string_view fichero) {
  const auto longitud = static_cast<std::int64_t>(fichero.size());
  Recuento recuento;
  std::int64_t p = 0, previa = 0;
  while (p < longitud) {
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
    if (cabecera.es_texto()) {
      ++recuento.t;
      recuento.vertices += 1;
      recuento.bytes_texto += kTamTrozoTexto * (cabecera.num_puntos - 1);
    } else {
      ++recuento.c;
      recuento.vertices += cabecera.num_puntos;
    }
    recuento.atributos += cabecera.num_atributos;
    previa = p;
    p += largo;
  }
  return recuento;
}

void copia_vertices(const char* origen, std::size_t cantidad, Vertice* destino) {
  if (cantidad == 0) return;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(destino, origen, cantidad * sizeof(Vertice));
  } else {
    for (std::size_t i = 0; i < cantidad; ++i) destino[i] = lee_vertice(origen + kTamVertice * i);
  }
}

}  // namespace

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

Hoja cargo_bin(const std::filesystem::path& ruta, const TablaVekt& tabla, Progreso& progreso) {
  LecturaHoja lectura = lee_hoja(ruta);
  Hoja hoja = cargo_bin_bytes(lectura.bytes, tabla, progreso);
  hoja.ruta = ruta;
  hoja.huella = lectura.huella;
  hoja.aviso_recuperacion = std::move(lectura.aviso);
  return hoja;
}

Hoja cargo_bin_bytes(const Lista<char>& bytes, const TablaVekt& tabla, Progreso& progreso) {
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
    throw ErrorTelmora(
        "El fichero ocupa más de 2 GB y las posiciones de sus entidades no caben "
        "en el índice");
  }
  const std::string_view fichero(bytes.data(), bytes.size());
  const Recuento recuento = cuenta_entidades(fichero);

  Hoja hoja;
  hoja.longitud = static_cast<std::int64_t>(bytes.size());
  hoja.indice.resize(static_cast<std::size_t>(recuento.entidades));
  hoja.c.reserve(static_cast<std::size_t>(recuento.c));
  hoja.t.reserve(static_cast<std::size_t>(recuento.t));
  hoja.vertices.resize(static_cast<std::size_t>(recuento.vertices));
  hoja.atributos.resize(static_cast<std::size_t>(recuento.atributos));
  hoja.textos.resize(static_cast<std::size_t>(recuento.bytes_texto));

  CacheFilas filas(tabla);
  ContadorPorcentaje avance(progreso, hoja.longitud);
  std::size_t vertice = 0, atributo = 0, byte_texto = 0;
  std::int64_t p = 0;
  for (std::int32_t numero = 1; numero <= recuento.entidades; ++numero) {
    const char* datos = fichero.data() + p;
    Entidad e;
    e.cabecera = lee_cabecera(datos);
    e.rango = lee_rango(datos + kTamCabecera);
    e.posicion_tab = filas.fila_de_codigo(e.cabecera.codigo);
    e.numero = numero;
    e.primer_vertice = static_cast<std::uint32_t>(vertice);
    e.primer_atributo = static_cast<std::uint32_t>(atributo);
    e.primer_byte_texto = static_cast<std::uint32_t>(byte_texto);

    const char* cursor = datos + kTamFijoEntidad;
    const std::uint32_t num_vertices = e.num_vertices();
    copia_vertices(cursor, num_vertices, hoja.vertices.data() + vertice);
    vertice += num_vertices;
    cursor += kTamVertice * num_vertices;
    const std::uint32_t num_bytes_texto = e.num_bytes_texto();
    if (num_bytes_texto > 0) std::memcpy(hoja.textos.data() + byte_texto, cursor, num_bytes_texto);
    byte_texto += num_bytes_texto;
    cursor += num_bytes_texto;
    for (int i = 0; i < e.cabecera.num_atributos; ++i, ++atributo) {
      Atributo& a = hoja.atributos[atributo];
      a = lee_atributo(cursor + kTamAtributo * i);
      a.posicion_tab = filas.fila_de_registro(a.n_registro);
    }

    const bool es_texto = e.cabecera.es_texto();
    auto& destino = es_texto ? hoja.t : hoja.c;
    FilaIndice& f = hoja.indice[static_cast<std::size_t>(numero - 1)];
    f.posicion = static_cast<std::int32_t>(p);
    f.toma_rango(e.rango);
    f.num_puntos = e.cabecera.num_puntos;
    f.activo = e.activa() ? 1 : 0;
    f.tipo = es_texto ? kIndiceTipoT : kIndiceTipoC;
    f.ordinal = static_cast<std::int32_t>(destino.size()) + 1;
    hoja.rango.amplia(e.rango);
    destino.push_back(e);

    p += longitud_entidad(e.cabecera.num_puntos, e.cabecera.num_atributos);
    avance.avanza(p);
  }
  return hoja;
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
