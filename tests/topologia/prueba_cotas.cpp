#include <gtest/gtest.h>

#include "ajustes.h"
#include "cotas_literal.h"
#include "dialogos_guion.h"
#include "hoja_de_prueba.h"
#include "limite_tamano.h"
#include "red_aleatoria.h"
#include "topologia/etiquetas_cota.h"
#include "topologia/topologia.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

// A sheet on disk, opened and wholly drawn, as the viewer has it when a topology entry runs.
struct HojaEnDisco : prueba::SesionDePrueba {
  prueba::DialogosGuion dialogos;

  using SesionDePrueba::SesionDePrueba;
  EntidadesDibujadas dibujadas() const { return EntidadesDibujadas::todas(sesion.hoja); }
  Hoja recargada() const { return cargo_bin(sesion.hoja.ruta, sesion.tabla); }
  std::vector<std::int32_t> cotas(const Hoja& hoja, std::int32_t elemento) const {
    std::vector<std::int32_t> z;
    for (const Vertice& v : hoja.vertices_de(hoja.c[std::size_t(elemento - 1)])) z.push_back(v.z);
    return z;
  }

  ResultadoTopologia corre(EntradaTopologia entrada, double da = 0) {
    OpcionesTopologia opciones;
    selecciona_entrada(opciones, entrada);
    opciones.distancia_cotas = da;
    ResultadoTopologia r = ejecuta_topologia(sesion, dibujadas(), opciones);
    aplica_cotas(sesion, r, dialogos);
    return r;
  }
};

V psct_en(int x, int y, int z) {
  return {x, y, z};
}

// The three-vertex arc: segments of 30 and 10 (in hundreds of file units).
ConstructorBin arco_de_tres(bool con_punto_intermedio) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {3000, 0, 0}, {4000, 0, 0}})
      .c("PSCT", {psct_en(0, 0, 100)})
      .c("PSCT", {psct_en(4000, 0, 200)});
  if (con_punto_intermedio) b.c("PSCT", {psct_en(3000, 0, 140)});
  return b;
}

const std::string kAdvertenciaPSCT =
    "Atención el fichero quedará modificado en la Z de todos los elementos,\r"
    "según la Z de los puntuales con código=PSCT";

}  // namespace

// The arc gets its Z interpolated by length between the PSCT points at its ends: 175 in the
// middle; the file holds the new vertices and the range they span, the last three range values
// as they were. Cancel on "ADVERTENCIA" first leaves the file untouched.
TEST(CotasPSCT, InterpolaPorLongitudTrasLaAdvertencia) {
  HojaEnDisco h(arco_de_tres(false));
  const std::string antes = h.bytes();
  h.dialogos.respuestas = {false};
  ResultadoTopologia r = h.corre(EntradaTopologia::cotas_a_tramos);
  ASSERT_EQ(h.dialogos.mostrados.size(), 1u);
  EXPECT_EQ(h.dialogos.mostrados[0].tipo, prueba::DialogoMostrado::Tipo::aceptar_cancelar);
  EXPECT_EQ(h.dialogos.mostrados[0].titulo, "ADVERTENCIA");
  EXPECT_EQ(h.dialogos.mostrados[0].texto, kAdvertenciaPSCT);
  EXPECT_EQ(h.bytes(), antes);
  EXPECT_EQ(r.lineas()[0], "Nodos encontrados :2");
  EXPECT_EQ(h.cotas(h.sesion.hoja, 1), (std::vector<std::int32_t>{0, 0, 0}));

  h.dialogos.respuestas = {true};
  r = h.corre(EntradaTopologia::cotas_a_tramos);
  EXPECT_EQ(r.lineas(),
            (std::vector<std::string>{"PSCT encontrados :2", "Tramos encontrados :1",
                                      "Tramos modificados :1", "Tramos NO modificados :0"}));
  EXPECT_TRUE(r.fallos_escritura.empty());
  const Hoja leida = h.recargada();
  EXPECT_EQ(h.cotas(leida, 1), (std::vector<std::int32_t>{100, 175, 200}));
  EXPECT_EQ(h.cotas(h.sesion.hoja, 1), h.cotas(leida, 1));
  const Rango esperado{0, 0, 100, 4000, 0, 200, 0, 0, 0};
  EXPECT_EQ(leida.rango_de(leida.c[0]), esperado);
  EXPECT_EQ(h.sesion.hoja.rango_de(h.sesion.hoja.c[0]), esperado);
  EXPECT_EQ(h.sesion.hoja.fila(1).zmax, 200);
  EXPECT_EQ(h.bytes().size(), antes.size());
}

