#include <gtest/gtest.h>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "duplicados.h"
#include "hoja_de_prueba.h"
#include "pintor.h"
#include "reescritura.h"
#include "superficie_imagen.h"

using namespace telmora;
using prueba::Atr;
using prueba::ConstructorBin;
using prueba::HojaDePrueba;
using prueba::i16le;
using prueba::i32le;
using prueba::V;

namespace {

Hoja carga(const std::filesystem::path& ruta) {
  return cargo_bin(ruta, TablaVekt{});
}

std::vector<Vertice> vertices_de(const Hoja& hoja, std::int32_t numero) {
  const auto v = hoja.vertices_de(hoja.entidad(numero));
  return {v.begin(), v.end()};
}

std::vector<Vertice> a_vertices(const std::vector<V>& v) {
  std::vector<Vertice> salida;
  for (const V& p : v) salida.push_back({p.x, p.y, p.z});
  return salida;
}

std::string codigo_de(const Hoja& hoja, std::int32_t numero) {
  return std::string(hoja.entidad(numero).cabecera.codigo_bruto());
}

const std::string kNulos5(5, '\0');

// A file larger than the limit cannot be written past it while the guard lives.
#ifndef _WIN32
class LimiteDeTamano {
 public:
  explicit LimiteDeTamano(std::uintmax_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previo_);
    rlimit limite = previo_;
    limite.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limite);
  }
  ~LimiteDeTamano() { setrlimit(RLIMIT_FSIZE, &previo_); }

 private:
  rlimit previo_{};
};
#endif

}  // namespace

TEST(Reescritura, CodigosYNombresDeSalida) {
  std::string codigo = "  12  ";
  completa_codigo(codigo);
  EXPECT_EQ(codigo, "12" + kNulos5);
  codigo = "ABCDEFGH";
  completa_codigo(codigo);
  EXPECT_EQ(codigo, "ABCDEFGH");

  EXPECT_EQ(nombre_de_salida("/d/hoja.bin", "_c.bin"), std::filesystem::path("/d/hoja_c.bin"));
  EXPECT_EQ(nombre_de_salida("/d/H.2.BIN", "_d.bin"), std::filesystem::path("/d/H.2_d.bin"));
  EXPECT_EQ(nombre_de_salida("/d/hoja", "_f.bin"), std::filesystem::path("/d/hoja_f.bin"));
}

TEST(Reescritura, ComprimirCopiaLasActivasCambiandoSoloElRellenoDelCodigo) {
  ConstructorBin b;
  b.c("  12   ", {{100, 200, 3}, {300, 400, 5}}, {{2, 200, "R1"}});
  b.t("TXT", {150, 250, 4}, "VEINTICUATRO CARACTERES", 250, 4, 9000);  // two pieces
  b.c("1234567", {{1, 2, 3}});
  HojaDePrueba hoja(b.contenido());
  const auto destino = comprimir(hoja.bin);
  EXPECT_EQ(destino, hoja.carpeta / "hoja_c.bin");

  std::string esperado = b.contenido();
  esperado.replace(2, 7, "12" + kNulos5);
  EXPECT_EQ(prueba::lee_bytes(destino), esperado);
  EXPECT_EQ(hoja.bytes(), b.contenido());
  EXPECT_EQ(carga(destino).texto(carga(destino).entidad(2)), "VEINTICUATRO CARACTERES");
}

TEST(Reescritura, ComprimirDejaFueraLasBorradas) {
  ConstructorBin b;
  b.c("100", {{1, 1, 1}}, {}, '\0')
      .c("200", {{2, 2, 2}})
      .t("TXT", {3, 3, 3}, "X", 1, 0, 0, {}, ' ');
  HojaDePrueba hoja(b.contenido());
  const Hoja copia = carga(comprimir(hoja.bin));
  ASSERT_EQ(copia.num_entidades(), 1);
  EXPECT_EQ(vertices_de(copia, 1), a_vertices({{2, 2, 2}}));

  ConstructorBin todas_borradas;
  todas_borradas.c("100", {{1, 1, 1}}, {}, '\0').c("100", {{1, 1, 1}}, {}, '*');
  HojaDePrueba vacia(todas_borradas.contenido());
  EXPECT_EQ(prueba::lee_bytes(comprimir(vacia.bin)), "");
}

