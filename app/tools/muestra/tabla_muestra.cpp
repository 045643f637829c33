// The sample's code table and palette.
#include <string>

#include "muestra/generador_muestra.h"

namespace telmora {

namespace {

struct CodigoMuestra {
  const char* codigo;
  int tipo;
  int color;
  int grosor;
  const char* descripcion;
};

// The codes the sample uses, and a few more that a production table carries. "2402" appears
// twice: the first entry is the one that counts.
constexpr CodigoMuestra kCodigos[] = {
    {"1516", 1, 7, 1, "Eje de calle"},
    {"1517", 1, 12, 2, "Eje de avenida"},
    {"1518", 1, 13, 2, "Eje de carretera"},
    {"1519", 1, 14, 1, "Camino"},
    {"1520", 1, 21, 1, "Senda peatonal"},
    {"1521", 1, 8, 1, "Eje de calle urbana"},
    {"1539", 2, 3, 1, "Edificación"},
    {"1540", 2, 4, 1, "Edificio en construcción"},
    {"1541", 2, 5, 1, "Cobertizo"},
    {"1610", 2, 6, 1, "Piscina"},
    {"1615", 2, 22, 1, "Recinto de suelo urbano"},
    {"1203", 2, 23, 1, "Muro de contención"},
    {"4011", 1, 16, 1, "Curva de nivel normal"},
    {"4012", 1, 17, 2, "Curva de nivel maestra"},
    {"4013", 1, 18, 1, "Curva de nivel auxiliar"},
    {"PSCT", 3, 19, 1, "Punto de cota en calle"},
    {"PCOT", 3, 20, 1, "Punto de cota"},
    {"2401", 3, 11, 1, "Farola"},
    {"2402", 3, 10, 1, "Árbol aislado"},
    {"2403", 3, 24, 1, "Boca de riego"},
    {"2404", 3, 25, 1, "Papelera"},
    {"2010", 4, 1, 1, "Nombre de calle"},
    {"2011", 4, 2, 1, "Número de manzana"},
    {"2012", 4, 26, 1, "Topónimo"},
    {"1403", 4, 27, 1, "Texto de cota"},
    {"5007", 1, 28, 1, "Límite de hoja"},
    {"5008", 1, 28, 1, "Límite de par estereoscópico"},
    {"5009", 1, 28, 1, "Línea de ruptura"},
    {"5010", 1, 29, 1, "Línea de control"},
    {"5011", 1, 29, 1, "Zona de oclusión"},
    {"5012", 1, 29, 1, "Zona de sombra"},
    {"5013", 1, 29, 1, "Zona de vegetación densa"},
    {"5014", 1, 29, 1, "Zona sin restitución"},
    {"5020", 1, 30, 1, "Borde virtual"},
    {"5099", 1, 30, 1, "Cierre virtual de recinto"},
    {"5108", 1, 30, 1, "Cierre de manzana"},
    {"5632", 1, 31, 1, "Línea virtual de vial"},
    {"5633", 1, 31, 1, "Línea virtual de acera"},
    {"60120", 3, 33, 1, "Error: bucle"},
    {"60121", 3, 33, 1, "Error: semibucle"},
    {"60130", 3, 33, 1, "Error: segmento duplicado"},
    {"60200", 4, 33, 1, "Número de error de inspección"},
    {"2402", 3, 15, 1, "Árbol aislado (entrada repetida)"},
};

// Palette lines; index c of the code table takes line c + 1.
constexpr const char* kPaleta[] = {
    "// Paleta de colores de la línea de restitución",
    "255 255 255",
    "255 255 0",
    "255 90 60",
    "230 120 40",
    "150 150 150",
    "0 170 255",
    "255 255 255",
    "220 220 220",
    "// Colores de vegetación",
    "0 200 0",
    "255 255 150",
    "255 210 0",
    "255 150 0",
    "200 160 100",
    "20 20 35",
    "170 110 60",
    "200 130 70",
    "140 100 60",
    "0 255 255",
    "0 200 200",
    "160 255 160",
    "120 120 255",
    "180 180 180",
    "0 120 255",
    "160 160 160",
    "255 190 255",
    "255 120 120",
    "90 90 255",
    "120 200 255",
    "200 200 255",
    "255 160 255",
    "255 0 255",
    "255 0 0",
    "// Reservados",
    "100 100 100",
    "60 60 60",
};

std::string linea_de_codigo(const CodigoMuestra& c) {
  // Fields: code, type, colour, pen, width, font, distance, symbol x and y, line type, the
  // fifteen dash lengths, and the quoted description.
  std::string linea = std::string(c.codigo) + " " + std::to_string(c.tipo) + " " +
                      std::to_string(c.color) + " 1 " + std::to_string(c.grosor) + " 0 0 0 0 " +
                      (c.tipo == 1 ? "1" : "0");
  for (int campo = 11; campo <= 25; ++campo) linea += " 0";
  return linea + " \"" + c.descripcion + "\"";
}

}  // namespace

std::string tabla_vekt_muestra() {
  std::string texto =
      "// Tabla de códigos de la hoja de muestra\r\n"
      "// Codigo Tipo Color Pluma Grosor Fuente Distancia SimbX SimbY TipoLinea Trazos... "
      "Descripcion\r\n"
      "//@ 15 32\r\n";
  for (const auto& codigo : kCodigos) texto += linea_de_codigo(codigo) + "\r\n";
  return texto;
}

std::string paleta_muestra() {
  std::string texto;
  for (const char* linea : kPaleta) texto += std::string(linea) + "\r\n";
  return texto;
}

}  // namespace telmora
