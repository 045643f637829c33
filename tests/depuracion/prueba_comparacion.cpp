// The indexed searches against the plain ones on many random tangled sheets: the same files,
// byte for byte, and the same listings.
#include <gtest/gtest.h>

#include <random>

#include "binjunta_literal.h"
#include "hoja_depuracion.h"

using namespace telmora;
using prueba::ConstructorBin;
using prueba::V;

namespace {

// Tangles of lines around a few centres spread over the sheet, each line drawn within a short
// or a long reach of its centre, so that lines meet often and the grids still have something to
// leave out: plain random lines, lines that end on, near, exactly at and just beyond the
// tolerance of a node or of a segment, lines that cross another one near its vertices or near
// its ends, collinear lines that overlap, lines sharing stretches of vertices, short lines,
// doubled vertices, rings, points on nodes, deleted lines.
class RedEnredada {
 public:
  RedEnredada(std::uint64_t semilla, std::int32_t tolerancia) : azar_(semilla), t_(tolerancia) {}

  ConstructorBin genera() {
    for (int k = entero(1, 6); k > 0; --k)
      centros_.push_back({entero(1000, 7000), entero(1000, 7000), 0});
    for (int k = entero(12, 60); k > 0; --k) {
      centro_ = centros_[static_cast<std::size_t>(entero(0, int(centros_.size()) - 1))];
      alcance_ = std::array{30, 120, 400}[static_cast<std::size_t>(entero(0, 2))];
      switch (entero(0, 14)) {
        case 0:
        case 1:
        case 2:
          lineas_.push_back(aleatoria());
          break;
        case 3:
          hacia_un_nodo();
          break;
        case 4:
          hacia_un_segmento();
          break;
        case 5:
          cerca_de_un_vertice();
          break;
        case 6:
          colineal();
          break;
        case 7:
          comparte_vertices();
          break;
        case 8:
          lineas_.push_back({punto(), desplazado(punto(), entero(0, t_ + 1))});
          break;
        case 9:
          doblada();
          break;
        case 10:
          anillo();
          break;
        default:
          abanico();
          break;
      }
    }
    for (const auto& linea : lineas_) b_.c("100", linea, {}, probable(0.05) ? ' ' : '=');
    for (int k = entero(0, 3); k > 0 && !lineas_.empty(); --k) b_.c("100", {extremo()});
    return b_;
  }

 private:
  int entero(int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar_); }
  bool probable(double p) { return std::uniform_real_distribution<double>(0, 1)(azar_) < p; }
  V punto() {
    return {centro_.x + entero(-alcance_, alcance_), centro_.y + entero(-alcance_, alcance_),
            entero(0, 90)};
  }
  V desplazado(V p, int d) {
    return {p.x + (probable(0.5) ? d : -d), p.y + entero(-d, d), entero(0, 90)};
  }
  std::vector<V> aleatoria() {
    std::vector<V> v;
    for (int k = entero(2, 6); k > 0; --k) v.push_back(punto());
    return v;
  }
  const std::vector<V>& alguna() {
    return lineas_[static_cast<std::size_t>(entero(0, int(lineas_.size()) - 1))];
  }
  V extremo() {
    const auto& l = alguna();
    return probable(0.5) ? l.front() : l.back();
  }
  int cerca_de_t() {
    const int opciones[] = {0, 1, t_ - 1, t_, t_ + 1, 2 * t_};
    return std::max(0, opciones[entero(0, 5)]);
  }

