#!/usr/bin/env bash
# Builds the Debian package of Telmora, build-paquete/telmora_VERSION_amd64.deb: a Release tree
# of the two programs and the two libraries only (no tests, no benchmarks), with Debian's
# hardening flags, through ccache when there is one, then cpack. The version is the one of
# project() in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dependencias.sh
lanzador=()
if command -v ccache >/dev/null; then
  lanzador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  # Paths inside the repository count relative to it, so that another clone reuses the cache.
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi
# Debian's flags (-O2, stack protector, format checks, fortified functions, read-only
# relocations, immediate binding) without the debugging information, which the package strips
# anyway; Release adds only NDEBUG to them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
cmake -S . -B build-paquete -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
  -DTELMORA_PAQUETE=ON -DTELMORA_PRUEBAS=OFF -DTELMORA_BENCH=OFF "${lanzador[@]}" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-paquete -j"$(nproc)"
(cd build-paquete && cpack -G DEB >/dev/null)
ls build-paquete/telmora_*_amd64.deb
