// Changes of a sheet in place under failures, crashes, interruptions and a second writer: the
// file always reads as before the change or as after it, the loaded copy agrees with it, and a
// second writer is refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <stdexcept>

#include "carpeta_temporal.h"
#include "constructor_bin.h"
#include "diario.h"
#include "funciones.h"
#include "marcador_borrados.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

// The test hook for one block of a test.
class Gancho {
 public:
  explicit Gancho(GanchoDisco gancho) { pon_gancho_disco(std::move(gancho)); }
  ~Gancho() { pon_gancho_disco({}); }
};

// A generated sheet and the changes of one run on it: deletions, rewritten vertices, replaced
// elements and appended ones, in an order mixed as the tools mix them.
struct Caso {
  std::string antes, despues;  // the file before the change, and as the change leaves it
  std::vector<std::int32_t> anuladas;
  std::vector<std::pair<std::int32_t, std::vector<Vertice>>> movidas;
  std::vector<std::pair<std::int32_t, std::string>> sustituidas;  // 0: only appended

  explicit Caso(unsigned semilla) {
    std::mt19937 azar(semilla);
    auto entero = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
    ConstructorBin b;
    std::vector<std::vector<V>> lineas;
    const int entidades = entero(30, 60);
    for (int i = 0; i < entidades; ++i) {
      if (entero(0, 5) == 0) {
        b.t("TXT", {entero(0, 9999), entero(0, 9999), 0}, "T" + std::to_string(i));
        lineas.emplace_back();
        continue;
      }
      std::vector<V> v;
      for (int k = entero(1, 9); k > 0; --k) v.push_back({entero(0, 9999), entero(0, 9999), k});
      b.c(entero(0, 1) ? "100" : "200", v,
          entero(0, 3) ? std::vector<prueba::Atr>{} : std::vector<prueba::Atr>{{2, 200, "R"}});
      lineas.push_back(v);
    }
    antes = despues = b.contenido();
    std::string anadido;
    for (int n = 1; n <= entidades; ++n) {
      const auto inicio = static_cast<std::size_t>(b.inicios()[std::size_t(n - 1)]);
      const auto& v = lineas[std::size_t(n - 1)];
      const int que = entero(0, 5);
      if (que == 0) {
        anuladas.push_back(n);
        despues[inicio + 1] = kMarcaBorrado;
      } else if (que == 1 && !v.empty()) {
        std::vector<Vertice> nuevos;
        for (const V& p : v) nuevos.push_back({p.x + 1, p.y, p.z * 7});
        Rango rango;
        calcula_rango_entidad(rango, nuevos);
        std::string bloque;
        escribe_rango(bloque, rango);
        despues.replace(inicio + 12, 24, bloque.substr(0, 24));  // the last three values stay
        bloque.clear();
        for (const Vertice& p : nuevos) escribe_vertice(bloque, p);
        despues.replace(inicio + 48, bloque.size(), bloque);
        movidas.emplace_back(n, nuevos);
      } else if (que == 2) {
        ConstructorBin nueva;
        nueva.c("300", {{n, n, n}, {n + 5, n, n}});
        sustituidas.emplace_back(entero(0, 1) ? n : 0, nueva.contenido());
        if (sustituidas.back().first != 0) despues[inicio + 1] = kMarcaBorrado;
        anadido += nueva.contenido();
      }
    }
    despues += anadido;
  }

  // Runs the change on a loaded copy of the file.
  void aplica(Hoja& hoja) const {
    MarcadorBorrados marcador(hoja);
    std::size_t a = 0, m = 0, s = 0;
    while (a < anuladas.size() || m < movidas.size() || s < sustituidas.size()) {
      if (a < anuladas.size()) marcador.anula(anuladas[a++]);
      if (m < movidas.size()) {
        const auto& [n, v] = movidas[m++];
        Rango rango = hoja.rango_de(hoja.entidad(n));
        calcula_rango_entidad(rango, v);
        marcador.reescribe_vertices(n, rango, v);
      }
      if (s < sustituidas.size()) {
        marcador.sustituye(sustituidas[s].first, sustituidas[s].second);
        ++s;
      }
    }
    marcador.confirma();
  }
};

