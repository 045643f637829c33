// The program's two companion libraries, loaded by file name from the program's own folder (then
// the installation's folder of libraries, then the system's search path) and bound by entry name
// at the first call of each function.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace telmora {

class BibliotecaDinamica {
 public:
  explicit BibliotecaDinamica(std::string nombre_fichero);
  ~BibliotecaDinamica();
  BibliotecaDinamica(const BibliotecaDinamica&) = delete;
  BibliotecaDinamica& operator=(const BibliotecaDinamica&) = delete;

  // The address of an exported function; loads the library on first use. A missing library or
  // entry throws ErrorTelmora naming the file and the entry.
  void* funcion(const char* nombre);
  const std::string& nombre_fichero() const { return nombre_fichero_; }

 private:
  void carga();

  std::string nombre_fichero_;
  void* manejador_ = nullptr;
};

// File names of the libraries on this platform.
const char* fichero_proyeccion();
const char* fichero_orogrid();

// The folder of the running program.
std::string carpeta_del_programa();

struct Proyeccion {
  double xf = 0, yf = 0;  // foot of the perpendicular
  double distancia = 0;
  bool en_segmento = false;
};

// Projection of P onto segment P1-P2 through the proyeccion library.
Proyeccion proyeccion(double x1, double y1, double x2, double y2, double xp, double yp);

// The terrain-model library (one model per process): load a model file (0 loaded, -1 not),
// the elevation at a point in file units (-1 when there is none), and release (1 released, -1
// nothing held).
std::int32_t fnOrogrid(const std::filesystem::path& ruta);
double fnGetZValue(double x, double y);
std::int32_t fnUnloadMDT();
// Binds the three functions of the terrain library at once, so that a missing one is known
// before the model is used (ErrorTelmora naming it).
void enlaza_orogrid();

}  // namespace telmora
