#include <map>

#include "cli.h"
#include "dialogos_terminal.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "topologia_hoja.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "da cota a los tramos desde los puntos PSCT o los textos de los recintos; cotas de calles";
constexpr const char* kAyuda =
    "uso: telmora-cli cotas HOJA.bin psct|textos|calles [--graba] [--da METROS]\n"
    "                       [--png SALIDA.png] [--tamano ANCHOxALTO] [--mm]\n"
    "\n"
    "Dibuja la hoja entera como la abre el visor, forma la topología de las líneas\n"
    "dibujadas y ejecuta la orden como el visor cuando se acepta la ADVERTENCIA:\n"
    "  psct     cada tramo con un punto PSCT en sus dos extremos toma la Z interpolada\n"
    "           por su longitud entre ellos (un punto PSCT sobre un vértice intermedio la\n"
    "           parte); escribe \"PSCT encontrados :N\", \"Tramos encontrados :N\",\n"
    "           \"Tramos modificados :N\" y \"Tramos NO modificados :N\"\n"
    "  textos   cada tramo toma en todos sus vértices la mayor Z de los textos centroide\n"
    "           de las caras que separa (solo una cara con un único centroide da cota);\n"
    "           escribe las líneas de la ventana de topología, \"Tramos modificados :N\" y\n"
    "           \"Tramos NO modificados :N\" (sin cota a ningún lado)\n"
    "  calles   dibuja la cota de cada nudo y, a lo largo de cada tramo, una cada DA metros\n"
    "           y en los vértices donde cambia la pendiente; escribe \"GENERADOS LOS\n"
    "           TEXTOS DE COTA\"\n"
    "psct y textos modifican la hoja en su sitio (cada elemento entero o nada).\n"
    "  --graba  con calles, añade las cotas como textos (código 1403) al fichero COT de la\n"
    "           hoja (hoja.bin da hoja.COT), que se crea si no existe\n"
    "  --da M   con calles, metros entre cotas a lo largo de un tramo (20 si es 0 o no se\n"
    "           indica), como la orden DA de la consola\n"
    "  --png F  escribe la imagen que muestra el visor tras la orden\n"
    "  --mm     la hoja está en milímetros (centímetros si no se indica)\n";

// The command itself is the operator's answer to "ADVERTENCIA": OK.
class DialogosAceptados : public DialogosTerminal {
 public:
  using DialogosTerminal::DialogosTerminal;
  bool aceptar_cancelar(const std::string&, const std::string&) override { return true; }
};

EntradaTopologia entrada_de(const Argumentos& argumentos) {
  static const std::map<std::string, EntradaTopologia> ordenes{
      {"psct", EntradaTopologia::cotas_a_tramos},
      {"textos", EntradaTopologia::cotas_a_recintos},
      {"calles", EntradaTopologia::cotas_calles},
  };
  const auto orden = ordenes.find(argumentos.posicionales()[1]);
  if (orden == ordenes.end()) throw ErrorUso("la orden debe ser psct, textos o calles");
  if (orden->second != EntradaTopologia::cotas_calles) {
    if (argumentos.bandera("graba") || argumentos.tiene("da")) {
      throw ErrorUso("--graba y --da solo valen con calles");
    }
    return orden->second;
  }
  return argumentos.bandera("graba") ? EntradaTopologia::cotas_calles_graba : orden->second;
}

// --da as the console's DA takes it: metres, 0 or more.
double distancia_de(const Argumentos& argumentos) {
  if (!argumentos.tiene("da")) return 0;
  const double distancia = numero_de_opcion(argumentos.valor("da"), "--da");
  if (distancia < 0) throw ErrorUso("--da debe ser un número de metros mayor o igual que 0");
  return distancia;
}

int ejecuta_cotas(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(2, "telmora-cli cotas HOJA.bin psct|textos|calles [opciones]");
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, entrada_de(argumentos));
  opciones.distancia_cotas = distancia_de(argumentos);
  int ancho = 0, alto = 0;
  tamano_de_opcion(argumentos, ancho, alto);

  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    const std::string& hoja = argumentos.posicionales()[0];
    const bool milimetros = argumentos.bandera("mm");
    return opciones.modifica_cotas() ? abre_hoja_para_cambiar(hoja, milimetros, progreso)
                                     : abre_hoja_de_linea(hoja, milimetros, progreso);
  });
  SuperficieImagen superficie(ancho, alto);
  DialogosAceptados dialogos(errores);
  const ResultadoTopologia r = con_progreso(errores, [&](Progreso& progreso) {
    return topologia_de_hoja_entera(sesion, opciones, superficie, progreso, {}, nullptr, &dialogos);
  });
  for (const std::string& linea : r.lineas_y_recuentos()) salida << linea << "\n";
  return termina_topologia(r, argumentos, superficie, errores);
}

}  // namespace

Comando comando_cotas() {
  OpcionesAdmitidas opciones{{"da", "png", "tamano"}, {"graba", "mm"}};
  return {"cotas", kResumen, kAyuda, std::move(opciones), ejecuta_cotas};
}

}  // namespace telmora::cli