  // Ends on or near another line's end.
  void hacia_un_nodo() {
    if (lineas_.empty()) return lineas_.push_back(aleatoria());
    lineas_.push_back({punto(), desplazado(extremo(), cerca_de_t())});
  }
  // Ends on or near a point of another line's segment, from either side.
  void hacia_un_segmento() {
    if (lineas_.empty()) return lineas_.push_back(aleatoria());
    const auto& l = alguna();
    const std::size_t k = static_cast<std::size_t>(entero(1, int(l.size()) - 1));
    const double s = std::uniform_real_distribution<double>(0, 1)(azar_);
    V p{int(l[k - 1].x + s * (l[k].x - l[k - 1].x)), int(l[k - 1].y + s * (l[k].y - l[k - 1].y)),
        0};
    p = desplazado(p, cerca_de_t());
    lineas_.push_back(probable(0.5) ? std::vector<V>{punto(), p}
                                    : std::vector<V>{p, punto(), punto()});
  }
  // Several lines ending around one point of another line's segment, from all sides and at
  // shallow angles: ends that snap onto ends that have just moved.
  void abanico() {
    if (lineas_.empty()) return lineas_.push_back(aleatoria());
    const auto& l = alguna();
    const std::size_t k = static_cast<std::size_t>(entero(1, int(l.size()) - 1));
    const V a = l[k - 1], b = l[k];
    const double s = std::uniform_real_distribution<double>(0, 1)(azar_);
    const V p{int(a.x + s * (b.x - a.x)), int(a.y + s * (b.y - a.y)), 0};
    for (int n = entero(2, 5); n > 0; --n) {
      const V fin = desplazado(p, entero(0, 2 * t_));
      const V lejos{fin.x + (b.x - a.x) / 3 + entero(-30, 30),
                    fin.y + (b.y - a.y) / 3 + entero(-30, 30), 0};
      lineas_.push_back({lejos, fin});
    }
  }
  // Crosses another line through a point near one of its vertices (ends included).
  void cerca_de_un_vertice() {
    if (lineas_.empty()) return lineas_.push_back(aleatoria());
    const auto& l = alguna();
    const V centro =
        desplazado(l[static_cast<std::size_t>(entero(0, int(l.size()) - 1))], cerca_de_t());
    const int dx = entero(-alcance_, alcance_), dy = entero(-alcance_, alcance_);
    lineas_.push_back({{centro.x - dx, centro.y - dy, 5}, {centro.x + dx, centro.y + dy, 50}});
  }
  // Two lines along one axis-parallel line, overlapping or touching end to end.
  void colineal() {
    const V p = punto();
    const bool horizontal = probable(0.5);
    auto en = [&](int d) { return horizontal ? V{p.x + d, p.y, 0} : V{p.x, p.y + d, 0}; };
    const int a = entero(20, alcance_), b = entero(-10, alcance_);
    lineas_.push_back({en(0), en(a)});
    lineas_.push_back({en(b), en(b + entero(5, alcance_)), en(b + alcance_ + 5)});
  }
  // Runs along some vertices of another line, forwards or backwards.
  void comparte_vertices() {
    if (lineas_.empty()) return lineas_.push_back(aleatoria());
    std::vector<V> v = alguna();
    if (probable(0.5)) std::reverse(v.begin(), v.end());
    v.erase(v.begin(), v.begin() + entero(0, int(v.size()) - 2));
    v.push_back(punto());
    lineas_.push_back(v);
  }
  void doblada() {
    std::vector<V> v = aleatoria();
    const std::size_t k = static_cast<std::size_t>(entero(0, int(v.size()) - 1));
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(k), v[k]);
    lineas_.push_back(v);
  }
  void anillo() {
    std::vector<V> v = aleatoria();
    v.push_back(v.front());
    lineas_.push_back(v);
  }

  std::mt19937_64 azar_;
  std::int32_t t_;
  std::vector<V> centros_;
  V centro_;
  int alcance_ = 0;
  std::vector<std::vector<V>> lineas_;
  ConstructorBin b_;
};

struct Ejecucion {
  std::string hoja, nodos, cortes;
  std::vector<std::string> lineas;
};

Ejecucion ejecuta(const ConstructorBin& b, std::int32_t tolerancia, std::uint64_t semilla,
                  const BusquedasBinjunta& busquedas) {
  prueba::HojaDepuracion h(b, tolerancia);
  std::mt19937 azar(static_cast<unsigned>(semilla));
  // Seed 0 leaves every line drawn; others leave one in twenty undrawn.
  std::vector<std::int32_t> dibujadas;
  for (const Entidad& e : h.sesion.hoja.c) {
    if (semilla == 0 || azar() % 20 != 0) dibujadas.push_back(e.numero);
  }
  for (const Entidad& e : h.sesion.hoja.t) dibujadas.push_back(e.numero);
  h.dibujadas = EntidadesDibujadas(h.sesion.hoja, dibujadas);
  Ejecucion r;
  r.lineas = h.ejecuta(busquedas).lineas();
  r.hoja = h.bytes();
  r.nodos = h.carpeta.lee("Nodos.txt");
  r.cortes = h.carpeta.lee("entidadesP.txt");
  return r;
}

}  // namespace

