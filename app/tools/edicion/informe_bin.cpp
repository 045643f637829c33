#include "edicion/informe_bin.h"

#include <algorithm>
#include <unordered_set>

#include "fichero.h"
#include "texto.h"

namespace telmora {

namespace {

class ListaNoEncontrados {
 public:
  void anade(std::string entrada) {
    if (vistas_.insert(entrada).second) entradas_.push_back(std::move(entrada));
  }
  std::vector<std::string> entradas() && { return std::move(entradas_); }

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
RecuentoCodigos comprueba_codigos(const Hoja& hoja, const TablaVekt& tabla,
                                  std::span<const Entidad> entidades, const char* prefijo,
                                  ListaNoEncontrados& lista, ContadorPorcentaje& avance,
                                  std::int64_t& hechas) {
  RecuentoCodigos cuenta;
  for (const Entidad& e : entidades) {
    if (e.posicion_tab != 0) {
      ++cuenta.encontrados;
    } else {
      ++cuenta.no_encontrados;
      lista.anade(prefijo + cp1252_a_utf8(limpia_texto(hoja.cabecera_de(e).codigo_bruto())));
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
                      const RecuentoCodigos& cuenta) {
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

AnalisisBin analiza_bin(const Hoja& hoja, const TablaVekt& tabla, Progreso& progreso) {
  AnalisisBin analisis;
  for (const FilaIndice& f : hoja.indice)
    analisis.puntuales += f.tipo == kIndiceTipoC && f.num_puntos == 1 ? 1 : 0;
  analisis.cartograficas = static_cast<long>(hoja.c.size());
  analisis.textos = static_cast<long>(hoja.t.size());
  ListaNoEncontrados no_encontrados;
  ContadorPorcentaje avance(progreso, static_cast<std::int64_t>(hoja.c.size() + hoja.t.size()));
  std::int64_t hechas = 0;
  analisis.codigos_c = comprueba_codigos(hoja, tabla, hoja.c, " C", no_encontrados, avance, hechas);
  analisis.codigos_t = comprueba_codigos(hoja, tabla, hoja.t, " T", no_encontrados, avance, hechas);
  analisis.no_encontrados = std::move(no_encontrados).entradas();
  return analisis;
}

std::vector<std::string> informe_bin(const Hoja& hoja, const TablaVekt& tabla,
                                     const std::string& carpeta, const std::string& nombre, int uds,
                                     Progreso& progreso) {
  const AnalisisBin analisis = analiza_bin(hoja, tabla, progreso);
  std::vector<std::string> lineas{
      kSeparador,
      "Dir  :" + carpeta,
      "Fich :" + nombre,
      "Uds :" + std::to_string(uds),
      kSeparador,
      " Lineales : " + std::to_string(analisis.lineales()),
      "Puntuales : " + std::to_string(analisis.puntuales),
      "   Textos : " + std::to_string(analisis.textos),
      kSeparador,
      " Xmin :  " + numero_a_texto(hoja.rango.xmin),
      " Ymin :  " + numero_a_texto(hoja.rango.ymin),
      " Zmin :  " + numero_a_texto(hoja.rango.zmin),
      " Xmax :  " + numero_a_texto(hoja.rango.xmax),
      " Ymax :  " + numero_a_texto(hoja.rango.ymax),
      " Zmax :  " + numero_a_texto(hoja.rango.zmax),
  };
  anade_contadores(lineas, " Contador de elementos Lineales/Puntuales", analisis.codigos_c);
  anade_contadores(lineas, " Contador de elementos Textos", analisis.codigos_t);
  lineas.push_back(kSeparador);
  lineas.push_back(" Listado de códigos no encontrados");
  lineas.push_back(kSeparador);
  for (const std::string& entrada : analisis.no_encontrados) lineas.push_back("  " + entrada);
  lineas.push_back(kSeparador);
  lineas.push_back(" ... próximamente más");
  return lineas;
}

std::optional<std::filesystem::path> ruta_informe(const std::filesystem::path& hoja) {
  constexpr std::size_t kCaracteresMinimos = 4;
  const std::string nombre = ruta_texto(hoja.filename());
  // Characters, not bytes: the continuation bytes of UTF-8 are not counted.
  const auto caracteres = std::count_if(nombre.begin(), nombre.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  });
  if (static_cast<std::size_t>(caracteres) < kCaracteresMinimos) return std::nullopt;
  return ruta_con_sufijo(hoja, ".txt");
}

}  // namespace telmora
