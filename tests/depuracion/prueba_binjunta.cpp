#include <gtest/gtest.h>

#include <csignal>

#if defined(__unix__)
#include <sys/resource.h>
#endif

#include "depuracion/tramificacion.h"
#include "formato_bin.h"
#include "hoja_depuracion.h"
#include "texto.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::HojaDepuracion;
using prueba::linea;
using prueba::Linea;
using prueba::lineas_activas;

// Two dangling ends 3 units apart with T = 5: the first (in node order) moves onto the second,
// both nodes end with valence 2 and the moved vertex is rewritten in place with a range that
// holds it. Two ends exactly T apart on one axis stay where they are.
TEST(Binjunta, ExtremosColgantesCercanosSeUnenYLosQueDistanTNo) {
  ConstructorBin b;
  linea(b, {{1000, 1000}, {1100, 1000}}, 7);  // nodes 1, 2
  linea(b, {{1103, 1000}, {1200, 1050}}, 9);  // nodes 3, 4
  linea(b, {{3000, 3000}, {3100, 3000}});     // ends 5 apart on x
  linea(b, {{3105, 3000}, {3200, 3050}});
  HojaDepuracion h(b, 5);
  const auto longitud = h.bytes().size();

  RedBinjunta red(h.sesion.hoja, h.dibujadas, 5);
  BuscaNodoProximo(red);
  EXPECT_EQ(red.nodos_movidos, 1);
  EXPECT_EQ(red.grafo.nodo(2).x, 1103);
  EXPECT_EQ(red.grafo.nodo(2).valencia, 2);
  EXPECT_EQ(red.grafo.nodo(3).valencia, 2);

  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :1", "Elementos partidos :0"}));
  EXPECT_EQ(h.bytes().size(), longitud);  // changed in place
  const Hoja hoja = h.recargada();
  EXPECT_EQ(lineas_activas(hoja), (std::vector<Linea>{{{1000, 1000}, {1103, 1000}},
                                                      {{1103, 1000}, {1200, 1050}},
                                                      {{3000, 3000}, {3100, 3000}},
                                                      {{3105, 3000}, {3200, 3050}}}));
  EXPECT_EQ(hoja.vertices_de(hoja.c[0])[1].z, 7);  // only x and y move
  EXPECT_EQ(hoja.rango_de(hoja.c[0]).xmax, 1103);
  // The loaded sheet took the same change, and its index row too.
  EXPECT_EQ(h.sesion.hoja.vertices_de(h.sesion.hoja.c[0])[1].x, 1103);
  EXPECT_EQ(h.sesion.hoja.fila(1).xmax, 1103);
  // The node listing is of the graph as built, before any move.
  const std::string nodos = h.carpeta.lee("Nodos.txt");
  EXPECT_EQ(nodos.substr(0, nodos.find("*********TRAMOS")),
            "*********NODOS*********\n"
            " 1  1000  1000  7  1  0 \n"
            " 2  1100  1000  7  1  0 \n"
            " 3  1103  1000  9  1  0 \n"
            " 4  1200  1050  9  1  0 \n"
            " 5  3000  3000  0  1  0 \n"
            " 6  3100  3000  0  1  0 \n"
            " 7  3105  3000  0  1  0 \n"
            " 8  3200  3050  0  1  0 \n");
}

// A dangling end heading for a segment moves to where its extended arc crosses it (kind 2); one
// running parallel to the segment moves to the foot of the perpendicular (kind 3). The segment
// takes both cuts, ordered by their distance from its first vertex, and becomes three pieces.
TEST(Binjunta, EngancheAlCruceDelArcoProlongadoOAlPieDeLaPerpendicular) {
  ConstructorBin b;
  linea(b, {{1000, 1000}, {1200, 1000}});             // the segment
  linea(b, {{1140, 950}, {1150, 997}});               // heading for it
  linea(b, {{1000, 800}, {1060, 997}, {1100, 997}});  // ends parallel to it
  HojaDepuracion h(b, 5);

  RedBinjunta red(h.sesion.hoja, h.dibujadas, 5);
  const std::int32_t hacia = red.grafo.busca_nodo(1150, 997);
  const std::int32_t paralelo = red.grafo.busca_nodo(1100, 997);
  const Enganche cruce = red.ChequeaCortes(1, hacia, red.ConNodoObtenerElemento(hacia));
  EXPECT_EQ(cruce.tipoMov, kACruceDeArco);
  EXPECT_EQ(cruce.vertice_elemento, 1);
  EXPECT_NEAR(cruce.xc, 1140 + 15 * 50.0 / 52, 1e-6);
  EXPECT_NEAR(cruce.yc, 1000, 1e-6);
  const Enganche pie = red.ChequeaCortes(1, paralelo, red.ConNodoObtenerElemento(paralelo));
  EXPECT_EQ(pie.tipoMov, kAPie);
  EXPECT_EQ((std::pair{pie.xc, pie.yc}), (std::pair{1100.0, 1000.0}));
  EXPECT_EQ(pie.distanc, 100);

  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :2", "Elementos partidos :1"}));
  EXPECT_EQ(h.carpeta.lee("entidadesP.txt"), std::string(77, '-') +
                                                 "\n 1  0  2 \n"
                                                 " 1  1154  1000  0  154 \n"
                                                 " 1  1100  1000  0  100 \n");
  EXPECT_EQ(lineas_activas(h.recargada()),
            (std::vector<Linea>{{{1140, 950}, {1154, 1000}},
                                {{1000, 800}, {1060, 997}, {1100, 1000}},
                                {{1000, 1000}, {1100, 1000}},
                                {{1100, 1000}, {1154, 1000}},
                                {{1154, 1000}, {1200, 1000}}}));
}

