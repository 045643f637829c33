#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <map>
#include <random>
#include <set>

#include "edicion/duplicados.h"
#include "edicion/reescritura.h"
#include "hoja_de_prueba.h"
#include "limite_tamano.h"
#include "pintor.h"
#include "superficie_imagen.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::HojaDePrueba;
using prueba::i32le;
#ifndef _WIN32
using prueba::LimiteDeTamano;
#endif
using prueba::V;

namespace {

using Lineas = std::vector<std::vector<Vertice>>;

Hoja carga(const std::filesystem::path& ruta) {
  return cargo_bin(ruta, TablaVekt{});
}

// The vertices of every entity of a file that is active.
Lineas activas(const std::filesystem::path& ruta) {
  const Hoja hoja = carga(ruta);
  Lineas lineas;
  for (std::int32_t n = 1; n <= hoja.num_entidades(); ++n) {
    const auto v = hoja.vertices_de(hoja.entidad(n));
    if (hoja.activa(n)) lineas.emplace_back(v.begin(), v.end());
  }
  return lineas;
}

std::vector<Vertice> vs(const std::vector<V>& v) {
  std::vector<Vertice> salida;
  for (const V& p : v) salida.push_back({p.x, p.y, p.z});
  return salida;
}

// The segments held by the active elements of a file, each with its lower end first.
using Segmentos = std::set<std::array<std::int32_t, 4>>;
Segmentos segmentos_activos(const std::filesystem::path& ruta) {
  Segmentos segmentos;
  for (const auto& linea : activas(ruta)) {
    for (std::size_t k = 0; k + 1 < linea.size(); ++k) {
      std::array<std::int32_t, 4> s{linea[k].x, linea[k].y, linea[k + 1].x, linea[k + 1].y};
      if (std::pair(s[2], s[3]) < std::pair(s[0], s[1])) s = {s[2], s[3], s[0], s[1]};
      segmentos.insert(s);
    }
  }
  return segmentos;
}

}  // namespace

TEST(Reescritura, NombresDeSalida) {
  EXPECT_EQ(ruta_con_sufijo("/d/H.2.BIN", "_c.bin"), std::filesystem::path("/d/H.2_c.bin"));
  EXPECT_EQ(ruta_con_sufijo("/d/hoja", "_f.bin"), std::filesystem::path("/d/hoja_f.bin"));
  // A name that is the sheet's own, however the path spells it, is refused.
  prueba::CarpetaTemporal carpeta;
  const auto hoja = carpeta.escribe("hoja.txt", "");
  EXPECT_THROW(ruta_con_sufijo(hoja, ".txt"), ErrorTelmora);
  EXPECT_THROW(ruta_con_sufijo(carpeta / "." / "hoja.txt", ".txt"), ErrorTelmora);
  EXPECT_EQ(ruta_con_sufijo(hoja, "_c.bin"), carpeta / "hoja_c.bin");
}

TEST(Reescritura, ComprimirCopiaLasActivasCambiandoSoloElRellenoDelCodigo) {
  ConstructorBin b;
  b.c("  12   ", {{100, 200, 3}, {300, 400, 5}}, {{2, 200, "R1"}});
  b.c("100", {{1, 1, 1}}, {}, '\0');
  b.t("TXT", {150, 250, 4}, "VEINTICUATRO CARACTERES", 250, 4, 9000);  // two pieces
  HojaDePrueba hoja(b.contenido());
  const auto destino = comprimir(hoja.bin);
  std::string esperado = b.contenido();
  esperado.erase(b.inicios()[1], b.inicios()[2] - b.inicios()[1]);
  esperado.replace(2, 7, std::string("12\0\0\0\0\0", 7));
  EXPECT_EQ(prueba::lee_bytes(destino), esperado);
  EXPECT_EQ(hoja.bytes(), b.contenido());

  ConstructorBin borradas;
  borradas.c("100", {{1, 1, 1}}, {}, '\0').c("100", {{1, 1, 1}}, {}, '*');
  EXPECT_EQ(prueba::lee_bytes(comprimir(HojaDePrueba(borradas.contenido()).bin)), "");
}

