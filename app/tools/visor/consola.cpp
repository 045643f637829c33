#include "visor/consola.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_set>

#include "fichero.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr int kIndiceColorMaximo = 255;
constexpr int kAccionConsolaEsperando = 2;

std::string_view recorta(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(" \t");
  if (inicio == std::string_view::npos) return {};
  const auto fin = texto.find_last_not_of(" \t");
  return texto.substr(inicio, fin - inicio + 1);
}

std::string mayusculas(std::string_view texto) {
  std::string salida(texto);
  for (char& c : salida) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return salida;
}

// One item of a list: a code, or a range "a-b" of integers (exactly one "-").
void traduce_elemento(std::string_view elemento, ListaCodigos& lista) {
  elemento = recorta(elemento);
  const auto guion = elemento.find('-');
  if (guion == std::string_view::npos) {
    lista.anade(std::string(elemento));
    return;
  }
  long long desde = 0, hasta = 0;
  if (!solo1g(elemento) || !lee_entero(recorta(elemento.substr(0, guion)), desde) ||
      !lee_entero(recorta(elemento.substr(guion + 1)), hasta)) {
    lista.anade("Error");
    return;
  }
  // The list stops the loop when it is full, so a range of any size costs at most 5,000 steps.
  for (long long codigo = desde; codigo <= hasta; ++codigo) {
    if (!lista.anade(std::to_string(codigo))) return;
  }
}

// A code-list file is named by its extension, from the first "." of the file name on.
bool es_fichero_de_codigos(std::string_view argumento) {
  const auto barra = argumento.find_last_of("/\\");
  const std::string_view nombre =
      barra == std::string_view::npos ? argumento : argumento.substr(barra + 1);
  const auto punto = nombre.find('.');
  if (punto == std::string_view::npos) return false;
  const std::string extension = mayusculas(nombre.substr(punto));
  return extension == ".TAB" || extension == ".M";
}

std::vector<std::string_view> campos_de_linea(std::string_view linea) {
  constexpr std::size_t kMaximoCampos = 6;
  std::vector<std::string_view> campos;
  while (campos.size() + 1 < kMaximoCampos) {
    const auto separador = linea.find(';');
    if (separador == std::string_view::npos) break;
    campos.push_back(recorta(linea.substr(0, separador)));
    linea.remove_prefix(separador + 1);
  }
  campos.push_back(recorta(linea));
  return campos;
}

bool es_palabra_de_visibilidad(const std::string& palabra) {
  return palabra == "ON" || palabra == "OFF" || palabra == "ON_A" || palabra == "OFF_A";
}

std::string mensaje_argumento(std::string_view orden, std::string_view regla,
                              std::string_view argumento) {
  return std::string(orden) + ": " + std::string(regla) + " (se ha escrito \"" +
         std::string(recorta(argumento)) + "\")";
}

}  // namespace

bool ListaCodigos::anade(std::string codigo) {
  if (llena()) {
    desbordada_ = true;
    return false;
  }
  codigos_.push_back(std::move(codigo));
  return true;
}

void ListaCodigos::vacia() {
  codigos_.clear();
  desbordada_ = false;
}

void ListaCodigos::ordena() {
  std::sort(codigos_.begin(), codigos_.end());
}

bool solo1g(std::string_view cadena) {
  return std::count(cadena.begin(), cadena.end(), '-') == 1;
}

void traduce(std::string_view cadena, ListaCodigos& lista) {
  // Items are taken left to right, which is the order of splitting at the first "," again and
  // again; a loop keeps the stack flat whatever the length of the list.
  while (!lista.desbordada()) {
    const auto coma = cadena.find(',');
    traduce_elemento(cadena.substr(0, coma), lista);
    if (coma == std::string_view::npos) return;
    cadena.remove_prefix(coma + 1);
  }
}

