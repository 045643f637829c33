// The commands that read or write GIS formats, as --help, the manual and the completion list
// them. What runs them (ejecuta_exportar, ejecuta_importar) is linked apart: in the program that
// carries the GIS library, or, in telmora-cli itself, a hand-over to that program, so that the
// other commands start without loading it.
#include "cli.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumenExportar =
    "escribe la hoja en un formato SIG (GeoPackage, Shapefile, GeoJSON, DXF ...)";
constexpr const char* kAyudaExportar =
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

constexpr const char* kResumenImportar =
    "escribe una hoja nueva con lo que contiene una fuente SIG";
constexpr const char* kAyudaImportar =
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

}  // namespace

Comando comando_exportar() {
  OpcionesAdmitidas opciones{{"formato", "srs"}, {"topologia", "mm"}};
  return {"exportar", kResumenExportar, kAyudaExportar, std::move(opciones), ejecuta_exportar};
}

Comando comando_importar() {
  OpcionesAdmitidas opciones{{"capa", "campo-codigo", "codigo", "campo-texto", "altura-texto"},
                             {"mm"}};
  return {"importar", kResumenImportar, kAyudaImportar, std::move(opciones), ejecuta_importar};
}

}  // namespace telmora::cli
