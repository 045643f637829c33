#!/usr/bin/env bash
# Runs the fuzzers for as long as asked: fuzz/ejecuta.sh HORAS [FUZZER...] (decimals allowed, 0.5
# is half an hour; every fuzzer unless some are named). The sanitized test build (build-pruebas)
# is brought up to date first. The fuzzers run all at once for the whole time, at the lowest
# priority, sharing the machine's cores. Each one starts from its committed corpus
# (fuzz/semillas/NAME) and the build's (build-pruebas/fuzz/corpus_NAME), where the new inputs it
# finds are kept. An input that crashes, leaks or runs past the time limit is saved in
# fuzz/hallazgos/NAME/; once its fault is fixed, it goes into fuzz/semillas/NAME so that every
# later run tries it again. At the end, a line per fuzzer with its executions and whether it
# found anything; the exit status is 1 when any did.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 1 ]] || ! awk -v h="$1" 'BEGIN { exit !(h > 0) }'; then
  echo "uso: fuzz/ejecuta.sh HORAS [FUZZER...]" >&2
  exit 2
fi
horas=$1
shift

cmake -S . -B build-pruebas -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DTELMORA_SANITIZERS=ON -DTELMORA_BENCH=OFF >/dev/null
fuzzers=(fuzz_carga_bin fuzz_vekt_tab fuzz_pal fuzz_orogrid fuzz_topologia fuzz_depuracion
         fuzz_dibujo_sig)
(($# > 0)) && fuzzers=("$@")
cmake --build build-pruebas -j"$(nproc)" --target "${fuzzers[@]}"

segundos=$(awk -v h="$horas" 'BEGIN { s = int(h * 3600); print (s < 1 ? 1 : s) }')
registros=$(mktemp -d "${TMPDIR:-/tmp}/telmora-fuzz.XXXXXX")
trap 'rm -rf "$registros"' EXIT
echo "${#fuzzers[@]} fuzzers a la vez, $segundos s cada uno"

ejecuta() {
  local nombre=$1
  local corpus=build-pruebas/fuzz/corpus_$nombre hallazgos=fuzz/hallazgos/$nombre
  mkdir -p "$corpus" "$hallazgos"
  local semillas=()
  [[ -d fuzz/semillas/$nombre ]] && semillas=(fuzz/semillas/"$nombre")
  # Same limits as under CTest; the exit status is read from the log.
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp nice -n 19 build-pruebas/bin/"$nombre" \
    -max_total_time="$segundos" -rss_limit_mb=2048 -timeout=30 -report_slow_units=30 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$hallazgos/" "$corpus" "${semillas[@]}" \
    >"$registros/$nombre.log" 2>&1 || true
}

for nombre in "${fuzzers[@]}"; do ejecuta "$nombre" & done
wait

fallos=0
for nombre in "${fuzzers[@]}"; do
  ejecuciones=$(awk '/stat::number_of_executed_units/ { print $2 }' "$registros/$nombre.log")
  hallados=$(find "fuzz/hallazgos/$nombre" -type f | wc -l)
  printf '%-18s %10s ejecuciones  %s\n' "$nombre" "${ejecuciones:-?}" \
    "$([[ $hallados -eq 0 ]] && echo "sin hallazgos" || echo "$hallados en fuzz/hallazgos/$nombre")"
  if [[ $hallados -ne 0 ]]; then
    fallos=1
    grep -m1 -E 'ERROR|runtime error|telmora-fuzz' "$registros/$nombre.log" || true
  else
    rmdir "fuzz/hallazgos/$nombre" 2>/dev/null || true
  fi
done
rmdir fuzz/hallazgos 2>/dev/null || true
exit "$fallos"
