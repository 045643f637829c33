#include "diario.h"

#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace telmora {

namespace {

constexpr char kFirma[8] = {'T', 'L', 'M', 'D', 'I', 'A', 'R', '1'};
constexpr std::size_t kTamCabeceraDiario = 32;    // signature, length, change number, checksum
constexpr std::size_t kTamCabeceraRegistro = 24;  // position, length, checksum

// A reader that finds the sheet changing while it reads tries again, this many times.
constexpr int kIntentosLectura = 50;
constexpr auto kEsperaLectura = std::chrono::milliseconds(20);

void pon_u64(char* destino, std::uint64_t valor) {
  for (int i = 0; i < 8; ++i) destino[i] = static_cast<char>((valor >> (8 * i)) & 0xff);
}

void pon_u64(std::string& salida, std::uint64_t valor) {
  salida.resize(salida.size() + 8);
  pon_u64(salida.data() + salida.size() - 8, valor);
}

std::uint64_t lee_u64(std::string_view bytes, std::size_t en) {
  std::uint64_t valor = 0;
  for (int i = 7; i >= 0; --i) {
    valor = valor << 8 | static_cast<unsigned char>(bytes[en + static_cast<std::size_t>(i)]);
  }
  return valor;
}

// Checksum of journal bytes, word by word; `semilla` ties a record to its change.
std::uint64_t suma(std::uint64_t semilla, std::string_view bytes) {
  std::uint64_t h = semilla ^ 0x9e3779b97f4a7c15ULL ^ bytes.size();
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t palabra = 0;
    std::memcpy(&palabra, bytes.data() + i, 8);
    h = (h ^ palabra) * 0xff51afd7ed558ccdULL;
    h ^= h >> 32;
  }
  for (; i < bytes.size(); ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * 0x100000001b3ULL;
  h ^= h >> 29;
  return h * 0xc4ceb9fe1a85ec53ULL;
}

std::string cabecera_diario(std::int64_t longitud, std::uint64_t numero_cambio) {
  std::string cabecera(kFirma, sizeof kFirma);
  pon_u64(cabecera, static_cast<std::uint64_t>(longitud));
  pon_u64(cabecera, numero_cambio);
  pon_u64(cabecera, suma(0, cabecera));
  return cabecera;
}

void anade_registro(std::string& salida, std::uint64_t numero_cambio, std::int64_t posicion,
                    std::string_view originales) {
  const std::size_t en = salida.size();
  salida.resize(en + kTamCabeceraRegistro);
  char* cabecera = salida.data() + en;
  pon_u64(cabecera, static_cast<std::uint64_t>(posicion));
  pon_u64(cabecera + 8, originales.size());
  pon_u64(cabecera + 16, suma(numero_cambio, {cabecera, 16}) ^ suma(numero_cambio + 1, originales));
  salida.append(originales);
}

// What a journal says: the length before the change and the original bytes of each range, in
// the order they were kept. Nothing when its header is incomplete: then the change had not
// touched the sheet yet.
struct ContenidoDiario {
  std::int64_t longitud = 0;
  std::uint64_t numero_cambio = 0;
  std::vector<EscrituraAtomica::Tramo> tramos;  // views into the journal's bytes
};

std::optional<ContenidoDiario> interpreta(std::string_view diario) {
  if (diario.size() < kTamCabeceraDiario || std::memcmp(diario.data(), kFirma, 8) != 0 ||
      lee_u64(diario, 24) != suma(0, diario.substr(0, 24))) {
    return std::nullopt;
  }
  ContenidoDiario contenido;
  contenido.longitud = static_cast<std::int64_t>(lee_u64(diario, 8));
  contenido.numero_cambio = lee_u64(diario, 16);
  std::size_t p = kTamCabeceraDiario;
  while (diario.size() - p >= kTamCabeceraRegistro) {
    const std::uint64_t posicion = lee_u64(diario, p), largo = lee_u64(diario, p + 8);
    if (largo > diario.size() - p - kTamCabeceraRegistro) break;
    const std::string_view bytes = diario.substr(p + kTamCabeceraRegistro, largo);
    if (lee_u64(diario, p + 16) != (suma(contenido.numero_cambio, diario.substr(p, 16)) ^
                                    suma(contenido.numero_cambio + 1, bytes))) {
      break;
    }
    contenido.tramos.push_back({static_cast<std::int64_t>(posicion), bytes});
    p += kTamCabeceraRegistro + largo;
  }
  return contenido;
}

std::optional<std::string> lee_si_existe(const std::filesystem::path& ruta) {
  if (!existe_archivo(ruta)) return std::nullopt;
  try {
    const Lista<char> bytes = lee_fichero(ruta);
    return std::string(bytes.begin(), bytes.end());
  } catch (const ErrorFicheroInexistente&) {
    return std::nullopt;
  }
}

std::string aviso_recuperada(const std::filesystem::path& ruta) {
  return "La hoja " + ruta_texto(ruta) +
         " tenía un cambio a medias: se ha devuelto a como estaba antes de él";
}

// Puts the sheet back as the journal beside it says and removes the journal. The ranges go back
// last kept first, so a range kept twice ends with the bytes it had before the change. True
// when the sheet had been changed. Runs only under the sheet's lock.
bool deshaz_con_diario(FicheroAbierto& hoja) {
  const auto ruta = ruta_diario(hoja.ruta());
  const std::optional<std::string> diario = lee_si_existe(ruta);
  if (!diario) return false;
  bool cambiada = false;
  if (const auto contenido = interpreta(*diario)) {
    for (auto t = contenido->tramos.rbegin(); t != contenido->tramos.rend(); ++t) {
      if (hoja.lee(t->posicion, t->bytes.size()) == t->bytes) continue;
      hoja.escribe(t->posicion, t->bytes);
      cambiada = true;
    }
    if (hoja.tamano() > contenido->longitud) {
      hoja.recorta(contenido->longitud);
      cambiada = true;
    }
    hoja.sincroniza();
  }
  borra_fichero(ruta);
  try {
    sincroniza_carpeta(ruta.parent_path());
  } catch (...) {
    // The sheet is whole already; should the journal's removal be lost, the same rollback is
    // simply done again at the next open.
  }
  return cambiada;
}

// The sheet's bytes as they were before the change that the journal belongs to.
void aplica_diario(Lista<char>& bytes, const ContenidoDiario& contenido) {
  if (static_cast<std::int64_t>(bytes.size()) > contenido.longitud)
    bytes.resize(static_cast<std::size_t>(contenido.longitud));
  for (auto t = contenido.tramos.rbegin(); t != contenido.tramos.rend(); ++t) {
    if (t->posicion < 0 || t->posicion >= static_cast<std::int64_t>(bytes.size())) continue;
    const auto en = static_cast<std::size_t>(t->posicion);
    std::memcpy(bytes.data() + en, t->bytes.data(), std::min(t->bytes.size(), bytes.size() - en));
  }
}

std::uint64_t numero_de_cambio() {
  std::random_device azar;
  return (std::uint64_t{azar()} << 32) ^ azar() ^
         static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

}  // namespace

std::filesystem::path ruta_diario(const std::filesystem::path& hoja) {
  auto ruta = hoja;
  ruta += ".diario";
  return ruta;
}

std::string recupera_hoja(const CerrojoHoja& cerrojo) {
  if (!existe_archivo(ruta_diario(cerrojo.ruta()))) return {};
  FicheroAbierto hoja = FicheroAbierto::existente(cerrojo.ruta());
  return deshaz_con_diario(hoja) ? aviso_recuperada(cerrojo.ruta()) : std::string();
}

std::string recupera_hoja(const std::filesystem::path& ruta) {
  if (!existe_archivo(ruta_diario(ruta))) return {};
  std::optional<CerrojoHoja> cerrojo;
  try {
    cerrojo.emplace(ruta);
  } catch (const ErrorHojaOcupada&) {
    return {};  // its writer is at work: the journal is not left over
  }
  return recupera_hoja(*cerrojo);
}

LecturaHoja lee_hoja(const std::filesystem::path& ruta, bool mapear) {
  LecturaHoja lectura;
  if (existe_archivo(ruta_diario(ruta))) {
    try {
      lectura.aviso = recupera_hoja(ruta);
    } catch (const ErrorTelmora&) {
      // A sheet this process may not write (read-only): it is read as it was before the change.
    }
  }
  const auto diario = ruta_diario(ruta);
  for (int intento = 0; intento < kIntentosLectura; ++intento) {
    if (intento > 0) std::this_thread::sleep_for(kEsperaLectura);
    const std::optional<std::string> antes = lee_si_existe(diario);
    const HuellaFichero huella = huella_de(ruta);
    if (!antes && mapear) {
      // No change under way: the file may be mapped, as long as none began while it was.
      ImagenFichero imagen = ImagenFichero::de_fichero(ruta);
      lectura.huella = huella_de(ruta);
      if (huella == lectura.huella && !existe_archivo(diario)) {
        lectura.bytes = std::move(imagen);
        return lectura;
      }
      continue;
    }
    Lista<char> bytes = lee_fichero(ruta);
    lectura.huella = huella_de(ruta);
    const std::optional<std::string> despues = lee_si_existe(diario);
    if (!antes && !despues) {
      if (huella != lectura.huella) continue;
    } else if (!antes || !despues || antes->size() < kTamCabeceraDiario ||
               despues->compare(0, antes->size(), *antes) != 0) {
      continue;
    } else if (const auto contenido = interpreta(*despues)) {
      // The same change all along (its journal only grew): every range it overwrote while the
      // sheet was read is in the journal read after.
      aplica_diario(bytes, *contenido);
    }
    lectura.bytes = ImagenFichero(std::move(bytes));
    return lectura;
  }
  throw ErrorTelmora("No se puede leer " + ruta_texto(ruta) +
                     ": otro proceso la está cambiando sin parar");
}

bool hoja_intacta(const std::filesystem::path& ruta, const HuellaFichero& huella) {
  return huella_de(ruta) == huella && !existe_archivo(ruta_diario(ruta));
}

EscrituraAtomica::EscrituraAtomica(const std::filesystem::path& ruta,
                                   std::shared_ptr<const CerrojoHoja> cerrojo)
    : cerrojo_(cerrojo ? std::move(cerrojo) : std::make_shared<const CerrojoHoja>(ruta)),
      fichero_([&] {
        recupera_hoja(*cerrojo_);
        return FicheroAbierto::existente(ruta);
      }()),
      longitud_inicial_(fichero_.tamano()),
      longitud_(longitud_inicial_) {}

EscrituraAtomica::~EscrituraAtomica() {
  if (terminada_) return;
  try {
    deshaz();
  } catch (...) {
    // The journal stays: the next open of the file rolls the change back.
  }
}

void EscrituraAtomica::guarda(std::int64_t posicion, std::string_view originales) {
  // Bytes beyond the first length go when the file is cut back to it.
  if (posicion >= longitud_inicial_) return;
  empieza_registros();
  const auto largo = std::min<std::int64_t>(static_cast<std::int64_t>(originales.size()),
                                            longitud_inicial_ - posicion);
  anade_registro(registros_, numero_cambio_, posicion,
                 originales.substr(0, static_cast<std::size_t>(largo)));
}

void EscrituraAtomica::empieza_registros() {
  if (con_diario_ || !registros_.empty()) return;
  numero_cambio_ = numero_de_cambio();
  registros_ = cabecera_diario(longitud_inicial_, numero_cambio_);
}

void EscrituraAtomica::escribe_diario() {
  const bool nuevo = !con_diario_;
  if (nuevo) {
    empieza_registros();
    con_diario_ = true;
    diario_ = FicheroAbierto::nuevo(ruta_diario(ruta()));
  }
  if (registros_.empty()) return;
  diario_->escribe(fin_diario_, registros_);
  fin_diario_ += static_cast<std::int64_t>(registros_.size());
  registros_.clear();
  diario_->sincroniza();
  if (nuevo) sincroniza_carpeta(ruta().parent_path());
}

void EscrituraAtomica::escribe(std::span<const Tramo> escritos, std::string_view anadido) {
  if (terminada_) throw ErrorTelmora("El cambio de " + ruta_texto(ruta()) + " ya terminó");
  try {
    escribe_diario();
    for (const Tramo& t : escritos) fichero_.escribe(t.posicion, t.bytes);
    if (!anadido.empty()) {
      fichero_.escribe(longitud_, anadido);
      longitud_ += static_cast<std::int64_t>(anadido.size());
    }
  } catch (const ErrorTelmora& error) {
    deshaz_y_falla(error.what());
  }
}

void EscrituraAtomica::confirma() {
  if (terminada_) return;
  if (!con_diario_) {
    terminada_ = true;  // nothing was written
    return;
  }
  try {
    fichero_.sincroniza();
    diario_.reset();
    borra_fichero(ruta_diario(ruta()));
  } catch (const ErrorTelmora& error) {
    deshaz_y_falla(error.what());
  }
  terminada_ = true;
  try {
    sincroniza_carpeta(ruta().parent_path());
  } catch (...) {
    // The change is made; should the journal's removal be lost in a crash, the next open rolls
    // the sheet back to before it, as if it had not ended.
  }
}

void EscrituraAtomica::deshaz() {
  terminada_ = true;
  registros_.clear();
  if (!con_diario_) return;
  diario_.reset();
  try {
    deshaz_con_diario(fichero_);
  } catch (const ErrorTelmora& error) {
    throw ErrorTelmora("No se puede deshacer el cambio a medias de " + ruta_texto(ruta()) + " (" +
                       error.what() + "); se deshará al abrirla de nuevo");
  }
}

void EscrituraAtomica::deshaz_y_falla(const std::string& motivo) {
  try {
    deshaz();
  } catch (const ErrorTelmora& error) {
    throw ErrorTelmora(motivo + "\n" + error.what());
  }
  throw ErrorTelmora(motivo);
}

void anade_al_final(const std::filesystem::path& ruta, std::string_view bytes) {
  if (bytes.empty()) return;
  EscrituraAtomica escritura(ruta);
  escritura.escribe({}, bytes);
  escritura.confirma();
}

}  // namespace telmora
