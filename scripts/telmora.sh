#!/usr/bin/env bash
# Builds Telmora (Release, into build/bin) and runs it on the bundled sample sheet, which is
# generated into build/muestra the first time.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dependencias.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELMORA_PRUEBAS=OFF >/dev/null
cmake --build build -j"$(nproc)"

muestra=build/muestra
if [ ! -f "$muestra/hoja.bin" ]; then
  build/bin/telmora-cli generar "$muestra" --entidades 50000 --semilla 1
fi
build/bin/telmora-cli info "$muestra/hoja.bin"
