#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "muestra/generador_muestra.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "escribe una hoja de muestra (Vekt.tab, Vekt.pal y la hoja) en una carpeta";
constexpr const char* kAyuda =
    "uso: telmora-cli generar CARPETA [--entidades N] [--semilla S] [--nombre HOJA.bin]\n"
    "                             [--recintos]\n"
    "\n"
    "Escribe en CARPETA una tabla de códigos Vekt.tab, una paleta Vekt.pal y una hoja de\n"
    "entidades con una red de calles, manzanas con edificios, curvas de nivel, símbolos,\n"
    "puntos de cota PSCT en los nudos, un texto por manzana y algunas faltas a propósito,\n"
    "y junto a ella sus bases de datos SQLite: BDControl.mdb (un par por nombre de manzana),\n"
    "Catalogo.mdb (los códigos de la tabla por tema y objeto) y la de errores de la hoja\n"
    "(su nombre con .mdb; los números de error están escritos como textos en la hoja).\n"
    "  --entidades N   número exacto de entidades (20000 si no se indica)\n"
    "  --semilla S     la misma semilla da siempre los mismos bytes (1 si no se indica)\n"
    "  --nombre F      nombre de la hoja (hoja.bin si no se indica)\n"
    "  --recintos      cada manzana lleva también su recinto (1615) por los ejes de sus\n"
    "                  cuatro calles, de modo que cada tramo de calle lo comparten la calle\n"
    "                  y las manzanas de sus dos lados, en sentidos opuestos\n";

int ejecuta_generar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      1, "telmora-cli generar CARPETA [--entidades N] [--semilla S] [--recintos]");
  OpcionesMuestra opciones;
  if (argumentos.tiene("entidades")) {
    opciones.entidades = entero_de_opcion(argumentos.valor("entidades"), "--entidades");
    if (opciones.entidades < 1 || opciones.entidades > 50000000) {
      throw ErrorUso("--entidades debe estar entre 1 y 50000000");
    }
  }
  if (argumentos.tiene("semilla")) {
    const long long semilla = entero_de_opcion(argumentos.valor("semilla"), "--semilla");
    if (semilla < 0) throw ErrorUso("--semilla no puede ser negativa");
    opciones.semilla = static_cast<std::uint64_t>(semilla);
  }
  if (argumentos.tiene("nombre")) opciones.nombre = argumentos.valor("nombre");
  opciones.recintos = argumentos.bandera("recintos");
  asegura_aplicacion();  // the sample's databases are written through Qt SQL
  try {
    const auto resumen = genera_muestra(ruta_desde_texto(argumentos.posicionales()[0]), opciones);
    salida << ruta_texto(resumen.bin) << ": " << resumen.entidades << " entidades, "
           << resumen.bytes << " bytes\n";
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace

Comando comando_generar() {
  OpcionesAdmitidas opciones{{"entidades", "semilla", "nombre"}, {"recintos"}};
  return {"generar", kResumen, kAyuda, std::move(opciones), ejecuta_generar};
}

}  // namespace telmora::cli