// A PSCT point on the middle vertex splits the interpolation: 140 there, the ends 100 and 200.
TEST(CotasPSCT, UnPuntoEnUnVerticeIntermedioParteLaInterpolacion) {
  HojaEnDisco h(arco_de_tres(true));
  h.dialogos.respuestas = {true};
  const ResultadoTopologia r = h.corre(EntradaTopologia::cotas_a_tramos);
  EXPECT_EQ(r.lineas()[0], "PSCT encontrados :3");
  EXPECT_EQ(h.cotas(h.recargada(), 1), (std::vector<std::int32_t>{100, 140, 200}));
}

// Two PSCT points at one node: the later one counts for every arc there. An arc with a point at
// one end only is counted and left as it was.
TEST(CotasPSCT, ElUltimoPuntoDeUnNodoGanaYLosTramosCojosNoSeTocan) {
  ConstructorBin b;
  b.c("100", {{0, 0, 7}, {1000, 0, 7}})
      .c("100", {{0, -1000, 7}, {0, -500, 7}, {0, 0, 7}})
      .c("100", {{1000, 0, 7}, {1000, 1000, 7}})
      .c("PSCT", {psct_en(0, 0, 100)})
      .c("PSCT", {psct_en(1000, 0, 300)})
      .c("PSCT", {psct_en(0, -1000, 50)})
      .c("PSCT", {psct_en(0, 0, 110)});
  HojaEnDisco h(b);
  h.dialogos.respuestas = {true};
  const ResultadoTopologia r = h.corre(EntradaTopologia::cotas_a_tramos);
  EXPECT_EQ(r.lineas(),
            (std::vector<std::string>{"PSCT encontrados :4", "Tramos encontrados :3",
                                      "Tramos modificados :2", "Tramos NO modificados :1"}));
  const Hoja leida = h.recargada();
  EXPECT_EQ(h.cotas(leida, 1), (std::vector<std::int32_t>{110, 300}));
  EXPECT_EQ(h.cotas(leida, 2), (std::vector<std::int32_t>{50, 80, 110}));
  EXPECT_EQ(h.cotas(leida, 3), (std::vector<std::int32_t>{7, 7}));
  EXPECT_EQ(leida.rango_de(leida.c[2]), h.sesion.hoja.rango_de(h.sesion.hoja.c[2]));
}

// When the file no longer holds an element where it was loaded, nothing is written: the message
// names the file, and the file and the loaded copy stay as they were.
TEST(CotasPSCT, UnFalloNoModificaNingunTramo) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {1000, 0, 0}})
      .c("100", {{0, 0, 0}, {0, 1000, 0}})
      .c("PSCT", {psct_en(0, 0, 10)})
      .c("PSCT", {psct_en(1000, 0, 20)})
      .c("PSCT", {psct_en(0, 1000, 30)});
  HojaEnDisco h(b);
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, EntradaTopologia::cotas_a_tramos);
  ResultadoTopologia r = ejecuta_topologia(h.sesion, h.dibujadas(), opciones);
  // Someone else overwrote the second line's header since the sheet was loaded.
  std::string bytes = h.bytes();
  bytes[std::size_t(b.inicios()[1])] = 'X';
  h.carpeta.escribe("hoja.bin", bytes);
  h.dialogos.respuestas = {true};
  aplica_cotas(h.sesion, r, h.dialogos, Progreso::ninguno());
  ASSERT_EQ(r.fallos_escritura.size(), 1u);
  const std::string& fallo = r.fallos_escritura[0];
  EXPECT_NE(fallo.find(h.sesion.hoja.ruta.string()), std::string::npos) << fallo;
  EXPECT_NE(fallo.find("No se ha modificado ningún tramo"), std::string::npos) << fallo;
  EXPECT_EQ(r.lineas()[2], "Tramos modificados :0");
  EXPECT_EQ(h.bytes(), bytes);
  EXPECT_EQ(h.cotas(h.sesion.hoja, 1), (std::vector<std::int32_t>{0, 0}));
  EXPECT_EQ(h.cotas(h.sesion.hoja, 2), (std::vector<std::int32_t>{0, 0}));
}

