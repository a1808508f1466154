#!/usr/bin/env bash
# Pictures of the Linux program for the documentation: starts the windowed
# program on a virtual X screen, answers the handle prompt and types a few commands
# into the simulated client's window as a user would, then saves
#   docs/screenshots/form1.png    the main window with the mp3 panel open
#   docs/screenshots/form5.png    the mini screen
#   docs/screenshots/client.png   the simulated chat client's window
#   docs/screenshots/desktop.png  the whole screen
# Run by scripts/screenshots. MOONRAKE_BUILD_DIR picks the build folder
# (default build/); with MOONRAKE_NO_BUILD=1 the program found there is used
# as it is.
set -euo pipefail

source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/common.sh"
started=$SECONDS
build="${MOONRAKE_BUILD_DIR:-$MOONRAKE_ROOT/build}"
if [ "${MOONRAKE_NO_BUILD:-0}" != 1 ]; then
  ensure_packages </dev/null
  configure_and_build "$build" </dev/null
fi
program="$build/app/moonrake"
out="$MOONRAKE_ROOT/docs/screenshots"
mkdir -p "$out"

work="$(mktemp -d)"
xvfb_pid="" app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "${MOONRAKE_SCREENSHOT_DISPLAY:-99}" "$work/xvfb.log"

# Three short songs for the mp3 list, which starts in the working folder.
make_songs "$work/music"
mkdir -p "$work/xdg" && chmod 700 "$work/xdg"

(cd "$work/music" && XDG_RUNTIME_DIR="$work/xdg" MOONRAKE_AUDIO_SINK=fake \
  exec "$program" >"$work/out.log" 2>"$work/err.log") &
app_pid=$!

# wait_for NAME: the id of the visible window with exactly this caption.
wait_for() {
  local id=""
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "screenshots: no window \"$1\" appeared" >&2
  cat "$work/err.log" >&2
  return 1
}
# say WINDOW TEXT: types TEXT and Return into the window with the keyboard.
say() {
  xdotool windowfocus --sync "$1"
  xdotool type --delay 15 "$2"
  xdotool key Return
  sleep 0.4
}
shot() {
  import -window "$1" "$out/$2.png"
  echo "saved $out/$2.png" >&2
}

prompt="$(wait_for 'moonrake ruze ²')"
say "$prompt" "bob"
client="$(wait_for 'chat client \(simulated\) - Town Square')"
form1="$(wait_for 'moonrake ruze ²')"

say "$client" "fc 3366CC"
say "$client" "la ~*~ "
say "$client" "com example"
say "$client" "i lunch break"
say "$client" "imof"
say "$client" "mp3"
sleep 0.5
shot "$form1" form1
say "$client" "minv"
form5="$(wait_for 'mini screen')"
sleep 0.3
shot "$form5" form5
say "$client" "fulv"
sleep 0.3
shot "$client" client
import -window root "$out/desktop.png"
echo "saved $out/desktop.png" >&2

say "$client" "e"
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
app_pid=""
echo "linux-screenshots: $((SECONDS - started)) s" >&2
