#!/usr/bin/env bash
# Cross-builds everything that needs no Qt for 32- and 64-bit Windows with MinGW (build-win32,
# build-win64): the two libraries, the model, the tools' work and their tests. Checks that
# Orogrid.dll and proyeccion.dll export exactly their plain names and import only libraries
# that every Windows has, then runs the 64-bit tests under Wine in a fresh, temporary prefix.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A triplete=([win32]=i686-w64-mingw32 [win64]=x86_64-w64-mingw32)
declare -A toolchain=([win32]=cmake/mingw-i686.cmake [win64]=cmake/mingw-x86_64.cmake)
declare -A exportaciones=([Orogrid]="fnGetZValue fnOrogrid fnUnloadMDT" [proyeccion]="proyeccion")
# Libraries a DLL may import: none of MinGW's runtime DLLs (libgcc, libstdc++, winpthread).
importaciones_permitidas="kernel32.dll msvcrt.dll"

fallo() {
  echo "pruebas_windows: $*" >&2
  exit 1
}

# The names in a PE file's export table, one a line, sorted.
lista_exportaciones() {
  "$1-objdump" -p "$2" |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' | sort
}

# The DLLs a PE file imports, lower case, one a line.
lista_importaciones() {
  "$1-objdump" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]'
}

comprueba_dll() {
  local triple=$1 dll=$2 esperadas=$3
  [ -f "$dll" ] || fallo "$dll was not built"
  local halladas
  halladas=$(lista_exportaciones "$triple" "$dll")
  [ "$halladas" = "$(tr ' ' '\n' <<<"$esperadas" | sort)" ] ||
    fallo "$dll exports [$(echo $halladas)], expected exactly [$esperadas]"
  local importada
  for importada in $(lista_importaciones "$triple" "$dll"); do
    [[ " $importaciones_permitidas " == *" $importada "* ]] ||
      fallo "$dll imports $importada, which a Windows machine may lack"
  done
  echo "$dll: exports $esperadas; imports $(lista_importaciones "$triple" "$dll" | paste -sd' ')"
}

for arquitectura in win32 win64; do
  carpeta=build-$arquitectura
  cmake -S . -B "$carpeta" -G Ninja -DCMAKE_TOOLCHAIN_FILE="${toolchain[$arquitectura]}" >/dev/null
  cmake --build "$carpeta" -j"$(nproc)"
  for biblioteca in "${!exportaciones[@]}"; do
    comprueba_dll "${triplete[$arquitectura]}" "$carpeta/bin/$biblioteca.dll" \
      "${exportaciones[$biblioteca]}"
  done
done

# Wine as root on a clean machine with no display: its own prefix, removed at the end, and one
# server kept running for every test until then.
temporal=$(mktemp -d)
export WINEPREFIX=$temporal/prefijo
trap 'cmake/wine.sh wineserver -k 2>/dev/null || true; rm -rf "$temporal"' EXIT
mkdir "$WINEPREFIX"
registro=$temporal/wine.log
cmake/wine.sh wineserver -p >"$registro" 2>&1 ||
  { cat "$registro" >&2; fallo "the Wine server did not start"; }
timeout 300 cmake/wine.sh wine64 wineboot --init >"$registro" 2>&1 ||
  { cat "$registro" >&2; fallo "wineboot could not prepare a Wine prefix"; }
timeout 1800 ctest --test-dir build-win64 -j"$(nproc)" --output-on-failure --timeout 300
