// Double points and loops on a generated sheet of 1,000,000 entities with a few long contours
// added (the longest an element can be, 32,767 vertices): the whole process, each run on a fresh
// copy of the sheet. Then the segment checks alone on a contour of 50,000 vertices, and the plain
// double loop on 5,000 vertices for comparison, with a check that both give the same faults.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include "depuracion/pdobles.h"
#include "fichero.h"
#include "funciones.h"
#include "medicion.h"
#include "pdobles_literal.h"

namespace {

constexpr telmora::ToleranciasPdobles kTolerancias{10, 100};
constexpr int kContornos = 4;
constexpr std::int32_t kVerticesPorContorno = 32767;

// A digitised contour: a wavy closed line with vertices about half a metre apart, and a few
// faults of each kind: repeated vertices, a swapped pair (a loop) and a spike out and back.
std::vector<telmora::Vertice> contorno(std::int32_t vertices, std::uint64_t semilla) {
  std::mt19937_64 azar(semilla);
  std::uniform_real_distribution<double> ruido(-8, 8);
  const double radio = vertices * 50 / telmora::kDosPi;
  const double cx = 50000000 + radio, cy = 450000000 + radio;
  std::vector<telmora::Vertice> v;
  for (std::int32_t k = 0; k + 1 < vertices; ++k) {
    const double a = telmora::kDosPi * k / (vertices - 1);
    const double r = radio * (1 + 0.03 * std::sin(9 * a)) + ruido(azar);
    v.push_back({static_cast<std::int32_t>(cx + r * std::cos(a)),
                 static_cast<std::int32_t>(cy + r * std::sin(a)), 10000});
  }
  v.push_back(v.front());
  for (std::size_t k = 1000; k + 1000 < v.size(); k += 3000) {
    v[k] = {v[k - 1].x + 2, v[k - 1].y + 1, v[k - 1].z};  // a double point
    std::swap(v[k + 500], v[k + 501]);                    // a loop
    v[k + 1000] = v[k + 998];                             // out and back
  }
  return v;
}

// The generated sheet with the contours appended, copied into a folder of its own.
std::filesystem::path hoja_con_contornos(long long entidades) {
  const auto generada = bench::hoja_generada(entidades);
  const auto carpeta = generada.parent_path() / "pdobles";
  std::filesystem::create_directories(carpeta);
  for (const char* nombre : {"Vekt.tab", "Vekt.pal"}) {
    std::filesystem::copy_file(generada.parent_path() / nombre, carpeta / nombre,
                               std::filesystem::copy_options::overwrite_existing);
  }
  const auto original = carpeta / "original.bin";
  std::filesystem::copy_file(generada, original, std::filesystem::copy_options::overwrite_existing);
  std::string bytes;
  for (int c = 0; c < kContornos; ++c) {
    const auto v = contorno(kVerticesPorContorno, c + 1);
    telmora::Cabecera cabecera;
    cabecera.codigo = telmora::codigo_desde_texto("1510");
    cabecera.num_puntos = static_cast<std::int16_t>(v.size());
    telmora::Rango rango;
    telmora::calcula_rango_entidad(rango, v);
    telmora::escribe_entidad(bytes, cabecera, rango, v, {}, {});
  }
  telmora::anade_al_final(original, bytes);
  return original;
}

}  // namespace

int main(int argc, char** argv) {
  const long long entidades = bench::entidades_de(argc, argv, 1000000);
  const auto original = hoja_con_contornos(entidades);
  const auto hoja = original.parent_path() / "hoja.bin";

  telmora::ResultadoPdobles resultado;
  double carga_total = 0;
  std::vector<double> tiempos;
  constexpr int kVeces = 3;
  for (int vez = 0; vez < kVeces; ++vez) {
    bench::copia_en_disco(original, hoja);
    const auto inicio_carga = std::chrono::steady_clock::now();
    telmora::Sesion sesion = telmora::abre_sesion(telmora::ajustes_junto_a(hoja));
    carga_total +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio_carga).count();
    tiempos.push_back(bench::mediana(
        1, [&] { resultado = telmora::ejecuta_y_aplica_pdobles(sesion, kTolerancias); }));
  }
  std::sort(tiempos.begin(), tiempos.end());
  std::printf("hoja de %lld entidades y %d contornos de %d vértices (carga media %.3f s)\n",
              entidades, kContornos, kVerticesPorContorno, carga_total / kVeces);
  std::printf("Proceso_pdobles: mediana de %d: %.3f s\n", kVeces, tiempos[tiempos.size() / 2]);
  for (const auto& linea : resultado.lineas()) std::printf("  %s\n", linea.c_str());

  telmora::ParesSegmentos pares;
  const auto largo = contorno(50000, 9);
  telmora::ErroresPdobles errores;
  const double t_largo = bench::mediana(5, [&] {
    errores = {};
    telmora::revisa_segmentos(largo, kTolerancias.xy, pares, errores);
  });
  std::printf(
      "segmentos de un contorno de 50000 vértices: %.3f s (mediana de 5)  duplicados %zu "
      "lazos %zu semilazos %zu\n",
      t_largo, errores.duplicados.size() / 2, errores.lazos.size(), errores.semilazos.size());

  const auto corto = contorno(5000, 10);
  telmora::ErroresPdobles indexada, literal;
  const double t_indexada = bench::mediana(5, [&] {
    indexada = {};
    telmora::revisa_segmentos(corto, kTolerancias.xy, pares, indexada);
  });
  const double t_literal =
      bench::mediana(1, [&] { prueba::revisa_segmentos_literal(corto, kTolerancias.xy, literal); });
  const bool iguales = indexada.duplicados == literal.duplicados &&
                       indexada.lazos == literal.lazos && indexada.semilazos == literal.semilazos;
  std::printf("5000 vértices: rejilla %.4f s, doble bucle %.3f s; mismo resultado: %s\n",
              t_indexada, t_literal, iguales ? "sí" : "NO");
  return iguales ? 0 : 1;
}
