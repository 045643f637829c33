#include <map>

#include "cli.h"
#include "fichero.h"
#include "topologia_cli.h"

namespace telmora::cli {

namespace {

EntradaTopologia entrada_de(const Argumentos& argumentos) {
  static const std::map<std::string, EntradaTopologia> ordenes{
      {"todo", EntradaTopologia::todo},
      {"envolventes", EntradaTopologia::envolventes},
      {"caras", EntradaTopologia::no_envolventes},
      {"islas", EntradaTopologia::islas},
      {"centroides", EntradaTopologia::errores_centroides},
      {"colgantes", EntradaTopologia::arcos_colgantes},
  };
  if (!argumentos.tiene("orden")) return EntradaTopologia::todo;
  const auto orden = ordenes.find(argumentos.valor("orden"));
  if (orden == ordenes.end()) {
    throw ErrorUso("--orden debe ser todo, envolventes, caras, islas, centroides o colgantes");
  }
  return orden->second;
}

}  // namespace

int ejecuta_topologia(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(1, "telmora-cli topologia HOJA.bin [opciones]");
  const EntradaTopologia entrada = entrada_de(argumentos);
  HojaDibujada hoja(argumentos);
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, entrada);
  opciones.carpeta_listados = argumentos.tiene("listados")
                                  ? ruta_desde_texto(argumentos.valor("listados"))
                                  : hoja.sesion.ajustes.fich_entrada.parent_path();
  if (opciones.carpeta_listados.empty()) opciones.carpeta_listados = ".";
  std::error_code error;
  std::filesystem::create_directories(opciones.carpeta_listados, error);

  const LienzoTopologia lienzo = hoja.lienzo();
  const ResultadoTopologia r =
      telmora::ejecuta_topologia(hoja.sesion, opciones, Progreso::ninguno(), &lienzo);
  for (const std::string& linea : r.lineas()) salida << linea << "\n";
  if (entrada == EntradaTopologia::islas) {
    salida << "Islas encontradas :" << r.islas.islas.size() << "\n";
  } else if (entrada == EntradaTopologia::errores_centroides) {
    salida << "Recintos sin centroide :" << r.recintos_sin_centroide() << "\n"
           << "Recintos con varios centroides :" << r.recintos_con_varios() << "\n"
           << "Textos NoPol :" << r.textos_sin_recinto() << "\n"
           << "Textos +Pol :" << r.textos_en_varios() << "\n";
  }
  return termina_topologia(r, argumentos, hoja, errores);
}

}  // namespace telmora::cli
