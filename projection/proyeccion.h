// Projection of a point onto a segment: the one export of the proyeccion library.
#pragma once

#include <cstdint>

// On Windows the module-definition file names the exports: a dllexport here would bring back
// the decorated 32-bit names (name@bytes).
#if defined(_WIN32)
#define PROYECCION_EXPORT
#define PROYECCION_LLAMADA __stdcall
#else
#define PROYECCION_EXPORT __attribute__((visibility("default")))
#define PROYECCION_LLAMADA
#endif

extern "C" {
// Foot (xf, yf) of the perpendicular from (xp, yp) to the line through (x1, y1)-(x2, y2),
// its distance to the point, and en_segmento = 1 when the foot lies on the segment
// (either end included), 0 otherwise. Every output is written on every call.
PROYECCION_EXPORT void PROYECCION_LLAMADA proyeccion(double x1, double y1, double x2, double y2,
                                                     double xp, double yp, double* xf, double* yf,
                                                     double* distancia, std::int32_t* en_segmento);
}

// Signature used by callers that bind the export by name.
using FuncionProyeccion = void(PROYECCION_LLAMADA*)(double, double, double, double, double, double,
                                                    double*, double*, double*, std::int32_t*);
