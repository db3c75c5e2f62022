#!/usr/bin/env bash
# Start-up time of the desktop program: from starting the process to its main window being
# mapped on an Xvfb screen, over several runs. The target is under 0.5 s.
# Usage: bench/startup.sh [RUNS]   (10 runs unless told)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$repo_root/scripts/desktop_helpers.sh"

runs=${1:-10}

enter_xvfb "$runs"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy_program_dir "$work"
title=$(app_title)

# CPU time (user + system) a process has used so far, in milliseconds.
cpu_ms() {
  local fields
  read -r -a fields <<<"$(sed 's/.*) //' "/proc/$1/stat")"
  echo $(((fields[11] + fields[12]) * 1000 / $(getconf CLK_TCK)))
}

# "WALL CPU": milliseconds from exec to the mapped main window, and the CPU time the program
# used for it (which a busy machine does not inflate).
time_one_start() {
  local start end pid cpu
  start=$(date +%s%N)
  (cd "$work" && exec ./quillet) &
  pid=$!
  if ! wait_for_window "$title" 10 >/dev/null; then
    kill "$pid" 2>/dev/null
    echo "no apareció la ventana «$title»" >&2
    return 1
  fi
  end=$(date +%s%N)
  cpu=$(cpu_ms "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$(((end - start) / 1000000)) $cpu"
}

# Minimum, median and maximum of the numbers on standard input.
summary() {
  local sorted
  mapfile -t sorted < <(sort -n)
  echo "mínimo ${sorted[0]} ms, mediana ${sorted[$((${#sorted[@]} / 2))]} ms, máximo ${sorted[-1]} ms"
}

walls=()
cpus=()
for ((i = 1; i <= runs; i++)); do
  read -r wall cpu <<<"$(time_one_start)"
  walls+=("$wall")
  cpus+=("$cpu")
  echo "arranque $i: $wall ms ($cpu ms de CPU)"
done
echo "hasta la ventana: $(printf '%s\n' "${walls[@]}" | summary) (objetivo < 500 ms)"
echo "CPU del programa: $(printf '%s\n' "${cpus[@]}" | summary)"
echo "carga de la máquina: $(cut -d' ' -f1-3 /proc/loadavg)"
median=$(printf '%s\n' "${walls[@]}" | sort -n | sed -n "$((runs / 2 + 1))p")
[ "$median" -lt 500 ]
