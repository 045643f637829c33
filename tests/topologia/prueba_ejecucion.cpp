#include <gtest/gtest.h>

#include <map>

#include "carpeta_temporal.h"
#include "red_aleatoria.h"
#include "superficie_nula.h"
#include "topologia/dibujo_topologia.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

// Records what the topology draws. The palette gives colour index i the red value i, so a fill
// tells its colour index.
struct Dibujo : telmora::SuperficieNula {
  struct Texto {
    int x, y;
    std::string texto;
    Rgb color;
  };
  Rgb pincel_ = {}, pluma_ = {};
  int ancho_pluma = 0;
  std::vector<int> rellenos;   // colour index of each filled polygon
  std::vector<int> contornos;  // pen width of each outline
  std::vector<Rgb> colores_relleno;
  std::vector<Texto> textos;
  int borrados = 0;

  Dibujo() : SuperficieNula(400, 400) {}
  void borra(Rgb) override { ++borrados; }
  void pluma(int, int ancho, Rgb color) override { ancho_pluma = ancho, pluma_ = color; }
  void pincel(Rgb color) override { pincel_ = color; }
  void poligono(std::span<const PuntoPantalla>) override {
    rellenos.push_back(pincel_.rojo);
    colores_relleno.push_back(pincel_);
  }
  void polilinea(std::span<const PuntoPantalla>) override { contornos.push_back(ancho_pluma); }
  void texto(int x, int y, std::string_view t, int, int, Alineacion, Rgb color) override {
    textos.push_back({x, y, std::string(t), color});
  }
  int cuenta(int indice) const { return int(std::count(rellenos.begin(), rellenos.end(), indice)); }
};

Paleta paleta_indices() {
  Paleta p;
  for (int i = 0; i < 256; ++i) p.rojo[std::size_t(i + 1)] = std::int16_t(i);
  return p;
}

// The two faces with an island, in metres of ten units.
Sesion sesion_de_prueba() {
  const ConstructorBin b = prueba::dos_caras_con_isla(1000);
  Sesion s;
  s.hoja = prueba::hoja_dibujada(b).hoja;
  s.paleta = paleta_indices();
  s.tabla = interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab");
  s.ajustes.uds = 100;
  return s;
}

struct Ejecucion {
  Dibujo dibujo;
  Vista vista;
  ResultadoTopologia resultado;
};

// The topology form's run on what was drawn (by default the whole sheet), drawn on a view of
// 400 m from (-10, -10).
std::unique_ptr<Ejecucion> ejecuta(Sesion& s, EntradaTopologia entrada,
                                   const std::filesystem::path& carpeta = {},
                                   const ConsultaPares* pares = nullptr,
                                   const EntidadesDibujadas* dibujadas = nullptr) {
  auto e = std::make_unique<Ejecucion>();
  e->vista.dimensiona(400, 400);
  e->vista.xmin = -10, e->vista.ymin = -10, e->vista.xmax = 390, e->vista.ymax = 390;
  e->vista.factor = 1;
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, entrada);
  const LienzoTopologia lienzo{e->dibujo, e->vista, s.paleta, s.ajustes.uds, 0};
  SalidasTopologia salidas;
  salidas.lienzo = &lienzo;
  salidas.carpeta_listados = carpeta;
  salidas.pares = pares;
  e->resultado = ejecuta_y_aplica_topologia(
      s, dibujadas != nullptr ? *dibujadas : EntidadesDibujadas::todas(s.hoja), opciones, salidas,
      Progreso::ninguno(), nullptr);
  return e;
}

class ParesFalsos : public ConsultaPares {
 public:
  bool BuscaRecinto(std::string_view par, std::int32_t& operador) const override {
    consultados.emplace_back(par);
    if (par != "CARA A") return false;
    operador = 17;
    return true;
  }
  mutable std::vector<std::string> consultados;
};

}  // namespace

