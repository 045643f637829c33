#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "diagnostico.h"
#include "funciones.h"
#include "hoja.h"
#include "marcador_borrados.h"

using namespace telmora;
using prueba::Atr;
using prueba::ConstructorBin;
using prueba::V;

namespace {

const TablaVekt& tabla() {
  static const TablaVekt t = interpreta_vekt_tab(prueba::tabla_basica(), "Vekt.tab");
  return t;
}

Hoja carga(const std::string& bytes) {
  return cargo_bin_bytes(Lista<char>(bytes.begin(), bytes.end()), tabla());
}

Corrupcion corrupcion_de(const std::string& bytes) {
  try {
    carga(bytes);
  } catch (const ErrorCorrupcion& error) {
    return error.corrupcion();
  }
  ADD_FAILURE() << "the file loaded without a corruption error";
  return {};
}

ConstructorBin hoja_mixta() {
  ConstructorBin b;
  b.c("100", {{100, 200, 30}, {300, 400, 50}}, {{2, 200, "R1"}})
      .t("TXT", {500, 600, 7}, "UN TEXTO LARGO DE DOS", 250, 4, 9000)
      .c("999", {{10, 20, 0}}, {}, '\0')
      .c("200", {{0, 0, 1}, {100, 0, 1}, {100, 100, 1}, {0, 0, 1}});
  return b;
}

}  // namespace

TEST(CargaHoja, ReparteLasEntidadesEnLosArraysCYTConSuIndice) {
  const ConstructorBin b = hoja_mixta();
  const Hoja hoja = carga(b.contenido());
  ASSERT_EQ(hoja.num_entidades(), 4);
  ASSERT_EQ(hoja.c.size(), 3u);
  ASSERT_EQ(hoja.t.size(), 1u);

  // Index rows: position, range, point count, active flag, kind and ordinal within the kind.
  const FilaIndice& texto = hoja.fila(2);
  EXPECT_EQ(texto.posicion, b.inicios()[1]);
  EXPECT_EQ(texto.tipo, kIndiceTipoT);
  EXPECT_EQ(texto.ordinal, 1);
  EXPECT_EQ(texto.num_puntos, 3);
  const FilaIndice& borrada = hoja.fila(3);
  EXPECT_EQ(borrada.activo, 0);
  EXPECT_EQ(borrada.tipo, kIndiceTipoC);
  EXPECT_EQ(borrada.ordinal, 2);
  EXPECT_EQ(hoja.fila(4).posicion, b.inicios()[3]);
  EXPECT_EQ(hoja.fila(4).xmax, 100);

  // Entities with their blocks and code rows.
  const Entidad& linea = hoja.entidad(1);
  EXPECT_EQ(linea.posicion_tab, 1);
  const auto vertices = hoja.vertices_de(linea);
  ASSERT_EQ(vertices.size(), 2u);
  EXPECT_EQ(vertices[1], (Vertice{300, 400, 50}));
  const auto atributos = hoja.atributos_de(linea);
  ASSERT_EQ(atributos.size(), 1u);
  EXPECT_EQ(atributos[0].id_tabla, 2);
  EXPECT_EQ(atributos[0].posicion_tab, 2);  // record 200 is a code of the table
  EXPECT_EQ(hoja.entidad(3).posicion_tab, 0);

  const Entidad& t = hoja.entidad(2);
  EXPECT_EQ(hoja.texto(t), "UN TEXTO LARGO DE DOS");
  EXPECT_EQ(hoja.rango_de(t).altura_texto(), 250);
  EXPECT_EQ(hoja.rango_de(t).justificacion_texto(), 4);
  EXPECT_EQ(hoja.rango_de(t).angulo_texto(), 9000);
  EXPECT_EQ(hoja.vertices_de(t)[0], (Vertice{500, 600, 7}));

  // The file range covers every entity, deleted ones included.
  EXPECT_EQ(hoja.rango.xmin, 0);
  EXPECT_EQ(hoja.rango.xmax, 500);
  EXPECT_EQ(hoja.rango.zmax, 50);
}

