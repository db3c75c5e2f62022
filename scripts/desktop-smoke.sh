#!/usr/bin/env bash
# Starts the desktop program under Xvfb from a scratch copy of its program directory, checks that
# the main window comes up with its caption and that the banner reached the log file, saves a
# screenshot, then closes the program with Ctrl+Q and checks the shutdown lines.
# Usage: scripts/desktop-smoke.sh [SCREENSHOT.png]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/desktop_helpers.sh"

shot=$(realpath -m "${1:-$repo_root/build/desktop-smoke.png}")

# First pass: packages and build, then the same script again inside a fresh X server.
if [ -z "${QUILLET_IN_XVFB:-}" ]; then
  ensure_packages "${build_packages[@]}" "${desktop_packages[@]}"
  build_tree "$repo_root/build"
  QUILLET_IN_XVFB=1 run_in_xvfb bash "${BASH_SOURCE[0]}" "$shot"
  exit
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy_program_dir "$work"

# Runs inside the X server: start, check, shoot, close.
check_session() {
  local title
  title=$(app_title)
  local logfile
  logfile="$work/$(sed -n 's/^logfile=//p' "$work/config.ini" | tr -d '\r')"

  (cd "$work" && exec ./quillet) &
  local pid=$!
  local window
  if ! window=$(wait_for_window "$title" 10); then
    echo "FALLO: no apareció ninguna ventana con el título «$title»" >&2
    kill "$pid" 2>/dev/null
    return 1
  fi
  echo "ventana $window con el título «$title»"

  local banner
  banner=$(printf '%s\r\n' "$title" "$(printf -- '-%.0s' {1..52})" "Inicializando...")
  if [ "$(head -c ${#banner} "$logfile")" != "$banner" ]; then
    echo "FALLO: el log $logfile no empieza con las líneas de bienvenida" >&2
    kill "$pid" 2>/dev/null
    return 1
  fi
  echo "líneas de bienvenida en $(basename "$logfile")"

  sleep 0.5  # let the first paint finish before the screenshot
  import -window root "$shot"
  echo "captura en $shot"

  xdotool windowfocus --sync "$window" key ctrl+q
  local waited=0
  while kill -0 "$pid" 2>/dev/null && [ $waited -lt 50 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "FALLO: Ctrl+Q no cerró el programa" >&2
    kill "$pid"
    return 1
  fi
  if ! tail -n 2 "$logfile" | tr -d '\r' | diff -q - <(printf 'Cerrando frm_main\ncerrando...\n') >/dev/null; then
    echo "FALLO: el log no termina con las líneas de cierre" >&2
    return 1
  fi
  echo "Ctrl+Q cerró el programa con sus líneas de cierre"
}

check_session
