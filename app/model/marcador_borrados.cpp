#include "marcador_borrados.h"

#include <algorithm>

namespace telmora {

namespace {

// A batch is written once its changes and appended entities reach this size or this count. Each
// batch waits for its journal to reach the disk, and its buffers serve the next one: larger
// batches wait less often but touch more fresh memory, which costs more than the waits saved.
constexpr std::size_t kTamLote = std::size_t{8} << 20;
constexpr std::size_t kCambiosPorLote = std::size_t{1} << 18;
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

// Room in `lista` for `mas` elements more, growing it as push_back would: calls for one element
// at a time cost no more than push_back.
template <typename Lista>
void reserva(Lista& lista, std::size_t mas) {
  if (lista.size() + mas > lista.capacity())
    lista.reserve(std::max(lista.size() + mas, 2 * lista.capacity()));
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

MarcadorBorrados::MarcadorBorrados(Hoja& hoja, std::function<void(std::size_t)> al_escribir)
    : hoja_(hoja),
      escritura_(hoja.ruta,
                 hoja.cerrojo && hoja.cerrojo->ruta() == hoja.ruta ? hoja.cerrojo : nullptr),
      al_escribir_(std::move(al_escribir)) {
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
    FilaIndice& fila = hoja_.fila(a->numero);
    fila.activo = a->activo;
    fila.toma_rango(a->rango);
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
  anteriores_.push_back({numero, hoja_.fila(numero).activo, hoja_.cabecera_de(e).estado,
                         hoja_.rango_de(e), desde, vertices_anteriores_.size() - desde});
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
  ++hechos_;
  marca_borrada(numero);
}

void MarcadorBorrados::marca_borrada(std::int32_t numero) {
  if (numero < 1 || numero > hoja_.num_entidades()) return;
  guarda_anterior(numero, false);
  hoja_.fila(numero).activo = 0;
  hoja_.cabecera_de(hoja_.entidad(numero)).estado = kMarcaBorrado;
  const std::size_t desde = nuevos_.size();
  nuevos_.push_back(kMarcaBorrado);
  pendiente(numero, 1, desde);
}

void MarcadorBorrados::reescribe_vertices(std::span<const VerticesNuevos> cambios) {
  // What the copy held before is kept for every element, and the new bytes up to a batch: room
  // for all of it at once.
  std::size_t vertices = 0;
  for (const VerticesNuevos& c : cambios) vertices += c.vertices.size();
  reserva(anteriores_, cambios.size());
  reserva(vertices_anteriores_, vertices);
  reserva(nuevos_, std::min(tam_lote(), cambios.size() * std::size_t{kTamRango} +
                                            vertices * std::size_t{kTamVertice}));
  for (const VerticesNuevos& c : cambios) {
    ++hechos_;
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
    pendiente(c.numero, kTamCabecera, desde);
  }
  vacia();
}

void MarcadorBorrados::sustituye(std::int32_t numero, std::string_view nuevas) {
  ++hechos_;
  anadidos_ += nuevas;
  if (numero != 0) {
    marca_borrada(numero);
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
  auto inicio_de = [&](const Pendiente& p) -> std::int64_t {
    return hoja_.fila(p.numero).posicion;
  };
  auto desde = [&](const Pendiente& p) { return inicio_de(p) + p.desplazamiento; };
  auto hasta = [&](const Pendiente& p) { return desde(p) + static_cast<std::int64_t>(p.largo); };
  // Each change needs its entity's header and the bytes it changes.
  auto fin_leido = [&](const Pendiente& p) {
    return std::max(inicio_de(p) + kTamCabecera, hasta(p));
  };
  // The changes in file order (in the order made, where two start at one byte). Tools mostly
  // make them in file order already.
  orden_.clear();
  for (std::size_t i = 0; i < pendientes_.size(); ++i) orden_.push_back({desde(pendientes_[i]), i});
  if (!std::ranges::is_sorted(orden_)) std::ranges::sort(orden_);
  auto cambio = [&](std::size_t k) -> const Pendiente& { return pendientes_[orden_[k].second]; };

  // The batch's runs in file order, all of them read into one buffer.
  tiradas_.clear();
  std::size_t leidos = 0;
  for (std::size_t i = 0; i < orden_.size();) {
    Tirada t{inicio_de(cambio(i)), fin_leido(cambio(i)), i, i + 1, leidos};
    for (; t.ultimo < orden_.size(); ++t.ultimo) {
      const Pendiente& p = cambio(t.ultimo);
      if (inicio_de(p) - t.fin > kHuecoEnTirada || fin_leido(p) - t.inicio > kTamMaximoTirada)
        break;
      t.fin = std::max(t.fin, fin_leido(p));
    }
    leidos += static_cast<std::size_t>(t.fin - t.inicio);
    tiradas_.push_back(t);
    i = t.ultimo;
  }
  if (leido_.size() < leidos) leido_.resize(leidos);

  // Each run is read and checked, its present bytes kept for the journal, and then changed in
  // the buffer: it is written back from its first changed byte to its last.
  escritos_.clear();
  for (const Tirada& t : tiradas_) {
    const std::span<char> destino(leido_.data() + t.en, static_cast<std::size_t>(t.fin - t.inicio));
    const std::string_view tirada(destino.data(), escritura_.lee(t.inicio, destino));
    std::int64_t desde_tirada = desde(cambio(t.primero)), hasta_tirada = desde_tirada;
    for (std::size_t k = t.primero; k < t.ultimo; ++k) {
      comprueba(cambio(k), tirada, t.inicio);
      escritura_.guarda(
          desde(cambio(k)),
          tirada.substr(static_cast<std::size_t>(desde(cambio(k)) - t.inicio), cambio(k).largo));
      hasta_tirada = std::max(hasta_tirada, hasta(cambio(k)));
    }
    for (std::size_t k = t.primero; k < t.ultimo; ++k) {
      std::ranges::copy(bytes_de(cambio(k)), destino.begin() + (desde(cambio(k)) - t.inicio));
    }
    escritos_.push_back(
        {desde_tirada, tirada.substr(static_cast<std::size_t>(desde_tirada - t.inicio),
                                     static_cast<std::size_t>(hasta_tirada - desde_tirada))});
  }
  escritura_.escribe(escritos_, anadidos_);
  pendientes_.clear();
  nuevos_.clear();
  anadidos_.clear();
  if (al_escribir_) al_escribir_(hechos_);
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
