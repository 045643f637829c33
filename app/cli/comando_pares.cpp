#include <optional>

#include "cli.h"
#include "control/busca_bd.h"
#include "control/control_pares.h"
#include "db/instalacion.h"
#include "dialogos_terminal.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "topologia_hoja.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "cuenta los pares estereoscópicos de la base de datos de control de pares";
constexpr const char* kAyuda =
    "uso: telmora-cli pares HOJA.bin [--bd RUTA] [--png SALIDA.png] [--tamano ANCHOxALTO]\n"
    "                       [--mm]\n"
    "\n"
    "Lee la tabla Control de BDControl.mdb y escribe las tres líneas de la ventana \"Control\n"
    "de Pares\": pares totales, bloqueados (estado 1) y libres (estado 0). Lee la copia del\n"
    "servidor de control (la carpeta del fichero de instalación) si está montada y, si no,\n"
    "avisa y lee la copia local (carpeta de la hoja o carpeta de datos). El servidor puede\n"
    "ser también una base de datos PostgreSQL (postgresql://usuario@servidor:puerto/base en\n"
    "el fichero de instalación); los pares y los recuentos se leen en un mismo instante.\n"
    "Los textos del panel de estado del visor (con el motivo cuando no se puede leer el\n"
    "servidor) van a la salida de errores.\n"
    "  --bd RUTA   la base de datos que se lee, sin buscar la del servidor: un fichero o una\n"
    "              conexión postgresql://usuario@servidor:puerto/base\n"
    "  --png F     escribe la hoja entera (ANCHOxALTO píxeles, 1920x1080 si no se indica) con\n"
    "              las caras coloreadas por el estado del par que nombra su centroide: rojo\n"
    "              bloqueado, con el número de su operador, y verde libre; las caras sin\n"
    "              centroide en el color 10 de la paleta y las de varios en el 20\n"
    "  --mm        la hoja está en milímetros (centímetros si no se indica)\n";

int ejecuta_pares(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(
      1, "telmora-cli pares HOJA.bin [--bd RUTA|CONEXION] [--png SALIDA.png]");
  const auto hoja = ruta_desde_texto(argumentos.posicionales()[0]);
  if (!existe_archivo(hoja)) throw ErrorFicheroInexistente(hoja);
  int ancho = 0, alto = 0;
  tamano_de_opcion(argumentos, ancho, alto);

  // With --png the sheet is drawn and its faces coloured by the state of their pair, as the
  // pair control draws them in the viewer.
  std::optional<Sesion> sesion;
  std::optional<SuperficieImagen> superficie;
  DibujoPares dibujo;
  if (argumentos.tiene("png")) {
    asegura_aplicacion();
    sesion.emplace(abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm")));
    superficie.emplace(ancho, alto);
    dibujo = [&](const ConsultaPares& pares) {
      OpcionesTopologia opciones;
      selecciona_entrada(opciones, EntradaTopologia::errores_centroides);
      topologia_de_hoja_entera(*sesion, opciones, *superficie, Progreso::ninguno(), {}, &pares);
    };
  }

  // A database named on the command line, a file or a server's connection, is the one read;
  // otherwise the server's copy is preferred, as in the viewer.
  std::optional<ResultadoControlPares> resultado;
  if (argumentos.tiene("bd")) {
    resultado = cuenta_pares(argumentos.valor("bd"), dibujo);
  } else {
    DialogosTerminal dialogos(errores);
    Ajustes ajustes;
    ajustes.dir_trabajo = carpeta_de(hoja);
    const auto local = busca_base_datos(ajustes, kNombreBdControl, dialogos);
    if (!local) return kErrorEntrada;
    // The viewer's status panel goes to the error stream: the server's reason when it is not read.
    resultado = carga_control_pares(
        *local, lee_instalacion(ajustes.fichero_instalacion), dialogos,
        [&errores](const std::string& texto) { errores << texto << "\n"; }, dibujo);
  }
  for (const std::string& linea : resultado->lineas()) salida << linea << "\n";
  if (superficie && !guarda_png_de_opcion(argumentos, superficie->imagen(), errores)) {
    return kFalloEscritura;
  }
  return kExito;
}

}  // namespace

Comando comando_pares() {
  OpcionesAdmitidas opciones{{"bd", "png", "tamano"}, {"mm"}};
  return {"pares", kResumen, kAyuda, std::move(opciones), ejecuta_pares};
}

}  // namespace telmora::cli