// An element stored with a wrong range gets the range of its vertices, and the spatial index
// finds it where it lies.
TEST(CotasPSCT, ElIndiceEspacialSigueAlRangoNuevo) {
  ConstructorBin b;
  std::string cuerpo;
  for (const int valor : {400000, 400000, 0, 400100, 400100, 0, 0, 0, 0}) {
    cuerpo += prueba::i32le(valor);
  }
  for (const int valor : {0, 0, 0, 1000, 0, 0}) cuerpo += prueba::i32le(valor);
  b.cabecera('C', '=', "100", 0, 2).bytes(cuerpo);
  b.c("PSCT", {psct_en(0, 0, 10)}).c("PSCT", {psct_en(1000, 0, 20)});
  for (int i = 0; i < 400; ++i) b.c("200", {{(i % 20) * 25000, (i / 20) * 25000, 0}});
  HojaEnDisco h(b);
  auto junto_al_origen = [](const IndiceEspacial& indice) {
    return indice.candidatas(-100, -100, 2000, 100);
  };
  EXPECT_EQ(std::ranges::count(junto_al_origen(h.sesion.indice_espacial), 1), 0);
  h.dialogos.respuestas = {true};
  h.corre(EntradaTopologia::cotas_a_tramos);
  EXPECT_EQ(h.sesion.hoja.fila(1).xmax, 1000);
  const Hoja leida = h.recargada();
  EXPECT_EQ(leida.rango_de(leida.c[0]), (Rango{0, 0, 10, 1000, 0, 20, 0, 0, 0}));
  const auto candidatas = junto_al_origen(h.sesion.indice_espacial);
  EXPECT_EQ(std::ranges::count(candidatas, 1), 1);
  EXPECT_EQ(candidatas, junto_al_origen(IndiceEspacial(h.sesion.hoja)));
}

// The hashed lookups give what the scans give, table by table, on random networks with points
// at ends, doubled at some, on inner vertices (some with z 0) and off every line.
TEST(CotasPSCT, IgualQueLaLecturaLiteralEnRedesAleatorias) {
  int con_intermedios = 0;
  for (std::uint64_t semilla = 1; semilla <= 40; ++semilla) {
    const auto [hoja, dibujadas] = prueba::red_aleatoria(semilla, {6, 5, semilla % 3 == 0, true});
    GrafoTopologico grafo = CargoNodosTramos(hoja, dibujadas);
    const SubidaCotaTramos rapida = ProcesarSubirCotaTramos(hoja, dibujadas, grafo);
    const SubidaCotaTramos literal = prueba::subida_literal(hoja, dibujadas, grafo);
    ASSERT_EQ(rapida.puntos, literal.puntos) << semilla;
    ASSERT_EQ(rapida.tramos, literal.tramos) << semilla;
    EXPECT_EQ(rapida.no_modificados, literal.no_modificados) << semilla;
    EXPECT_EQ(rapida.cambios.elementos, literal.cambios.elementos) << semilla;
    EXPECT_EQ(rapida.cambios.vertices, literal.cambios.vertices) << semilla;
    for (const PuntoPSCT& p : rapida.puntos) {
      bool en_vertice_intermedio = false;
      for (const Tramo& t : grafo.tramos) {
        const auto v = hoja.vertices_de(hoja.c[std::size_t(t.elemento - 1)]);
        for (std::size_t k = 1; k + 1 < v.size(); ++k)
          en_vertice_intermedio |= p.nodo == 0 && p.z != 0 && v[k].x == p.x && v[k].y == p.y;
      }
      con_intermedios += en_vertice_intermedio;
    }
  }
  EXPECT_GT(con_intermedios, 10);
}

