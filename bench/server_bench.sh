#!/usr/bin/env bash
# The catalogue on a PostgreSQL server beside the SQLite file, side by side in one run, on a
# private throwaway server that this script starts and removes: storing, opening and listing a
# full listing (server within 3x of the file), the search benchmark's catalogue of a million
# files searched on the server, eight programs storing at once. Prints one table; exits 1 when
# a target is missed. Needs Debian's postgresql (scripts/setup.sh's lists install it) and the
# built tree.
# Usage: bench/server_bench.sh [--build DIR] [--repeat N] [--parts "store concurrent search"]
# Storing the million files takes the longest (half an hour on a busy two-core machine); it is
# done once, and later runs search the same catalogue.
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$bench_dir/.." && pwd)
build=$root/build
repeat=1
parts="store concurrent search"
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(realpath "$2") ;;
    --repeat) repeat=$2 ;;
    --parts) parts=$2 ;;
    *) echo "Uso: $0 [--build DIR] [--repeat N] [--parts \"store concurrent search\"]" >&2; exit 2 ;;
  esac
  shift 2
done
part() { [[ " $parts " == *" $1 "* ]]; }

source "$bench_dir/private_server.sh"

if part concurrent; then
  echo "Creando el árbol de 1.000 MP3 de los ocho almacenamientos simultáneos..."
  python3 "$bench_dir/make_tree.py" "$work/tree" --directories 84 --plain-files 0 \
    --mp3-files 1000 --mp3-directories 84
fi

status=0
bench=$build/bench/server_bench
printf '| %-58s | %-26s | %-14s | %-6s |\n' "what" "figure" "target" ""
for run in $(seq "$repeat"); do
  echo "| run $run |"
  if part store; then
    fresh_database quillet_bench_store
    nice "$bench" store "$(cadcon quillet_bench_store)" || status=1
  fi
  if part concurrent; then
    fresh_database quillet_bench_eight
    nice "$bench" concurrent "$(cadcon quillet_bench_eight)" "$work/tree" || status=1
  fi
  if part search; then
    [ "$run" -eq 1 ] && fresh_database quillet_bench_search
    nice "$bench" search "$(cadcon quillet_bench_search)" || status=1
  fi
done
exit $status