// A dangling end that lands on an interior vertex of another line (a T-junction) splits that
// line there, without a new point; a dangling end that lands on another line's end cuts nothing.
TEST(Binjunta, UnaTSobreUnVerticeParteLaLineaYUnExtremoNo) {
  ConstructorBin b;
  linea(b, {{1000, 1000}, {1050, 1000}, {1100, 1000}});
  linea(b, {{1050, 1002}, {1050, 1080}});
  linea(b, {{2000, 2000}, {2000, 2100}, {2100, 2100}, {2000, 2000}});  // closed: no node
  linea(b, {{2002, 1999}, {1900, 1900}});
  HojaDepuracion h(b, 5);
  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :2", "Elementos partidos :1"}));
  EXPECT_EQ(h.carpeta.lee("entidadesP.txt"), std::string(77, '-') +
                                                 "\n 1  0  1 \n"
                                                 " 2  1050  1000  0  0 \n" +
                                                 std::string(77, '-') + "\n 3  156  1 \n" +
                                                 " 0  2000  2000  0  0 \n");
  EXPECT_EQ(lineas_activas(h.recargada()),
            (std::vector<Linea>{{{1050, 1000}, {1050, 1080}},
                                {{2000, 2000}, {2000, 2100}, {2100, 2100}, {2000, 2000}},
                                {{2000, 2000}, {1900, 1900}},
                                {{1000, 1000}, {1050, 1000}},
                                {{1050, 1000}, {1100, 1000}}}));
}

// A snap that makes the moved end coincide with the next vertex of its line: the line loses
// that vertex and is written anew (the old record deleted). A short stub whose ends snap together
// loses a vertex the same way: it is written anew as one vertex with its attributes, so nothing
// disappears from the sheet.
TEST(Binjunta, UnaLineaPierdeSuVerticeDobladoYUnMunonQuedaEnUnVertice) {
  ConstructorBin b;
  linea(b, {{1500, 1500}, {1010, 1000}, {1012, 1001}});
  linea(b, {{1010, 1000}, {1010, 920}});
  b.c("100", {{3000, 3000, 4}, {3002, 3000, 6}}, {{1, 77, "EDIF"}});
  HojaDepuracion h(b, 5);
  const std::string antes = h.bytes();
  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :2", "Elementos partidos :0"}));
  const Hoja hoja = h.recargada();
  ASSERT_EQ(hoja.c.size(), 5u);
  EXPECT_FALSE(hoja.activa(hoja.c[0]));
  EXPECT_FALSE(hoja.activa(hoja.c[2]));
  EXPECT_EQ(lineas_activas(hoja),
            (std::vector<Linea>{
                {{1010, 1000}, {1010, 920}}, {{1500, 1500}, {1010, 1000}}, {{3002, 3000}}}));
  const Rango& r = hoja.rango_de(hoja.c[3]);
  EXPECT_EQ((std::array{r.xmin, r.ymin, r.xmax, r.ymax, r.septimo, r.octavo, r.noveno}),
            (std::array{1010, 1000, 1500, 1500, 20, 6, 1957}));
  const Entidad& munon = hoja.c[4];
  EXPECT_EQ(hoja.vertices_de(munon)[0], (Vertice{3002, 3000, 6}));
  ASSERT_EQ(hoja.atributos_de(munon).size(), 1u);
  EXPECT_EQ(hoja.atributos_de(munon)[0].n_registro, 77);
  // Only the old records' state bytes changed; the new records keep the old headers' codes.
  std::string esperado = antes;
  esperado[1] = esperado[157] = '\0';
  const std::string despues = h.bytes();
  ASSERT_EQ(despues.size(), antes.size() + 72 + 72);
  EXPECT_EQ(despues.substr(0, antes.size()), esperado);
  EXPECT_EQ(despues.substr(antes.size(), 9), antes.substr(0, 9));
}

