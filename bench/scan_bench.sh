#!/usr/bin/env bash
# Compares `quillet scan` with `find DIR -iname '*.mp3'` on the same warm tree: wall time (target:
# quillet within 2x of find) and peak memory (target: under 60 MB).
# Usage: bench/scan_bench.sh [build/bin/quillet]
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
quillet=$(realpath "${1:-$bench_dir/../build/bin/quillet}")
runs=7

if [ ! -x /usr/bin/time ]; then
  echo "Falta /usr/bin/time: apt-get install time" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/config"
cp "$quillet" "$work/program/quillet"
printf '[log]\r\nlogfile=bench.log\r\n' >"$work/program/config.ini"
export XDG_CONFIG_HOME="$work/config"

echo "Creando el árbol de prueba..."
python3 "$bench_dir/make_tree.py" "$work/tree"

. "$bench_dir/bench_helpers.sh"

run_find() { find "$work/tree" -iname '*.mp3'; }
run_quillet() { "$work/program/quillet" scan "$work/tree"; }

run_find >/dev/null
run_quillet >/dev/null  # warms the tree and the program's own files

find_ms=$(median_ms run_find)
quillet_ms=$(median_ms run_quillet)
quillet_kb=$(peak_kb "$work/program/quillet" scan "$work/tree")
find_kb=$(peak_kb find "$work/tree" -iname '*.mp3')

echo "find -iname '*.mp3': ${find_ms} ms, pico ${find_kb} KB"
echo "quillet scan:        ${quillet_ms} ms, pico ${quillet_kb} KB"
awk -v q="$quillet_ms" -v f="$find_ms" -v kb="$quillet_kb" 'BEGIN {
  ratio = (f > 0) ? q / f : 0
  printf "relación de tiempos: %.2fx (objetivo <= 2x); memoria %.1f MB (objetivo < 60 MB)\n",
         ratio, kb / 1024
  exit !(ratio <= 2 && kb < 60 * 1024)
}'
