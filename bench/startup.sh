#!/usr/bin/env bash
# Start-up time of the desktop program: from starting the process to its main window being
# mapped on an Xvfb screen, over several runs. The target is under 0.5 s.
# Usage: bench/startup.sh [RUNS]   (10 runs unless told)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$repo_root/scripts/desktop_helpers.sh"

runs=${1:-10}

# First pass: packages and build, then the same script again inside a fresh X server.
if [ -z "${QUILLET_IN_XVFB:-}" ]; then
  ensure_packages "${build_packages[@]}" "${desktop_packages[@]}"
  build_tree "$repo_root/build"
  QUILLET_IN_XVFB=1 run_in_xvfb bash "${BASH_SOURCE[0]}" "$runs"
  exit
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy_program_dir "$work"
title=$(app_title)

# Milliseconds from exec to the mapped main window, for one run.
time_one_start() {
  local start end pid
  start=$(date +%s%N)
  (cd "$work" && exec ./quillet) &
  pid=$!
  if ! wait_for_window "$title" 10 >/dev/null; then
    kill "$pid" 2>/dev/null
    echo "no apareció la ventana «$title»" >&2
    return 1
  fi
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo $(((end - start) / 1000000))
}

times=()
for ((i = 1; i <= runs; i++)); do
  times+=("$(time_one_start)")
  echo "arranque $i: ${times[-1]} ms"
done
mapfile -t sorted < <(printf '%s\n' "${times[@]}" | sort -n)
median=${sorted[$((runs / 2))]}
echo "mínimo ${sorted[0]} ms, mediana $median ms, máximo ${sorted[-1]} ms (objetivo < 500 ms)"
[ "$median" -lt 500 ]
