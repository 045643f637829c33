#include "edicion/reescritura.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "funciones.h"
#include "marcador_borrados.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr std::size_t kTamBloqueEscritura = std::size_t{1} << 20;

// The code field as every writer of this module writes it: cleaned, then NUL padded.
std::array<char, kAnchoCodigo> codigo_normalizado(std::string_view campo) {
  return codigo_desde_texto(limpia_texto(campo));
}

// A map coordinate (metres) in file units, rounded to the nearest integer (halves to even).
std::int32_t a_unidades(double metros, int uds) {
  const double valor = std::nearbyint(metros * uds);
  if (!(valor >= std::numeric_limits<std::int32_t>::min() &&
        valor <= std::numeric_limits<std::int32_t>::max())) {
    throw ErrorTelmora("La coordenada " + numero_a_texto(metros) +
                       " queda fuera de lo que un fichero de entidades puede guardar");
  }
  return static_cast<std::int32_t>(valor);
}

// With the codes of a matched pair (cleaned) and their positions: true when the second element
// is the one to cut.
bool corta_el_segundo(const std::string& codigo1, std::int32_t posicion1,
                      const std::string& codigo2, std::int32_t posicion2) {
  if (codigo1 == "5099") return true;
  if (codigo1 == "5108" && codigo2 != "5099") return true;
  if (codigo1 != codigo2) return false;
  return posicion2 < posicion1;
}

struct Piezas {
  std::string bytes;
  std::int32_t cuantas = 0;
};

// The pieces of an element left when the given segments (1-based) are removed: each run of two
// or more consecutive vertices becomes an element with the original's header, attributes and
// last three range values, and a range recomputed from its vertices. A single vertex left
// between two removed segments is dropped: alone it would read as a point symbol.
Piezas piezas_de(const Hoja& hoja, const Entidad& e, std::vector<std::int32_t> segmentos) {
  std::sort(segmentos.begin(), segmentos.end());
  const auto vertices = hoja.vertices_de(e);
  Piezas piezas;
  auto anade_pieza = [&](std::size_t desde, std::size_t hasta) {  // vertices [desde, hasta)
    if (hasta < desde + 2) return;
    const auto tramo = vertices.subspan(desde, hasta - desde);
    Cabecera cabecera = hoja.cabecera_de(e);
    cabecera.codigo = codigo_normalizado(hoja.cabecera_de(e).codigo_bruto());
    cabecera.num_puntos = static_cast<std::int16_t>(tramo.size());
    Rango rango = hoja.rango_de(e);
    calcula_rango_entidad(rango, tramo);
    escribe_entidad(piezas.bytes, cabecera, rango, tramo, {}, hoja.atributos_de(e));
    ++piezas.cuantas;
  };
  std::size_t inicio = 0;
  for (const std::int32_t segmento : segmentos) {
    const auto k = static_cast<std::size_t>(segmento);
    if (segmento < 1 || k >= vertices.size() || k <= inicio) continue;
    anade_pieza(inicio, k);
    inicio = k;
  }
  anade_pieza(inicio, vertices.size());
  return piezas;
}

// Cuts an element at its matched segments: its pieces go to the end of the file and it is
// deleted.
std::int32_t corta_elemento(Hoja& hoja, MarcadorBorrados& marcador, std::int32_t numero,
                            const std::vector<std::int32_t>& segmentos) {
  const Piezas piezas = piezas_de(hoja, hoja.entidad(numero), segmentos);
  marcador.sustituye(numero, piezas.bytes);
  return piezas.cuantas;
}

// Which segments duplicate processing takes from each element. The search pairs segments by
// their boxes, so a pair may also be two different segments with the same box (the two
// diagonals of a square); only segments whose ends coincide within the tolerance stand for each
// other here. A segment leaves an element only when such a twin exists and every such twin is
// still held by its own element: of two twins at most one goes, and whatever an element loses
// another one still holds.
class PlanDeCortes {
 public:
  PlanDeCortes(const Hoja& hoja, const TablaSegmentos& tabla, double tolerancia)
      : hoja_(hoja), tabla_(tabla), tolerancia_(tolerancia) {
    for (std::size_t k = 0; k < tabla.size(); ++k) {
      const SegmentoCoincidente& s = tabla[k];
      primera_entrada_.emplace(s.posicion1, k);
      por_lado_[{s.posicion1, true}].push_back(k);
      por_lado_[{s.posicion2, false}].push_back(k);
      const std::uint64_t a = clave(s.posicion1, s.segmento1), b = clave(s.posicion2, s.segmento2);
      if (!gemelos(a, b)) continue;
      gemelos_[a].push_back(b);
      gemelos_[b].push_back(a);
    }
  }

