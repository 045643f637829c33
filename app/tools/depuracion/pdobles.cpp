#include "depuracion/pdobles.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "fichero.h"
#include "funciones.h"
#include "marcador_borrados.h"
#include "modulo_apis.h"
#include "texto.h"

namespace telmora {

namespace {

constexpr std::int16_t kPuntosMarcador = 6;

// A computed coordinate rounded to the nearest whole unit (halves to even) and kept within what a
// file can hold.
std::int32_t a_entero(double valor) {
  constexpr auto kMinimo = std::numeric_limits<std::int32_t>::min();
  constexpr auto kMaximo = std::numeric_limits<std::int32_t>::max();
  const double redondo = std::nearbyint(valor);
  if (!(redondo > kMinimo)) return kMinimo;  // NaN too
  if (redondo >= kMaximo) return kMaximo;
  return static_cast<std::int32_t>(redondo);
}

std::optional<std::int32_t> tolerancia_de(std::string_view texto) {
  int valor = 0;
  if (!lee_entero_redondeado(texto, valor) || valor < 0) return std::nullopt;
  return valor;
}

std::int32_t exige_tolerancia(std::string_view texto, std::string_view nombre) {
  const auto tolerancia = tolerancia_de(texto);
  if (!tolerancia) {
    throw ErrorTelmora("La tolerancia " + std::string(nombre) +
                       " tiene que ser un número de unidades no negativo; \"" + std::string(texto) +
                       "\" no lo es.");
  }
  return *tolerancia;
}

bool dentro(std::int64_t diferencia, std::int32_t tolerancia) {
  return (diferencia < 0 ? -diferencia : diferencia) < tolerancia;
}

// The vertex moved horizontally by `distancia` towards a point, along the azimuth between them. A
// point at the same place gives no direction: the vertex stays.
Vertice desplaza_hacia(const Vertice& v, const Vertice& hacia, double distancia) {
  double longitud = 0, angulo = 0;
  calcula_azimut(v.x, v.y, hacia.x, hacia.y, longitud, angulo);
  if (longitud == 0) return v;
  return {a_entero(v.x + distancia * std::sin(angulo)),
          a_entero(v.y + distancia * std::cos(angulo)), v.z};
}

Punto punto(const Vertice& v) {
  return {double(v.x), double(v.y)};
}

// The cleaned element: the header read with its code normalised and the new point count, a range
// recomputed from the vertices kept, and the attributes read.
void escribe_limpio(std::string& salida, const Hoja& hoja, const Entidad& e,
                    std::span<const Vertice> limpios) {
  Cabecera cabecera = hoja.cabecera_de(e);
  cabecera.codigo = codigo_desde_texto(limpia_texto(hoja.cabecera_de(e).codigo_bruto()));
  cabecera.num_puntos = static_cast<std::int16_t>(limpios.size());
  Rango rango;
  calcula_rango_entidad(rango, limpios);
  valores_de_reconstruccion(rango);
  escribe_entidad(salida, cabecera, rango, limpios, {}, hoja.atributos_de(e));
}

}  // namespace

ToleranciasPdobles lee_tolerancias(std::string_view texto_xy, std::string_view texto_z) {
  return {exige_tolerancia(texto_xy, "X,Y"), exige_tolerancia(texto_z, "Z")};
}

std::string texto_tol_dist(std::string_view texto_xy, int uds) {
  const std::string rotulo = "Tol.Dist :";
  const auto tolerancia = tolerancia_de(texto_xy);
  if (!tolerancia || uds <= 0) return rotulo;
  const double diagonal = std::sqrt(2.0 * *tolerancia * *tolerancia) / uds;
  return rotulo + numero_a_texto(std::trunc(diagonal * 1000) / 1000);
}

std::vector<std::string> ResultadoPdobles::lineas() const {
  return {"Proceso Finalizado",
          "Puntos Dobles Eliminados : " + std::to_string(puntos_eliminados),
          "Entidades Borradas : " + std::to_string(entidades_borradas),
          "Errores Duplicados : " + std::to_string(duplicados),
          "Errores Lazos : " + std::to_string(lazos),
          "Errores semiLazos : " + std::to_string(semilazos)};
}

Limpieza limpia_puntos_dobles(std::span<const Vertice> leidos,
                              const ToleranciasPdobles& tolerancias,
                              std::vector<Vertice>& limpios) {
  limpios.clear();
  Limpieza limpieza;
  if (leidos.empty()) return limpieza;
  const double paso = 2.0 * tolerancias.xy;
  limpios.push_back(leidos[0]);
  // A lower vertex after a vertical step waits for the next one, which gives its direction.
  bool retenido = false;
  for (std::size_t i = 1; i < leidos.size(); ++i) {
    const Vertice& previo = leidos[i - 1];
    const Vertice& actual = leidos[i];
    if (retenido) {
      limpios.push_back(desplaza_hacia(previo, actual, paso));
      retenido = false;
    }
    const bool cerca = dentro(std::int64_t{actual.x} - previo.x, tolerancias.xy) &&
                       dentro(std::int64_t{actual.y} - previo.y, tolerancias.xy);
    if (cerca && dentro(std::int64_t{actual.z} - previo.z, tolerancias.z)) {
      ++limpieza.eliminados;
    } else if (!cerca || actual.z == previo.z) {
      // At the same height there is no step (only a Z tolerance of 0 gets here so).
      limpios.push_back(actual);
    } else if (actual.z > previo.z) {
      if (limpios.size() >= 2) {
        Vertice& bajo = limpios.back();
        bajo = desplaza_hacia(bajo, limpios[limpios.size() - 2], paso);
      }
      limpios.push_back(actual);
    } else {
      retenido = true;
    }
  }
  // The last vertex has no vertex after it to give a direction: like the first, it stays where
  // it is. Only double points are ever dropped.
  if (retenido) limpios.push_back(leidos.back());
  limpieza.cambiada = !std::ranges::equal(limpios, leidos);
  return limpieza;
}

void revisa_segmentos(std::span<const Vertice> vertices, std::int32_t tolerancia_xy,
                      ParesSegmentos& pares, ErroresPdobles& errores) {
  const double tolerancia = tolerancia_xy;
  // The end of segment k against segment k + 2.
  for (std::size_t k = 0; k + 3 < vertices.size(); ++k) {
    const Vertice& v = vertices[k + 1];
    const Vertice &a = vertices[k + 2], &b = vertices[k + 3];
    const Proyeccion pie = proyeccion(a.x, a.y, b.x, b.y, v.x, v.y);
    if (pie.distancia <= tolerancia && pie.en_segmento)
      errores.semilazos.push_back({a_entero(pie.xf), a_entero(pie.yf), v.z});
  }
  pares.recorre(vertices, [&](std::int32_t k, std::int32_t m) {
    const Caja &s = pares.caja(k), &t = pares.caja(m);
    const std::int32_t caja_s[4] = {s.xmin, s.ymin, s.xmax, s.ymax};
    const std::int32_t caja_t[4] = {t.xmin, t.ymin, t.xmax, t.ymax};
    int estado = 1;
    if (rangos_coinciden(caja_s, caja_t, tolerancia, estado)) {
      errores.duplicados.push_back(vertices[k]);
      errores.duplicados.push_back(vertices[k + 1]);
      return;
    }
    Punto cruce;
    if (interseccion_segmentos(punto(vertices[k]), punto(vertices[k + 1]), punto(vertices[m]),
                               punto(vertices[m + 1]), cruce) == kCruce) {
      const double cota = (double(vertices[k + 1].z) + vertices[m + 1].z) / 2;
      errores.lazos.push_back({a_entero(cruce.x), a_entero(cruce.y), a_entero(cota)});
    }
  });
}

void escribe_marcador(std::string& salida, const Vertice& punto, std::string_view codigo,
                      std::int32_t tolerancia_xy) {
  const double h = std::nearbyint(tolerancia_xy * 0.5 * 5);
  const std::int32_t x0 = a_entero(punto.x - h), x1 = a_entero(punto.x + h);
  const std::int32_t y0 = a_entero(punto.y - h), y1 = a_entero(punto.y + h);
  const std::int32_t z = punto.z;
  Cabecera cabecera;
  cabecera.codigo = codigo_desde_texto(codigo);
  cabecera.num_puntos = kPuntosMarcador;
  Rango rango{x0, y0, z, x1, y1, z};
  valores_de_reconstruccion(rango);
  const Vertice vertices[kPuntosMarcador] = {{x0, y0, z},           {x0, y1, z}, {x1, y1, z},
                                             {punto.x, punto.y, z}, {x1, y0, z}, {x0, y0, z}};
  escribe_entidad(salida, cabecera, rango, vertices, {}, {});
}

ResultadoPdobles Proceso_pdobles(const Sesion& sesion, const ToleranciasPdobles& tolerancias,
                                 Progreso& progreso) {
  const Hoja& hoja = sesion.hoja;
  // Bound first: without the library the run stops before it has found anything.
  proyeccion(0, 0, 1, 0, 0, 0);
  progreso.paso("Puntos dobles");
  ParesSegmentos pares;
  ErroresPdobles errores;
  std::vector<Vertice> limpios;
  std::string entidad;
  ResultadoPdobles resultado;
  ContadorPorcentaje avance(progreso, hoja.num_entidades());
  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    avance.avanza(numero);
    const Entidad& e = hoja.entidad(numero);
    if (hoja.cabecera_de(e).es_texto() || !hoja.activa(e)) continue;
    const Limpieza limpieza = limpia_puntos_dobles(hoja.vertices_de(e), tolerancias, limpios);
    revisa_segmentos(limpios, tolerancias.xy, pares, errores);
    if (!limpieza.cambiada) continue;
    resultado.puntos_eliminados += limpieza.eliminados;
    entidad.clear();
    if (limpios.size() >= 2) {
      escribe_limpio(entidad, hoja, e, limpios);
    } else {
      ++resultado.entidades_borradas;
    }
    resultado.cambios.push_back({numero, entidad});
  }

