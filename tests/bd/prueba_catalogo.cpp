#include <gtest/gtest.h>

#include "apoyo_consola.h"
#include "bases_prueba.h"
#include "control/navegacion_catalogo.h"
#include "db/catalogo.h"

using namespace telmora;
using prueba::n;

namespace {

struct Catalogo {
  prueba::CarpetaTemporal carpeta;
  BaseDatos bd = BaseDatos::abre(
      prueba::escribe_bd(carpeta, "Catalogo.mdb", prueba::catalogo_completo()).string());
};

std::vector<std::string> textos(const std::vector<ElementoCatalogo>& elementos) {
  std::vector<std::string> salida;
  for (const auto& e : elementos) salida.push_back(e.texto);
  return salida;
}

template <typename Entrada>
std::vector<std::string> textos_de(const std::vector<Entrada>& entradas) {
  std::vector<std::string> salida;
  for (const auto& e : entradas) salida.push_back(e.texto);
  return salida;
}

std::vector<bool> seleccion_de(const std::vector<EntradaLista>& entradas) {
  std::vector<bool> salida;
  for (const auto& e : entradas) salida.push_back(e.seleccionada);
  return salida;
}

const std::string kSinValor7 = "00 - [7] Sin Enumerado o Nulo";

}  // namespace

// Each statement of the browsers on a catalogue that covers their cases: the rows, texts and
// order that Access gives.
TEST(Catalogo, LasSentenciasPorTemaDanLasFilasDeAccess) {
  Catalogo c;
  const auto registros = registros_por_tema(c.bd);
  std::vector<std::pair<std::int32_t, std::int32_t>> pares;
  for (const auto& r : registros) pares.emplace_back(r.grupo, r.mslink);
  EXPECT_EQ(pares, (std::vector<std::pair<std::int32_t, std::int32_t>>{{1, 10},
                                                                       {1, 20},
                                                                       {1, 30},
                                                                       {1, 40},
                                                                       {1, 50},
                                                                       {1, 60},
                                                                       {1, 70},
                                                                       {1, 98},
                                                                       {2, 10},
                                                                       {2, 80},
                                                                       {2, 85},
                                                                       {2, 86},
                                                                       {2, 90},
                                                                       {2, 95},
                                                                       {2, 97}}));
  // The theme without entries is left out.
  const auto temas = temas_del_catalogo(c.bd);
  EXPECT_EQ(textos(temas), (std::vector<std::string>{"Viales", "Edificios"}));
  EXPECT_EQ(textos(entradas_del_tema(c.bd, temas[1].clave)),
            (std::vector<std::string>{"10 -Duplicado MSLINK", "80 -Texto no numérico",
                                      "85 -Decimal", "86 -Casa grande", "90 -Mayúsculas",
                                      "95 -Sin atributo gráfico", "97 -Símbolo"}));
  EXPECT_TRUE(entradas_del_tema(c.bd, n(3)).empty());
}

TEST(Catalogo, LasSentenciasPorObjetoDanLasFilasDeAccess) {
  Catalogo c;
  std::vector<std::int32_t> mslinks;
  for (const auto& r : registros_por_objeto(c.bd)) mslinks.push_back(r.mslink);
  EXPECT_EQ(mslinks, (std::vector<std::int32_t>{10, 10, 20, 30, 40, 50, 60, 70, 80, 85, 86, 90, 95,
                                                97, 98}));
  EXPECT_EQ(textos(objetos_del_catalogo(c.bd)), (std::vector<std::string>{"7 -Calle", "8 -Casa"}));

  // Primary values by code (1 and 2, the two rows of code 1 grouped), secondary ones by code
  // plus 100 (the same code under two abbreviations, and a secondary value of an entry that
  // also says "sin enumerado"), then one no-value line per description: null, "Mixto", "Nota".
  EXPECT_EQ(valores_del_objeto(c.bd, n(7)),
            (std::vector<std::string>{"1 - [7] Secundaria", "2 - [7] Principal", "RL5 -[7] Tierra",
                                      "TR5 -[7] Tierra", "TR7 -[7] Mixto", kSinValor7, kSinValor7,
                                      kSinValor7}));
  // A decimal code (2.5 rounds to 2), "abc" left out, "SIN ENUMERADO" matched whatever its case,
  // the secondary value whose graphic attribute is missing left out.
  EXPECT_EQ(valores_del_objeto(c.bd, n(8)),
            (std::vector<std::string>{"2.5 - [8] Medio", "3 - [8] Casa", "4 - [8] Farola",
                                      "00 - [8] Sin Enumerado o Nulo"}));
  EXPECT_TRUE(valores_del_objeto(c.bd, n(9)).empty());

  auto elementos = [&](std::int64_t objeto, const char* valor) {
    return textos(elementos_del_valor(c.bd, n(objeto), valor));
  };
  EXPECT_EQ(elementos(7, "1"),
            (std::vector<std::string>{"10 -Secundaria (Trazo)", "20 -Secundaria (Relleno)"}));
  EXPECT_EQ(elementos(7, "RL5"), (std::vector<std::string>{"50 -Tierra (Relleno)"}));
  // An entry with both "sin enumerado" and a secondary value is listed by neither statement.
  EXPECT_TRUE(elementos(7, "TR7").empty());
  EXPECT_EQ(elementos(7, "00"), (std::vector<std::string>{"60 -Sin valor", "70 -Nulo"}));
  EXPECT_EQ(elementos(8, "2.5"), (std::vector<std::string>{"85 -Medio (Trazo)"}));
  EXPECT_EQ(elementos(8, "3"),
            (std::vector<std::string>{"10 -Casa (Relleno)", "86 -Casa (Trazo)"}));
  EXPECT_EQ(elementos(8, "00"), (std::vector<std::string>{"90 -Mayúsculas"}));
  // An attribute without a description gives a null text, which is left out.
  EXPECT_TRUE(elementos(8, "4").empty());
}