  // The first entry of the table whose first element starts at that position, or null.
  const std::size_t* primera_entrada(std::int32_t posicion) const {
    const auto encontrada = primera_entrada_.find(posicion);
    return encontrada == primera_entrada_.end() ? nullptr : &encontrada->second;
  }

  // The element that starts at that position (the index holds ascending positions), 0 when
  // none does.
  std::int32_t numero_en(std::int32_t posicion) const {
    const auto& indice = hoja_.indice;
    const auto fila =
        std::lower_bound(indice.begin(), indice.end(), posicion,
                         [](const FilaIndice& f, std::int32_t p) { return f.posicion < p; });
    if (fila == indice.end() || fila->posicion != posicion) return 0;
    return static_cast<std::int32_t>(fila - indice.begin()) + 1;
  }

  // The element is to be cut at the segments by which it stands on one side of the table (the
  // second side when `segundo`): takes from it those that have twins, all still held, and
  // returns them, ascending. The element then counts as cut: its pieces hold the rest.
  std::vector<std::int32_t> quita(std::int32_t numero, bool segundo) {
    const std::int32_t posicion = hoja_.fila(numero).posicion;
    std::vector<std::int32_t> candidatos;
    for (const std::size_t k : por_lado_[{posicion, !segundo}])
      candidatos.push_back(segundo ? tabla_[k].segmento2 : tabla_[k].segmento1);
    std::sort(candidatos.begin(), candidatos.end());
    candidatos.erase(std::unique(candidatos.begin(), candidatos.end()), candidatos.end());
    std::vector<std::int32_t> quitados;
    for (const std::int32_t segmento : candidatos) {
      const auto encontrados = gemelos_.find(clave(posicion, segmento));
      if (encontrados == gemelos_.end()) continue;
      const auto& gemelos = encontrados->second;
      if (std::all_of(gemelos.begin(), gemelos.end(), [&](std::uint64_t g) { return sigue(g); })) {
        quitados.push_back(segmento);
        quitados_.insert(clave(posicion, segmento));
      }
    }
    cortados_.insert(posicion);
    return quitados;
  }

 private:
  static std::uint64_t clave(std::int32_t posicion, std::int32_t segmento) {
    return std::uint64_t{static_cast<std::uint32_t>(posicion)} << 32 |
           static_cast<std::uint32_t>(segmento);
  }

  // The ends of segment k of the element at a position (k joins vertices k and k + 1), or
  // nothing when the element has no such segment.
  std::optional<std::pair<Vertice, Vertice>> extremos(std::uint64_t segmento) const {
    const std::int32_t numero = numero_en(static_cast<std::int32_t>(segmento >> 32));
    if (numero == 0) return std::nullopt;
    const auto vertices = hoja_.vertices_de(hoja_.entidad(numero));
    const auto k = static_cast<std::size_t>(static_cast<std::uint32_t>(segmento));
    if (k < 1 || k >= vertices.size()) return std::nullopt;
    return std::pair{vertices[k - 1], vertices[k]};
  }

  bool cerca(const Vertice& a, const Vertice& b) const {
    return (a.x == b.x && a.y == b.y) || (std::fabs(double(a.x) - b.x) < tolerancia_ &&
                                          std::fabs(double(a.y) - b.y) < tolerancia_);
  }

  // Two segments whose ends coincide within the tolerance, in either direction.
  bool gemelos(std::uint64_t a, std::uint64_t b) const {
    const auto ea = extremos(a), eb = extremos(b);
    if (!ea || !eb) return false;
    return (cerca(ea->first, eb->first) && cerca(ea->second, eb->second)) ||
           (cerca(ea->first, eb->second) && cerca(ea->second, eb->first));
  }

  // The element's segment is still held: by the element while it is active, or by its pieces
  // once it was cut, unless it was taken away.
  bool sigue(std::uint64_t segmento) const {
    const auto posicion = static_cast<std::int32_t>(segmento >> 32);
    const std::int32_t numero = numero_en(posicion);
    const bool viva = cortados_.count(posicion) || (numero != 0 && hoja_.activa(numero));
    return viva && !quitados_.count(segmento);
  }

