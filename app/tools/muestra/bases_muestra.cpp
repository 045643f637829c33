#include "muestra/bases_muestra.h"

#include <unordered_set>

#include "db/catalogo.h"
#include "db/creacion.h"
#include "db/errores.h"
#include "db/pares.h"
#include "fichero.h"

namespace telmora {

namespace {

// Catalogue entries: their MSLINK is the code they stand for, so that choosing an entry shows
// the codes that begin with it. Text fields are null where nullptr, numbers where negative.
struct EntradaMuestra {
  std::int64_t mslink, tema, io;
  const char* descripcion;
  const char* principal;
  const char* descripcion_principal;
  std::int64_t secundario;
  const char* descripcion_secundario;
  std::int64_t atributo;
};

constexpr EntradaMuestra kEntradas[] = {
    {1516, 1, 10, "Eje de calle", "1", "Calle", -1, nullptr, 1},
    {1517, 1, 10, "Eje de avenida", "2", "Avenida", -1, nullptr, 1},
    {1518, 1, 10, "Eje de carretera", "3", "Carretera", -1, nullptr, 1},
    {1519, 1, 10, "Camino", nullptr, nullptr, 1, "Camino de tierra", 2},
    {1520, 1, 10, "Senda peatonal", nullptr, nullptr, 2, "Senda", 2},
    {1521, 1, 10, "Eje de calle urbana", "sin enumerado", nullptr, -1, nullptr, 1},
    {1539, 2, 20, "Edificación", "1", "Edificio", -1, nullptr, 3},
    {1540, 2, 20, "Edificio en construcción", "2", "En construcción", -1, nullptr, 3},
    {1541, 2, 20, "Cobertizo", nullptr, nullptr, -1, nullptr, 3},
    {1610, 2, 20, "Piscina", "5", "Piscina", -1, nullptr, 3},
    {1203, 2, 20, "Muro de contención", nullptr, nullptr, 3, "Muro", 1},
    {1615, 2, 21, "Recinto de suelo urbano", "sin enumerado", nullptr, -1, "Recinto", 3},
    {4011, 3, 30, "Curva de nivel normal", "1", "Normal", -1, nullptr, 1},
    {4012, 3, 30, "Curva de nivel maestra", "2", "Maestra", -1, nullptr, 1},
    {4013, 3, 30, "Curva de nivel auxiliar", "3", "Auxiliar", -1, nullptr, 2},
    {2401, 4, 40, "Farola", "1", "Farola", -1, nullptr, 4},
    {2402, 4, 40, "Árbol aislado", "2", "Árbol", -1, nullptr, 4},
    {2403, 4, 40, "Boca de riego", "3", "Boca de riego", -1, nullptr, 4},
    {2404, 4, 40, "Papelera", nullptr, nullptr, -1, nullptr, 4},
    {2010, 5, 50, "Nombre de calle", "sin enumerado", nullptr, -1, nullptr, 4},
    {2011, 5, 50, "Número de manzana", "sin enumerado", nullptr, -1, nullptr, 4},
    {2012, 5, 50, "Topónimo", "sin enumerado", nullptr, -1, nullptr, 4},
    {1403, 5, 50, "Texto de cota", "sin enumerado", nullptr, -1, nullptr, 4},
    {5007, 6, 60, "Límite de hoja", nullptr, nullptr, -1, nullptr, 2},
    {5008, 6, 60, "Límite de par estereoscópico", nullptr, nullptr, -1, nullptr, 2},
    {5020, 6, 60, "Borde virtual", nullptr, nullptr, 4, "Virtual", 2},
    {5099, 6, 60, "Cierre virtual de recinto", nullptr, nullptr, 4, "Virtual", 2},
    {5632, 6, 60, "Línea virtual de vial", nullptr, nullptr, 5, "Vial", 2},
    {60200, 6, 60, "Número de error de inspección", "sin enumerado", nullptr, -1, nullptr, 4},
    // The same entry twice, as in the code table: the first one counts.
    {2402, 4, 40, "Árbol aislado (entrada repetida)", "2", "Árbol", -1, nullptr, 4},
};

// Theme 7 and object 70 have no entries: the browsers leave them out.
constexpr std::pair<std::int64_t, const char*> kTemas[] = {
    {1, "Vías de comunicación"}, {2, "Edificación"}, {3, "Relieve"},
    {4, "Mobiliario urbano"},    {5, "Toponimia"},   {6, "Líneas auxiliares"},
    {7, "Hidrografía"}};
constexpr std::pair<std::int64_t, const char*> kObjetos[] = {
    {10, "Vial"},           {20, "Construcción"},    {21, "Suelo urbano"},
    {30, "Curva de nivel"}, {40, "Elemento urbano"}, {50, "Rótulo"},
    {60, "Línea auxiliar"}, {70, "Masa de agua"}};
constexpr std::tuple<std::int64_t, const char*, const char*> kAtributos[] = {
    {1, "Trazo continuo", "TC"},
    {2, "Trazo discontinuo", "TD"},
    {3, "Relleno", "RL"},
    {4, "Símbolo", "SI"}};

Valor texto(const char* t) {
  return t == nullptr ? Valor() : Valor(std::string(t));
}
Valor numero(std::int64_t n) {
  return n < 0 ? Valor() : Valor(n);
}

std::vector<TablaNueva> catalogo() {
  std::vector<FilaBd> entradas, temas, objetos, atributos;
  for (const EntradaMuestra& e : kEntradas) {
    entradas.push_back({e.mslink, e.tema, e.io, texto(e.descripcion), texto(e.principal),
                        texto(e.descripcion_principal), numero(e.secundario),
                        texto(e.descripcion_secundario), e.atributo});
  }
  for (const auto& [id, nombre] : kTemas) temas.push_back({id, texto(nombre)});
  for (const auto& [id, nombre] : kObjetos) objetos.push_back({id, texto(nombre)});
  for (const auto& [id, nombre, abreviatura] : kAtributos) {
    atributos.push_back({id, texto(nombre), texto(abreviatura)});
  }
  return {tabla_catalogo(std::move(entradas)), tabla_temas(std::move(temas)),
          tabla_objetos(std::move(objetos)), tabla_atributos_graficos(std::move(atributos))};
}

// One pair per block name, in the order first met: about six in ten free, three blocked by one of
// twelve operators, and one in an intermediate state (2) that counts as neither.
std::vector<FilaBd> pares(const std::vector<ManzanaMuestra>& manzanas) {
  std::vector<FilaBd> filas;
  std::unordered_set<std::string> vistos;
  for (const ManzanaMuestra& manzana : manzanas) {
    if (!vistos.insert(manzana.nombre).second) continue;
    const std::int64_t n = static_cast<std::int64_t>(filas.size());
    const std::int64_t estado = n % 10 < 6 ? 0 : (n % 10 < 9 ? 1 : 2);
    filas.push_back({manzana.nombre, estado, estado == 0 ? Valor() : Valor(1 + n * 7 % 12),
                     manzana.superficie});
  }
  return filas;
}

std::vector<FilaBd> filas_de_errores(const std::vector<ErrorMuestra>& errores,
                                     const std::string& hoja) {
  constexpr const char* kTipos[] = {"Topología", "Atributos", "Geometría"};
  std::vector<FilaBd> filas;
  auto fila = [&](std::int32_t numero, const std::string& codigo, double x, double y, double z) {
    const std::size_t n = filas.size();
    filas.push_back({std::int64_t{numero}, std::string(kTipos[n % 3]), std::int64_t{1000},
                     std::string("E1"), std::string("2024-03-15 00:00:00"), hoja,
                     "E" + std::to_string(100 + n % 7), x, y, z,
                     std::string(n % 2 == 0 ? "Revisar el elemento" : "Comprobar el código"),
                     codigo, Valor(), Valor(), Valor(), Valor()});
  };
  for (const ErrorMuestra& e : errores) fila(e.numero, e.codigo, e.x, e.y, e.z);
  // Errors found on an earlier inspection, and errors that no text of the sheet names.
  if (filas.size() > 1) {
    filas[1][kColumnaEstado] = std::int64_t{1};
    filas[1][kColumnaDescripcionEstado] = std::string("visto;");
  }
  for (std::int32_t numero : {9001, 9002, 9003}) fila(numero, "1539", 0, 0, 0);
  return filas;
}

}  // namespace

BasesMuestra escribe_bases_muestra(const std::filesystem::path& bin,
                                   const std::vector<ManzanaMuestra>& manzanas,
                                   const std::vector<ErrorMuestra>& errores) {
  BasesMuestra bases;
  bases.control = bin.parent_path() / kNombreBdControl;
  bases.catalogo = bin.parent_path() / kNombreCatalogo;
  bases.errores = ruta_con_sufijo(bin, ".mdb");
  crea_base_datos_sqlite(bases.control, {tabla_control(pares(manzanas))});
  crea_base_datos_sqlite(bases.catalogo, catalogo());
  crea_base_datos_sqlite(bases.errores,
                         {tabla_errores(filas_de_errores(errores, ruta_texto(bin.stem())))});
  return bases;
}

}  // namespace telmora
