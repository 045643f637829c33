// The feature catalogue: table "catalogo" (one entry per MSLINK, with its theme, object and
// enumerated values), "Tema", "Objeto" and "Atributo Grafico". What the two catalogue browsers
// show, read with the catalogue's statements.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/base_datos.h"

namespace telmora {

inline constexpr const char* kNombreCatalogo = "Catalogo.mdb";

// A catalogue entry and its group (theme or object), as the loading statements give them.
struct RegistroCatalogo {
  std::int32_t mslink = 0;
  std::int32_t grupo = 0;
};

// A list item and what it stands for (a theme's number, an object's number, an entry's MSLINK).
struct ElementoCatalogo {
  std::string texto;
  Valor clave;
};

// Browsing by theme. The entries ordered by theme and MSLINK; the themes that have entries,
// ordered by number (text: "Descripcion Tema"); the entries of one theme ordered by MSLINK
// (text: MSLINK, " -" and "Descripcion").
std::vector<RegistroCatalogo> registros_por_tema(const BaseDatos& bd);
std::vector<ElementoCatalogo> temas_del_catalogo(const BaseDatos& bd);
std::vector<ElementoCatalogo> entradas_del_tema(const BaseDatos& bd, const Valor& tema);

// Browsing by object. The entries ordered by MSLINK; the objects that have entries, ordered by
// number (text: IO, " -" and "Nombre Objeto"); the enumerated values of an object: primary
// values by code ("12 - [7] Calle"), then secondary ones by code plus 100 ("AB5 -[7] Roto"),
// then one line "00 - [7] Sin Enumerado o Nulo" for each description of the entries without a
// value. Items whose text would be null are left out.
std::vector<RegistroCatalogo> registros_por_objeto(const BaseDatos& bd);
std::vector<ElementoCatalogo> objetos_del_catalogo(const BaseDatos& bd);
std::vector<std::string> valores_del_objeto(const BaseDatos& bd, const Valor& objeto);

// The entries of an object with one of its values, `valor` being the text of a value item before
// its first "-", trimmed: a code that is not a number names a secondary value (abbreviation and
// code), the number 0 the entries without a value, any other number a primary value. Ordered by
// MSLINK; the text is the MSLINK, " -" and a description.
std::vector<ElementoCatalogo> elementos_del_valor(const BaseDatos& bd, const Valor& objeto,
                                                  std::string_view valor);

}  // namespace telmora
