# shellcheck shell=bash
# Shared by the scripts that start the desktop program under Xvfb. Sourced after setup.sh.

desktop_packages=(xvfb xauth xdotool x11-utils imagemagick)

# Runs the given command in a fresh X server. The display number starts at a random point, so
# scripts started at the same moment on one machine do not race for the same display; -noreset
# keeps the server from resetting (and refusing connections) each time its last client leaves.
run_in_xvfb() {
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-noreset -screen 0 1024x768x24" "$@"
}

# First pass of a desktop script: packages and build, then the same script again, with the same
# arguments, inside a fresh X server. Returns only in that second pass.
enter_xvfb() {
  [ -n "${QUILLET_IN_XVFB:-}" ] && return 0
  ensure_packages "${build_packages[@]}" "${desktop_packages[@]}"
  build_tree "$repo_root/build"
  QUILLET_IN_XVFB=1 run_in_xvfb bash "${BASH_SOURCE[-1]}" "$@"
  exit
}

# The caption the main window must show: "Quillet v." and the project's version.
app_title() {
  local version
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$repo_root/build/CMakeCache.txt")
  echo "Quillet v.$version"
}

# Copies the built program and its shipped files (no test binaries) into a scratch directory,
# so a run never writes its log or database into build/bin.
copy_program_dir() {
  local target=$1
  find "$repo_root/build/bin" -maxdepth 1 -type f ! -name 'test_*' -exec cp {} "$target/" \;
}

# Waits until a window with exactly this title is mapped; prints its id. Fails after $2 seconds.
wait_for_window() {
  local title=$1 timeout=$2
  local deadline=$((SECONDS + timeout))
  local info
  while [ $SECONDS -lt $deadline ]; do
    if info=$(xwininfo -name "$title" 2>/dev/null) && grep -q 'Map State: IsViewable' <<<"$info"; then
      sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p' <<<"$info"
      return 0
    fi
    sleep 0.005
  done
  return 1
}
