#include "superficie_imagen.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "grabacion.h"
#include "paralelo.h"

namespace telmora {

namespace {

constexpr int kEstiloSolido = 0;
constexpr int kEstiloNulo = 5;
constexpr std::size_t kMaxMascaras = 4096;
// Texts whose advance plus height exceeds this many pixels are painted directly: a mask needs
// a canvas of the text's whole size, whatever part of it falls on the picture.
constexpr int kExtensionMaximaMascara = 512;
// Recorded drawings of fewer operations are drawn one by one, without bands.
constexpr std::size_t kOrdenesParaBandas = 4096;
// Bands per thread: bands of equal work are guessed from where operations start, and a thread
// that finishes early takes another.
constexpr unsigned kBandasPorHilo = 3;

Qt::PenStyle estilo_qt(int estilo) {
  switch (estilo) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    case kEstiloNulo:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

const QPoint* a_qpoints(std::span<const PuntoPantalla> puntos) {
  static_assert(sizeof(PuntoPantalla) == sizeof(QPoint),
                "screen points are passed to Qt as they are");
  return reinterpret_cast<const QPoint*>(puntos.data());
}

QRgb a_qrgb(Rgb color) {
  return qRgb(color.rojo, color.verde, color.azul);
}

// Angle step (tenths of a degree) below which a text's pixels cannot change: a quarter of a
// pixel at the far end of its box.
int paso_de_angulo(int extension_px) {
  const double radianes = 0.25 / std::max(1, extension_px);
  return std::max(1, static_cast<int>(radianes * 180 / std::numbers::pi * 10));
}

void coloca_en_ancla(QPainter& pintor, const QFont& fuente, const QString& texto, int escapamiento,
                     Alineacion alineacion) {
  const QFontMetrics medidas(fuente);
  double dx = 0, dy = 0;  // from the anchor to the start of the baseline
  const int ancho = medidas.horizontalAdvance(texto);
  if (alineacion.horizontal == Horizontal::centro) dx = -ancho / 2.0;
  if (alineacion.horizontal == Horizontal::derecha) dx = -ancho;
  switch (alineacion.vertical) {
    case Vertical::arriba:
      dy = medidas.ascent();
      break;
    case Vertical::centro:
      dy = (medidas.ascent() - medidas.descent()) / 2.0;
      break;
    case Vertical::abajo:
      dy = -medidas.descent();
      break;
  }
  pintor.setFont(fuente);
  if (escapamiento != 0) pintor.rotate(-escapamiento / 10.0);
  pintor.drawText(QPointF(dx, dy), texto);
}

QString a_qstring(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Appends the bytes of a value to a key.
template <typename T>
void anade_a_clave(std::string& clave, T valor) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &valor, sizeof(T));
  clave.append(bytes, sizeof(T));
}

}  // namespace

QColor a_qcolor(Rgb color) {
  return QColor(color.rojo, color.verde, color.azul);
}

// Rows [fila0, fila1) of the picture: pixels set straight into its buffer and shapes painted by
// a painter clipped to those rows, in the current drawing mode, pen and brush.
class SuperficieImagen::Lienzo {
 public:
  // The rows of a buffer it draws to, and the painter clipped to them; the drawing mode, pen and
  // brush stay.
  void apunta(uchar* bits, qsizetype bytes_por_linea, int ancho, int fila0, int fila1,
              QPainter& pintor) {
    bits_ = bits;
    bytes_por_linea_ = bytes_por_linea;
    ancho_ = ancho;
    fila0_ = fila0;
    fila1_ = fila1;
    pintor_ = &pintor;
    pintor_->setRenderHint(QPainter::Antialiasing, false);
    pintor_->setRenderHint(QPainter::TextAntialiasing, false);
    pluma_en_pintor_ = {};
    pincel_en_pintor_ = ~pincel_;
    modo(modo_);
  }
  ModoDibujo modo_actual() const { return modo_; }
  void modo_inicial(ModoDibujo modo) { modo_ = modo; }

