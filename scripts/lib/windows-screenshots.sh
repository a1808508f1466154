#!/usr/bin/env bash
# Pictures of the Windows program for the documentation: moonrake.exe under
# Wine's X11 driver on a virtual X screen, beside the stand-in client
# (tools/standin), with a user signed on in a room typing the commands the
# Linux pictures show. Saves
#   docs/screenshots/windows-form1.png    the main window with the mp3 panel open
#   docs/screenshots/windows-form5.png    the mini screen
#   docs/screenshots/windows-client.png   the stand-in client's frame
#   docs/screenshots/windows-desktop.png  the whole screen
# Run by scripts/screenshots. The cross build is build-win/, configured as
# scripts/test-windows configures it (MOONRAKE_WINDOWS_BUILD_DIR picks
# another; MOONRAKE_NO_BUILD=1 uses what is there). The Wine prefix is one of
# its own inside the build folder, made on first use: the X11 driver with
# unmanaged windows (there is no window manager on the virtual screen), and
# Wine's Tahoma among the fonts.
set -euo pipefail

source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"
started=$SECONDS
build="${MOONRAKE_WINDOWS_BUILD_DIR:-$MOONRAKE_ROOT/build-win}"
out="$MOONRAKE_ROOT/docs/screenshots"

# --- tools, installed only when missing ---
packages=(g++-mingw-w64-x86-64-win32 cmake make googletest wine wine64 libwine fonts-wine
  fonts-urw-base35 xvfb xauth xdotool x11-utils imagemagick
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  echo "windows-screenshots: installing ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >&2
fi

# --- the cross build: the same settings as scripts/test-windows, so that the
# two share build-win/ without reconfiguring each other ---
if [ "${MOONRAKE_NO_BUILD:-0}" != 1 ]; then
  cmake -S "$MOONRAKE_ROOT" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$MOONRAKE_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DMOONRAKE_UI=ON -DMOONRAKE_QT=OFF -DMOONRAKE_BENCH=ON -DMOONRAKE_TEST_LAYERS= \
    -DMOONRAKE_WERROR="${MOONRAKE_WERROR:-ON}" >/dev/null
  cmake --build "$build" --target moonrake standin standinctl -j2 >&2
fi
moonrake_exe="$build/app/moonrake.exe"
standin_exe="$build/tests/win32/standin.exe"
standinctl_exe="$build/tests/win32/standinctl.exe"
for exe in "$moonrake_exe" "$standin_exe" "$standinctl_exe"; do
  [ -f "$exe" ] || { echo "windows-screenshots: $exe is missing" >&2; exit 1; }
done

# --- the screen, and everything that has to go when the script ends ---
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
export WINEPREFIX="$build/wineprefix-pictures"
export WINEDEBUG=-all
export LC_ALL=C  # the ANSI code page is then 1252, as on the client's systems
export WINEDLLOVERRIDES="mscoree,mshtml="
work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

trap 'echo "windows-screenshots: failed at line $LINENO" >&2' ERR
# Nothing left of an earlier run that was cut short: its Wine processes
# would still draw on that run's screen.
timeout 30 wineserver -k >/dev/null 2>&1 || true
start_xvfb "${MOONRAKE_WINDOWS_SCREENSHOT_DISPLAY:-98}" "$work/xvfb.log"

# --- the prefix for pictures ---
if [ ! -f "$WINEPREFIX/.pictures" ]; then
  echo "windows-screenshots: preparing the Wine prefix $WINEPREFIX" >&2
  rm -rf "$WINEPREFIX"
  if ! timeout 180 "$wine" wineboot --init >/dev/null 2>&1; then
    echo "windows-screenshots: Wine could not prepare its prefix" >&2
    exit 1
  fi
  # Without a window manager Wine would still make the popups managed
  # windows after the first click; unmanaged, it draws the captions itself.
  # A crash dialog would wait for a click that never comes.
  timeout 60 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  timeout 60 "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
    /d 0 /f >/dev/null 2>&1
  # A fresh prefix has no fonts of its own and draws every face in the
  # host's Liberation Sans. Every Windows has these: Wine's Tahoma for the
  # labels, its Small Fonts (a bitmap face, as on Windows) for the file list
  # and the song, Marlett for the caption buttons; and for Palatino Linotype
  # the host's look-alike of it, P052 (fonts-urw-base35). Webdings has no
  # stand-in: where it is missing the program draws the transport symbols
  # itself.
  cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf /usr/share/wine/fonts/smalle.fon \
    "$WINEPREFIX/drive_c/windows/Fonts/"
  timeout 60 "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Palatino Linotype' \
    /d P052 /f >/dev/null 2>&1
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  touch "$WINEPREFIX/.pictures"
fi

# Three short songs for the mp3 list, which starts in the working folder; a
# HOME whose ALSA default is a null device, in case a song is played.
make_songs "$work/music"
printf 'pcm.!default { type null }\n' >"$work/.asoundrc"

# --- the stand-in client, signed on in a room, where the Linux pictures have
# the simulated client ---
token="pictures-$$"
ctl() { timeout 60 "$wine" "$standinctl_exe" --wait 30 "$token" "$@"; }
(cd "$work" && exec timeout 600 "$wine" "$standin_exe" --token "$token" \
  >"$work/standin.log" 2>&1) &
ctl signon Moonraker "Town Square"
ctl place frame 0 149 482 500
ctl place room 0 0 474 432

# wait_for NAME: the id of the visible window whose caption starts with NAME.
# (Wine gives X the caption in UTF-8; "²" is left out of the patterns.)
wait_for() {
  local id=""
  for _ in $(seq 200); do
    id="$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "windows-screenshots: no window \"$1\" appeared" >&2
  return 1
}
# lines: how many lines the room's transcript holds.
lines() { ctl transcript | awk 'NR % 2 == 0' | wc -l; }
# say TEXT: the user types TEXT in the room; returns once the program's
# answer (one more line after the user's own) is in the room.
say() {
  local before
  before=$(lines)
  ctl type "$1"
  for _ in $(seq 100); do
    [ "$(lines)" -ge $((before + 2)) ] && return 0
    sleep 0.1
  done
  echo "windows-screenshots: no answer to \"$1\" in the room" >&2
  return 1
}
shot() {
  # The pointer out of the way: resting on a control it would show that
  # control's tooltip in the picture.
  xdotool mousemove 1279 799
  sleep 0.3
  import -window "$1" "$out/$2.png"
  echo "saved $out/$2.png" >&2
}

# moonrake.exe asks for the handle first; the prompt is the only window of
# its caption until it is answered.
start_moonrake() {
  (cd "$work/music" && HOME="$work" exec timeout 600 "$wine" "$moonrake_exe" \
    >"$work/moonrake.log" 2>&1) &
  moonrake_pid=$!
}
start_moonrake
prompt=""
for attempt in 1 2; do
  for _ in $(seq 200); do
    prompt="$(xdotool search --onlyvisible --name '^moonrake ruze' 2>/dev/null | head -n 1 || true)"
    [ -n "$prompt" ] && break 2
    kill -0 "$moonrake_pid" 2>/dev/null || break
    sleep 0.1
  done
  # Seen once, on a Wine server that had just started: the program ended
  # before its first window. Once more, then give up.
  if [ "$attempt" = 2 ] || kill -0 "$moonrake_pid" 2>/dev/null; then break; fi
  echo "windows-screenshots: moonrake.exe ended before its prompt; once more" >&2
  start_moonrake
done
if [ -z "$prompt" ]; then
  echo "windows-screenshots: moonrake.exe showed no handle prompt" >&2
  cat "$work/moonrake.log" >&2
  exit 1
fi
xdotool windowfocus --sync "$prompt"
xdotool type --delay 15 "bob"
xdotool key Return
# The login line comes once the prompt is gone, before the main window shows.
for _ in $(seq 100); do [ "$(lines)" -ge 1 ] && break; sleep 0.1; done
if [ "$(lines)" -lt 1 ]; then
  echo "windows-screenshots: no login line: the handle prompt took no answer" >&2
  exit 1
fi
form1="$(wait_for 'moonrake ruze')"

say "fc 3366CC"
say "la ~*~ "
say "com example"
say "i lunch break"
say "imof"
say "mp3"
sleep 0.5
mkdir -p "$out"
shot "$form1" windows-form1
say "minv"
form5="$(wait_for 'mini screen')"
sleep 0.3
shot "$form5" windows-form5
say "fulv"
sleep 0.3
shot "$(wait_for 'America  Online')" windows-client
import -window root "$out/windows-desktop.png"
echo "saved $out/windows-desktop.png" >&2

ctl type "e"
sleep 1
ctl quit || true
echo "windows-screenshots: $((SECONDS - started)) s" >&2
