#include "cli.h"
#include "fichero.h"
#include "progreso_terminal.h"
#include "sig/importacion.h"

namespace telmora::cli {

int ejecuta_importar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  const auto& posicionales = argumentos.posicionales();
  if (posicionales.size() < 2) {
    throw ErrorUso(
        "faltan argumentos; uso: telmora-cli importar ORIGEN... SALIDA.bin [--capa NOMBRE]... "
        "[--campo-codigo CAMPO] [--codigo CODIGO] [--campo-texto CAMPO] [--altura-texto M] "
        "[--mm]");
  }
  OpcionesImportacion opciones;
  opciones.capas = argumentos.valores("capa");
  if (argumentos.tiene("campo-codigo")) opciones.campo_codigo = argumentos.valor("campo-codigo");
  if (argumentos.tiene("codigo")) opciones.codigo = argumentos.valor("codigo");
  if (argumentos.tiene("campo-texto")) opciones.campo_texto = argumentos.valor("campo-texto");
  if (argumentos.tiene("altura-texto")) {
    const double altura = numero_de_opcion(argumentos.valor("altura-texto"), "--altura-texto");
    if (altura <= 0) throw ErrorUso("--altura-texto debe ser un número de metros mayor que 0");
    opciones.altura_texto = altura;
  }
  opciones.uds = argumentos.bandera("mm") ? kUdsMilimetros : kUdsCentimetros;
  std::vector<std::filesystem::path> origenes;
  for (std::size_t i = 0; i + 1 < posicionales.size(); ++i) {
    origenes.push_back(ruta_desde_texto(posicionales[i]));
  }
  const auto destino = ruta_desde_texto(posicionales.back());
  for (const auto& origen : origenes) exige_salida_distinta(destino, origen);
  return ejecuta_intercambio(
      [&] {
        return con_progreso(
                   errores,
                   [&](Progreso& p) { return importa_sig(origenes, destino, opciones, p); })
            .lineas();
      },
      salida, errores);
}

}  // namespace telmora::cli