  void modo(ModoDibujo modo) {
    modo_ = modo;
    pintor_->setCompositionMode(modo == ModoDibujo::inversion
                                    ? QPainter::RasterOp_NotDestination
                                    : QPainter::CompositionMode_SourceOver);
  }
  void pluma(int estilo, int ancho, QRgb color) { pluma_ = {estilo, ancho, color}; }
  void pincel(QRgb color) { pincel_ = color; }

  void borra(QRgb color) {
    for (int y = fila0_; y < fila1_; ++y) {
      QRgb* linea = fila(y);
      std::fill(linea, linea + ancho_, color | 0xFF000000u);
    }
  }

  // One pixel, in the current drawing mode.
  void pixel(int x, int y, QRgb color) {
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(ancho_) || y < fila0_ || y >= fila1_) {
      return;
    }
    QRgb& destino = fila(y)[x];
    destino = modo_ == ModoDibujo::inversion ? (~destino | 0xFF000000u) : (color | 0xFF000000u);
  }

  void polilinea(std::span<const PuntoPantalla> puntos) {
    if (directo(puntos)) {
      for (std::size_t i = 0; i + 1 < puntos.size(); ++i) {
        segmento(puntos[i], puntos[i + 1], pluma_.color);
      }
      if (puntos.size() == 1) pixel(puntos[0].x, puntos[0].y, pluma_.color);
      return;
    }
    prepara_pintor();
    pintor_->drawPolyline(a_qpoints(puntos), static_cast<int>(puntos.size()));
  }

  void poligono(std::span<const PuntoPantalla> puntos) {
    if (directo(puntos)) {
      if (modo_ == ModoDibujo::copia) relleno(puntos, pincel_);
      for (std::size_t i = 0; i < puntos.size(); ++i) {
        segmento(puntos[i], puntos[(i + 1) % puntos.size()], pluma_.color);
      }
      return;
    }
    prepara_pintor();
    pintor_->drawPolygon(a_qpoints(puntos), static_cast<int>(puntos.size()), Qt::OddEvenFill);
  }

  void punto(int x, int y) {
    prepara_pintor();
    pintor_->drawPoint(x, y);
  }

  void circulo(int x, int y, int radio) {
    prepara_pintor();
    pintor_->setBrush(Qt::NoBrush);
    pintor_->drawEllipse(QPoint(x, y), radio, radio);
    pincel_en_pintor_ = ~pincel_;
  }

  void mascara(int x, int y, const Mascara& mascara, QRgb color) {
    if (y + mascara.fila_maxima < fila0_ || y + mascara.fila_minima >= fila1_) return;
    for (const QPoint& p : mascara.pixeles) pixel(x + p.x(), y + p.y(), color);
  }

  // A text too large for a mask, painted at its anchor.
  void texto_pintado(int x, int y, const QString& texto, const QFont& fuente, int escapamiento,
                     Alineacion alineacion, QRgb color) {
    pintor_->save();
    pintor_->setPen(QColor(color));
    pintor_->translate(x, y);
    coloca_en_ancla(*pintor_, fuente, texto, escapamiento, alineacion);
    pintor_->restore();
  }

 private:
  struct Pluma {
    int estilo = -1, ancho = -1;
    QRgb color = 0;
  };

