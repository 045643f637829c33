#include "rejilla_cajas.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "funciones.h"

namespace telmora {

namespace {

constexpr int kMaxLadoRejilla = 2048;
constexpr int kMaxCeldasPorCaja = 64;

}  // namespace

Caja caja_de_segmento(const Vertice& a, const Vertice& b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

bool cajas_solapan(const Caja& a, const Caja& b) {
  return rango_contenido(a.xmax, a.ymax, a.xmin, a.ymin, b.xmax, b.ymax, b.xmin, b.ymin);
}

RejillaCajas::RejillaCajas(CajasEspaciadas cajas, int por_celda) {
  if (cajas.empty()) return;
  double xmin = std::numeric_limits<double>::max(), ymin = xmin;
  double xmax = std::numeric_limits<double>::lowest(), ymax = xmax;
  for (std::size_t i = 0; i < cajas.size(); ++i) {
    const Caja c = cajas[i];
    xmin = std::min({xmin, double(c.xmin), double(c.xmax)});
    ymin = std::min({ymin, double(c.ymin), double(c.ymax)});
    xmax = std::max({xmax, double(c.xmin), double(c.xmax)});
    ymax = std::max({ymax, double(c.ymin), double(c.ymax)});
  }
  const double ancho = std::max(1.0, xmax - xmin), alto = std::max(1.0, ymax - ymin);
  lado_ = std::max(
      1.0, std::sqrt(ancho * alto * std::max(1, por_celda) / static_cast<double>(cajas.size())));
  columnas_ = std::clamp(static_cast<int>(ancho / lado_) + 1, 1, kMaxLadoRejilla);
  filas_ = std::clamp(static_cast<int>(alto / lado_) + 1, 1, kMaxLadoRejilla);
  lado_ = std::max(ancho / (columnas_ - 0.5), alto / (filas_ - 0.5));
  origen_x_ = xmin;
  origen_y_ = ymin;

  // Two passes: count the entries of each cell, then place them in ascending order.
  inicio_.assign(static_cast<std::size_t>(columnas_) * filas_ + 1, 0);
  auto recorre = [&](auto&& anade) {
    for (std::size_t i = 0; i < cajas.size(); ++i) {
      const Caja b = cajas[i];
      const Celdas c = celdas_de(b.xmin, b.ymin, b.xmax, b.ymax);
      if (c.cuantas() > kMaxCeldasPorCaja) continue;
      for (int y = c.y0; y <= c.y1; ++y) {
        for (int x = c.x0; x <= c.x1; ++x)
          anade(static_cast<std::size_t>(y) * columnas_ + x, static_cast<std::int32_t>(i));
      }
    }
  };
  recorre([&](std::size_t celda, std::int32_t) { ++inicio_[celda + 1]; });
  for (std::size_t i = 1; i < inicio_.size(); ++i) inicio_[i] += inicio_[i - 1];
  lugares_.resize(inicio_.back());
  std::vector<std::uint32_t> siguiente(inicio_.begin(), inicio_.end() - 1);
  recorre([&](std::size_t celda, std::int32_t lugar) { lugares_[siguiente[celda]++] = lugar; });

  for (std::size_t i = 0; i < cajas.size(); ++i) {
    const Caja b = cajas[i];
    if (celdas_de(b.xmin, b.ymin, b.xmax, b.ymax).cuantas() > kMaxCeldasPorCaja)
      grandes_.push_back(static_cast<std::int32_t>(i));
  }
}

RejillaCajas::Celdas RejillaCajas::celdas_de(double xmin, double ymin, double xmax,
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

double RejillaCajas::fraccion_cubierta(double xmin, double ymin, double xmax, double ymax) const {
  if (columnas_ == 0) return 1;
  return static_cast<double>(celdas_de(xmin, ymin, xmax, ymax).cuantas()) /
         (static_cast<double>(columnas_) * filas_);
}

void RejillaCajas::candidatas(double xmin, double ymin, double xmax, double ymax,
                              std::vector<std::int32_t>& salida) const {
  salida.assign(grandes_.begin(), grandes_.end());
  if (columnas_ == 0 || xmin > xmax || ymin > ymax) return;
  const Celdas c = celdas_de(xmin, ymin, xmax, ymax);
  for (int y = c.y0; y <= c.y1; ++y) {
    const std::size_t fila = static_cast<std::size_t>(y) * columnas_;
    salida.insert(salida.end(), lugares_.begin() + inicio_[fila + c.x0],
                  lugares_.begin() + inicio_[fila + c.x1 + 1]);
  }
  // A single cell holds its boxes in order already; several cells repeat the boxes they share.
  if (c.cuantas() > 1 || !grandes_.empty()) {
    std::sort(salida.begin(), salida.end());
    salida.erase(std::unique(salida.begin(), salida.end()), salida.end());
  }
}

}  // namespace telmora
