// Loads Orogrid.dll and proyeccion.dll by file name, binds every export by its plain name with
// GetProcAddress and checks a few answers through those bindings. Exit status 0 when all hold.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "carpeta_temporal.h"
#include "escritor_mdt.h"
#include "orogrid.h"
#include "proyeccion.h"

namespace {

int comprobadas = 0;
int fallidas = 0;

void comprueba(bool cierto, const char* que) {
  ++comprobadas;
  if (!cierto) {
    ++fallidas;
    std::printf("FALLA: %s\n", que);
  }
}

// The library found by file name (the program's folder first, as Windows searches), or null
// after saying why not.
HMODULE carga(const char* fichero) {
  const HMODULE biblioteca = LoadLibraryA(fichero);
  ++comprobadas;
  if (biblioteca == nullptr) {
    ++fallidas;
    std::printf("FALLA: LoadLibrary(\"%s\"), código %lu\n", fichero, GetLastError());
  }
  return biblioteca;
}

// The export `nombre` as a `Funcion`, or null after saying that it is missing.
template <typename Funcion>
Funcion enlaza(HMODULE biblioteca, const char* nombre) {
  const auto direccion = reinterpret_cast<void*>(GetProcAddress(biblioteca, nombre));
  ++comprobadas;
  if (direccion == nullptr) {
    ++fallidas;
    std::printf("FALLA: GetProcAddress(\"%s\"), código %lu\n", nombre, GetLastError());
  }
  return reinterpret_cast<Funcion>(direccion);
}

void comprueba_proyeccion(HMODULE biblioteca) {
  const auto proyecta = enlaza<FuncionProyeccion>(biblioteca, "proyeccion");
  if (proyecta == nullptr) return;
  double xf = -1, yf = -1, distancia = -1;
  std::int32_t en_segmento = -1;
  proyecta(0, 0, 10, 0, 5, 3, &xf, &yf, &distancia, &en_segmento);
  comprueba(xf == 5 && yf == 0 && distancia == 3 && en_segmento == 1, "pie sobre el segmento");
  proyecta(0, 0, 10, 0, 12, 3, &xf, &yf, &distancia, &en_segmento);
  comprueba(xf == 12 && yf == 0 && distancia == 3 && en_segmento == 0, "pie fuera del segmento");
  proyecta(0, 0, 10, 10, 0, 10, &xf, &yf, &distancia, &en_segmento);
  comprueba(std::fabs(xf - 5) < 1e-12 && std::fabs(yf - 5) < 1e-12 &&
                std::fabs(distancia - std::sqrt(50.0)) < 1e-12 && en_segmento == 1,
            "pie sobre un segmento inclinado");
}

void comprueba_orogrid(HMODULE biblioteca) {
  const auto carga_modelo = enlaza<FuncionOrogrid>(biblioteca, "fnOrogrid");
  const auto cota = enlaza<FuncionGetZValue>(biblioteca, "fnGetZValue");
  const auto libera = enlaza<FuncionUnloadMDT>(biblioteca, "fnUnloadMDT");
  if (carga_modelo == nullptr || cota == nullptr || libera == nullptr) return;

  // The plane z = x + 2y over a 1000 x 1000 square: every triangle gives it exactly.
  prueba::CarpetaTemporal carpeta;
  const auto ruta = carpeta / "plano.MDT";
  orogrid::escribe_mdt_rejilla(ruta, {0, 0, 1000, 1000}, 100,
                               [](auto x, auto y) { return x + 2 * y; });
  comprueba(carga_modelo((carpeta / "no_existe.MDT").string().c_str()) == -1, "sin fichero");
  comprueba(carga_modelo(ruta.string().c_str()) == 0, "carga del modelo");
  comprueba(cota(250.7, 370.2) == 990.0, "cota en el modelo");
  comprueba(cota(1500, 10) == -1.0, "cota fuera del modelo");
  comprueba(libera() == 1, "liberación del modelo");
  comprueba(libera() == -1, "liberación sin modelo");
  comprueba(cota(250, 370) == -1.0, "cota sin modelo");
}

}  // namespace

int main() {
  if (const HMODULE proyeccion = carga("proyeccion.dll")) {
    comprueba_proyeccion(proyeccion);
    FreeLibrary(proyeccion);
  }
  if (const HMODULE orogrid = carga("Orogrid.dll")) {
    comprueba_orogrid(orogrid);
    FreeLibrary(orogrid);
  }
  std::printf("carga_por_nombre: %d comprobaciones, %d fallidas\n", comprobadas, fallidas);
  return fallidas == 0 ? 0 : 1;
}