void marco_modelo(TablaVekt& tabla, ListaCodigos& lista, bool marca) {
  lista.ordena();
  const std::unordered_set<std::string_view> prefijos(lista.codigos().begin(),
                                                      lista.codigos().end());
  std::size_t largo_maximo = 0;
  for (const std::string& codigo : lista.codigos()) {
    largo_maximo = std::max(largo_maximo, codigo.size());
  }
  for (int n = 1; n <= tabla.num_entradas(); ++n) {
    FilaVekt& fila = tabla.fila(n);
    const std::string_view codigo = fila.codigo();
    const std::size_t hasta = std::min(codigo.size(), largo_maximo);
    for (std::size_t largo = 0; largo <= hasta; ++largo) {
      if (prefijos.contains(codigo.substr(0, largo))) {
        fila.visible = marca;
        break;
      }
    }
  }
}

std::string palabra_orden(std::string_view linea) {
  return mayusculas(recorta(linea.substr(0, linea.find('='))));
}

bool es_orden_de_visibilidad(std::string_view linea) {
  if (linea.find('=') == std::string_view::npos) return recorta(linea).starts_with('@');
  const std::string palabra = palabra_orden(linea);
  return es_palabra_de_visibilidad(palabra) || palabra == "COLOR_FONDO" || palabra == "COLOR_NUEVO";
}

Consola::Consola(Sesion& sesion, Visualizacion& visualizacion, Dialogos& dialogos,
                 AccionesVisor* visor, CarpetasConsola carpetas)
    : sesion_(sesion),
      visualizacion_(visualizacion),
      dialogos_(dialogos),
      visor_(visor),
      carpetas_(std::move(carpetas)) {}

void Consola::ejecuta(std::string_view linea) {
  if (recorta(linea).empty()) return;
  if (visor_ != nullptr) visor_->accion_consola_pendiente(0);
  const auto igual = linea.find('=');
  if (igual != std::string_view::npos) {
    const std::string palabra = palabra_orden(linea);
    const std::string_view argumento = linea.substr(igual + 1);
    if (es_palabra_de_visibilidad(palabra)) {
      orden_visibilidad(linea, palabra.ends_with("_A"));
    } else if (palabra == "COLOR_FONDO") {
      color_fondo(argumento);
    } else if (palabra == "COLOR_NUEVO") {
      color_nuevo(argumento);
    } else if (palabra == "ZOOMP") {
      zoomp(argumento);
    } else if (palabra == "DA") {
      distancia_cotas(argumento);
    }
    return;
  }
  if (recorta(linea).starts_with('@')) {
    ProcesaArroba(linea);
    return;
  }
  orden_simple(palabra_orden(linea));
}

void Consola::orden_visibilidad(std::string_view orden, bool seleccion) {
  const auto igual = orden.find('=');
  if (igual == std::string_view::npos) return;
  const std::string palabra = palabra_orden(orden);
  if (!es_palabra_de_visibilidad(palabra)) return;
  visualizacion_.seleccion = seleccion;
  marco(orden.substr(igual + 1), palabra.starts_with("ON"));
}

void Consola::marco(std::string_view argumento, bool marca) {
  argumento = recorta(argumento);
  TablaVekt& tabla = sesion_.tabla;
  if (argumento.find('*') != std::string_view::npos) {
    const std::string_view prefijo = argumento.substr(0, argumento.size() - 1);
    for (int n = 1; n <= tabla.num_entradas(); ++n) {
      FilaVekt& fila = tabla.fila(n);
      if (fila.codigo().starts_with(prefijo)) fila.visible = marca;
    }
    return;
  }
  codigos.vacia();
  if (es_fichero_de_codigos(argumento)) {
    leeTab(argumento);
  } else {
    traduce(argumento, codigos);
  }
  aplica_lista(marca);
}

void Consola::aplica_lista(bool marca) {
  codigos.ordena();
  const std::vector<std::string>& lista = codigos.codigos();
  TablaVekt& tabla = sesion_.tabla;
  for (int n = 1; n <= tabla.num_entradas(); ++n) {
    FilaVekt& fila = tabla.fila(n);
    if (std::binary_search(lista.begin(), lista.end(), fila.codigo())) fila.visible = marca;
  }
  avisa_desbordamiento();
}

