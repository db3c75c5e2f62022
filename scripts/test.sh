#!/usr/bin/env bash
# Builds what changed and runs the whole suite on the offscreen Qt platform: once as built for
# users, once under AddressSanitizer and UndefinedBehaviorSanitizer. The database server tests
# run against a private, throwaway PostgreSQL server, stopped and removed whatever happens.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/private_postgres.sh"
ensure_packages "${build_packages[@]}" "${test_packages[@]}"
ensure_postgres_packages
export QT_QPA_PLATFORM=offscreen

pg_dir=$(mktemp -d "${TMPDIR:-/tmp}/quillet-pg.XXXXXX")
trap 'stop_private_postgres "$pg_dir"' EXIT
start_private_postgres "$pg_dir"

build_tree "$repo_root/build"
ctest --test-dir "$repo_root/build" --output-on-failure -j "$(nproc)" --timeout 300

build_tree "$repo_root/build-sanitize" -DQUILLET_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
LSAN_OPTIONS="suppressions=$repo_root/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$repo_root/build-sanitize" --output-on-failure -j "$(nproc)" --timeout 600