TEST(Reescritura, ComprimirNoEscribeNadaSiLaEntradaEstaCorruptaOLaSalidaNoSePuedeCrear) {
  ConstructorBin b;
  b.c("100", {{1, 1, 1}}).bytes("X=basura");
  HojaDePrueba corrupta(b.contenido());
  EXPECT_THROW(comprimir(corrupta.bin), ErrorCorrupcion);
  EXPECT_FALSE(std::filesystem::exists(corrupta.carpeta / "hoja_c.bin"));

  ConstructorBin buena;
  buena.c("100", {{1, 1, 1}});
  HojaDePrueba hoja(buena.contenido());
  std::filesystem::create_directory(hoja.carpeta / "hoja_c.bin");  // the output cannot be placed
  try {
    comprimir(hoja.bin);
    FAIL() << "a failed write was reported as done";
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find("hoja_c.bin"), std::string::npos) << error.what();
  }
  EXPECT_EQ(hoja.bytes(), buena.contenido());
  // Nothing but the sheet, its tables and the folder that was in the way.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(hoja.carpeta.ruta()),
                          std::filesystem::directory_iterator()),
            4);
}

TEST(Reescritura, DosTextosNuevosAnadenDosEntidadesDe72Bytes) {
  ConstructorBin b;
  b.c("100", {{1, 1, 1}});
  HojaDePrueba hoja(b.contenido());
  Ajustes ajustes = hoja.abre().ajustes;
  NuevaEntidadTexto(ajustes, 440000.125, 4470000.25);
  NuevaEntidadTexto(ajustes, 440001, 4470002);

  const std::string bytes = hoja.bytes();
  ASSERT_EQ(bytes.size(), b.contenido().size() + 144);
  ConstructorBin esperado;
  esperado.cabecera('T', '=', "NuevoT", 0, 2);
  for (const std::int32_t valor : {44000012, 447000025, 0, 44000062, 447000075, 0, 20, 6, 1957})
    esperado.bytes(i32le(valor));
  esperado.bytes(i32le(44000012) + i32le(447000025) + i32le(0) + "Jd          ");
  EXPECT_EQ(bytes.substr(b.contenido().size(), 72), esperado.contenido());
  const Hoja recargada = carga(hoja.bin);
  ASSERT_EQ(recargada.num_entidades(), 3);
  EXPECT_EQ(recargada.texto(recargada.entidad(3)), "Jd");
  EXPECT_EQ(vertices_de(recargada, 3), a_vertices({{44000100, 447000200, 0}}));
}

#ifndef _WIN32
TEST(Reescritura, UnTextoQueNoCabeNoDejaNadaAMedias) {
  ConstructorBin b;
  b.c("100", {{1, 1, 1}});
  HojaDePrueba hoja(b.contenido());
  const Ajustes ajustes = hoja.abre().ajustes;
  try {
    LimiteDeTamano limite(b.contenido().size() + 30);
    NuevaEntidadTexto(ajustes, 10, 10);
    FAIL() << "a failed append was reported as done";
  } catch (const ErrorTelmora& error) {
    EXPECT_NE(std::string(error.what()).find(hoja.bin.string()), std::string::npos);
  }
  EXPECT_EQ(hoja.bytes(), b.contenido());
}
#endif

TEST(Reescritura, MarcaBorradosBorraLasCopiasDeUnaPosterior) {
  const std::vector<V> linea{{100, 100, 1}, {900, 900, 2}};
  ConstructorBin b;
  b.c("100", linea).c("200", {{5000, 5000, 0}}).c("100", linea);
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  EXPECT_EQ(marca_borrados(sesion, Duplicados(sesion, {})), 0);

  std::string esperado = b.contenido();
  esperado[1] = kMarcaBorrado;
  EXPECT_EQ(hoja.bytes(), esperado);
  EXPECT_FALSE(sesion.hoja.entidad(1).activa());
  EXPECT_TRUE(sesion.hoja.entidad(3).activa());
}