TEST(Catalogo, LaTablaDeSeleccionVaPorElPrimerRegistroYSeReconstruyeAlCargar) {
  Catalogo c;
  TablaSeleccion seleccion;
  CatalogoPorTemas temas(c.bd, seleccion);
  temas.elige_tema(1, false);  // Edificios: MSLINK 10 stands in theme 1 first
  EXPECT_EQ(temas.entradas().front().texto, "10 -Duplicado MSLINK");
  temas.pulsa_entrada(0);
  EXPECT_TRUE(seleccion.registros()[0].seleccionado);   // theme 1's record of MSLINK 10
  EXPECT_FALSE(seleccion.registros()[8].seleccionado);  // theme 2's
  EXPECT_TRUE(temas.entradas()[0].seleccionada);
  temas.elige_tema(0, false);
  EXPECT_TRUE(temas.entradas()[0].seleccionada);  // the same entry, seen from theme 1

  // A double-click inverts the whole theme.
  temas.elige_tema(0, true);
  EXPECT_EQ(seleccion_de(temas.entradas()),
            (std::vector<bool>{false, true, true, true, true, true, true, true}));

  // Opening the other browser rebuilds the table with nothing selected.
  CatalogoPorObjetos objetos(c.bd, seleccion);
  EXPECT_TRUE(seleccion.seleccionados().empty());
  objetos.elige_objetos({0, 1});
  EXPECT_EQ(objetos.valores().size(), 12u);
  objetos.elige_valores({0, 8});  // "1 - [7] Secundaria" and "2.5 - [8] Medio"
  EXPECT_EQ(textos_de(objetos.elementos()),
            (std::vector<std::string>{"10 -Secundaria (Trazo)", "20 -Secundaria (Relleno)",
                                      "85 -Medio (Trazo)"}));
  objetos.marca_elementos({false, true, true});
  EXPECT_EQ(seleccion.seleccionados(), (std::vector<std::int32_t>{20, 85}));
  objetos.invierte_elementos();
  EXPECT_EQ(seleccion.seleccionados(), (std::vector<std::int32_t>{10}));
  // Choosing other values first saves the shown selection; coming back shows it again.
  objetos.elige_valores({1});
  objetos.elige_valores({0});
  EXPECT_EQ(seleccion_de(objetos.elementos()), (std::vector<bool>{true, false}));
}

TEST(Catalogo, AceptarMuestraSoloLosCodigosQueEmpiezanPorLasEntradasElegidas) {
  prueba::CarpetaTemporal carpeta;
  Sesion sesion;
  sesion.tabla = prueba::tabla_de({"1516", "1517", "1539", "15", "4011", "2401", "PSCT"});
  Visualizacion visualizacion;
  prueba::DialogosGuion dialogos;
  Consola consola(sesion, visualizacion, dialogos);

  TablaSeleccion seleccion;
  seleccion.carga({{1516, 1}, {4011, 3}, {15, 1}, {1516, 2}});
  seleccion.selecciona(1516, true);
  seleccion.selecciona(4011, true);
  Aceptar(seleccion, consola, sesion.tabla);
  EXPECT_EQ(prueba::visibles(sesion.tabla), (std::vector<std::string>{"1516", "4011"}));

  // MSLINK 15 stands for every code that begins with 15.
  seleccion.selecciona(15, true);
  Aceptar(seleccion, consola, sesion.tabla);
  EXPECT_EQ(prueba::visibles(sesion.tabla),
            (std::vector<std::string>{"1516", "1517", "1539", "15", "4011"}));

  // Nothing chosen switches everything off.
  seleccion.carga({{1516, 1}});
  Aceptar(seleccion, consola, sesion.tabla);
  EXPECT_TRUE(prueba::visibles(sesion.tabla).empty());

  // Beyond 5,000 entries only the first 5,000 are taken.
  std::vector<RegistroCatalogo> muchos;
  for (std::int32_t m = 1; m <= 5001; ++m) muchos.push_back({m == 5001 ? 2401 : 100000 + m, 1});
  seleccion.carga(muchos);
  for (const auto& r : muchos) seleccion.selecciona(r.mslink, true);
  Aceptar(seleccion, consola, sesion.tabla);
  EXPECT_TRUE(prueba::visibles(sesion.tabla).empty());
  EXPECT_TRUE(dialogos.mostrados.empty());
}