TEST(Reescritura, UnaSalidaQueNoSePuedeCrearSeDiceYNoTocaNada) {
  ConstructorBin b;
  b.c("100", {{1, 1, 1}});
  HojaDePrueba hoja(b.contenido());
  std::filesystem::create_directory(hoja.carpeta / "hoja_c.bin");  // in the output's way
  try {
    comprimir(hoja.bin);
    FAIL() << "a failed write was reported as done";
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find("hoja_c.bin"), std::string::npos) << error.what();
  }
  EXPECT_EQ(hoja.bytes(), b.contenido());
  // Nothing left behind but the sheet, its tables and the folder that was in the way.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(hoja.carpeta.ruta()), {}), 4);
  EXPECT_THROW(comprimir(HojaDePrueba(b.contenido() + "X=").bin), ErrorCorrupcion);
}

TEST(Reescritura, CadaTextoNuevoAnade72BytesEnterosONada) {
  ConstructorBin b;
  b.c("100", {{1, 1, 1}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  NuevaEntidadTexto(sesion, 440000.125, 4470000.25);
  NuevaEntidadTexto(sesion, 440001, 4470002);
  ConstructorBin texto;
  texto.cabecera('T', '=', "NuevoT", 0, 2);
  for (const std::int32_t valor : {44000012, 447000025, 0, 44000062, 447000075, 0, 20, 6, 1957})
    texto.bytes(i32le(valor));
  texto.bytes(i32le(44000012) + i32le(447000025) + i32le(0) + "Jd          ");
  const std::string bytes = hoja.bytes();
  ASSERT_EQ(bytes.size(), b.contenido().size() + 144);
  EXPECT_EQ(bytes.substr(b.contenido().size(), 72), texto.contenido());
  const Hoja recargada = carga(hoja.bin);
  EXPECT_EQ(recargada.texto(recargada.entidad(3)), "Jd");
#ifndef _WIN32
  {
    LimiteDeTamano limite(bytes.size() + 30);
    EXPECT_THROW(NuevaEntidadTexto(sesion, 10, 10), ErrorTelmora);
  }
  EXPECT_EQ(hoja.bytes(), bytes);
#endif
}

TEST(Reescritura, ReglasDe5099Y5108ParaElegirElElementoCortado) {
  // Two lines that share their middle segment: the one cut is deleted and its two pieces follow.
  const std::vector<V> primera{{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {0, 2000, 0}};
  const std::vector<V> segunda{{3000, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {3000, 2000, 0}};
  const struct {
    const char *codigo1, *codigo2;
    bool corta_la_primera;
  } casos[] = {{"5099", "1203", false}, {"1203", "5099", true}, {"5108", "1203", false},
               {"5108", "5099", true},  {"1203", "100", true},  {"100", "100", true}};
  for (const auto& caso : casos) {
    ConstructorBin b;
    b.c(caso.codigo1, primera, {{1, 7, "A"}}).c(caso.codigo2, segunda);
    HojaDePrueba hoja(b.contenido());
    Sesion sesion = hoja.abre();
    EXPECT_EQ(marca_borrados(sesion, Duplicados(sesion, {})), 2);
    const auto& cortada = caso.corta_la_primera ? primera : segunda;
    const auto& entera = caso.corta_la_primera ? segunda : primera;
    EXPECT_EQ(activas(hoja.bin),
              (Lineas{vs(entera), vs({cortada[0], cortada[1]}), vs({cortada[2], cortada[3]})}))
        << caso.codigo1 << " " << caso.codigo2;
    const Hoja recargada = carga(hoja.bin);
    EXPECT_EQ(recargada.atributos_de(recargada.entidad(4)).size(), caso.corta_la_primera ? 1u : 0u);
    EXPECT_EQ(recargada.rango_de(recargada.entidad(4)).ymax, 2000);
  }
}

TEST(Reescritura, UnSegmentoCompartidoNoSeQuitaDeSusDosElementos) {
  // The middle line is matched by both others: by its first segment with the first line and by
  // its third with the second line. Whatever the codes choose, every segment stays held.
  const std::vector<V> primera{{50000, 0, 0}, {51000, 0, 0}, {51000, 3000, 0}};
  const std::vector<V> segunda{{49000, 2000, 0}, {52000, 2000, 0}, {52000, 2500, 0}};
  const std::vector<V> tercera{{51000, 0, 0}, {50000, 0, 0}, {49000, 2000, 0}, {52000, 2000, 0}};
  const char* codigos[] = {"100", "5099", "5108"};
  for (const char* c1 : codigos) {
    for (const char* c2 : codigos) {
      for (const char* c3 : codigos) {
        ConstructorBin b;
        b.c(c1, primera).c(c2, segunda).c(c3, tercera);
        HojaDePrueba hoja(b.contenido());
        const Segmentos antes = segmentos_activos(hoja.bin);
        Sesion sesion = hoja.abre();
        EXPECT_GT(marca_borrados(sesion, Duplicados(sesion, {})), 0);
        EXPECT_EQ(segmentos_activos(hoja.bin), antes) << c1 << " " << c2 << " " << c3;
        // Each shared segment is held once now: 2 + 2 + 3 segments less the two repeats.
        std::size_t tramos = 0;
        for (const auto& linea : activas(hoja.bin)) tramos += linea.size() - 1;
        EXPECT_EQ(tramos, 5u) << c1 << " " << c2 << " " << c3;
      }
    }
  }
  // The case that lost a segment: the first line is cut by the code rule of its pair, the
  // middle one only where the second line keeps the segment.
  ConstructorBin b;
  b.c("100", primera).c("5099", segunda).c("100", tercera);
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  marca_borrados(sesion, Duplicados(sesion, {}));
  EXPECT_EQ(activas(hoja.bin), (Lineas{vs(segunda), vs({primera[1], primera[2]}),
                                       vs({tercera[0], tercera[1], tercera[2]})}));
}

TEST(Reescritura, ProcesarDuplicadosConservaLosSegmentosDeHojasAleatorias) {
  // Lines along a 10 m lattice, far beyond the tolerance, many made of the segments of earlier
  // ones (whole copies, reversed, shortened or lengthened), all at positive coordinates (where
  // the range block holds the true bounds). Two lines with the same bounds are always copies,
  // so every whole repeat found is a true one.
  int piezas = 0;
  for (std::uint64_t semilla = 1; semilla <= 60; ++semilla) {
    std::mt19937_64 azar(semilla);
    auto entero = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
    const char* codigos[] = {"100", "200", "5099", "5108"};
    std::vector<std::vector<V>> lineas;
    std::map<std::array<std::int32_t, 4>, std::set<std::array<std::int32_t, 4>>> por_limites;
    ConstructorBin b;
    for (int intentos = 0; lineas.size() < 25 && intentos < 400; ++intentos) {
      std::vector<V> v;
      if (!lineas.empty() && entero(0, 2) > 0) {
        v = lineas[static_cast<std::size_t>(entero(0, int(lineas.size()) - 1))];
        if (entero(0, 1)) std::reverse(v.begin(), v.end());
        if (v.size() > 2 && entero(0, 1))
          v.erase(v.begin(), v.begin() + entero(1, int(v.size()) - 2));
      } else {
        v = {{100000 + 1000 * entero(0, 5), 100000 + 1000 * entero(0, 5), 0}};
      }
      for (int extra = entero(v.size() > 1 ? 0 : 1, 2); extra > 0; --extra)
        v.push_back({v.back().x + 1000 * entero(-1, 1), v.back().y + 1000 * entero(-1, 1), 0});
      std::array<std::int32_t, 4> limites{v[0].x, v[0].y, v[0].x, v[0].y};
      std::set<std::array<std::int32_t, 4>> propios;
      for (std::size_t k = 0; k < v.size(); ++k) {
        limites = {std::min(limites[0], v[k].x), std::min(limites[1], v[k].y),
                   std::max(limites[2], v[k].x), std::max(limites[3], v[k].y)};
        if (k == 0) continue;
        std::array<std::int32_t, 4> s{v[k - 1].x, v[k - 1].y, v[k].x, v[k].y};
        if (std::pair(s[2], s[3]) < std::pair(s[0], s[1])) s = {s[2], s[3], s[0], s[1]};
        propios.insert(s);
      }
      const auto previa = por_limites.find(limites);
      if (previa != por_limites.end() && previa->second != propios) continue;
      por_limites[limites] = propios;
      lineas.push_back(v);
      b.c(codigos[entero(0, 3)], v);
    }
    HojaDePrueba hoja(b.contenido());
    const Segmentos antes = segmentos_activos(hoja.bin);
    Sesion sesion = hoja.abre();
    piezas += marca_borrados(sesion, Duplicados(sesion, {}));
    ASSERT_EQ(segmentos_activos(hoja.bin), antes) << "semilla " << semilla;
  }
  EXPECT_GT(piezas, 100);
}

TEST(Reescritura, UnElementoNoSeCortaDosVecesNiSeQuedaAMedias) {
  ConstructorBin b;
  b.c("5099", {{50000, 0, 0}, {51000, 0, 0}, {51000, 3000, 0}});
  b.c("5099", {{49000, 2000, 0}, {52000, 2000, 0}, {52000, 2500, 0}});
  // Matched by both lines above (its segments 1 and 3) and cut for each by the 5099 rule; the
  // single vertices left at its ends are no pieces.
  b.c("1203", {{51000, 0, 0}, {50000, 0, 0}, {49000, 2000, 0}, {52000, 2000, 0}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const ResultadoDuplicados duplicados = Duplicados(sesion, {});
#ifndef _WIN32
  {
    LimiteDeTamano limite(b.contenido().size() + 40);
    EXPECT_THROW(marca_borrados(sesion, duplicados), ErrorTelmora);
  }
  EXPECT_EQ(hoja.bytes(), b.contenido());
  EXPECT_TRUE(sesion.hoja.activa(3));
#endif
  EXPECT_EQ(marca_borrados(sesion, duplicados), 1);
  EXPECT_EQ(activas(hoja.bin).back(), vs({{50000, 0, 0}, {49000, 2000, 0}}));
  EXPECT_EQ(activas(hoja.bin).size(), 3u);
}

TEST(Reescritura, GrabaNuevoBinSinBorradasNiCopiasYConLoAnadido) {
  const std::vector<V> linea{{100, 100, 1}, {900, 900, 2}};
  const std::vector<V> l1{{0, 5000, 0}, {1000, 5000, 0}, {1000, 6000, 0}, {0, 7000, 0}};
  const std::vector<V> l2{{3000, 5000, 0}, {1000, 5000, 0}, {1000, 6000, 0}, {3000, 7000, 0}};
  ConstructorBin b;
  b.c("300", {{7, 7, 7}}, {}, '\0');
  b.c("100", linea).c("  100  ", linea);  // the first repeats the second
  b.c("200", l1).c("200", l2);            // share a segment
  b.t("TXT", {50, 60, 0}, "UN TEXTO");
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const ResultadoDuplicados duplicados = Duplicados(sesion, {});
  NuevaEntidadTexto(sesion, 1, 2);  // in the file only, after the loaded entities

  const auto destino = graba_nuevo_bin(sesion, duplicados);
  EXPECT_EQ(destino, hoja.carpeta / "hoja_d.bin");
  const std::vector<Vertice> texto{{50, 60, 0}}, nuevo{{100, 200, 0}};
  EXPECT_EQ(activas(destino), (Lineas{vs(linea), vs(l1), vs(l2), texto, nuevo}));
  const Hoja escrita = carga(destino);
  EXPECT_EQ(escrita.cabecera_de(escrita.entidad(1)).codigo_bruto(),
            std::string_view("100\0\0\0\0", 7));
  EXPECT_EQ(escrita.num_entidades(), 5);

  // Once processed, the first line of the pair is cut and its pieces come after the new text.
  marca_borrados(sesion, duplicados);
  EXPECT_EQ(activas(graba_nuevo_bin(sesion, duplicados)),
            (Lineas{vs(linea), vs(l2), texto, nuevo, vs({l1[0], l1[1]}), vs({l1[2], l1[3]})}));
}

TEST(Reescritura, BorrarLoQueSeDibujoEnLaVentana) {
  ConstructorBin b;
  b.c("100", {{1000, 1000, 0}, {2000, 2000, 0}});      // in the view
  b.c("100", {{90000, 90000, 0}, {95000, 95000, 0}});  // outside it
  b.c("200", {{1500, 1500, 0}, {1800, 1200, 0}});      // in the view
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  Vista vista;
  vista.xmin = 0, vista.ymin = 0, vista.xmax = 100, vista.ymax = 100, vista.factor = 2;
  SuperficieImagen superficie(200, 200);
  const ResultadoDibujo dibujo = Pintor(sesion).leo_bin_pinto(superficie, vista, Visualizacion{});
  EXPECT_EQ(borra_entidades_en_ventana(sesion, EntidadesDibujadas(sesion.hoja, dibujo.dibujadas)),
            2);
  EXPECT_EQ(activas(hoja.bin), (Lineas{vs({{90000, 90000, 0}, {95000, 95000, 0}})}));
  EXPECT_EQ(sesion.hoja.fila(3).activo, 0);
  EXPECT_EQ(hoja.bytes().size(), b.contenido().size());
}
