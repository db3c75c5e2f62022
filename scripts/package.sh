#!/usr/bin/env bash
# Builds the Debian package into build/ (cpack -G DEB) and checks it: desktop entry, AppStream
# metainfo, lintian (errors fail, warnings are printed) and the manual page. Prints its path.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
package_tools=(dpkg-dev fakeroot lintian appstream desktop-file-utils man-db)
ensure_packages "${build_packages[@]}" "${package_tools[@]}"
build=$repo_root/build
build_tree "$build"

(cd "$build" && cpack -G DEB >&2)
deb=$(ls -t "$build"/quillet_*.deb | head -n 1)

check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
dpkg-deb -x "$deb" "$check"
desktop-file-validate "$check"/usr/share/applications/*.desktop >&2
appstreamcli validate --no-net "$check"/usr/share/metainfo/*.metainfo.xml >&2
LANG=C.UTF-8 man -l "$check/usr/share/man/man1/quillet.1.gz" >/dev/null
lintian --fail-on error --tag-display-limit 0 "$deb" >&2
echo "$deb"
