#!/usr/bin/env bash
# The batch check's report seen from outside the program: the page as a headless browser opens
# it from the disk (worst first, sorted with a click on a header, every picture decoded), and the
# same report made through GNU parallel, one sheet per job, then merged.
#
#   revisar_fuera.sh TELMORA_CLI      (exit 77: chromium or parallel missing)
set -euo pipefail
cli=$(realpath "$1")
command -v chromium >/dev/null && command -v parallel >/dev/null || exit 77
trabajo=$(mktemp -d "${TMPDIR:-/tmp}/telmora-revisar.XXXXXX")
trap 'rm -rf "$trabajo"' EXIT
cd "$trabajo"

for i in 1 2 3; do
  recintos=$([ $((i % 2)) -eq 1 ] && echo --recintos || true)
  "$cli" generar "hojas/h$i" --entidades $((60 + 120 * i)) --semilla "$i" $recintos >/dev/null
done
mkdir hojas/rota && head -c 200 /dev/urandom >hojas/rota/hoja.bin
estado=0
"$cli" revisar hojas --informe uno --trabajos 2 >/dev/null || estado=$?
[ "$estado" -eq 1 ] || { echo "revisar terminó con $estado"; exit 1; }

# One process per sheet, each writing its row; parallel's status counts the sheets with findings.
parallel -j 2 "'$cli' revisar {} --json > {.}.json" ::: hojas/*/hoja.bin || true
"$cli" revisar --unir hojas/*/hoja.json --informe varios >/dev/null || [ $? -eq 1 ]
for f in resumen.csv resumen.json informe.html; do
  cmp "uno/$f" "varios/$f" || { echo "parallel da otro $f"; exit 1; }
done

# What the rows should show: worst first (the unreadable sheet, then by findings), and by name.
esperado_inicial=$(awk -F, 'NR > 1 {
    s = 0; for (i = 6; i <= 20; ++i) if (i != 13) s += $i
    g = ($21 ~ /^\"?error/) ? 0 : (s ? 1 : 2)
    print g, s, $1 }' uno/resumen.csv |
  LC_ALL=C sort -k1,1n -k2,2nr -k3,3 | cut -d' ' -f3 | paste -sd' ')
esperado_nombre=$(tail -n +2 uno/resumen.csv | cut -d, -f1 | LC_ALL=C sort | paste -sd' ')

# The page with a script of the test after it (a browser takes it into the body): on load it
# notes the order, clicks the sheet column's header and notes it again, and counts the pictures
# the browser decoded.
cp uno/informe.html uno/prueba.html
cat >>uno/prueba.html <<'FIN'
<script>
window.addEventListener("load", function () {
  function orden() {
    return Array.prototype.map.call(document.querySelectorAll("#hojas tbody tr"),
                                    function (f) { return f.cells[0].textContent; }).join(" ");
  }
  var r = document.createElement("pre");
  r.id = "prueba";
  r.textContent = "inicial=" + orden() + "\n";
  document.querySelector("#hojas thead th").click();
  r.textContent += "nombre=" + orden() + "\n";
  var imgs = Array.prototype.filter.call(document.images, function (i) {
    return i.complete && i.naturalWidth > 0;
  });
  r.textContent += "imagenes=" + imgs.length + "\n";
  document.body.appendChild(r);
});
</script>
FIN

chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$trabajo/perfil" \
  --virtual-time-budget=10000 --dump-dom "file://$trabajo/uno/prueba.html" >dom.html 2>/dev/null
resultado=$(sed -n '/<pre id="prueba">/,/<\/pre>/p' dom.html | sed 's/<[^>]*>//g')
fallo=0
comprueba() {
  local valor
  valor=$(grep "^$1=" <<<"$resultado" | cut -d= -f2-)
  [ "$valor" = "$2" ] || { echo "$1: «$valor», se esperaba «$2»"; fallo=1; }
}
comprueba inicial "$esperado_inicial"
comprueba nombre "$esperado_nombre"
comprueba imagenes 3
grep -q 'Content-Security-Policy' uno/informe.html
! grep -Eq '(src|href)="(https?:|//)' uno/informe.html || { echo "la página pide algo de fuera"; fallo=1; }
exit $fallo