// Two lines crossing in their middles become four pieces sharing the crossing point; two lines
// meeting only at a shared end are not cut; a crossing within T of an interior vertex cuts that
// line at the vertex and the other one at the crossing.
TEST(Binjunta, LineasQueSeCruzanSePartenEnElCruce) {
  ConstructorBin b;
  b.c("100", {{1000, 1000, 0}, {1100, 1100, 60}});
  b.c("200", {{1000, 1100, 0}, {1100, 1000, 40}}, {{1, 77, "VIAL"}});
  linea(b, {{2000, 2000}, {2100, 2000}});
  linea(b, {{2100, 2000}, {2100, 2100}});
  linea(b, {{3000, 3000}, {3050, 3047}, {3100, 3100}});
  linea(b, {{3000, 3100}, {3100, 3000}});
  HojaDepuracion h(b, 5);
  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :0", "Elementos partidos :4"}));
  const std::string guiones = std::string(77, '-') + "\n";
  EXPECT_EQ(h.carpeta.lee("entidadesP.txt"), guiones + " 1  0  1 \n 1  1050  1050  30  71 \n" +
                                                 guiones + " 2  72  1 \n 1  1050  1050  20  71 \n" +
                                                 guiones + " 5  300  1 \n 2  3050  3047  0  0 \n" +
                                                 guiones + " 6  384  1 \n 1  3051  3049  0  73 \n");
  const Hoja hoja = h.recargada();
  EXPECT_EQ(lineas_activas(hoja), (std::vector<Linea>{{{2000, 2000}, {2100, 2000}},
                                                      {{2100, 2000}, {2100, 2100}},
                                                      {{1000, 1000}, {1050, 1050}},
                                                      {{1050, 1050}, {1100, 1100}},
                                                      {{1000, 1100}, {1050, 1050}},
                                                      {{1050, 1050}, {1100, 1000}},
                                                      {{3000, 3000}, {3050, 3047}},
                                                      {{3050, 3047}, {3100, 3100}},
                                                      {{3000, 3100}, {3051, 3049}},
                                                      {{3051, 3049}, {3100, 3000}}}));
  // Pieces keep the cut element's code and attributes; the crossing's elevation is interpolated.
  const Entidad& pieza = hoja.c[8];
  EXPECT_EQ(limpia_texto(hoja.cabecera_de(pieza).codigo_bruto()), "200");
  ASSERT_EQ(hoja.atributos_de(pieza).size(), 1u);
  EXPECT_EQ(hoja.atributos_de(pieza)[0].n_registro, 77);
  EXPECT_EQ(hoja.vertices_de(pieza)[1].z, 20);
  // The loaded sheet no longer holds the split lines; its grid agrees with a full scan.
  EXPECT_EQ(h.sesion.hoja.fila(1).activo, 0);
  for (const auto& v : {std::array{900, 900, 1200, 1200}, std::array{2050, 1950, 3050, 3050}}) {
    auto solapa = [&](std::int32_t n) {
      const FilaIndice& f = h.sesion.hoja.fila(n);
      return f.xmax >= v[0] && f.xmin <= v[2] && f.ymax >= v[1] && f.ymin <= v[3];
    };
    std::vector<std::int32_t> esperadas;
    for (std::int32_t n = 1; n <= h.sesion.hoja.num_entidades(); ++n) {
      if (solapa(n)) esperadas.push_back(n);
    }
    auto candidatas = h.sesion.indice_espacial.candidatas(v[0], v[1], v[2], v[3]);
    std::erase_if(candidatas, [&](std::int32_t n) { return !solapa(n); });
    EXPECT_EQ(candidatas, esperadas);
  }
}

// A crossing less than T from both ends of a segment is taken on the segment's first vertex,
// even when the other end is nearer; the other line is cut at the crossing itself.
TEST(Binjunta, UnCruceCercaDeAmbosExtremosSeTomaEnElPrimero) {
  ConstructorBin b;
  linea(b, {{6000, 6000}, {6100, 6000}, {6106, 6000}, {6200, 6000}});
  linea(b, {{6104, 5900}, {6104, 6100}});
  HojaDepuracion h(b, 10);
  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :0", "Elementos partidos :2"}));
  EXPECT_EQ(lineas_activas(h.recargada()),
            (std::vector<Linea>{{{6000, 6000}, {6100, 6000}},
                                {{6100, 6000}, {6106, 6000}, {6200, 6000}},
                                {{6104, 5900}, {6104, 6000}},
                                {{6104, 6000}, {6104, 6100}}}));
}

