#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli.h"
#include "edicion/dibujo_edicion.h"
#include "fichero.h"
#include "hoja_abierta.h"
#include "imagen_cli.h"
#include "procesos.h"
#include "progreso_terminal.h"
#include "revision/informe_revision.h"
#include "revision/revision_hoja.h"
#include "superficie_imagen.h"
#include "topologia/dibujo_topologia.h"

namespace telmora::cli {

namespace {

constexpr const char* kResumen =
    "revisa muchas hojas sin cambiarlas y escribe el informe de la producción";
constexpr const char* kAyuda =
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
    "  --unir             hace el informe con las filas JSON de los ficheros nombrados\n";

// The picture in the report: the sheet faded, its faults drawn over it, at half the drawing's
// size so that a report of many sheets stays light.
constexpr double kAclarado = 0.6;
constexpr int kReduccion = 2;
// A sheet's checker that runs this long is stopped, unless --limite says otherwise.
constexpr long long kLimitePorDefecto = 600;

// The options a sheet's check takes, passed on as they are to the processes that check sheets.
const std::vector<std::string> kOpcionesDeHoja{"tolerancia", "tol-xy", "tol-z"};

ToleranciasPdobles tolerancias_pdobles(const Argumentos& argumentos) {
  try {
    return lee_tolerancias(argumentos.tiene("tol-xy") ? argumentos.valor("tol-xy") : "1",
                           argumentos.tiene("tol-z") ? argumentos.valor("tol-z") : "1");
  } catch (const ErrorTelmora& error) {
    throw ErrorUso(error.what());
  }
}

// The sheets named: each file as given, and every "*.bin" under each folder, in path order.
std::vector<std::string> hojas_de(const std::vector<std::string>& entradas) {
  std::vector<std::string> hojas;
  for (const std::string& entrada : entradas) {
    const std::filesystem::path ruta = ruta_desde_texto(entrada);
    std::error_code error;
    if (!std::filesystem::is_directory(ruta, error)) {
      hojas.push_back(entrada);
      continue;
    }
    std::vector<std::string> halladas;
    for (auto it = std::filesystem::recursive_directory_iterator(ruta, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      std::error_code e;
      if (it->is_regular_file(e) && it->path().extension() == ".bin") {
        halladas.push_back(ruta_texto(it->path()));
      }
    }
    if (error) throw ErrorUso("no se puede recorrer la carpeta \"" + entrada + "\"");
    std::sort(halladas.begin(), halladas.end());
    hojas.insert(hojas.end(), halladas.begin(), halladas.end());
  }
  return hojas;
}

std::string png_base64(const QImage& imagen) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  imagen.save(&buffer, "PNG");
  return png.toBase64().toStdString();
}

// The sheet as it opens with what the check found: the faces without a centroid and with
// several filled under the sheet's lines, all faded, then over them the NoPol and +Pol texts,
// the dangling ends, and the duplicated elements (outlined) with their shared segments.
std::string imagen_de_revision(const Sesion& sesion, SuperficieImagen& superficie,
                               const HojaAbierta& hoja, const RevisionHoja& revision) {
  const LienzoTopologia lienzo{superficie, hoja.vista, sesion.paleta, sesion.ajustes.uds,
                               hoja.visualizacion.estilo_pluma};
  PintorTopologia pintor(lienzo, 1);
  superficie.modo(ModoDibujo::copia);
  superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
  pintor.PintoErroresPoligono(revision.topologia.poligonos);
  Pintor(sesion).leo_bin_pinto(superficie, hoja.vista, hoja.visualizacion);
  superficie.aclara(kAclarado);
  pintor.PintoErroresCentroides(revision.topologia.grafo);
  pintor.PintoErroresColgantes(revision.topologia.grafo);
  // Duplicated elements as outlines, so that a large closed one hides nothing under it.
  Visualizacion contornos = hoja.visualizacion;
  contornos.relleno = false;
  leo_bin_pinto_duplicados(sesion, revision.duplicados, superficie, hoja.vista, contornos);
  const QImage& imagen = superficie.imagen();
  return png_base64(imagen.scaled(imagen.width() / kReduccion, imagen.height() / kReduccion,
                                  Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// The reason of a failed check on one line, so that the row stays one line of the table: the
// message's lines, and a corrupt file's diagnostic, joined by "; ".
std::string motivo_de(const std::exception& error) {
  std::string motivo = error.what();
  if (const auto* corrupto = dynamic_cast<const ErrorCorrupcion*>(&error)) {
    if (!corrupto->corrupcion().detalle.empty()) motivo += "\n" + corrupto->corrupcion().detalle;
  }
  while (!motivo.empty() && motivo.back() == '\n') motivo.pop_back();
  for (std::size_t pos; (pos = motivo.find('\n')) != std::string::npos;) {
    motivo.replace(pos, 1, "; ");
  }
  return motivo;
}

// One sheet checked in this process. A sheet that cannot be read or checked is an error row.
FilaRevision revisa_aqui(const std::string& hoja, const Argumentos& argumentos,
                         std::ostream& errores) {
  const ToleranciasPdobles tolerancias = tolerancias_pdobles(argumentos);
  const double tolerancia = tolerancia_de_opcion(argumentos);
  try {
    return con_progreso(errores, [&](Progreso& progreso) {
      asegura_aplicacion();
      Sesion sesion = abre_hoja_de_linea(hoja, argumentos.bandera("mm"), progreso);
      sesion.ajustes.tolerancia_tentativo = tolerancia;
      SuperficieImagen superficie(kAnchoImagen, kAltoImagen);
      const HojaAbierta abierta = dibuja_hoja_abierta(sesion, superficie);
      const RevisionHoja revision = revisa_hoja(sesion, abierta.dibujadas, tolerancias, progreso);
      FilaRevision fila;
      fila.hoja = hoja;
      fila.recuentos = revision.recuentos;
      fila.imagen = imagen_de_revision(sesion, superficie, abierta, revision);
      return fila;
    });
  } catch (const OperacionCancelada&) {
    throw;
  } catch (const std::exception& error) {
    return FilaRevision::con_error(hoja, motivo_de(error));
  }
}

// The command line of a process that checks one sheet and writes its row.
std::vector<std::string> orden_de_hoja(const std::string& programa, const std::string& hoja,
                                       const Argumentos& argumentos) {
  std::vector<std::string> orden{programa, "revisar", hoja, "--json"};
  for (const std::string& opcion : kOpcionesDeHoja) {
    if (argumentos.tiene(opcion)) {
      orden.push_back("--" + opcion);
      orden.push_back(argumentos.valor(opcion));
    }
  }
  if (argumentos.bandera("mm")) orden.push_back("--mm");
  return orden;
}

// The row a sheet's process wrote, or an error row saying how the process ended.
FilaRevision fila_de_proceso(const std::string& hoja, const ProcesoTerminado& fin,
                             std::chrono::milliseconds limite) {
  if (fin.senal == 0 && !fin.agotado && (fin.estado == kExito || fin.estado == 1)) {
    try {
      FilaRevision fila = fila_de_json(fin.salida);
      if (fila.hoja == hoja) return fila;
    } catch (const ErrorTelmora&) {
    }
  }
  std::string motivo = "la revisión " + motivo_de_fin(fin, limite);
  const std::string ultima = fin.errores.substr(0, fin.errores.find('\n'));
  if (!ultima.empty()) motivo += ": " + ultima;
  return FilaRevision::con_error(hoja, motivo);
}

std::size_t trabajos_de(const Argumentos& argumentos) {
  if (argumentos.tiene("trabajos")) {
    const long long n = entero_de_opcion(argumentos.valor("trabajos"), "--trabajos");
    if (n < 1 || n > 1024) throw ErrorUso("--trabajos debe ser de 1 a 1024");
    return static_cast<std::size_t>(n);
  }
  return std::max(1U, std::thread::hardware_concurrency());
}

std::chrono::milliseconds limite_de(const Argumentos& argumentos) {
  if (!argumentos.tiene("limite")) return std::chrono::seconds(kLimitePorDefecto);
  const double segundos = numero_de_opcion(argumentos.valor("limite"), "--limite");
  if (!(segundos > 0)) throw ErrorUso("--limite debe ser un número de segundos mayor que 0");
  return std::chrono::milliseconds(static_cast<long long>(segundos * 1000));
}

// Every sheet checked by a process of its own, a few at a time, with the progress line.
std::vector<FilaRevision> revisa_en_procesos(const std::vector<std::string>& hojas,
                                             const Argumentos& argumentos, std::ostream& errores) {
  const std::string programa = programa_propio();
  std::vector<std::vector<std::string>> ordenes;
  for (const std::string& hoja : hojas)
    ordenes.push_back(orden_de_hoja(programa, hoja, argumentos));
  OpcionesProcesos opciones;
  opciones.simultaneos = trabajos_de(argumentos);
  opciones.limite = limite_de(argumentos);

  std::vector<FilaRevision> filas(hojas.size());
  std::int64_t hechas = 0, con_hallazgos = 0;
  ProgresoTerminal progreso = progreso_de_orden(errores);
  progreso.paso("Revisión");
  opciones.latido = [&] { progreso.comprueba_cancelacion(); };
  ejecuta_procesos(ordenes, opciones, [&](std::size_t i, ProcesoTerminado fin) {
    filas[i] = fila_de_proceso(hojas[i], fin, opciones.limite);
    ++hechas;
    con_hallazgos += filas[i].correcta() ? 0 : 1;
    progreso.avance(std::to_string(hechas) + " de " + std::to_string(hojas.size()) + " hojas, " +
                        std::to_string(con_hallazgos) + " con errores",
                    hechas, static_cast<std::int64_t>(hojas.size()));
  });
  return filas;
}

// The rows that checks elsewhere wrote, one JSON object a file.
std::vector<FilaRevision> filas_de_ficheros(const std::vector<std::string>& ficheros) {
  std::vector<FilaRevision> filas;
  for (const std::string& fichero : ficheros) {
    std::ifstream entrada(ruta_desde_texto(fichero), std::ios::binary);
    std::stringstream texto;
    texto << entrada.rdbuf();
    if (!entrada) throw ErrorUso("no se puede leer \"" + fichero + "\"");
    try {
      filas.push_back(fila_de_json(texto.str()));
    } catch (const ErrorTelmora& error) {
      throw ErrorUso("\"" + fichero + "\": " + error.what());
    }
  }
  return filas;
}

int estado_de(const std::vector<FilaRevision>& filas) {
  return std::all_of(filas.begin(), filas.end(), [](const FilaRevision& f) { return f.correcta(); })
             ? kExito
             : 1;
}

int ejecuta_revisar(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  const std::string uso =
      "telmora-cli revisar ENTRADA... [--informe CARPETA] [--trabajos N] [--limite S] "
      "[--tolerancia M] [--tol-xy N] [--tol-z N] [--mm] [--json] | --unir FICHERO.json... "
      "[--informe CARPETA]";
  if (argumentos.posicionales().empty()) throw ErrorUso("faltan las hojas: " + uso);
  // Checked before any work, so that a wrong option never costs a whole run.
  tolerancias_pdobles(argumentos);
  tolerancia_de_opcion(argumentos);
  limite_de(argumentos);
  trabajos_de(argumentos);

  std::vector<FilaRevision> filas;
  if (argumentos.bandera("unir")) {
    if (argumentos.bandera("json")) throw ErrorUso("--unir no admite --json: " + uso);
    filas = filas_de_ficheros(argumentos.posicionales());
  } else {
    const std::vector<std::string> hojas = hojas_de(argumentos.posicionales());
    if (hojas.empty()) throw ErrorUso("no se ha encontrado ninguna hoja (*.bin)");
    if (argumentos.bandera("json") && hojas.size() == 1) {
      filas.push_back(revisa_aqui(hojas[0], argumentos, errores));
    } else {
      filas = revisa_en_procesos(hojas, argumentos, errores);
    }
    if (argumentos.bandera("json")) {
      for (const FilaRevision& fila : filas) salida << fila_json(fila) << "\n";
      return estado_de(filas);
    }
  }

  const std::filesystem::path carpeta =
      ruta_desde_texto(argumentos.tiene("informe") ? argumentos.valor("informe") : "revision");
  try {
    escribe_informe_revision(carpeta, filas);
  } catch (const ErrorTelmora& error) {
    errores << error.what() << "\n";
    return kFalloEscritura;
  }
  const std::int64_t malas = std::count_if(filas.begin(), filas.end(),
                                           [](const FilaRevision& f) { return !f.correcta(); });
  salida << "Hojas revisadas :" << filas.size() << "\n";
  salida << "Hojas con errores :" << malas << "\n";
  salida << "Informe :" << ruta_texto(carpeta / kInformeHtml) << "\n";
  return estado_de(filas);
}

}  // namespace

Comando comando_revisar() {
  OpcionesAdmitidas opciones{{"informe", "trabajos", "limite", "tolerancia", "tol-xy", "tol-z"},
                             {"mm", "json", "unir"}};
  return {"revisar", kResumen, kAyuda, std::move(opciones), ejecuta_revisar};
}

}  // namespace telmora::cli
