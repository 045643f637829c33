#include "importacion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "edicion/reescritura.h"
#include "funciones.h"
#include "lector_sig.h"
#include "mapeo_entidades.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr std::size_t kMaxVertices = 32767;                // the point count is a 16-bit integer
constexpr std::size_t kMaxTrozosTexto = kMaxVertices - 1;  // one point is the insertion point
constexpr std::size_t kMaxAtributos = 255;                 // the attribute count is one byte

// Values asked of the reader for each feature, in this order.
enum Valor : std::size_t {
  kValorCodigo,
  kValorTexto,
  kValorAltura,
  kValorAngulo,
  kValorJustificacion,
  kValorAtributos,
  kValorEntidad,
  kNumValores
};

// The fields of a layer read that make its entities, by Valor (-1 where the layer has none).
std::vector<int> campos_de(const CapaLeida& capa, const OpcionesImportacion& opciones) {
  std::vector<int> campos(kNumValores, -1);
  auto busca = [&](const std::string& nombre) { return busca_campo(capa.campos, nombre); };
  if (opciones.campo_codigo) {
    campos[kValorCodigo] = busca(*opciones.campo_codigo);
  } else if (!opciones.codigo) {
    campos[kValorCodigo] = busca(kCampoCodigo);
  }
  campos[kValorTexto] = busca(opciones.campo_texto.value_or(kCampoTexto));
  if (!opciones.altura_texto) campos[kValorAltura] = busca(kCampoAltura);
  campos[kValorAngulo] = busca(kCampoAngulo);
  campos[kValorJustificacion] = busca(kCampoJustificacion);
  campos[kValorAtributos] = busca(kCampoAtributos);
  const int entidad = busca(kCampoEntidad);
  if (entidad >= 0 && capa.campos[static_cast<std::size_t>(entidad)].tipo == TipoCampo::entero) {
    campos[kValorEntidad] = entidad;
  }
  return campos;
}

