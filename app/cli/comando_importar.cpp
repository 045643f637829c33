#include "cli.h"
#include "fichero.h"
#include "progreso_terminal.h"
#include "sig/importacion.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen = "escribe una hoja nueva con lo que contiene una fuente SIG";
constexpr const char* kAyuda =
    "uso: telmora-cli importar ORIGEN... SALIDA.bin [--capa NOMBRE]... [--campo-codigo CAMPO]\n"
    "                          [--codigo CODIGO] [--campo-texto CAMPO] [--altura-texto M] "
    "[--mm]\n"
    "\n"
    "Lee todas las capas con geometrías de cada ORIGEN que GDAL abre (o solo las nombradas\n"
    "con --capa) y escribe SALIDA.bin: cada línea es un elemento abierto; cada anillo de un\n"
    "polígono, un elemento cerrado; las geometrías múltiples se separan; cada punto es un\n"
    "elemento de un vértice o, si su capa tiene el campo de texto, un texto. Coordenadas en\n"
    "metros por las unidades del fichero, redondeadas; cota de la geometría o 0. Las de más\n"
    "de 32767 vértices se parten; las vacías y las que no pueden ser entidades se cuentan y\n"
    "se saltan. Si todos los rasgos traen el campo entidad (como los de exportar), las\n"
    "entidades se escriben en su orden. SALIDA.bin se escribe entero o no se escribe, y en\n"
    "la salida queda un resumen de lo leído y lo saltado.\n"
    "  --capa NOMBRE         capa que se importa (se puede repetir)\n"
    "  --campo-codigo CAMPO  campo del código (se corta a 7 caracteres); sin él, --codigo o,\n"
    "                        si no se da, el campo codigo\n"
    "  --codigo CODIGO       código de todos los rasgos o, con --campo-codigo, de los que\n"
    "                        no tienen valor en ese campo\n"
    "  --campo-texto CAMPO   campo del texto de los puntos que son textos (texto si no se\n"
    "                        indica); la altura, el ángulo y la justificación salen de los\n"
    "                        campos altura (m), angulo (grados) y justificacion si existen\n"
    "  --altura-texto M      altura de los textos en metros (la del campo altura o 2 si no\n"
    "                        se indica)\n"
    "  --mm                  la hoja nueva está en milímetros (centímetros si no se indica)\n";

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

}  // namespace

Comando comando_importar() {
  OpcionesAdmitidas opciones{{"capa", "campo-codigo", "codigo", "campo-texto", "altura-texto"},
                             {"mm"}};
  return {"importar", kResumen, kAyuda, std::move(opciones), ejecuta_importar};
}

}  // namespace telmora::cli
