#include <map>

#include "cli.h"
#include "dialogos_terminal.h"
#include "imagen_cli.h"
#include "progreso_terminal.h"
#include "topologia_hoja.h"

namespace telmora::cli {

namespace {

// The command itself is the operator's answer to "ADVERTENCIA": OK.
class DialogosAceptados : public DialogosTerminal {
 public:
  using DialogosTerminal::DialogosTerminal;
  bool aceptar_cancelar(const std::string&, const std::string&) override { return true; }
};

EntradaTopologia entrada_de(const Argumentos& argumentos) {
  static const std::map<std::string, EntradaTopologia> ordenes{
      {"psct", EntradaTopologia::cotas_a_tramos},
      {"textos", EntradaTopologia::cotas_a_recintos},
      {"calles", EntradaTopologia::cotas_calles},
  };
  const auto orden = ordenes.find(argumentos.posicionales()[1]);
  if (orden == ordenes.end()) throw ErrorUso("la orden debe ser psct, textos o calles");
  if (orden->second != EntradaTopologia::cotas_calles) {
    if (argumentos.bandera("graba") || argumentos.tiene("da")) {
      throw ErrorUso("--graba y --da solo valen con calles");
    }
    return orden->second;
  }
  return argumentos.bandera("graba") ? EntradaTopologia::cotas_calles_graba : orden->second;
}

// --da as the console's DA takes it: metres, 0 or more.
double distancia_de(const Argumentos& argumentos) {
  if (!argumentos.tiene("da")) return 0;
  const double distancia = numero_de_opcion(argumentos.valor("da"), "--da");
  if (distancia < 0) throw ErrorUso("--da debe ser un número de metros mayor o igual que 0");
  return distancia;
}

}  // namespace

int ejecuta_cotas(const Argumentos& argumentos, std::ostream& salida, std::ostream& errores) {
  argumentos.exige_posicionales(2, "telmora-cli cotas HOJA.bin psct|textos|calles [opciones]");
  OpcionesTopologia opciones;
  selecciona_entrada(opciones, entrada_de(argumentos));
  opciones.distancia_cotas = distancia_de(argumentos);
  int ancho = 0, alto = 0;
  tamano_de_opcion(argumentos, ancho, alto);

  Sesion sesion = con_progreso(errores, [&](Progreso& progreso) {
    return abre_hoja_de_linea(argumentos.posicionales()[0], argumentos.bandera("mm"), progreso);
  });
  SuperficieImagen superficie(ancho, alto);
  DialogosAceptados dialogos(errores);
  const ResultadoTopologia r = con_progreso(errores, [&](Progreso& progreso) {
    return topologia_de_hoja_entera(sesion, opciones, superficie, progreso, {}, nullptr, &dialogos);
  });
  for (const std::string& linea : r.lineas_y_recuentos()) salida << linea << "\n";
  return termina_topologia(r, argumentos, superficie, errores);
}

}  // namespace telmora::cli
