#include "cli.h"
#include "edicion/info_elemento.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "todos los campos de una entidad, como los lista la ventana de información";
constexpr const char* kAyuda =
    "uso: telmora-cli lista HOJA.bin ENTIDAD [--mm]\n"
    "\n"
    "Lee del fichero la entidad número ENTIDAD (desde 1, en el orden del fichero, de\n"
    "cualquier tipo) y escribe en la salida su listado, una línea por renglón: tipo y estado,\n"
    "código, vértices o textos, atributos y los datos de su código en Vekt.tab y Vekt.pal.\n"
    "  --mm   la hoja está en milímetros (centímetros si no se indica)\n";

int ejecuta_lista(const Argumentos& argumentos, std::ostream& salida, std::ostream& /*errores*/) {
  argumentos.exige_posicionales(2, "telmora-cli lista HOJA.bin ENTIDAD [--mm]");
  const long long numero = entero_de_opcion(argumentos.posicionales()[1], "ENTIDAD");
  const Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  const std::int32_t entidades = sesion.hoja.num_entidades();
  if (entidades == 0) throw ErrorUso("la hoja no tiene entidades");
  if (numero < 1 || numero > entidades) {
    throw ErrorUso("ENTIDAD debe estar entre 1 y " + std::to_string(entidades) +
                   ", las entidades de la hoja; se pidió " + std::to_string(numero));
  }
  const auto n = static_cast<std::int32_t>(numero);
  for (const auto& linea : lista_entidad(sesion, n, lee_entidad_en_fichero(sesion.hoja, n))) {
    salida << linea << "\n";
  }
  return kExito;
}

}  // namespace

Comando comando_lista() {
  OpcionesAdmitidas opciones{{}, {"mm"}};
  return {"lista", kResumen, kAyuda, std::move(opciones), ejecuta_lista};
}

}  // namespace telmora::cli
