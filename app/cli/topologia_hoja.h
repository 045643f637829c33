// The topology as telmora-cli runs it, for the commands that need it (topologia, cotas,
// exportar --topologia, pares --png): the sheet drawn as the viewer shows it when it opens,
// since the topology takes only what was drawn; then the topology form's run over that picture.
#pragma once

#include <filesystem>
#include <ostream>

#include "argumentos.h"
#include "consulta_pares.h"
#include "dialogos.h"
#include "sesion.h"
#include "superficie_imagen.h"
#include "topologia/dibujo_topologia.h"

namespace telmora::cli {

// Draws the whole sheet on `superficie` (at its size) and runs the topology over that picture:
// the listings go to `carpeta_listados` (none when empty), `pares` colours the faces by their
// pair, and with `dialogos` the run's writes follow as the topology form makes them.
ResultadoTopologia topologia_de_hoja_entera(Sesion& sesion, const OpcionesTopologia& opciones,
                                            SuperficieImagen& superficie, Progreso& progreso,
                                            const std::filesystem::path& carpeta_listados = {},
                                            const ConsultaPares* pares = nullptr,
                                            Dialogos* dialogos = nullptr);

// Reports each failed write of the run and writes the --png picture; the exit status (a failed
// write is 1).
int termina_topologia(const ResultadoTopologia& resultado, const Argumentos& argumentos,
                      SuperficieImagen& superficie, std::ostream& errores);

}  // namespace telmora::cli
