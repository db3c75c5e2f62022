#!/usr/bin/env bash
# The server's pace beside the file's, side by side in one run on a private throwaway server:
# a catalogue of FILES files (the same tree of FILES/3 files stored three times, so every file
# has two duplicates) stored by `quillet scan --store` (the scan's own time taken off), searched
# with `quillet search a`, its duplicates listed with `quillet duplicates`, and the file's
# catalogue copied to a fresh server database with `quillet copy-db` (against the server's own
# three stores). Medians of RUNS runs (three stores); exits 1 when the server takes more than 3x
# the file (or copy-db more than 3x the server's stores).
# Usage: [QUILLET=build/bin/quillet] [RUNS=3] bench/server_pace_bench.sh [FILES]
# (FILES 22500 by default; 112500 for the larger catalogue)
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$bench_dir/.." && pwd)
files=${1:-22500}
runs=${RUNS:-3}
quillet=$(realpath "${QUILLET:-$root/build/bin/quillet}")

source "$bench_dir/private_server.sh"
source "$bench_dir/bench_helpers.sh"
program_dir() {  # DIR CADCON
  rm -rf "$1"
  mkdir -p "$1"
  cp "$quillet" "$(dirname "$quillet")/bd-acces2k.blank" "$1/"
  printf '[log]\r\nlogfile=bench.log\r\n[bd]\r\ncadcon=%s\r\n' "$2" >"$1/config.ini"
}
median_of() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

echo "Creando el árbol de $((files / 3)) archivos..."
PYTHONPATH="$bench_dir" python3 "$bench_dir/make_collection.py" "$work/tree" --files $((files / 3)) \
  --others 0 --id3v2-every 0 --top 10 --middle 10 --bottom $(((files / 3 + 1199) / 1200))

declare -A figure
measure() {  # LABEL PROGRAM_DIR
  local q="$2/quillet" scans=() stores=() searches=() duplicates=()
  for _ in $(seq "$runs"); do scans+=("$(ms_of "$q" scan "$work/tree" --limits none)"); done
  for _ in 1 2 3; do stores+=("$(ms_of "$q" scan "$work/tree" --limits none --store)"); done
  for _ in $(seq "$runs"); do searches+=("$(ms_of "$q" search a --limit 1000000)"); done
  for _ in $(seq "$runs"); do duplicates+=("$(ms_of "$q" duplicates)"); done
  local scan
  scan=$(median_of "${scans[@]}")
  figure[$1.scanstore]=$(median_of "${stores[@]}")
  figure[$1.store]=$((figure[$1.scanstore] - scan))
  figure[$1.stores]=$((stores[0] + stores[1] + stores[2] - 3 * scan))
  figure[$1.search]=$(median_of "${searches[@]}")
  figure[$1.duplicates]=$(median_of "${duplicates[@]}")
}

program_dir "$work/file" "Provider=QSQLITE;"
fresh_database quillet_pace
program_dir "$work/server" "$(cadcon quillet_pace)"
"$work/file/quillet" scan "$work/tree" --limits none >/dev/null 2>&1  # warms the tree
# Their notes on standard error are not the benchmark's.
measure file "$work/file" 2>/dev/null
measure server "$work/server" 2>/dev/null
fresh_database quillet_pace_copy
copy_ms=$(ms_of "$work/file/quillet" copy-db --to "$(cadcon quillet_pace_copy)" 2>/dev/null)

status=0
ratio() { awk "BEGIN {printf \"%.2f\", $1 / ($2 > 0 ? $2 : 1)}"; }
row() {  # WHAT FILE_MS SERVER_MS
  local r
  r=$(ratio "$3" "$2")
  printf '%-44s %9s %9s %7sx\n' "$1" "$2" "$3" "$r"
  if ! awk "BEGIN { exit !($r <= 3) }"; then status=1; fi
}
echo "Catálogo de $files archivos (tres listados de $((files / 3))), medianas de $runs"
printf '%-44s %9s %9s %8s\n' "ms" "archivo" "servidor" "servidor/archivo"
row "quillet scan --store, de principio a fin" "${figure[file.scanstore]}" "${figure[server.scanstore]}"
row "almacenar un listado (scan --store menos scan)" "${figure[file.store]}" "${figure[server.store]}"
row "quillet search a" "${figure[file.search]}" "${figure[server.search]}"
row "quillet duplicates" "${figure[file.duplicates]}" "${figure[server.duplicates]}"
printf '%-44s %9s %9s %7sx\n' "copy-db al servidor / sus tres almacenamientos" "${figure[server.stores]}" \
  "$copy_ms" "$(ratio "$copy_ms" "${figure[server.stores]}")"
if ! awk "BEGIN { exit !($copy_ms <= 3 * ${figure[server.stores]}) }"; then status=1; fi
exit $status
