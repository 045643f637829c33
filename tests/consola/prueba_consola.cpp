#include <gtest/gtest.h>

#include "apoyo_consola.h"

using prueba::EntornoConsola;
using prueba::visibles;
using Codigos = std::vector<std::string>;

namespace {

const Codigos kCodigos{"1",    "2",    "7",    "12", "15",  "150",  "1516", "1517", "1520",
                       "1539", "1540", "1615", "20", "100", "5000", "5001", "abc"};

}  // namespace

TEST(Consola, ListasDeVisibilidad) {
  const std::vector<std::pair<Codigos, Codigos>> casos{
      {{"OFF=*", "on=1539", "  On = ABC"}, {"1539"}},  // the word in any case, codes as typed
      {{"OFF=15*"}, {"1", "2", "7", "12", "1615", "20", "100", "5000", "5001", "abc"}},
      {{"OFF=*", "ON=*"}, kCodigos},
      {{"OFF=*", "ON=20-1", "ON=12-a", "ON=1-2-3", "ON=", "ON=-5"}, {}},
      {{"OFF=*", "ON=7,7"}, {"7"}},
      {{"OFF=*", "ON=1516, 1517 - 1520,12-a,abc"}, {"1516", "1517", "1520", "abc"}},
      {{"OFF=*", "ON=1-2000000000"},
       {"1", "2", "7", "12", "15", "150", "1516", "1517", "1520", "1539", "1540", "1615", "20",
        "100", "5000"}}};
  for (const auto& [ordenes, esperado] : casos) {
    EntornoConsola e(kCodigos);
    for (const auto& orden : ordenes) e.teclea(orden);
    EXPECT_EQ(visibles(e.sesion.tabla), esperado) << ordenes.back();
  }
  telmora::ListaCodigos lista;
  telmora::traduce("20,100,1520-1522,x-1", lista);
  lista.ordena();
  EXPECT_EQ(lista.codigos(), (Codigos{"100", "1520", "1521", "1522", "20", "Error"}));
}

TEST(Consola, UnaListaDeMasDe5000CodigosSeCortaYSeAvisaUnaVezPorOrden) {
  EntornoConsola e(kCodigos);
  e.teclea("OFF=*");
  e.teclea("ON=1-6000");
  EXPECT_TRUE(e.sesion.tabla.fila(15).visible);   // 5000
  EXPECT_FALSE(e.sesion.tabla.fila(16).visible);  // 5001
  ASSERT_EQ(e.dialogos.mostrados.size(), 1u);
  EXPECT_NE(e.dialogos.mostrados[0].texto.find("5000"), std::string::npos);

  std::string repetida = "ON=1-4998";
  for (int i = 0; i < 6000; ++i) repetida += ",5001";
  e.teclea(repetida + ",7");
  EXPECT_TRUE(e.sesion.tabla.fila(16).visible);
  e.datos.escribe("largas.txt", "OFF=*\r\nON=1-6000\r\nON=2-7000\r\n");
  e.teclea("@largas.txt");
  EXPECT_EQ(e.dialogos.mostrados.size(), 3u);
  EXPECT_TRUE(e.sesion.tabla.fila(16).visible);
}

