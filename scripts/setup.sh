# Shared by run.sh and test.sh: installs the Debian packages that are missing and builds.
# Sourced, not run.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
  libqt6sql6-sqlite libsqlite3-dev libpq-dev libqt6sql6-psql libqt6svg6 qt6-svg-dev libgtest-dev sqlite3 librsvg2-bin qt6-translations-l10n libtag1-dev
  libblkid-dev libkainjow-mustache-dev libqrencode-dev libmicrohttpd-dev)
test_packages=(xvfb xauth xorriso genisoimage udftools poppler-utils cups cups-filters
  printer-driver-cups-pdf clang eyed3 id3v2 python3-mutagen
  libclang-rt-14-dev sox flac lame opus-tools vorbis-tools ffmpeg wavpack musepack-tools
  zbar-tools chromium python3-websocket)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the named packages that dpkg does not know as installed.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Instalando paquetes: ${missing[*]}" >&2
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
}

# Configures (once) and builds incrementally into the given build directory.
build_tree() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$repo_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >&2
  fi
  cmake --build "$dir" --parallel "$(nproc)" >&2
}