TEST(CargaHoja, TextosYClasesDeElemento) {
  ConstructorBin b;
  b.t("TXT", {1, 1, 0}, "");
  b.cabecera('T', '=', "TXT", 0, 3).bytes(std::string(36, '\0') + std::string(12, '\0'));
  b.bytes(std::string("AB\0CDEFGHIJK", 12) + "SEGUNDO TROZ");
  b.cabecera('T', '=', "TXT", 0, 1).bytes(std::string(48, '\0'));
  const Hoja hoja = carga(b.contenido());
  EXPECT_EQ(hoja.texto(hoja.t[0]), "");
  EXPECT_EQ(hoja.texto(hoja.t[1]), "AB");  // a NUL in the first piece ends the text
  EXPECT_EQ(hoja.texto(hoja.t[2]), "");    // point count 1: no pieces

  EXPECT_EQ(clase_elemento(std::vector<Vertice>{{1, 1, 0}}), ClaseElemento::puntual);
  EXPECT_EQ(clase_elemento(std::vector<Vertice>{{1, 1, 0}, {1, 1, 9}}), ClaseElemento::cerrado);
  EXPECT_EQ(clase_elemento(std::vector<Vertice>{{1, 1, 0}, {2, 1, 0}}), ClaseElemento::abierto);
}

TEST(CargaHoja, FicheroVacioYDoscientosCincuentaYCincoAtributos) {
  const Hoja vacia = carga("");
  EXPECT_EQ(vacia.num_entidades(), 0);
  EXPECT_EQ(vacia.rango.xmin, RangoFichero::kMinimoInicial);
  EXPECT_EQ(vacia.rango.xmax, 0);

  std::vector<Atr> atributos(255, Atr{1, 7, "abc"});
  ConstructorBin b;
  b.c("100", {{1, 2, 3}}, atributos).c("200", {{4, 5, 6}});
  const Hoja hoja = carga(b.contenido());
  ASSERT_EQ(hoja.num_entidades(), 2);
  EXPECT_EQ(hoja.fila(2).posicion, 48 + 12 + 12 * 255);
  EXPECT_EQ(hoja.atributos_de(hoja.c[0]).size(), 255u);
}

TEST(CargaHoja, TipoErroneoDaLaPosicionPreviaYLaSiguienteValida) {
  ConstructorBin b;
  b.c("100", {{1, 2, 3}}).c("100", {{4, 5, 6}});
  const std::int64_t previa = b.inicios()[1];
  const std::int64_t mala = static_cast<std::int64_t>(b.contenido().size());
  b.bytes("XXXXX");
  const std::int64_t siguiente = static_cast<std::int64_t>(b.contenido().size());
  b.c("100", {{7, 8, 9}});
  const Corrupcion c = corrupcion_de(b.contenido());
  EXPECT_EQ(c.numero_entidad, 3);
  EXPECT_EQ(c.posicion, mala);
  EXPECT_EQ(c.previa, previa);
  EXPECT_EQ(c.siguiente_valida, siguiente);
  EXPECT_EQ(c.mensaje(),
            "Fichero Corrupto en la entidad__: 3\nPosición errónea en el fichero___: " +
                std::to_string(mala) +
                "\nPosicion anterior_____________: " + std::to_string(previa) +
                "\nPosicion válida siguiente_______: " + std::to_string(siguiente));
}

TEST(CargaHoja, BasuraTrasLaUltimaEntidadSinNingunaValidaDespues) {
  ConstructorBin b;
  b.c("100", {{1, 2, 3}}).bytes("C-garbage T");
  const Corrupcion c = corrupcion_de(b.contenido());
  EXPECT_EQ(c.posicion, 60);
  EXPECT_EQ(c.siguiente_valida, static_cast<std::int64_t>(b.contenido().size()));
}

TEST(CargaHoja, EntidadesIlegiblesSeDiagnosticanSinLeerFueraDelFichero) {
  // Zero and negative point counts would make the walk stand still or go backwards.
  for (const std::int16_t puntos : {0, -1, -32768}) {
    ConstructorBin b;
    b.c("100", {{1, 2, 3}}).cabecera('C', '=', "100", 0, puntos).bytes(std::string(60, '\0'));
    const Corrupcion c = corrupcion_de(b.contenido());
    EXPECT_EQ(c.posicion, 60);
    EXPECT_NE(c.motivo.find("puntos"), std::string::npos);
  }
  // An entity cut by the end of the file, in its header or in its blocks.
  ConstructorBin b;
  b.c("100", {{1, 2, 3}}, {{1, 1, ""}});
  const std::string entero = b.contenido();
  for (std::size_t largo = 1; largo < entero.size(); ++largo) {
    const Corrupcion c = corrupcion_de(entero.substr(0, largo));
    EXPECT_EQ(c.posicion, 0);
    EXPECT_FALSE(c.motivo.empty());
  }
}

