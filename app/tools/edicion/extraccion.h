// Window extraction: the part of the loaded sheet that lies in the view window, written to a new
// entity file "_f.bin" beside the sheet. The sheet's file is not changed.
#pragma once

#include <filesystem>

#include "sesion.h"
#include "vista.h"

namespace telmora {

enum class ModoExtraccion {
  dentro,     // lines cut at the window's edges, only what is inside kept
  solapados,  // every element whose range overlaps the window, whole
};

// The point (metres) lies in the view window, edges included.
bool dentro_fuera_ventana(const Vista& vista, double x, double y);

// Writes the active cartographic elements whose code is switched on and whose range overlaps
// the view window (whole, or cut at the window's edges with interpolated elevations), then the
// texts whose insertion point lies in the window, each group in file order. Returns the path
// of the file written.
std::filesystem::path CortaFichero(const Sesion& sesion, const Vista& vista, ModoExtraccion modo);

}  // namespace telmora
