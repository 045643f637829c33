#include "cli.h"

#include <new>

#include "carpetas.h"
#include "fichero.h"

namespace telmora::cli {

namespace {

constexpr const char* kUsoGeneral =
    "uso: telmora-cli ORDEN [ARGUMENTOS]\n"
    "     telmora-cli --help | telmora-cli ORDEN --help\n"
    "\n"
    "Herramientas de Telmora sin ventana. La carpeta de trabajo es la de la hoja; la hoja,\n"
    "Vekt.tab y Vekt.pal se buscan en ella y, si no están, en la carpeta de datos fija.\n"
    "Estado de salida: 0 bien, 1 fallo al escribir un resultado, 2 argumentos incorrectos o\n"
    "entrada inexistente o corrupta.\n"
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
       "puntos de cota PSCT en los nudos, un texto por manzana y algunas faltas a propósito.\n"
       "  --entidades N   número exacto de entidades (20000 si no se indica)\n"
       "  --semilla S     la misma semilla da siempre los mismos bytes (1 si no se indica)\n"
       "  --nombre F      nombre de la hoja (hoja.bin si no se indica)\n"
       "  --recintos      cada manzana lleva también su recinto (1615) por los ejes de sus\n"
       "                  cuatro calles, de modo que cada tramo de calle lo comparten la calle\n"
       "                  y las manzanas de sus dos lados, en sentidos opuestos\n",
       {{"entidades", "semilla", "nombre"}, {"recintos"}},
       ejecuta_generar},
      {"info",
       "informe de la hoja: unidades, recuentos, rango y códigos que faltan en Vekt.tab",
       "uso: telmora-cli info HOJA.bin [--mm]\n"
       "\n"
       "Escribe el informe de la hoja en la salida, una línea por renglón, y lo guarda junto a\n"
       "la hoja con el nombre de la hoja terminado en \".txt\" en lugar de su extensión.\n"
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
      {"render",
       "dibuja la hoja en un PNG, como la ve el visor",
       "uso: telmora-cli render HOJA.bin SALIDA.png [--mm] [--tamano ANCHOxALTO]\n"
       "                        [--ventana XMIN,YMIN,XMAX,YMAX] [--escala N] [--orden TEXTO]...\n"
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
       "                 carpeta de tablas). Ejemplo: --orden OFF=* --orden ON=1539\n",
       {{"tamano", "ventana", "escala", "orden"}, {"mm"}},
       ejecuta_render},
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

Sesion abre_hoja_de_linea(const std::string& ruta_bin, bool milimetros) {
  const auto ruta = ruta_desde_texto(ruta_bin);
  std::error_code error;
  auto carpeta = std::filesystem::absolute(ruta, error).parent_path();
  if (error) carpeta = ruta.parent_path();
  Ajustes ajustes = busca_ficheros(carpeta, ruta_texto(ruta.filename()), dir_datos_fijo());
  ajustes.uds = milimetros ? kUdsMilimetros : kUdsCentimetros;
  return abre_sesion(ajustes);
}

}  // namespace telmora::cli