TEST(BinjuntaIndexada, DaLosMismosFicherosQueLaBusquedaLiteral) {
  int movidos = 0, partidos = 0;
  for (std::uint64_t semilla = 1; semilla <= 200; ++semilla) {
    const std::int32_t tolerancia = std::array{1, 5, 12, 30}[semilla % 4];
    const ConstructorBin b = RedEnredada(semilla, tolerancia).genera();
    const Ejecucion indexada = ejecuta(b, tolerancia, semilla, {});
    const Ejecucion literal = ejecuta(b, tolerancia, semilla, prueba::busquedas_literales());
    ASSERT_EQ(indexada.lineas, literal.lineas) << "semilla " << semilla;
    ASSERT_EQ(indexada.cortes, literal.cortes) << "semilla " << semilla;
    ASSERT_EQ(indexada.nodos, literal.nodos) << "semilla " << semilla;
    ASSERT_TRUE(indexada.hoja == literal.hoja) << "semilla " << semilla;
    // Whatever the tangle, the result is a valid sheet whose lines have two distinct points.
    const Hoja hoja = cargo_bin_bytes(Lista<char>(indexada.hoja.begin(), indexada.hoja.end()), {});
    for (const Entidad& e : hoja.c) {
      const auto v = hoja.vertices_de(e);
      if (!hoja.activa(e) || v.size() < 2) continue;
      EXPECT_TRUE(
          std::any_of(v.begin(), v.end(),
                      [&](const Vertice& p) { return p.x != v.front().x || p.y != v.front().y; }))
          << "semilla " << semilla;
    }
    int n = 0, m = 0;
    std::sscanf(indexada.lineas[0].c_str(), "Nodos movidos :%d", &n);
    std::sscanf(indexada.lineas[1].c_str(), "Elementos partidos :%d", &m);
    movidos += n;
    partidos += m;
  }
  // The sheets exercise both halves of the run.
  EXPECT_GT(movidos, 300);
  EXPECT_GT(partidos, 1000);
}

// An end that snaps onto a line whose own end has just moved off its box: the indexed search
// still finds that line first, as the plain one does.
TEST(BinjuntaIndexada, VeLosExtremosQueAcabanDeMoverse) {
  ConstructorBin b;
  b.c("100", {{800, 1029, 0}, {1000, 1009, 0}});  // moves 9 down onto the next line
  b.c("100", {{900, 1000, 0}, {1300, 1000, 0}});
  b.c("100", {{1003, 800, 0}, {1003, 991, 0}});  // within T of the first line's new end only
  // Points packed around them, far from every end, so that the grid's cells are small: a cell
  // border passes between the last end and the first line as it was.
  const std::array<std::array<int, 2>, 7> ocupados{{{800, 1029},
                                                    {1000, 1009},
                                                    {900, 1000},
                                                    {1300, 1000},
                                                    {1003, 800},
                                                    {1003, 991},
                                                    {1003, 1000}}};
  for (int x = 800; x <= 1300; x += 5) {
    for (int y = 782; y <= 1040; y += 5) {
      if (std::all_of(ocupados.begin(), ocupados.end(), [&](const auto& p) {
            return std::abs(x - p[0]) > 30 || std::abs(y - p[1]) > 30;
          }))
        b.c("100", {{x, y, 0}});
    }
  }
  const Ejecucion indexada = ejecuta(b, 10, 0, {});
  const Ejecucion literal = ejecuta(b, 10, 0, prueba::busquedas_literales());
  EXPECT_EQ(indexada.lineas,
            (std::vector<std::string>{"Nodos movidos :2", "Elementos partidos :1"}));
  const std::string guiones = std::string(77, '-') + "\n";
  EXPECT_EQ(indexada.cortes, guiones + " 2  72  1 \n 1  1003  1000  0  103 \n" + guiones +
                                 " 1  0  1 \n 0  1003  1000  0  0 \n");
  EXPECT_EQ(indexada.cortes, literal.cortes);
  EXPECT_TRUE(indexada.hoja == literal.hoja);
}