  QRgb* fila(int y) {
    return reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * bytes_por_linea_);
  }

  // Sets the painter's pen and brush to the current ones when they changed.
  void prepara_pintor() {
    if (pluma_.estilo != pluma_en_pintor_.estilo || pluma_.ancho != pluma_en_pintor_.ancho ||
        pluma_.color != pluma_en_pintor_.color) {
      QPen pluma{QColor(pluma_.color)};
      pluma.setStyle(estilo_qt(pluma_.estilo));
      pluma.setWidth(pluma_.ancho);
      pluma.setCapStyle(pluma_.ancho > 1 ? Qt::RoundCap : Qt::SquareCap);
      pintor_->setPen(pluma);
      pluma_en_pintor_ = pluma_;
    }
    if (pincel_ != pincel_en_pintor_) {
      pintor_->setBrush(QColor(pincel_));
      pincel_en_pintor_ = pincel_;
    }
  }

  // The shape is small enough, and the pen thin and solid, to be set pixel by pixel.
  bool directo(std::span<const PuntoPantalla> puntos) const {
    if (pluma_.estilo != kEstiloSolido || pluma_.ancho > 1 || puntos.empty()) return false;
    const PuntoPantalla p0 = puntos.front();
    for (const PuntoPantalla& p : puntos) {
      if (std::abs(p.x - p0.x) > kLadoPixelAPixel || std::abs(p.y - p0.y) > kLadoPixelAPixel)
        return false;
    }
    return true;
  }

  void segmento(PuntoPantalla a, PuntoPantalla b, QRgb color) {
    if (std::max(a.y, b.y) < fila0_ || std::min(a.y, b.y) >= fila1_) return;
    // Every pixel of a segment lies in the box of its ends: when that box is inside the rows
    // and the picture, in copy mode, they are set without asking each.
    if (modo_ == ModoDibujo::copia && dentro(a) && dentro(b)) {
      bresenham(a, b, [this, c = color | 0xFF000000u](int x, int y) { fila(y)[x] = c; });
    } else {
      bresenham(a, b, [this, color](int x, int y) { pixel(x, y, color); });
    }
  }

  bool dentro(PuntoPantalla p) const {
    return static_cast<unsigned>(p.x) < static_cast<unsigned>(ancho_) && p.y >= fila0_ &&
           p.y < fila1_;
  }

  // Bresenham, both ends included.
  template <typename Pon>
  static void bresenham(PuntoPantalla a, PuntoPantalla b, Pon pon) {
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int error = dx + dy;
    while (true) {
      pon(a.x, a.y);
      if (a.x == b.x && a.y == b.y) return;
      const int doble = 2 * error;
      if (doble >= dy) error += dy, a.x += sx;
      if (doble <= dx) error += dx, a.y += sy;
    }
  }

  void relleno(std::span<const PuntoPantalla> puntos, QRgb color) {
    // Pixels whose centres are inside by the even-odd rule, as the painter fills.
    int ymin = puntos[0].y, ymax = puntos[0].y;
    for (const PuntoPantalla& p : puntos) ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
    for (int y = std::max(ymin, fila0_); y <= std::min(ymax, fila1_ - 1); ++y) {
      const double yc = y + 0.5;
      double cortes[2 * kLadoPixelAPixel + 8];
      int n = 0;
      for (std::size_t i = 0; i < puntos.size() && n < static_cast<int>(std::size(cortes)); ++i) {
        const PuntoPantalla a = puntos[i], b = puntos[(i + 1) % puntos.size()];
        if ((a.y <= yc) == (b.y <= yc)) continue;
        cortes[n++] = a.x + (yc - a.y) * (b.x - a.x) / double(b.y - a.y);
      }
      std::sort(cortes, cortes + n);
      for (int k = 0; k + 1 < n; k += 2) {
        for (int x = static_cast<int>(std::ceil(cortes[k] - 0.5)); x + 0.5 < cortes[k + 1]; ++x) {
          pixel(x, y, color);
        }
      }
    }
  }

  uchar* bits_ = nullptr;
  qsizetype bytes_por_linea_ = 0;
  int ancho_ = 0, fila0_ = 0, fila1_ = 0;
  QPainter* pintor_ = nullptr;
  ModoDibujo modo_ = ModoDibujo::copia;
  Pluma pluma_, pluma_en_pintor_;
  QRgb pincel_ = 0, pincel_en_pintor_ = 1;
};

SuperficieImagen::SuperficieImagen(int ancho, int alto)
    : lienzo_(std::make_unique<Lienzo>()), bandas_(std::make_unique<Bandas>()) {
  fuente_.setStyleStrategy(QFont::NoAntialias);
  redimensiona(ancho, alto);
}

SuperficieImagen::~SuperficieImagen() {
  termina();
}

void SuperficieImagen::empieza() {
  // Taken before painting starts, so that the painter and the direct writes share one buffer.
  bits_ = imagen_.bits();
  pintor_ = std::make_unique<QPainter>(&imagen_);
  lienzo_->apunta(bits_, imagen_.bytesPerLine(), ancho_, 0, alto_, *pintor_);
}

void SuperficieImagen::termina() {
  if (pintor_) pintor_->end();
  pintor_.reset();
}

