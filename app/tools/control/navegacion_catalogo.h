// The two catalogue browsers without their windows: browsing by theme (the ModeloDatos form) and
// by object and enumerated value (the ModeloObjeto form), the selection table they share, and
// the hand-over of the selection to the console, which then shows only the codes of the chosen
// entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/catalogo.h"
#include "visor/consola.h"

namespace telmora {

struct RegistroSeleccion {
  std::int32_t mslink = 0;
  std::int32_t grupo = 0;  // theme or object, as loaded
  bool seleccionado = false;
};

// One record per catalogue entry in the loading statement's order. An MSLINK that stands in
// several records is read and set through its first record only.
class TablaSeleccion {
 public:
  // Rebuilt from a loading statement's rows, nothing selected.
  void carga(const std::vector<RegistroCatalogo>& registros);
  const std::vector<RegistroSeleccion>& registros() const { return registros_; }
  bool esta_seleccionado(std::int32_t mslink) const;
  void selecciona(std::int32_t mslink, bool valor);
  // The MSLINKs of the selected records, in table order.
  std::vector<std::int32_t> seleccionados() const;

 private:
  std::vector<RegistroSeleccion> registros_;
  std::unordered_map<std::int32_t, std::size_t> primero_;
};

// A list item with its entry's MSLINK and whether it is shown selected.
struct EntradaLista {
  std::string texto;
  std::int32_t mslink = 0;
  bool seleccionada = false;
};

// Browsing by theme. Loading rebuilds the selection table from the catalogue.
class CatalogoPorTemas {
 public:
  CatalogoPorTemas(const BaseDatos& bd, TablaSeleccion& seleccion);
  const std::vector<ElementoCatalogo>& temas() const { return temas_; }    // ListTemas
  const std::vector<EntradaLista>& entradas() const { return entradas_; }  // ListDescrip
  // A click on theme `indice` lists its entries as selected or not; a double-click also
  // inverts the selection of each of them.
  void elige_tema(std::size_t indice, bool doble);
  // A click on entry `indice` inverts its selection.
  void pulsa_entrada(std::size_t indice);

 private:
  void refresca_entradas();

  const BaseDatos& bd_;
  TablaSeleccion& seleccion_;
  std::vector<ElementoCatalogo> temas_;
  std::vector<EntradaLista> entradas_;
};

// Browsing by object. Loading rebuilds the selection table from the catalogue.
class CatalogoPorObjetos {
 public:
  CatalogoPorObjetos(const BaseDatos& bd, TablaSeleccion& seleccion);
  const std::vector<ElementoCatalogo>& objetos() const { return objetos_; }  // ListTemas
  const std::vector<std::string>& valores() const { return valores_; }       // ListDescrip
  const std::vector<EntradaLista>& elementos() const { return elementos_; }  // Elementos

  // Choosing objects (their indices): the enumerated values of each, in that order; the
  // entries list is emptied after its selection is saved.
  void elige_objetos(const std::vector<std::size_t>& indices);
  // Choosing values (their indices): the entries of each, shown selected as their records are.
  void elige_valores(const std::vector<std::size_t>& indices);
  // The user's selection of the entries list, item by item, copied into the records.
  void marca_elementos(const std::vector<bool>& seleccion);
  // Every entry of the list and its record inverted.
  void invierte_elementos();

 private:
  void guarda_elementos();

  const BaseDatos& bd_;
  TablaSeleccion& seleccion_;
  std::vector<ElementoCatalogo> objetos_;
  std::vector<std::string> valores_;
  std::vector<EntradaLista> elementos_;
};

// Aceptar: every code switched off ("OFF=*"), then every code of the table that begins with the
// MSLINK of a selected entry switched on (at most 5,000 entries, in table order). The caller
// redraws.
void Aceptar(const TablaSeleccion& seleccion, Consola& consola, TablaVekt& tabla);
// The same for a list of MSLINKs.
void muestra_segun_catalogo(const std::vector<std::int32_t>& mslinks, Consola& consola,
                            TablaVekt& tabla);

}  // namespace telmora
