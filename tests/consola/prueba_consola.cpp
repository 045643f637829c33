#include <gtest/gtest.h>

#include "apoyo_consola.h"

using prueba::EntornoConsola;
using prueba::visibles;
using Codigos = std::vector<std::string>;

namespace {

const Codigos kCodigos{"1",    "2",    "7",    "12",   "15",   "150", "1516", "1517", "1518",
                       "1519", "1520", "1539", "1540", "1615", "20",  "100",  "abc"};

}  // namespace

TEST(Consola, LaPalabraSeLeeEnCualquierCajaYLosCodigosNo) {
  EntornoConsola e(kCodigos);
  e.teclea("OFF=*");
  e.teclea("on=1539");
  e.teclea("  On = ABC");
  EXPECT_EQ(visibles(e.sesion.tabla), Codigos{"1539"});
  e.teclea("on = abc , 7");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"7", "1539", "abc"}));
  EXPECT_TRUE(e.dialogos.mostrados.empty());
}

TEST(Consola, ElAsteriscoTomaElPrefijo) {
  EntornoConsola e(kCodigos);
  e.teclea("OFF=15*");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1", "2", "7", "12", "1615", "20", "100", "abc"}));
  e.teclea("OFF=*");
  EXPECT_TRUE(visibles(e.sesion.tabla).empty());
  e.teclea("ON=*");
  EXPECT_EQ(visibles(e.sesion.tabla), kCodigos);
}

TEST(Consola, RangosYListas) {
  EntornoConsola e(kCodigos);
  e.teclea("OFF=*");
  for (const char* nada : {"ON=20-1", "ON=12-a", "ON=1-2-3", "ON=", "ON=-5"}) {
    e.teclea(nada);
    EXPECT_TRUE(visibles(e.sesion.tabla).empty()) << nada;
  }
  e.teclea("ON=7,7");
  EXPECT_EQ(visibles(e.sesion.tabla), Codigos{"7"});
  e.teclea("OFF=*");
  e.teclea("ON=1516, 1518 - 1520,12-a,abc");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1516", "1518", "1519", "1520", "abc"}));
}

TEST(ListaCodigos, TraduceYOrdenaComoTexto) {
  telmora::ListaCodigos lista;
  telmora::traduce("20,100,1516,1520-1522,x-1", lista);
  telmora::ordena(lista);
  EXPECT_EQ(lista.codigos(), (Codigos{"100", "1516", "1520", "1521", "1522", "20", "Error"}));
  EXPECT_TRUE(telmora::solo1g("1-20"));
  EXPECT_FALSE(telmora::solo1g("1--20"));
  EXPECT_FALSE(telmora::solo1g("1520"));
}

TEST(Consola, UnaListaDeMasDe5000CodigosSeCortaYSeAvisaUnaVez) {
  EntornoConsola e({"1", "5000", "5001", "5999"});
  e.teclea("OFF=*");
  e.teclea("ON=1-6000");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1", "5000"}));
  ASSERT_EQ(e.dialogos.mostrados.size(), 1u);
  EXPECT_NE(e.dialogos.mostrados[0].texto.find("5000"), std::string::npos);

  // A huge range and a long list cost no more than the 5,000 entries they can give.
  std::string lista = "ON=1-4998";
  for (int i = 0; i < 6000; ++i) lista += ",5001";
  e.teclea("OFF=*");
  e.teclea(lista);
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1", "5001"}));
  e.teclea("ON=1-2000000000");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1", "5000", "5001"}));
  EXPECT_EQ(e.dialogos.mostrados.size(), 3u);

  // A command file of two long lines is one command: one message.
  e.datos.escribe("largas.txt", "OFF=*\r\nON=1-6000\r\nON=2-7000\r\n");
  e.teclea("@largas.txt");
  EXPECT_EQ(e.dialogos.mostrados.size(), 4u);
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1", "5000", "5001"}));
}

TEST(Consola, FicherosDeCodigos) {
  EntornoConsola e(kCodigos);
  e.trabajo.escribe("codigos.tab", "1539;1540;7\r\n 1615 ;\r\n\r\n;;12\r\n1539\r\n");
  e.datos.escribe("viales.m", "1516\n1517;\n");
  e.teclea("OFF=*");
  e.teclea("ON=codigos.tab");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1539", "1540", "1615"}));
  e.teclea("ON=viales.m ");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1516", "1517", "1539", "1540", "1615"}));
  EXPECT_TRUE(e.dialogos.mostrados.empty());

  e.teclea("OFF=falta.tab");
  ASSERT_EQ(e.dialogos.textos(),
            Codigos{"No existe el fichero :" + (e.trabajo / "falta.tab").string()});
  EXPECT_EQ(e.dialogos.mostrados[0].icono, telmora::Icono::critico);
  EXPECT_EQ(visibles(e.sesion.tabla).size(), 5u);
}