namespace {

// Faces L (text z 10) and R (text z 12) side by side, T above both with two texts, all inside
// one envelope.
ConstructorBin tres_caras(std::int32_t cota_l, std::int32_t cota_r) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {1000, 0, 0}})                                           // 1 L | envelope
      .c("100", {{1000, 0, 0}, {2000, 0, 0}})                                     // 2 R | envelope
      .c("100", {{1000, 0, 0}, {1000, 500, 3}, {1000, 1000, 0}})                  // 3 L | R
      .c("100", {{0, 0, 0}, {0, 1000, 0}})                                        // 4 L | envelope
      .c("100", {{2000, 0, 0}, {2000, 1000, 0}})                                  // 5 R | envelope
      .c("100", {{0, 1000, 0}, {1000, 1000, 0}})                                  // 6 L | T
      .c("100", {{1000, 1000, 0}, {2000, 1000, 0}})                               // 7 R | T
      .c("100", {{0, 1000, 5}, {0, 2000, 5}, {2000, 2000, 5}, {2000, 1000, 5}});  // 8 T | env.
  b.t("TXT", {500, 500, cota_l}, "L")
      .t("TXT", {1500, 500, cota_r}, "R")
      .t("TXT", {500, 1500, 30}, "T1")
      .t("TXT", {1500, 1500, 40}, "T2");
  return b;
}

}  // namespace

// Z from texts: the arc between the faces of 10 and 12 gets 12; across an envelope or the face
// with two texts the face with one decides; an arc with no elevation on either side is left as
// it was and counted. The range block holds the element's range and 20, 6, 1957.
TEST(CotasTextos, LaMayorDeLasCarasQueSeparan) {
  HojaEnDisco h(tres_caras(10, 12));
  h.dialogos.respuestas = {true};
  const ResultadoTopologia r = h.corre(EntradaTopologia::cotas_a_recintos);
  EXPECT_EQ(h.dialogos.mostrados.at(0).texto,
            "Atención el fichero quedará modificado en la Z de todos los elementos,\r"
            "según la Z del texto que contengan");
  const std::vector<std::string>& l = r.lineas();
  ASSERT_GE(l.size(), 7u);
  EXPECT_EQ(l[0], "Nodos encontrados :6");
  EXPECT_EQ(l[l.size() - 2], "Tramos modificados :7");
  EXPECT_EQ(l.back(), "Tramos NO modificados :1");
  const Hoja leida = h.recargada();
  const std::int32_t esperadas[] = {10, 12, 12, 10, 12, 10, 12};
  for (std::int32_t e = 1; e <= 7; ++e) {
    for (const std::int32_t z : h.cotas(leida, e)) EXPECT_EQ(z, esperadas[e - 1]) << e;
  }
  EXPECT_EQ(h.cotas(leida, 8), (std::vector<std::int32_t>(4, 5)));
  EXPECT_EQ(leida.rango_de(leida.c[2]), (Rango{1000, 0, 12, 1000, 1000, 12, 20, 6, 1957}));
  EXPECT_EQ(leida.rango_de(leida.c[7]), (Rango{0, 1000, 5, 2000, 2000, 5, 0, 0, 0}));
}

