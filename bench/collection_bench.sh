#!/usr/bin/env bash
# The whole-collection benchmark: a tree of 8,420 directories, 100,000 MP3 files with ID3v1
# tags (about 6% with an ID3v2 tag instead) and 20,000 other files (make_collection.py),
# scanned "Sin límite" (--limits none) by the command line, against a plain C walk that reads
# the same tags (c_walk.c: the floor), and side by side with BASELINE's scan when given; the
# same scan of a 10,000-file tree of the same shape (800 leaf directories), for the time per
# file; storing the listing with the search index catching up, showing it back as text and
# HTML, and deleting it (medians of RUNS, side by side with BASELINE when given); peak memory.
# Then the default scan of the scan benchmark's tree (make_tree.py), side by side with BASELINE
# when given. Exits non-zero when a target is missed.
# With --window, the listing window's roads instead, on an Xvfb screen (xcb), against the same
# command-line scans (collection_window_bench.cpp); with CATALOGUE=1 as well, the search
# window's longest stall over the search benchmark's 1,000,000-file catalogue instead, for a
# broad search and for the Duplicados page.
# Usage: bench/collection_bench.sh [--window] [QUILLET [BASELINE_QUILLET]]
set -euo pipefail

window=0
if [ "${1:-}" = --window ]; then
  window=1
  shift
fi

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
quillet=$(realpath "${1:-$bench_dir/../build/bin/quillet}")
baseline=${2:+$(realpath "$2")}
runs=${RUNS:-5}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
setup_program() {  # DIR QUILLET
  mkdir -p "$1"
  cp "$2" "$1/quillet"
  cp "$(dirname "$2")/bd-acces2k.blank" "$1/"
  printf '[log]\r\nlogfile=bench.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n' >"$1/config.ini"
}
setup_program "$work/program" "$quillet"
mkdir -p "$work/config"
export XDG_CONFIG_HOME="$work/config"
q="$work/program/quillet"

. "$bench_dir/bench_helpers.sh"

echo "Creando los árboles de prueba..."
cc -O2 -o "$work/c_walk" "$bench_dir/c_walk.c"
PYTHONPATH="$bench_dir" python3 "$bench_dir/make_collection.py" "$work/big"
PYTHONPATH="$bench_dir" python3 "$bench_dir/make_collection.py" "$work/small" --files 10000 \
  --others 2000 --bottom 2

if [ "$window" = 1 ]; then
  driver=$(realpath "$bench_dir/../build/bench/collection_window_bench")
  "$q" scan "$work/big" --limits none >/dev/null  # warms the trees
  QT_QPA_PLATFORM=xcb xvfb-run -a -n $((100 + RANDOM % 800)) -s "-noreset -screen 0 1024x768x24" \
    "$driver" "$work/program" "$q" "$work/big" "$work/small" ${CATALOGUE:+--catalogue}
  exit
fi
python3 "$bench_dir/make_tree.py" "$work/classic"

run_floor() { "$work/c_walk" "$work/big"; }
run_big() { "$q" scan "$work/big" --limits none; }
run_small() { "$q" scan "$work/small" --limits none; }
run_floor >/dev/null
run_big >/dev/null  # warms the trees and the program's own files
run_small >/dev/null

floor_ms=$(median_ms run_floor)
big_ms=$(median_ms run_big)
small_ms=$(median_ms run_small)
big_kb=$(peak_kb "$q" scan "$work/big" --limits none)

median_of() {  # FILE: the median of the numbers in it, one a line
  sort -n "$1" | sed -n "$((($(wc -l <"$1") + 1) / 2))p"
}
# One run of every database road of the 100,000-file listing by the program in DIR, each time
# into a fresh database: scan, scan --store (the store is the difference of their medians),
# show as text and HTML, delete. Each time is appended to $work/times/LABEL.ROAD.
database_roads() {  # DIR LABEL
  local program="$1/quillet" times="$work/times/$2"
  rm -f "$1/quillet.mdb"
  ms_of "$program" scan "$work/big" --limits none >>"$times.scan"
  ms_of "$program" scan "$work/big" --limits none --store >>"$times.store"
  ms_of "$program" show 1 >>"$times.show"
  ms_of "$program" show 1 --format html >>"$times.html"
  ms_of "$program" delete 1 >>"$times.delete"
}
store_ms_of() {  # LABEL
  echo $(($(median_of "$work/times/$1.store") - $(median_of "$work/times/$1.scan")))
}
mkdir -p "$work/times"
if [ -n "$baseline" ]; then
  setup_program "$work/baseline" "$baseline"
