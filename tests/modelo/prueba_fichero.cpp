#include <gtest/gtest.h>

#include <filesystem>

#include "carpeta_temporal.h"
#include "fichero.h"
#include "limite_tamano.h"

using namespace telmora;

namespace {

std::vector<std::string> nombres(const prueba::CarpetaTemporal& carpeta) {
  std::vector<std::string> lista;
  for (const auto& entrada : std::filesystem::directory_iterator(carpeta.ruta())) {
    lista.push_back(entrada.path().filename().string());
  }
  return lista;
}

}  // namespace

TEST(EscribeLineas, SustituyeElFicheroEnteroConFinesDeLineaLf) {
  prueba::CarpetaTemporal carpeta;
  carpeta.escribe("l.txt", "antiguo\r\nmás largo que lo nuevo\r\n");
  escribe_lineas(carpeta / "l.txt", {" 1  2 ", "", "Adyacencia"});
  EXPECT_EQ(carpeta.lee("l.txt"), " 1  2 \n\nAdyacencia\n");
  escribe_lineas(carpeta / "l.txt", {});
  EXPECT_EQ(carpeta.lee("l.txt"), "");
  EXPECT_EQ(nombres(carpeta), std::vector<std::string>{"l.txt"});
}

#ifndef _WIN32
// A listing larger than any write buffer fails midway (as on a full disk): the previous file
// stays as it was and no temporary file is left.
TEST(EscribeLineas, UnaEscrituraQueFallaDejaElFicheroAnterior) {
  prueba::CarpetaTemporal carpeta;
  carpeta.escribe("l.txt", "anterior\n");
  const std::vector<std::string> lineas(100000, " 123456789  987654321  0 ");
  {
    prueba::LimiteDeTamano limite(64 * 1024);
    EXPECT_THROW(escribe_lineas(carpeta / "l.txt", lineas), ErrorTelmora);
  }
  EXPECT_EQ(carpeta.lee("l.txt"), "anterior\n");
  EXPECT_EQ(nombres(carpeta), std::vector<std::string>{"l.txt"});
}
#endif
