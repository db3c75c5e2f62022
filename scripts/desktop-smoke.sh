#!/usr/bin/env bash
# Starts the desktop program under Xvfb from a scratch copy of its program directory, checks that
# the main window comes up with its caption and that the banner reached the log file, saves a
# screenshot, then closes the program with Ctrl+Q and checks the shutdown lines.
# Usage: scripts/desktop-smoke.sh [SCREENSHOT.png]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/desktop_helpers.sh"

shot=$(realpath -m "${1:-$repo_root/build/desktop-smoke.png}")

enter_xvfb "$shot"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy_program_dir "$work"

title=$(app_title)
logfile="$work/$(sed -n 's/^logfile=//p' "$work/config.ini" | tr -d '\r')"

fail() {
  echo "FALLO: $*" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
}

check_banner_in_log() {
  local banner
  banner=$(printf '%s\r\n' "$title" "$(printf -- '-%.0s' {1..52})" "Inicializando...")
  [ "$(head -c ${#banner} "$logfile")" = "$banner" ] ||
    fail "el log $logfile no empieza con las líneas de bienvenida"
  echo "líneas de bienvenida en $(basename "$logfile")"
}

close_with_ctrl_q() {
  xdotool windowfocus --sync "$window" key ctrl+q
  local tries=0
  while kill -0 "$pid" 2>/dev/null; do
    [ $((tries += 1)) -le 50 ] || fail "Ctrl+Q no cerró el programa"
    sleep 0.1
  done
  tail -n 5 "$logfile" | tr -d '\r' | diff -q - <(printf '%s\n' 'Cerrando frm_main' \
    'Cerrando posible conjunto de registros abierto' 'Cerrando conexion BD' \
    'Conexion BD cerrada satisfactoriamente' 'cerrando...') >/dev/null ||
    fail "el log no termina con las líneas de cierre"
  echo "Ctrl+Q cerró el programa con sus líneas de cierre"
}

(cd "$work" && exec ./quillet) &
pid=$!
window=$(wait_for_window "$title" 10) || fail "no apareció ninguna ventana con el título «$title»"
echo "ventana $window con el título «$title»"
check_banner_in_log
sleep 0.5  # the first paint, before the screenshot
import -window root "$shot"
echo "captura en $shot"
close_with_ctrl_q
