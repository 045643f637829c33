#!/usr/bin/env bash
# Builds every test suite with AddressSanitizer and UndefinedBehaviorSanitizer (clang, into
# build-pruebas) and runs them all, the fuzzers included (one bounded minute each); then
# cross-builds for Windows and runs the libraries' tests under Wine (scripts/pruebas_windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dependencias.sh
cmake -S . -B build-pruebas -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DTELMORA_SANITIZERS=ON -DTELMORA_BENCH=OFF >/dev/null
cmake --build build-pruebas -j"$(nproc)"
ctest --test-dir build-pruebas -j"$(nproc)" --output-on-failure --timeout 900
bash scripts/pruebas_windows.sh
