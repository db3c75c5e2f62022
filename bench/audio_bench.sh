#!/usr/bin/env bash
# The audio-formats benchmark, side by side in one run:
#  1. on a tree of 2,000 FLAC, 2,000 Ogg, 2,000 M4A and 4,000 MP3 files tagged by mutagen,
#     `quillet scan --audio all` against a plain TagLib FileRef walk reading the same tags
#     (target: within 1.3x), and both again with the audio properties read (target: 1.3x);
#  2. on the scan benchmark's tree (make_tree.py), the default scan (MP3 only, no properties)
#     against an older build's (target: within 1.1x).
# Usage: [SCALE=N] [RUNS=N] bench/audio_bench.sh [build/bin/quillet] [older/bin/quillet]
# (SCALE: the percentage of the formats tree made, 100 by default)
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
quillet=$(realpath "${1:-$bench_dir/../build/bin/quillet}")
older=$(realpath "${2:-/work/baseline/build/bin/quillet}")
scale=${SCALE:-100}
walk=$(dirname "$quillet")/../bench/audio_walk
runs=${RUNS:-5}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/older" "$work/config"
cp "$quillet" "$work/program/quillet"
cp "$older" "$work/older/quillet"
for dir in program older; do
  printf '[log]\r\nlogfile=bench.log\r\n' >"$work/$dir/config.ini"
done
export XDG_CONFIG_HOME="$work/config"

. "$bench_dir/bench_helpers.sh"

echo "Creando el árbol de formatos (escala ${scale}%)..."
/usr/bin/python3 "$bench_dir/make_audio_tree.py" "$work/audio" --scale "$scale"
echo "Creando el árbol del escaneo..."
python3 "$bench_dir/make_tree.py" "$work/tree"

run_walk() { "$walk" "$work/audio"; }
run_walk_props() { "$walk" --properties "$work/audio"; }
run_all() { "$work/program/quillet" scan "$work/audio" --limits none --audio all --tags v2v1; }
run_all_props() {
  "$work/program/quillet" scan "$work/audio" --limits none --audio all --tags v2v1 \
    --properties on
}
run_default() { "$work/program/quillet" scan "$work/tree"; }
run_default_older() { "$work/older/quillet" scan "$work/tree"; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }

for command in run_walk run_all run_default run_default_older; do "$command" >/dev/null; done
walk_ms=$(median_ms run_walk)
all_ms=$(median_ms run_all)
walk_props_ms=$(median_ms run_walk_props)
all_props_ms=$(median_ms run_all_props)
older_ms=$(median_ms run_default_older)
default_ms=$(median_ms run_default)
older_again_ms=$(median_ms run_default_older)

echo "TagLib FileRef, etiquetas:             ${walk_ms} ms"
echo "quillet scan --audio all:             ${all_ms} ms ($(ratio "$all_ms" "$walk_ms")x, objetivo <= 1.3x)"
echo "TagLib FileRef, etiquetas y audio:     ${walk_props_ms} ms"
echo "quillet scan --audio all --properties: ${all_props_ms} ms ($(ratio "$all_props_ms" "$walk_props_ms")x, objetivo <= 1.3x)"
older_best=$((older_ms < older_again_ms ? older_ms : older_again_ms))
echo "escaneo por omisión, versión anterior: ${older_ms} ms / ${older_again_ms} ms"
echo "escaneo por omisión, esta versión:     ${default_ms} ms ($(ratio "$default_ms" "$older_best")x, objetivo <= 1.1x)"
