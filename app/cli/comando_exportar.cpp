#include "cli.h"
#include "fichero.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "sig/capas_topologia.h"
#include "sig/exportacion.h"
#include "sig/tipos_sig.h"
#include "topologia_hoja.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "escribe la hoja en un formato SIG (GeoPackage, Shapefile, GeoJSON, DXF ...)";
constexpr const char* kAyuda =
    "uso: telmora-cli exportar HOJA.bin SALIDA [--formato NOMBRE] [--srs EPSG:N] [--topologia]\n"
    "                          [--mm]\n"
    "\n"
    "Escribe las entidades activas de la hoja, en el orden del fichero y en metros con su\n"
    "cota, en cuatro capas: lineas (elementos abiertos), recintos (elementos cerrados de\n"
    "más de dos vértices, como polígonos), puntos (elementos de un vértice) y textos (en su\n"
    "punto de inserción). Cada rasgo lleva los campos entidad (su número desde 1), codigo,\n"
    "descripcion y color (#RRGGBB) según Vekt.tab y Vekt.pal, atributos (sus registros\n"
    "como texto, IdTabla:NRegistro:Resto separados por ';') y, los textos, texto, altura\n"
    "(m), angulo (grados) y justificacion; y un estilo OGR (color y grosor de la pluma,\n"
    "relleno de los recintos, texto, ángulo y tamaño de las etiquetas), en el propio\n"
    "formato si guarda estilos (DXF, KML) o en el campo OGR_STYLE.\n"
    "Un formato de una sola capa por fichero (GeoJSON, FlatGeobuf, Shapefile .shp, DXF)\n"
    "recibe un fichero por capa: SALIDA_lineas.ext, SALIDA_recintos.ext ... La salida queda\n"
    "completa o no se escribe. Escribe en la salida el formato, las capas y los ficheros.\n"
    "  --formato NOMBRE  formato vectorial de GDAL (GPKG, GeoJSON, \"ESRI Shapefile\", DXF,\n"
    "                    FlatGeobuf ...); sin él, el de la extensión de SALIDA\n"
    "  --srs EPSG:N      sistema de coordenadas de las capas (la hoja no lleva ninguno)\n"
    "  --topologia       comprueba antes los centroides como topologia --orden centroides\n"
    "                    (sin listados), escribe sus líneas y añade dos capas:\n"
    "                    recintos_topologia, un polígono por cara (con las islas que\n"
    "                    contiene como huecos) con los campos recinto (su número en los\n"
    "                    listados), superficie (m², la del anillo exterior), error\n"
    "                    (ninguno, sin centroide o varios centroides), centroide y\n"
    "                    entidad_centroide (el texto de su centroide y su número); y\n"
    "                    errores_topologia, un punto por marca del visor: NoPol (texto\n"
    "                    fuera de toda cara), +Pol (texto en varias) y * (extremo\n"
    "                    colgante), con los campos marca, error, entidad y texto (del\n"
    "                    texto) y nodo (del extremo)\n"
    "  --mm              la hoja está en milímetros (centímetros si no se indica)\n";

// The topology with the centroid check, as `topologia --orden centroides` runs it but without
// listings; its lines are printed and its faces and error points become two more layers.
void anade_topologia(Sesion& sesion, OpcionesExportacion& opciones, std::ostream& salida,
                     std::ostream& errores) {
  OpcionesTopologia topologia;
  selecciona_entrada(topologia, EntradaTopologia::errores_centroides);
  SuperficieImagen superficie(kAnchoImagen, kAltoImagen);
  const ResultadoTopologia r = con_progreso(errores, [&](Progreso& progreso) {
    return topologia_de_hoja_entera(sesion, topologia, superficie, progreso);
  });
  for (const auto& linea : r.lineas_y_recuentos()) salida << linea << "\n";
  opciones.capas_adicionales = capas_topologia(sesion, r);
}

int ejecuta_exportar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(2,
                                "telmora-cli exportar HOJA.bin SALIDA [--formato NOMBRE] "
                                "[--srs EPSG:N] [--topologia] [--mm]");
  OpcionesExportacion opciones;
  opciones.destino = ruta_desde_texto(argumentos.posicionales()[1]);
  exige_salida_distinta(opciones.destino, ruta_desde_texto(argumentos.posicionales()[0]));
  if (argumentos.tiene("formato")) opciones.formato = argumentos.valor("formato");
  try {
    if (argumentos.tiene("srs")) opciones.epsg = epsg_de_texto(argumentos.valor("srs"));
  } catch (const ErrorEntradaSig& error) {
    throw ErrorUso(error.what());
  }
  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  if (argumentos.bandera("topologia")) anade_topologia(sesion, opciones, salida, errores);
  return ejecuta_intercambio(
      [&] {
        return con_progreso(errores, [&](Progreso& p) { return exporta_sig(sesion, opciones, p); })
            .lineas();
      },
      salida, errores);
}

}  // namespace

Comando comando_exportar() {
  OpcionesAdmitidas opciones{{"formato", "srs"}, {"topologia", "mm"}};
  return {"exportar", kResumen, kAyuda, std::move(opciones), ejecuta_exportar};
}

}  // namespace telmora::cli