TEST(Consola, FicherosDeCodigosYDeOrdenes) {
  EntornoConsola e(kCodigos);
  e.trabajo.escribe("codigos.tab", "1539;1540;7\r\n 1615 ;\r\n\r\n;;12\r\n1539\r\n");
  e.datos.escribe("viales.m", "1516\n");
  e.datos.escribe("ordenes.txt",
                  "OFF=*\r\n on=codigos.tab \r\nON_A=7\r\nZOOMP=1,1\r\nregenera\r\n");
  e.tablas.escribe("ordenes.txt", "ON=*\r\n");
  e.tablas.escribe("tablas.txt", "ON=viales.m\r\n");
  e.visualizacion.seleccion = true;
  e.teclea(" @ ordenes.txt");  // in the data folder, before the command-file folder
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1539", "1540", "1615"}));
  EXPECT_FALSE(e.visualizacion.seleccion);
  EXPECT_EQ(e.visor.llamadas, Codigos{"regenera"});
  e.trabajo.escribe("ordenes.txt", "ON=7\r\n");  // the working folder comes first
  e.teclea("@ordenes.txt");
  e.teclea("@tablas.txt");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"7", "1516", "1539", "1540", "1615"}));
  EXPECT_TRUE(e.dialogos.mostrados.empty());

  e.teclea("OFF=falta.tab");
  e.teclea("@falta.txt");
  EXPECT_EQ(e.dialogos.textos(),
            (Codigos{"No existe el fichero :" + (e.trabajo / "falta.tab").string(),
                     "No existe el fichero :falta.txt"}));
  EXPECT_EQ(visibles(e.sesion.tabla).size(), 5u);
}

TEST(Consola, ColoresYDistanciaConArgumentosMalosSeExplican) {
  EntornoConsola e(kCodigos);  // a table without a settings line
  for (const std::string mala :
       {"COLOR_FONDO=azul", "COLOR_FONDO=256", "COLOR_FONDO=-1", "COLOR_FONDO=255.5",
        "COLOR_NUEVO=-0.6", "COLOR_NUEVO=999999999999", "DA=lejos", "DA=nan", "DA="}) {
    e.dialogos.mostrados.clear();
    e.teclea(mala);
    ASSERT_EQ(e.dialogos.mostrados.size(), 1u) << mala;
    EXPECT_EQ(e.dialogos.mostrados[0].texto.rfind(mala.substr(0, mala.find('=')) + ": ", 0), 0u);
  }
  EXPECT_FALSE(e.sesion.tabla.tiene_ajustes());
  EXPECT_EQ(e.visualizacion.distancia_cotas, 0);

  e.dialogos.mostrados.clear();
  e.teclea("COLOR_NUEVO= 4");
  EXPECT_EQ(e.sesion.tabla.color_de_fila(0), 4);
  EXPECT_FALSE(e.sesion.tabla.tiene_ajustes());  // the background stays black
  e.teclea("color_fondo=3");
  EXPECT_EQ(e.sesion.tabla.ajuste_fondo, 3);
  EXPECT_EQ(e.sesion.tabla.color_de_fila(0), 4);
  e.teclea("DA=2,5");
  EXPECT_EQ(e.visualizacion.distancia_cotas, 2.5);
  EXPECT_TRUE(e.dialogos.mostrados.empty());

  // Integers are taken as typed numbers are converted to integers: rounded, halves to even.
  for (const auto& [orden, indice] :
       std::vector<std::pair<std::string, int>>{{"COLOR_FONDO=3.0", 3},
                                                {"COLOR_FONDO= 2,5 ", 2},
                                                {"COLOR_FONDO=254.6", 255},
                                                {"COLOR_FONDO=-0.4", 0}}) {
    e.teclea(orden);
    EXPECT_EQ(e.sesion.tabla.ajuste_fondo, indice) << orden;
  }
  e.teclea("COLOR_NUEVO=7.0");
  EXPECT_EQ(e.sesion.tabla.color_de_fila(0), 7);
  // DA takes any number.
  e.teclea("DA=-3");
  EXPECT_EQ(e.visualizacion.distancia_cotas, -3);
  EXPECT_TRUE(e.dialogos.mostrados.empty());
}

