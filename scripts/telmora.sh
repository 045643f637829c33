#!/usr/bin/env bash
# Builds Telmora (Release, into build/bin) and opens it on the bundled sample sheet, which is
# generated into build/muestra the first time. The start form opens in that folder with the
# sample selected; "Visor VEKT" opens it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dependencias.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELMORA_PRUEBAS=OFF >/dev/null
cmake --build build -j"$(nproc)"

muestra=build/muestra
if [ ! -f "$muestra/hoja.bin" ]; then
  build/bin/telmora-cli generar "$muestra" --entidades 50000 --semilla 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Telmora necesita una sesión gráfica (DISPLAY o WAYLAND_DISPLAY sin definir)." >&2
  echo "La hoja de muestra está en $muestra; su informe:" >&2
  build/bin/telmora-cli info "$muestra/hoja.bin"
  exit 1
fi
exec build/bin/telmora "$muestra/hoja.bin"
