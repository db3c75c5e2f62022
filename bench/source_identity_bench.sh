#!/usr/bin/env bash
# The default scan with a source's identity kept (a stat of each listed file, the mount table,
# the volume's probe and the files' signature) against the program before it, side by side on
# the same warm tree: wall time (target: within 1.1x) and peak memory; then the same with
# `--limits none --store`, where the identity is also written.
# Usage: bench/source_identity_bench.sh BASELINE_QUILLET [build/bin/quillet]
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
baseline=$(realpath "${1:?falta el quillet de referencia}")
quillet=$(realpath "${2:-$bench_dir/../build/bin/quillet}")
runs=7

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
for name in base new; do
  mkdir -p "$work/$name"
  printf '[log]\r\nlogfile=bench.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n' >"$work/$name/config.ini"
done
cp "$baseline" "$work/base/quillet"
cp "$(dirname "$baseline")/bd-acces2k.blank" "$work/base/"
cp "$quillet" "$work/new/quillet"
cp "$(dirname "$quillet")/bd-acces2k.blank" "$work/new/"

echo "Creando el árbol de prueba..."
python3 "$bench_dir/make_tree.py" "$work/tree"

. "$bench_dir/bench_helpers.sh"

scan_base() { "$work/base/quillet" scan "$work/tree"; }
scan_new() { "$work/new/quillet" scan "$work/tree"; }
store_base() { "$work/base/quillet" scan --limits none --store "$work/tree" 2>/dev/null; }
store_new() { "$work/new/quillet" scan --limits none --store "$work/tree" 2>/dev/null; }

scan_base >/dev/null
scan_new >/dev/null
base_ms=$(median_ms scan_base)
new_ms=$(median_ms scan_new)
base_kb=$(peak_kb "$work/base/quillet" scan "$work/tree")
new_kb=$(peak_kb "$work/new/quillet" scan "$work/tree")
runs=3
base_store_ms=$(median_ms store_base)
new_store_ms=$(median_ms store_new)

echo "scan (antes):                 ${base_ms} ms, pico ${base_kb} KB"
echo "scan (con identidad):         ${new_ms} ms, pico ${new_kb} KB"
echo "scan --limits none --store (antes):         ${base_store_ms} ms"
echo "scan --limits none --store (con identidad): ${new_store_ms} ms"
awk -v n="$new_ms" -v b="$base_ms" 'BEGIN {
  ratio = (b > 0) ? n / b : 0
  printf "relación del scan por defecto: %.2fx (objetivo <= 1.1x)\n", ratio
  exit !(ratio <= 1.1)
}'