TEST(CargaHoja, ElDiagnosticoDeUnTextoPrevioListaSusDatos) {
  ConstructorBin b;
  b.t("TXT", {11, 22, 33}, "HOLA", 200, 1, 0, {{2, 100, "RR"}}).bytes("??");
  const Corrupcion c = corrupcion_de(b.contenido());
  EXPECT_NE(c.detalle.find("Cabecera: T= TXT 2 1"), std::string::npos);
  EXPECT_NE(c.detalle.find("Coordenadas: 11 22 33"), std::string::npos);
  EXPECT_NE(c.detalle.find("\nTexto: HOLA\nAtributos: 2 100 RR\nPosicion Válida siguiente : "),
            std::string::npos)
      << c.detalle;

  // Each piece is cleaned on its own, as the element listing shows them: the NULs that end
  // the first piece do not hide the second.
  ConstructorBin dos;
  const std::string texto = std::string("AB\0\0\0\0\0\0\0\0\0\0", 12) + "CD";
  dos.t("TXT", {1, 2, 3}, texto, 200, 1, 0, {{2, 100, "RR"}, {2, 7, ""}}).bytes("??");
  EXPECT_NE(corrupcion_de(dos.contenido())
                .detalle.find("\nTexto: AB\nCD\nAtributos: 2 100 RR\n2 7 \nPosicion Válida"),
            std::string::npos);
  ConstructorBin sin_atributos;
  sin_atributos.t("TXT", {1, 2, 3}, "HOLA").bytes("??");
  EXPECT_NE(corrupcion_de(sin_atributos.contenido()).detalle.find("\nAtributos: \nPosicion"),
            std::string::npos);
}

