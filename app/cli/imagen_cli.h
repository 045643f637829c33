// What the commands that draw share: the application object Qt's text drawing needs, the
// picture size option and the PNG output.
#pragma once

#include <QImage>
#include <ostream>
#include <string>

#include "argumentos.h"

namespace telmora::cli {

// Qt's drawing of text and its database drivers need an application object: one for the
// offscreen platform when there is none, created once.
void asegura_aplicacion();

// The picture's size when none is given.
inline constexpr int kAnchoImagen = 1920;
inline constexpr int kAltoImagen = 1080;

// --tamano ANCHOxALTO in pixels, 1 to 20000 each; kAnchoImagen x kAltoImagen when not given.
void tamano_de_opcion(const Argumentos& argumentos, int& ancho, int& alto);

// Writes the picture whole or not at all; ErrorTelmora naming the path when it cannot.
void guarda_png(const QImage& imagen, const std::string& ruta);

// The picture written to the path that --png names, when the option is given, never over the
// sheet (the first positional value). A picture that cannot be written is told on `errores` and
// gives false.
bool guarda_png_de_opcion(const Argumentos& argumentos, const QImage& imagen,
                          std::ostream& errores);

}  // namespace telmora::cli
