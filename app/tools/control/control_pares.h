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
  // The database read (the form's path box): a path, or a server's connection text.
  std::string origen;
  bool conectada = false;  // read on the control server, not the local copy
  std::int64_t totales = 0, bloqueados = 0, libres = 0;

  // "Pares    Totales : N", "Pares Bloqueados : N", "Pares     Libres : N".
  std::vector<std::string> lineas() const;
};

// The status panel's texts while the pair control works.
using EstadoVisor = std::function<void(const std::string&)>;
// The drawing of faces coloured by the state of their pair, given the lookup.
using DibujoPares = std::function<void(const ConsultaPares&)>;

// Reads the pairs of the database at `origen` (a path, or a PostgreSQL connection text) and
// their counts, in one snapshot; then `dibujo` (when given) draws the faces with the pair lookup.
// A database that cannot be read throws ErrorTelmora naming it.
ResultadoControlPares cuenta_pares(const std::string& origen, const DibujoPares& dibujo = {});

// Opening the pair control (the ControlPares form). The control server's copy is read when the
// installation names one and it can be read: BDControl.mdb in the server's mounted folder, or the
// table of its PostgreSQL database. Otherwise (no server, a folder without the file, a server that
// cannot be reached, refuses the login or lacks the table) the status panel shows "Conexion
// imposible." with the reason, the user is told, and the local copy `local` is read. Failures
// of the local copy as cuenta_pares (the form is then not opened).
ResultadoControlPares carga_control_pares(const std::filesystem::path& local,
                                          const AjustesInstalacion& instalacion, Dialogos& dialogos,
                                          const EstadoVisor& estado,
                                          const DibujoPares& dibujo = {});

}  // namespace telmora
