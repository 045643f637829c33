#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "dialogos_guion.h"
#include "edicion/localizador.h"
#include "hoja_de_prueba.h"
#include "muestra/generador_muestra.h"
#include "pintor.h"
#include "superficie_imagen.h"
#include "superficie_nula.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::DialogosGuion;
using prueba::SesionDePrueba;

namespace {

struct Clic {
  explicit Clic(const Sesion& s) : sesion(s) {}

  const Sesion& sesion;
  Visualizacion visualizacion;
  Vista vista;
  telmora::SuperficieNula superficie;  // the tests follow the questions, not the picture

  std::int32_t localiza(DialogosGuion& dialogos, double x, double y, double tolerancia = 0.5) {
    return leo_bin_localizo(sesion, vista, visualizacion, superficie, dialogos,
                            Tentativo{x, y, tolerancia});
  }
  // How many times the walk asks when the user answers No to everything.
  std::size_t preguntas(double x, double y, double tolerancia = 0.5) {
    DialogosGuion dialogos;
    EXPECT_EQ(localiza(dialogos, x, y, tolerancia), 0);
    return dialogos.mostrados.size();
  }
  // The entity behind each question, in the order the walk offers them.
  std::vector<std::int32_t> ofrecidas(double x, double y, double tolerancia) {
    std::vector<std::int32_t> orden;
    while (true) {
      DialogosGuion dialogos;
      dialogos.respuestas.assign(orden.size(), false);
      dialogos.respuestas.push_back(true);
      const std::int32_t elegida = localiza(dialogos, x, y, tolerancia);
      if (elegida == 0) return orden;
      orden.push_back(elegida);
    }
  }
};

// Around the click (105, 100.2) m: a line passing 0.2 m below it, a text, a deleted line, a point
// of a code that the tests switch off, and a point of a code missing from the table.
std::string hoja_alrededor_del_clic() {
  ConstructorBin b;
  b.c("100", {{10000, 10000, 0}, {11000, 10000, 0}})
      .t("TXT", {10500, 10030, 0}, "RIO")
      .c("200", {{10490, 10000, 0}, {10490, 10400, 0}}, {}, '\0')
      .c("300", {{10510, 10010, 0}})
      .c("999", {{10520, 10020, 0}});
  return b.contenido();
}

}  // namespace

TEST(Localizador, OfreceEnOrdenDeFicheroYCadaNoPasaAlSiguiente) {
  SesionDePrueba hoja(hoja_alrededor_del_clic());
  Sesion& sesion = hoja.sesion;
  sesion.tabla.fila(sesion.hoja.entidad(4).posicion_tab).visible = false;
  Clic clic(sesion);

  DialogosGuion dialogos;
  dialogos.respuestas = {false, false, true};
  EXPECT_EQ(clic.localiza(dialogos, 105, 100.2), 5);
  ASSERT_EQ(dialogos.mostrados.size(), 3u);
  EXPECT_EQ(dialogos.mostrados[0].texto, "Cod: 100\r\"Linea cien\"\r\r¿Este elemento?");
  EXPECT_EQ(dialogos.mostrados[1].texto, "Cod: TXT\r\"Texto\"\r\r¿Este elemento?");
  EXPECT_EQ(dialogos.mostrados[2].texto, "Cod: 999\r\r\r¿Este elemento?");
  for (const auto& mostrado : dialogos.mostrados) {
    EXPECT_EQ(mostrado.tipo, prueba::DialogoMostrado::Tipo::si_no);
    EXPECT_EQ(mostrado.titulo, "Elección de entidad");
  }

  // Yes ends the walk at once.
  DialogosGuion segunda;
  segunda.respuestas = {false, true};
  EXPECT_EQ(clic.localiza(segunda, 105, 100.2), 2);
  EXPECT_EQ(segunda.mostrados.size(), 2u);

  // Deleted entities are never offered; a switched-off code is, once the selection display is on.
  EXPECT_EQ(clic.ofrecidas(105, 100.2, 0.5), (std::vector<std::int32_t>{1, 2, 5}));
  clic.visualizacion.seleccion = true;
  EXPECT_EQ(clic.ofrecidas(105, 100.2, 0.5), (std::vector<std::int32_t>{1, 2, 4, 5}));

  // Nothing near: no question at all.
  EXPECT_EQ(clic.preguntas(150, 150), 0u);
}

TEST(Localizador, SegmentosPorProyeccionDentroDeLaTolerancia) {
  ConstructorBin b;
  b.c("100", {{10000, 10000, 0}, {11000, 10000, 0}})      // horizontal, y = 100 m
      .c("100", {{10000, 20000, 0}, {11000, 21000, 0}})   // diagonal from (100, 200) m
      .c("100", {{10000, 30000, 0}, {11000, 30040, 0}})   // shallow, ends at (110, 300.4) m
      .c("100", {{10490, 40000, 0}, {10510, 40000, 0}});  // short, inside one search box
  SesionDePrueba hoja(b.contenido());
  Clic clic(hoja.sesion);

  // Vertices far outside the box; the segment at exactly the tolerance is still found.
  EXPECT_EQ(clic.preguntas(105, 100.5), 1u);

  // The test is strict against tolerance + 0.001.
  const double diagonal = 1 / std::sqrt(2.0);
  EXPECT_EQ(clic.preguntas(105 - 0.5009 * diagonal, 205 + 0.5009 * diagonal), 1u);
  EXPECT_EQ(clic.preguntas(105 - 0.5011 * diagonal, 205 + 0.5011 * diagonal), 0u);

  // A foot beyond the end is no hit: only the end vertex inside the box offers the line.
  EXPECT_EQ(clic.preguntas(110.3, 300.3), 1u);
  EXPECT_EQ(clic.preguntas(110.6, 300.3), 0u);

  // Every vertex and segment hit offers the entity again: vertex, segment, vertex.
  EXPECT_EQ(clic.ofrecidas(105, 400, 0.5), (std::vector<std::int32_t>{4, 4, 4}));
}

