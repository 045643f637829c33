#include "cli.h"

#include <QGuiApplication>
#include <memory>
#include <new>

#include "carpetas.h"
#include "completado.h"
#include "control/busca_bd.h"
#include "fichero.h"

namespace telmora::cli {

namespace {

constexpr const char* kUsoGeneral =
    "uso: telmora-cli ORDEN [ARGUMENTOS]\n"
    "     telmora-cli --help | telmora-cli ORDEN --help | telmora-cli --version\n"
    "     telmora-cli --completado-bash\n"
    "\n"
    "Herramientas de Telmora sin ventana. La carpeta de trabajo es la de la hoja; la hoja,\n"
    "Vekt.tab y Vekt.pal se buscan en ella y, si no están, en la carpeta de datos fija.\n"
    "Estado de salida: 0 bien, 1 fallo al escribir un resultado, 2 argumentos incorrectos o\n"
    "entrada inexistente o corrupta. --version escribe la versión; --completado-bash, el guion\n"
    "de completado de bash de las órdenes y sus opciones.\n"
    "\n"
    "Órdenes:\n";

const Comando* busca_comando(const std::string& nombre) {
  for (const Comando& comando : comandos()) {
    if (nombre == comando.nombre) return &comando;
  }
  return nullptr;
}

bool pide_ayuda(const std::vector<std::string>& argumentos) {
  for (const auto& argumento : argumentos) {
    if (argumento == "--help" || argumento == "-h") return true;
  }
  return false;
}

}  // namespace

const std::vector<Comando>& comandos() {
  static const std::vector<Comando> lista{
      {"bd",
       "copia una base de datos Access o SQLite en un fichero SQLite nuevo o en PostgreSQL",
       "uso: telmora-cli bd importar ORIGEN DESTINO.sqlite [--reemplazar]\n"
       "     telmora-cli bd importar ORIGEN postgresql://USUARIO@SERVIDOR:PUERTO/BASE\n"
       "                             [--reemplazar]\n"
       "\n"
       "Copia todas las tablas de ORIGEN, una base de datos Access (.mdb, .accdb) o SQLite, en\n"
       "un fichero SQLite nuevo: columnas, tipos, nulos y fechas (como texto AAAA-MM-DD\n"
       "HH:MM:SS). DESTINO se escribe entero o no se escribe. Si DESTINO ya existe la orden se\n"
       "niega, salvo con --reemplazar: entonces la copia lo sustituye de una vez, cuando está\n"
       "completa. DESTINO nunca puede ser ORIGEN.\n"
       "Escribe en la salida una línea \"TABLA: N filas\" por tabla copiada. Las bases de\n"
       "datos Access solo se pueden leer en Linux: su copia SQLite, con el nombre de la\n"
       "original, es la que el programa puede escribir.\n"
       "Con una conexión a PostgreSQL por DESTINO, ORIGEN es una base de datos de control de\n"
       "pares: su tabla Control se copia en la tabla nueva control de esa base de datos, con\n"
       "las columnas en minúsculas, la columna orden_fila con el orden de las filas y un índice\n"
       "sobre par, entera o nada. Si la base de datos ya tiene la tabla de control (con su nombre\n"
       "en minúsculas o en mayúsculas, como \"Control\"), la orden se niega y no la toca, salvo\n"
       "con --reemplazar: entonces se sustituye en la misma transacción. La contraseña no va en\n"
       "la conexión: se lee del fichero de contraseñas de PostgreSQL (~/.pgpass o PGPASSFILE).\n"
       "  --reemplazar   sustituye el DESTINO que ya exista\n",
       {{}, {"reemplazar"}},
       ejecuta_bd},
      {"catalogo",
       "temas, objetos, valores y entradas del catálogo, como los muestran sus ventanas",
       "uso: telmora-cli catalogo temas | tema N | objetos | objeto N | valor N V [--bd RUTA]\n"
       "\n"
       "Escribe, uno por línea y como los muestran las ventanas del catálogo:\n"
       "  temas        los temas que tienen entradas (lista TEMA de \"Modelo de Datos\")\n"
       "  tema N       las entradas del tema de número N (lista DESCRIPCIÓN)\n"
       "  objetos      los objetos que tienen entradas (lista OBJETO de \"Modelo de Objeto\")\n"
       "  objeto N     los valores enumerados del objeto de número N (\"12 - [N] ...\")\n"
       "  valor N V    las entradas del objeto N con el valor V (el texto del valor antes de su\n"
       "               primer \"-\": 12, TD1, 00)\n"
       "El catálogo es Catalogo.mdb de la carpeta actual o, si no está, de la carpeta de datos.\n"
       "  --bd RUTA    el catálogo que se lee\n",
       {{"bd"}, {}},
       ejecuta_catalogo},
      {"comprimir",
       "copia la hoja sin sus entidades borradas en HOJA_c.bin",
       "uso: telmora-cli comprimir HOJA.bin\n"
       "\n"
       "Escribe junto a la hoja, con su nombre sin la extensión seguido de \"_c.bin\", una copia\n"
       "con sus entidades activas en el mismo orden y byte a byte iguales salvo el relleno de\n"
       "los códigos, que pasa a ser de caracteres nulos. La hoja no cambia. Escribe en la\n"
       "salida el nombre del fichero escrito. No necesita Vekt.tab ni Vekt.pal.\n",
       {{}, {}},
       ejecuta_comprimir},
      {"cotas",
       "da cota a los tramos desde los puntos PSCT o los textos de los recintos; cotas de calles",
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
       "  --mm     la hoja está en milímetros (centímetros si no se indica)\n",
       {{"da", "png", "tamano"}, {"graba", "mm"}},
       ejecuta_cotas},
      {"depurar",
       "engancha los extremos colgantes y parte los elementos que se cruzan, en la hoja",
       "uso: telmora-cli depurar HOJA.bin [--tolerancia M] [--listados CARPETA] [--mm]\n"
       "\n"
       "Depura la red de líneas de la hoja, cambiándola en su sitio, como la ventana Binjunta:\n"
       "los extremos colgantes (nodos a los que llega una sola línea) que quedan a menos de la\n"
       "mitad de la tolerancia de otro nodo se llevan a él; los que quedan así de cerca de otro\n"
       "elemento se llevan sobre él (a un vértice, al cruce de la línea prolongada o al pie de\n"
       "la perpendicular) y ese elemento se parte allí; y los elementos se parten donde se\n"
       "cruzan. Los trozos se añaden al final de la hoja y los elementos partidos quedan\n"
       "borrados. Se trabaja sobre la hoja entera, con todos los códigos visibles. Escribe en la\n"
       "salida las líneas \"Nodos movidos :N\" y \"Elementos partidos :M\", y deja los listados\n"
       "Nodos.txt (nodos y tramos) y entidadesP.txt (cortes) en la carpeta de listados.\n"
       "  --tolerancia M      tolerancia en metros (0.5 si no se indica)\n"
       "  --listados CARPETA  carpeta de los listados (la de la hoja si no se indica)\n"
       "  --mm                la hoja está en milímetros (centímetros si no se indica)\n",
       {{"tolerancia", "listados"}, {"mm"}},
       ejecuta_depurar},
      {"duplicados",
       "marca los elementos duplicados y los que comparten segmentos; los aplica o los graba",
       "uso: telmora-cli duplicados HOJA.bin [--tolerancia M] [--solo-entidades] [--virtuales]\n"
       "                            [--aplicar] [--grabar] [--mm]\n"
       "\n"
       "Compara cada elemento con los que le siguen en el fichero y escribe en la salida una\n"
       "línea \"N MARCA\" por cada entidad marcada (N su número desde 1 en el orden del fichero):\n"
       "  0  repite entero a un elemento posterior (sus cuatro límites son iguales)\n"
       "  2  repite a un elemento posterior con sus límites dentro de la tolerancia\n"
       "  3  comparte segmentos idénticos con otro elemento (se marcan los dos)\n"
       "  4  comparte segmentos con otro elemento dentro de la tolerancia\n"
       "Los códigos 5007 a 5014 nunca son duplicados; las entidades borradas no participan.\n"
       "  --tolerancia M     tolerancia en metros (0.5 si no se indica)\n"
       "  --solo-entidades   compara solo elementos enteros, no sus segmentos\n"
       "  --virtuales        solo parejas en las que un elemento tiene un código virtual\n"
       "                     (5020, 5632 a 5639)\n"
       "  --aplicar          aplica las marcas a la hoja: borra los marcados con 0 y 2 y, de\n"
       "                     cada pareja que comparte segmentos, corta uno (los trozos que\n"
       "                     quedan se añaden al final de la hoja)\n"
       "  --grabar           escribe HOJA_d.bin con la hoja sin borradas ni duplicados (después\n"
       "                     de --aplicar si se piden las dos)\n"
       "  --mm               la hoja está en milímetros (centímetros si no se indica)\n",
       {{"tolerancia"}, {"solo-entidades", "virtuales", "aplicar", "grabar", "mm"}},
       ejecuta_duplicados},
      {"errores",
       "marca en la base de datos de errores de la hoja los errores escritos como textos",
       "uso: telmora-cli errores HOJA.bin [--bd RUTA] [--mm]\n"
       "\n"
       "Marca como encontrado, en la tabla Errores de la base de datos de la hoja (su nombre\n"
       "con la extensión .mdb, en su carpeta o en la carpeta de datos), cada error cuyo número\n"
       "está escrito como texto en la hoja (\"1234\" o \"1234_descripción\"): su Estado pasa a\n"
       "1 la primera vez y crece en 100 cada vez más, y la descripción se añade a\n"
       "DescripcionEstado. Cada cambio se guarda en el momento. Escribe en la salida los\n"
       "nombres de las columnas y las filas cambiadas, con sus valores separados por\n"
       "tabuladores. Una base de datos Access no se puede escribir en Linux: conviértala antes\n"
       "con \"telmora-cli bd importar\".\n"
       "  --bd RUTA   la base de datos de errores que se usa\n"
       "  --mm        la hoja está en milímetros (centímetros si no se indica)\n",
       {{"bd"}, {"mm"}},
       ejecuta_errores},
      {"exportar",
       "escribe la hoja en un formato SIG (GeoPackage, Shapefile, GeoJSON, DXF ...)",
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
       "  --mm              la hoja está en milímetros (centímetros si no se indica)\n",
       {{"formato", "srs"}, {"topologia", "mm"}},
       ejecuta_exportar},
      {"extraer",
       "escribe en HOJA_f.bin lo que cae dentro de una ventana",
       "uso: telmora-cli extraer HOJA.bin --ventana XMIN,YMIN,XMAX,YMAX [--solapados] [--mm]\n"
       "\n"
       "Escribe junto a la hoja, con su nombre sin la extensión seguido de \"_f.bin\", los\n"
       "elementos activos con código visible que tocan la ventana (en metros) y los textos\n"
       "cuyo punto de inserción está dentro. Sin --solapados los elementos se cortan en los\n"
       "bordes de la ventana (con la cota interpolada en cada corte) y solo queda lo de dentro;\n"
       "con --solapados se escriben enteros. La hoja no cambia. Escribe en la salida el nombre\n"
       "del fichero escrito.\n"
       "  --ventana X1,Y1,X2,Y2  la ventana en metros, esquina inferior izquierda y superior\n"
       "                         derecha\n"
       "  --solapados            elementos enteros\n"
       "  --mm                   la hoja está en milímetros (centímetros si no se indica)\n",
       {{"ventana"}, {"solapados", "mm"}},
       ejecuta_extraer},
      {"generar",
       "escribe una hoja de muestra (Vekt.tab, Vekt.pal y la hoja) en una carpeta",
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
       "                  y las manzanas de sus dos lados, en sentidos opuestos\n",
       {{"entidades", "semilla", "nombre"}, {"recintos"}},
       ejecuta_generar},
      {"importar",
       "escribe una hoja nueva con lo que contiene una fuente SIG",
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
       "  --mm                  la hoja nueva está en milímetros (centímetros si no se indica)\n",
       {{"capa", "campo-codigo", "codigo", "campo-texto", "altura-texto"}, {"mm"}},
       ejecuta_importar},
      {"info",
       "informe de la hoja: unidades, recuentos, rango y códigos que faltan en Vekt.tab",
       "uso: telmora-cli info HOJA.bin [--mm]\n"
       "\n"
       "Escribe el informe de la hoja en la salida, una línea por renglón, y lo guarda junto a\n"
       "la hoja con el nombre de la hoja terminado en \".txt\" en lugar de su extensión. Una\n"
       "hoja que ya tiene ese nombre no se sobrescribe: la orden se niega sin escribir nada.\n"
       "  --mm   la hoja está en milímetros (centímetros si no se indica)\n",
       {{}, {"mm"}},
       ejecuta_info},
      {"lista",
       "todos los campos de una entidad, como los lista la ventana de información",
       "uso: telmora-cli lista HOJA.bin ENTIDAD [--mm]\n"
       "\n"
       "Lee del fichero la entidad número ENTIDAD (desde 1, en el orden del fichero, de\n"
       "cualquier tipo) y escribe en la salida su listado, una línea por renglón: tipo y estado,\n"
       "código, vértices o textos, atributos y los datos de su código en Vekt.tab y Vekt.pal.\n"
       "  --mm   la hoja está en milímetros (centímetros si no se indica)\n",
       {{}, {"mm"}},
       ejecuta_lista},
      {"pares",
       "cuenta los pares estereoscópicos de la base de datos de control de pares",
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
       "  --mm        la hoja está en milímetros (centímetros si no se indica)\n",
       {{"bd", "png", "tamano"}, {"mm"}},
       ejecuta_pares},
      {"pdobles",
       "quita los puntos dobles y marca lazos, semilazos y segmentos duplicados",
       "uso: telmora-cli pdobles HOJA.bin --tol-xy N --tol-z N\n"
       "\n"
       "Trabaja sobre la propia hoja, elemento a elemento. Quita de cada elemento los vértices\n"
       "que distan del anterior menos que las tolerancias (en X, en Y y en Z); el elemento limpio\n"
       "se añade al final de la hoja y el leído queda borrado (sin sustituto si le quedan menos\n"
       "de dos vértices). Marca con un cuadrado con muesca, añadido al final, cada pareja de\n"
       "segmentos de un elemento que coinciden (código 60130, en los dos extremos del primero),\n"
       "que se cruzan (60120) o en que un vértice cae sobre el segmento siguiente al siguiente\n"
       "(60121). Escribe en la salida el resumen, una línea por renglón.\n"
       "  --tol-xy N   tolerancia en X y en Y, en unidades del fichero\n"
       "  --tol-z N    tolerancia en Z, en unidades del fichero\n",
       {{"tol-xy", "tol-z"}, {}},
       ejecuta_pdobles},
      {"revisar",
       "revisa muchas hojas sin cambiarlas y escribe el informe de la producción",
       "uso: telmora-cli revisar ENTRADA... [--informe CARPETA] [--trabajos N] [--limite S]\n"
       "                         [--tolerancia M] [--tol-xy N] [--tol-z N] [--mm] [--json]\n"
       "     telmora-cli revisar --unir FICHERO.json... [--informe CARPETA]\n"
       "\n"
       "Revisa cada hoja nombrada y cada *.bin de las carpetas nombradas (y de sus subcarpetas)\n"
       "sin cambiar nada: los recuentos del informe del fichero, los duplicados, los puntos\n"
       "dobles, lazos, semilazos y segmentos duplicados, la topología (polígonos cerrados,\n"
       "recintos sin centroide y con varios, textos NoPol y +Pol, arcos colgantes) y la\n"
       "depuración (nodos movidos, elementos partidos), los mismos que dan info, duplicados,\n"
       "pdobles, topologia --orden centroides y depurar. Escribe en CARPETA (revision si no se\n"
       "indica) resumen.csv, resumen.json e informe.html. Cada hoja se revisa en un proceso\n"
       "propio; la que falla o pasa del límite es una fila de error y las demás siguen. Termina\n"
       "con 0 si todas las hojas están correctas y con 1 si alguna tiene errores o no se pudo\n"
       "revisar.\n"
       "  --informe CARPETA  la carpeta del informe\n"
       "  --trabajos N       hojas revisadas a la vez (tantas como núcleos si no se indica)\n"
       "  --limite S         segundos que puede durar la revisión de una hoja (600)\n"
       "  --tolerancia M     tolerancia de duplicados y depuración, en metros\n"
       "  --tol-xy N         tolerancia en X y en Y de los puntos dobles, en unidades (1)\n"
       "  --tol-z N          tolerancia en Z de los puntos dobles, en unidades (1)\n"
       "  --mm               las hojas están en milímetros (centímetros si no se indica)\n"
       "  --json             escribe en la salida la fila de cada hoja como una línea JSON, sin\n"
       "                     informe\n"
       "  --unir             hace el informe con las filas JSON de los ficheros nombrados\n",
       {{"informe", "trabajos", "limite", "tolerancia", "tol-xy", "tol-z"}, {"mm", "json", "unir"}},
       ejecuta_revisar},
      {"render",
       "dibuja la hoja en un PNG, como la ve el visor",
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
       "                 catálogo; se aplica después de las órdenes\n",
       {{"tamano", "ventana", "escala", "orden", "catalogo"}, {"mm"}},
       ejecuta_render},
      {"topologia",
       "nudos, tramos y polígonos de las líneas; islas, centroides y arcos colgantes",
       "uso: telmora-cli topologia HOJA.bin [--orden todo|envolventes|caras|islas|centroides|\n"
       "                                    colgantes] [--listados CARPETA] [--png SALIDA.png]\n"
       "                                    [--tamano ANCHOxALTO] [--mm]\n"
       "\n"
       "Dibuja la hoja entera a ANCHOxALTO píxeles (1920x1080 si no se indica), como la abre el\n"
       "visor, y con las líneas abiertas dibujadas forma los nudos y los tramos, quita los\n"
       "arcos colgantes y recorre los polígonos (caras en sentido contrario a las agujas del\n"
       "reloj, envolventes en el de las agujas). Escribe en la salida las líneas de la ventana\n"
       "de topología (\"Nodos encontrados :N\" ...) y, según la orden:\n"
       "  todo          todos los polígonos (si no se indica)\n"
       "  envolventes   solo las envolventes\n"
       "  caras         solo las caras\n"
       "  islas         además \"Islas encontradas :N\"\n"
       "  centroides    comprueba un texto por cara; además \"Recintos sin centroide :N\",\n"
       "                \"Recintos con varios centroides :N\", \"Textos NoPol :N\" y\n"
       "                \"Textos +Pol :N\"\n"
       "  colgantes     marca con \"*\" los extremos colgantes\n"
       "Los listados (Nodos.txt, Poli1.txt, Poli2.txt, Islas.txt, CompIslas.txt y, con\n"
       "centroides, Adyacencia.txt) se escriben enteros en CARPETA (la de la hoja si no se\n"
       "indica).\n"
       "  --png F   escribe la imagen que muestra el visor tras la orden\n"
       "  --mm      la hoja está en milímetros (centímetros si no se indica)\n",
       {{"orden", "listados", "png", "tamano"}, {"mm"}},
       ejecuta_topologia},
  };
  return lista;
}

int ejecuta_cli(const std::vector<std::string>& argumentos, std::ostream& salida,
                std::ostream& errores) {
  if (argumentos.empty()) {
    errores << "telmora-cli: falta la orden (telmora-cli --help lista las órdenes)\n";
    return kErrorEntrada;
  }
  if (argumentos[0] == "--help" || argumentos[0] == "-h") {
    salida << kUsoGeneral;
    for (const Comando& comando : comandos()) {
      salida << "  " << comando.nombre << std::string(12 - std::string(comando.nombre).size(), ' ')
             << comando.resumen << "\n";
    }
    return kExito;
  }
  if (argumentos[0] == "--version") {
    salida << "telmora-cli " << TELMORA_VERSION << "\n";
    return kExito;
  }
  if (argumentos[0] == "--completado-bash") {
    salida << guion_completado_bash(comandos());
    return kExito;
  }
  const Comando* comando = busca_comando(argumentos[0]);
  if (comando == nullptr) {
    errores << "telmora-cli: orden desconocida \"" << argumentos[0]
            << "\" (telmora-cli --help lista las órdenes)\n";
    return kErrorEntrada;
  }
  const std::vector<std::string> resto(argumentos.begin() + 1, argumentos.end());
  if (pide_ayuda(resto)) {
    salida << comando->uso;
    return kExito;
  }
  try {
    return comando->ejecuta(Argumentos(resto, comando->opciones), salida, errores);
  } catch (const OperacionCancelada& cancelada) {
    errores << "telmora-cli " << comando->nombre << ": " << cancelada.what() << "\n";
    return kInterrumpida;
  } catch (const ErrorUso& error) {
    errores << "telmora-cli " << comando->nombre << ": " << error.what() << "\n";
    return kErrorEntrada;
  } catch (const ErrorCorrupcion& error) {
    if (!error.corrupcion().detalle.empty()) errores << error.corrupcion().detalle << "\n";
    errores << error.what() << "\n";
    return kErrorEntrada;
  } catch (const ErrorFicheroInexistente& error) {
    errores << error.what() << "\n";
    return kErrorEntrada;
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kErrorEntrada;
  } catch (const std::bad_alloc&) {
    errores << "telmora-cli " << comando->nombre << ": no hay memoria suficiente\n";
    return kErrorEntrada;
  } catch (const std::exception& error) {
    errores << "telmora-cli " << comando->nombre << ": " << error.what() << "\n";
    return kErrorEntrada;
  }
}

std::filesystem::path carpeta_de(const std::filesystem::path& ruta) {
  std::error_code error;
  const auto absoluta = std::filesystem::absolute(ruta, error);
  return error ? ruta.parent_path() : absoluta.parent_path();
}

Sesion abre_hoja_de_linea(const std::string& ruta_bin, bool milimetros, Progreso& progreso) {
  const auto ruta = ruta_desde_texto(ruta_bin);
  Ajustes ajustes = busca_ficheros(carpeta_de(ruta), ruta_texto(ruta.filename()), dir_datos_fijo());
  ajustes.uds = milimetros ? kUdsMilimetros : kUdsCentimetros;
  return abre_sesion(ajustes, progreso);
}

std::optional<std::filesystem::path> base_datos_de_linea(const Argumentos& argumentos,
                                                         Ajustes& ajustes,
                                                         const std::string& nombre,
                                                         Dialogos& dialogos) {
  if (!argumentos.tiene("bd")) return busca_base_datos(ajustes, nombre, dialogos);
  const auto ruta = ruta_desde_texto(argumentos.valor("bd"));
  if (!existe_archivo(ruta)) throw ErrorFicheroInexistente(ruta);
  return ruta;
}

}  // namespace telmora::cli
