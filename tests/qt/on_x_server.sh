#!/usr/bin/env bash
# Runs a test program on a fresh virtual X server (Xvfb) of its own, with
# Qt's xcb platform, and with the openbox window manager when asked.
#
#   on_x_server.sh [--openbox] PROGRAM [ARGUMENTS...]
#
# With --openbox the program starts once the manager has claimed the screen,
# and finds MOONRAKE_WINDOW_MANAGER=openbox in its environment.
set -euo pipefail
manager=""
if [ "${1:-}" = "--openbox" ]; then
    manager=openbox
    shift
fi
program="$1"
shift
work="$(mktemp -d)"
xvfb="" wm=""
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
mkdir -m 700 "$work/xdg"
export XDG_RUNTIME_DIR="$work/xdg" QT_QPA_PLATFORM=xcb

if [ -n "$manager" ]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm=$!
    export MOONRAKE_WINDOW_MANAGER=openbox
fi
# Not exec: the trap must still stop the server and the manager.
"$program" "$@"
