#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "carpeta_temporal.h"
#include "ejecuta.h"
#include "procesos.h"

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;
using prueba::ejecuta;

namespace {

// The program itself, as a user runs it: the batch check starts more of itself.
telmora::cli::ProcesoTerminado corre(std::vector<std::string> argumentos) {
  argumentos.insert(argumentos.begin(), TELMORA_CLI);
  telmora::cli::ProcesoTerminado fin;
  telmora::cli::ejecuta_procesos({argumentos}, {},
                                 [&](std::size_t, auto f) { fin = std::move(f); });
  return fin;
}

// Every file under a folder with its bytes.
std::map<fs::path, std::string> contenido(const fs::path& carpeta) {
  std::map<fs::path, std::string> ficheros;
  for (const auto& e : fs::recursive_directory_iterator(carpeta)) {
    if (e.is_regular_file()) ficheros[e.path()] = prueba::lee_bytes(e.path());
  }
  return ficheros;
}

// The number after a line's label ("Textos NoPol :3").
long numero_tras(const std::string& salida, const std::string& etiqueta) {
  const auto pos = salida.find("\n" + etiqueta);
  EXPECT_NE(pos, std::string::npos) << etiqueta;
  return pos == std::string::npos ? -1 : std::stol(salida.substr(pos + 1 + etiqueta.size()));
}

std::string escribe(const fs::path& ruta, const std::string& bytes) {
  std::ofstream(ruta, std::ios::binary) << bytes;
  return ruta.string();
}

fs::path copia(const fs::path& carpeta, const fs::path& destino) {
  fs::copy(carpeta, destino, fs::copy_options::recursive);
  return destino / "hoja.bin";
}

// The row of resumen.csv that the single commands give for a sheet, each one on its own copy.
std::string fila_de_ordenes_sueltas(const std::string& nombre, const fs::path& carpeta,
                                    const CarpetaTemporal& trabajo) {
  const std::string info = "\n" + ejecuta({"info", copia(carpeta, trabajo / "i").string()}).salida;
  const std::string no_encontrados = info.substr(info.find("no encontrados\n"));
  const long codigos = std::count(no_encontrados.begin(), no_encontrados.end(), '\n') - 4;

  std::istringstream duplicados(ejecuta({"duplicados", (carpeta / "hoja.bin").string()}).salida);
  long enteros = 0, compartidos = 0, numero = 0, marca = 0;
  while (duplicados >> numero >> marca) (marca >= 3 ? compartidos : enteros) += 1;

  const std::string pdobles = "\n" + ejecuta({"pdobles", copia(carpeta, trabajo / "p").string(),
                                              "--tol-xy", "1", "--tol-z", "1"})
                                         .salida;
  fs::create_directories(trabajo / "l");
  const std::string topologia =
      "\n" + ejecuta({"topologia", (carpeta / "hoja.bin").string(), "--orden", "centroides",
                      "--listados", (trabajo / "l").string()})
                 .salida;
  const std::string depurar = "\n" + ejecuta({"depurar", copia(carpeta, trabajo / "d").string(),
                                              "--listados", (trabajo / "l").string()})
                                         .salida;
  for (const char* c : {"i", "p", "d"}) fs::remove_all(trabajo / c);

  const long lineales = numero_tras(info, " Lineales : "),
             puntuales = numero_tras(info, "Puntuales : "),
             textos = numero_tras(info, "   Textos : ");
  const std::vector<long> recuentos{lineales + puntuales + textos,
                                    lineales,
                                    puntuales,
                                    textos,
                                    codigos,
                                    enteros,
                                    compartidos,
                                    numero_tras(pdobles, "Puntos Dobles Eliminados : "),
                                    numero_tras(pdobles, "Errores Lazos : "),
                                    numero_tras(pdobles, "Errores semiLazos : "),
                                    numero_tras(pdobles, "Errores Duplicados : "),
                                    numero_tras(topologia, "Poligonos cerrados:"),
                                    numero_tras(topologia, "Recintos sin centroide :"),
                                    numero_tras(topologia, "Recintos con varios centroides :"),
                                    numero_tras(topologia, "Textos NoPol :"),
                                    numero_tras(topologia, "Textos +Pol :"),
                                    numero_tras(topologia, "Arcos colgantes :"),
                                    numero_tras(depurar, "Nodos movidos :"),
                                    numero_tras(depurar, "Elementos partidos :")};
  std::string fila = nombre;
  long hallazgos = 0;
  for (std::size_t i = 0; i < recuentos.size(); ++i) {
    fila += "," + std::to_string(recuentos[i]);
    hallazgos += (i < 4 || i == 11) ? 0 : recuentos[i];
  }
  return fila + (hallazgos == 0 ? ",correcta" : ",con errores");
}

std::vector<std::string> lineas_de(const std::string& texto) {
  std::vector<std::string> lineas;
  std::istringstream entrada(texto);
  for (std::string l; std::getline(entrada, l);) lineas.push_back(l);
  return lineas;
}

}  // namespace