// Everything the loaded copy holds of its first `cuantas` entities and their index rows. Whether
// the copy holds an entity active is its index's: the state byte of a mapped copy's header shows
// what a writer has put in the file since.
std::string copia(const Hoja& hoja, std::int32_t cuantas) {
  std::string bytes;
  for (std::int32_t n = 1; n <= cuantas; ++n) {
    const Entidad& e = hoja.entidad(n);
    const FilaIndice& f = hoja.fila(n);
    Cabecera cabecera = hoja.cabecera_de(e);
    cabecera.estado = hoja.activa(n) ? kEstadoActivo : kMarcaBorrado;
    escribe_cabecera(bytes, cabecera);
    escribe_rango(bytes, hoja.rango_de(e));
    for (const Vertice& v : hoja.vertices_de(e)) escribe_vertice(bytes, v);
    bytes += std::to_string(f.activo) + "," + std::to_string(f.xmin) + "," +
             std::to_string(f.zmax) + ";";
  }
  return bytes;
}

Hoja carga(const std::filesystem::path& ruta) {
  return cargo_bin(ruta, TablaVekt{});
}

enum class Modo {
  falla_una,    // the Nth operation fails, as a disk that fails once
  falla_desde,  // the Nth operation and every later one fail: the disk is gone, or the
                // process died there; the next open finds what was left
  lanza,        // an exception of the caller escapes at the Nth operation (a cancelled run)
};

}  // namespace

// Every operation of a change made to fail in turn, on generated sheets, with batches small
// enough that the change takes several. The loaded copy is the file mapped where the system
// allows it, whose pages show the file's later writes until the copy writes them itself: the
// copy's previous vertices must be kept before the file is written, or an undo puts back the new
// ones.
TEST(CambioAtomico, CadaFalloOInterrupcionDejaLaHojaComoAntesOComoDespues) {
  prueba::CarpetaTemporal carpeta;
  const auto ruta = carpeta / "hoja.bin";
  for (const unsigned semilla : {1u, 2u, 3u}) {
    const Caso caso(semilla);
    const std::size_t lote = caso.despues.size() / 8;
    std::size_t operaciones = 0;
    carpeta.escribe("hoja.bin", caso.antes);
    {
      Hoja hoja = carga(ruta);
      Gancho cuenta({[&](OperacionDisco, const std::filesystem::path&) {
                       ++operaciones;
                       return false;
                     },
                     lote});
      caso.aplica(hoja);
      EXPECT_TRUE(copia(hoja, hoja.num_entidades()) == copia(carga(ruta), hoja.num_entidades()));
    }
    ASSERT_EQ(prueba::lee_bytes(ruta), caso.despues) << semilla;
    ASSERT_GT(operaciones, 12u) << semilla;
    std::printf("hoja %u: %zu operaciones, cada una fallida, sin disco desde ella y cancelada\n",
                semilla, operaciones);

    for (const Modo modo : {Modo::falla_una, Modo::falla_desde, Modo::lanza}) {
      bool ya_despues = false;
      for (std::size_t n = 1; n <= operaciones; ++n) {
        SCOPED_TRACE("semilla " + std::to_string(semilla) + ", modo " + std::to_string(int(modo)) +
                     ", operación " + std::to_string(n));
        carpeta.escribe("hoja.bin", caso.antes);
        Hoja hoja = carga(ruta);
#if defined(__linux__)
        ASSERT_TRUE(hoja.bytes.mapeada());
#endif
        const std::int32_t n_cargadas = hoja.num_entidades();
        const std::string cargada = copia(hoja, n_cargadas);
        std::size_t vistas = 0;
        bool fallo = false;
        {
          Gancho gancho({[&](OperacionDisco, const std::filesystem::path&) {
                           ++vistas;
                           if (modo == Modo::lanza) {
                             if (vistas == n) throw std::runtime_error("cancelado");
                             return false;
                           }
                           return modo == Modo::falla_una ? vistas == n : vistas >= n;
                         },
                         lote});
          try {
            caso.aplica(hoja);
          } catch (const ErrorTelmora& error) {
            fallo = true;
            EXPECT_NE(modo, Modo::lanza);
            EXPECT_NE(std::string(error.what()).find(carpeta.ruta().string()), std::string::npos);
          } catch (const std::runtime_error&) {
            fallo = true;
            EXPECT_EQ(modo, Modo::lanza);
          }
        }
        if (modo != Modo::falla_desde) {
          // Undone at once: nothing is left for the next open.
          EXPECT_FALSE(std::filesystem::exists(ruta_diario(ruta)));
        } else if (std::filesystem::exists(ruta_diario(ruta))) {
          EXPECT_TRUE(fallo);
          const bool a_medias = prueba::lee_bytes(ruta) != caso.antes;
          EXPECT_EQ(recupera_hoja(ruta).empty(), !a_medias);  // the next open tells
        }
        const std::string leidos = prueba::lee_bytes(ruta);
        EXPECT_EQ(leidos, fallo ? caso.antes : caso.despues);
        EXPECT_TRUE(copia(hoja, n_cargadas) == (fallo ? cargada : copia(carga(ruta), n_cargadas)));
        // Once a failure comes too late to undo the change, every later one does.
        EXPECT_FALSE(ya_despues && fallo);
        ya_despues = ya_despues || !fallo;
      }
    }
  }
}

