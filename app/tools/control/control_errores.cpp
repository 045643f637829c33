#include "control/control_errores.h"

#include <cmath>
#include <set>

#include "fichero.h"
#include "formato_bin.h"
#include "texto.h"

namespace telmora {

namespace {

std::string texto_de_trozos(std::string_view bytes) {
  std::string texto;
  for (std::size_t inicio = 0; inicio < bytes.size(); inicio += kTamTrozoTexto) {
    const std::string_view trozo = bytes.substr(inicio, kTamTrozoTexto);
    texto += trozo.substr(0, trozo.find('\0'));
  }
  return cp1252_a_utf8(limpia_texto(texto));
}

std::optional<std::int64_t> numero_entero(const Valor& valor) {
  const auto numero = numero_de(valor);
  if (!numero || *numero != std::trunc(*numero) || std::fabs(*numero) > 9e15) return std::nullopt;
  return static_cast<std::int64_t>(*numero);
}

std::string une_con_tabuladores(const std::vector<std::string>& campos) {
  std::string linea;
  for (std::size_t i = 0; i < campos.size(); ++i) {
    if (i > 0) linea += '\t';
    linea += campos[i];
  }
  return linea;
}

}  // namespace

std::vector<MarcaError> marcas_de_error(const Hoja& hoja) {
  std::vector<MarcaError> marcas;
  for (const Entidad& e : hoja.t) {
    if (!hoja.activa(e)) continue;
    const std::string texto = texto_de_trozos(hoja.bytes_texto(e));
    const auto guion = texto.find('_');
    const std::string candidato = texto.substr(0, guion);
    if (candidato.find('.') != std::string::npos) continue;
    const auto numero = clng(Valor(candidato));
    if (!numero) continue;
    marcas.push_back(
        {*numero, guion == std::string::npos ? std::string() : texto.substr(guion + 1)});
  }
  return marcas;
}

TablaErrores::TablaErrores(std::vector<FilaError> filas) : filas_(std::move(filas)) {
  for (std::size_t i = 0; i < filas_.size(); ++i) {
    if (const auto numero = numero_entero(filas_[i].valores[kColumnaNumError])) {
      primera_.try_emplace(*numero, i);
    }
  }
}

std::optional<std::size_t> TablaErrores::busca(std::int32_t numero) const {
  const auto encontrada = primera_.find(numero);
  if (encontrada == primera_.end()) return std::nullopt;
  return encontrada->second;
}

std::optional<std::size_t> TablaErrores::BuscaError(std::int32_t numero,
                                                    const std::string& descripcion) {
  const auto fila = busca(numero);
  if (!fila) return std::nullopt;
  Valor& estado = filas_[*fila].valores[kColumnaEstado];
  Valor& texto = filas_[*fila].valores[kColumnaDescripcionEstado];
  const double anterior = numero_de(estado).value_or(0);
  if (anterior == 0) {
    estado = std::int64_t{1};
    texto = descripcion;
  } else {
    const double nuevo = anterior + 100;
    const bool entero = nuevo == std::trunc(nuevo) && std::fabs(nuevo) < 9e15;
    estado = entero ? Valor(static_cast<std::int64_t>(nuevo)) : Valor(nuevo);
    texto = texto_celda(texto) + descripcion;
  }
  return fila;
}

std::vector<std::string> ResultadoControlErrores::lineas() const {
  std::vector<std::string> lineas{une_con_tabuladores(
      std::vector<std::string>(kColumnasErrores.begin(), kColumnasErrores.end()))};
  for (const std::size_t fila : cambiadas) {
    std::vector<std::string> celdas;
    for (const Valor& valor : filas[fila].valores) celdas.push_back(texto_celda(valor));
    lineas.push_back(une_con_tabuladores(celdas));
  }
  return lineas;
}

ResultadoControlErrores carga_control_errores(const Hoja& hoja, const std::filesystem::path& ruta) {
  OpcionesApertura escritura;
  escritura.escritura = true;
  BaseDatos bd = BaseDatos::abre(ruta_texto(ruta), escritura);
  TablaErrores tabla(lee_errores(bd));
  std::set<std::size_t> cambiadas;
  for (const MarcaError& marca : marcas_de_error(hoja)) {
    const auto fila = tabla.BuscaError(marca.numero, marca.descripcion);
    if (!fila) continue;
    guarda_estado_error(bd, tabla.fila(*fila));
    cambiadas.insert(*fila);
  }
  return {ruta, tabla.filas(), {cambiadas.begin(), cambiadas.end()}};
}

}  // namespace telmora
