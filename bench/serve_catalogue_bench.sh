#!/usr/bin/env bash
# `quillet serve` on a large catalogue, on either engine: makes LISTINGS listings of 1,000 files
# and one of LARGE files after them (serve_catalogue), then measures through serve_bench.sh,
# each client on a loopback address of its own:
#   - a search page for one word that finds under 1,000 files, 16 concurrent clients;
#   - the first page of the large listing;
#   - 1,000 requests from 64 concurrent clients over those pages and the home page, twice, with
#     the server's resident memory after each run (a second run that leaves it where the first
#     did shows no growth).
# The server's times are its own, from its log lines. Needs the built tree (quillet and
# bench/serve_catalogue); --engine server starts a private PostgreSQL (private_server.sh).
# Usage: bench/serve_catalogue_bench.sh [--engine file|server] [--listings N] [--large N]
#          [--word WORD] [--build DIR]
# 900 listings and a large one of 100,000 make the catalogue of 1,000,000 files.
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$bench_dir/.." && pwd)
build=$root/build
engine=file
listings=900
large=100000
word=remasterizada
while [ $# -gt 0 ]; do
  case $1 in
    --engine) engine=$2 ;;
    --listings) listings=$2 ;;
    --large) large=$2 ;;
    --word) word=$2 ;;
    --build) build=$(realpath "$2") ;;
    *) sed -n '12,13p' "$0" >&2; exit 2 ;;
  esac
  shift 2
done

if [ "$engine" = server ]; then
  source "$bench_dir/private_server.sh"
  fresh_database quillet_serve_bench
  cadcon=$(cadcon quillet_serve_bench)
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
  cadcon="Provider=QSQLITE;"
fi
program_dir=$work/program
mkdir -p "$program_dir"
cp "$build/bin/quillet" "$build/bin/bd-acces2k.blank" "$program_dir/"
printf '[log]\r\nlogfile=quillet.log\r\n[bd]\r\ncadcon=%s\r\n' "$cadcon" >"$program_dir/config.ini"

echo "motor: $engine; $listings listados de 1.000 archivos y uno de $large"
nice "$build/bench/serve_catalogue" "$program_dir" "$listings" "$large"

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
serve=("$program_dir/quillet" serve --listen "127.0.0.1:$port")
search="/buscar?q=$word"
listing="/listado/$((listings + 1))"

echo "quillet search $word: $("$program_dir/quillet" search "$word" 2>/dev/null | wc -l) líneas"
run() {
  local what=$1
  shift
  echo "== $what"
  "$bench_dir/serve_bench.sh" --port "$port" "$@" -- "${serve[@]}"
}
run "buscar «$word», 16 clientes" --path "$search" --clients 16 --requests 160 --rounds 1
run "primera página del listado de $large archivos" --path "$listing" --clients 1 \
  --requests 30 --rounds 1
run "1.000 peticiones de 64 clientes, dos veces" --path "$search" --path "$listing" --path / \
  --clients 64 --requests 1000 --rounds 2