// Negative elevations and those above 1,000,000,000 are stored with their true range.
TEST(CotasTextos, ElRangoEsElDeLosVertices) {
  HojaEnDisco h(tres_caras(-5, 1500000000));
  h.dialogos.respuestas = {true};
  h.corre(EntradaTopologia::cotas_a_recintos);
  const Hoja leida = h.recargada();
  EXPECT_EQ(leida.rango_de(leida.c[0]), (Rango{0, 0, -5, 1000, 0, -5, 20, 6, 1957}));
  EXPECT_EQ(leida.rango_de(leida.c[1]),
            (Rango{1000, 0, 1500000000, 2000, 0, 1500000000, 20, 6, 1957}));
  EXPECT_EQ(h.sesion.hoja.fila(2).zmin, 1500000000);
}

// Walking the arcs' two sides gives what walking every polygon's arcs and neighbours gives.
TEST(CotasTextos, IgualQueRecorrerCadaPoligono) {
  for (std::uint64_t semilla = 1; semilla <= 25; ++semilla) {
    const auto [hoja, dibujadas] = prueba::red_aleatoria(semilla, {5, 5, semilla % 4 == 0});
    GrafoTopologico grafo = CargoNodosTramos(hoja, dibujadas);
    CuentaNodosV1(grafo);
    RellenamosVReal(grafo);
    AnulaValencia1(grafo);
    ReCalculoTramos(grafo);
    TablaPoligonos tabla = proceso_recorrido(hoja, grafo);
    construye_recintos(hoja, grafo, 100, tabla);
    calculaAdyacencia(grafo, tabla);
    IslasTopologia islas;
    BuscoIslas(tabla, islas);
    PoligonosComponentesIslas(grafo, tabla, islas);
    ChequeoCentroidesPoligonos(islas, tabla, grafo);
    const CotaDeRecintos rapida = BuscaCotaADar(hoja, grafo, tabla);
    const prueba::CotasLiterales literal = prueba::cotas_recintos_literal(grafo, tabla);
    EXPECT_EQ(rapida.sin_cota, literal.sin_cota) << semilla;
    std::map<std::int32_t, std::int32_t> cotas;
    for (const ReescrituraElemento& e : rapida.cambios.elementos)
      cotas[e.elemento] = rapida.cambios.vertices_de(e)[0].z;
    EXPECT_EQ(cotas, literal.cota) << semilla;
  }
}

// Labels: spaced along the arc by DA (at most a thousand steps an arc), one more where the line
// turns, one at each node; texts with at most three decimals, cut.
TEST(EtiquetasCota, PasoYCambiosDePendiente) {
  EXPECT_EQ(texto_cota(1234.56, 100), "12.345");
  EXPECT_EQ(texto_cota(81200, 100), "812");
  EXPECT_EQ(texto_cota(81200.0, 100), "812");
  EXPECT_EQ(texto_cota(30.0, 100), "0.3");
  EXPECT_EQ(texto_cota(-1234.56, 100), "-12.345");
  EXPECT_EQ(texto_cota(-0.04, 100), "0");

  ConstructorBin b;  // 200 m: rises 20 m to x 90 m, then falls; a 0.2 m bump is not a turn
  b.c("100", {{0, 0, 1000}, {9000, 0, 3000}, {15000, 0, 1000}, {17000, 0, 1020}, {20000, 0, 900}});
  const auto [hoja, dibujadas] = prueba::hoja_dibujada(b);
  const GrafoTopologico grafo = CargoNodosTramos(hoja, dibujadas);
  std::vector<EtiquetaCota> etiquetas;
  const ReceptorCotas guarda = [&](const EtiquetaCota& e) { etiquetas.push_back(e); };
  pintocotastramos(hoja, grafo, 100, 50, guarda);
  ASSERT_EQ(etiquetas.size(), 4u);  // at 50, 100, 150 m, and the turn at 90 m
  EXPECT_DOUBLE_EQ(etiquetas[0].x, 5000);
  EXPECT_EQ(etiquetas[0].texto, "21.111");  // 10 + 20 × 50 / 90, cut
  EXPECT_EQ(etiquetas[1].texto, "30");
  EXPECT_DOUBLE_EQ(etiquetas[1].x, 9000);
  EXPECT_DOUBLE_EQ(etiquetas[2].x, 10000);
  EXPECT_DOUBLE_EQ(etiquetas[3].x, 15000);  // 150 m falls on the vertex there: one label
  etiquetas.clear();
  pintocotastramos(hoja, grafo, 100, 0, guarda);  // DA 0: every 20 m
  EXPECT_EQ(etiquetas.size(), 9u + 2u);           // and the turns at 90 and 150 m
  etiquetas.clear();
  pintocotasextremocalles(grafo, 100, guarda);
  ASSERT_EQ(etiquetas.size(), 2u);
  EXPECT_EQ(etiquetas[1].texto, "9");

  // An arc across the whole coordinate range (40,000 km): a thousand steps, not two million.
  ConstructorBin larga;
  larga.c("100", {{-2000000000, 0, 0}, {2000000000, 0, 0}});
  const auto [hoja_larga, dibujada_larga] = prueba::hoja_dibujada(larga);
  etiquetas.clear();
  pintocotastramos(hoja_larga, CargoNodosTramos(hoja_larga, dibujada_larga), 100, 0, guarda);
  ASSERT_EQ(etiquetas.size(), std::size_t(kMaxPartesPorArco) - 1);
  EXPECT_DOUBLE_EQ(etiquetas[0].x, -1996000000);
}

