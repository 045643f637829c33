#!/usr/bin/env bash
# Runs a Wine program quietly and without asking anything:
#   wine.sh wine64 PROGRAM.exe [ARGUMENTS...]     (wine for 32-bit programs)
#   wine.sh wineserver -k                          (or any other Wine tool by name)
# Debian installs Wine's loaders and server outside PATH (/usr/lib/wine) unless the wine
# package is there too.
set -euo pipefail
herramienta=$1
shift
ruta=$(command -v "$herramienta" || true)
if [ -z "$ruta" ] && [ -x "/usr/lib/wine/$herramienta" ]; then
  ruta=/usr/lib/wine/$herramienta
fi
if [ -z "$ruta" ]; then
  echo "wine.sh: $herramienta is not installed (Debian: wine64; wine32:i386 for 32-bit)" >&2
  exit 127
fi
# No debugging chatter, and no offer to install Mono or Gecko in a new prefix.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec "$ruta" "$@"
