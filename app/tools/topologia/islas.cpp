#include "topologia/islas.h"

#include <algorithm>
#include <unordered_set>

#include "funciones.h"
#include "texto.h"
#include "topologia/geometria_exacta.h"

namespace telmora {

namespace {

Caja caja_de(const Rango& r) {
  return {r.xmin, r.ymin, r.xmax, r.ymax};
}

// The closed polygons of one kind (envelopes or faces), ascending, and a grid over their boxes.
struct PorClase {
  std::vector<std::int32_t> numeros;
  RejillaCajas rejilla;

  PorClase(const TablaPoligonos& tabla, bool sentido) {
    std::vector<Caja> cajas;
    for (const ResumenPoligono& r : tabla.resumen) {
      if (r.sentido != sentido) continue;
      numeros.push_back(r.NumPol);
      cajas.push_back(caja_de(tabla.recinto(r.NumPol).rango));
    }
    rejilla = RejillaCajas(cajas);
  }
};

bool dentro(const TablaPoligonos& tabla, std::int32_t cerrado, std::int32_t x, std::int32_t y) {
  return punto_en_rango(x, y, tabla.recinto(cerrado).rango) &&
         punto_en_anillo(x, y, tabla.vertices_de(cerrado));
}

// The vertex that stands for a ring in the island test: its lowest, the leftmost of the lowest,
// wherever the ring starts.
const Vertice& representante(std::span<const Vertice> anillo) {
  return *std::min_element(anillo.begin(), anillo.end(), [](const Vertice& a, const Vertice& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
}

}  // namespace

void BuscoIslas(const TablaPoligonos& tabla, IslasTopologia& islas) {
  islas.islas.clear();
  const PorClase envolventes(tabla, true);
  std::vector<std::int32_t> candidatas;
  for (const ResumenPoligono& cara : tabla.resumen) {
    if (cara.sentido) continue;
    const Rango& i = tabla.recinto(cara.NumPol).rango;
    envolventes.rejilla.candidatas(i.xmin, i.ymin, i.xmax, i.ymax, candidatas);
    for (const std::int32_t lugar : candidatas) {
      const std::int32_t envolvente = envolventes.numeros[std::size_t(lugar)];
      const Rango& j = tabla.recinto(envolvente).rango;
      if (!(j.xmax < i.xmax && j.ymax < i.ymax && j.xmin > i.xmin && j.ymin > i.ymin)) continue;
      const Vertice& punto = representante(tabla.vertices_de(envolvente));
      if (!punto_en_anillo(punto.x, punto.y, tabla.vertices_de(cara.NumPol))) continue;
      islas.islas.push_back({cara.NumPol, envolvente, 0, {}});
    }
  }
}

void PoligonosComponentesIslas(const GrafoTopologico& grafo, const TablaPoligonos& tabla,
                               IslasTopologia& islas) {
  islas.componentes.clear();
  std::unordered_set<std::uint64_t> vistos;
  std::vector<std::int32_t> cuenta(tabla.resumen.size() + 1, 0);
  std::vector<std::vector<std::size_t>> entradas_de(tabla.resumen.size() + 1);
  for (std::size_t k = 0; k < islas.islas.size(); ++k) {
    islas.islas[k].componentes.clear();
    islas.islas[k].num_componentes = 0;
    entradas_de[std::size_t(islas.islas[k].Pol_Interno)].push_back(k);
  }
  auto anade = [&](std::int32_t e, std::int32_t p) {
    const std::uint64_t par = std::uint64_t(std::uint32_t(e)) << 32 | std::uint32_t(p);
    if (!vistos.insert(par).second) return;
    islas.componentes.push_back({e, p});
    ++cuenta[std::size_t(e)];
    for (const std::size_t k : entradas_de[std::size_t(e)]) {
      islas.islas[k].componentes.push_back(p);
      islas.islas[k].num_componentes = cuenta[std::size_t(e)];
    }
  };
  for (std::size_t k = 0; k < islas.islas.size(); ++k) {
    const std::int32_t e = islas.islas[k].Pol_Interno;
    for (const ArcoDePoligono& a : tabla.arcos_de(tabla.poligono_de(e))) {
      // The polygons walking the arc are those named in its P1 and P2, in polygon order.
      const Tramo& t = grafo.tramo(a.tramo);
      std::int32_t cerrados[2] = {0, 0};
      for (int lado = 0; lado < 2; ++lado) {
        const std::int32_t p = lado == 0 ? t.P1 : t.P2;
        if (p > 0) cerrados[lado] = tabla.poligono(p).numero_cerrado;
      }
      if (cerrados[0] > cerrados[1]) std::swap(cerrados[0], cerrados[1]);
      for (const std::int32_t p : cerrados) {
        if (p > 0 && p != e) anade(e, p);
      }
    }
  }
}

void ChequeoCentroidesPoligonos(const IslasTopologia& islas, TablaPoligonos& tabla,
                                GrafoTopologico& grafo) {
  std::vector<std::vector<std::int32_t>> islas_de(tabla.resumen.size() + 1);
  for (const Isla& i : islas.islas) islas_de[std::size_t(i.Pol_Externo)].push_back(i.Pol_Interno);
  const PorClase caras(tabla, false);
  std::vector<std::int32_t> candidatas, propias;
  for (std::size_t q = 0; q < grafo.textos.size(); ++q) {
    TextoTopologia& texto = grafo.textos[q];
    caras.rejilla.candidatas(texto.x, texto.y, texto.x, texto.y, candidatas);
    propias.clear();
    for (const std::int32_t lugar : candidatas) {
      const std::int32_t cara = caras.numeros[std::size_t(lugar)];
      if (!dentro(tabla, cara, texto.x, texto.y)) continue;
      const auto& suyas = islas_de[std::size_t(cara)];
      const bool en_isla = std::any_of(suyas.begin(), suyas.end(), [&](std::int32_t envolvente) {
        return dentro(tabla, envolvente, texto.x, texto.y);
      });
      if (!en_isla) propias.push_back(cara);
    }
    texto.centroide = propias.empty() ? 0 : (propias.size() == 1 ? propias[0] : kVariosPoligonos);
    for (const std::int32_t cara : propias) {
      std::int32_t& puntero = tabla.resumen_de(cara).Puntero_Sup;
      puntero = puntero == 0 ? std::int32_t(q + 1) : kVariosPoligonos;
    }
  }
}

LocalizadorPoligonos::LocalizadorPoligonos(const TablaPoligonos& tabla) {
  PorClase caras(tabla, false);
  caras_ = std::move(caras.numeros);
  rejilla_ = std::move(caras.rejilla);
}

std::int32_t LocalizadorPoligonos::LocalizaPol(const TablaPoligonos& tabla, std::int32_t x,
                                               std::int32_t y) const {
  std::vector<std::int32_t> candidatas;
  rejilla_.candidatas(x, y, x, y, candidatas);
  std::int32_t encontrada = 0;
  for (const std::int32_t lugar : candidatas) {
    const std::int32_t cara = caras_[std::size_t(lugar)];
    if (!dentro(tabla, cara, x, y)) continue;
    if (encontrada == 0 || tabla.resumen_de(cara).Sup < tabla.resumen_de(encontrada).Sup) {
      encontrada = cara;
    }
  }
  return encontrada;
}

std::vector<std::string> imprimeIslas(const IslasTopologia& islas) {
  std::vector<std::string> lineas{"*************Islas*************", "     Pol_ExternoPol_Interno"};
  for (std::size_t k = 0; k < islas.islas.size(); ++k) {
    const Isla& i = islas.islas[k];
    lineas.push_back(LineaListado() << k + 1 << i.Pol_Externo << i.Pol_Interno);
  }
  return lineas;
}

std::vector<std::string> imprimeComponentesIslas(const IslasTopologia& islas) {
  std::vector<std::string> lineas{"******Poligonos componentes de Isla**********",
                                  "EnvolventeComponentes"};
  for (const ComponenteIsla& c : islas.componentes) {
    lineas.push_back(LineaListado() << c.Envolvente << c.componente);
  }
  return lineas;
}

std::vector<std::string> imprimeAdyacencia(const Hoja& hoja, const GrafoTopologico& grafo,
                                           const TablaPoligonos& tabla) {
  // A polygon is named by the first piece of its centroid text; "No" when it has none (or is
  // open, or is no polygon), "+Pol" when it holds several.
  auto etiqueta = [&](std::int32_t poligono) -> std::string {
    if (poligono <= 0 || tabla.poligono(poligono).numero_cerrado == 0) return "No";
    const std::int32_t puntero =
        tabla.resumen_de(tabla.poligono(poligono).numero_cerrado).Puntero_Sup;
    if (puntero == 0) return "No";
    if (puntero < 0) return "+Pol";
    const Entidad& texto = hoja.t[std::size_t(grafo.textos[std::size_t(puntero - 1)].posicion - 1)];
    return cp1252_a_utf8(limpia_texto(hoja.bytes_texto(texto).substr(0, kTamTrozoTexto)));
  };
  std::vector<std::string> lineas;
  for (std::int32_t p = 1; p <= tabla.num_poligonos(); ++p) {
    const Poligono& poligono = tabla.poligono(p);
    if (poligono.numero_cerrado <= 0) continue;
    lineas.push_back(LineaListado() << "*" << p << "1" << poligono.num_tramos << etiqueta(p)
                                    << tabla.resumen_de(poligono.numero_cerrado).Sup);
    for (const std::int32_t vecino : tabla.adyacencia_de(p)) {
      lineas.push_back(LineaListado() << vecino << etiqueta(vecino));
    }
  }
  return lineas;
}

}  // namespace telmora
