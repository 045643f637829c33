// Every tool on sheets moved to the far corners of the 32-bit plane: a generated sheet, the same
// sheet with its largest coordinates just below 2^31 and with its smallest at -2^31, give the
// same output lines, the same sheets (moved back) and the same pictures. A difference of two
// coordinates there needs 33 bits and a product of two such differences 65, so a distance, a
// cross product, an area, a cell key or a drawing transform that is not exact past 64 bits
// changes an answer or, under the sanitizers, stops the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "carpeta_temporal.h"
#include "ejecuta.h"

using prueba::ejecuta;

namespace {

constexpr std::size_t kCabecera = 12, kRango = 36, kVertice = 12;

std::int32_t lee_i32(const std::string& b, std::size_t p) {
  std::int32_t v;
  std::memcpy(&v, b.data() + p, sizeof v);
  return v;
}

void suma_i32(std::string& b, std::size_t p, std::int64_t d) {
  const std::int64_t v = lee_i32(b, p) + d;
  ASSERT_GE(v, std::numeric_limits<std::int32_t>::min());
  ASSERT_LE(v, std::numeric_limits<std::int32_t>::max());
  const auto w = static_cast<std::int32_t>(v);
  std::memcpy(b.data() + p, &w, sizeof w);
}

// Calls f(start, is_text, vertex count) for every entity of an entity file's bytes.
template <typename F>
void recorre(const std::string& b, F f) {
  for (std::size_t p = 0; p + kCabecera <= b.size();) {
    std::int16_t puntos;
    std::memcpy(&puntos, b.data() + p + 10, sizeof puntos);
    const bool texto = b[p] == 'T';
    f(p, texto, texto ? 1 : std::max<int>(puntos, 0));
    p += kCabecera + kRango + kVertice * std::size_t(std::max<int>(puntos, 0)) +
         kVertice * static_cast<unsigned char>(b[p + 9]);
  }
}

// The sheet moved by (dx, dy): its vertices and the boxes of its range blocks, or only those
// of its texts.
std::string traslada(std::string b, std::int64_t dx, std::int64_t dy, bool cajas_c = true) {
  recorre(b, [&](std::size_t p, bool texto, int vertices) {
    for (std::size_t caja : {p + 12, p + 24}) {
      if (!texto && !cajas_c) continue;
      suma_i32(b, caja, dx);
      suma_i32(b, caja + 4, dy);
    }
    for (int k = 0; k < vertices; ++k) {
      suma_i32(b, p + 48 + kVertice * std::size_t(k), dx);
      suma_i32(b, p + 52 + kVertice * std::size_t(k), dy);
    }
  });
  return b;
}

// The sheet moved back, with the boxes of its cartographic elements left out: the tools that
// rebuild an element recompute its box with minima from 1,000,000,000 and maxima from 0, which
// holds only for the plane's positive quarter below 10^9.
std::string comparable(const std::string& b, std::int64_t dx, std::int64_t dy) {
  std::string r = traslada(b, -dx, -dy, false);
  recorre(r, [&](std::size_t p, bool texto, int) {
    if (!texto) std::fill_n(r.begin() + std::ptrdiff_t(p + 12), 24, '\0');
  });
  return r;
}

struct Extremos {
  std::int64_t xmin = std::numeric_limits<std::int64_t>::max(), ymin = xmin;
  std::int64_t xmax = std::numeric_limits<std::int64_t>::min(), ymax = xmax;
};

Extremos extremos(const std::string& b) {
  Extremos e;
  auto amplia = [&](std::int64_t x, std::int64_t y) {
    e.xmin = std::min(e.xmin, x);
    e.ymin = std::min(e.ymin, y);
    e.xmax = std::max(e.xmax, x);
    e.ymax = std::max(e.ymax, y);
  };
  recorre(b, [&](std::size_t p, bool, int vertices) {
    amplia(lee_i32(b, p + 12), lee_i32(b, p + 16));
    amplia(lee_i32(b, p + 24), lee_i32(b, p + 28));
    for (int k = 0; k < vertices; ++k)
      amplia(lee_i32(b, p + 48 + kVertice * std::size_t(k)),
             lee_i32(b, p + 52 + kVertice * std::size_t(k)));
  });
  return e;
}

// A copy of the generated sheet's folder, the sheet moved by (dx, dy).
struct Copia {
  prueba::CarpetaTemporal carpeta;
  std::int64_t dx, dy;

  Copia(const prueba::CarpetaTemporal& origen, std::int64_t dx_, std::int64_t dy_)
      : dx(dx_), dy(dy_) {
    for (const auto& f : std::filesystem::directory_iterator(origen.ruta())) {
      const std::string nombre = f.path().filename().string();
      const std::string bytes = origen.lee(nombre);
      carpeta.escribe(nombre, nombre == "hoja.bin" ? traslada(bytes, dx, dy) : bytes);
    }
  }

