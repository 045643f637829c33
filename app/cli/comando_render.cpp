#include "cli.h"
#include "control/navegacion_catalogo.h"
#include "dialogos_terminal.h"
#include "fichero.h"
#include "hoja_abierta.h"
#include "imagen_cli.h"
#include "ordenes_render.h"
#include "superficie_imagen.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen = "dibuja la hoja en un PNG, como la ve el visor";
constexpr const char* kAyuda =
    "uso: telmora-cli render HOJA.bin SALIDA.png [--mm] [--tamano ANCHOxALTO]\n"
    "                        [--ventana XMIN,YMIN,XMAX,YMAX] [--escala N] [--orden TEXTO]...\n"
    "                        [--catalogo N,M]\n"
    "\n"
    "Dibuja la hoja en una imagen PNG de ANCHOxALTO píxeles (1920x1080 si no se indica),\n"
    "con 15 twips por píxel. Sin --ventana se ve la hoja entera, ajustada como al abrirla;\n"
    "con --ventana se ajusta esa ventana en metros. --escala N centra después la vista a la\n"
    "escala 1:N, como el zoom a escala fija.\n"
    "  --mm   la hoja está en milímetros (centímetros si no se indica)\n"
    "  --orden TEXTO  orden de visibilidad de la consola, aplicada antes de dibujar; se\n"
    "                 puede repetir y se aplican en el orden dado: ON=, OFF=, ON_A=, OFF_A=\n"
    "                 con códigos (1539), rangos (1-20), listas (1516,1520-1522), prefijos\n"
    "                 (15*, * para todos) o un fichero de códigos (.TAB, .M);\n"
    "                 COLOR_FONDO=N, COLOR_NUEVO=N (índices de la paleta, 0 a 255); o\n"
    "                 @FICHERO, un fichero de órdenes (carpeta de la hoja, carpeta de datos,\n"
    "                 carpeta de tablas). Ejemplo: --orden OFF=* --orden ON=1539\n"
    "  --catalogo N,M  solo los códigos de esas entradas del catálogo (los que empiezan por\n"
    "                 sus números MSLINK), como el botón Aceptar de las ventanas del\n"
    "                 catálogo; se aplica después de las órdenes\n";

int ejecuta_render(const Argumentos& argumentos, std::ostream& /*salida*/, std::ostream& errores) {
  argumentos.exige_posicionales(2, "telmora-cli render HOJA.bin SALIDA.png [opciones]");
  exige_salida_distinta(ruta_desde_texto(argumentos.posicionales()[1]),
                        ruta_desde_texto(argumentos.posicionales()[0]));
  int ancho = 0, alto = 0;
  tamano_de_opcion(argumentos, ancho, alto);
  std::vector<double> ventana;
  if (argumentos.tiene("ventana")) {
    ventana = numeros_de_opcion(argumentos.valor("ventana"), ',', 4, "--ventana");
    if (ventana[0] > ventana[2] || ventana[1] > ventana[3]) {
      throw ErrorUso("--ventana debe ser XMIN,YMIN,XMAX,YMAX con XMIN <= XMAX e YMIN <= YMAX");
    }
  }
  double escala = 0;
  if (argumentos.tiene("escala")) {
    escala = numero_de_opcion(argumentos.valor("escala"), "--escala");
    if (escala <= 0) throw ErrorUso("--escala debe ser un número mayor que 0");
  }

  std::vector<std::int32_t> catalogo;
  if (argumentos.tiene("catalogo")) {
    for (const double mslink : numeros_de_lista(argumentos.valor("catalogo"), ',', "--catalogo")) {
      if (mslink != static_cast<std::int32_t>(mslink) || mslink < 0) {
        throw ErrorUso("--catalogo debe ser una lista de números de entrada (MSLINK): 12,15");
      }
      catalogo.push_back(static_cast<std::int32_t>(mslink));
    }
  }

  Sesion sesion = abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"));
  asegura_aplicacion();
  // The sheet as it opens, then the window, scale and display asked for.
  Vista vista;
  Visualizacion visualizacion;
  vista.dimensiona(ancho, alto);
  ajusta_a_hoja(sesion, vista, visualizacion);
  if (!ventana.empty()) {
    vista.xmin = ventana[0], vista.ymin = ventana[1], vista.xmax = ventana[2],
    vista.ymax = ventana[3];
    vista.calculo_escala();
  }
  if (escala > 0) {
    vista.escala_actual = escala;
    vista.CentraZoom();
  }
  if (!aplica_ordenes(argumentos.valores("orden"), sesion, visualizacion, errores)) {
    return kErrorEntrada;
  }
  if (argumentos.tiene("catalogo")) {
    DialogosTerminal dialogos(errores);
    Consola consola(sesion, visualizacion, dialogos);
    muestra_segun_catalogo(catalogo, consola, sesion.tabla);
  }

  SuperficieImagen superficie(ancho, alto);
  Pintor pintor(sesion);
  redibuja_vista(pintor, superficie, vista, visualizacion);
  try {
    guarda_png(superficie.imagen(), argumentos.posicionales()[1]);
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace

Comando comando_render() {
  OpcionesAdmitidas opciones{{"tamano", "ventana", "escala", "orden", "catalogo"}, {"mm"}};
  return {"render", kResumen, kAyuda, std::move(opciones), ejecuta_render};
}

}  // namespace telmora::cli