// A number as a file integer, rounded; false when it is not finite or does not fit.
bool a_entero(double valor, std::int32_t& entero) {
  const double redondo = std::nearbyint(valor);
  if (!(redondo >= std::numeric_limits<std::int32_t>::min() &&
        redondo <= std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  entero = static_cast<std::int32_t>(redondo);
  return true;
}

// Builds the entities of the features read, encoded as in the file, one after another.
class Conversion {
 public:
  Conversion(const OpcionesImportacion& opciones, ResultadoImportacion& resultado)
      : opciones_(opciones), resultado_(resultado) {}

  // The layer whose features come next (its place in the result's list): `con_textos` when its
  // points are texts.
  void capa(std::size_t capa, bool con_textos) {
    capa_ = capa;
    con_textos_ = con_textos;
  }

  void rasgo(const RasgoSig& rasgo) {
    ++resultado_.capas[capa_].rasgos;
    if (rasgo.partes.empty()) {
      ++resultado_.vacias;
      return;
    }
    prepara_comunes(rasgo);
    for (std::size_t k = 0; k < rasgo.partes.size(); ++k) parte(rasgo, k);
  }

  // The entities, in the order of their exported numbers when every feature had one.
  void escribe(const std::filesystem::path& destino) {
    resultado_.en_orden_de_entidad = todas_numeradas_;
    if (todas_numeradas_) {
      std::stable_sort(piezas_.begin(), piezas_.end(),
                       [](const Pieza& a, const Pieza& b) { return a.clave < b.clave; });
    }
    SalidaBin salida(destino);
    for (const Pieza& pieza : piezas_)
      salida.bytes_entidad({bytes_.data() + pieza.inicio, pieza.largo});
    salida.confirma();
  }

  bool vacia() const { return piezas_.empty(); }

 private:
  struct Pieza {
    std::int64_t clave;
    std::size_t inicio;
    std::size_t largo;
  };

  void prepara_comunes(const RasgoSig& rasgo) {
    const auto& v = rasgo.valores;
    std::string codigo = valor_como_texto(v[kValorCodigo]);
    if (codigo.empty()) codigo = opciones_.codigo.value_or("");
    codigo_ = codigo_desde_texto(utf8_a_cp1252(codigo));
    atributos_ = atributos_de_texto(valor_como_texto(v[kValorAtributos]));
    if (atributos_.size() > kMaxAtributos) atributos_.resize(kMaxAtributos);
    const auto* numero = std::get_if<std::int64_t>(&v[kValorEntidad]);
    if (numero == nullptr) todas_numeradas_ = false;
    clave_ = numero != nullptr ? *numero : 0;
    if (!con_textos_) return;
    texto_ = utf8_a_cp1252(valor_como_texto(v[kValorTexto]));
    const std::size_t trozos =
        std::clamp<std::size_t>((texto_.size() + 11) / 12, 1, kMaxTrozosTexto);
    texto_.resize(kTamTrozoTexto * trozos, '\0');
    caracteres_ = std::min(texto_.find('\0'), texto_.size());
    double metros = opciones_.altura_texto.value_or(0);
    if (!opciones_.altura_texto && !(valor_como_real(v[kValorAltura], metros) && metros > 0)) {
      metros = kAlturaTextoImportado;
    }
    if (!a_entero(metros * opciones_.uds, altura_)) {
      a_entero(kAlturaTextoImportado * opciones_.uds, altura_);
    }
    double grados = 0, codigo_justificacion = 0;
    if (!(valor_como_real(v[kValorAngulo], grados) && a_entero(grados * 100, angulo_))) angulo_ = 0;
    if (!(valor_como_real(v[kValorJustificacion], codigo_justificacion) &&
          a_entero(codigo_justificacion, justificacion_))) {
      justificacion_ = 0;
    }
  }

  void parte(const RasgoSig& rasgo, std::size_t k) {
    vertices_.clear();
    for (std::uint32_t i = rasgo.inicio(k); i < rasgo.partes[k].fin; ++i) {
      const PuntoSig& p = rasgo.puntos[i];
      Vertice v;
      if (!a_entero(p.x * opciones_.uds, v.x) || !a_entero(p.y * opciones_.uds, v.y) ||
          !a_entero(p.z * opciones_.uds, v.z)) {
        ++resultado_.invalidas;
        return;
      }
      vertices_.push_back(v);
    }
    const ClaseParte clase = rasgo.partes[k].clase;
    if (clase == ClaseParte::anillo && !vertices_.empty() &&
        clase_elemento(vertices_) != ClaseElemento::cerrado) {
      vertices_.push_back(vertices_.front());  // a ring that does not end where it starts
    }
    const std::size_t minimo = clase == ClaseParte::punto ? 1 : clase == ClaseParte::linea ? 2 : 3;
    if (vertices_.size() < minimo) {
      ++resultado_.invalidas;
      return;
    }
    if (clase == ClaseParte::punto && con_textos_) {
      anade_texto(vertices_.front());
    } else {
      anade_elemento();
    }
  }

  void anade_texto(const Vertice& insercion) {
    Cabecera cabecera;
    cabecera.tipo = kTipoTexto;
    cabecera.codigo = codigo_;
    cabecera.num_atributos = static_cast<std::uint8_t>(atributos_.size());
    cabecera.num_puntos = static_cast<std::int16_t>(1 + texto_.size() / kTamTrozoTexto);
    const Rango rango = rango_de_texto(insercion, caracteres_, altura_, justificacion_, angulo_);
    guarda(cabecera, rango, {&insercion, 1}, texto_);
    ++resultado_.textos;
  }

  // The element, split into pieces of at most kMaxVertices that share their cut vertex.
  void anade_elemento() {
    if (vertices_.size() > kMaxVertices) ++resultado_.partidas;
    std::size_t desde = 0;
    while (true) {
      const std::size_t cuantos = std::min(kMaxVertices, vertices_.size() - desde);
      const std::span<const Vertice> tramo(vertices_.data() + desde, cuantos);
      Cabecera cabecera;
      cabecera.codigo = codigo_;
      cabecera.num_atributos = static_cast<std::uint8_t>(atributos_.size());
      cabecera.num_puntos = static_cast<std::int16_t>(cuantos);
      guarda(cabecera, rango_de_elemento_nuevo(tramo), tramo, {});
      ++resultado_.elementos;
      if (desde + cuantos >= vertices_.size()) break;
      desde += cuantos - 1;
    }
  }

  void guarda(const Cabecera& cabecera, const Rango& rango, std::span<const Vertice> vertices,
              std::string_view texto) {
    const std::size_t inicio = bytes_.size();
    escribe_entidad(bytes_, cabecera, rango, vertices, texto, atributos_);
    piezas_.push_back({clave_, inicio, bytes_.size() - inicio});
    ++resultado_.capas[capa_].entidades;
  }

  const OpcionesImportacion& opciones_;
  ResultadoImportacion& resultado_;
  std::size_t capa_ = 0;
  bool con_textos_ = false;
  bool todas_numeradas_ = true;

  // What every part of the current feature shares.
  std::array<char, kAnchoCodigo> codigo_{};
  std::vector<Atributo> atributos_;
  std::int64_t clave_ = 0;
  std::string texto_;  // NUL-padded pieces
  std::size_t caracteres_ = 0;
  std::int32_t altura_ = 0, angulo_ = 0, justificacion_ = 0;

  std::vector<Vertice> vertices_;
  std::string bytes_;
  std::vector<Pieza> piezas_;
};

// The layers of a source to read: those named (each must have geometries), or all with
// geometries. Layers without them are listed as left out when none are named.
std::vector<std::size_t> capas_elegidas(const LectorSig& lector,
                                        const OpcionesImportacion& opciones,
                                        ResultadoImportacion& resultado) {
  std::vector<std::size_t> elegidas;
  const auto& capas = lector.capas();
  for (std::size_t i = 0; i < capas.size(); ++i) {
    const bool nombrada = std::find(opciones.capas.begin(), opciones.capas.end(),
                                    capas[i].nombre) != opciones.capas.end();
    if (!opciones.capas.empty() && !nombrada) continue;
    if (capas[i].con_geometria) {
      elegidas.push_back(i);
    } else if (nombrada) {
      throw ErrorEntradaSig("La capa " + capas[i].nombre + " de " + ruta_texto(lector.origen()) +
                            " no tiene geometrías que importar");
    } else {
      resultado.capas.push_back({ruta_texto(lector.origen()), capas[i].nombre, false});
    }
  }
  return elegidas;
}

}  // namespace

std::vector<std::string> ResultadoImportacion::lineas() const {
  std::vector<std::string> salida;
  for (const Capa& capa : capas) {
    std::string linea = "Capa " + capa.nombre + " de " + capa.origen + ": ";
    linea += capa.leida ? std::to_string(capa.rasgos) + " rasgos, " +
                              std::to_string(capa.entidades) + " entidades"
                        : "sin geometrías, no se importa";
    salida.push_back(linea);
  }
  salida.push_back("Geometrías vacías saltadas: " + std::to_string(vacias));
  salida.push_back("Geometrías que no pueden ser entidades saltadas: " + std::to_string(invalidas));
  salida.push_back("Geometrías de más de 32767 vértices partidas: " + std::to_string(partidas));
  if (en_orden_de_entidad) salida.push_back("Entidades en el orden de su campo entidad");
  salida.push_back("Escrito " + ruta_texto(destino) + ": " + std::to_string(elementos + textos) +
                   " entidades (" + std::to_string(elementos) + " elementos, " +
                   std::to_string(textos) + " textos)");
  for (const auto& aviso : avisos) salida.push_back("Aviso: " + aviso);
  return salida;
}

ResultadoImportacion importa_sig(const std::vector<std::filesystem::path>& origenes,
                                 const std::filesystem::path& destino,
                                 const OpcionesImportacion& opciones, Progreso& progreso) {
  ResultadoImportacion resultado;
  resultado.destino = destino;
  Conversion conversion(opciones, resultado);
  std::vector<std::string> encontradas;
  bool con_campo_codigo = false, con_campo_texto = false;
  for (const auto& origen : origenes) {
    LectorSig lector(origen);
    for (const std::size_t i : capas_elegidas(lector, opciones, resultado)) {
      const CapaLeida& capa = lector.capas()[i];
      encontradas.push_back(capa.nombre);
      const std::vector<int> campos = campos_de(capa, opciones);
      con_campo_codigo |= campos[kValorCodigo] >= 0;
      con_campo_texto |= campos[kValorTexto] >= 0;
      conversion.capa(resultado.capas.size(), campos[kValorTexto] >= 0);
      resultado.capas.push_back({ruta_texto(origen), capa.nombre});
      progreso.paso("Importando " + capa.nombre);
      lector.lee(
          i, campos, [&](const RasgoSig& rasgo) { conversion.rasgo(rasgo); }, progreso);
    }
    for (const auto& aviso : lector.avisos()) resultado.avisos.push_back(aviso);
  }
  for (const std::string& nombre : opciones.capas) {
    if (std::find(encontradas.begin(), encontradas.end(), nombre) == encontradas.end()) {
      throw ErrorEntradaSig("No hay ninguna capa " + nombre + " en lo que se importa");
    }
  }
  for (const auto& [campo, hallado] : {std::pair{opciones.campo_codigo, con_campo_codigo},
                                       {opciones.campo_texto, con_campo_texto}}) {
    if (campo && !hallado) resultado.avisos.push_back("Ninguna capa tiene el campo " + *campo);
  }
  if (conversion.vacia()) {
    throw ErrorEntradaSig("No hay geometrías que importar: " + std::to_string(resultado.vacias) +
                          " vacías y " + std::to_string(resultado.invalidas) +
                          " que no pueden ser entidades");
  }
  progreso.paso("Escribiendo " + ruta_texto(destino));
  conversion.escribe(destino);
  return resultado;
}

}  // namespace telmora