TEST(Consola, FicherosDeOrdenesEnLasTresCarpetas) {
  EntornoConsola e(kCodigos);
  e.datos.escribe("ordenes.txt",
                  "OFF=*\r\n  on=1539 \r\nON_A=7\r\n@otro.txt\r\nZOOMP=1,1\r\nregenera\r\n");
  e.tablas.escribe("ordenes.txt", "ON=*\r\n");
  e.tablas.escribe("tablas.txt", "OFF=1-20\r\n");
  e.visualizacion.seleccion = true;
  e.teclea(" @ ordenes.txt");
  EXPECT_EQ(visibles(e.sesion.tabla), Codigos{"1539"});
  EXPECT_FALSE(e.visualizacion.seleccion);
  EXPECT_EQ(e.visor.llamadas, Codigos{"regenera"});

  e.trabajo.escribe("ordenes.txt", "ON=7\r\n");
  e.teclea("@ordenes.txt");
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"7", "1539"}));
  e.teclea("ON=*");
  e.teclea("@tablas.txt");
  EXPECT_EQ(visibles(e.sesion.tabla).size(), kCodigos.size() - 6);
  EXPECT_TRUE(e.dialogos.mostrados.empty());

  e.teclea("@falta.txt");
  EXPECT_EQ(e.dialogos.textos(), Codigos{"No existe el fichero :falta.txt"});
}

TEST(Consola, ColoresYDistanciaConArgumentosMalosSeExplican) {
  EntornoConsola e(kCodigos);  // a table without a settings line
  e.visualizacion.distancia_cotas = 7;
  for (const char* mala :
       {"COLOR_FONDO=azul", "COLOR_FONDO=256", "COLOR_FONDO=-1", "COLOR_FONDO=", "COLOR_NUEVO=1.5",
        "COLOR_NUEVO=999999999999", "DA=lejos", "DA=-1", "DA=nan", "DA="}) {
    e.dialogos.mostrados.clear();
    e.teclea(mala);
    ASSERT_EQ(e.dialogos.mostrados.size(), 1u) << mala;
    const std::string palabra = std::string(mala).substr(0, std::string(mala).find('='));
    EXPECT_EQ(e.dialogos.mostrados[0].texto.rfind(palabra + ": ", 0), 0u) << mala;
  }
  EXPECT_FALSE(e.sesion.tabla.tiene_ajustes());
  EXPECT_EQ(e.sesion.tabla.color_de_fila(0), telmora::kColorDesconocidoDefecto);
  EXPECT_EQ(e.visualizacion.distancia_cotas, 7);

  e.dialogos.mostrados.clear();
  e.teclea("COLOR_NUEVO= 4");
  EXPECT_EQ(e.sesion.tabla.color_de_fila(0), 4);
  EXPECT_FALSE(e.sesion.tabla.tiene_ajustes());  // the background stays black
  e.teclea("color_fondo=3");
  EXPECT_EQ(telmora::color_fondo(e.sesion.tabla,
                                 telmora::interpreta_pal(prueba::paleta_consola(), "Vekt.pal")),
            (telmora::Rgb{0, 0, 255}));
  EXPECT_EQ(e.sesion.tabla.color_de_fila(0), 4);
  e.teclea("DA=2,5");
  EXPECT_EQ(e.visualizacion.distancia_cotas, 2.5);
  EXPECT_TRUE(e.dialogos.mostrados.empty());
}

TEST(Consola, ZoompFueraDelFicheroNoMueveNada) {
  EntornoConsola e(kCodigos);
  e.sesion.ajustes.uds = 100;
  e.sesion.hoja.rango.xmin = 100000, e.sesion.hoja.rango.xmax = 200000;  // 1000 to 2000 m
  e.sesion.hoja.rango.ymin = 300000, e.sesion.hoja.rango.ymax = 400000;  // 3000 to 4000 m
  for (const char* fuera :
       {"ZOOMP=999.99,3500", "ZOOMP=2000.01,3500", "ZOOMP=1500,2999", "ZOOMP=1500,4000.5"}) {
    e.dialogos.mostrados.clear();
    e.teclea(fuera);
    EXPECT_EQ(e.dialogos.textos(), Codigos{"Coordenada fuera de fichero"}) << fuera;
  }
  e.dialogos.mostrados.clear();
  e.teclea("ZOOMP=1500");
  EXPECT_EQ(e.dialogos.mostrados.size(), 1u);
  EXPECT_TRUE(e.visor.llamadas.empty());

  e.dialogos.mostrados.clear();
  e.visor.vista_.xmin = 1000, e.visor.vista_.ymax = 4000, e.visor.vista_.factor = 0.5;
  e.teclea("zoomp = 1500 , 3000");
  EXPECT_TRUE(e.dialogos.mostrados.empty());
  EXPECT_EQ(e.visor.llamadas, (Codigos{"centrar", "pulsa 250 500"}));
}