// Over generated sheets of several sizes, with and without block outlines, plus one that is not
// an entity file: every count of the report is the one the single command prints, nothing under
// the production changes, and the rows written one by one as JSON and merged make the same
// report.
TEST(Revisar, RecuentosDeLasOrdenesSueltasSinCambiarNadaYElMismoInformeAlUnir) {
  CarpetaTemporal trabajo;
  const fs::path produccion = trabajo / "produccion";
  std::vector<std::string> nombres;
  for (int i = 0; i < 3; ++i) {
    const fs::path carpeta = produccion / ("h" + std::to_string(i));
    std::vector<std::string> generar{"generar",     carpeta.string(),
                                     "--entidades", std::to_string(150 + 250 * i),
                                     "--semilla",   std::to_string(i + 3)};
    if (i % 2 == 1) generar.push_back("--recintos");
    ASSERT_EQ(ejecuta(generar).estado, 0);
    nombres.push_back((carpeta / "hoja.bin").string());
  }
  fs::copy(produccion / "h0", produccion / "rota", fs::copy_options::recursive);
  escribe(produccion / "rota" / "hoja.bin", std::string(300, '\x7f'));
  const auto antes = contenido(produccion);

  const fs::path informe = trabajo / "informe";
  const auto fin =
      corre({"revisar", produccion.string(), "--informe", informe.string(), "--trabajos", "2"});
  EXPECT_EQ(fin.estado, 1) << fin.errores;
  EXPECT_EQ(contenido(produccion), antes);

  const std::vector<std::string> csv = lineas_de(prueba::lee_bytes(informe / "resumen.csv"));
  ASSERT_EQ(csv.size(), 5u);
  EXPECT_EQ(csv[0],
            "hoja,entidades,lineales,puntuales,textos,codigos_no_encontrados,duplicados,"
            "segmentos_compartidos,puntos_dobles,lazos,semilazos,segmentos_duplicados,"
            "poligonos_cerrados,sin_centroide,varios_centroides,nopol,maspol,arcos_colgantes,"
            "nodos_movidos,elementos_partidos,estado");
  for (std::size_t i = 0; i < nombres.size(); ++i) {
    EXPECT_EQ(csv[i + 1],
              fila_de_ordenes_sueltas(nombres[i], fs::path(nombres[i]).parent_path(), trabajo));
  }
  const std::string rota = (produccion / "rota" / "hoja.bin").string();
  EXPECT_EQ(csv[4].rfind(rota + std::string(19, ',') + ",error: ", 0), 0u) << csv[4];

  std::vector<std::string> unir{"revisar", "--unir"};
  nombres.push_back(rota);
  for (std::size_t i = 0; i < nombres.size(); ++i) {
    const auto una = corre({"revisar", nombres[i], "--json"});
    EXPECT_EQ(una.estado, 1) << una.errores;
    unir.push_back(escribe(trabajo / (std::to_string(i) + ".json"), una.salida));
  }
  unir.insert(unir.end(), {"--informe", (trabajo / "unido").string()});
  EXPECT_EQ(ejecuta(unir).estado, 1);
  for (const char* f : {"resumen.csv", "resumen.json", "informe.html"}) {
    EXPECT_EQ(prueba::lee_bytes(trabajo / "unido" / f), prueba::lee_bytes(informe / f)) << f;
  }
  EXPECT_EQ(contenido(produccion), antes);
}