TEST(Resincronizacion, SoloUnCoTSeguidoDeIgualEsUnInicioValido) {
  const std::string bytes = std::string("C=") + "xxC-T?T=";
  EXPECT_EQ(leo_byte_a_byte(bytes, 0), 8);
  EXPECT_EQ(leo_byte_a_byte(bytes, 8), static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(leo_byte_a_byte("abcC", 0), 4);  // a C in the last byte has no state byte
}

TEST(AnulaEntidad, CambiaSoloElByteDeEstadoEnFicheroIndiceYMemoria) {
  prueba::CarpetaTemporal carpeta;
  const ConstructorBin b = hoja_mixta();
  const auto ruta = carpeta.escribe("hoja.bin", b.contenido());
  Hoja hoja = cargo_bin(ruta, tabla());

  anula_entidad(hoja, 2);
  const std::string despues = prueba::lee_bytes(ruta);
  ASSERT_EQ(despues.size(), b.contenido().size());
  std::size_t diferentes = 0;
  for (std::size_t i = 0; i < despues.size(); ++i) diferentes += despues[i] != b.contenido()[i];
  EXPECT_EQ(diferentes, 1u);
  EXPECT_EQ(despues[static_cast<std::size_t>(b.inicios()[1]) + 1], kMarcaBorrado);
  EXPECT_EQ(hoja.fila(2).activo, 0);
  EXPECT_FALSE(hoja.activa(2));

  // Again on a deleted entity, and outside the sheet: nothing else changes.
  anula_entidad(hoja, 2);
  anula_entidad(hoja, 0);
  anula_entidad(hoja, 99);
  EXPECT_EQ(prueba::lee_bytes(ruta), despues);
  // The reloaded sheet sees the deletion.
  EXPECT_FALSE(cargo_bin(ruta, tabla()).activa(2));
}

// A file changed since the sheet was loaded is not written: its size or modification time tell
// at once, and when both were kept, the header read at the entity's place does. The file, the
// index and the loaded copy stay as they were.
TEST(AnulaEntidad, NoEscribeSiElFicheroCambioDesdeQueSeCargo) {
  prueba::CarpetaTemporal carpeta;
  const std::string original = hoja_mixta().contenido();
  const auto ruta = carpeta.escribe("hoja.bin", original);
  Hoja hoja = cargo_bin(ruta, tabla());
  const auto hora = std::filesystem::last_write_time(ruta);
  // The file rewritten with these bytes at that modification time.
  auto refusa = [&](const std::string& en_disco, std::filesystem::file_time_type cuando,
                    const char* porque) {
    carpeta.escribe("hoja.bin", en_disco);
    std::filesystem::last_write_time(ruta, cuando);
    try {
      anula_entidad(hoja, 2);
      ADD_FAILURE() << "written over a changed file";
    } catch (const ErrorHojaCambiada& error) {
      EXPECT_NE(std::string(error.what()).find(porque), std::string::npos) << error.what();
    }
    EXPECT_EQ(prueba::lee_bytes(ruta), en_disco);
    EXPECT_TRUE(hoja.activa(2));
    EXPECT_EQ(hoja.fila(2).activo, 1);
  };
  refusa(std::string(40, 'z'), hora, "ocupa 40 bytes");
  std::string otra = original;
  otra[static_cast<std::size_t>(hoja.fila(2).posicion) + 3] ^= 1;
  refusa(otra, hora + std::chrono::seconds(2), "se ha vuelto a escribir");
  // Rewritten with the same size and time: another entity of the same kind where the second
  // one was (its code, counts or state byte aside) is not the entity loaded.
  const auto inicio = static_cast<std::size_t>(hoja.fila(2).posicion);
  for (const std::size_t byte : {inicio + 3, inicio + 9, inicio + 10}) {
    otra = original;
    otra[byte] = static_cast<char>(otra[byte] ^ 1);
    refusa(otra, hora, "no está la misma entidad en la posición");
  }
  // Deleted on disk in the meantime, it is still the same entity: marked again.
  std::string borrada = original;
  borrada[inicio + 1] = '*';
  carpeta.escribe("hoja.bin", borrada);
  std::filesystem::last_write_time(ruta, hora);
  anula_entidad(hoja, 2);
  EXPECT_EQ(prueba::lee_bytes(ruta)[inicio + 1], '\0');
}

TEST(BuscaEnIndice, DevuelvePosicionYNumeroDeUnOrdinalDeSuTipo) {
  const ConstructorBin b = hoja_mixta();
  const Hoja hoja = carga(b.contenido());
  std::int32_t posicion = -1, numero = -1;
  busca_en_indice(hoja, 3, kIndiceTipoC, posicion, numero);
  EXPECT_EQ(numero, 4);
  EXPECT_EQ(posicion, b.inicios()[3]);
  busca_en_indice(hoja, 2, kIndiceTipoT, posicion, numero);
  EXPECT_EQ(posicion, 0);
  EXPECT_EQ(numero, 4);  // unchanged when there is none
}

TEST(CargaHoja, UnFicheroQueNoExisteSeNombra) {
  try {
    cargo_bin("/no/existe/hoja.bin", tabla());
    FAIL();
  } catch (const ErrorFicheroInexistente& error) {
    EXPECT_STREQ(error.what(), "No existe el fichero :/no/existe/hoja.bin");
  }
}

namespace {

// Two short lines, a line of 6,000 vertices (more than a run may leap over), and a third short
// line, with the new vertices and range of each short one: z raised by 7.
struct Reescritura {
  ConstructorBin b;
  std::vector<std::vector<Vertice>> nuevos;
  std::vector<VerticesNuevos> cambios;

  Reescritura() {
    std::vector<V> largo;
    for (int i = 0; i < 6000; ++i) largo.push_back({i, 0, 1});
    b.c("100", {{0, 0, 1}, {10, 0, 2}})
        .c("100", {{10, 0, 2}, {20, 5, 3}})
        .c("200", largo)
        .c("100", {{20, 5, 3}, {30, 5, 4}});
  }
  void prepara(const Hoja& hoja) {
    nuevos.clear();
    for (const std::int32_t n : {1, 2, 4}) {
      const auto v = hoja.vertices_de(hoja.entidad(n));
      nuevos.emplace_back(v.begin(), v.end());
      for (Vertice& w : nuevos.back()) w.z += 7;
    }
    cambios.clear();
    for (const std::int32_t n : {4, 1, 2}) {
      const auto& v = nuevos[n == 4 ? 2 : std::size_t(n - 1)];
      Rango rango = hoja.rango_de(hoja.entidad(n));
      calcula_rango_entidad(rango, v);
      cambios.push_back({n, rango, v});
    }
  }
};

std::vector<std::int32_t> zetas(const Hoja& hoja, std::int32_t n) {
  std::vector<std::int32_t> z;
  for (const Vertice& v : hoja.vertices_de(hoja.entidad(n))) z.push_back(v.z);
  return z;
}

}  // namespace

// Elements given in any order are written in file order; the long line between them is left as
// it was, and the file, the index and the loaded copy agree.
TEST(ReescribeVertices, EnElOrdenDelFichero) {
  prueba::CarpetaTemporal carpeta;
  Reescritura r;
  const auto ruta = carpeta.escribe("hoja.bin", r.b.contenido());
  Hoja hoja = cargo_bin(ruta, tabla());
  r.prepara(hoja);
  std::size_t oidos = 0;
  MarcadorBorrados marcador(hoja, [&](std::size_t n) { oidos = n; });
  marcador.reescribe_vertices(r.cambios);
  marcador.confirma();
  EXPECT_EQ(oidos, 3u);
  const Hoja recargada = cargo_bin(ruta, tabla());
  for (const std::int32_t n : {1, 2, 3, 4}) {
    EXPECT_EQ(zetas(recargada, n), zetas(hoja, n)) << n;
    EXPECT_EQ(recargada.rango_de(recargada.entidad(n)), hoja.rango_de(hoja.entidad(n))) << n;
    EXPECT_EQ(recargada.fila(n).zmax, hoja.fila(n).zmax) << n;
  }
  EXPECT_EQ(zetas(hoja, 1), (std::vector<std::int32_t>{8, 9}));
  EXPECT_EQ(zetas(hoja, 4), (std::vector<std::int32_t>{10, 11}));
  EXPECT_EQ(hoja.fila(4).zmin, 10);
  EXPECT_EQ(zetas(hoja, 3).front(), 1);
  const auto inicio_largo = std::size_t(r.b.inicios()[2]);
  const auto fin_largo = std::size_t(r.b.inicios()[3]);
  EXPECT_EQ(prueba::lee_bytes(ruta).substr(inicio_largo, fin_largo - inicio_largo),
            r.b.contenido().substr(inicio_largo, fin_largo - inicio_largo));
}

// The last line was replaced on disk since the sheet was loaded (size and time kept): nothing
// is written, the error says what changed, and the loaded copy keeps its vertices.
TEST(ReescribeVertices, NadaSeEscribeSiUnaEntidadCambio) {
  prueba::CarpetaTemporal carpeta;
  Reescritura r;
  const auto ruta = carpeta.escribe("hoja.bin", r.b.contenido());
  Hoja hoja = cargo_bin(ruta, tabla());
  r.prepara(hoja);
  const auto hora = std::filesystem::last_write_time(ruta);
  std::string otra = r.b.contenido();
  otra[std::size_t(r.b.inicios()[3]) + 3] = '9';
  carpeta.escribe("hoja.bin", otra);
  std::filesystem::last_write_time(ruta, hora);
  try {
    MarcadorBorrados marcador(hoja);
    marcador.reescribe_vertices(r.cambios);
    marcador.confirma();
    ADD_FAILURE() << "the changed entity was rewritten";
  } catch (const ErrorHojaCambiada& error) {
    EXPECT_NE(std::string(error.what()).find("no está la misma entidad"), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(prueba::lee_bytes(ruta), otra);
  for (const std::int32_t n : {1, 2, 4})
    EXPECT_EQ(zetas(hoja, n), zetas(carga(r.b.contenido()), n));
}

// A sheet loaded from its file reads its headers, ranges, vertices and texts where they lie
// (mapped, on a local disk) and holds just what a load of the same bytes read into memory holds.
// A change made to the loaded copy does not reach the file; the file cut short by another program
// under it reads as zeros, without ending the program.
TEST(CargaHoja, DesdeElFicheroComoDesdeSusBytesSinTocarlo) {
  std::mt19937 azar(5);
  auto entero = [&](int desde, int hasta) {
    return std::uniform_int_distribution<int>(desde, hasta)(azar);
  };
  ConstructorBin b;
  const char* const codigos[] = {"100", "200", "300", "999", "TXT"};
  for (int i = 0; i < 3000; ++i) {
    std::vector<Atr> atributos;
    for (int k = entero(0, 2); k > 0; --k) {
      atributos.push_back({std::int16_t(entero(1, 2)), entero(0, 400), "R" + std::to_string(k)});
    }
    const std::string codigo = codigos[entero(0, 4)];
    if (entero(0, 4) == 0) {
      b.t(codigo, {entero(0, 1 << 30), entero(0, 1 << 30), entero(-99, 99)},
          std::string(std::size_t(entero(0, 40)), char('A' + entero(0, 25))), 200, 0, 0, atributos);
    } else {
      std::vector<V> vertices;
      for (int k = entero(1, 30); k > 0; --k) {
        vertices.push_back({entero(0, 1 << 30), entero(0, 1 << 30), entero(-99, 99)});
      }
      b.c(codigo, vertices, atributos, entero(0, 9) == 0 ? '\0' : '=');
    }
  }
  prueba::CarpetaTemporal carpeta;
  const auto ruta = carpeta.escribe("hoja.bin", b.contenido());
  Hoja del_fichero = cargo_bin(ruta, tabla());
  const Hoja leida = carga(b.contenido());
#if defined(__linux__)
  EXPECT_TRUE(del_fichero.bytes.mapeada());
#endif
  ASSERT_EQ(del_fichero.num_entidades(), leida.num_entidades());
  EXPECT_TRUE(
      std::equal(del_fichero.indice.begin(), del_fichero.indice.end(), leida.indice.begin()));
  for (std::int32_t n = 1; n <= leida.num_entidades(); ++n) {
    const Entidad &a = del_fichero.entidad(n), &e = leida.entidad(n);
    ASSERT_EQ(del_fichero.cabecera_de(a).codigo_bruto(), leida.cabecera_de(e).codigo_bruto()) << n;
    ASSERT_EQ(del_fichero.rango_de(a), leida.rango_de(e)) << n;
    ASSERT_EQ(a.posicion_tab, e.posicion_tab) << n;
    ASSERT_TRUE(std::ranges::equal(del_fichero.vertices_de(a), leida.vertices_de(e))) << n;
    ASSERT_EQ(del_fichero.bytes_texto(a), leida.bytes_texto(e)) << n;
    const auto atributos = del_fichero.atributos_de(a), otros = leida.atributos_de(e);
    ASSERT_EQ(atributos.size(), otros.size()) << n;
    for (std::size_t k = 0; k < atributos.size(); ++k) {
      ASSERT_EQ(atributos[k].n_registro, otros[k].n_registro) << n;
      ASSERT_EQ(atributos[k].posicion_tab, otros[k].posicion_tab) << n;
    }
  }
  del_fichero.vertices_de(del_fichero.entidad(1))[0].x = 7;
  del_fichero.cabecera_de(del_fichero.entidad(2)).estado = 'x';
  del_fichero.rango_de(del_fichero.entidad(2)).zmax = 7;
  EXPECT_EQ(prueba::lee_bytes(ruta), b.contenido());
  // A copy of the sheet holds its own bytes: a change of either is not seen by the other, and
  // the file cut short does not reach the copy.
  Hoja copia = del_fichero;
  copia.rango_de(copia.entidad(2)).zmax = 8;
  EXPECT_EQ(del_fichero.rango_de(del_fichero.entidad(2)).zmax, 7);
  EXPECT_EQ(copia.cabecera_de(copia.entidad(2)).estado, 'x');

  // A mapped sheet cut short under its mapping reads zeros there (a sheet read into memory, as
  // on Windows, keeps its bytes).
  std::filesystem::resize_file(ruta, 0);
  if (del_fichero.bytes.mapeada()) {
    std::int64_t suma = 0;
    const Entidad& ultima = del_fichero.entidad(del_fichero.num_entidades());
    for (const Vertice& v : del_fichero.vertices_de(ultima)) suma += std::abs(v.x) + std::abs(v.y);
    suma += static_cast<std::int64_t>(del_fichero.texto(ultima).size());
    EXPECT_EQ(suma, 0);
  }
  const Entidad &suya = copia.entidad(copia.num_entidades()),
                &leida_ultima = leida.entidad(leida.num_entidades());
  EXPECT_EQ(copia.cabecera_de(suya).codigo_bruto(), leida.cabecera_de(leida_ultima).codigo_bruto());
  EXPECT_EQ(copia.rango_de(suya), leida.rango_de(leida_ultima));
  EXPECT_TRUE(std::ranges::equal(copia.vertices_de(suya), leida.vertices_de(leida_ultima)));
  EXPECT_EQ(copia.texto(suya), leida.texto(leida_ultima));
}