  // A window of the sheet in whole metres, moved as the sheet.
  std::string ventana(const Extremos& e) const {
    auto metros = [](std::int64_t unidades, std::int64_t d) {
      return std::to_string(unidades / 100 + d / 100);
    };
    const std::int64_t ancho = e.xmax - e.xmin, alto = e.ymax - e.ymin;
    return metros(e.xmin + ancho / 4, dx) + "," + metros(e.ymin + alto / 3, dy) + "," +
           metros(e.xmin + 3 * ancho / 4, dx) + "," + metros(e.ymin + 2 * alto / 3, dy);
  }

  // What a command leaves that can be compared: its output with the folder's name taken out,
  // the sheet and the files it wrote beside it, moved back, and its picture.
  std::vector<std::string> ejecuta_orden(std::vector<std::string> argumentos) const {
    for (std::string& a : argumentos) {
      if (a == "HOJA") a = (carpeta / "hoja.bin").string();
      if (a == "PNG") a = (carpeta / "dibujo.png").string();
    }
    const auto r = ejecuta(argumentos);
    std::string salida = r.salida + "|" + r.errores + "|" + std::to_string(r.estado);
    for (auto p = salida.find(carpeta.ruta().string()); p != std::string::npos;
         p = salida.find(carpeta.ruta().string()))
      salida.replace(p, carpeta.ruta().string().size(), "CARPETA");
    std::vector<std::string> resultado{salida};
    for (const char* nombre : {"hoja.bin", "hoja_f.bin", "hoja_d.bin"}) {
      if (std::filesystem::exists(carpeta / nombre))
        resultado.push_back(comparable(carpeta.lee(nombre), dx, dy));
    }
    if (std::filesystem::exists(carpeta / "dibujo.png"))
      resultado.push_back(carpeta.lee("dibujo.png"));
    return resultado;
  }
};

}  // namespace

TEST(RangoEntero, LasHerramientasDanLoMismoEnLasEsquinasDelPlano) {
  const std::vector<std::vector<std::string>> ordenes = {
      {"topologia", "HOJA", "--orden", "centroides", "--tamano", "320x240"},
      {"topologia", "HOJA", "--orden", "islas", "--tamano", "320x240"},
      {"depurar", "HOJA", "--tolerancia", "20"},
      {"pdobles", "HOJA", "--tol-xy", "5", "--tol-z", "2"},
      {"duplicados", "HOJA", "--aplicar"},
      {"duplicados", "HOJA", "--tolerancia", "3", "--grabar"},
      {"cotas", "HOJA", "psct", "--tamano", "320x240"},
      {"cotas", "HOJA", "textos", "--tamano", "320x240"},
      {"cotas", "HOJA", "calles", "--graba", "--da", "7", "--tamano", "320x240"},
      {"extraer", "HOJA", "--ventana", "VENTANA"},
      {"extraer", "HOJA", "--ventana", "VENTANA", "--solapados"},
      {"render", "HOJA", "PNG", "--tamano", "320x240", "--ventana", "VENTANA"},
  };
  for (const char* semilla : {"1", "2"}) {
    SCOPED_TRACE(std::string("semilla ") + semilla);
    prueba::CarpetaTemporal generada;
    ASSERT_EQ(ejecuta({"generar", generada.ruta().string(), "--entidades", "200", "--recintos",
                       "--semilla", semilla})
                  .estado,
              0);
    const Extremos e = extremos(generada.lee("hoja.bin"));
    // Shifts in whole metres, so that the windows in metres stay exact.
    auto metros_abajo = [](std::int64_t u) { return u - ((u % 100) + 100) % 100; };
    const std::int64_t arriba_x = metros_abajo(std::numeric_limits<std::int32_t>::max() - e.xmax);
    const std::int64_t arriba_y = metros_abajo(std::numeric_limits<std::int32_t>::max() - e.ymax);
    const std::int64_t abajo_x = -metros_abajo(e.xmin - std::numeric_limits<std::int32_t>::min());
    const std::int64_t abajo_y = -metros_abajo(e.ymin - std::numeric_limits<std::int32_t>::min());
    for (const auto& orden : ordenes) {
      std::string traza;
      for (const std::string& a : orden) traza += a + " ";
      SCOPED_TRACE(traza);
      const Copia sitio(generada, 0, 0), arriba(generada, arriba_x, arriba_y),
          abajo(generada, abajo_x, abajo_y);
      auto con_ventana = [&](const Copia& c) {
        auto a = orden;
        std::replace(a.begin(), a.end(), std::string("VENTANA"), c.ventana(e));
        return c.ejecuta_orden(a);
      };
      const auto esperado = con_ventana(sitio);
      ASSERT_EQ(esperado[0].back(), '0') << esperado[0];
      for (const Copia* movida : {&arriba, &abajo}) {
        const auto obtenido = con_ventana(*movida);
        ASSERT_EQ(obtenido.size(), esperado.size()) << obtenido[0];
        EXPECT_EQ(obtenido[0], esperado[0]);
        for (std::size_t i = 1; i < esperado.size(); ++i)
          EXPECT_TRUE(obtenido[i] == esperado[i]) << "fichero " << i << " en " << movida->dx;
      }
    }
  }
}