  const std::pair<const std::vector<Vertice>&, std::string_view> marcadores[] = {
      {errores.duplicados, kCodigoDuplicado},
      {errores.lazos, kCodigoLazo},
      {errores.semilazos, kCodigoSemilazo}};
  for (const auto& [puntos, codigo] : marcadores) {
    for (const Vertice& p : puntos) {
      entidad.clear();
      escribe_marcador(entidad, p, codigo, tolerancias.xy);
      resultado.cambios.push_back({0, entidad});
    }
  }

  // Each duplicated pair gave two points.
  resultado.duplicados = static_cast<std::int64_t>(errores.duplicados.size() / 2);
  resultado.lazos = static_cast<std::int64_t>(errores.lazos.size());
  resultado.semilazos = static_cast<std::int64_t>(errores.semilazos.size());
  return resultado;
}

void aplica_pdobles(Sesion& sesion, const ResultadoPdobles& resultado, Progreso& progreso) {
  progreso.paso("Escribiendo " + ruta_texto(sesion.hoja.ruta));
  ContadorPorcentaje avance(progreso, static_cast<std::int64_t>(resultado.cambios.size()));
  MarcadorBorrados cambios(
      sesion.hoja, [&](std::size_t hechos) { avance.avanza(static_cast<std::int64_t>(hechos)); });
  for (const Sustitucion& cambio : resultado.cambios)
    cambios.sustituye(cambio.numero, cambio.nuevas);
  cambios.confirma();
}

ResultadoPdobles ejecuta_y_aplica_pdobles(Sesion& sesion, const ToleranciasPdobles& tolerancias,
                                          Progreso& progreso) {
  ResultadoPdobles resultado = Proceso_pdobles(sesion, tolerancias, progreso);
  aplica_pdobles(sesion, resultado, progreso);
  return resultado;
}

}  // namespace telmora
