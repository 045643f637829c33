// Features of GIS formats as plain values: what the entity mapping exchanges with the GDAL
// reader and writer, so that nothing outside this folder sees GDAL.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "fichero.h"

namespace telmora {

// A GIS source or a request that cannot be used as given: a source GDAL cannot open or read,
// an unknown format or coordinate system, a layer that does not exist or holds geometries that
// are not points, lines or surfaces. telmora-cli reports it as bad input, not as a failed write.
class ErrorEntradaSig : public ErrorTelmora {
 public:
  using ErrorTelmora::ErrorTelmora;
};

enum class TipoGeometria { punto, linea, poligono };
enum class TipoCampo { entero, real, texto };

struct CampoSig {
  std::string nombre;
  TipoCampo tipo = TipoCampo::texto;
};

struct DefinicionCapa {
  std::string nombre;
  TipoGeometria geometria = TipoGeometria::punto;
  std::vector<CampoSig> campos;
};

struct PuntoSig {
  double x = 0, y = 0, z = 0;  // metres
};

// One part of a feature's geometry: a point, a line or a ring of a polygon (the outer ring
// first, then its holes), ending before puntos[fin].
enum class ClaseParte { punto, linea, anillo };
struct ParteSig {
  ClaseParte clase = ClaseParte::punto;
  std::uint32_t fin = 0;
};

// A field value; std::monostate is a null.
using ValorSig = std::variant<std::monostate, std::int64_t, double, std::string>;

// A field value as text (a number in its shortest form), or empty for a null.
std::string valor_como_texto(const ValorSig& valor);
// A field value as a number: a number as it is, a text when it reads as one; false otherwise.
bool valor_como_real(const ValorSig& valor, double& numero);

// One feature: its geometry in parts, one value per field of its layer, and its style as an
// OGR feature style string (written only; empty when read).
struct RasgoSig {
  std::vector<PuntoSig> puntos;
  std::vector<ParteSig> partes;
  std::vector<ValorSig> valores;
  std::string estilo;

  void vacia_geometria() {
    puntos.clear();
    partes.clear();
  }
  // Closes the current part as one of that class.
  void cierra_parte(ClaseParte clase) {
    partes.push_back({clase, static_cast<std::uint32_t>(puntos.size())});
  }
  std::uint32_t inicio(std::size_t parte) const { return parte == 0 ? 0 : partes[parte - 1].fin; }
};

}  // namespace telmora
