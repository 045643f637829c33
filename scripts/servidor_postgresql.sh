#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, in a folder of its own:
#
#   bash scripts/servidor_postgresql.sh arranca CARPETA   # prints the variables to export
#   bash scripts/servidor_postgresql.sh para CARPETA      # stops it and removes CARPETA
#
# The cluster is made with Debian's initdb by an unprivileged user (the package's "postgres"
# when run as root), listens only on 127.0.0.1 at a free port and on a socket inside CARPETA, and
# asks for a password over TCP. Its superuser "telmora" gets a random password, written only into
# a password file in CARPETA; "arranca" prints TELMORA_PG (a connection to the database
# "telmora") and PGPASSFILE, which the tests read.
set -euo pipefail

orden=${1:-}
carpeta=${2:-}
if [ -z "$orden" ] || [ -z "$carpeta" ]; then
  echo "uso: $0 arranca|para CARPETA" >&2
  exit 2
fi

binarios=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$binarios" ]; then
  echo "$0: falta el servidor PostgreSQL (paquete postgresql)" >&2
  exit 1
fi

# Commands run as the cluster's owner: never root, which initdb and the server refuse.
como_dueno() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

case "$orden" in
  arranca)
    mkdir -p "$carpeta"
    carpeta=$(cd "$carpeta" && pwd)
    [ "$(id -u)" -eq 0 ] && chown postgres: "$carpeta"
    clave=$(head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')
    printf '%s\n' "$clave" >"$carpeta/clave"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$carpeta/clave"
    como_dueno "$binarios/initdb" -D "$carpeta/datos" -U telmora --pwfile="$carpeta/clave" \
      --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$carpeta/initdb.log"
    rm -f "$carpeta/clave"
    # A free port: the server is started on random ones until one binds.
    puerto=""
    for _ in $(seq 1 20); do
      candidato=$((20000 + RANDOM % 40000))
      if como_dueno "$binarios/pg_ctl" -D "$carpeta/datos" -l "$carpeta/servidor.log" -w -t 30 \
        -o "-c listen_addresses=127.0.0.1 -c port=$candidato -c unix_socket_directories=$carpeta -c fsync=off -c max_connections=60" \
        start >/dev/null; then
        puerto=$candidato
        break
      fi
    done
    if [ -z "$puerto" ]; then
      echo "$0: el servidor no arranca; véase $carpeta/servidor.log" >&2
      exit 1
    fi
    como_dueno "$binarios/psql" -q -h "$carpeta" -p "$puerto" -U telmora -d postgres \
      -c "CREATE DATABASE telmora" >/dev/null
    printf '127.0.0.1:%s:*:telmora:%s\n' "$puerto" "$clave" >"$carpeta/pgpass"
    chmod 600 "$carpeta/pgpass"
    echo "export TELMORA_PG=postgresql://telmora@127.0.0.1:$puerto/telmora"
    echo "export PGPASSFILE=$carpeta/pgpass"
    ;;
  para)
    if [ -d "$carpeta/datos" ]; then
      como_dueno "$binarios/pg_ctl" -D "$carpeta/datos" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$carpeta"
    ;;
  *)
    echo "uso: $0 arranca|para CARPETA" >&2
    exit 2
    ;;
esac
