#!/usr/bin/env bash
# Installs what Telmora needs to build and test on Debian 12 (as root, or through sudo).
set -euo pipefail

paquetes=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev libgl-dev qt6-translations-l10n libqt6sql6-sqlite libsqlite3-dev
  libqt6sql6-psql postgresql
  mdbtools-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest wine64
  libgdal-dev gdal-bin
  help2man lintian
  parallel chromium
)

faltan=()
for paquete in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$paquete" 2>/dev/null | grep -q "install ok installed" ||
    faltan+=("$paquete")
done
[ ${#faltan[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  como_root=()
else
  como_root=(sudo)
fi
"${como_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${como_root[@]}" apt-get install -y -qq --no-install-recommends \
  "${faltan[@]}"
