// Reads the layers of any vector source GDAL opens, feature by feature, as plain values.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "progreso.h"
#include "tipos_sig.h"

namespace telmora {

struct CapaLeida {
  std::string nombre;
  bool con_geometria = true;  // false for a table without a geometry column
  std::vector<CampoSig> campos;
};

class LectorSig {
 public:
  // Opens the source. A path that does not exist throws ErrorFicheroInexistente; a source GDAL
  // cannot open as vector data, or a shapefile without its .dbf (where its codes and texts
  // are), throws ErrorEntradaSig.
  explicit LectorSig(const std::filesystem::path& origen);
  ~LectorSig();
  LectorSig(const LectorSig&) = delete;
  LectorSig& operator=(const LectorSig&) = delete;

  const std::filesystem::path& origen() const;
  const std::vector<CapaLeida>& capas() const;

  // Hands each feature of a layer, in order, to `recibe`: its geometry split into parts
  // (points; lines, curves made into lines; the rings of each polygon; the members of multi-
  // geometries and collections; nothing for a missing or empty geometry), and in `valores` the
  // values of the fields `campos` (indices into CapaLeida::campos, -1 for a null). A geometry
  // that is not made of points, lines and surfaces (a polyhedral surface, a TIN), or a failure
  // to read, throws ErrorEntradaSig naming the layer.
  void lee(std::size_t capa, const std::vector<int>& campos,
           const std::function<void(const RasgoSig&)>& recibe, Progreso& progreso);

  // GDAL's warnings while reading (unclosed rings and the like).
  const std::vector<std::string>& avisos() const;

 private:
  struct Datos;
  std::unique_ptr<Datos> d_;
};

}  // namespace telmora
