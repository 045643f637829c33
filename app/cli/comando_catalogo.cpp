#include "cli.h"
#include "control/navegacion_catalogo.h"
#include "db/instalacion.h"
#include "dialogos_terminal.h"
#include "imagen_cli.h"
#include "texto.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "temas, objetos, valores y entradas del catálogo, como los muestran sus ventanas";
constexpr const char* kAyuda =
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
    "  --bd RUTA    el catálogo que se lee\n";

constexpr const char* kUso =
    "telmora-cli catalogo temas | tema N | objetos | objeto N | valor N V [--bd RUTA]";

// The item of a list whose key is the number typed.
std::size_t indice_de(const std::vector<ElementoCatalogo>& elementos, const std::string& numero,
                      const char* que) {
  long long buscado = 0;
  if (!lee_entero(numero, buscado))
    throw ErrorUso(std::string(que) + " debe ser un número: " + numero);
  for (std::size_t i = 0; i < elementos.size(); ++i) {
    const auto clave = numero_de(elementos[i].clave);
    if (clave && *clave == static_cast<double>(buscado)) return i;
  }
  throw ErrorTelmora(std::string("El catálogo no tiene ") + que + " " + numero +
                     " (o no tiene entradas)");
}

void escribe(std::ostream& salida, const std::vector<std::string>& textos) {
  for (const std::string& texto : textos) salida << texto << "\n";
}

template <typename Elemento>
std::vector<std::string> textos_de(const std::vector<Elemento>& elementos) {
  std::vector<std::string> textos;
  for (const Elemento& elemento : elementos) textos.push_back(elemento.texto);
  return textos;
}

// ListDescrip's entries for an object's value: the first value item of that code.
std::vector<std::string> elementos_del_valor(CatalogoPorObjetos& modelo, const std::string& objeto,
                                             const std::string& valor) {
  modelo.elige_objetos({indice_de(modelo.objetos(), objeto, "el objeto")});
  for (std::size_t i = 0; i < modelo.valores().size(); ++i) {
    const std::string& item = modelo.valores()[i];
    if (limpia_texto(item.substr(0, item.find('-'))) == valor) {
      modelo.elige_valores({i});
      return textos_de(modelo.elementos());
    }
  }
  throw ErrorTelmora("El objeto " + objeto + " del catálogo no tiene el valor " + valor);
}

int ejecuta_catalogo(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  const auto& posicionales = argumentos.posicionales();
  const std::string orden = posicionales.empty() ? std::string() : posicionales[0];
  const std::size_t argumentos_de_orden = orden == "temas" || orden == "objetos" ? 1
                                          : orden == "tema" || orden == "objeto" ? 2
                                          : orden == "valor"                     ? 3
                                                                                 : 0;
  if (argumentos_de_orden == 0) throw ErrorUso(std::string("uso: ") + kUso);
  argumentos.exige_posicionales(argumentos_de_orden, kUso);
  asegura_aplicacion();
  DialogosTerminal dialogos(errores);
  Ajustes ajustes;
  ajustes.dir_trabajo = std::filesystem::current_path();
  const auto ruta = base_datos_de_linea(argumentos, ajustes, kNombreCatalogo, dialogos);
  if (!ruta) return kErrorEntrada;
  OpcionesApertura opciones;
  opciones.contrasena = lee_instalacion(ajustes.fichero_instalacion).contrasena_catalogo;
  const BaseDatos bd = BaseDatos::abre(ruta_texto(*ruta), opciones);
  TablaSeleccion seleccion;
  if (orden == "temas" || orden == "tema") {
    CatalogoPorTemas modelo(bd, seleccion);
    if (orden == "temas") {
      escribe(salida, textos_de(modelo.temas()));
    } else {
      modelo.elige_tema(indice_de(modelo.temas(), posicionales[1], "el tema"), false);
      escribe(salida, textos_de(modelo.entradas()));
    }
    return kExito;
  }
  CatalogoPorObjetos modelo(bd, seleccion);
  if (orden == "objetos") {
    escribe(salida, textos_de(modelo.objetos()));
  } else if (orden == "objeto") {
    modelo.elige_objetos({indice_de(modelo.objetos(), posicionales[1], "el objeto")});
    escribe(salida, modelo.valores());
  } else {
    escribe(salida, elementos_del_valor(modelo, posicionales[1], posicionales[2]));
  }
  return kExito;
}

}  // namespace

Comando comando_catalogo() {
  OpcionesAdmitidas opciones{{"bd"}, {}};
  return {"catalogo", kResumen, kAyuda, std::move(opciones), ejecuta_catalogo};
}

}  // namespace telmora::cli