TEST(Consola, Zoomp) {
  EntornoConsola e(kCodigos);
  e.sesion.hoja.rango.xmin = 100000, e.sesion.hoja.rango.xmax = 200000;  // 1000 to 2000 m
  e.sesion.hoja.rango.ymin = 300000, e.sesion.hoja.rango.ymax = 400000;  // 3000 to 4000 m
  for (const char* fuera : {"ZOOMP=999.99,3500", "ZOOMP=2000.01,3500", "ZOOMP=1500,2999"}) {
    e.dialogos.mostrados.clear();
    e.teclea(fuera);
    EXPECT_EQ(e.dialogos.textos(), Codigos{"Coordenada fuera de fichero"}) << fuera;
  }
  e.teclea("ZOOMP=1500");
  EXPECT_TRUE(e.visor.llamadas.empty());

  e.dialogos.mostrados.clear();
  e.teclea("zoomp = 1500.25 , 3000");
  EXPECT_TRUE(e.dialogos.mostrados.empty());
  EXPECT_EQ(e.visor.llamadas, (Codigos{"centrar", "pulsa 1500.25 3000"}));
}

TEST(Consola, CadaFormaPoneElInterruptorDeSeleccion) {
  EntornoConsola e(kCodigos);
  for (const auto& [orden, seleccion] : std::vector<std::pair<std::string, bool>>{
           {"ON_A=7", true}, {"ON=7", false}, {"OFF_A=7", true}, {"OFF=7", false}}) {
    e.visualizacion.seleccion = !seleccion;
    e.teclea(orden);
    EXPECT_EQ(e.visualizacion.seleccion, seleccion) << orden;
  }
  using Entrada = void (*)(telmora::Consola&, telmora::AccionesVisor&);
  const std::vector<std::tuple<Entrada, bool, Codigos>> entradas{
      {telmora::OffPares,
       false,
       {"150", "1516", "1517", "1520", "1539", "1540", "1615", "100", "5000", "5001", "abc"}},
      {telmora::OnTodo, false, kCodigos},
      {telmora::mnuSueloUrbano, true, {"1539", "1615"}},
      {telmora::mnuVialUrbano, true, {"1516", "1517", "1520"}},
      {telmora::mnuTodos, true, kCodigos}};
  for (const auto& [entrada, seleccion, esperado] : entradas) {
    e.visor.llamadas.clear();
    e.visualizacion.seleccion = !seleccion;
    auto consola = e.consola();
    entrada(consola, e.visor);
    EXPECT_EQ(e.visualizacion.seleccion, seleccion);
    EXPECT_EQ(visibles(e.sesion.tabla), esperado);
    EXPECT_EQ(e.visor.llamadas, Codigos{"regenera"});
  }
}

TEST(Consola, OrdenesDelVisor) {
  EntornoConsola e(kCodigos);
  for (const auto& [orden, llamadas, pendiente] :
       std::vector<std::tuple<std::string, Codigos, int>>{
           {"salir", {"salir"}, 0},
           {"BININFO", {"bininfo"}, 0},
           {" ZoomA ", {"centrar"}, 2},
           {"LISTA", {"info_elemento"}, 2},
           {"PONERTEXTO", {"nuevo_texto"}, 2},
           {"BORRAR_V", {"borra_ventana"}, 0},
           {"ON_B=7", {}, 0},
           {"RELLENAR", {}, 0},  // the fill switch shows at the next redraw
           {"   ", {}, 9}}) {    // an empty input only closes the console
    e.visor.llamadas.clear();
    e.visor.pendiente = 9;
    e.teclea(orden);
    EXPECT_EQ(e.visor.llamadas, llamadas) << orden;
    EXPECT_EQ(e.visor.pendiente, pendiente) << orden;
  }
  EXPECT_FALSE(e.visualizacion.relleno);

  telmora::Consola sin_visor(e.sesion, e.visualizacion, e.dialogos);
  sin_visor.ejecuta("LISTA");
  EXPECT_EQ(e.dialogos.textos(), Codigos{"La orden LISTA solo se puede usar en el visor"});
  EXPECT_TRUE(telmora::es_orden_de_visibilidad(" off_a=1"));
  EXPECT_TRUE(telmora::es_orden_de_visibilidad("@o.txt"));
  EXPECT_FALSE(telmora::es_orden_de_visibilidad("ZOOMP=1,2"));
}