void Consola::avisa_desbordamiento() {
  if (!codigos.desbordada() || avisado_desbordamiento_) return;
  avisado_desbordamiento_ = true;
  dialogos_.mensaje("La lista tiene más de " + std::to_string(ListaCodigos::kMaximo) +
                        " códigos: solo se aplican los " + std::to_string(ListaCodigos::kMaximo) +
                        " primeros.",
                    Icono::advertencia);
}

std::optional<std::filesystem::path> Consola::leeTab(std::string_view fich_tab) {
  const auto nombre = ruta_desde_texto(fich_tab);
  const auto primera = sesion_.ajustes.dir_trabajo / nombre;
  const auto ruta = existe_archivo(primera) ? primera : carpetas_.datos / nombre;
  if (!existe_archivo(ruta)) {
    dialogos_.mensaje(ErrorFicheroInexistente(primera).what(), Icono::critico);
    return std::nullopt;
  }
  try {
    const auto bytes = lee_fichero(ruta);
    const std::string contenido = decodifica_texto({bytes.data(), bytes.size()});
    std::unordered_set<std::string> presentes(codigos.codigos().begin(), codigos.codigos().end());
    for (const std::string_view linea : divide_lineas(contenido)) {
      const auto campos = campos_de_linea(linea);
      for (std::size_t i = 0; i < std::min<std::size_t>(2, campos.size()); ++i) {
        if (campos[i].empty() || presentes.contains(std::string(campos[i]))) continue;
        if (!codigos.anade(std::string(campos[i]))) return ruta;
        presentes.emplace(campos[i]);
      }
    }
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
    return std::nullopt;
  }
  return ruta;
}

void Consola::ProcesaArroba(std::string_view arroba) {
  arroba = recorta(arroba);
  if (arroba.starts_with('@')) arroba.remove_prefix(1);
  const std::string nombre(recorta(arroba));
  const auto fichero = ruta_desde_texto(nombre);
  std::optional<std::filesystem::path> ruta;
  for (const auto& carpeta : {sesion_.ajustes.dir_trabajo, carpetas_.datos, carpetas_.tablas}) {
    if (!nombre.empty() && existe_archivo(carpeta / fichero)) {
      ruta = carpeta / fichero;
      break;
    }
  }
  if (!ruta) {
    dialogos_.mensaje("No existe el fichero :" + nombre, Icono::critico);
    return;
  }
  std::string contenido;
  try {
    const auto bytes = lee_fichero(*ruta);
    contenido = decodifica_texto({bytes.data(), bytes.size()});
  } catch (const ErrorTelmora& error) {
    dialogos_.mensaje(error.what(), Icono::critico);
    return;
  }
  for (const std::string_view linea_leida : divide_lineas(contenido)) {
    const std::string_view linea = recorta(linea_leida);
    if (linea.find('=') != std::string_view::npos) {
      const std::string palabra = palabra_orden(linea);
      if (palabra == "ON" || palabra == "OFF") orden_visibilidad(linea, false);
    } else if (mayusculas(linea) == "REGENERA" && visor_ != nullptr) {
      visor_->regenera();
    }
  }
}

std::optional<int> Consola::indice_de_paleta(std::string_view argumento, const char* orden,
                                             const char* que) {
  int indice = 0;
  if (lee_entero_redondeado(recorta(argumento), indice) && indice >= 0 &&
      indice <= kIndiceColorMaximo) {
    return indice;
  }
  dialogos_.mensaje(
      mensaje_argumento(orden, std::string(que) + " es un índice de la paleta de 0 a 255",
                        argumento),
      Icono::critico);
  return std::nullopt;
}

void Consola::color_fondo(std::string_view argumento) {
  if (const auto indice = indice_de_paleta(argumento, "COLOR_FONDO", "el color de fondo")) {
    sesion_.tabla.ajuste_fondo = *indice;
  }
}

void Consola::color_nuevo(std::string_view argumento) {
  if (const auto indice = indice_de_paleta(argumento, "COLOR_NUEVO",
                                           "el color de los códigos que no están en la tabla")) {
    sesion_.tabla.color_desconocido = *indice;
  }
}

