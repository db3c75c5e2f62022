#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for SECONDS (default
# 60) on its committed corpus, tests/fuzz/corpus/TARGET/. New inputs gather in
# build-fuzz/corpus/TARGET/; --merge adds the ones that reach new code to the committed corpus
# (libFuzzer's -merge=1), cut to 16 KB. --jobs N runs N targets at a time. A crash stops its
# target and leaves its input in build-fuzz/artifacts/TARGET/.
#
#   scripts/fuzz.sh [--jobs N] [--merge] [SECONDS] [TARGET...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

all_targets=(tag_reader renderer ini_reader volume_label)
jobs=1
merge=0
seconds=60
while [ $# -gt 0 ]; do
  case $1 in
    --jobs) jobs=$2; shift 2 ;;
    --merge) merge=1; shift ;;
    *) break ;;
  esac
done
if [ $# -gt 0 ]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

ensure_packages "${build_packages[@]}" clang libclang-rt-14-dev
fuzz_dir=$repo_root/build-fuzz
if [ ! -f "$fuzz_dir/build.ninja" ]; then
  cmake -S "$repo_root" -B "$fuzz_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DQUILLET_FUZZ=ON >&2
fi
cmake --build "$fuzz_dir" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}" >&2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$repo_root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Runs one target and prints its line of figures; the full output stays in its log.
fuzz_target() {
  local target=$1
  local seeds=$repo_root/tests/fuzz/corpus/$target
  local found=$fuzz_dir/corpus/$target
  local artifacts=$fuzz_dir/artifacts/$target/
  local log=$fuzz_dir/logs/$target.log
  local dict=$repo_root/tests/fuzz/$target.dict
  local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$artifacts")
  [ -f "$dict" ] && options+=(-dict="$dict")
  mkdir -p "$found" "$artifacts" "$(dirname "$log")"
  local status=0 start=$SECONDS
  "$fuzz_dir/tests/fuzz_$target" "${options[@]}" "$found" "$seeds" >"$log" 2>&1 || status=$?
  local runs crashes=0 input=
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    crashes=1
    input=$(sed -n 's/.*Test unit written to //p' "$log" | head -1)
  fi
  printf '%-13s executions: %-11s time: %5d s  crashes: %d %s\n' "$target" "${runs:-?}" \
    $((SECONDS - start)) "$crashes" "$input"
  if [ "$merge" -eq 1 ] && [ "$status" -eq 0 ]; then
    # Inputs are cut to 16 KB when merged, so the committed corpora stay small.
    "$fuzz_dir/tests/fuzz_$target" -merge=1 -max_len=16384 "$seeds" "$found" >>"$log" 2>&1
  fi
  return "$status"
}

failed=0
running=0
for target in "${targets[@]}"; do
  fuzz_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