// "Ver Todo": the result lines, every closed polygon drawn twice in random colours (in order,
// then by class from the largest), and the listings written whole.
TEST(Topologia, VerTodoDibujaYListaTodo) {
  prueba::CarpetaTemporal carpeta;
  Sesion s = sesion_de_prueba();
  const auto e = ejecuta(s, EntradaTopologia::todo, carpeta.ruta());
  EXPECT_EQ(e->resultado.lineas(),
            (std::vector<std::string>{"Nodos encontrados :6", "Tramos encontrados :6",
                                      "Poligonos (abiertos/cerrados) encontrados :5",
                                      "Arcos colgantes :1", "Poligonos cerrados:5"}));
  EXPECT_EQ(e->dibujo.borrados, 1);
  ASSERT_EQ(e->dibujo.rellenos.size(), 10u);
  for (const int indice : e->dibujo.rellenos) {
    EXPECT_GE(indice, 1);
    EXPECT_LE(indice, 224);
  }
  EXPECT_TRUE(e->resultado.fallos_escritura.empty());
  for (const char* nombre :
       {kListadoNodos, kListadoPoli1, kListadoPoli2, kListadoIslas, kListadoComponentes}) {
    EXPECT_TRUE(std::filesystem::exists(carpeta / nombre)) << nombre;
  }
  EXPECT_FALSE(std::filesystem::exists(carpeta / kListadoAdyacencia));
  const std::string nodos = carpeta.lee(kListadoNodos);
  EXPECT_TRUE(nodos.starts_with("*********NODOS*********\n 1  0  0  0  2  2 \n"));
  EXPECT_NE(nodos.find("********POLIGONOS*********"), std::string::npos);
  EXPECT_EQ(nodos.find("Tramos pasados por alto"), std::string::npos);  // none passed over
  EXPECT_TRUE(carpeta.lee(kListadoPoli2)
                  .starts_with(std::string(64, '-') + "\nPoligono :  1 /Puntero_Sup : "));

  // Envelopes only: the second drawing skips the faces.
  const auto envolventes = ejecuta(s, EntradaTopologia::envolventes);
  EXPECT_EQ(envolventes->dibujo.rellenos.size(), 5u + 2u);
}

// The centroid check: the face without a text in colour 10, the face with two in colour 20,
// "NoPol" at the text outside, and the adjacency listing.
TEST(Topologia, ErroresDeCentroides) {
  prueba::CarpetaTemporal carpeta;
  Sesion s = sesion_de_prueba();
  const auto e = ejecuta(s, EntradaTopologia::errores_centroides, carpeta.ruta());
  const ResultadoTopologia& r = e->resultado;
  EXPECT_EQ(r.recintos_sin_centroide(), 0);
  EXPECT_EQ(r.recintos_con_varios(), 1);
  EXPECT_EQ(r.textos_sin_recinto(), 1);
  EXPECT_EQ(e->dibujo.cuenta(kColorVariosCentroides), 1);
  EXPECT_EQ(e->dibujo.cuenta(kColorSinCentroide), 0);
  // Before the check, the polygons take the colour index of the form (0), not random ones.
  EXPECT_EQ(e->dibujo.cuenta(0), 5);
  bool nopol = false;
  for (const auto& t : e->dibujo.textos) {
    nopol = nopol || (t.texto == "NoPol" && t.x == 310 && t.y == 90);
  }
  EXPECT_TRUE(nopol);
  EXPECT_TRUE(std::filesystem::exists(carpeta / kListadoAdyacencia));
  EXPECT_NE(carpeta.lee(kListadoAdyacencia).find("CARA A"), std::string::npos);
}

// Dangling arcs: one "*" at the free end; the attachment node (valence 3) gets none.
TEST(Topologia, ArcosColgantesMarcanSoloElExtremoLibre) {
  Sesion s = sesion_de_prueba();
  const auto e = ejecuta(s, EntradaTopologia::arcos_colgantes);
  ASSERT_EQ(e->dibujo.textos.size(), 1u);
  EXPECT_EQ(e->dibujo.textos[0].texto, "*");
  EXPECT_EQ(e->dibujo.textos[0].x, 160);  // x 150 m, the view starting at -10 m
  EXPECT_EQ(e->dibujo.textos[0].y, 240);  // y 150 m, the view ending at 390 m
}

