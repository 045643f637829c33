// Orogrid: loads one terrain model (.MDT) per process and answers the elevation at a point.
#pragma once

#include <cstdint>

// On Windows the module-definition file names the exports: a dllexport here would bring back
// the decorated 32-bit names (name@bytes).
#if defined(_WIN32)
#define OROGRID_EXPORT
#define OROGRID_LLAMADA __stdcall
#else
#define OROGRID_EXPORT __attribute__((visibility("default")))
#define OROGRID_LLAMADA
#endif

extern "C" {
// Loads the model file at `ruta` (zero-terminated, single-byte), replacing any model held.
// 0 when the model is loaded; -1 when it is not, and then no model is held.
OROGRID_EXPORT std::int32_t OROGRID_LLAMADA fnOrogrid(const char* ruta);

// Elevation at (x, y), truncated toward zero to whole units before the lookup; -1.0 when no
// model is held, the point is outside the model's boundary or no triangle holds it.
OROGRID_EXPORT double OROGRID_LLAMADA fnGetZValue(double x, double y);

// Releases the model: 1 when one was held, -1 when none was.
OROGRID_EXPORT std::int32_t OROGRID_LLAMADA fnUnloadMDT();
}

// Signatures used by callers that bind the exports by name.
using FuncionOrogrid = std::int32_t(OROGRID_LLAMADA*)(const char*);
using FuncionGetZValue = double(OROGRID_LLAMADA*)(double, double);
using FuncionUnloadMDT = std::int32_t(OROGRID_LLAMADA*)();