  struct HashLado {
    std::size_t operator()(const std::pair<std::int32_t, bool>& l) const {
      return std::hash<std::int64_t>{}(std::int64_t{l.first} * 2 + l.second);
    }
  };

  const Hoja& hoja_;
  const TablaSegmentos& tabla_;
  double tolerancia_;
  std::unordered_map<std::int32_t, std::size_t> primera_entrada_;
  std::unordered_map<std::pair<std::int32_t, bool>, std::vector<std::size_t>, HashLado> por_lado_;
  std::unordered_map<std::uint64_t, std::vector<std::uint64_t>> gemelos_;
  std::unordered_set<std::uint64_t> quitados_;
  std::unordered_set<std::int32_t> cortados_;
};

}  // namespace

SalidaBin::SalidaBin(std::filesystem::path destino) : fichero_(std::move(destino)) {}

void SalidaBin::entidad(const Cabecera& cabecera, const Rango& rango,
                        std::span<const Vertice> vertices, std::string_view bytes_texto,
                        std::span<const Atributo> atributos) {
  Cabecera normalizada = cabecera;
  normalizada.codigo = codigo_normalizado(cabecera.codigo_bruto());
  escribe_entidad(pendiente_, normalizada, rango, vertices, bytes_texto, atributos);
  vacia_si_hace_falta();
}

void SalidaBin::entidad(const Hoja& hoja, const Entidad& e) {
  entidad(hoja.cabecera_de(e), hoja.rango_de(e), hoja.vertices_de(e), hoja.bytes_texto(e),
          hoja.atributos_de(e));
}

void SalidaBin::bytes_entidad(std::string_view bytes) {
  const auto codigo = codigo_normalizado(bytes.substr(kPosicionCodigo, kAnchoCodigo));
  const std::size_t inicio = pendiente_.size();
  pendiente_.append(bytes);
  std::memcpy(pendiente_.data() + inicio + kPosicionCodigo, codigo.data(), kAnchoCodigo);
  vacia_si_hace_falta();
}

void SalidaBin::confirma() {
  fichero_.escribe(pendiente_);
  pendiente_.clear();
  fichero_.confirma();
}

void SalidaBin::vacia_si_hace_falta() {
  if (pendiente_.size() < kTamBloqueEscritura) return;
  fichero_.escribe(pendiente_);
  pendiente_.clear();
}

std::filesystem::path comprimir(const std::filesystem::path& fich_entrada) {
  // Read into memory, not mapped: no later change of the sheet reaches the bytes copied.
  return comprimir(fich_entrada, lee_hoja(fich_entrada, false).bytes);
}

std::filesystem::path comprimir(const std::filesystem::path& fich_entrada, ImagenFichero bytes) {
  // Loading checks every entity against the file's end; what it accepts can be copied safely.
  const Hoja hoja = cargo_bin_bytes(std::move(bytes), TablaVekt{});
  const auto destino = ruta_con_sufijo(fich_entrada, "_c.bin");
  SalidaBin salida(destino);
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const FilaIndice& f = hoja.fila(numero);
    if (f.activo != 1) continue;
    const Cabecera& cabecera = hoja.cabecera_de(hoja.entidad(numero));
    const auto largo = longitud_entidad(cabecera.num_puntos, cabecera.num_atributos);
    salida.bytes_entidad({hoja.bytes.datos() + f.posicion, static_cast<std::size_t>(largo)});
  }
  salida.confirma();
  return destino;
}

void NuevaEntidadTexto(Sesion& sesion, double xtentativo, double ytentativo) {
  const Ajustes& ajustes = sesion.ajustes;
  const int uds = ajustes.uds;
  Cabecera cabecera;
  cabecera.tipo = kTipoTexto;
  cabecera.estado = kEstadoActivo;
  cabecera.codigo = codigo_normalizado("NuevoT");
  cabecera.num_puntos = 2;
  Rango rango;
  rango.xmin = a_unidades(xtentativo, uds);
  rango.ymin = a_unidades(ytentativo, uds);
  rango.xmax = a_unidades(xtentativo + ajustes.tolerancia_tentativo, uds);
  rango.ymax = a_unidades(ytentativo + ajustes.tolerancia_tentativo, uds);
  rango.septimo = kAlturaTextoNuevo;
  rango.octavo = kJustificacionTextoNuevo;
  rango.noveno = kAnguloTextoNuevo;
  const Vertice insercion{rango.xmin, rango.ymin, 0};
  std::string bytes;
  escribe_entidad(bytes, cabecera, rango, {&insercion, 1}, trozo_de_texto("Jd"), {});
  MarcadorBorrados marcador(sesion.hoja);
  marcador.anade(bytes);
  marcador.confirma();
}

