#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed program as an ordinary
# user who cannot write the program directory: the database, the log and what the user asks
# to write land in that user's data directory, and nothing changes in the prefix.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# The ordinary user: nobody when we are root, ourselves otherwise (then the prefix is made
# read-only). Its HOME is a folder of its own, since nobody's is /nonexistent.
home=$work/home
mkdir -p "$home/tree/disco uno"
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody: "$home"
  as_user() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$@"; }
else
  chmod -R a-w "$prefix"
  as_user() { "$@"; }
fi
user_env=(env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8)
# A sanitizer build keeps its settings (suppressions, leak checks) across the change of user.
for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
  [ -n "${!name:-}" ] && user_env+=("$name=${!name}")
done
run() { (cd "$home" && as_user "${user_env[@]}" "$prefix/bin/quillet" "$@"); }
fail() {
  echo "FALLO: $*" >&2
  exit 1
}

# A tagged MP3 as a tag writer leaves it: some bytes, then the 128-byte ID3v1 block.
as_user "${user_env[@]}" python3 - "$home/tree/disco uno/01.mp3" <<'PY'
import sys
tag = b"TAG" + b"Intro".ljust(30, b"\0") + b"Grupo".ljust(30, b"\0") + b"Disco".ljust(30, b"\0")
tag += b"1999" + b"".ljust(28, b"\0") + b"\0\x01" + bytes([17])
open(sys.argv[1], "wb").write(b"\xff\xfb" + b"\0" * 400 + tag)
PY

snapshot() { find "$prefix" -printf '%p %s %m %T@ %l\n' | sort; }
before=$(snapshot)
data=$home/.local/share/Quillet

run scan "$home/tree" --store >"$home/scan.txt" 2>"$home/scan.err" || fail "scan --store: $(cat "$home/scan.err")"
grep -q 'número 1' "$home/scan.err" || fail "scan --store no dice el número: $(cat "$home/scan.err")"
[ -f "$data/quillet.mdb" ] || fail "la base de datos no está en $data"
[ "$(run list)" = "$(printf '1\tDIR\t%s' "$home/tree")" ] || fail "list: $(run list)"
run show 1 >"$home/show.txt" || fail "show 1"
cmp -s "$home/scan.txt" "$home/show.txt" || fail "show 1 no escribe lo que escribió scan"
grep -q 'disco uno' "$home/show.txt" || fail "el listado no lleva el archivo: $(cat "$home/show.txt")"
run show 1 --format html --output lista.html || fail "show 1 --output"
grep -q 'disco uno' "$home/lista.html" || fail "la exportación no llegó a la carpeta del usuario"

log=$data/quillet.log
[ -f "$log" ] || fail "el log no está en $data"
grep -q "Archivos de esta sesión en $data" <(iconv -f WINDOWS-1252 -t UTF-8 "$log") ||
  fail "el log no dice dónde están los archivos"
grep -q "Conectando con $data/quillet.mdb" "$log" || fail "el log no nombra la base de datos del usuario"

# A config.ini the user puts in the data directory wins over the installed one.
printf '[log]\r\nlogfile=propio.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n' |
  as_user "${user_env[@]}" tee "$data/config.ini" >/dev/null
run list >/dev/null || fail "list con el config.ini del usuario"
[ -s "$data/propio.log" ] || fail "no se usó el config.ini del usuario"

# The desktop program without a display: a Spanish message and status 1, nothing written.
status=0
run >/dev/null 2>"$home/nodisplay.err" || status=$?
[ "$status" -eq 1 ] || fail "sin pantalla el estado es $status"
grep -q 'necesita una sesión gráfica' "$home/nodisplay.err" || fail "sin pantalla: $(cat "$home/nodisplay.err")"
grep -q 'quillet --help' "$home/nodisplay.err" || fail "sin pantalla no remite a quillet --help"
status=0
(cd "$home" && as_user "${user_env[@]}" QT_QPA_PLATFORM=xcb DISPLAY=:9999 "$prefix/bin/quillet") \
  >/dev/null 2>"$home/badplugin.err" || status=$?
[ "$status" -eq 1 ] && grep -q 'necesita una sesión gráfica' "$home/badplugin.err" ||
  fail "con una pantalla que no responde: estado $status, $(cat "$home/badplugin.err")"

[ "$before" = "$(snapshot)" ] || fail "algo cambió en el prefijo: $(diff <(echo "$before") <(snapshot))"

# Nothing of the tests or benchmarks is installed.
if find "$prefix" -name 'test_*' -o -name '*_bench' | grep -q .; then
  fail "se instalaron pruebas o benchmarks"
fi
echo "instalado y usado como usuario sin permiso en $prefix"
