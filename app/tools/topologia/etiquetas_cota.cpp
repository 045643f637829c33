#include "topologia/etiquetas_cota.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "diario.h"
#include "fichero.h"
#include "formato_bin.h"
#include "funciones.h"
#include "texto.h"

namespace telmora {

namespace {

// A value rounded to a whole number of file units (halves to even), kept within 32 bits.
std::int32_t unidades(double valor) {
  constexpr double kMinimo = std::numeric_limits<std::int32_t>::min();
  constexpr double kMaximo = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(valor), kMinimo, kMaximo));
}

double largo_de(const Vertice& a, const Vertice& b) {
  return distancia_puntos(a.x, a.y, b.x, b.y);
}

// The line turns at vertex k: it rises to it and falls after it, or the other way round, by
// more than `cuarto` on the way in.
bool cambia_pendiente(std::span<const Vertice> v, std::size_t k, double cuarto) {
  const std::int64_t entrada = std::int64_t{v[k].z} - v[k - 1].z;
  const std::int64_t salida = std::int64_t{v[k + 1].z} - v[k].z;
  const bool gira = (entrada > 0 && salida < 0) || (entrada < 0 && salida > 0);
  return gira && static_cast<double>(std::llabs(entrada)) > cuarto;
}

}  // namespace

void pintocotastramos(const Hoja& hoja, const GrafoTopologico& grafo, int uds, double da,
                      const ReceptorCotas& receptor) {
  if (!(da > 0)) da = kDistanciaCotasDefecto;
  const double cuarto = 0.25 * uds;
  for (const Tramo& t : grafo.tramos) {
    const auto v = hoja.vertices_de(hoja.c[static_cast<std::size_t>(t.elemento - 1)]);
    double largo = 0;
    for (std::size_t k = 1; k < v.size(); ++k) largo += largo_de(v[k - 1], v[k]);
    const double partes = std::min(std::nearbyint(largo / (uds * da)), kMaxPartesPorArco);
    const double paso = partes > 0 ? largo / partes : 0;
    double siguiente = 1;  // number of the next step point; the last one is the arc's end
    double recorrido = 0;
    for (std::size_t k = 1; k < v.size(); ++k) {
      const Vertice& a = v[k - 1];
      const Vertice& b = v[k];
      const double segmento = largo_de(a, b);
      bool en_b = false;  // a step point fell on vertex b
      for (; siguiente < partes && siguiente * paso <= recorrido + segmento; ++siguiente) {
        const double f = segmento > 0 ? (siguiente * paso - recorrido) / segmento : 0;
        const double z = a.z + f * (double(b.z) - a.z);
        receptor(
            {a.x + f * (double(b.x) - a.x), a.y + f * (double(b.y) - a.y), z, texto_cota(z, uds)});
        en_b = f == 1;
      }
      recorrido += segmento;
      if (k + 1 < v.size() && !en_b && cambia_pendiente(v, k, cuarto)) {
        receptor({double(b.x), double(b.y), double(b.z), texto_cota(b.z, uds)});
      }
    }
  }
}

void pintocotasextremocalles(const GrafoTopologico& grafo, int uds, const ReceptorCotas& receptor) {
  for (const Nodo& n : grafo.nodos) {
    receptor({double(n.x), double(n.y), double(n.z), texto_cota(n.z, uds)});
  }
}

void GrabaCotasEnFicheroNuevo(std::string& salida, const EtiquetaCota& etiqueta) {
  const Vertice insercion{unidades(etiqueta.x), unidades(etiqueta.y), unidades(etiqueta.z)};
  const double ancho = double(kAlturaTextoCota) * static_cast<double>(etiqueta.texto.size());
  Rango rango;
  rango.xmin = insercion.x;
  rango.ymin = insercion.y;
  rango.zmin = rango.zmax = insercion.z;
  rango.xmax = unidades(insercion.x + ancho);
  rango.ymax = unidades(double(insercion.y) + kAlturaTextoCota);
  rango.septimo = kAlturaTextoCota;
  Cabecera cabecera;
  cabecera.tipo = kTipoTexto;
  cabecera.estado = kEstadoActivo;
  cabecera.codigo = codigo_desde_texto(kCodigoTextoCota);
  cabecera.num_puntos = 2;
  escribe_entidad(salida, cabecera, rango, {&insercion, 1}, trozo_de_texto(etiqueta.texto), {});
}

std::filesystem::path ruta_cot(const std::filesystem::path& hoja) {
  if (hoja.extension().native().size() == 4) return ruta_con_sufijo(hoja, ".COT");
  std::string nombre = ruta_texto(hoja.filename());
  nombre = nombre.size() > 3 ? nombre.substr(0, nombre.size() - 3) + "COT" : nombre + ".COT";
  const auto ruta = hoja.parent_path() / ruta_desde_texto(nombre);
  exige_salida_distinta(ruta, hoja);
  return ruta;
}

void anade_a_cot(const std::filesystem::path& ruta, std::string_view entidades) {
  if (entidades.empty()) return;
  if (existe_archivo(ruta)) {
    anade_al_final(ruta, entidades);
  } else {
    escribe_fichero_atomico(ruta, entidades);
  }
}

}  // namespace telmora
