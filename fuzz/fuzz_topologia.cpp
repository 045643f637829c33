// The topology on sheets built from the input: every command of the topology menu and the three
// elevation commands, those that write accepted as the operator accepts them. The result lines
// do not depend on the order of the entities in the file (when no two arcs leave a node the same
// way, as the walk then takes the later arc in file order), and after an in-place elevation command
// the sheet loads again with the same active elements.
#include <cstdint>
#include <string>
#include <vector>

#include "comun_fuzz.h"
#include "entero_exacto.h"
#include "hoja_abierta.h"
#include "superficie_nula.h"
#include "topologia/dibujo_topologia.h"
#include "topologia/topologia.h"

namespace {

using fuzz::exige;
using telmora::EntradaTopologia;

constexpr EntradaTopologia kEntradas[] = {EntradaTopologia::todo,
                                          EntradaTopologia::no_envolventes,
                                          EntradaTopologia::envolventes,
                                          EntradaTopologia::islas,
                                          EntradaTopologia::errores_centroides,
                                          EntradaTopologia::arcos_colgantes,
                                          EntradaTopologia::resaltar_poligono,
                                          EntradaTopologia::cotas_calles,
                                          EntradaTopologia::cotas_calles_graba,
                                          EntradaTopologia::cotas_a_recintos,
                                          EntradaTopologia::cotas_a_tramos};

std::string texto(const std::vector<std::string>& lineas) {
  std::string s;
  for (const auto& l : lineas) s += l + "\n";
  return s;
}

telmora::ResultadoTopologia ejecuta(telmora::Sesion& sesion,
                                    const telmora::EntidadesDibujadas& dibujadas,
                                    EntradaTopologia entrada, const fuzz::CarpetaProceso& carpeta) {
  telmora::OpcionesTopologia opciones;
  telmora::selecciona_entrada(opciones, entrada);
  // The topology drawn over the whole sheet as the command draws it, on a surface that keeps
  // nothing.
  telmora::SuperficieNula superficie(320, 240);
  telmora::Vista vista;
  vista.dimensiona(superficie.ancho(), superficie.alto());
  telmora::Visualizacion visualizacion;
  telmora::ajusta_a_hoja(sesion, vista, visualizacion);
  const telmora::LienzoTopologia lienzo{superficie, vista, sesion.paleta, sesion.ajustes.uds,
                                        visualizacion.estilo_pluma};
  telmora::SalidasTopologia salidas;
  salidas.lienzo = &lienzo;
  salidas.carpeta_listados = carpeta.ruta();
  fuzz::DialogosAceptados dialogos;
  return telmora::ejecuta_y_aplica_topologia(sesion, dibujadas, opciones, salidas,
                                             telmora::Progreso::ninguno(), &dialogos);
}

// No arc leaves a node in the same direction as another, and none has a segment of no length:
// the walk then never chooses between equal turns, which it settles by the order of the arcs.
bool sin_empates(const fuzz::HojaSintetica& h) {
  struct Salida {
    std::int32_t x, y;
    std::int64_t dx, dy;
  };
  std::vector<Salida> salidas;
  for (const auto& e : h.entidades) {
    if (e.texto || !e.activa || e.vertices.size() < 2) continue;
    const auto& v = e.vertices;
    for (std::size_t k = 1; k < v.size(); ++k) {
      if (v[k].x == v[k - 1].x && v[k].y == v[k - 1].y) return false;
    }
    const auto &a = v[0], &b = v[1], &y = v[v.size() - 1], &z = v[v.size() - 2];
    salidas.push_back({a.x, a.y, std::int64_t{b.x} - a.x, std::int64_t{b.y} - a.y});
    salidas.push_back({y.x, y.y, std::int64_t{z.x} - y.x, std::int64_t{z.y} - y.y});
  }
  for (std::size_t i = 0; i < salidas.size(); ++i) {
    for (std::size_t j = i + 1; j < salidas.size(); ++j) {
      const Salida &p = salidas[i], &q = salidas[j];
      if (p.x != q.x || p.y != q.y) continue;
      const auto cruz =
          telmora::Entero128::producto(p.dx, q.dy) - telmora::Entero128::producto(p.dy, q.dx);
      const auto escalar =
          telmora::Entero128::producto(p.dx, q.dx) + telmora::Entero128::producto(p.dy, q.dy);
      if (cruz.signo() == 0 && escalar.signo() > 0) return false;
    }
  }
  return true;
}

// The lines of the whole topology, or the internal failure it reported.
std::string lineas_de_todo(const fuzz::CarpetaProceso& carpeta, const fuzz::HojaSintetica& h) {
  const fuzz::HojaAbiertaFuzz abierta(carpeta, h);
  telmora::Sesion sesion = abierta.sesion();
  try {
    return texto(ejecuta(sesion, abierta.dibujadas(), EntradaTopologia::todo, carpeta).lineas());
  } catch (const telmora::ErrorTelmora& error) {
    return error.what();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  static const fuzz::CarpetaProceso carpeta;
  const fuzz::HojaSintetica h = fuzz::decodifica({datos, tamano});
  const fuzz::HojaAbiertaFuzz abierta(carpeta, h);
  for (const EntradaTopologia entrada : kEntradas) {
    telmora::Sesion sesion = abierta.sesion();
    const fuzz::Activas antes = fuzz::activas(sesion.hoja);
    try {
      ejecuta(sesion, abierta.dibujadas(), entrada, carpeta);
    } catch (const telmora::ErrorTelmora& error) {
      fuzz::falla(std::string("la topología falla: ") + error.what());
    }
    if (entrada != EntradaTopologia::cotas_a_recintos &&
        entrada != EntradaTopologia::cotas_a_tramos)
      continue;
    // The elevations are written over the elements' vertices: the same elements stay active.
    const fuzz::Activas despues = fuzz::activas(fuzz::recarga(sesion, "las cotas"));
    exige(despues.c == antes.c && despues.t == antes.t,
          "las cotas cambiaron los elementos activos");
  }
  if (!sin_empates(h)) return 0;
  const std::string lineas = lineas_de_todo(carpeta, h);
  const std::string barajadas = lineas_de_todo(carpeta, fuzz::baraja(h, tamano));
  exige(lineas == barajadas, "la topología depende del orden de las entidades:\n" + lineas +
                                 "barajadas:\n" + barajadas + "hoja:\n" + h.descripcion() +
                                 "barajada:\n" + fuzz::baraja(h, tamano).descripcion());
  return 0;
}
