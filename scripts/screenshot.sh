#!/usr/bin/env bash
# Starts the desktop program under Xvfb on a small generated tree of tagged MP3 files, scans it
# as a user does (F6, the folder typed into the chooser), presses "refresca" in the new listing
# window, and saves a screenshot of the main window with the scanned listing. Nothing is left
# behind but the screenshot.
# Usage: scripts/screenshot.sh [SCREENSHOT.png]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/desktop_helpers.sh"

shot=$(realpath -m "${1:-$repo_root/build/screenshot.png}")

# rsvg-convert draws the toolbar icon that the script looks for on screen.
[ -n "${QUILLET_IN_XVFB:-}" ] || ensure_packages librsvg2-bin
enter_xvfb "$shot"

work=$(mktemp -d)
trap 'stop_program; rm -rf "$work"' EXIT
copy_program_dir "$work"
logfile="$work/$(sed -n 's/^logfile=//p' "$work/config.ini" | tr -d '\r')"

pid=
stop_program() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
  fi
}

fail() {
  echo "FALLO: $*" >&2
  exit 1
}

# A field of an ID3v1 block: the text padded with NULs to its width.
tag_field() {
  local text=$1 width=$2
  printf '%s' "$text" | head -c "$width"
  head -c $((width - ${#text} > 0 ? width - ${#text} : 0)) /dev/zero
}

# An MP3 file: some audio-like bytes and an ID3v1.1 tag (title, artist, album, year, track).
write_mp3() {
  local path=$1 title=$2 artist=$3 album=$4 year=$5 track=$6
  mkdir -p "$(dirname "$path")"
  {
    head -c 4096 /dev/zero | tr '\0' '\377'
    printf 'TAG'
    tag_field "$title" 30
    tag_field "$artist" 30
    tag_field "$album" 30
    tag_field "$year" 4
    tag_field "" 28
    printf '%b' "\\0\\$(printf '%03o' "$track")\\021" # comment end, track, genre 17
  } >"$path"
}

make_tree() {
  local root=$1
  write_mp3 "$root/Jazz/Kind of Blue/01 So What.mp3" "So What" "Miles Davis" "Kind of Blue" 1959 1
  write_mp3 "$root/Jazz/Kind of Blue/02 Freddie Freeloader.mp3" "Freddie Freeloader" \
    "Miles Davis" "Kind of Blue" 1959 2
  write_mp3 "$root/Jazz/Time Out/01 Blue Rondo.mp3" "Blue Rondo a la Turk" \
    "Dave Brubeck" "Time Out" 1959 1
  write_mp3 "$root/Rock/Nevermind/01 Breed.mp3" "Breed" "Nirvana" "Nevermind" 1991 1
  write_mp3 "$root/Rock/Nevermind/02 Lithium.mp3" "Lithium" "Nirvana" "Nevermind" 1991 2
  mkdir -p "$root/Rock/Portadas"
}

# Waits until the log file holds a line; fails after $2 seconds.
wait_for_log_line() {
  local line=$1 timeout=$2
  local deadline=$((SECONDS + timeout))
  until tr -d '\r' <"$logfile" 2>/dev/null | grep -qx -- "$line"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# Where an icon of the image list shows on screen: the best match of the icon, drawn on the
# toolbar's grey, inside the top band of the screen. Prints "x y" of its centre.
find_icon() {
  local icon=$1 band=$work/band.png template=$work/icon.png at
  import -window root -crop 1024x220+0+0 +repage "$band"
  rsvg-convert -w 16 -h 16 -b '#efefef' "$icon" >"$template"
  at=$(compare -metric RMSE -dissimilarity-threshold 1 -subimage-search "$band" "$template" \
    null: 2>&1 | sed -n 's/.* @ \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  [ -n "$at" ] || return 1
  read -r x y <<<"$at"
  echo $((x + 8)) $((y + 8))
}

# The program's settings (and the folder chooser's history) stay in the scratch directory; the
# file lines show the tags read from the files.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Quillet"
printf '[last_cfg]\nDisenyoDirectorio={#D} {TD}\nDisenyoArchivo={#F} {3Art} - {3Tit} ({3Yea})\n' \
  >"$XDG_CONFIG_HOME/Quillet/Quillet.conf"

tree="$work/Música"
make_tree "$tree"

(cd "$work" && exec ./quillet) &
pid=$!
window=$(wait_for_window "$(app_title)" 10) || fail "no apareció la ventana principal"

xdotool windowfocus --sync "$window" key F6
chooser=$(wait_for_window "Selecciona la ruta inicial " 10) || fail "no apareció el selector de carpeta"
xdotool windowfocus --sync "$chooser" key ctrl+a type --delay 20 "$tree"
xdotool key Return
wait_for_log_line "Numero de MP3: 5" 20 || fail "el escaneo no terminó con 5 MP3"
echo "escaneado $tree"

sleep 0.5 # the listing window's first paint
refresca=$(find_icon "$repo_root/resources/icons/06.svg") || fail "no se encontró el botón refresca"
read -r x y <<<"$refresca"
xdotool mousemove --sync "$x" "$y" click 1
echo "refresca pulsado en $x,$y"
# The tree's root row lies just below the toolbar: choose it and open every branch ("*").
xdotool mousemove --sync "$x" $((y + 22)) click 1 key asterisk
sleep 0.5

import -window "$window" "$shot"
echo "captura en $shot"