const QImage& SuperficieImagen::imagen() {
  termina();
  empieza();
  return imagen_;
}

void SuperficieImagen::redimensiona(int ancho, int alto) {
  termina();
  ancho_ = std::max(1, ancho);
  alto_ = std::max(1, alto);
  imagen_ = QImage(ancho_, alto_, QImage::Format_RGB32);
  imagen_.fill(Qt::black);
  empieza();
}

void SuperficieImagen::aclara(double fraccion) {
  termina();
  const int peso = std::clamp(static_cast<int>(fraccion * 256 + 0.5), 0, 256);
  const auto mezcla = [peso](int v) { return v + ((255 - v) * peso >> 8); };
  for (int y = 0; y < alto_; ++y) {
    auto* linea = reinterpret_cast<QRgb*>(imagen_.scanLine(y));
    for (int x = 0; x < ancho_; ++x) {
      const QRgb c = linea[x];
      linea[x] = qRgb(mezcla(qRed(c)), mezcla(qGreen(c)), mezcla(qBlue(c)));
    }
  }
  empieza();
}

void SuperficieImagen::borra(Rgb fondo) {
  imagen_.fill(a_qcolor(fondo));
}

void SuperficieImagen::modo(ModoDibujo modo) {
  lienzo_->modo(modo);
}

void SuperficieImagen::pluma(int estilo, int ancho, Rgb color) {
  lienzo_->pluma(estilo, ancho, a_qrgb(color));
}

void SuperficieImagen::pincel(Rgb color) {
  lienzo_->pincel(a_qrgb(color));
}

void SuperficieImagen::polilinea(std::span<const PuntoPantalla> puntos) {
  lienzo_->polilinea(puntos);
}

void SuperficieImagen::poligono(std::span<const PuntoPantalla> puntos) {
  lienzo_->poligono(puntos);
}

void SuperficieImagen::pixel(int x, int y, Rgb color) {
  lienzo_->pixel(x, y, a_qrgb(color));
}

void SuperficieImagen::punto(int x, int y) {
  lienzo_->punto(x, y);
}

void SuperficieImagen::circulo(int x, int y, int radio) {
  lienzo_->circulo(x, y, radio);
}

const SuperficieImagen::Mascara* SuperficieImagen::mascara(std::string_view utf8, int altura_px,
                                                           int escapamiento, Alineacion alineacion,
                                                           bool puede_vaciar, int& extension) {
  clave_.assign(utf8);
  clave_ += '\0';
  anade_a_clave(clave_, altura_px);
  auto medida = extensiones_.find(clave_);
  if (medida == extensiones_.end()) {
    fuente_.setPixelSize(std::max(1, altura_px));
    const int extension = QFontMetrics(fuente_).horizontalAdvance(a_qstring(utf8)) + altura_px;
    medida = extensiones_.emplace(clave_, extension).first;
  }
  extension = medida->second;
  if (extension > kExtensionMaximaMascara) return nullptr;

  const int paso = paso_de_angulo(extension);
  escapamiento = (escapamiento % 3600 + 3600) % 3600 / paso * paso;
  anade_a_clave(clave_, escapamiento);
  clave_ += static_cast<char>(3 * static_cast<int>(alineacion.horizontal) +
                              static_cast<int>(alineacion.vertical));
  if (const auto encontrada = mascaras_.find(clave_); encontrada != mascaras_.end()) {
    return &encontrada->second;
  }
  if (puede_vaciar && mascaras_.size() >= kMaxMascaras) {
    mascaras_.clear();
    extensiones_.clear();
  }
  // Rendered once in white on black around the anchor, then kept as the pixels it sets.
  fuente_.setPixelSize(std::max(1, altura_px));
  const int radio = extension + altura_px + 4;
  QImage lienzo(2 * radio + 1, 2 * radio + 1, QImage::Format_RGB32);
  lienzo.fill(Qt::black);
  {
    QPainter pintor(&lienzo);
    pintor.setRenderHint(QPainter::TextAntialiasing, false);
    pintor.setPen(Qt::white);
    pintor.translate(radio, radio);
    coloca_en_ancla(pintor, fuente_, a_qstring(utf8), escapamiento, alineacion);
  }
  Mascara nueva;
  for (int y = 0; y < lienzo.height(); ++y) {
    const auto* linea = reinterpret_cast<const QRgb*>(lienzo.constScanLine(y));
    for (int x = 0; x < lienzo.width(); ++x) {
      if (qRed(linea[x]) <= 127) continue;
      nueva.pixeles.emplace_back(x - radio, y - radio);
      if (nueva.fila_maxima < nueva.fila_minima) nueva.fila_minima = y - radio;
      nueva.fila_maxima = y - radio;
    }
  }
  return &mascaras_.emplace(clave_, std::move(nueva)).first->second;
}