TEST(Consola, CadaFormaPoneElInterruptorDeSeleccion) {
  EntornoConsola e(kCodigos);
  const std::vector<std::pair<std::string, bool>> formas{
      {"ON_A=7", true}, {"ON=7", false}, {"OFF_A=7", true}, {"OFF=7", false}};
  for (const auto& [orden, seleccion] : formas) {
    e.visualizacion.seleccion = !seleccion;
    e.teclea(orden);
    EXPECT_EQ(e.visualizacion.seleccion, seleccion) << orden;
  }

  auto consola = e.consola();
  e.visualizacion.seleccion = true;
  telmora::OffPares(consola, e.visor);
  EXPECT_FALSE(e.visualizacion.seleccion);
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"150", "1516", "1517", "1518", "1519", "1520",
                                               "1539", "1540", "1615", "100", "abc"}));
  e.visualizacion.seleccion = true;
  telmora::OnTodo(consola, e.visor);
  EXPECT_FALSE(e.visualizacion.seleccion);
  EXPECT_EQ(visibles(e.sesion.tabla), kCodigos);
  telmora::mnuSueloUrbano(consola, e.visor);
  EXPECT_TRUE(e.visualizacion.seleccion);
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1539", "1615"}));
  e.visualizacion.seleccion = false;
  telmora::mnuVialUrbano(consola, e.visor);
  EXPECT_TRUE(e.visualizacion.seleccion);
  EXPECT_EQ(visibles(e.sesion.tabla), (Codigos{"1516", "1517", "1518", "1519", "1520"}));
  e.visualizacion.seleccion = false;
  telmora::mnuTodos(consola, e.visor);
  EXPECT_TRUE(e.visualizacion.seleccion);
  EXPECT_EQ(visibles(e.sesion.tabla), kCodigos);
  EXPECT_EQ(e.visor.llamadas, Codigos(5, "regenera"));
}

TEST(Consola, OrdenesDelVisor) {
  EntornoConsola e(kCodigos);
  const std::vector<std::pair<std::string, Codigos>> ordenes{{"salir", {"salir"}},
                                                             {"BININFO", {"bininfo"}},
                                                             {" ZoomA ", {"centrar"}},
                                                             {"LISTA", {"info_elemento"}},
                                                             {"PONERTEXTO", {"nuevo_texto"}},
                                                             {"BORRAR_V", {"borra_ventana"}},
                                                             {"NADA", {}},
                                                             {"ON_B=7", {}}};
  for (const auto& [orden, llamadas] : ordenes) {
    e.visor.llamadas.clear();
    e.visor.pendiente = 9;
    e.teclea(orden);
    EXPECT_EQ(e.visor.llamadas, llamadas) << orden;
    const bool espera_clic = orden == " ZoomA " || orden == "LISTA" || orden == "PONERTEXTO";
    EXPECT_EQ(e.visor.pendiente, espera_clic ? 2 : 0) << orden;
  }
  const bool relleno = e.visualizacion.relleno;
  e.visor.llamadas.clear();
  e.teclea("RELLENAR");
  EXPECT_EQ(e.visualizacion.relleno, !relleno);
  EXPECT_TRUE(e.visor.llamadas.empty());  // shown at the next redraw

  e.visor.pendiente = 9;
  e.teclea("   ");  // an empty input only closes the console
  EXPECT_EQ(e.visor.pendiente, 9);
  EXPECT_TRUE(e.dialogos.mostrados.empty());
  EXPECT_EQ(visibles(e.sesion.tabla), kCodigos);
}

TEST(Consola, SinVisorLasOrdenesDelVisorSeRechazan) {
  EntornoConsola e(kCodigos);
  telmora::Consola consola(e.sesion, e.visualizacion, e.dialogos, nullptr,
                           {e.datos.ruta(), e.tablas.ruta()});
  e.datos.escribe("o.txt", "OFF=7\r\nREGENERA\r\n");
  consola.ejecuta("@o.txt");
  consola.ejecuta("LISTA");
  EXPECT_EQ(e.dialogos.textos(), Codigos{"La orden LISTA solo se puede usar en el visor"});
  EXPECT_EQ(visibles(e.sesion.tabla).size(), kCodigos.size() - 1);
  EXPECT_TRUE(telmora::es_orden_de_visibilidad(" off_a=1"));
  EXPECT_TRUE(telmora::es_orden_de_visibilidad("@o.txt"));
  EXPECT_TRUE(telmora::es_orden_de_visibilidad("COLOR_NUEVO=3"));
  EXPECT_FALSE(telmora::es_orden_de_visibilidad("ZOOMP=1,2"));
  EXPECT_FALSE(telmora::es_orden_de_visibilidad("SALIR"));
}