std::int32_t marca_borrados(Sesion& sesion, const ResultadoDuplicados& duplicados) {
  Hoja& hoja = sesion.hoja;
  const TablaSegmentos& tabla = duplicados.segmentos;
  PlanDeCortes plan(hoja, tabla, tolerancia_en_unidades(sesion.ajustes));
  std::int32_t piezas = 0;
  MarcadorBorrados marcador(hoja);
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const FilaIndice& f = hoja.fila(numero);
    const std::int32_t marca = duplicados.marca(numero);
    if (marca == kDuplicadoExacto || marca == kDuplicadoSimilar) {
      if (hoja.activa(numero)) marcador.anula(numero);
      continue;
    }
    if (marca != kSegmentosIdenticos && marca != kSegmentosCercanos) continue;
    const std::size_t* entrada = plan.primera_entrada(f.posicion);
    if (entrada == nullptr) continue;
    const SegmentoCoincidente& s = tabla[*entrada];
    const std::int32_t otro = plan.numero_en(s.posicion2);
    if (otro == 0) continue;
    const bool segundo = corta_el_segundo(
        limpia_texto(hoja.cabecera_de(hoja.entidad(numero)).codigo_bruto()), s.posicion1,
        limpia_texto(hoja.cabecera_de(hoja.entidad(otro)).codigo_bruto()), s.posicion2);
    const std::int32_t cortado = segundo ? otro : numero;
    if (!hoja.activa(cortado)) continue;
    const std::vector<std::int32_t> segmentos = plan.quita(cortado, segundo);
    if (segmentos.empty()) continue;
    piezas += corta_elemento(hoja, marcador, cortado, segmentos);
  }
  marcador.confirma();
  return piezas;
}

std::filesystem::path graba_nuevo_bin(const Sesion& sesion, const ResultadoDuplicados& duplicados) {
  const Hoja& hoja = sesion.hoja;
  const auto& entrada = sesion.ajustes.fich_entrada;
  std::error_code error;
  const auto longitud = static_cast<std::int64_t>(std::filesystem::file_size(entrada, error));
  if (error) {
    if (!existe_archivo(entrada)) throw ErrorFicheroInexistente(entrada);
    throw ErrorTelmora("No se puede leer " + ruta_texto(entrada) + ": " + error.message());
  }
  Hoja anadidas;
  if (longitud > hoja.longitud) {
    const std::string cola =
        lee_en_posicion(entrada, hoja.longitud, static_cast<std::size_t>(longitud - hoja.longitud));
    try {
      anadidas = cargo_bin_bytes(Lista<char>(cola.begin(), cola.end()), TablaVekt{});
    } catch (const ErrorCorrupcion& corrupcion) {
      throw ErrorTelmora("Lo añadido al final de " + ruta_texto(entrada) +
                         " desde que se cargó no son entidades válidas:\n" + corrupcion.what());
    }
  }

  const auto destino = ruta_con_sufijo(entrada, "_d.bin");
  SalidaBin salida(destino);
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const std::int32_t marca = duplicados.marca(numero);
    const Entidad& e = hoja.entidad(numero);
    if (!hoja.activa(e) || marca == kDuplicadoExacto || marca == kDuplicadoSimilar) continue;
    salida.entidad(hoja, e);
  }
  for (std::int32_t numero = 1; numero <= anadidas.num_entidades(); ++numero) {
    const Entidad& e = anadidas.entidad(numero);
    if (anadidas.activa(e)) salida.entidad(anadidas, e);
  }
  salida.confirma();
  return destino;
}

std::int32_t borra_entidades_en_ventana(Sesion& sesion, const EntidadesDibujadas& dibujadas) {
  Hoja& hoja = sesion.hoja;
  const ResultadoDuplicados& duplicados = ultimos_duplicados(sesion);
  std::int32_t borradas = 0;
  MarcadorBorrados marcador(hoja);
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    // Only entities still listed: active, and not marked by the last duplicate search.
    if (hoja.fila(numero).activo != 1 || duplicados.marca(numero) != kSinDuplicado ||
        !dibujadas.contiene(numero)) {
      continue;
    }
    marcador.anula(numero);
    ++borradas;
  }
  marcador.confirma();
  return borradas;
}

}  // namespace telmora