TEST(Localizador, ElResaltadoSeQuitaTrasNoYLaCajaSeBorra) {
  SesionDePrueba hoja(hoja_alrededor_del_clic());
  Sesion& sesion = hoja.sesion;
  Vista vista;
  vista.dimensiona(200, 200);
  vista.xmin = 95, vista.ymin = 90, vista.xmax = 115, vista.ymax = 110;
  vista.calculo_escala();
  Visualizacion visualizacion;
  SuperficieImagen superficie(200, 200);
  superficie.borra(color_fondo(sesion.tabla, sesion.paleta));
  Pintor(sesion).leo_bin_pinto(superficie, vista, visualizacion);
  const QImage antes = superficie.imagen().copy();

  const Tentativo tentativo{105, 100.2, 0.5};
  dibuja_localizador(superficie, vista, tentativo);
  const QImage con_caja = superficie.imagen().copy();
  EXPECT_NE(con_caja, antes);

  // The picture at each question: the box and the candidate's highlight.
  struct DialogosConFoto : DialogosGuion {
    SuperficieImagen* superficie = nullptr;
    std::vector<QImage> fotos;
    bool si_no(const std::string& texto, const std::string& titulo) override {
      fotos.push_back(superficie->imagen().copy());
      return DialogosGuion::si_no(texto, titulo);
    }
  } dialogos;
  dialogos.superficie = &superficie;
  EXPECT_EQ(leo_bin_localizo(sesion, vista, visualizacion, superficie, dialogos, tentativo), 0);
  ASSERT_EQ(dialogos.fotos.size(), 4u);  // segment of the line, text, two points
  for (const QImage& foto : dialogos.fotos) EXPECT_NE(foto, con_caja);
  EXPECT_EQ(superficie.imagen(), con_caja);

  borra_localizador(superficie, vista, tentativo);
  EXPECT_EQ(superficie.imagen(), antes);

  // The whole click with the session's tolerance leaves the picture as it was after No ...
  dialogos.fotos.clear();
  EXPECT_EQ(accion_info_elemento(sesion, vista, visualizacion, superficie, dialogos, 105, 100.2),
            0);
  EXPECT_EQ(dialogos.fotos.size(), 4u);
  EXPECT_EQ(superficie.imagen(), antes);
  // ... and gives the entity accepted.
  dialogos.respuestas = {false, false, true};
  EXPECT_EQ(accion_info_elemento(sesion, vista, visualizacion, superficie, dialogos, 105, 100.2),
            4);
}

// The grid only narrows the walk: on a generated sheet every click offers the same entities in
// the same order as a walk over the whole sheet.
TEST(Localizador, ConIndiceEspacialOfreceLoMismoQueElRecorridoCompleto) {
  prueba::CarpetaTemporal carpeta;
  OpcionesMuestra opciones;
  opciones.entidades = 4000;
  opciones.semilla = 7;
  const ResumenMuestra muestra = genera_muestra(carpeta.ruta(), opciones);
  Ajustes ajustes;
  ajustes.fich_entrada = muestra.bin;
  ajustes.fich_vekttab = muestra.tab;
  ajustes.fich_pal = muestra.pal;
  Sesion sesion = abre_sesion(ajustes);
  // Some codes switched off, so that visibility takes part.
  for (int fila = 1; fila <= sesion.tabla.num_entradas(); fila += 4) {
    sesion.tabla.fila(fila).visible = false;
  }

  std::mt19937 azar(11);
  struct Punto {
    double x, y, tolerancia;
  };
  std::vector<Punto> clics;
  for (int i = 0; i < 200; ++i) {
    const Entidad& e = sesion.hoja.entidad(
        std::uniform_int_distribution<std::int32_t>(1, sesion.hoja.num_entidades())(azar));
    const Vertice& v = sesion.hoja.vertices_de(e)[0];
    std::uniform_real_distribution<double> desvio(-1.5, 1.5);
    clics.push_back({v.x / 100.0 + desvio(azar), v.y / 100.0 + desvio(azar), 2.0 + i % 4});
  }

  Clic clic(sesion);
  std::vector<std::vector<std::int32_t>> con_indice;
  std::size_t varias = 0;  // clicks that offer more than one candidate
  for (const Punto& p : clics) {
    con_indice.push_back(clic.ofrecidas(p.x, p.y, p.tolerancia));
    varias += con_indice.back().size() > 1 ? 1 : 0;
  }
  EXPECT_GT(varias, 80u);

  sesion.indice_espacial = IndiceEspacial();
  for (std::size_t i = 0; i < clics.size(); ++i) {
    EXPECT_EQ(clic.ofrecidas(clics[i].x, clics[i].y, clics[i].tolerancia), con_indice[i])
        << "clic " << i;
  }
}
