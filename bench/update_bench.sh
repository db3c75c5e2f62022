#!/usr/bin/env bash
# An update in place against the full store it saves: the whole-collection tree stored with
# `scan --limits none --store`, then 1% of it changed (500 files added in new folders, 300
# removed, 200 retagged with a new modification time, scaled with --files); then, on the changed
# tree, `scan --limits none --store` into a catalogue of its own, `update 1` of the stored
# listing, `update 1` with nothing changed and `update 1 --dry-run` of the change. Wall time and
# peak memory of each; targets: update <= 0.4x the full store, no change <= 0.3x, dry run < 2 s,
# peak <= 1.2x the full store's. Last, `show 1` and its CSV export are checked against those of
# the fresh scan and store of the changed tree, and the listing's number against `list`.
# The four are run in turn RUNS times, 3 by default, and each figure is the best time (and the
# highest peak) of its runs: on a shared machine a run can be slowed by its neighbours, and
# runs side by side meet the same machine.
# Usage: [RUNS=N] bench/update_bench.sh [build/bin/quillet] [FILES]   (FILES: 100000 by default)
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
quillet=$(realpath "${1:-$bench_dir/../build/bin/quillet}")
files=${2:-100000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
for name in updated fresh; do
  mkdir -p "$work/$name"
  printf '[log]\r\nlogfile=bench.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n' >"$work/$name/config.ini"
  cp "$quillet" "$work/$name/quillet"
  cp "$(dirname "$quillet")/bd-acces2k.blank" "$work/$name/"
done

echo "Creando el árbol de prueba ($files archivos)..."
python3 "$bench_dir/make_collection.py" "$work/tree" --files "$files"
# The tree just written goes to the disk first, not under the runs measured.
sync

# Seconds and peak KB of one run, on one line.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/measure" "$@" >/dev/null 2>"$work/stderr" ||
    { cat "$work/stderr" >&2; return 1; }
  cat "$work/measure"
}

# Each figure's best seconds and highest peak KB so far, by name.
declare -A best_s peak_kb
runs=${RUNS:-3}
# One run of a command, after SETUP (a command that puts the catalogue back as the run must
# find it), kept under NAME.
run_as() {
  local name=$1 setup=$2 seconds kb
  shift 2
  $setup
  read -r seconds kb < <(measure "$@")
  best_s[$name]=$(awk -v a="$seconds" -v b="${best_s[$name]:-$seconds}" \
    'BEGIN { print (a < b ? a : b) }')
  peak_kb[$name]=$((kb > ${peak_kb[$name]:-0} ? kb : ${peak_kb[$name]:-0}))
}
catalogue=$work/updated/quillet.mdb
no_catalogue() { rm -f "$work/fresh/quillet.mdb"; }
stored_catalogue() { cp "$work/stored.mdb" "$catalogue"; }
updated_catalogue() { cp "$work/updated.mdb" "$catalogue"; }

# 1% of the tree: added in new folders, removed, retagged a minute later.
change_tree() {
  python3 - "$work/tree" "$files" <<'PY'
import os, sys
sys.path.insert(0, os.path.dirname(os.path.abspath(sys.argv[0])) if sys.argv[0] else ".")
root, files = sys.argv[1], int(sys.argv[2])
mp3 = sorted(os.path.join(d, f) for d, _, names in os.walk(root) for f in names
             if f.endswith(".mp3"))
added, removed, retagged = files * 5 // 1000, files * 3 // 1000, files * 2 // 1000
with open(mp3[0], "rb") as source:
    data = source.read()
for number in range(added):
    folder = os.path.join(root, "Nuevos", f"Carpeta {number // 10:03d}")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"nuevo {number:04d}.mp3"), "wb") as out:
        out.write(data)
for path in mp3[1:1 + removed]:
    os.remove(path)
for path in mp3[-retagged:]:
    with open(path, "r+b") as out:
        out.seek(-125, os.SEEK_END)
        out.write(b"Retitulado".ljust(30, b"\0"))
    stat = os.stat(path)
    os.utime(path, (stat.st_atime, stat.st_mtime + 60))
PY
}

"$work/updated/quillet" scan --limits none --store "$work/tree" >/dev/null 2>&1
cp "$catalogue" "$work/stored.mdb"
change_tree
sync
stored_catalogue
"$work/updated/quillet" update 1 2>&1 >/dev/null | tail -1
cp "$catalogue" "$work/updated.mdb"
for _ in $(seq "$runs"); do
  run_as full no_catalogue "$work/fresh/quillet" scan --limits none --store "$work/tree"
  run_as update stored_catalogue "$work/updated/quillet" update 1
  run_as same updated_catalogue "$work/updated/quillet" update 1
  run_as dry stored_catalogue "$work/updated/quillet" update 1 --dry-run
done
stored_catalogue
"$work/updated/quillet" update 1 >/dev/null 2>&1
full_s=${best_s[full]} full_kb=${peak_kb[full]}
update_s=${best_s[update]} update_kb=${peak_kb[update]}
same_s=${best_s[same]} same_kb=${peak_kb[same]}
dry_s=${best_s[dry]} dry_kb=${peak_kb[dry]}

echo "scan --limits none --store:  ${full_s} s, pico ${full_kb} KB"
echo "update 1 (1% cambiado):      ${update_s} s, pico ${update_kb} KB"
echo "update 1 (sin cambios):      ${same_s} s, pico ${same_kb} KB"
echo "update 1 --dry-run:          ${dry_s} s, pico ${dry_kb} KB"
same=0
for format in txt csv; do
  if cmp -s <("$work/updated/quillet" show 1 --format "$format" --encoding utf8 2>/dev/null ||
    "$work/updated/quillet" show 1 --format "$format") \
    <("$work/fresh/quillet" show 1 --format "$format" --encoding utf8 2>/dev/null ||
      "$work/fresh/quillet" show 1 --format "$format"); then
    echo "show 1 --format $format: igual al de un escaneo nuevo"
  else
    echo "show 1 --format $format: DISTINTO del de un escaneo nuevo"
    same=1
  fi
done
[ "$("$work/updated/quillet" list | cut -f1)" = 1 ] && echo "número conservado: 1" ||
  { echo "el listado cambió de número"; same=1; }
awk -v f="$full_s" -v u="$update_s" -v s="$same_s" -v d="$dry_s" -v fk="$full_kb" \
  -v uk="$update_kb" -v ok="$same" 'BEGIN {
  printf "update/store: %.2fx (objetivo <= 0.4x)\n", u / f
  printf "sin cambios/store: %.2fx (objetivo <= 0.3x)\n", s / f
  printf "dry-run: %.2f s (objetivo < 2 s)\n", d
  printf "pico update/store: %.2fx (objetivo <= 1.2x)\n", uk / fk
  exit !(ok == 0 && u / f <= 0.4 && s / f <= 0.3 && d < 2 && uk / fk <= 1.2)
}'
