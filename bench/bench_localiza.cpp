// Element location on a generated sheet: clicks at random points of the sheet and next to its
// entities, timed to the first question (or to the end when nothing is near) and to the end of a
// walk where the user answers No to everything. Target: the first question, or nothing found,
// within 200 ms. The same clicks without the spatial grid show what a walk over the whole sheet
// costs.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <random>

#include "edicion/localizador.h"
#include "medicion.h"
#include "superficie_imagen.h"

namespace {

using Reloj = std::chrono::steady_clock;

constexpr double kObjetivo = 0.200;  // seconds

struct Tiempos {
  std::vector<double> primera, completa;  // seconds
  long preguntas = 0;
};

// Answers No to everything; notes when the first question came.
class DialogosCronometro : public telmora::Dialogos {
 public:
  Reloj::time_point inicio;
  std::optional<double> primera;
  long preguntas = 0;

  void mensaje(const std::string&, telmora::Icono, const std::string&) override {}
  bool si_no(const std::string&, const std::string&) override {
    if (!primera) primera = std::chrono::duration<double>(Reloj::now() - inicio).count();
    ++preguntas;
    return false;
  }
  bool aceptar_cancelar(const std::string&, const std::string&) override { return false; }
  std::optional<std::filesystem::path> elige_fichero(const std::string&, const std::string&,
                                                     const std::filesystem::path&) override {
    return std::nullopt;
  }
};

Tiempos mide(const telmora::Sesion& sesion, telmora::Superficie& superficie,
             const std::vector<telmora::Tentativo>& clics) {
  Tiempos tiempos;
  telmora::Visualizacion visualizacion;
  for (const telmora::Tentativo& clic : clics) {
    telmora::Vista vista;
    vista.dimensiona(superficie.ancho(), superficie.alto());
    vista.escala_actual = 2000;
    vista.DesplazaCentro(clic.xtentativo, clic.ytentativo);
    vista.calculo_escala();
    DialogosCronometro dialogos;
    dialogos.inicio = Reloj::now();
    telmora::leo_bin_localizo(sesion, vista, visualizacion, superficie, dialogos, clic);
    const double total = std::chrono::duration<double>(Reloj::now() - dialogos.inicio).count();
    tiempos.primera.push_back(dialogos.primera.value_or(total));
    tiempos.completa.push_back(total);
    tiempos.preguntas += dialogos.preguntas;
  }
  return tiempos;
}

void informa(const char* titulo, std::vector<double> tiempos) {
  std::sort(tiempos.begin(), tiempos.end());
  const double mediana = tiempos[tiempos.size() / 2], peor = tiempos.back();
  std::printf("  %-34s mediana %8.3f ms   peor %8.3f ms   %s\n", titulo, mediana * 1e3, peor * 1e3,
              peor <= kObjetivo ? "dentro de 200 ms" : "FUERA DE 200 ms");
}

void informa(const char* titulo, const Tiempos& tiempos, std::size_t clics) {
  std::printf("%s (%zu clics, %ld preguntas)\n", titulo, clics, tiempos.preguntas);
  informa("hasta la primera pregunta:", tiempos.primera);
  informa("recorrido completo (todo No):", tiempos.completa);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc_qt = 1;
  QGuiApplication aplicacion(argc_qt, argv);
  const long long entidades = bench::entidades_de(argc, argv, 1000000);
  const auto bin = bench::hoja_generada(entidades);

  const telmora::Ajustes ajustes = telmora::ajustes_junto_a(bin);
  telmora::Sesion sesion = telmora::abre_sesion(ajustes);
  const int uds = ajustes.uds;

  // Half the clicks anywhere on the sheet, half within a metre of an entity's vertex.
  std::mt19937_64 azar(5);
  const auto& r = sesion.hoja.rango;
  std::uniform_real_distribution<double> en_x(r.xmin / uds, r.xmax / uds),
      en_y(r.ymin / uds, r.ymax / uds), cerca(-1, 1);
  std::uniform_int_distribution<std::int32_t> entidad(1, sesion.hoja.num_entidades());
  std::vector<telmora::Tentativo> clics;
  for (int i = 0; i < 200; ++i) {
    const double tolerancia = i % 4 == 3 ? 5 : ajustes.tolerancia_tentativo;
    if (i % 2 == 0) {
      clics.push_back({en_x(azar), en_y(azar), tolerancia});
    } else {
      const auto& e = sesion.hoja.entidad(entidad(azar));
      const telmora::Vertice& v = sesion.hoja.vertices_de(e)[0];
      clics.push_back(
          {double(v.x) / uds + cerca(azar), double(v.y) / uds + cerca(azar), tolerancia});
    }
  }

  telmora::SuperficieImagen superficie(1920, 1080);
  std::printf("hoja: %lld entidades; tolerancia %.1f m (una de cada cuatro, 5 m)\n", entidades,
              ajustes.tolerancia_tentativo);
  mide(sesion, superficie, {clics.front()});  // binds the projection library
  informa("con la rejilla espacial", mide(sesion, superficie, clics), clics.size());

  sesion.indice_espacial = telmora::IndiceEspacial();
  const std::vector<telmora::Tentativo> pocos(clics.begin(), clics.begin() + 20);
  informa("recorriendo la hoja entera", mide(sesion, superficie, pocos), pocos.size());
  return 0;
}
