#include "control/busca_bd.h"

#include "fichero.h"

namespace telmora {

std::string nombre_bd_errores(const Ajustes& ajustes) {
  return ruta_texto(ruta_companera(ajustes.fich_entrada, ".mdb").filename());
}

std::optional<std::filesystem::path> busca_base_datos(Ajustes& ajustes, const std::string& nombre,
                                                      Dialogos& dialogos) {
  const auto fichero = ruta_desde_texto(nombre);
  const auto candidata = ajustes.dir_trabajo / fichero;
  if (existe_archivo(candidata)) return candidata;
  const auto alternativa = ajustes.dir_datos / fichero;
  if (existe_archivo(alternativa)) {
    ajustes.dir_trabajo = ajustes.dir_datos;
    return alternativa;
  }
  dialogos.mensaje(ErrorFicheroInexistente(candidata).what(), Icono::critico);
  return std::nullopt;
}

}  // namespace telmora
