#!/usr/bin/env bash
# Topology of a real administrative map: a whole `telmora-cli topologia --orden centroides` run
# (start, load, drawing, topology, listings) against GRASS GIS's `v.build` on the same lines.
#
# Optional: it needs grass-core, r-cran-maps and gdal-bin, which scripts/dependencias.sh does not
# install. The map is the US county map of R's maps package (3,085 polygons), projected to
# EPSG:5070 (metres, so that its coordinates fit an entity file in centimetres). GRASS builds the
# areas and writes their boundaries as lines between nodes (shared boundaries once, not one
# closed ring per county, since closed elements make no arcs) and one centroid per area; both go
# into one entity file, the lines as elements and the centroids as texts named after the county.
#
# usage: bench/comparacion_grass.sh [CARPETA] [VECES]
#   CARPETA  where the data and the GRASS database go (kept and reused; default
#            /tmp/telmora-comparacion-grass)
#   VECES    runs of each program, alternating (default 7)
# telmora-cli is taken from build/bin, or from $TELMORA_CLI.
set -euo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${TELMORA_CLI:-$raiz/build/bin/telmora-cli}")
carpeta=${1:-/tmp/telmora-comparacion-grass}
veces=${2:-7}
for programa in grass Rscript ogr2ogr "$cli"; do
  command -v "$programa" >/dev/null || { echo "falta $programa" >&2; exit 2; }
done
mkdir -p "$carpeta"
cd "$carpeta"
bd=gdb/condados/PERMANENT

if [ ! -s condados.csv ]; then
  # Each polygon of the map as WKT, closed, with the county's name.
  Rscript -e '
    library(maps)
    m <- map("county", plot = FALSE, fill = TRUE)
    corte <- c(0, which(is.na(m$x)), length(m$x) + 1)
    filas <- character(length(m$names))
    for (k in seq_along(m$names)) {
      i <- (corte[k] + 1):(corte[k + 1] - 1)
      x <- m$x[i]; y <- m$y[i]
      if (x[1] != x[length(x)] || y[1] != y[length(y)]) { x <- c(x, x[1]); y <- c(y, y[1]) }
      filas[k] <- sprintf("\"POLYGON ((%s))\",\"%s\"",
                          paste(sprintf("%.6f %.6f", x, y), collapse = ", "), m$names[k])
    }
    writeLines(c("WKT,nombre", filas), "condados.csv")'
fi
if [ ! -s condados.gpkg ]; then
  ogr2ogr -f GPKG condados.gpkg condados.csv -oo KEEP_GEOM_COLUMNS=NO -s_srs EPSG:4326 \
    -t_srs EPSG:5070 -nln condados
fi
if [ ! -d "$bd" ]; then
  grass -c EPSG:5070 gdb/condados -e
  grass "$bd" --exec v.in.ogr input=condados.gpkg layer=condados output=condados --quiet
fi
if [ ! -s condados.bin ]; then
  rm -f limites.gpkg lineas.gpkg centroides.gpkg
  grass "$bd" --exec v.out.ogr -c input=condados type=boundary output=limites.gpkg \
    output_layer=limites format=GPKG --quiet
  grass "$bd" --exec v.out.ogr input=condados type=centroid output=centroides.gpkg \
    output_layer=centroides format=GPKG --quiet
  # A boundary that closes on itself (a county on an island) would be a closed element, which
  # makes no arc: it goes in two halves.
  ogr2ogr -f GPKG lineas.gpkg limites.gpkg -nln lineas -dialect SQLite -sql "
    SELECT geom FROM limites WHERE NOT ST_IsClosed(geom)
    UNION ALL SELECT ST_Line_Substring(geom, 0, 0.5) FROM limites WHERE ST_IsClosed(geom)
    UNION ALL SELECT ST_Line_Substring(geom, 0.5, 1) FROM limites WHERE ST_IsClosed(geom)"
  # The same lines and centroids as a GRASS map of their own.
  grass "$bd" --exec v.in.ogr input=lineas.gpkg layer=lineas type=boundary output=lineas \
    --overwrite --quiet
  grass "$bd" --exec v.in.ogr input=centroides.gpkg layer=centroides type=centroid \
    output=centros --overwrite --quiet
  grass "$bd" --exec v.patch input=lineas,centros output=red --overwrite --quiet
  # The sample's code table and palette; lines and texts take the code of its streets.
  "$cli" generar muestra --entidades 1000 >/dev/null
  cp muestra/Vekt.tab muestra/Vekt.pal .
  "$cli" importar lineas.gpkg centroides.gpkg condados.bin --codigo 1516 \
    --campo-texto nombre --altura-texto 500
fi

mkdir -p listados
echo "== Telmora"
"$cli" topologia condados.bin --orden centroides --listados listados
# Telmora's closed polygons are GRASS's areas (its faces) plus its islands (its envelopes, the
# outer boundary of each connected part); the faces with several centroids hold GRASS's duplicate
# centroids, and those without one are the areas left when the centroids less the duplicates
# have taken theirs.
echo "== GRASS (condados: the polygons imported; red: the lines and centroids Telmora reads)"
for mapa in condados red; do
  echo "$mapa: $(grass "$bd" --exec v.info -t map=$mapa 2>/dev/null |
    grep -E '^(nodes|boundaries|centroids|areas|islands)=' | tr '\n' ' ')"
done
echo "red, v.build: $(grass "$bd" --exec v.build map=red 2>&1 | grep -E '^WARNING.*centroid' | tr '\n' ' ')"

# The programs in one GRASS session, alternating, each timed from its start to its end.
cat >medicion.sh <<'FIN'
set -euo pipefail
cli=$1 veces=$2
mide() { local t0=$EPOCHREALTIME; "$@" >/dev/null 2>&1; awk "BEGIN { print $EPOCHREALTIME - $t0 }"; }
mediana() { printf '%s\n' "$@" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
telmora=() condados=() red=()
for ((i = 0; i < veces; i++)); do
  telmora+=("$(mide "$cli" topologia condados.bin --orden centroides --listados listados)")
  condados+=("$(mide v.build map=condados --quiet)")
  red+=("$(mide v.build map=red --quiet)")
done
echo "telmora-cli topologia --orden centroides: ${telmora[*]}"
echo "v.build map=condados: ${condados[*]}"
echo "v.build map=red: ${red[*]}"
echo "medianas de $veces (s): telmora $(mediana "${telmora[@]}"), v.build condados" \
  "$(mediana "${condados[@]}"), v.build red $(mediana "${red[@]}")"
FIN
echo "== Tiempos"
uptime
grass "$bd" --exec bash medicion.sh "$cli" "$veces" 2>/dev/null
