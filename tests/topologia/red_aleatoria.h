// Random line networks for the topology tests, loaded as a sheet: a jittered lattice of streets
// with bent arcs, chains through nodes of valence 2, a few diagonals, dangling trees, rings
// inside cells (islands, nested islands, rings hung on a bridge), texts in faces (none, one or
// two), outside every face and not drawn, closed and point elements, and elements the renderer
// did not draw. With `danada` the network also has what damaged sheets have: arcs copied whole
// or reversed, arcs that leave a node along the same first segment as another, and doubled
// first vertices.
#pragma once

#include <random>

#include "constructor_bin.h"
#include "dibujadas.h"
#include "hoja.h"

namespace prueba {

// A sheet in memory and the entities a drawing drew of it.
struct HojaDibujada {
  telmora::Hoja hoja;
  telmora::EntidadesDibujadas dibujadas;
};

struct OpcionesRed {
  int columnas = 5, filas = 5;
  bool danada = false;
  // PSCT elevation points at street ends (two at some), on inner vertices and off every line.
  bool psct = false;
};

class GeneradorRed {
 public:
  GeneradorRed(std::uint64_t semilla, OpcionesRed opciones) : azar_(semilla), o_(opciones) {}

  HojaDibujada genera() {
    for (int j = 0; j < o_.filas; ++j) {
      for (int i = 0; i < o_.columnas; ++i) {
        if (i + 1 < o_.columnas && probable(0.8)) calle(nodo(i, j), nodo(i + 1, j));
        if (j + 1 < o_.filas && probable(0.8)) calle(nodo(i, j), nodo(i, j + 1));
        if (i + 1 < o_.columnas && j + 1 < o_.filas) celda(i, j);
      }
    }
    for (int k = entero(0, 3); k > 0; --k) texto({entero(-3000, -100), entero(-3000, 9000), 7});
    b_.c("100", {{5, 5, 0}});                                          // a point element
    b_.c("100", {{-500, -500, 0}, {-400, -500, 0}, {-500, -500, 0}});  // closed
    const std::string& bytes = b_.contenido();
    static const telmora::TablaVekt tabla = telmora::interpreta_vekt_tab(tabla_basica(), "t");
    telmora::Hoja hoja =
        telmora::cargo_bin_bytes(telmora::Lista<char>(bytes.begin(), bytes.end()), tabla);
    std::vector<std::int32_t> dibujadas;
    for (const telmora::Entidad& e : hoja.c) {
      if (probable(0.97)) dibujadas.push_back(e.numero);
    }
    for (const telmora::Entidad& e : hoja.t) {
      if (probable(0.95)) dibujadas.push_back(e.numero);
    }
    telmora::EntidadesDibujadas conjunto(hoja, dibujadas);
    return {std::move(hoja), std::move(conjunto)};
  }

 private:
  bool probable(double p) { return std::uniform_real_distribution<double>(0, 1)(azar_) < p; }
  int entero(int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar_); }

  // Lattice nodes keep their jitter: the same (i, j) is always the same point.
  V nodo(int i, int j) {
    std::mt19937_64 propio(static_cast<std::uint64_t>(i * 1000 + j) ^ semilla_nodos_);
    auto d = [&] { return std::uniform_int_distribution<int>(-100, 100)(propio); };
    return {i * 1000 + d(), j * 1000 + d(), d()};
  }

  // A line from a to b bent by up to two inner vertices, sometimes cut into two arcs, sometimes
  // reversed, and (damaged) sometimes copied or leaving along another arc's first segment.
  void calle(V a, V b) {
    if (probable(0.5)) std::swap(a, b);
    std::vector<V> v{a};
    const int interiores = entero(0, 2);
    for (int k = 1; k <= interiores; ++k) {
      const double t = double(k) / (interiores + 1);
      v.push_back({a.x + int(t * (b.x - a.x)) + entero(-120, 120),
                   a.y + int(t * (b.y - a.y)) + entero(-120, 120), entero(0, 50)});
    }
    v.push_back(b);
    if (v.size() > 2 && probable(0.15)) {
      b_.c("100", {v.begin(), v.begin() + 2});
      b_.c("100", {v.begin() + 1, v.end()});
    } else {
      b_.c("100", v);
    }
    if (o_.psct) puntos_psct(v);
    if (!o_.danada) return;
    if (probable(0.08)) b_.c("100", v);
    if (probable(0.08)) b_.c("100", {v.rbegin(), v.rend()});
    if (probable(0.08)) {
      // Along the first segment, then off somewhere else: an overlap at the start.
      const V mitad{(v[0].x + v[1].x) / 2, (v[0].y + v[1].y) / 2, 0};
      b_.c("100", {v[0], mitad, {mitad.x + entero(-300, 300), mitad.y + entero(-300, 300), 0}});
    }
    if (probable(0.05)) {
      std::vector<V> doble = v;
      doble.insert(doble.begin(), v.front());
      b_.c("100", doble);
    }
  }

