#!/usr/bin/env bash
# Checks the Debian package that scripts/paquete.sh built, as it installs: lintian finds no
# error; the package unpacked into a scratch root (dpkg -x) runs from there, from an empty
# working folder and a bare environment, with no path into a build folder: both versions, a
# sample sheet generated, reported, drawn, cleaned (which loads libproyeccion.so from the
# package's folder of libraries) and exported (which runs telmora-cli-sig from there); the
# manual pages render without warnings; the completion completes; and Ctrl-C on a terminal
# stops a long cleanup with the sheet as it was.
set -euo pipefail
cd "$(dirname "$0")/.."

fallo() {
  echo "prueba_paquete: $*" >&2
  exit 1
}

version=$(sed -n 's/^project(Telmora VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
paquete=build-paquete/telmora_${version}_amd64.deb
[ -f "$paquete" ] || fallo "no está $paquete"
lintian --fail-on error "$paquete" ||
  fallo "lintian encuentra errores en $paquete"

raiz=$(mktemp -d "${TMPDIR:-/tmp}/telmora-paquete.XXXXXX")
trap '[ -n "${TELMORA_CONSERVA:-}" ] || rm -rf "$raiz"' EXIT
dpkg -x "$paquete" "$raiz/instalado"
bin=$raiz/instalado/usr/bin
for fichero in "$bin"/* "$raiz"/instalado/usr/lib/telmora/*; do
  if readelf -d "$fichero" | grep -Eq 'RPATH|RUNPATH'; then
    fallo "$(basename "$fichero") lleva una ruta de bibliotecas"
  fi
done
[ -f "$raiz/instalado/etc/telmora/instalacion.ini" ] || fallo "falta /etc/telmora/instalacion.ini"
dpkg-deb -e "$paquete" "$raiz/control"
grep -qx /etc/telmora/instalacion.ini "$raiz/control/conffiles" ||
  fallo "instalacion.ini no es un fichero de configuración"

# The installed programs, run from an empty folder with nothing of the build in their way.
mkdir "$raiz/trabajo"
instalado() {
  (cd "$raiz/trabajo" && env -i PATH=/usr/bin:/bin HOME="$raiz/trabajo" LANG=C.UTF-8 "$@")
}
[ "$(instalado "$bin/telmora-cli" --version)" = "telmora-cli $version" ] ||
  fallo "telmora-cli --version"
# Without any display.
[ "$(instalado "$bin/telmora" --version)" = "telmora $version" ] || fallo "telmora --version"
instalado "$bin/telmora-cli" generar muestra --entidades 5000 --recintos >/dev/null
instalado "$bin/telmora-cli" info muestra/hoja.bin | grep -q . || fallo "info no informa"
instalado "$bin/telmora-cli" render muestra/hoja.bin muestra/hoja.png --tamano 640x480
[ "$(head -c 8 "$raiz/trabajo/muestra/hoja.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
  fallo "render no escribe un PNG"
instalado "$bin/telmora-cli" pdobles muestra/hoja.bin --tol-xy 1 --tol-z 1 >/dev/null ||
  fallo "pdobles no carga libproyeccion.so de /usr/lib/telmora"
instalado "$bin/telmora-cli" exportar muestra/hoja.bin muestra/hoja.gpkg | grep -q "^Escrito" ||
  fallo "exportar no llega a telmora-cli-sig de /usr/lib/telmora"

for pagina in "$raiz"/instalado/usr/share/man/man1/telmora{,-cli}.1.gz; do
  avisos=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$pagina" 2>&1 >/dev/null)
  [ -z "$avisos" ] || fallo "$(basename "$pagina"): $avisos"
  zcat "$pagina" | grep -q "$version" || fallo "$(basename "$pagina") sin la versión"
done
instalado "$bin/telmora-cli" --help >"$raiz/ayuda.txt"
zcat "$raiz/instalado/usr/share/man/man1/telmora-cli.1.gz" | grep -q '^\.SS topologia' ||
  fallo "el manual de telmora-cli no trae la ayuda de sus órdenes"

# Completion as bash runs it: words typed so far, the candidates offered.
completa() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _telmora_cli
           echo "${COMPREPLY[*]}"' completa \
    "$raiz/instalado/usr/share/bash-completion/completions/telmora-cli" "$@"
}
[ "$(completa telmora-cli top)" = topologia ] || fallo "no completa las órdenes"
[ "$(completa telmora-cli exportar h.bin --fo)" = --formato ] || fallo "no completa las opciones"
[ -z "$(completa telmora-cli exportar h.bin --formato G)" ] || fallo "completa el valor de una opción"

# Ctrl-C typed on the terminal while the cleanup searches for crossings: the command stops with
# status 130 and the sheet is byte for byte what it was.
instalado "$bin/telmora-cli" generar grande --entidades 300000 --recintos >/dev/null
cp "$raiz/trabajo/grande/hoja.bin" "$raiz/antes.bin"
mkfifo "$raiz/teclado"
(cd "$raiz/trabajo" && script -qefc "$bin/telmora-cli depurar grande/hoja.bin" "$raiz/terminal.txt" \
  <"$raiz/teclado" >/dev/null) &
terminal=$!
exec 3>"$raiz/teclado"
for _ in $(seq 600); do
  grep -q "Cruces entre elementos" "$raiz/terminal.txt" 2>/dev/null && break
  sleep 0.1
done
grep -q "Cruces entre elementos" "$raiz/terminal.txt" || fallo "depurar no muestra su avance"
printf '\003' >&3
estado=0
wait "$terminal" || estado=$?
exec 3>&-
[ "$estado" -eq 130 ] || fallo "depurar interrumpida termina con $estado"
cmp -s "$raiz/antes.bin" "$raiz/trabajo/grande/hoja.bin" || fallo "Ctrl-C cambia la hoja"
grep -q "operación interrumpida" "$raiz/terminal.txt" || fallo "Ctrl-C sin aviso"
echo "prueba_paquete: $paquete se instala y funciona"