// The exit status: 0 when every sheet is correct, 1 with findings or a sheet that could not be
// checked (here one stopped at its time limit), 2 for wrong arguments or no sheet.
TEST(Revisar, EstadosDeSalidaYLimitePorHoja) {
  CarpetaTemporal trabajo;
  ASSERT_EQ(ejecuta({"generar", (trabajo / "h").string(), "--entidades", "300"}).estado, 0);
  const std::string hoja = (trabajo / "h" / "hoja.bin").string();

  const auto agotada = corre({"revisar", hoja, "--limite", "0.001", "--informe",
                              (trabajo / "i").string(), "--trabajos", "1"});
  EXPECT_EQ(agotada.estado, 1);
  EXPECT_NE(prueba::lee_bytes(trabajo / "i" / "resumen.csv")
                .find(",error: la revisión no terminó en 1 ms y se detuvo"),
            std::string::npos);

  std::string limpia = "{\"hoja\":\"a.bin\"";
  for (const char* c :
       {"entidades", "lineales", "puntuales", "textos", "codigos_no_encontrados", "duplicados",
        "segmentos_compartidos", "puntos_dobles", "lazos", "semilazos", "segmentos_duplicados",
        "poligonos_cerrados", "sin_centroide", "varios_centroides", "nopol", "maspol",
        "arcos_colgantes", "nodos_movidos", "elementos_partidos"}) {
    limpia += ",\"" + std::string(c) + "\":" + (c[0] == 'e' && c[1] == 'n' ? "7" : "0");
  }
  const auto json = escribe(trabajo / "a.json", limpia + ",\"estado\":\"correcta\"}");
  const auto r = ejecuta({"revisar", "--unir", json, "--informe", (trabajo / "u").string()});
  EXPECT_EQ(r.estado, 0) << r.errores;
  EXPECT_NE(prueba::lee_bytes(trabajo / "u" / "resumen.csv").find("\na.bin,7,0,"),
            std::string::npos);

  fs::create_directories(trabajo / "vacia");
  for (const std::vector<std::string>& malos : {std::vector<std::string>{"revisar"},
                                                {"revisar", (trabajo / "vacia").string()},
                                                {"revisar", hoja, "--trabajos", "0"},
                                                {"revisar", hoja, "--limite", "-3"},
                                                {"revisar", hoja, "--tol-xy", "diez"},
                                                {"revisar", "--unir", hoja}}) {
    EXPECT_EQ(ejecuta(malos).estado, 2) << malos.back();
  }
  EXPECT_FALSE(fs::exists("revision"));
}

// telmora-cli hands the GIS commands over to the program that carries GDAL: as a user runs it,
// a sheet goes out to a GeoPackage and back whole, and what that program says and its exit
// status (a missing sheet) are the command's own.
TEST(Programa, LasOrdenesSigPasanAlProgramaQueLasLleva) {
  CarpetaTemporal trabajo;
  ASSERT_EQ(ejecuta({"generar", (trabajo / "h").string(), "--entidades", "300"}).estado, 0);
  const std::string hoja = (trabajo / "h" / "hoja.bin").string();
  const std::string gpkg = (trabajo / "h.gpkg").string();

  const auto exportada = corre({"exportar", hoja, gpkg});
  EXPECT_EQ(exportada.estado, 0) << exportada.errores;
  EXPECT_NE(exportada.salida.find("Escrito " + gpkg), std::string::npos) << exportada.salida;
  const auto importada = corre({"importar", gpkg, (trabajo / "vuelta.bin").string()});
  EXPECT_EQ(importada.estado, 0) << importada.errores;
  EXPECT_NE(importada.salida.find("300 entidades"), std::string::npos) << importada.salida;

  const auto sin_hoja = corre({"exportar", (trabajo / "no.bin").string(), gpkg + "2"});
  EXPECT_EQ(sin_hoja.estado, 2);
  EXPECT_NE(sin_hoja.errores.find("no.bin"), std::string::npos) << sin_hoja.errores;
}
