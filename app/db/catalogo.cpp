#include "db/catalogo.h"

namespace telmora {

namespace {

// Statements of the two browsers. The SQLite texts run with CStr, CLng and IsNumeric registered
// as Access has them; they test "IS NOT NULL" where Access asks IsNull (a keyword in SQLite),
// join texts with "||" where Access uses "+" (both give null when a part is null), and order
// rows that tie by their remaining columns or their position in the table, so that every run
// gives the same order.

constexpr Sentencia kRegistrosPorTema{
    "leer el catálogo por temas",
    "SELECT Catalogo.Tema, Catalogo.MSLINK FROM catalogo ORDER BY Catalogo.Tema, Catalogo.MSLINK",
    "SELECT Catalogo.Tema, Catalogo.MSLINK From catalogo ORDER BY Catalogo.Tema, "
    "Catalogo.MSLINK;"};

constexpr Sentencia kTemas{
    "leer los temas del catálogo",
    "SELECT Tema.[Descripcion Tema], Tema.[ID Tema] FROM Tema INNER JOIN catalogo ON "
    "Tema.[ID Tema] = catalogo.Tema GROUP BY Tema.[ID Tema], Tema.[Descripcion Tema] ORDER BY "
    "Tema.[ID Tema], Tema.[Descripcion Tema]",
    "SELECT Tema.[Descripcion Tema], Tema.[ID Tema] FROM Tema INNER JOIN catalogo ON "
    "Tema.[ID Tema] = catalogo.Tema GROUP BY Tema.[ID Tema], Tema.[Descripcion Tema] ORDER BY "
    "Tema.[ID Tema];"};

constexpr Sentencia kEntradasDelTema{
    "leer las entradas del tema",
    "SELECT catalogo.MSLINK, catalogo.Descripcion, catalogo.Tema FROM catalogo WHERE "
    "(((catalogo.Tema) = ?)) ORDER BY catalogo.MSLINK, catalogo.rowid",
    "SELECT catalogo.MSLINK, catalogo.Descripcion, catalogo.Tema From catalogo Where "
    "(((catalogo.Tema) = ?)) ORDER BY catalogo.mslink;"};

constexpr Sentencia kRegistrosPorObjeto{
    "leer el catálogo por objetos",
    "SELECT Catalogo.MSLINK, catalogo.IO FROM catalogo ORDER BY Catalogo.MSLINK, catalogo.rowid",
    "SELECT Catalogo.MSLINK, catalogo.IO From catalogo ORDER BY Catalogo.MSLINK;"};

constexpr Sentencia kObjetos{
    "leer los objetos del catálogo",
    "SELECT Objeto.IO, Objeto.[Nombre Objeto], CStr([Objeto].[IO]) || ' -' || [Nombre Objeto] "
    "AS Objeto FROM Objeto INNER JOIN catalogo ON Objeto.IO = catalogo.IO GROUP BY Objeto.IO, "
    "Objeto.[Nombre Objeto] ORDER BY Objeto.IO, Objeto.[Nombre Objeto]",
    "SELECT Objeto.IO, Objeto.[Nombre Objeto], CStr([Objeto].[IO])+' -'+[Nombre Objeto] AS "
    "Objeto FROM Objeto INNER JOIN catalogo ON Objeto.IO = catalogo.IO GROUP BY Objeto.IO, "
    "Objeto.[Nombre Objeto], CStr([Objeto].[IO])+' -'+[Nombre Objeto] ORDER BY Objeto.IO;"};

// The object's number in the value texts is the row's own IO, which the conditions make equal
// to the one asked for; its four placeholders all take that number.
constexpr Sentencia kValoresDelObjeto{
    "leer los valores del objeto",
    "SELECT CLng([Catalogo].[Enumerado Principal]) AS id_AtributoEnumerado1, "
    "catalogo.[Descripcion Enumerado Principal], catalogo.IO, CStr([Enumerado Principal]) || "
    "' - [' || CStr(catalogo.IO) || '] ' || [Descripcion Enumerado Principal] AS AtribEnum "
    "FROM catalogo WHERE (((IsNumeric([Enumerado Principal])) = True) AND "
    "(([Enumerado Principal]) IS NOT NULL)) GROUP BY catalogo.[Descripcion Enumerado "
    "Principal], catalogo.IO, catalogo.[Enumerado Principal] HAVING (((catalogo.IO) = ?)) "
    "UNION SELECT [Enumerado Secundario] + 100, catalogo.[Descripcion Enumerado Secundario], "
    "catalogo.IO, CStr([Abreviatura Atributo Gráfico]) || CStr([Enumerado Secundario]) || ' -[' "
    "|| CStr(catalogo.IO) || '] ' || [Descripcion Enumerado Secundario] FROM catalogo INNER "
    "JOIN [Atributo Grafico] ON catalogo.[ID Atributo Grafico] = [Atributo Grafico].[ID "
    "Atributo Grafico] WHERE (((catalogo.IO) = ?) AND (([catalogo].[Enumerado "
    "Secundario]) IS NOT NULL)) UNION SELECT 100000, catalogo.[Descripcion Enumerado Secundario], "
    "catalogo.IO, '00 - [' || CStr(catalogo.IO) || '] Sin Enumerado o Nulo' FROM catalogo INNER "
    "JOIN [Atributo Grafico] ON catalogo.[ID Atributo Grafico] = [Atributo Grafico].[ID "
    "Atributo Grafico] WHERE (((catalogo.IO) = ?) AND ((catalogo.[Enumerado Principal]) LIKE "
    "'sin enumerado')) OR (((catalogo.IO) = ?) AND ((catalogo.[Enumerado Principal]) IS NULL) "
    "AND ((catalogo.[Enumerado Secundario]) IS NULL)) GROUP BY catalogo.[Descripcion Enumerado "
    "Secundario], catalogo.IO ORDER BY 1, 2, 3, 4",
    "SELECT CLng([Catalogo].[Enumerado Principal]) AS id_AtributoEnumerado1, "
    "catalogo.[Descripcion Enumerado Principal], catalogo.IO, CStr([Enumerado Principal])+' - "
    "['+CStr(catalogo.IO)+'] '+[Descripcion Enumerado Principal] AS AtribEnum From catalogo "
    "Where (((IsNumeric([Enumerado Principal])) = True) And ((IsNull([Enumerado Principal])) = "
    "False)) GROUP BY catalogo.[Descripcion Enumerado Principal], catalogo.IO, CStr([Enumerado "
    "Principal])+' - ['+CStr(catalogo.IO)+'] '+[Descripcion Enumerado Principal], "
    "catalogo.[Enumerado Principal] HAVING (((catalogo.IO)=?)) UNION SELECT [Enumerado "
    "Secundario]+100 AS id_AtributoEnumerado1, catalogo.[Descripcion Enumerado Secundario] AS "
    "Descr_AtributoEnumerado1, catalogo.IO, CStr([Abreviatura Atributo Gráfico])+CStr([Enumerado "
    "Secundario])+' -['+CStr(catalogo.IO)+'] '+[Descripcion Enumerado Secundario] AS AtribEnum "
    "FROM catalogo INNER JOIN [Atributo Grafico] ON catalogo.[ID Atributo Grafico] = [Atributo "
    "Grafico].[ID Atributo Grafico] Where(((catalogo.IO) = ?) And ((IsNull([catalogo].[Enumerado "
    "Secundario])) = false)) UNION SELECT 100000 AS id_AtributoEnumerado1, catalogo.[Descripcion "
    "Enumerado Secundario] AS Descr_AtributoEnumerado1, catalogo.IO, '00 - "
    "['+CStr(catalogo.IO)+'] Sin Enumerado o Nulo' AS AtribEnum FROM catalogo INNER JOIN "
    "[Atributo Grafico] ON catalogo.[ID Atributo Grafico] = [Atributo Grafico].[ID Atributo "
    "Grafico] Where (((catalogo.IO) = ?) And ((catalogo.[Enumerado Principal]) Like 'sin "
    "enumerado')) Or (((catalogo.IO) = ?) And ((catalogo.[Enumerado Principal]) Is Null) And "
    "((catalogo.[Enumerado Secundario]) Is Null)) GROUP BY 100000, catalogo.[Descripcion "
    "Enumerado Secundario], catalogo.IO, '00 - ['+CStr(catalogo.IO)+'] Sin Enumerado o Nulo' "
    "ORDER BY id_atributoenumerado1;"};

constexpr Sentencia kElementosSecundarios{
    "leer las entradas del valor secundario",
    "SELECT catalogo.MSLINK, CStr([MSLINK]) || ' -' || [Descripcion Enumerado Secundario] || ' "
    "(' || [Descripcion Atributo Grafico] || ')' AS [Desc] FROM catalogo INNER JOIN [Atributo "
    "Grafico] ON catalogo.[ID Atributo Grafico] = [Atributo Grafico].[ID Atributo Grafico] "
    "WHERE (((catalogo.IO) = ?) AND ((catalogo.[Enumerado Principal]) IS NULL) AND "
    "((catalogo.[Enumerado Secundario]) IS NOT NULL) AND ((CStr([Abreviatura Atributo Gráfico]) "
    "|| CStr([Enumerado Secundario])) = ?)) GROUP BY catalogo.MSLINK, [Desc] ORDER BY "
    "catalogo.MSLINK, [Desc]",
    "SELECT catalogo.MSLINK, CStr([MSLINK])+' -'+[Descripcion Enumerado Secundario]+' "
    "('+[Descripcion Atributo Grafico]+')' AS [Desc] FROM catalogo INNER JOIN [Atributo Grafico] "
    "ON catalogo.[ID Atributo Grafico] = [Atributo Grafico].[ID Atributo Grafico] Where "
    "(((catalogo.IO) = ?) And ((catalogo.[Enumerado Principal]) Is Null) And "
    "((catalogo.[Enumerado Secundario]) Is Not Null) And ((CStr([Abreviatura Atributo Gráfico]) "
    "+ CStr([Enumerado Secundario])) = ?)) GROUP BY catalogo.MSLINK, CStr([MSLINK])+' "
    "-'+[Descripcion Enumerado Secundario]+' ('+[Descripcion Atributo Grafico]+')' ORDER BY "
    "catalogo.MSLINK;"};

constexpr Sentencia kElementosSinValor{
    "leer las entradas sin valor",
    "SELECT catalogo.MSLINK, CStr([MSLINK]) || ' -' || [Descripcion] AS [Desc] FROM catalogo "
    "WHERE (((catalogo.IO) = ?) AND ((catalogo.[Enumerado Principal]) LIKE 'sin enumerado' OR "
    "(catalogo.[Enumerado Principal]) IS NULL) AND ((catalogo.[Enumerado Secundario]) IS NULL)) "
    "GROUP BY catalogo.MSLINK, [Desc] ORDER BY catalogo.MSLINK, [Desc]",
    "SELECT catalogo.MSLINK, CStr([MSLINK])+' -'+[Descripcion] AS [Desc] From catalogo Where "
    "(((catalogo.IO) = ?) And ((catalogo.[Enumerado Principal]) Like 'sin enumerado' Or "
    "(catalogo.[Enumerado Principal]) Is Null) And ((catalogo.[Enumerado Secundario]) Is Null)) "
    "GROUP BY catalogo.MSLINK, CStr([MSLINK])+' -'+[Descripcion] ORDER BY catalogo.MSLINK;"};

constexpr Sentencia kElementosPrincipales{
    "leer las entradas del valor principal",
    "SELECT catalogo.MSLINK, CStr([MSLINK]) || ' -' || [Descripcion Enumerado Principal] || ' (' "
    "|| CStr([Descripcion Atributo Grafico]) || ')' AS [Desc] FROM catalogo INNER JOIN [Atributo "
    "Grafico] ON catalogo.[ID Atributo Grafico] = [Atributo Grafico].[ID Atributo Grafico] "
    "WHERE (((catalogo.IO) = ?) AND ((catalogo.[Enumerado Principal]) = ?)) ORDER BY "
    "catalogo.MSLINK, catalogo.rowid",
    "SELECT catalogo.MSLINK, CStr([MSLINK])+' -'+[Descripcion Enumerado Principal]+' "
    "('+CStr([Descripcion Atributo Grafico])+')' AS [Desc] FROM catalogo INNER JOIN [Atributo "
    "Grafico] ON catalogo.[ID Atributo Grafico] = [Atributo Grafico].[ID Atributo Grafico] "
    "Where (((catalogo.IO) = ?) And ((catalogo.[Enumerado Principal]) = ?)) ORDER BY "
    "catalogo.MSLINK;"};

const TablaRequerida kCatalogoPorTema{"catalogo", {"MSLINK", "Tema", "Descripcion"}};
const TablaRequerida kCatalogoPorObjeto{
    "catalogo",
    {"MSLINK", "IO", "Descripcion", "Enumerado Principal", "Descripcion Enumerado Principal",
     "Enumerado Secundario", "Descripcion Enumerado Secundario", "ID Atributo Grafico"}};
const TablaRequerida kTema{"Tema", {"ID Tema", "Descripcion Tema"}};
const TablaRequerida kObjeto{"Objeto", {"IO", "Nombre Objeto"}};
const TablaRequerida kAtributoGrafico{
    "Atributo Grafico",
    {"ID Atributo Grafico", "Descripcion Atributo Grafico", "Abreviatura Atributo Gráfico"}};

std::vector<RegistroCatalogo> registros(const BaseDatos& bd, const Sentencia& sentencia,
                                        std::size_t columna_mslink) {
  std::vector<RegistroCatalogo> salida;
  for (const FilaBd& fila : bd.consulta(sentencia)) {
    salida.push_back(
        {clng(fila[columna_mslink]).value_or(0), clng(fila[1 - columna_mslink]).value_or(0)});
  }
  return salida;
}

// Items from rows whose column `texto` holds the list text and `clave` what it stands for.
std::vector<ElementoCatalogo> elementos(const std::vector<FilaBd>& filas, std::size_t texto,
                                        std::size_t clave) {
  std::vector<ElementoCatalogo> salida;
  for (const FilaBd& fila : filas) {
    if (auto t = cstr(fila[texto])) salida.push_back({std::move(*t), fila[clave]});
  }
  return salida;
}

}  // namespace

std::vector<RegistroCatalogo> registros_por_tema(const BaseDatos& bd) {
  bd.exige({kCatalogoPorTema, kTema});
  return registros(bd, kRegistrosPorTema, 1);
}

std::vector<ElementoCatalogo> temas_del_catalogo(const BaseDatos& bd) {
  return elementos(bd.consulta(kTemas), 0, 1);
}

std::vector<ElementoCatalogo> entradas_del_tema(const BaseDatos& bd, const Valor& tema) {
  std::vector<ElementoCatalogo> salida;
  for (const FilaBd& fila : bd.consulta(kEntradasDelTema, {tema})) {
    salida.push_back({texto_celda(fila[0]) + " -" + texto_celda(fila[1]), fila[0]});
  }
  return salida;
}

std::vector<RegistroCatalogo> registros_por_objeto(const BaseDatos& bd) {
  bd.exige({kCatalogoPorObjeto, kObjeto, kAtributoGrafico});
  return registros(bd, kRegistrosPorObjeto, 0);
}

std::vector<ElementoCatalogo> objetos_del_catalogo(const BaseDatos& bd) {
  return elementos(bd.consulta(kObjetos), 2, 0);
}

std::vector<std::string> valores_del_objeto(const BaseDatos& bd, const Valor& objeto) {
  std::vector<std::string> salida;
  for (const FilaBd& fila : bd.consulta(kValoresDelObjeto, {objeto, objeto, objeto, objeto})) {
    if (auto texto = cstr(fila[3])) salida.push_back(std::move(*texto));
  }
  return salida;
}

std::vector<ElementoCatalogo> elementos_del_valor(const BaseDatos& bd, const Valor& objeto,
                                                  std::string_view valor) {
  const Valor texto{std::string(valor)};
  const auto numero = numero_de(texto);
  if (!numero) return elementos(bd.consulta(kElementosSecundarios, {objeto, texto}), 1, 0);
  if (*numero == 0) return elementos(bd.consulta(kElementosSinValor, {objeto}), 1, 0);
  return elementos(bd.consulta(kElementosPrincipales, {objeto, texto}), 1, 0);
}

}  // namespace telmora
