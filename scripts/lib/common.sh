# Shared by the scripts: where the repository is, what Debian packages the
# build and the program need, and how to configure and build.
# shellcheck shell=bash

MOONRAKE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Everything a fresh Debian 12 machine lacks to build, test and run us.
MOONRAKE_PACKAGES=(
  build-essential cmake pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libxcb1-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
  xvfb xauth xdotool x11-utils imagemagick openbox
  fonts-liberation2 fonts-urw-base35 fonts-symbola
)

# Installs the packages that are missing; runs apt-get update once, first.
ensure_packages() {
  local wanted=("${MOONRAKE_PACKAGES[@]}" "$@") missing=() pkg
  for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >&2
}

# configure_and_build BUILD_DIR [CMAKE_ARGS...]: configures once, then builds
# incrementally with every core.
configure_and_build() {
  local dir="$1"
  shift
  cmake -S "$MOONRAKE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="${MOONRAKE_BUILD_TYPE:-RelWithDebInfo}" "$@" >&2
  cmake --build "$dir" -j "$(nproc)" >&2
}

# start_xvfb NUMBER LOG: a virtual 1280 x 800 screen on display :NUMBER, or on
# the first free number above it (another script's screen may be up); exports
# DISPLAY once the screen answers and sets xvfb_pid for the caller's cleanup.
start_xvfb() {
  local number="$1"
  while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
  Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >"$2" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$number"
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
}

# make_songs FOLDER: three short mp3s (about 3 s of tone each) for the
# program's mp3 list.
make_songs() {
  mkdir -p "$1"
  local song
  for song in "harbour lights" "night drive" "slow tide"; do
    gst-launch-1.0 -q audiotestsrc num-buffers=130 ! audioconvert ! lamemp3enc ! xingmux \
      ! id3v2mux ! filesink location="$1/$song.mp3"
  done
}
