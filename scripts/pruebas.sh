#!/usr/bin/env bash
# Builds every test suite with AddressSanitizer and UndefinedBehaviorSanitizer (clang, into
# build-pruebas) and runs them all, the fuzzers included (a bounded time each: five seconds for
# the loaders, twelve for the tools), with a throwaway PostgreSQL server of their own for the
# pair control's server tests (stopped on the way out, whatever happens); then builds the Debian
# package and checks it as installed (scripts/paquete.sh, scripts/prueba_paquete.sh); then
# cross-builds for Windows and runs the libraries' tests under Wine (scripts/pruebas_windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dependencias.sh
cmake -S . -B build-pruebas -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DTELMORA_SANITIZERS=ON -DTELMORA_BENCH=OFF >/dev/null
cmake --build build-pruebas -j"$(nproc)"
servidor_pg=$(mktemp -d "${TMPDIR:-/tmp}/telmora-pg.XXXXXX")
trap 'bash scripts/servidor_postgresql.sh para "$servidor_pg"' EXIT
entorno_pg=$(bash scripts/servidor_postgresql.sh arranca "$servidor_pg")
eval "$entorno_pg"
ctest --test-dir build-pruebas -j"$(nproc)" --output-on-failure --timeout 900
bash scripts/paquete.sh
bash scripts/prueba_paquete.sh
bash scripts/pruebas_windows.sh
