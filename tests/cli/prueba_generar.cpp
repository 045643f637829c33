#include <gtest/gtest.h>

#include <array>
#include <map>

#include "carpeta_temporal.h"
#include "ejecuta.h"
#include "sesion.h"
#include "texto.h"

using namespace telmora;
using prueba::ejecuta;

namespace {

Sesion abre(const prueba::CarpetaTemporal& carpeta) {
  return abre_sesion(ajustes_junto_a(carpeta / "hoja.bin"));
}

std::string codigo(const Hoja& hoja, const Entidad& e) {
  return limpia_texto(hoja.cabecera_de(e).codigo_bruto());
}

}  // namespace

TEST(Generar, LaMismaSemillaDaLosMismosBytesYOtraNo) {
  prueba::CarpetaTemporal a, b, c;
  ASSERT_EQ(ejecuta({"generar", a.ruta().string(), "--entidades", "3000", "--semilla", "7"}).estado,
            0);
  ASSERT_EQ(ejecuta({"generar", b.ruta().string(), "--entidades=3000", "--semilla=7"}).estado, 0);
  ASSERT_EQ(ejecuta({"generar", c.ruta().string(), "--entidades", "3000", "--semilla", "8"}).estado,
            0);
  EXPECT_EQ(a.lee("hoja.bin"), b.lee("hoja.bin"));
  EXPECT_NE(a.lee("hoja.bin"), c.lee("hoja.bin"));
  EXPECT_EQ(a.lee("Vekt.tab"), c.lee("Vekt.tab"));
}

TEST(Generar, LaHojaTieneLoQueUnaHojaDeProduccionLleva) {
  prueba::CarpetaTemporal carpeta;
  const auto r = ejecuta({"generar", carpeta.ruta().string(), "--entidades", "12345"});
  ASSERT_EQ(r.estado, 0) << r.errores;
  const Sesion s = abre(carpeta);
  const Hoja& hoja = s.hoja;
  ASSERT_EQ(hoja.num_entidades(), 12345);

  // The table has its settings line and about forty codes of 26 fields with descriptions.
  EXPECT_TRUE(s.tabla.tiene_ajustes());
  EXPECT_GE(s.tabla.num_entradas(), 38);
  for (int n = 1; n <= s.tabla.num_entradas(); ++n) {
    EXPECT_TRUE(s.tabla.fila(n).descripcion().starts_with("\""));
  }

  std::map<std::string, int> por_codigo;
  int cerrados = 0, borradas = 0, desconocidos = 0, atributos_tabla_2 = 0, textos_largos = 0;
  for (const Entidad& e : hoja.c) {
    ++por_codigo[codigo(hoja, e)];
    cerrados += clase_elemento(hoja.vertices_de(e)) == ClaseElemento::cerrado;
    borradas += !hoja.activa(e);
    desconocidos += e.posicion_tab == 0;
    for (const Atributo& a : hoja.atributos_de(e)) atributos_tabla_2 += a.id_tabla == 2;
  }
  for (const Entidad& e : hoja.t) textos_largos += hoja.cabecera_de(e).num_puntos > 2;
  EXPECT_GT(por_codigo["PSCT"], 100);
  EXPECT_GT(por_codigo["1516"], 100);
  EXPECT_GT(por_codigo["4011"] + por_codigo["4012"], 10);
  EXPECT_GT(cerrados, 1000);
  EXPECT_GE(borradas, 1);
  EXPECT_GE(desconocidos, 1);
  EXPECT_GT(atributos_tabla_2, 100);
  EXPECT_GT(hoja.t.size(), 1000u);
  EXPECT_GT(textos_largos, 10);

  // Contour lines keep one elevation; elevation points sit on street ends.
  for (const Entidad& e : hoja.c) {
    const auto v = hoja.vertices_de(e);
    if (codigo(hoja, e) == "4011") {
      for (const Vertice& p : v) EXPECT_EQ(p.z, v[0].z);
    }
  }
}

