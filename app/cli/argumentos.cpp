#include "argumentos.h"

#include "ajustes.h"
#include "texto.h"

#include <charconv>
#include <cmath>

namespace telmora::cli {

Argumentos::Argumentos(const std::vector<std::string>& textos, const OpcionesAdmitidas& admitidas) {
  for (std::size_t i = 0; i < textos.size(); ++i) {
    const std::string& texto = textos[i];
    if (!texto.starts_with("--") || texto == "--") {
      posicionales_.push_back(texto);
      continue;
    }
    std::string nombre = texto.substr(2);
    std::string valor;
    const auto igual = nombre.find('=');
    const bool valor_pegado = igual != std::string::npos;
    if (valor_pegado) {
      valor = nombre.substr(igual + 1);
      nombre.resize(igual);
    }
    if (admitidas.banderas.count(nombre)) {
      if (valor_pegado) throw ErrorUso("la opción --" + nombre + " no lleva valor");
      banderas_.insert(nombre);
    } else if (admitidas.con_valor.count(nombre)) {
      if (!valor_pegado) {
        if (i + 1 >= textos.size()) throw ErrorUso("falta el valor de la opción --" + nombre);
        valor = textos[++i];
      }
      valores_[nombre].push_back(valor);
    } else {
      throw ErrorUso("opción desconocida --" + nombre);
    }
  }
}

const std::string& Argumentos::valor(const std::string& nombre) const {
  return valores_.at(nombre).back();
}

std::vector<std::string> Argumentos::valores(const std::string& nombre) const {
  const auto encontrado = valores_.find(nombre);
  return encontrado == valores_.end() ? std::vector<std::string>{} : encontrado->second;
}

void Argumentos::exige_posicionales(std::size_t cantidad, const std::string& uso) const {
  if (posicionales_.size() != cantidad) {
    throw ErrorUso((posicionales_.size() < cantidad ? "faltan argumentos" : "sobran argumentos") +
                   std::string("; uso: ") + uso);
  }
}

double numero_de_opcion(const std::string& texto, const std::string& opcion) {
  double valor = 0;
  if (!lee_real(texto, valor)) {
    throw ErrorUso("el valor de " + opcion + " no es un número: \"" + texto + "\"");
  }
  return valor;
}

double tolerancia_de_opcion(const Argumentos& argumentos) {
  if (!argumentos.tiene("tolerancia")) return kToleranciaDefecto;
  const double tolerancia = numero_de_opcion(argumentos.valor("tolerancia"), "--tolerancia");
  if (tolerancia < 0) throw ErrorUso("--tolerancia debe ser un número de metros no negativo");
  return tolerancia;
}

long long entero_de_opcion(const std::string& texto, const std::string& opcion) {
  long long valor = 0;
  const auto [fin, error] = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
  if (texto.empty() || error != std::errc() || fin != texto.data() + texto.size()) {
    throw ErrorUso("el valor de " + opcion + " no es un número entero: \"" + texto + "\"");
  }
  return valor;
}

std::vector<double> numeros_de_lista(const std::string& texto, char separador,
                                     const std::string& opcion) {
  std::vector<double> valores;
  std::size_t inicio = 0;
  while (true) {
    const auto fin = texto.find(separador, inicio);
    valores.push_back(numero_de_opcion(texto.substr(inicio, fin - inicio), opcion));
    if (fin == std::string::npos) break;
    inicio = fin + 1;
  }
  return valores;
}

std::vector<double> numeros_de_opcion(const std::string& texto, char separador,
                                      std::size_t cantidad, const std::string& opcion) {
  const std::vector<double> valores = numeros_de_lista(texto, separador, opcion);
  if (valores.size() != cantidad) {
    throw ErrorUso(opcion + " lleva " + std::to_string(cantidad) + " números separados por '" +
                   separador + "'");
  }
  return valores;
}

}  // namespace telmora::cli
