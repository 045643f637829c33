#include "control/control_pares.h"

#include <optional>

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

namespace {

ParesLeidos lee_origen(const std::string& origen) {
  const BaseDatos bd = BaseDatos::abre(origen);
  return lee_pares(bd);
}

ResultadoControlPares muestra(const std::string& origen, ParesLeidos pares,
                              const DibujoPares& dibujo) {
  ResultadoControlPares resultado;
  resultado.origen = origen;
  resultado.totales = static_cast<std::int64_t>(pares.todos.size());
  resultado.bloqueados = pares.bloqueados;
  resultado.libres = pares.libres;
  const TablaPares tabla(std::move(pares.todos));
  if (dibujo) dibujo(tabla);
  return resultado;
}

// The control server's copy named by the installation; empty when it names none.
std::string origen_servidor(const AjustesInstalacion& instalacion) {
  if (!instalacion.conexion_control.empty()) return instalacion.conexion_control;
  if (instalacion.carpeta_control.empty()) return {};
  return ruta_texto(instalacion.carpeta_control / kNombreBdControl);
}

}  // namespace

ResultadoControlPares cuenta_pares(const std::string& origen, const DibujoPares& dibujo) {
  return muestra(origen, lee_origen(origen), dibujo);
}

ResultadoControlPares carga_control_pares(const std::filesystem::path& local,
                                          const AjustesInstalacion& instalacion, Dialogos& dialogos,
                                          const EstadoVisor& estado, const DibujoPares& dibujo) {
  estado("Conectando la Base de Datos...");
  const std::string servidor = origen_servidor(instalacion);
  std::string imposible = "Conexion imposible.";
  std::optional<ParesLeidos> pares;
  if (!servidor.empty()) {
    try {
      pares = lee_origen(servidor);
    } catch (const ErrorTelmora& error) {
      imposible += std::string(" ") + error.what();
    }
  }
  if (pares) {
    estado("Conexión Establecida.");
    ResultadoControlPares resultado = muestra(servidor, std::move(*pares), dibujo);
    resultado.conectada = true;
    estado("Conexión Cerrada.");
    return resultado;
  }
  // Nothing was connected, so nothing is closed: the panel keeps the reason.
  estado(imposible);
  dialogos.mensaje("Connexión no posible.\nUtilizo BdD en local", Icono::ninguno);
  return cuenta_pares(ruta_texto(local), dibujo);
}

}  // namespace telmora