void SuperficieImagen::texto(int x, int y, std::string_view utf8, int altura_px, int escapamiento,
                             Alineacion alineacion, Rgb color) {
  if (utf8.empty()) return;
  int extension = 0;
  if (const Mascara* m = mascara(utf8, altura_px, escapamiento, alineacion, true, extension)) {
    lienzo_->mascara(x, y, *m, a_qrgb(color));
    return;
  }
  fuente_.setPixelSize(std::max(1, altura_px));
  lienzo_->texto_pintado(x, y, a_qstring(utf8), fuente_, escapamiento, alineacion, a_qrgb(color));
}

void SuperficieImagen::reproduce(std::span<const Grabacion* const> grabaciones) {
  std::size_t ordenes = 0;
  for (const Grabacion* g : grabaciones) ordenes += g->ordenes().size();
  if (ordenes < kOrdenesParaBandas || hilos_disponibles() < 2 || alto_ < 2) {
    Superficie::reproduce(grabaciones);
    return;
  }
  pinta_bandas(grabaciones, ordenes);
}

namespace {

// A recorded text as the bands see it: its operation, its mask (nullptr when it is painted) and
// the rows it reaches (none when it is empty).
struct TextoEnBandas {
  std::uint32_t orden;
  const SuperficieImagen::Mascara* mascara;
  int fila_minima, fila_maxima;
};

// An entry of a band's list: an operation's place in its recording, or, with this bit, a text's
// place in the recording's list of texts.
constexpr std::uint32_t kEsTexto = 1u << 31;

void pinta_orden(SuperficieImagen::Lienzo& lienzo, const Grabacion& grabacion,
                 const Grabacion::Orden& orden) {
  switch (orden.tipo) {
    case Grabacion::Tipo::borra:
      lienzo.borra(orden.pincel | 0xFF000000u);
      break;
    case Grabacion::Tipo::modo:
      lienzo.modo(static_cast<ModoDibujo>(orden.alineacion));
      break;
    case Grabacion::Tipo::pixel:
      lienzo.pixel(orden.x0, orden.y0, orden.pluma);
      break;
    case Grabacion::Tipo::texto:
      break;  // drawn from its TextoEnBandas
    default: {
      const int cx = orden.x0 + (orden.x1 - orden.x0) / 2,
                cy = orden.y0 + (orden.y1 - orden.y0) / 2;
      lienzo.pluma(orden.estilo, orden.ancho, orden.pluma);
      lienzo.pincel(orden.pincel);
      if (orden.tipo == Grabacion::Tipo::polilinea) lienzo.polilinea(grabacion.puntos(orden));
      if (orden.tipo == Grabacion::Tipo::poligono) lienzo.poligono(grabacion.puntos(orden));
      if (orden.tipo == Grabacion::Tipo::punto) lienzo.punto(cx, cy);
      if (orden.tipo == Grabacion::Tipo::circulo) lienzo.circulo(cx, cy, orden.a);
      break;
    }
  }
}

}  // namespace

struct SuperficieImagen::Bandas {
  std::vector<std::vector<TextoEnBandas>> textos;  // of each recording
  std::vector<std::vector<std::uint32_t>> listas;  // recording k, band b: listas[k * bandas + b]
};

