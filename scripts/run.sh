#!/usr/bin/env bash
# Builds what changed and starts Quillet from its program directory; arguments go to the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
ensure_packages "${build_packages[@]}"
build_tree "$repo_root/build"
cd "$repo_root/build/bin"
exec ./quillet "$@"