TEST(Generar, LasFaltasAPropositoEstanEnLaHoja) {
  prueba::CarpetaTemporal carpeta;
  ASSERT_EQ(ejecuta({"generar", carpeta.ruta().string(), "--entidades", "5000"}).estado, 0);
  const Hoja hoja = abre(carpeta).hoja;
  const std::string bytes = carpeta.lee("hoja.bin");
  int duplicados_exactos = 0, vertices_dobles = 0;
  for (std::int32_t n = 1; n < hoja.num_entidades(); ++n) {
    const auto inicio = static_cast<std::size_t>(hoja.fila(n).posicion);
    const auto medio = static_cast<std::size_t>(hoja.fila(n + 1).posicion);
    const auto fin = n + 2 <= hoja.num_entidades()
                         ? static_cast<std::size_t>(hoja.fila(n + 2).posicion)
                         : bytes.size();
    duplicados_exactos += bytes.compare(inicio, medio - inicio, bytes, medio, fin - medio) == 0;
  }
  for (const Entidad& e : hoja.c) {
    const auto v = hoja.vertices_de(e);
    for (std::size_t i = 0; i + 1 < v.size(); ++i) vertices_dobles += v[i] == v[i + 1];
  }
  EXPECT_GE(duplicados_exactos, 1);
  EXPECT_GE(vertices_dobles, 1);
}

TEST(Generar, ConRecintosCadaTramoDeCalleLoCompartenLasManzanasDeSusDosLados) {
  prueba::CarpetaTemporal carpeta;
  ASSERT_EQ(
      ejecuta({"generar", carpeta.ruta().string(), "--entidades", "3000", "--recintos"}).estado, 0);
  const Hoja hoja = abre(carpeta).hoja;
  ASSERT_EQ(hoja.num_entidades(), 3000);
  // Each street segment, by its ends in the direction the street runs, and how many block
  // outlines run along it one way and the other.
  using Tramo = std::array<std::int32_t, 4>;
  std::map<Tramo, std::pair<int, int>> tramos;
  for (const Entidad& e : hoja.c) {
    const std::string c = codigo(hoja, e);
    if (c != "1516" && c != "1517" && c != "1519") continue;
    const auto v = hoja.vertices_de(e);
    for (std::size_t k = 0; k + 1 < v.size(); ++k) tramos[{v[k].x, v[k].y, v[k + 1].x, v[k + 1].y}];
  }
  int recintos = 0;
  for (const Entidad& e : hoja.c) {
    if (codigo(hoja, e) != "1615") continue;
    ++recintos;
    const auto v = hoja.vertices_de(e);
    EXPECT_EQ(clase_elemento(v), ClaseElemento::cerrado);
    for (std::size_t k = 0; k + 1 < v.size(); ++k) {
      const auto igual = tramos.find({v[k].x, v[k].y, v[k + 1].x, v[k + 1].y});
      const auto contrario = tramos.find({v[k + 1].x, v[k + 1].y, v[k].x, v[k].y});
      if (igual != tramos.end()) ++igual->second.first;
      if (contrario != tramos.end()) ++contrario->second.second;
    }
  }
  EXPECT_GT(recintos, 200);
  // Inner street segments have a block on each side; the streets of the sheet's edge one.
  int dos_sentidos = 0;
  for (const auto& [tramo, sentidos] : tramos) {
    EXPECT_LE(sentidos.first, 1);
    EXPECT_LE(sentidos.second, 1);
    dos_sentidos += sentidos.first == 1 && sentidos.second == 1;
  }
  EXPECT_GT(dos_sentidos, static_cast<int>(tramos.size()) / 2);
}

TEST(Generar, ArgumentosMalos) {
  prueba::CarpetaTemporal carpeta;
  EXPECT_EQ(ejecuta({"generar", carpeta.ruta().string(), "--entidades", "mil"}).estado, 2);
  EXPECT_EQ(ejecuta({"generar", carpeta.ruta().string(), "--entidades", "0"}).estado, 2);
  EXPECT_EQ(ejecuta({"generar"}).estado, 2);
  EXPECT_FALSE(std::filesystem::exists(carpeta / "hoja.bin"));
}