void SuperficieImagen::mascaras_de_textos(std::span<const Grabacion* const> grabaciones) {
  // Made here, on this thread, before any band starts. Texts often repeat the one before (the
  // marks of texts too small to read): their mask is looked up once.
  if (mascaras_.size() >= kMaxMascaras) {
    mascaras_.clear();
    extensiones_.clear();
  }
  bandas_->textos.resize(grabaciones.size());
  const Grabacion::Orden* previa = nullptr;
  std::string_view texto_previo;
  const Mascara* mascara_previa = nullptr;
  int extension = 0;
  for (std::size_t k = 0; k < grabaciones.size(); ++k) {
    const Grabacion& g = *grabaciones[k];
    auto& textos = bandas_->textos[k];
    textos.clear();
    for (const std::uint32_t i : g.textos()) {
      const Grabacion::Orden& orden = g.ordenes()[i];
      TextoEnBandas t{i, nullptr, 1, 0};
      if (orden.cuantos > 0) {
        const std::string_view texto = g.texto(orden);
        if (previa == nullptr || texto != texto_previo || orden.a != previa->a ||
            orden.b != previa->b || orden.alineacion != previa->alineacion) {
          mascara_previa =
              mascara(texto, orden.a, orden.b, orden.alineacion_texto(), false, extension);
          previa = &orden;
          texto_previo = texto;
        }
        t.mascara = mascara_previa;
        if (t.mascara != nullptr) {
          t.fila_minima = orden.y0 + t.mascara->fila_minima;
          t.fila_maxima = orden.y0 + t.mascara->fila_maxima;
        } else {
          // A painted text stays within its advance plus its height of the anchor.
          const int radio = extension + std::abs(orden.a) + 4;
          t.fila_minima = orden.y0 - radio;
          t.fila_maxima = orden.y0 + radio;
        }
      }
      textos.push_back(t);
    }
  }
}

std::vector<int> SuperficieImagen::cortes_de_bandas(std::span<const Grabacion* const> grabaciones,
                                                    std::size_t ordenes) const {
  // Bands of about equal numbers of operations starting in them, counted on a sample.
  constexpr std::size_t kMuestra = 1 << 14;
  const std::size_t paso = std::max<std::size_t>(1, ordenes / kMuestra);
  std::vector<int> desde_fila(static_cast<std::size_t>(alto_), 0);
  std::size_t muestras = 0;
  for (const Grabacion* g : grabaciones) {
    for (std::size_t i = 0; i < g->ordenes().size(); i += paso) {
      ++desde_fila[static_cast<std::size_t>(std::clamp(g->ordenes()[i].y0, 0, alto_ - 1))];
      ++muestras;
    }
  }
  const std::size_t num_bandas =
      std::min<std::size_t>(std::size_t{hilos_disponibles()} * kBandasPorHilo, alto_);
  std::vector<int> cortes{0};
  std::size_t acumuladas = 0;
  for (int y = 0; y < alto_ && cortes.size() < num_bandas; ++y) {
    acumuladas += static_cast<std::size_t>(desde_fila[static_cast<std::size_t>(y)]);
    if (acumuladas * num_bandas >= muestras * cortes.size() && y + 1 > cortes.back()) {
      cortes.push_back(y + 1);
    }
  }
  if (cortes.back() < alto_) cortes.push_back(alto_);
  return cortes;
}

