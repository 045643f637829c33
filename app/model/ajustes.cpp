#include "ajustes.h"

#include "fichero.h"

namespace telmora {

namespace {

std::filesystem::path busca_en(const std::filesystem::path& dir_trabajo,
                               const std::filesystem::path& dir_datos, const std::string& nombre) {
  const auto candidata = dir_trabajo / ruta_desde_texto(nombre);
  if (existe_archivo(candidata)) return candidata;
  const auto alternativa = dir_datos / ruta_desde_texto(nombre);
  if (existe_archivo(alternativa)) return alternativa;
  throw ErrorFicheroInexistente(candidata);
}

}  // namespace

Ajustes busca_ficheros(const std::filesystem::path& dir_trabajo, const std::string& nombre_bin,
                       const std::filesystem::path& dir_datos) {
  Ajustes ajustes;
  ajustes.dir_trabajo = dir_trabajo;
  ajustes.dir_datos = dir_datos;
  ajustes.fich_entrada = busca_en(dir_trabajo, dir_datos, nombre_bin);
  ajustes.fich_vekttab = busca_en(dir_trabajo, dir_datos, "Vekt.tab");
  ajustes.fich_pal = busca_en(dir_trabajo, dir_datos, "Vekt.pal");
  return ajustes;
}

Ajustes ajustes_junto_a(const std::filesystem::path& bin) {
  Ajustes ajustes;
  ajustes.dir_trabajo = bin.parent_path();
  ajustes.fich_entrada = bin;
  ajustes.fich_vekttab = ajustes.dir_trabajo / "Vekt.tab";
  ajustes.fich_pal = ajustes.dir_trabajo / "Vekt.pal";
  return ajustes;
}

std::string texto_directorio(const std::filesystem::path& dir) {
  std::string texto = ruta_texto(std::filesystem::path(dir).make_preferred());
  const char separador = static_cast<char>(std::filesystem::path::preferred_separator);
  if (texto.empty() || (texto.back() != separador && texto.back() != '/')) texto += separador;
  return texto;
}

std::string nombre_salida_sugerido(const std::string& nombre_entrada) {
  return nombre_entrada.substr(0, nombre_entrada.find('.')) + ".bin";
}

}  // namespace telmora
