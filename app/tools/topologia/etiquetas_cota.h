// Elevation labels of the line network: one at every node, and along every arc one each DA
// metres (the console's "DA") and one at each inner vertex where the line turns from rising to
// falling or back. The viewer draws them; "Graba" also appends each as a text element (code
// "1403") to the sheet's "COT" file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "hoja.h"
#include "topologia/grafo.h"

namespace telmora {

// Label spacing along the arcs when DA is 0, in metres.
inline constexpr double kDistanciaCotasDefecto = 20;
// Code and height (file units) of the labels written as texts.
inline constexpr const char* kCodigoTextoCota = "1403";
inline constexpr std::int32_t kAlturaTextoCota = 1250;

// A label at a map position (file units, between vertices when interpolated) with its z and
// its text: z in metres with at most three decimals, cut.
struct EtiquetaCota {
  double x = 0, y = 0, z = 0;
  std::string texto;
};

using ReceptorCotas = std::function<void(const EtiquetaCota&)>;

// Labels along each arc of the graph, in arc order and along each arc from its first vertex.
// With L the arc's plane length, m = L / (uds × DA) rounded (halves to even) labels divide it
// into equal steps: one goes at each step point inside the arc, its position and z interpolated
// within the segment that holds it (the arc's ends are nodes, labelled by
// pintocotasextremocalles). An inner vertex gets a label of its own when the line rises to it and
// falls after it, or falls to it and rises after it, and its z differs from the previous vertex's
// by more than a quarter of a metre (unless a step point fell on it). DA 0 (or less) means
// kDistanciaCotasDefecto. An arc is cut into at most kMaxPartesPorArco steps (a 20 km street at
// the default spacing): beyond that the steps are lengthened, so that an arc across the whole
// coordinate range gives a thousand labels rather than millions.
inline constexpr double kMaxPartesPorArco = 1000;
void pintocotastramos(const Hoja& hoja, const GrafoTopologico& grafo, int uds, double da,
                      const ReceptorCotas& receptor);

// A label at every node with its z, in node order.
void pintocotasextremocalles(const GrafoTopologico& grafo, int uds, const ReceptorCotas& receptor);

// Appends to `salida` a label as the text element GrabaCotasEnFicheroNuevo writes: "T=", code
// "1403", no attributes, one 12-character piece (the text padded with spaces or cut); range from
// the insertion point to 1250 × the text's length east and 1250 north, at its z, height 1250,
// justification 0, angle 0. The position and z are rounded to whole file units, halves to even.
void GrabaCotasEnFicheroNuevo(std::string& salida, const EtiquetaCota& etiqueta);

// The "COT" file of a sheet: its name with its last three characters replaced by "COT"
// (hoja.bin gives hoja.COT).
std::filesystem::path ruta_cot(const std::filesystem::path& hoja);

// Appends whole entities to a "COT" file, made when missing; all of them or, after a failure or
// a crash, none (ErrorTelmora with the path and the system's reason). One writer at a time:
// another process appending to it is refused (ErrorHojaOcupada).
void anade_a_cot(const std::filesystem::path& ruta, std::string_view entidades);

}  // namespace telmora
