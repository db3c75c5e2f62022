#!/usr/bin/env bash
# Builds what changed and runs the whole suite on the offscreen Qt platform.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
ensure_packages "${build_packages[@]}" "${test_packages[@]}"
build_tree "$repo_root/build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$repo_root/build" --output-on-failure -j "$(nproc)" --timeout 300