// "Graba" appends one text element per label to the sheet's COT file: run twice, the labels are
// there twice. A failed append leaves the file as it was.
TEST(EtiquetasCota, GrabaAnadeAlFicheroCOT) {
  ConstructorBin b;
  b.c("100", {{0, 0, 123456}, {4000, 0, 123456}});
  HojaEnDisco h(b);
  const auto cot = h.carpeta / "hoja.COT";
  EXPECT_EQ(ruta_cot(h.sesion.hoja.ruta), cot);
  EXPECT_EQ(ruta_cot("/a/hoja.b"), std::filesystem::path("/a/hojCOT"));
  ResultadoTopologia r = h.corre(EntradaTopologia::cotas_calles);
  EXPECT_EQ(r.lineas(), std::vector<std::string>{"GENERADOS LOS TEXTOS DE COTA"});
  EXPECT_EQ(r.etiquetas_cota.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(cot));

  r = h.corre(EntradaTopologia::cotas_calles_graba, 20);
  EXPECT_TRUE(r.fallos_escritura.empty());
  const std::string una = prueba::lee_bytes(cot);
  ASSERT_EQ(una.size(), 3u * 72u);
  h.corre(EntradaTopologia::cotas_calles_graba, 20);
  EXPECT_EQ(prueba::lee_bytes(cot), una + una);
  EXPECT_TRUE(h.dialogos.mostrados.empty());

  const Hoja textos = cargo_bin(cot, h.sesion.tabla);
  ASSERT_EQ(textos.t.size(), 6u);
  const Entidad& primera = textos.t[0];  // at 20 m along the arc
  EXPECT_EQ(limpia_texto(textos.cabecera_de(primera).codigo_bruto()), "1403");
  EXPECT_EQ(textos.cabecera_de(primera).num_atributos, 0);
  EXPECT_EQ(textos.texto(primera), "1234.56");
  EXPECT_EQ(textos.vertices_de(primera)[0], (Vertice{2000, 0, 123456}));
  EXPECT_EQ(textos.rango_de(primera),
            (Rango{2000, 0, 123456, 2000 + 7 * 1250, 1250, 123456, 1250, 0, 0}));
  EXPECT_EQ(std::string(textos.bytes_texto(primera)), "1234.56     ");

#ifndef _WIN32
  r = [&] {
    prueba::LimiteDeTamano limite(una.size() * 2 + 100);
    return h.corre(EntradaTopologia::cotas_calles_graba, 20);
  }();
  ASSERT_EQ(r.fallos_escritura.size(), 1u);
  EXPECT_NE(r.fallos_escritura[0].find("hoja.COT"), std::string::npos);
  EXPECT_EQ(prueba::lee_bytes(cot), una + una);
#endif
}
