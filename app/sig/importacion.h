// Import of GIS sources into a new entity file. Every layer of the sources (or the layers
// named) is read in order: lines become open elements; each ring of a polygon becomes a closed
// element; multi-geometries and collections are split into their members; points become
// elements of one vertex, or texts where their layer has the text field. Coordinates are taken
// times the file's units per metre and rounded; z comes from the geometry (0 without one).
// A geometry of more than 32,767 vertices (the most an entity holds) is split into pieces that
// share their cut vertex. Missing and empty geometries, and those that cannot be entities
// (a line of one vertex, a ring of fewer than three, a coordinate the file cannot hold), are
// counted and skipped. When every feature read carries the number of an exported entity
// (field "entidad"), the entities are written in that order, as the sheet had them.
//
// The output is written whole or not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ajustes.h"
#include "progreso.h"

namespace telmora {

struct OpcionesImportacion {
  std::vector<std::string> capas;  // layers to read; empty: every layer with geometries
  // The code: the field `campo_codigo` (cut to 7 characters), else the fixed `codigo`, else
  // the field "codigo" when the layer has it. A feature without a value takes `codigo`.
  std::optional<std::string> campo_codigo;
  std::optional<std::string> codigo;
  // Points of a layer with this field (by default "texto") become texts.
  std::optional<std::string> campo_texto;
  // Height of the texts in metres; without it, the field "altura" when the layer has it, else
  // kAlturaTextoImportado. Angle and justification come from the fields "angulo" (degrees)
  // and "justificacion" when present, else 0.
  std::optional<double> altura_texto;
  int uds = kUdsCentimetros;
};

inline constexpr double kAlturaTextoImportado = 2.0;  // metres

struct ResultadoImportacion {
  struct Capa {
    std::string origen;
    std::string nombre;
    bool leida = true;  // false for a table without geometries, left out
    std::int64_t rasgos = 0;
    std::int64_t entidades = 0;
  };
  std::vector<Capa> capas;
  std::filesystem::path destino;
  std::int64_t elementos = 0, textos = 0;
  std::int64_t vacias = 0;     // features without a geometry, or with an empty one
  std::int64_t invalidas = 0;  // parts that cannot be entities
  std::int64_t partidas = 0;   // parts of more than 32,767 vertices, split
  bool en_orden_de_entidad = false;
  std::vector<std::string> avisos;

  std::vector<std::string> lineas() const;
};

// Reads the sources and writes the entity file. A source that cannot be read, a layer named
// that no source has or that has no geometries, a geometry that is not made of points, lines
// and surfaces, or nothing at all to import, throws ErrorEntradaSig (or
// ErrorFicheroInexistente) before anything is written; a failed write throws ErrorTelmora.
// Either way there is no output.
ResultadoImportacion importa_sig(const std::vector<std::filesystem::path>& origenes,
                                 const std::filesystem::path& destino,
                                 const OpcionesImportacion& opciones,
                                 Progreso& progreso = Progreso::ninguno());

}  // namespace telmora