// Collinear lines that overlap: each is cut once where the other one ends, and the segments they
// share give no cut of their own.
TEST(Binjunta, LineasColinealesSolapadasSinCortesRepetidos) {
  ConstructorBin b;
  linea(b, {{1000, 1000}, {1100, 1000}});
  linea(b, {{1050, 1000}, {1150, 1000}});
  linea(b, {{1000, 2000}, {1040, 2000}, {1080, 2000}});
  linea(b, {{1040, 2000}, {1080, 2000}, {1120, 2000}});
  HojaDepuracion h(b, 5);
  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :4", "Elementos partidos :4"}));
  const std::string guiones = std::string(77, '-') + "\n";
  EXPECT_EQ(h.carpeta.lee("entidadesP.txt"), guiones + " 2  72  1 \n 1  1100  1000  0  50 \n" +
                                                 guiones + " 1  0  1 \n 1  1050  1000  0  50 \n" +
                                                 guiones + " 4  228  1 \n 2  1080  2000  0  0 \n" +
                                                 guiones + " 3  144  1 \n 2  1040  2000  0  0 \n");
  EXPECT_EQ(lineas_activas(h.recargada()).size(), 8u);
}

#if defined(__unix__)
namespace {

// Files cannot grow past a size while it lives (a write beyond it fails as on a full disk).
class LimiteDeFichero {
 public:
  explicit LimiteDeFichero(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &anterior_);
    senal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite = anterior_;
    limite.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limite);
  }
  ~LimiteDeFichero() {
    setrlimit(RLIMIT_FSIZE, &anterior_);
    std::signal(SIGXFSZ, senal_);
  }

 private:
  rlimit anterior_{};
  void (*senal_)(int) = SIG_DFL;
};

}  // namespace

// Lines with vertices near both ends of the 32-bit range: the squared distance of a cut from its
// segment's first vertex passes 64 bits, and the cuts still go in order along the segment.
TEST(Binjunta, CortesEnOrdenEnTodoElRangoDeCoordenadas) {
  ConstructorBin b;
  linea(b, {{-1548800000, -183600}, {1683200000, -1298}});
  linea(b, {{1900, 4564}, {-810800000, -296500}, {12800, -339700}});
  HojaDepuracion h(b, 10);
  EXPECT_EQ(h.ejecuta().lineas(),
            (std::vector<std::string>{"Nodos movidos :0", "Elementos partidos :2"}));

  const std::vector<Vertice> larga{{-2000000000, 0, 0}, {2000000000, 0, 0}};
  const std::vector<Corte> cortes{{1, 1500000000, 0, 0, 0}, {1, -1900000000, 0, 0, 0}};
  EXPECT_EQ(piezas_de(larga, cortes),
            (std::vector<std::vector<Vertice>>{{{-2000000000, 0, 0}, {-1900000000, 0, 0}},
                                               {{-1900000000, 0, 0}, {1500000000, 0, 0}},
                                               {{1500000000, 0, 0}, {2000000000, 0, 0}}}));
}

// A write that fails stops the run with the file and the system's reason, and changes nothing:
// neither the sheet nor the loaded copy. So does a sheet changed on disk since it was loaded.
TEST(Binjunta, UnFalloAlEscribirNoCambiaNada) {
  ConstructorBin b;
  linea(b, {{1000, 1000}, {1100, 1100}});
  linea(b, {{1000, 1100}, {1100, 1000}});
  linea(b, {{3000, 3000}, {3100, 3100}});
  linea(b, {{3000, 3100}, {3100, 3000}});
  HojaDepuracion h(b, 5);
  const std::string antes = h.bytes();
  auto falla = [&](const char* razon) {
    try {
      aplica_binjunta(h.sesion, ejecuta_binjunta(h.sesion, h.dibujadas));
      ADD_FAILURE() << "the run should have failed";
    } catch (const ErrorTelmora& error) {
      EXPECT_NE(std::string(error.what()).find(ruta_texto(h.sesion.ajustes.fich_entrada)),
                std::string::npos);
      EXPECT_NE(std::string(error.what()).find(razon), std::string::npos) << error.what();
    }
  };
  {
    const LimiteDeFichero limite(antes.size() + 100);
    falla("large");
  }
  EXPECT_EQ(h.bytes(), antes);
  EXPECT_EQ(h.sesion.hoja.fila(1).activo, 1);

  // The third line's record no longer holds an entity: its mark cannot be written.
  const auto tercera = h.sesion.hoja.fila(3).posicion;
  std::string cambiado = antes;
  cambiado[static_cast<std::size_t>(tercera)] = 'X';
  h.carpeta.escribe("hoja.bin", cambiado);
  falla("ha cambiado");
  EXPECT_EQ(h.bytes(), cambiado);
  EXPECT_EQ(h.sesion.hoja.fila(1).activo, 1);
  EXPECT_EQ(h.sesion.hoja.fila(3).activo, 1);
}
#endif
