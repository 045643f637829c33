#include "control/navegacion_catalogo.h"

#include <cmath>

#include "texto.h"

namespace telmora {

namespace {

std::int32_t mslink_de(const Valor& clave) {
  return clng(clave).value_or(0);
}

// The object number of a value item ("12 - [7] Calle": the text between the first "[" and the
// first "]"), as a number to compare with; nothing when there is none.
std::optional<Valor> objeto_del_valor(const std::string& item) {
  const auto abre = item.find('[');
  const auto cierra = item.find(']');
  if (abre == std::string::npos || cierra == std::string::npos || cierra < abre)
    return std::nullopt;
  const auto numero = numero_de(Valor(item.substr(abre + 1, cierra - abre - 1)));
  if (!numero) return std::nullopt;
  if (*numero == std::trunc(*numero) && std::fabs(*numero) < 9e15) {
    return Valor(static_cast<std::int64_t>(*numero));
  }
  return Valor(*numero);
}

}  // namespace

void TablaSeleccion::carga(const std::vector<RegistroCatalogo>& registros) {
  registros_.clear();
  primero_.clear();
  for (const RegistroCatalogo& registro : registros) {
    primero_.try_emplace(registro.mslink, registros_.size());
    registros_.push_back({registro.mslink, registro.grupo, false});
  }
}

bool TablaSeleccion::esta_seleccionado(std::int32_t mslink) const {
  const auto encontrado = primero_.find(mslink);
  return encontrado != primero_.end() && registros_[encontrado->second].seleccionado;
}

void TablaSeleccion::selecciona(std::int32_t mslink, bool valor) {
  const auto encontrado = primero_.find(mslink);
  if (encontrado != primero_.end()) registros_[encontrado->second].seleccionado = valor;
}

std::vector<std::int32_t> TablaSeleccion::seleccionados() const {
  std::vector<std::int32_t> mslinks;
  for (const RegistroSeleccion& registro : registros_) {
    if (registro.seleccionado) mslinks.push_back(registro.mslink);
  }
  return mslinks;
}

CatalogoPorTemas::CatalogoPorTemas(const BaseDatos& bd, TablaSeleccion& seleccion)
    : bd_(bd), seleccion_(seleccion) {
  seleccion_.carga(registros_por_tema(bd_));
  temas_ = temas_del_catalogo(bd_);
}

void CatalogoPorTemas::elige_tema(std::size_t indice, bool doble) {
  entradas_.clear();
  for (const ElementoCatalogo& entrada : entradas_del_tema(bd_, temas_.at(indice).clave)) {
    const std::int32_t mslink = mslink_de(entrada.clave);
    if (doble) seleccion_.selecciona(mslink, !seleccion_.esta_seleccionado(mslink));
    entradas_.push_back({entrada.texto, mslink, seleccion_.esta_seleccionado(mslink)});
  }
}

void CatalogoPorTemas::pulsa_entrada(std::size_t indice) {
  const std::int32_t mslink = entradas_.at(indice).mslink;
  seleccion_.selecciona(mslink, !seleccion_.esta_seleccionado(mslink));
  refresca_entradas();
}

void CatalogoPorTemas::refresca_entradas() {
  for (EntradaLista& entrada : entradas_) {
    entrada.seleccionada = seleccion_.esta_seleccionado(entrada.mslink);
  }
}

CatalogoPorObjetos::CatalogoPorObjetos(const BaseDatos& bd, TablaSeleccion& seleccion)
    : bd_(bd), seleccion_(seleccion) {
  seleccion_.carga(registros_por_objeto(bd_));
  objetos_ = objetos_del_catalogo(bd_);
}

void CatalogoPorObjetos::elige_objetos(const std::vector<std::size_t>& indices) {
  guarda_elementos();
  elementos_.clear();
  valores_.clear();
  for (const std::size_t indice : indices) {
    for (std::string& valor : valores_del_objeto(bd_, objetos_.at(indice).clave)) {
      valores_.push_back(std::move(valor));
    }
  }
}

void CatalogoPorObjetos::elige_valores(const std::vector<std::size_t>& indices) {
  guarda_elementos();
  elementos_.clear();
  for (const std::size_t indice : indices) {
    const std::string& item = valores_.at(indice);
    const auto objeto = objeto_del_valor(item);
    if (!objeto) continue;
    const std::string valor = limpia_texto(item.substr(0, item.find('-')));
    for (const ElementoCatalogo& elemento : elementos_del_valor(bd_, *objeto, valor)) {
      const std::int32_t mslink = mslink_de(elemento.clave);
      elementos_.push_back({elemento.texto, mslink, seleccion_.esta_seleccionado(mslink)});
    }
  }
}

void CatalogoPorObjetos::marca_elementos(const std::vector<bool>& seleccion) {
  for (std::size_t i = 0; i < elementos_.size() && i < seleccion.size(); ++i) {
    elementos_[i].seleccionada = seleccion[i];
  }
  guarda_elementos();
}

void CatalogoPorObjetos::invierte_elementos() {
  for (EntradaLista& elemento : elementos_) elemento.seleccionada = !elemento.seleccionada;
  guarda_elementos();
}

void CatalogoPorObjetos::guarda_elementos() {
  for (const EntradaLista& elemento : elementos_) {
    seleccion_.selecciona(elemento.mslink, elemento.seleccionada);
  }
}

void Aceptar(const TablaSeleccion& seleccion, Consola& consola, TablaVekt& tabla) {
  muestra_segun_catalogo(seleccion.seleccionados(), consola, tabla);
}

void muestra_segun_catalogo(const std::vector<std::int32_t>& mslinks, Consola& consola,
                            TablaVekt& tabla) {
  consola.marco("*", false);
  consola.codigos.vacia();
  for (const std::int32_t mslink : mslinks) {
    if (!consola.codigos.anade(std::to_string(mslink))) break;
  }
  marco_modelo(tabla, consola.codigos, true);
}

}  // namespace telmora
