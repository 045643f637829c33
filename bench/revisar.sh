#!/usr/bin/env bash
# Times `telmora-cli revisar` on generated sheets (40 of 20,000 entities by default, every other
# one with block outlines): with one worker, with two, and against the single commands whose
# counts it gathers (info, duplicados, pdobles, topologia --orden centroides and depurar, one
# after the other, the ones that write on copies made beforehand). Each round measures the three
# in turn; the medians of VECES rounds are printed with the two ratios, and the load average
# before and after each round, since the machine may be shared.
#
#   bench/revisar.sh [CARPETA [VECES]]     (HOJAS, ENTIDADES and TELMORA_CLI may be set)
set -euo pipefail

carpeta=${1:-$(mktemp -d "${TMPDIR:-/tmp}/telmora-revisar.XXXXXX")}
veces=${2:-3}
hojas=${HOJAS:-40}
entidades=${ENTIDADES:-20000}
cli=$(realpath "${TELMORA_CLI:-$(dirname "$0")/../build/bin/telmora-cli}")
mkdir -p "$carpeta"
cd "$carpeta"

if [ ! -f "hojas/$hojas-$entidades" ]; then
  rm -rf hojas
  for ((i = 1; i <= hojas; i++)); do
    recintos=$([ $((i % 2)) -eq 0 ] && echo --recintos || true)
    "$cli" generar "hojas/$i" --entidades "$entidades" --semilla "$i" $recintos >/dev/null
  done
  touch "hojas/$hojas-$entidades"
fi

ahora() { date +%s.%N; }
resta() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a - b }'; }
cociente() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'; }
carga() { cut -d' ' -f1-3 /proc/loadavg; }

revisar() {
  local inicio
  inicio=$(ahora)
  "$cli" revisar hojas --informe informe --trabajos "$1" >/dev/null || [ $? -eq 1 ]
  resta "$(ahora)" "$inicio"
}

ordenes() {
  rm -rf copias && mkdir -p copias/listados
  for ((i = 1; i <= hojas; i++)); do
    cp -r "hojas/$i" "copias/a$i"
    cp -r "hojas/$i" "copias/b$i"
  done
  local inicio
  inicio=$(ahora)
  for ((i = 1; i <= hojas; i++)); do
    "$cli" info "copias/a$i/hoja.bin" >/dev/null
    "$cli" duplicados "copias/a$i/hoja.bin" >/dev/null
    "$cli" topologia "copias/a$i/hoja.bin" --orden centroides --listados copias/listados >/dev/null
    "$cli" pdobles "copias/a$i/hoja.bin" --tol-xy 1 --tol-z 1 >/dev/null
    "$cli" depurar "copias/b$i/hoja.bin" --listados copias/listados >/dev/null
  done
  resta "$(ahora)" "$inicio"
}

mediana() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >uno.txt
: >dos.txt
: >sueltas.txt
for ((vez = 1; vez <= veces; vez++)); do
  antes=$(carga)
  revisar 1 >>uno.txt
  revisar 2 >>dos.txt
  ordenes >>sueltas.txt
  echo "ronda $vez: revisar 1 $(tail -1 uno.txt) s, revisar 2 $(tail -1 dos.txt) s," \
    "órdenes sueltas $(tail -1 sueltas.txt) s; carga antes $antes, después $(carga)"
done
uno=$(mediana <uno.txt)
dos=$(mediana <dos.txt)
sueltas=$(mediana <sueltas.txt)
echo "$hojas hojas de $entidades entidades, medianas de $veces rondas:"
echo "  revisar --trabajos 1: $uno s; --trabajos 2: $dos s; órdenes sueltas: $sueltas s"
echo "  2 trabajos frente a 1: $(cociente "$uno" "$dos")x más rápido (objetivo >= 1.6)"
echo "  1 trabajo frente a las órdenes sueltas: $(cociente "$uno" "$sueltas")x" \
  "(objetivo <= 1.2)"
