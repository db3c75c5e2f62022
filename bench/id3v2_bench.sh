#!/usr/bin/env bash
# ID3v2 scan benchmark on the scan benchmark's tree, every MP3 with an ID3v2.4 tag written by
# mutagen (text frames and a ~100 KB cover; Debian's python3-mutagen, hence /usr/bin/python3). Side by side, warm:
#   - `quillet scan --tags v2v1` against build/bench/taglib_walk (a plain TagLib walk): <= 1.5x;
#   - `quillet scan` (ID3v1 only, the default) against the same scan by today's program, the
#     main branch built into a temporary directory: <= 1.1x;
#   - peak memory of `quillet scan --tags v2v1` under 60 MB.
# Usage: bench/id3v2_bench.sh [build/bin/quillet] [TODAYS_QUILLET]
# Without TODAYS_QUILLET the main branch's quillet is built from `git archive main`.
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$bench_dir/.." && pwd)
quillet=$(realpath "${1:-$repo/build/bin/quillet}")
reference=$repo/build/bench/taglib_walk
runs=7

for tool in /usr/bin/time "$reference"; do
  if [ ! -x "$tool" ]; then
    echo "Falta $tool (apt-get install time; cmake --build build --target taglib_walk)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/today" "$work/config"
cp "$quillet" "$work/program/quillet"
printf '[log]\r\nlogfile=bench.log\r\n' >"$work/program/config.ini"
cp "$work/program/config.ini" "$work/today/config.ini"
export XDG_CONFIG_HOME="$work/config"

if [ $# -ge 2 ]; then
  cp "$(realpath "$2")" "$work/today/quillet"
else
  echo "Construyendo el quillet de main..."
  mkdir -p "$work/main-src"
  git -C "$repo" archive main | tar -x -C "$work/main-src"
  CCACHE_BASEDIR=${CCACHE_BASEDIR:-$work} cmake -S "$work/main-src" -B "$work/main-build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-}" \
    >/dev/null
  nice cmake --build "$work/main-build" --target quillet -j2 >/dev/null
  cp "$work/main-build/bin/quillet" "$work/today/quillet"
fi

echo "Creando el árbol de prueba con etiquetas ID3v2..."
/usr/bin/python3 "$bench_dir/make_tree.py" --id3v2 "$work/tree"

. "$bench_dir/bench_helpers.sh"

run_taglib() { "$reference" "$work/tree"; }
run_v2v1() { "$work/program/quillet" scan --tags v2v1 "$work/tree"; }
run_v1() { "$work/program/quillet" scan "$work/tree"; }
run_today() { "$work/today/quillet" scan "$work/tree"; }

# Warm the tree and the programs; the default scans must also give today's bytes.
run_taglib >/dev/null
cmp <(run_v1) <(run_today) || { echo "quillet scan ya no da los bytes de hoy" >&2; exit 1; }
run_v2v1 >/dev/null

# Interleaved, so a busy machine weighs on every program alike.
taglib_ms=$(median_ms run_taglib)
v2v1_ms=$(median_ms run_v2v1)
today_ms=$(median_ms run_today)
v1_ms=$(median_ms run_v1)
v2v1_kb=$(peak_kb "$work/program/quillet" scan --tags v2v1 "$work/tree")

echo "taglib_walk (TagLib::MPEG::File):  ${taglib_ms} ms"
echo "quillet scan --tags v2v1:          ${v2v1_ms} ms, pico ${v2v1_kb} KB"
echo "quillet scan de hoy (main):        ${today_ms} ms"
echo "quillet scan (sólo ID3v1):         ${v1_ms} ms"
awk -v q="$v2v1_ms" -v t="$taglib_ms" -v v1="$v1_ms" -v today="$today_ms" -v kb="$v2v1_kb" 'BEGIN {
  v2 = (t > 0) ? q / t : 0
  same = (today > 0) ? v1 / today : 0
  printf "v2v1 frente a TagLib: %.2fx (objetivo <= 1.5x); v1 frente a hoy: %.2fx (objetivo <= 1.1x); memoria %.1f MB (objetivo < 60 MB)\n",
         v2, same, kb / 1024
  exit !(v2 <= 1.5 && same <= 1.1 && kb < 60 * 1024)
}'
