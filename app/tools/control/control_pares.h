// The stereo-pair control: the state of every pair read from the pair-control database, the
// three counts the form shows, and the pair lookup that the topology drawing asks for each face.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "consulta_pares.h"
#include "db/instalacion.h"
#include "db/pares.h"
#include "dialogos.h"

namespace telmora {

// The pairs in the all-pairs order, looked up through an index of each name's first row: the
// same answer as a walk from the first row to the first whose name equals the one asked for.
class TablaPares : public ConsultaPares {
 public:
  explicit TablaPares(std::vector<FilaPar> filas);
  bool BuscaRecinto(std::string_view par, std::int32_t& operador) const override;
  const std::vector<FilaPar>& filas() const { return filas_; }

 private:
  std::vector<FilaPar> filas_;
  std::unordered_map<std::string, std::size_t> primera_;
};

struct ResultadoControlPares {
  std::filesystem::path ruta;  // the database read (the form's path box)
  bool conectada = false;      // read on the control server, not the local copy
  std::int64_t totales = 0, bloqueados = 0, libres = 0;

  // "Pares    Totales : N", "Pares Bloqueados : N", "Pares     Libres : N".
  std::vector<std::string> lineas() const;
};

// The status panel's texts while the pair control works.
using EstadoVisor = std::function<void(const std::string&)>;
// The drawing of faces coloured by the state of their pair, given the lookup.
using DibujoPares = std::function<void(const ConsultaPares&)>;

// Reads the pairs of the database at `ruta` and their counts; while they are loaded, `dibujo`
// (when given) draws the faces with the pair lookup. A database that cannot be read throws
// ErrorTelmora naming it.
ResultadoControlPares cuenta_pares(const std::filesystem::path& ruta,
                                   const DibujoPares& dibujo = {});

// Opening the pair control (the ControlPares form). The control server's copy (the installation's
// folder with BDControl.mdb) is read when it can be reached; otherwise the user is told and the
// local copy `local` is read. The status panel follows each step. Failures as cuenta_pares (the
// form is then not opened).
ResultadoControlPares carga_control_pares(const std::filesystem::path& local,
                                          const AjustesInstalacion& instalacion, Dialogos& dialogos,
                                          const EstadoVisor& estado,
                                          const DibujoPares& dibujo = {});

}  // namespace telmora