void Consola::distancia_cotas(std::string_view argumento) {
  double distancia = 0;
  if (!lee_real(argumento, distancia)) {
    dialogos_.mensaje(mensaje_argumento("DA", "la distancia es un número de metros", argumento),
                      Icono::critico);
    return;
  }
  visualizacion_.distancia_cotas = distancia;
}

void Consola::zoomp(std::string_view argumento) {
  if (!con_visor("ZOOMP")) return;
  const auto coma = argumento.find(',');
  double x = 0, y = 0;
  if (coma == std::string_view::npos || !lee_real(argumento.substr(0, coma), x) ||
      !lee_real(argumento.substr(coma + 1), y)) {
    dialogos_.mensaje(
        mensaje_argumento("ZOOMP", "escriba las coordenadas X,Y en metros", argumento),
        Icono::critico);
    return;
  }
  const RangoFichero& rango = sesion_.hoja.rango;
  const double uds = sesion_.ajustes.uds;
  if (x < rango.xmin / uds || x > rango.xmax / uds || y < rango.ymin / uds ||
      y > rango.ymax / uds) {
    dialogos_.mensaje("Coordenada fuera de fichero", Icono::critico);
    return;
  }
  visor_->centrar();
  visor_->pulsa_izquierdo(x, y);
}

bool Consola::con_visor(const std::string& palabra) {
  if (visor_ != nullptr) return true;
  dialogos_.mensaje("La orden " + palabra + " solo se puede usar en el visor", Icono::critico);
  return false;
}

void Consola::orden_simple(const std::string& palabra) {
  if (palabra == "RELLENAR") {
    visualizacion_.relleno = !visualizacion_.relleno;
    return;
  }
  static const std::unordered_set<std::string> kOrdenesDelVisor{"SALIR", "BININFO",    "ZOOMA",
                                                                "LISTA", "PONERTEXTO", "BORRAR_V"};
  if (!kOrdenesDelVisor.contains(palabra) || !con_visor(palabra)) return;
  if (palabra == "SALIR") {
    visor_->salir();
  } else if (palabra == "BININFO") {
    visor_->bininfo();
  } else if (palabra == "ZOOMA") {
    visor_->centrar();
    visor_->accion_consola_pendiente(kAccionConsolaEsperando);
  } else if (palabra == "LISTA") {
    visor_->info_elemento();
    visor_->accion_consola_pendiente(kAccionConsolaEsperando);
  } else if (palabra == "PONERTEXTO") {
    visor_->nuevo_texto();
    visor_->accion_consola_pendiente(kAccionConsolaEsperando);
  } else {
    visor_->borra_ventana();
  }
}

namespace {

void visibilidad_y_redibujo(Consola& consola, AccionesVisor& visor,
                            std::initializer_list<std::pair<const char*, bool>> ordenes) {
  for (const auto& [orden, seleccion] : ordenes) consola.orden_visibilidad(orden, seleccion);
  visor.regenera();
}

}  // namespace

void OffPares(Consola& consola, AccionesVisor& visor) {
  visibilidad_y_redibujo(consola, visor, {{"OFF=1-20", false}});
}

void OnTodo(Consola& consola, AccionesVisor& visor) {
  visibilidad_y_redibujo(consola, visor, {{"ON=*", false}});
}

void mnuTodos(Consola& consola, AccionesVisor& visor) {
  visibilidad_y_redibujo(consola, visor, {{"ON_A=*", true}});
}

void mnuSueloUrbano(Consola& consola, AccionesVisor& visor) {
  visibilidad_y_redibujo(consola, visor,
                         {{"OFF=*", false}, {"ON_A=1539", true}, {"ON_A=1615", true}});
}

void mnuVialUrbano(Consola& consola, AccionesVisor& visor) {
  visibilidad_y_redibujo(consola, visor,
                         {{"OFF=*", false},
                          {"ON_A=1516", true},
                          {"ON_A=1517", true},
                          {"ON_A=1518", true},
                          {"ON_A=1519", true},
                          {"ON_A=1520", true}});
}

}  // namespace telmora
