// What the two catalogue browsers share: the title over their lists with the database box
// "BDD", lists with their captions, and "Aceptar" under them.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "control/navegacion_catalogo.h"

class QGridLayout;
class QListWidget;

namespace telmora {

// Names the window, titles it and lays out the title label and `BDD` over `columnas` columns;
// the layout that the lists go into.
QGridLayout* prepara_ventana_catalogo(QDialog& ventana, const char* nombre,
                                      const char* titulo_ventana, const char* titulo,
                                      const std::string& ruta, int columnas);

// A list in `columna` under its caption; several items may be selected, a click toggling one.
QListWidget* lista_catalogo(QDialog& ventana, QGridLayout& capa, int columna, const char* nombre,
                            const char* etiqueta);

// "Aceptar" under the lists: runs `al_aceptar`, then closes the window.
void pon_aceptar(QDialog& ventana, QGridLayout& capa, int columnas,
                 std::function<void()> al_aceptar);

// Fills a list with these texts.
void llena_lista(QListWidget* lista, const std::vector<std::string>& textos);
// Fills a list with the entries, each shown selected as it is.
void llena_lista(QListWidget* lista, const std::vector<EntradaLista>& entradas);
// The rows selected, ascending.
std::vector<std::size_t> filas_elegidas(const QListWidget* lista);

}  // namespace telmora
