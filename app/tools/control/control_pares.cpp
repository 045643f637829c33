#include "control/control_pares.h"

#include "fichero.h"

namespace telmora {

TablaPares::TablaPares(std::vector<FilaPar> filas) : filas_(std::move(filas)) {
  primera_.reserve(filas_.size());
  for (std::size_t i = 0; i < filas_.size(); ++i) {
    if (filas_[i].par) primera_.try_emplace(*filas_[i].par, i);
  }
}

bool TablaPares::BuscaRecinto(std::string_view par, std::int32_t& operador) const {
  const auto encontrada = primera_.find(std::string(par));
  if (encontrada == primera_.end()) return false;
  const FilaPar& fila = filas_[encontrada->second];
  if (!fila.bloqueado) return false;
  operador = fila.operador;
  return true;
}

std::vector<std::string> ResultadoControlPares::lineas() const {
  return {"Pares    Totales : " + std::to_string(totales),
          "Pares Bloqueados : " + std::to_string(bloqueados),
          "Pares     Libres : " + std::to_string(libres)};
}

ResultadoControlPares cuenta_pares(const std::filesystem::path& ruta, const DibujoPares& dibujo) {
  ResultadoControlPares resultado;
  resultado.ruta = ruta;
  const BaseDatos bd = BaseDatos::abre(ruta_texto(ruta));
  ParesLeidos pares = lee_pares(bd);
  resultado.totales = static_cast<std::int64_t>(pares.todos.size());
  resultado.bloqueados = pares.bloqueados;
  resultado.libres = pares.libres;
  const TablaPares tabla(std::move(pares.todos));
  if (dibujo) dibujo(tabla);
  return resultado;
}

ResultadoControlPares carga_control_pares(const std::filesystem::path& local,
                                          const AjustesInstalacion& instalacion, Dialogos& dialogos,
                                          const EstadoVisor& estado, const DibujoPares& dibujo) {
  estado("Conectando la Base de Datos...");
  // The server's shared folder is mounted by the system: it is reachable when its copy is there.
  const auto remota = instalacion.carpeta_control / kNombreBdControl;
  const bool conectada = !instalacion.carpeta_control.empty() && existe_archivo(remota);
  if (conectada) {
    estado("Conexión Establecida.");
  } else {
    estado("Conexion imposible.");
    dialogos.mensaje("Connexión no posible.\nUtilizo BdD en local", Icono::ninguno);
  }
  ResultadoControlPares resultado = cuenta_pares(conectada ? remota : local, dibujo);
  resultado.conectada = conectada;
  // Nothing was connected when the server could not be reached, so nothing can be closed.
  estado(conectada ? "Conexión Cerrada." : "No ha sido posible cerrar conexión");
  return resultado;
}

}  // namespace telmora
