#include "indice_espacial.h"

#include <algorithm>
#include <cmath>

namespace telmora {

namespace {

constexpr int kEntidadesPorCelda = 8;
constexpr int kMaxLadoRejilla = 2048;
constexpr int kMaxCeldasPorEntidad = 64;

}  // namespace

IndiceEspacial::IndiceEspacial(const Hoja& hoja) {
  const RangoFichero& r = hoja.rango;
  const auto n = static_cast<double>(hoja.num_entidades());
  if (n == 0 || r.xmin > r.xmax || r.ymin > r.ymax) return;
  const double ancho = std::max(1.0, r.xmax - r.xmin), alto = std::max(1.0, r.ymax - r.ymin);
  // Square cells, about kEntidadesPorCelda entities each.
  lado_ = std::max(1.0, std::sqrt(ancho * alto * kEntidadesPorCelda / n));
  columnas_ = std::clamp(static_cast<int>(ancho / lado_) + 1, 1, kMaxLadoRejilla);
  filas_ = std::clamp(static_cast<int>(alto / lado_) + 1, 1, kMaxLadoRejilla);
  lado_ = std::max(ancho / (columnas_ - 0.5), alto / (filas_ - 0.5));
  origen_x_ = r.xmin;
  origen_y_ = r.ymin;

  // Two passes: count the entries of each cell, then place them.
  inicio_.assign(static_cast<std::size_t>(columnas_) * filas_ + 1, 0);
  auto recorre = [&](auto&& anade) {
    for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
      const FilaIndice& f = hoja.fila(numero);
      const Celdas c = celdas_de(f.xmin, f.ymin, f.xmax, f.ymax);
      if ((c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) > kMaxCeldasPorEntidad) continue;
      for (int y = c.y0; y <= c.y1; ++y) {
        for (int x = c.x0; x <= c.x1; ++x)
          anade(static_cast<std::size_t>(y) * columnas_ + x, numero);
      }
    }
  };
  recorre([&](std::size_t celda, std::int32_t) { ++inicio_[celda + 1]; });
  for (std::size_t i = 1; i < inicio_.size(); ++i) inicio_[i] += inicio_[i - 1];
  entidades_.resize(inicio_.back());
  std::vector<std::uint32_t> siguiente(inicio_.begin(), inicio_.end() - 1);
  recorre([&](std::size_t celda, std::int32_t numero) { entidades_[siguiente[celda]++] = numero; });

  for (std::int32_t numero = 1; numero <= hoja.num_entidades(); ++numero) {
    const FilaIndice& f = hoja.fila(numero);
    const Celdas c = celdas_de(f.xmin, f.ymin, f.xmax, f.ymax);
    if ((c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) > kMaxCeldasPorEntidad) grandes_.push_back(numero);
  }
}

IndiceEspacial::Celdas IndiceEspacial::celdas_de(double xmin, double ymin, double xmax,
                                                 double ymax) const {
  // Clamped before the conversion: a far coordinate (a view zoomed far out) would not fit in an
  // int. NaN goes to the first cell.
  auto celda = [](double valor, int cuantas) {
    const double c = std::floor(valor);
    if (!(c > 0)) return 0;
    return c >= cuantas - 1 ? cuantas - 1 : static_cast<int>(c);
  };
  auto columna = [&](double x) { return celda((x - origen_x_) / lado_, columnas_); };
  auto fila = [&](double y) { return celda((y - origen_y_) / lado_, filas_); };
  // A box inverted by bad data still lands in the cells of its corners.
  return {columna(std::min(xmin, xmax)), fila(std::min(ymin, ymax)), columna(std::max(xmin, xmax)),
          fila(std::max(ymin, ymax))};
}

double IndiceEspacial::fraccion_cubierta(double xmin, double ymin, double xmax, double ymax) const {
  if (columnas_ == 0) return 1;
  const Celdas c = celdas_de(xmin, ymin, xmax, ymax);
  return static_cast<double>(c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) /
         (static_cast<double>(columnas_) * filas_);
}

std::vector<std::int32_t> IndiceEspacial::candidatas(double xmin, double ymin, double xmax,
                                                     double ymax) const {
  std::vector<std::int32_t> salida(grandes_);
  if (columnas_ == 0 || xmin > xmax || ymin > ymax) return salida;
  const Celdas c = celdas_de(xmin, ymin, xmax, ymax);
  for (int y = c.y0; y <= c.y1; ++y) {
    const std::size_t fila = static_cast<std::size_t>(y) * columnas_;
    salida.insert(salida.end(), entidades_.begin() + inicio_[fila + c.x0],
                  entidades_.begin() + inicio_[fila + c.x1 + 1]);
  }
  std::sort(salida.begin(), salida.end());
  salida.erase(std::unique(salida.begin(), salida.end()), salida.end());
  return salida;
}

}  // namespace telmora