TEST(Reescritura, ReglasDe5099Y5108ParaElegirElElementoCortado) {
  // Two lines that share their middle segment; which one is cut, by their codes.
  const std::vector<V> primera{{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {0, 2000, 0}};
  const std::vector<V> segunda{{3000, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {3000, 2000, 0}};
  struct Caso {
    const char *codigo1, *codigo2;
    bool corta_la_primera;
  } casos[] = {{"5099", "1203", false}, {"1203", "5099", true}, {"5108", "1203", false},
               {"5108", "5099", true},  {"1203", "100", true},  {"100", "100", true}};
  for (const Caso& caso : casos) {
    ConstructorBin b;
    b.c(caso.codigo1, primera, {{1, 7, "A"}}).c(caso.codigo2, segunda, {{1, 8, "B"}});
    HojaDePrueba hoja(b.contenido());
    Sesion sesion = hoja.abre();
    EXPECT_EQ(marca_borrados(sesion, Duplicados(sesion, {})), 2) << caso.codigo1;

    // The cut element stays in the file, deleted; its two pieces follow at the end.
    const Hoja recargada = carga(hoja.bin);
    ASSERT_EQ(recargada.num_entidades(), 4) << caso.codigo1;
    const std::int32_t cortada = caso.corta_la_primera ? 1 : 2;
    EXPECT_FALSE(recargada.entidad(cortada).activa()) << caso.codigo1;
    EXPECT_TRUE(recargada.entidad(3 - cortada).activa()) << caso.codigo1;
    EXPECT_FALSE(sesion.hoja.entidad(cortada).activa());
    const auto& original = caso.corta_la_primera ? primera : segunda;
    EXPECT_EQ(vertices_de(recargada, 3), a_vertices({original[0], original[1]}));
    EXPECT_EQ(vertices_de(recargada, 4), a_vertices({original[2], original[3]}));
    const std::string codigo = caso.corta_la_primera ? caso.codigo1 : caso.codigo2;
    EXPECT_EQ(codigo_de(recargada, 4), codigo + std::string(7 - codigo.size(), '\0'));
    EXPECT_EQ(recargada.atributos_de(recargada.entidad(4))[0].n_registro,
              caso.corta_la_primera ? 7 : 8);
    EXPECT_EQ(recargada.entidad(4).rango.xmin, std::min(original[2].x, original[3].x));
    EXPECT_EQ(recargada.entidad(4).rango.ymax, 2000);
  }
}

TEST(Reescritura, UnElementoCortadoNoSeCortaDosVecesYLosVerticesSueltosNoSonPiezas) {
  ConstructorBin b;
  b.c("5099", {{50000, 0, 0}, {51000, 0, 0}, {51000, 3000, 0}});
  b.c("5099", {{49000, 2000, 0}, {52000, 2000, 0}, {52000, 2500, 0}});
  // Matched by both lines above (segments 1 and 3) and cut for each by the 5099 rule.
  b.c("1203", {{51000, 0, 0}, {50000, 0, 0}, {49000, 2000, 0}, {52000, 2000, 0}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  EXPECT_EQ(marca_borrados(sesion, Duplicados(sesion, {})), 1);
  const Hoja recargada = carga(hoja.bin);
  ASSERT_EQ(recargada.num_entidades(), 4);
  EXPECT_FALSE(recargada.entidad(3).activa());
  EXPECT_EQ(vertices_de(recargada, 4), a_vertices({{50000, 0, 0}, {49000, 2000, 0}}));
}

#ifndef _WIN32
TEST(Reescritura, SiLasPiezasNoCabenElElementoQuedaEnteroYElFicheroComoEstaba) {
  ConstructorBin b;
  b.c("100", {{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {0, 2000, 0}});
  b.c("100", {{3000, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {3000, 2000, 0}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const TablaSegmentos tabla = Duplicados(sesion, {});
  {
    LimiteDeTamano limite(b.contenido().size() + 40);
    EXPECT_THROW(marca_borrados(sesion, tabla), ErrorTelmora);
  }
  EXPECT_EQ(hoja.bytes(), b.contenido());
  EXPECT_TRUE(sesion.hoja.entidad(1).activa());
}
#endif

TEST(Reescritura, GrabaNuevoBinSinBorradasNiCopiasYConLoAnadido) {
  const std::vector<V> linea{{100, 100, 1}, {900, 900, 2}};
  const std::vector<V> l1{{0, 5000, 0}, {1000, 5000, 0}, {1000, 6000, 0}, {0, 7000, 0}};
  const std::vector<V> l2{{3000, 5000, 0}, {1000, 5000, 0}, {1000, 6000, 0}, {3000, 7000, 0}};
  ConstructorBin b;
  b.c("300", {{7, 7, 7}}, {}, '\0');      // deleted
  b.c("100", linea).c("  100  ", linea);  // the first repeats the second
  b.c("200", l1).c("200", l2);            // share a segment
  b.t("TXT", {50, 60, 0}, "UN TEXTO", 200, 0, 0, {{2, 100, ""}});
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  const TablaSegmentos tabla = Duplicados(sesion, {});
  NuevaEntidadTexto(sesion.ajustes, 1, 2);

  auto grabada = [&] {
    const auto destino = graba_nuevo_bin(sesion);
    EXPECT_EQ(destino, hoja.carpeta / "hoja_d.bin");
    const Hoja copia = carga(destino);
    std::vector<std::vector<Vertice>> lineas;
    for (std::int32_t n = 1; n <= copia.num_entidades(); ++n) {
      EXPECT_TRUE(copia.entidad(n).activa());
      lineas.push_back(vertices_de(copia, n));
    }
    return lineas;
  };
  const std::vector<Vertice> texto{{50, 60, 0}}, nuevo{{100, 200, 0}};
  EXPECT_EQ(grabada(), (std::vector<std::vector<Vertice>>{a_vertices(linea), a_vertices(l1),
                                                          a_vertices(l2), texto, nuevo}));
  EXPECT_EQ(codigo_de(carga(hoja.carpeta / "hoja_d.bin"), 1), "100" + std::string(4, '\0'));

  // After processing, the first line of the pair is cut: its pieces come after the new text.
  marca_borrados(sesion, tabla);
  EXPECT_EQ(grabada(), (std::vector<std::vector<Vertice>>{a_vertices(linea), a_vertices(l2), texto,
                                                          nuevo, a_vertices({l1[0], l1[1]}),
                                                          a_vertices({l1[2], l1[3]})}));
}

TEST(Reescritura, BorrarLoQueSeDibujoEnLaVentana) {
  ConstructorBin b;
  b.c("100", {{1000, 1000, 0}, {2000, 2000, 0}});      // in the view
  b.c("100", {{90000, 90000, 0}, {95000, 95000, 0}});  // outside it
  b.c("200", {{1500, 1000, 0}, {1900, 1200, 0}}, {}, ' ');
  b.c("200", {{1500, 1500, 0}, {1800, 1200, 0}});  // in the view
  HojaDePrueba hoja(b.contenido());
  Sesion sesion = hoja.abre();
  Vista vista;
  vista.xmin = 0, vista.ymin = 0, vista.xmax = 100, vista.ymax = 100, vista.factor = 2;
  SuperficieImagen superficie(200, 200);
  Pintor pintor(sesion);
  pintor.leo_bin_pinto(superficie, vista, Visualizacion{});

  EXPECT_EQ(borra_entidades_en_ventana(sesion), 2);
  const Hoja recargada = carga(hoja.bin);
  EXPECT_FALSE(recargada.entidad(1).activa());
  EXPECT_TRUE(recargada.entidad(2).activa());
  EXPECT_FALSE(recargada.entidad(4).activa());
  EXPECT_EQ(sesion.hoja.fila(4).activo, 0);
  EXPECT_EQ(hoja.bytes().size(), b.contenido().size());
}
