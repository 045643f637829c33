#include "visor/ficheros_visor.h"

#include <new>

#include "fichero.h"
#include "hoja.h"

namespace telmora {

std::unique_ptr<Sesion> abre_sesion_o_avisa(const Ajustes& ajustes, Progreso& progreso,
                                            Dialogos& dialogos,
                                            const std::function<void()>& al_fallar) {
  std::vector<std::string> avisos;
  try {
    return std::make_unique<Sesion>(abre_sesion(ajustes, progreso));
  } catch (const ErrorCorrupcion& error) {
    if (!error.corrupcion().detalle.empty()) avisos.push_back(error.corrupcion().detalle);
    avisos.emplace_back(error.what());
  } catch (const ErrorTelmora& error) {
    avisos.emplace_back(error.what());
  } catch (const std::bad_alloc&) {
    avisos.push_back("No hay memoria suficiente para cargar " + ruta_texto(ajustes.fich_entrada));
  } catch (const std::exception& error) {
    avisos.push_back("No se puede cargar " + ruta_texto(ajustes.fich_entrada) + ": " +
                     error.what());
  }
  if (al_fallar) al_fallar();
  for (const std::string& aviso : avisos) dialogos.mensaje(aviso);
  return nullptr;
}

std::vector<std::filesystem::path> ficheros_cargados(const Ajustes& ajustes) {
  return {ajustes.fich_entrada, ajustes.fich_vekttab, ajustes.fich_pal};
}

std::optional<std::filesystem::path> elige_destino_importacion(const Ajustes& ajustes,
                                                               const std::filesystem::path& origen,
                                                               Dialogos& dialogos) {
  const auto propuesto =
      ruta_libre(ajustes.fich_entrada.parent_path(), origen.stem(), "_sig", ".bin");
  auto destino = dialogos.elige_fichero_nuevo("Hoja nueva", "Fichero BIN (*.bin)", propuesto);
  if (!destino) return std::nullopt;
  for (const auto& cargado : ficheros_cargados(ajustes)) {
    if (!mismo_fichero(*destino, cargado)) continue;
    dialogos.mensaje("No se importa sobre " + ruta_texto(*destino) +
                         ": es un fichero abierto en el visor. Elija otro nombre.",
                     Icono::critico, "Importar de formato SIG");
    return std::nullopt;
  }
  return destino;
}

std::string une_lineas(const std::vector<std::string>& lineas) {
  std::string texto;
  for (const auto& linea : lineas) texto += (texto.empty() ? "" : "\n") + linea;
  return texto;
}

}  // namespace telmora