  void puntos_psct(const std::vector<V>& v) {
    auto punto = [&](V p) { b_.c("PSCT", {{p.x, p.y, entero(0, 3) == 0 ? 0 : entero(-50, 900)}}); };
    for (const V& extremo : {v.front(), v.back()}) {
      if (probable(0.6)) punto(extremo);
      if (probable(0.1)) punto(extremo);
    }
    if (v.size() > 2 && probable(0.4)) punto(v[std::size_t(entero(1, int(v.size()) - 2))]);
    if (probable(0.1)) punto({v[0].x + entero(-400, 400), v[0].y + entero(-400, 400), 0});
  }

  // What lies inside one lattice cell: a diagonal, a dangling tree, rings and texts.
  void celda(int i, int j) {
    const V a = nodo(i, j), c = nodo(i + 1, j + 1);
    const int x0 = i * 1000, y0 = j * 1000;
    if (probable(0.08)) calle(a, c);
    if (probable(0.2)) {
      V raiz = probable(0.5) ? a : c;
      V punta{x0 + entero(300, 700), y0 + entero(300, 700), 0};
      b_.c("100", {raiz, punta});
      if (probable(0.5)) b_.c("100", {punta, {punta.x + entero(-150, 150), punta.y + 180, 0}});
      if (probable(0.3)) b_.c("100", {punta, {punta.x + 170, punta.y + entero(-150, 150), 0}});
    }
    if (probable(0.25)) {
      anillo(x0 + 250, y0 + 250, x0 + 750, y0 + 750);
      if (probable(0.5)) anillo(x0 + 400, y0 + 400, x0 + 600, y0 + 600);
      if (probable(0.3)) b_.c("100", {{x0 + 250, y0 + 250, 0}, {x0 + 320, y0 + 310, 0}});
      if (probable(0.2)) b_.c("100", {a, {x0 + 250, y0 + 250, 0}});  // a bridge to the ring
    }
    const int textos = entero(0, 3) == 0 ? 0 : entero(1, 2);
    for (int k = 0; k < textos; ++k)
      texto({x0 + entero(120, 880), y0 + entero(120, 880), entero(0, 99)});
  }

  // A square ring made of two to four arcs.
  void anillo(int x0, int y0, int x1, int y1) {
    const std::vector<V> esquinas{{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    const int trozos = entero(2, 4);
    std::vector<V> actual{esquinas[0]};
    for (int k = 1; k <= 4; ++k) {
      actual.push_back(esquinas[static_cast<std::size_t>(k % 4)]);
      if (k * trozos / 4 != (k - 1) * trozos / 4 || k == 4) {
        b_.c("100", actual);
        actual = {actual.back()};
      }
    }
  }

  void texto(V p) { b_.t("TXT", p, "T" + std::to_string(++textos_)); }

  std::mt19937_64 azar_;
  OpcionesRed o_;
  std::uint64_t semilla_nodos_ = azar_();
  ConstructorBin b_;
  int textos_ = 0;
};

// A sheet in memory, every entity drawn.
inline HojaDibujada hoja_dibujada(const ConstructorBin& b) {
  static const telmora::TablaVekt tabla = telmora::interpreta_vekt_tab(tabla_basica(), "t");
  const std::string& bytes = b.contenido();
  telmora::Hoja hoja =
      telmora::cargo_bin_bytes(telmora::Lista<char>(bytes.begin(), bytes.end()), tabla);
  telmora::EntidadesDibujadas todas = telmora::EntidadesDibujadas::todas(hoja);
  return {std::move(hoja), std::move(todas)};
}

// Faces A (left, with a ring inside: an island with its own text) and B (right, with two
// texts) side by side, a text outside everything and a dangling street off the top of the
// divider; faces of 10 × `escala` file units.
inline ConstructorBin dos_caras_con_isla(int escala) {
  auto p = [escala](int x, int y) { return V{x * escala, y * escala, 0}; };
  ConstructorBin b;
  b.c("100", {p(0, 0), p(10, 0)})
      .c("100", {p(10, 0), p(10, 10)})
      .c("100", {p(10, 10), p(0, 10), p(0, 0)})
      .c("100", {p(10, 0), p(20, 0), p(20, 10), p(10, 10)})
      .c("100", {p(2, 2), p(6, 2), p(6, 6)})
      .c("100", {p(6, 6), p(2, 6), p(2, 2)})
      .c("100", {p(10, 10), p(15, 15)});
  b.t("TXT", p(8, 8), "CARA A")
      .t("TXT", p(4, 4), "ISLA")
      .t("TXT", p(15, 5), "B1")
      .t("TXT", p(16, 6), "B2")
      .t("TXT", p(30, 30), "FUERA");
  return b;
}

inline HojaDibujada red_aleatoria(std::uint64_t semilla, OpcionesRed opciones = {}) {
  return GeneradorRed(semilla, opciones).genera();
}

}  // namespace prueba