fi
# Alternated with the baseline, so both see the same noise of a shared machine.
for _ in $(seq "$runs"); do
  database_roads "$work/program" new
  if [ -n "$baseline" ]; then
    database_roads "$work/baseline" old
  fi
done
store_ms=$(store_ms_of new)
show_txt_ms=$(median_of "$work/times/new.show")
show_html_ms=$(median_of "$work/times/new.html")
delete_ms=$(median_of "$work/times/new.delete")
"$q" scan "$work/big" --limits none --store >/dev/null
show_kb=$(peak_kb "$q" show 1)

printf '%-58s %8s\n' "camino" "ms"
printf '%-58s %8d\n' "c_walk (suelo: readdir, lstat, open, pread 128)" "$floor_ms"
printf '%-58s %8d\n' "quillet scan --limits none, 100.000 archivos" "$big_ms"
printf '%-58s %8d\n' "quillet scan --limits none, 10.000 archivos" "$small_ms"
printf '%-58s %8d\n' "almacenar (scan --store menos scan) con el índice" "$store_ms"
printf '%-58s %8d\n' "quillet show (txt)" "$show_txt_ms"
printf '%-58s %8d\n' "quillet show --format html" "$show_html_ms"
printf '%-58s %8d\n' "quillet delete" "$delete_ms"
echo "memoria: scan ${big_kb} KB, show ${show_kb} KB"

ok=1
check() {  # CONDITION TEXT
  if awk "BEGIN { exit !($1) }"; then echo "ok:    $2"; else echo "FALLA: $2"; ok=0; fi
}
check "$big_ms <= 1.5 * $floor_ms" "scan <= 1.5x el suelo ($(awk "BEGIN {printf \"%.2f\", $big_ms / $floor_ms}")x)"
check "$big_ms <= 12 * $small_ms" "100.000 archivos <= 12x 10.000 ($(awk "BEGIN {printf \"%.2f\", $big_ms / $small_ms}")x)"
check "$store_ms < 5000" "almacenar < 5 s"
check "$show_txt_ms < 2000" "show < 2 s"
check "$delete_ms < 2000" "delete < 2 s"
check "$big_kb < 150 * 1024" "scan < 150 MB"

if [ -n "$baseline" ]; then
  printf '%-58s %8s %8s\n' "BD, 100.000 archivos (mediana de $runs)" "antes" "ahora"
  printf '%-58s %8d %8d\n' "almacenar con el índice" "$(store_ms_of old)" "$store_ms"
  for road in show html delete; do
    printf '%-58s %8d %8d\n' "$road" "$(median_of "$work/times/old.$road")" \
      "$(median_of "$work/times/new.$road")"
  done
  # Medians of $runs runs of each command, three rounds alternated so that all see the same
  # noise of a shared machine; totals[COMMAND] gets the sum of its three.
  declare -A totals
  alternated() {
    local command
    for command in "$@"; do totals[$command]=0; done
    for _ in $(seq 3); do
      for command in "$@"; do totals[$command]=$((totals[$command] + $(median_ms "$command"))); done
    done
  }
  run_big_old() { "$work/baseline/quillet" scan "$work/big" --limits none; }
  alternated run_floor run_big_old run_big
  old_big_kb=$(peak_kb "$work/baseline/quillet" scan "$work/big" --limits none)
  printf '%-58s %8s %8s %8s
' "100.000 archivos, alternados (mediana x3)" "suelo" "antes" "ahora"
  printf '%-58s %8d %8d %8d
' "ms" $((totals[run_floor] / 3)) $((totals[run_big_old] / 3)) \
    $((totals[run_big] / 3))
  printf '%-58s %8s %8.2f %8.2f
' "veces el suelo" "" \
    "$(awk "BEGIN {print ${totals[run_big_old]} / ${totals[run_floor]}}")" \
    "$(awk "BEGIN {print ${totals[run_big]} / ${totals[run_floor]}}")"
  printf '%-58s %8s %8d %8d
' "memoria (KB)" "" "$old_big_kb" "$big_kb"
  run_new() { "$q" scan "$work/classic"; }
  run_old() { "$work/baseline/quillet" scan "$work/classic"; }
  run_new >/dev/null
  run_old >/dev/null
  alternated run_old run_new
  old_total=${totals[run_old]} new_total=${totals[run_new]}
  printf '%-58s %8d\n' "scan por omisión, árbol de scan_bench, antes (mediana x3)" $((old_total / 3))
  printf '%-58s %8d\n' "scan por omisión, árbol de scan_bench, ahora (mediana x3)" $((new_total / 3))
  check "$new_total <= 1.1 * $old_total" "scan por omisión <= 1.1x antes ($(awk "BEGIN {printf \"%.3f\", $new_total / $old_total}")x)"
fi
[ "$ok" = 1 ]
