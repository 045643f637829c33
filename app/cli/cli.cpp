#include "cli.h"

#include <QGuiApplication>
#include <memory>
#include <new>

#include "carpetas.h"
#include "completado.h"
#include "control/busca_bd.h"
#include "diario.h"
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
    "Estado de salida: 0 bien, 1 fallo al escribir un resultado, 2 argumentos incorrectos,\n"
    "entrada inexistente o corrupta, u hoja que otro proceso está modificando.\n"
    "Las órdenes que cambian la hoja lo hacen entero o nada; si una quedó a medias (el\n"
    "programa murió, se cortó la luz), la siguiente orden que abra la hoja la deja como\n"
    "estaba antes y lo dice. --version escribe la versión; --completado-bash, el guion\n"
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

// Every command that names a sheet first rolls back a change left halfway in it, and says so.
// A sheet it cannot roll back (one it may not write) is read as it was before that change.
void avisa_recuperacion(const std::string& ruta, std::ostream& errores) {
  try {
    const std::string aviso = recupera_hoja(ruta_desde_texto(ruta));
    if (!aviso.empty()) errores << aviso << "\n";
  } catch (const ErrorTelmora&) {
  }
}

Ajustes ajustes_de_linea(const std::string& ruta_bin, bool milimetros) {
  const auto ruta = ruta_desde_texto(ruta_bin);
  Ajustes ajustes = busca_ficheros(carpeta_de(ruta), ruta_texto(ruta.filename()), dir_datos_fijo());
  ajustes.uds = milimetros ? kUdsMilimetros : kUdsCentimetros;
  return ajustes;
}

// The sheets the running command read without their lock, each with its fingerprint when read.
std::vector<std::pair<std::filesystem::path, HuellaFichero>>& hojas_leidas() {
  thread_local std::vector<std::pair<std::filesystem::path, HuellaFichero>> hojas;
  return hojas;
}

// Tells of the first sheet read that changed since; true when there is one.
bool avisa_hoja_cambiada(const std::string& orden, std::ostream& errores) {
  for (const auto& [ruta, huella] : hojas_leidas()) {
    if (hoja_intacta(ruta, huella)) continue;
    errores << "telmora-cli " << orden << ": la hoja " << ruta_texto(ruta)
            << " ha cambiado mientras se leía; lo obtenido puede mezclar la hoja de antes y la de "
               "después, vuelva a ejecutar la orden\n";
    return true;
  }
  return false;
}

// Runs a command and turns its failures into their lines and exit statuses.
int ejecuta_comando(const Comando& comando, const std::vector<std::string>& resto,
                    std::ostream& salida, std::ostream& errores) {
  try {
    const Argumentos leidos(resto, comando.opciones);
    if (!leidos.posicionales().empty()) avisa_recuperacion(leidos.posicionales()[0], errores);
    return comando.ejecuta(leidos, salida, errores);
  } catch (const OperacionCancelada& cancelada) {
    errores << "telmora-cli " << comando.nombre << ": " << cancelada.what() << "\n";
    return kInterrumpida;
  } catch (const ErrorUso& error) {
    errores << "telmora-cli " << comando.nombre << ": " << error.what() << "\n";
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
    errores << "telmora-cli " << comando.nombre << ": no hay memoria suficiente\n";
    return kErrorEntrada;
  } catch (const std::exception& error) {
    errores << "telmora-cli " << comando.nombre << ": " << error.what() << "\n";
    return kErrorEntrada;
  }
}

}  // namespace

const std::vector<Comando>& comandos() {
  static const std::vector<Comando> lista{
      comando_bd(),      comando_catalogo(),   comando_comprimir(), comando_cotas(),
      comando_depurar(), comando_duplicados(), comando_errores(),   comando_exportar(),
      comando_extraer(), comando_generar(),    comando_importar(),  comando_info(),
      comando_lista(),   comando_pares(),      comando_pdobles(),   comando_render(),
      comando_revisar(), comando_topologia(),
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
  hojas_leidas().clear();
  const int codigo = ejecuta_comando(*comando, resto, salida, errores);
  // A Ctrl-C ends the command with what it was doing: nothing more is told.
  const bool cambiada = codigo != kInterrumpida && avisa_hoja_cambiada(comando->nombre, errores);
  hojas_leidas().clear();
  return cambiada ? kHojaCambiada : codigo;
}

std::filesystem::path carpeta_de(const std::filesystem::path& ruta) {
  std::error_code error;
  const auto absoluta = std::filesystem::absolute(ruta, error);
  return error ? ruta.parent_path() : absoluta.parent_path();
}

Sesion abre_hoja_de_linea(const std::string& ruta_bin, bool milimetros, Progreso& progreso,
                          IndiceCajas indice) {
  Sesion sesion = abre_sesion(ajustes_de_linea(ruta_bin, milimetros), progreso, indice);
  hojas_leidas().emplace_back(sesion.hoja.ruta, sesion.hoja.huella);
  return sesion;
}

Sesion abre_hoja_para_cambiar(const std::string& ruta_bin, bool milimetros, Progreso& progreso) {
  const Ajustes ajustes = ajustes_de_linea(ruta_bin, milimetros);
  auto cerrojo = std::make_shared<const CerrojoHoja>(ajustes.fich_entrada);
  // Under the lock a journal can only be left over (the command's start told of one already).
  recupera_hoja(*cerrojo);
  Sesion sesion = abre_sesion(ajustes, progreso);
  sesion.hoja.cerrojo = std::move(cerrojo);
  return sesion;
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
