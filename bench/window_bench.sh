#!/usr/bin/env bash
# Times the desktop program's roads on an Xvfb screen (xcb platform) against the command line
# doing the same work in the same run: scans of 1,000, 2,000 and 5,001 directories, and on the
# largest listing "refresca", opening it from the database and storing it, each with the log
# list empty and holding 30,000 lines. Exits non-zero when a target is missed.
# Usage: bench/window_bench.sh [QUILLET [WINDOW_BENCH]]
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
quillet=$(realpath "${1:-$bench_dir/../build/bin/quillet}")
driver=$(realpath "${2:-$bench_dir/../build/bench/window_bench}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/config"
cp "$quillet" "$work/program/quillet"
cp "$(dirname "$quillet")/bd-acces2k.blank" "$work/program/"
cp "$(dirname "$quillet")/config.ini" "$work/program/config.ini"
export XDG_CONFIG_HOME="$work/config"

echo "Creando los árboles de prueba..."
python3 "$bench_dir/make_tree.py" "$work/t1000" --directories 999 --plain-files 19980
python3 "$bench_dir/make_tree.py" "$work/t2000" --directories 1999 --plain-files 39980
python3 "$bench_dir/make_tree.py" "$work/t5001"
python3 "$bench_dir/make_tree.py" "$work/full" --directories 500 --plain-files 0 \
  --mp3-directories 500

# Warms the trees and the program's own files.
for tree in t1000 t2000 t5001 full; do "$work/program/quillet" scan "$work/$tree" >/dev/null; done

QT_QPA_PLATFORM=xcb xvfb-run -a -n $((100 + RANDOM % 800)) -s "-noreset -screen 0 1024x768x24" \
  "$driver" "$work/program" "$work/program/quillet" "$work/t1000" "$work/t2000" "$work/t5001" \
  "$work/full"
