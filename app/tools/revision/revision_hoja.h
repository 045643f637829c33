// The check of one sheet that the batch check makes: each tool's own run, up to what it would
// change, over the sheet as the viewer draws it when it opens. Nothing is written; the counts are
// those each tool's command prints.
#pragma once

#include "depuracion/binjunta.h"
#include "depuracion/pdobles.h"
#include "dibujadas.h"
#include "edicion/duplicados.h"
#include "edicion/informe_bin.h"
#include "progreso.h"
#include "revision/recuentos.h"
#include "sesion.h"
#include "topologia/topologia.h"

namespace telmora {

// The counts of each tool's result.
void anade_recuentos(RecuentosRevision& r, const AnalisisBin& analisis);
void anade_recuentos(RecuentosRevision& r, const ResultadoDuplicados& duplicados);
void anade_recuentos(RecuentosRevision& r, const ResultadoPdobles& pdobles);
void anade_recuentos(RecuentosRevision& r, const ResultadoTopologia& topologia);
void anade_recuentos(RecuentosRevision& r, const ResultadoBinjunta& binjunta);

// What a sheet's check found: the counts, and the results that its picture draws.
struct RevisionHoja {
  RecuentosRevision recuentos;
  ResultadoDuplicados duplicados;
  ResultadoTopologia topologia;
};

// The file report, the duplicate search (at the session's tolerance), the double points (at
// `tolerancias`), the topology's centroid check and the network cleanup's searches, on the
// session's sheet and the entities drawn when it opened.
RevisionHoja revisa_hoja(const Sesion& sesion, const EntidadesDibujadas& dibujadas,
                         const ToleranciasPdobles& tolerancias,
                         Progreso& progreso = Progreso::ninguno());

}  // namespace telmora
