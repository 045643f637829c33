// New SQLite databases with the tables of the production's databases: the sample generator
// writes them beside a sample sheet, and tests build their fixtures with them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "db/valor.h"

namespace telmora {

struct ColumnaEsquema {
  const char* nombre;
  const char* tipo;  // SQLite's declared type
};

struct TablaNueva {
  std::string nombre;
  std::vector<ColumnaEsquema> columnas;
  std::vector<FilaBd> filas;  // one value per column
};

// Writes a new SQLite file with these tables and rows, whole or not at all (replacing any file
// of that name). A failure throws ErrorBaseDatos.
void crea_base_datos_sqlite(const std::filesystem::path& destino,
                            const std::vector<TablaNueva>& tablas);

// The tables as the system reads them, with these rows.
// "Control": PAR, Estado, Operador, Superficie.
TablaNueva tabla_control(std::vector<FilaBd> filas);
// "Errores": the sixteen columns of kColumnasErrores.
TablaNueva tabla_errores(std::vector<FilaBd> filas);
// "catalogo": MSLINK, Tema, IO, Descripcion, Enumerado Principal, Descripcion Enumerado
// Principal, Enumerado Secundario, Descripcion Enumerado Secundario, ID Atributo Grafico.
TablaNueva tabla_catalogo(std::vector<FilaBd> filas);
// "Tema": ID Tema, Descripcion Tema.
TablaNueva tabla_temas(std::vector<FilaBd> filas);
// "Objeto": IO, Nombre Objeto.
TablaNueva tabla_objetos(std::vector<FilaBd> filas);
// "Atributo Grafico": ID Atributo Grafico, Descripcion Atributo Grafico, Abreviatura Atributo
// Gráfico.
TablaNueva tabla_atributos_graficos(std::vector<FilaBd> filas);

}  // namespace telmora