void SuperficieImagen::pinta_bandas(std::span<const Grabacion* const> grabaciones,
                                    std::size_t ordenes) {
  mascaras_de_textos(grabaciones);
  const std::vector<int> cortes = cortes_de_bandas(grabaciones, ordenes);
  const std::size_t num_bandas = cortes.size() - 1;
  std::vector<std::uint16_t> banda_de_fila(static_cast<std::size_t>(alto_));
  for (std::size_t b = 0; b < num_bandas; ++b) {
    std::fill(banda_de_fila.begin() + cortes[b], banda_de_fila.begin() + cortes[b + 1],
              static_cast<std::uint16_t>(b));
  }

  // Each recording's operations sorted into the bands their rows reach, in order.
  auto& listas = bandas_->listas;
  listas.resize(std::max(listas.size(), grabaciones.size() * num_bandas));
  en_paralelo(grabaciones.size(), [&](std::size_t k) {
    const Grabacion& g = *grabaciones[k];
    const auto lista = listas.begin() + static_cast<std::ptrdiff_t>(k * num_bandas);
    for (std::size_t b = 0; b < num_bandas; ++b) lista[static_cast<std::ptrdiff_t>(b)].clear();
    const auto& textos = bandas_->textos[k];
    std::uint32_t siguiente_texto = 0;
    const auto& todas = g.ordenes();
    for (std::uint32_t i = 0; i < todas.size(); ++i) {
      const Grabacion::Orden& orden = todas[i];
      std::uint32_t entrada = i;
      int fila_minima = orden.y0, fila_maxima = orden.y1;
      if (orden.tipo == Grabacion::Tipo::texto) {
        const TextoEnBandas& t = textos[siguiente_texto];
        entrada = siguiente_texto++ | kEsTexto;
        fila_minima = t.fila_minima;
        fila_maxima = t.fila_maxima;
      } else if (orden.tipo == Grabacion::Tipo::borra || orden.tipo == Grabacion::Tipo::modo) {
        fila_minima = 0;
        fila_maxima = alto_ - 1;
      }
      if (fila_maxima < fila_minima || fila_maxima < 0 || fila_minima >= alto_) continue;
      const std::size_t primera = banda_de_fila[static_cast<std::size_t>(std::max(fila_minima, 0))];
      const std::size_t ultima =
          banda_de_fila[static_cast<std::size_t>(std::min(fila_maxima, alto_ - 1))];
      for (std::size_t b = primera; b <= ultima; ++b) {
        lista[static_cast<std::ptrdiff_t>(b)].push_back(entrada);
      }
    }
  });

  uchar* const bits = bits_;
  const qsizetype bytes_por_linea = imagen_.bytesPerLine();
  const ModoDibujo modo = lienzo_->modo_actual();
  en_paralelo(num_bandas, [&](std::size_t b) {
    const int fila0 = cortes[b], fila1 = cortes[b + 1];
    // The whole picture behind the painter, clipped to the band: a shape is clipped against
    // the picture first, as when it is drawn on the picture itself.
    QImage imagen(bits, ancho_, alto_, bytes_por_linea, QImage::Format_RGB32);
    QPainter pintor(&imagen);
    pintor.setClipRect(QRect(0, fila0, ancho_, fila1 - fila0));
    Lienzo lienzo;
    lienzo.modo_inicial(modo);
    lienzo.apunta(bits, bytes_por_linea, ancho_, fila0, fila1, pintor);
    QFont fuente = fuente_;
    for (std::size_t k = 0; k < grabaciones.size(); ++k) {
      const Grabacion& g = *grabaciones[k];
      for (const std::uint32_t entrada : listas[k * num_bandas + b]) {
        if ((entrada & kEsTexto) == 0) {
          pinta_orden(lienzo, g, g.ordenes()[entrada]);
          continue;
        }
        const TextoEnBandas& t = bandas_->textos[k][entrada & ~kEsTexto];
        const Grabacion::Orden& orden = g.ordenes()[t.orden];
        if (t.mascara != nullptr) {
          lienzo.mascara(orden.x0, orden.y0, *t.mascara, orden.pluma);
        } else {
          fuente.setPixelSize(std::max(1, orden.a));
          lienzo.texto_pintado(orden.x0, orden.y0, a_qstring(g.texto(orden)), fuente, orden.b,
                               orden.alineacion_texto(), orden.pluma);
        }
      }
    }
  });

  // The surface goes on with the pen, brush and mode the drawing left.
  const Grabacion::Orden *ultimo_modo = nullptr, *ultima_forma = nullptr;
  for (const Grabacion* g : grabaciones) {
    if (g->ultimo_modo() != nullptr) ultimo_modo = g->ultimo_modo();
    if (g->ultima_forma() != nullptr) ultima_forma = g->ultima_forma();
  }
  if (ultimo_modo != nullptr) lienzo_->modo(static_cast<ModoDibujo>(ultimo_modo->alineacion));
  if (ultima_forma != nullptr) {
    lienzo_->pluma(ultima_forma->estilo, ultima_forma->ancho, ultima_forma->pluma);
    lienzo_->pincel(ultima_forma->pincel);
  }
}

}  // namespace telmora
