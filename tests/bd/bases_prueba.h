// Databases for the tests, written as SQLite files with the program's own table layouts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "db/creacion.h"

namespace prueba {

inline telmora::Valor nulo() {
  return {};
}
inline telmora::Valor t(const char* texto) {
  return std::string(texto);
}
inline telmora::Valor n(std::int64_t numero) {
  return numero;
}

// A catalogue whose rows cover the cases of the browsers' statements: numeric, decimal,
// non-numeric and "sin enumerado" primary values (in either case), null and numeric secondary
// values, a secondary value whose graphic attribute is missing, an attribute without a
// description, an MSLINK in two rows, and a theme and an object without entries.
inline std::vector<telmora::TablaNueva> catalogo_completo() {
  using telmora::FilaBd;
  std::vector<FilaBd> entradas{
      // MSLINK, Tema, IO, Descripcion, EP, DEP, ES, DES, ID Atributo Grafico
      {n(30), n(1), n(7), t("Calle mayor"), t("2"), t("Principal"), nulo(), nulo(), n(1)},
      {n(10), n(1), n(7), t("Calle"), t("1"), t("Secundaria"), nulo(), nulo(), n(1)},
      {n(20), n(1), n(7), t("Calle repetida"), t("1"), t("Secundaria"), nulo(), nulo(), n(2)},
      {n(40), n(1), n(7), t("Senda"), nulo(), nulo(), n(5), t("Tierra"), n(1)},
      {n(50), n(1), n(7), t("Senda dup"), nulo(), nulo(), n(5), t("Tierra"), n(2)},
      {n(60), n(1), n(7), t("Sin valor"), t("sin enumerado"), nulo(), nulo(), nulo(), n(1)},
      {n(70), n(1), n(7), t("Nulo"), nulo(), nulo(), nulo(), t("Nota"), n(1)},
      {n(98), n(1), n(7), t("Mixto"), t("sin enumerado"), nulo(), n(7), t("Mixto"), n(1)},
      {n(10), n(2), n(8), t("Duplicado MSLINK"), t("3"), t("Casa"), nulo(), nulo(), n(2)},
      {n(80), n(2), n(8), t("Texto no numérico"), t("abc"), t("X"), nulo(), nulo(), n(1)},
      {n(90), n(2), n(8), t("Mayúsculas"), t("SIN ENUMERADO"), nulo(), nulo(), nulo(), n(1)},
      {n(95), n(2), n(8), t("Sin atributo gráfico"), nulo(), nulo(), n(6), t("Suelta"), n(99)},
      {n(85), n(2), n(8), t("Decimal"), t("2.5"), t("Medio"), nulo(), nulo(), n(1)},
      {n(86), n(2), n(8), t("Casa grande"), t("3"), t("Casa"), nulo(), nulo(), n(1)},
      {n(97), n(2), n(8), t("Símbolo"), t("4"), t("Farola"), nulo(), nulo(), n(3)},
  };
  return {
      telmora::tabla_catalogo(entradas),
      telmora::tabla_temas(
          {{n(1), t("Viales")}, {n(2), t("Edificios")}, {n(3), t("Sin entradas")}}),
      telmora::tabla_objetos({{n(7), t("Calle")}, {n(8), t("Casa")}, {n(9), t("Vacío")}}),
      telmora::tabla_atributos_graficos(
          {{n(1), t("Trazo"), t("TR")}, {n(2), t("Relleno"), t("RL")}, {n(3), nulo(), t("SB")}})};
}

// Pairs: "A" twice (free first), a pair in state 2, one with a null state, "Z" last.
inline telmora::TablaNueva pares_prueba() {
  return telmora::tabla_control({{t("B"), n(1), n(7), n(10)},
                                 {t("A"), n(0), nulo(), n(5)},
                                 {t("C"), n(2), n(3), n(1)},
                                 {t("A"), n(1), n(9), n(2)},
                                 {t("D"), nulo(), n(4), n(1)},
                                 {t("Z"), n(1), n(11), n(1)}});
}

// Three faces side by side, 10000 units square, from x = 0: the first names pair "P1" at its
// centre, the second "P2", the third has no text.
inline ConstructorBin hoja_de_pares() {
  ConstructorBin b;
  for (int x = 0; x < 30000; x += 10000) {
    b.c("100", {{x, 0, 0}, {x + 10000, 0, 0}}).c("100", {{x, 10000, 0}, {x + 10000, 10000, 0}});
  }
  for (int x = 0; x <= 30000; x += 10000) b.c("100", {{x, 0, 0}, {x, 10000, 0}});
  b.t("TXT", {5000, 5000, 0}, "P1").t("TXT", {15000, 5000, 0}, "P2");
  return b;
}
// "P1" blocked by operator 7, "P2" free.
inline telmora::TablaNueva pares_de_la_hoja() {
  return telmora::tabla_control({{t("P1"), n(1), n(7), n(100)}, {t("P2"), n(0), nulo(), n(100)}});
}
// A palette whose colour 10 (a face without a centroid) is dark blue-grey: slot 11.
inline std::string paleta_con_color_10() {
  std::string paleta = "// negro\r\n";
  for (int i = 1; i < 10; ++i) paleta += "255 255 255\r\n";
  return paleta + "10 20 30\r\n";
}

// An error row with its number, state and state description; the other columns filled in.
inline telmora::FilaBd fila_error(std::int64_t numero, telmora::Valor estado = {},
                                  telmora::Valor descripcion = {}) {
  return {n(numero),  t("Topología"), n(1000),  t("E1"),    t("2024-01-31 00:00:00"),
          t("hoja"),  t("E7"),        440000.5, 4470000.25, 650.0,
          t("Nota"),  t("1539"),      nulo(),   nulo(),     estado,
          descripcion};
}

inline std::filesystem::path escribe_bd(const CarpetaTemporal& carpeta, const std::string& nombre,
                                        const std::vector<telmora::TablaNueva>& tablas) {
  const auto ruta = carpeta / nombre;
  telmora::crea_base_datos_sqlite(ruta, tablas);
  return ruta;
}

}  // namespace prueba
