// Run settings of a session: the sheet, its companion files, its unit and the tolerance, fixed
// when the sheet is opened.
#pragma once

#include <filesystem>
#include <string>

#include "carpetas.h"

namespace telmora {

inline constexpr int kUdsCentimetros = 100;
inline constexpr int kUdsMilimetros = 1000;
inline constexpr double kToleranciaDefecto = 0.5;

struct Ajustes {
  std::filesystem::path fich_entrada;
  std::filesystem::path fich_vekttab;
  std::filesystem::path fich_pal;
  int uds = kUdsCentimetros;
  double tolerancia_tentativo = kToleranciaDefecto;  // metres
  std::filesystem::path dir_trabajo;                 // the folder the user chose
  // Where files missing from the working folder are looked for.
  std::filesystem::path dir_datos = dir_datos_fijo();
  std::filesystem::path fichero_instalacion = telmora::fichero_instalacion();
};

// Finds the sheet and its companions as the start form does: each of the input file, Vekt.tab
// and Vekt.pal in the working folder, else in the fixed data folder. Throws
// ErrorFicheroInexistente naming the working-folder path of the first file found in neither
// place.
Ajustes busca_ficheros(const std::filesystem::path& dir_trabajo, const std::string& nombre_bin,
                       const std::filesystem::path& dir_datos);

// A sheet with its Vekt.tab and Vekt.pal in its own folder, which is the working folder;
// centimetres and the default tolerance.
Ajustes ajustes_junto_a(const std::filesystem::path& bin);

// The working folder as the start form shows it: always ending in a separator.
std::string texto_directorio(const std::filesystem::path& dir);

// Output name suggested for an input name: the part before its first "." followed by ".bin".
std::string nombre_salida_sugerido(const std::string& nombre_entrada);

}  // namespace telmora
