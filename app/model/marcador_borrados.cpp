#include "marcador_borrados.h"

#include <algorithm>

namespace telmora {

namespace {

// A batch is written once its changes and appended entities reach this size or this count.
constexpr std::size_t kTamLote = std::size_t{8} << 20;
constexpr std::size_t kCambiosPorLote = std::size_t{1} << 16;
// The changes of a batch are read and written by runs: the next change joins the run when its
// entity starts within this many bytes of the run's end and the run stays within the larger
// size. Each run is read in one go and written in one go; the journal keeps only the bytes that
// change.
constexpr std::int64_t kHuecoEnTirada = 512;
constexpr std::int64_t kTamMaximoTirada = 4 * 1024 * 1024;

std::size_t tam_lote() {
  const std::size_t prueba = gancho_disco().tam_lote;
  return prueba != 0 ? prueba : kTamLote;
}

std::string no_esta(std::int64_t posicion) {
  return "no está la misma entidad en la posición " + std::to_string(posicion);
}

// Whether the header stored in `bytes` is the one loaded for `e`, its state byte aside: a
// sheet changed since it was loaded may hold another entity there, whose bytes must not be
// touched.
bool misma_cabecera(const Entidad& e, std::string_view bytes) {
  return bytes.size() >= std::size_t(kTamCabecera) && huella_de_cabecera(bytes.data()) == e.huella;
}

}  // namespace

ErrorHojaCambiada::ErrorHojaCambiada(const std::filesystem::path& ruta, const std::string& porque)
    : ErrorTelmora("El fichero " + ruta_texto(ruta) +
                   " ha cambiado desde que se cargó: " + porque) {}

std::optional<std::string> cambio_en_disco(const Hoja& hoja) {
  if (hoja.huella.tamano < 0) return std::nullopt;
  const HuellaFichero ahora = huella_de(hoja.ruta);
  if (ahora.tamano != hoja.huella.tamano) {
    return "ocupa " + std::to_string(ahora.tamano) + " bytes y no " +
           std::to_string(hoja.huella.tamano);
  }
  if (ahora.modificado != hoja.huella.modificado) return std::string("se ha vuelto a escribir");
  return std::nullopt;
}

std::optional<std::string> VigiaHoja::cambio_nuevo(const Hoja& hoja) {
  auto cambio = cambio_en_disco(hoja);
  if (!cambio) return std::nullopt;
  const HuellaFichero ahora = huella_de(hoja.ruta);
  if (ahora == contada_) return std::nullopt;
  contada_ = ahora;
  return cambio;
}

MarcadorBorrados::MarcadorBorrados(Hoja& hoja)
    : hoja_(hoja),
      escritura_(hoja.ruta,
                 hoja.cerrojo && hoja.cerrojo->ruta() == hoja.ruta ? hoja.cerrojo : nullptr) {
  if (const auto cambio = cambio_en_disco(hoja_)) throw ErrorHojaCambiada(hoja_.ruta, *cambio);
}

MarcadorBorrados::~MarcadorBorrados() {
  if (terminado_) return;
  deshaz_copia();
  try {
    escritura_.deshaz();
    hoja_.huella = huella_de(hoja_.ruta);
  } catch (...) {
    // The journal stays: the next open of the sheet rolls the file back.
  }
}

void MarcadorBorrados::deshaz_copia() {
  for (auto a = anteriores_.rbegin(); a != anteriores_.rend(); ++a) {
    const Entidad& e = hoja_.entidad(a->numero);
    hoja_.fila(a->numero) = a->fila;
    hoja_.cabecera_de(e).estado = a->estado;
    hoja_.rango_de(e) = a->rango;
    const auto vertices = std::span(vertices_anteriores_).subspan(a->desde, a->cuantos);
    std::ranges::copy(vertices, hoja_.vertices_de(e).begin());
  }
  anteriores_.clear();
  vertices_anteriores_.clear();
}

void MarcadorBorrados::guarda_anterior(std::int32_t numero, bool con_vertices) {
  const Entidad& e = hoja_.entidad(numero);
  const auto vertices = hoja_.vertices_de(e);
  const std::size_t desde = vertices_anteriores_.size();
  if (con_vertices)
    vertices_anteriores_.insert(vertices_anteriores_.end(), vertices.begin(), vertices.end());
  anteriores_.push_back({numero, hoja_.fila(numero), hoja_.cabecera_de(e).estado, hoja_.rango_de(e),
                         desde, vertices_anteriores_.size() - desde});
}

void MarcadorBorrados::pendiente(std::int32_t numero, std::int64_t desplazamiento,
                                 std::size_t desde) {
  pendientes_.push_back({numero, desplazamiento, desde, nuevos_.size() - desde});
  vacia_si_lleno();
}

void MarcadorBorrados::vacia_si_lleno() {
  if (nuevos_.size() + anadidos_.size() >= tam_lote() || pendientes_.size() >= kCambiosPorLote)
    vacia();
}

void MarcadorBorrados::anula(std::int32_t numero) {
  if (numero < 1 || numero > hoja_.num_entidades()) return;
  guarda_anterior(numero, false);
  hoja_.fila(numero).activo = 0;
  hoja_.cabecera_de(hoja_.entidad(numero)).estado = kMarcaBorrado;
  const std::size_t desde = nuevos_.size();
  nuevos_.push_back(kMarcaBorrado);
  pendiente(numero, 1, desde);
}

void MarcadorBorrados::reescribe_vertices(std::span<const VerticesNuevos> cambios,
                                          const std::function<void(std::size_t)>& escritos) {
  std::size_t hechos = 0;
  for (const VerticesNuevos& c : cambios) {
    if (c.numero < 1 || c.numero > hoja_.num_entidades()) continue;
    const Entidad& e = hoja_.entidad(c.numero);
    if (hoja_.cabecera_de(e).es_texto() || c.vertices.size() != hoja_.vertices_de(e).size()) {
      throw ErrorTelmora("La entidad de la posición " +
                         std::to_string(hoja_.fila(c.numero).posicion) + " de " +
                         ruta_texto(hoja_.ruta) + " no tiene " + std::to_string(c.vertices.size()) +
                         " vértices que cambiar");
    }
    guarda_anterior(c.numero, true);
    hoja_.rango_de(e) = c.rango;
    std::ranges::copy(c.vertices, hoja_.vertices_de(e).begin());
    hoja_.fila(c.numero).toma_rango(c.rango);
    const std::size_t desde = nuevos_.size();
    escribe_rango(nuevos_, c.rango);
    for (const Vertice& v : c.vertices) escribe_vertice(nuevos_, v);
    const std::size_t antes = pendientes_.size();
    pendiente(c.numero, kTamCabecera, desde);
    ++hechos;
    if (pendientes_.size() <= antes && escritos) escritos(hechos);
  }
  vacia();
  if (escritos) escritos(hechos);
}

void MarcadorBorrados::sustituye(std::int32_t numero, std::string_view nuevas) {
  anadidos_ += nuevas;
  if (numero != 0) {
    anula(numero);
  } else {
    vacia_si_lleno();
  }
}

void MarcadorBorrados::comprueba(const Pendiente& cambio, std::string_view tirada,
                                 std::int64_t inicio) const {
  const std::int64_t posicion = hoja_.fila(cambio.numero).posicion;
  const auto en = static_cast<std::size_t>(posicion - inicio);
  if (!misma_cabecera(hoja_.entidad(cambio.numero), tirada.substr(std::min(en, tirada.size())))) {
    throw ErrorHojaCambiada(hoja_.ruta, no_esta(posicion));
  }
  const auto hasta = en + static_cast<std::size_t>(cambio.desplazamiento) + cambio.largo;
  if (tirada.size() < hasta) {
    throw ErrorHojaCambiada(
        hoja_.ruta, "la entidad de la posición " + std::to_string(posicion) + " está cortada");
  }
}

void MarcadorBorrados::vacia() {
  if (pendientes_.empty() && anadidos_.empty()) return;
  auto inicio_de = [&](const Pendiente* p) -> std::int64_t {
    return hoja_.fila(p->numero).posicion;
  };
  auto desde = [&](const Pendiente* p) { return inicio_de(p) + p->desplazamiento; };
  auto hasta = [&](const Pendiente* p) { return desde(p) + static_cast<std::int64_t>(p->largo); };
  // Each change needs its entity's header and the bytes it changes.
  auto fin_leido = [&](const Pendiente* p) {
    return std::max(inicio_de(p) + kTamCabecera, hasta(p));
  };
  std::vector<const Pendiente*> orden;
  orden.reserve(pendientes_.size());
  for (const Pendiente& p : pendientes_) orden.push_back(&p);
  std::ranges::stable_sort(orden, {}, desde);

  // The batch's runs in file order: their bytes on disk, and the range each writes anew.
  std::vector<std::string> leidos, reescritos;
  std::vector<EscrituraAtomica::Tramo> originales, escritos;
  leidos.reserve(orden.size());
  reescritos.reserve(orden.size());
  for (std::size_t i = 0; i < orden.size();) {
    const std::int64_t inicio = inicio_de(orden[i]);
    std::int64_t fin = fin_leido(orden[i]);
    std::size_t j = i + 1;
    for (; j < orden.size(); ++j) {
      if (inicio_de(orden[j]) - fin > kHuecoEnTirada ||
          fin_leido(orden[j]) - inicio > kTamMaximoTirada) {
        break;
      }
      fin = std::max(fin, fin_leido(orden[j]));
    }
    const std::string& tirada =
        leidos.emplace_back(escritura_.lee(inicio, static_cast<std::size_t>(fin - inicio)));
    std::int64_t desde_tirada = desde(orden[i]), hasta_tirada = desde_tirada;
    for (std::size_t k = i; k < j; ++k) {
      comprueba(*orden[k], tirada, inicio);
      originales.push_back({desde(orden[k]), std::string_view(tirada).substr(
                                                 static_cast<std::size_t>(desde(orden[k]) - inicio),
                                                 orden[k]->largo)});
      hasta_tirada = std::max(hasta_tirada, hasta(orden[k]));
    }
    std::string& nuevo = reescritos.emplace_back(
        tirada.substr(static_cast<std::size_t>(desde_tirada - inicio),
                      static_cast<std::size_t>(hasta_tirada - desde_tirada)));
    for (std::size_t k = i; k < j; ++k) {
      nuevo.replace(static_cast<std::size_t>(desde(orden[k]) - desde_tirada), orden[k]->largo,
                    bytes_de(*orden[k]));
    }
    escritos.push_back({desde_tirada, nuevo});
    i = j;
  }
  escritura_.escribe(originales, escritos, anadidos_);
  pendientes_.clear();
  nuevos_.clear();
  anadidos_.clear();
}

void MarcadorBorrados::confirma() {
  vacia();
  escritura_.confirma();
  terminado_ = true;
  anteriores_.clear();
  vertices_anteriores_.clear();
  hoja_.huella = huella_de(hoja_.ruta);
}

void anula_entidad(Hoja& hoja, std::int32_t numero) {
  if (numero < 1 || numero > hoja.num_entidades()) return;
  MarcadorBorrados marcador(hoja);
  marcador.anula(numero);
  marcador.confirma();
}

}  // namespace telmora