// While the pair control draws, faces take the state of the pair their centroid names.
TEST(Topologia, CarasPorElEstadoDeSuPar) {
  const ParesFalsos pares;
  Sesion s = sesion_de_prueba();
  const auto e = ejecuta(s, EntradaTopologia::errores_centroides, {}, &pares);
  EXPECT_EQ(pares.consultados, (std::vector<std::string>{"CARA A", "ISLA"}));
  const auto& colores = e->dibujo.colores_relleno;
  EXPECT_EQ(std::count(colores.begin(), colores.end(), kColorParBloqueado), 1);
  EXPECT_EQ(std::count(colores.begin(), colores.end(), kColorParLibre), 1);
  EXPECT_EQ(e->dibujo.cuenta(kColorVariosCentroides), 1);  // B, with two texts
  ASSERT_EQ(e->dibujo.textos.size(), 1u);
  EXPECT_EQ(e->dibujo.textos[0].texto, "17");  // the operator holding the blocked pair
}

// The highlighted face: an outline of pen width 6 in colour 30; no drawing by class.
TEST(Topologia, ResaltarPoligono) {
  Sesion s = sesion_de_prueba();
  const auto e = ejecuta(s, EntradaTopologia::resaltar_poligono);
  EXPECT_EQ(e->dibujo.rellenos.size(), 5u);
  const std::int32_t cara = e->resultado.LocalizaPol(15000, 2000);
  ASSERT_GT(cara, 0);
  Dibujo dibujo;
  PreparoPoligonoParaPintarYPinta(e->resultado, {dibujo, e->vista, s.paleta, 100, 0}, cara);
  EXPECT_EQ(dibujo.contornos, std::vector<int>{kAnchoResaltado});
  EXPECT_EQ(dibujo.pluma_.rojo, kColorResaltado);
  PintaPoligonoTopo(e->resultado, {dibujo, e->vista, s.paleta, 100, 0});
  EXPECT_EQ(dibujo.rellenos.size(), 5u);
}

// Listings that cannot be written are reported; the run still gives its result. Copied arcs
// add a sixth line with the arcs passed over.
TEST(Topologia, ListadosFallidosYTramosPasadosPorAlto) {
  prueba::CarpetaTemporal carpeta;
  Sesion s = sesion_de_prueba();
  const auto e = ejecuta(s, EntradaTopologia::todo, carpeta / "no" / "existe");
  EXPECT_EQ(e->resultado.fallos_escritura.size(), 5u);
  EXPECT_EQ(e->resultado.lineas().size(), 5u);

  Sesion danada = s;
  bool con_pasados = false;
  for (std::uint64_t semilla = 3; semilla < 60 && !con_pasados; semilla += 3) {
    prueba::HojaDibujada red = prueba::red_aleatoria(semilla, {5, 5, true});
    danada.hoja = std::move(red.hoja);
    const auto d = ejecuta(danada, EntradaTopologia::todo, {}, nullptr, &red.dibujadas);
    if (d->resultado.poligonos.pasados.empty()) continue;
    con_pasados = true;
    ASSERT_EQ(d->resultado.lineas().size(), 6u);
    EXPECT_EQ(d->resultado.lineas()[5],
              "Tramos pasados por alto :" + std::to_string(d->resultado.poligonos.pasados.size()));
  }
  EXPECT_TRUE(con_pasados);
}

// Faces and the NoPol / +Pol marks take random colours only from the slots the palette file
// defines, never the background: with a short palette, nothing is drawn in an undefined (black)
// slot on a black background.
TEST(Topologia, LosColoresAlAzarSonLosDeLaPaleta) {
  Sesion s = sesion_de_prueba();
  s.paleta = interpreta_pal("// fondo\r\n0 0 0\r\n200 10 10\r\n\r\n10 200 10\r\n10 10 200\r\n",
                            "Vekt.pal");
  const std::vector<Rgb> definidos{{200, 10, 10}, {10, 200, 10}, {10, 10, 200}};
  auto definido = [&](Rgb color) {
    return std::find(definidos.begin(), definidos.end(), color) != definidos.end();
  };
  for (int vez = 0; vez < 20; ++vez) {
    const auto todo = ejecuta(s, EntradaTopologia::todo);
    ASSERT_FALSE(todo->dibujo.colores_relleno.empty());
    for (const Rgb& color : todo->dibujo.colores_relleno) ASSERT_TRUE(definido(color));
    const auto errores = ejecuta(s, EntradaTopologia::errores_centroides);
    ASSERT_FALSE(errores->dibujo.textos.empty());
    for (const auto& marca : errores->dibujo.textos) ASSERT_TRUE(definido(marca.color));
  }
}