// While one writer changes the sheet, a second is refused at once, and a reader reads the sheet
// as it was before the change. A copy loaded before the change is not written over it afterwards,
// and its reader is told of each new state of the file once.
TEST(CambioAtomico, UnEscritorALaVezYLectoresSinEsperar) {
  prueba::CarpetaTemporal carpeta;
  const Caso caso(7);
  ASSERT_FALSE(caso.sustituidas.empty());
  const auto ruta = carpeta.escribe("hoja.bin", caso.antes);
  Hoja primera = carga(ruta), segunda = carga(ruta);
  VigiaHoja vigia;
  EXPECT_FALSE(vigia.cambio_nuevo(segunda));
  {
    Gancho lotes({{}, 64});
    MarcadorBorrados marcador(primera);
    for (const std::int32_t n : caso.anuladas) marcador.anula(n);
    marcador.anade(caso.sustituidas.front().second);
    ASSERT_NE(prueba::lee_bytes(ruta), caso.antes);  // batches are on disk already
    try {
      MarcadorBorrados(segunda).anula(1);
      ADD_FAILURE() << "two writers at once";
    } catch (const ErrorHojaOcupada& error) {
      EXPECT_EQ(std::string(error.what()),
                "La hoja " + ruta.string() + " la está modificando otro proceso");
    }
    EXPECT_TRUE(copia(carga(ruta), segunda.num_entidades()) ==
                copia(segunda, segunda.num_entidades()));
    EXPECT_EQ(recupera_hoja(ruta), "");  // the writer is at work: nothing is left over
    marcador.confirma();
  }
  const std::string despues = prueba::lee_bytes(ruta);
  const Hoja recargada = carga(ruta);
  EXPECT_EQ(recargada.num_entidades(), primera.num_entidades() + 1);
  EXPECT_TRUE(copia(recargada, primera.num_entidades()) == copia(primera, primera.num_entidades()));
  EXPECT_THROW(anula_entidad(segunda, 1), ErrorHojaCambiada);
  EXPECT_EQ(prueba::lee_bytes(ruta), despues);
  EXPECT_TRUE(segunda.activa(1));

  EXPECT_TRUE(vigia.cambio_nuevo(segunda));
  EXPECT_FALSE(vigia.cambio_nuevo(segunda));
  Hoja tercera = carga(ruta);
  {
    MarcadorBorrados marcador(tercera);
    marcador.anade(caso.sustituidas.front().second);  // its length tells it apart at once
    marcador.confirma();
  }
  EXPECT_TRUE(vigia.cambio_nuevo(segunda));
  EXPECT_FALSE(vigia.cambio_nuevo(tercera));
}
