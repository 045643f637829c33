// Arguments of a telmora-cli command: positional values, options with a value (--name VALUE or
// --name=VALUE, repeatable) and flags.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace telmora::cli {

// Bad arguments: the message is one line for the user; the exit status is 2.
class ErrorUso : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct OpcionesAdmitidas {
  std::set<std::string> con_valor;  // names without "--"
  std::set<std::string> banderas;
};

class Argumentos {
 public:
  Argumentos(const std::vector<std::string>& textos, const OpcionesAdmitidas& admitidas);

  const std::vector<std::string>& posicionales() const { return posicionales_; }
  bool bandera(const std::string& nombre) const { return banderas_.count(nombre) > 0; }
  bool tiene(const std::string& nombre) const { return valores_.count(nombre) > 0; }
  // The last value given to an option.
  const std::string& valor(const std::string& nombre) const;
  std::vector<std::string> valores(const std::string& nombre) const;

  // Exactly this many positional values, or ErrorUso naming what is expected.
  void exige_posicionales(std::size_t cantidad, const std::string& uso) const;

 private:
  std::vector<std::string> posicionales_;
  std::map<std::string, std::vector<std::string>> valores_;
  std::set<std::string> banderas_;
};

// Numbers typed by the user; ErrorUso naming the option when the text is not one.
double numero_de_opcion(const std::string& texto, const std::string& opcion);
long long entero_de_opcion(const std::string& texto, const std::string& opcion);
// The tolerance in metres of --tolerancia, or the start form's default when it is not given;
// ErrorUso when it is not a non-negative number.
double tolerancia_de_opcion(const Argumentos& argumentos);
// Numbers separated by `separador` ("12,15").
std::vector<double> numeros_de_lista(const std::string& texto, char separador,
                                     const std::string& opcion);
// Exactly `cantidad` numbers separated by `separador` ("1,2,3,4", "800x600").
std::vector<double> numeros_de_opcion(const std::string& texto, char separador,
                                      std::size_t cantidad, const std::string& opcion);

}  // namespace telmora::cli
