#include "edicion/informe_bin.h"

#include <unordered_set>

#include "fichero.h"
#include "texto.h"

namespace telmora {

namespace {

struct Contadores {
  long encontrados = 0, no_encontrados = 0;
  long atributos_encontrados = 0, atributos_no_encontrados = 0;
};

class ListaNoEncontrados {
 public:
  void anade(std::string entrada) {
    if (vistas_.insert(entrada).second) entradas_.push_back(std::move(entrada));
  }
  const std::vector<std::string>& entradas() const { return entradas_; }

 private:
  std::vector<std::string> entradas_;
  std::unordered_set<std::string> vistas_;
};

// An attribute's record number as the code it stands for: its decimal text cut to the 7
// characters of a code field.
bool codigo_de_atributo_en_tabla(const TablaVekt& tabla, std::int32_t n_registro) {
  return tabla.busca(std::to_string(n_registro).substr(0, kAnchoCodigo)).posicion_tab != 0;
}

// Looks up the codes of one kind of entity: its own code, then its table-2 attributes until
// the first one the table has.
Contadores comprueba_codigos(const Hoja& hoja, const TablaVekt& tabla,
                             std::span<const Entidad> entidades, const char* prefijo,
                             ListaNoEncontrados& lista, ContadorPorcentaje& avance,
                             std::int64_t& hechas) {
  Contadores cuenta;
  for (const Entidad& e : entidades) {
    if (e.posicion_tab != 0) {
      ++cuenta.encontrados;
    } else {
      ++cuenta.no_encontrados;
      lista.anade(prefijo + cp1252_a_utf8(limpia_texto(e.cabecera.codigo_bruto())));
    }
    for (const Atributo& a : hoja.atributos_de(e)) {
      if (a.id_tabla != 2) continue;
      if (!codigo_de_atributo_en_tabla(tabla, a.n_registro)) {
        ++cuenta.atributos_no_encontrados;
      } else {
        ++cuenta.atributos_encontrados;
        break;
      }
    }
    avance.avanza(++hechas);
  }
  return cuenta;
}

void anade_contadores(std::vector<std::string>& lineas, const char* titulo,
                      const Contadores& cuenta) {
  lineas.push_back(kSeparador);
  lineas.push_back(titulo);
  lineas.push_back(kSeparador);
  lineas.push_back(" Codigos P.    encontrados :" + std::to_string(cuenta.encontrados));
  lineas.push_back(" Codigos P. No encontrados :" + std::to_string(cuenta.no_encontrados));
  lineas.push_back(" Codigos A.    encontrados :" + std::to_string(cuenta.atributos_encontrados));
  lineas.push_back(" Codigos A. No encontrados :" +
                   std::to_string(cuenta.atributos_no_encontrados));
}

}  // namespace

std::vector<std::string> informe_bin(const Hoja& hoja, const TablaVekt& tabla,
                                     const std::string& carpeta, const std::string& nombre, int uds,
                                     Progreso& progreso) {
  long puntuales = 0;
  for (const Entidad& e : hoja.c) puntuales += e.cabecera.num_puntos == 1 ? 1 : 0;
  const long cartograficas = static_cast<long>(hoja.c.size());

  std::vector<std::string> lineas{
      kSeparador,
      "Dir  :" + carpeta,
      "Fich :" + nombre,
      "Uds :" + std::to_string(uds),
      kSeparador,
      " Lineales : " + std::to_string(cartograficas - puntuales),
      "Puntuales : " + std::to_string(puntuales),
      "   Textos : " + std::to_string(hoja.t.size()),
      kSeparador,
      " Xmin :  " + numero_a_texto(hoja.rango.xmin),
      " Ymin :  " + numero_a_texto(hoja.rango.ymin),
      " Zmin :  " + numero_a_texto(hoja.rango.zmin),
      " Xmax :  " + numero_a_texto(hoja.rango.xmax),
      " Ymax :  " + numero_a_texto(hoja.rango.ymax),
      " Zmax :  " + numero_a_texto(hoja.rango.zmax),
  };

  ListaNoEncontrados no_encontrados;
  ContadorPorcentaje avance(progreso, static_cast<std::int64_t>(hoja.c.size() + hoja.t.size()));
  std::int64_t hechas = 0;
  const Contadores c = comprueba_codigos(hoja, tabla, hoja.c, " C", no_encontrados, avance, hechas);
  anade_contadores(lineas, " Contador de elementos Lineales/Puntuales", c);
  const Contadores t = comprueba_codigos(hoja, tabla, hoja.t, " T", no_encontrados, avance, hechas);
  anade_contadores(lineas, " Contador de elementos Textos", t);

  lineas.push_back(kSeparador);
  lineas.push_back(" Listado de códigos no encontrados");
  lineas.push_back(kSeparador);
  for (const std::string& entrada : no_encontrados.entradas()) lineas.push_back("  " + entrada);
  lineas.push_back(kSeparador);
  lineas.push_back(" ... próximamente más");
  return lineas;
}

}  // namespace telmora
