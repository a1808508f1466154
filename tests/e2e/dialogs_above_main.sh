#!/usr/bin/env bash
# The windowed program under a real X server with no window manager: the
# handle prompt takes the keyboard, and the box that a second click on the
# mp3 view label opens stays above the main window (top of the root window's
# stacking order) although the clock raises the main window every 10 ms;
# Return closes it.
#
#   dialogs_above_main.sh PATH_TO_MOONRAKE
set -euo pipefail
program="$(readlink -f "$1")"
title='moonrake ruze ²'
work="$(mktemp -d)"
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export MOONRAKE_AUDIO_SINK=fake
mkdir -m 700 "$work/xdg" && export XDG_RUNTIME_DIR="$work/xdg"
unset QT_QPA_PLATFORM

(cd "$work" && exec "$program") >"$work/out" 2>&1 &
app=$!

# Visible windows with the program's title, as "ID WIDTHxHEIGHT" lines.
titled() {
    local id
    for id in $(xdotool search --onlyvisible --name "moonrake ruze" 2>/dev/null); do
        [ "$(xdotool getwindowname "$id")" = "$title" ] || continue
        printf '%s %s\n' "$id" "$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')"
    done
}
wait_for() {  # wait_for DESCRIPTION COMMAND...: until COMMAND succeeds, 10 s at most
    local what="$1"
    shift
    for _ in $(seq 200); do "$@" && return 0; sleep 0.05; done
    fail "$what"
}
# The root window's children, topmost first, as xwininfo lists them.
stacking() { xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'; }
hex() { printf '0x%x' "$1"; }
above() {  # above UPPER LOWER: UPPER comes before LOWER in the stacking order
    local upper lower
    upper="$(hex "$1")" lower="$(hex "$2")"
    stacking | awk -v u="$upper" -v l="$lower" '$1==u{fu=NR} $1==l{fl=NR} END{exit !(fu && fl && fu<fl)}'
}

# The handle prompt comes first and has the keyboard: typing reaches it.
some_titled() { [ -n "$(titled)" ]; }
wait_for "no handle prompt" some_titled
sleep 0.2
xdotool type --delay 20 bob
xdotool key Return

main_window() { titled | awk '$2=="282x145"{print $1; exit}'; }
has_main() { [ -n "$(main_window)" ]; }
wait_for "no 282x145 main window after the prompt" has_main
main="$(main_window)"

# Two clicks on the mp3 view label: the second opens "already viewing".
click_label9() { xdotool mousemove --window "$main" 274 134 click 1; }
click_label9
sleep 0.2
click_label9
box_window() { titled | awk -v m="$main" '$1!=m{print $1; exit}'; }
has_box() { [ -n "$(box_window)" ]; }
no_box() { [ -z "$(box_window)" ]; }
wait_for "no message box after the second click" has_box
box="$(box_window)"
sleep 0.3  # thirty ticks of the clock that keeps the main window on top
above "$box" "$main" || fail "the box is below the main window"
[ "$(stacking | head -n 1)" = "$(hex "$box")" ] || fail "the box is not on top of the screen"

# Return reaches the box and closes it; the main window is still there.
xdotool key Return
wait_for "the box did not close on Return" no_box
[ -n "$(main_window)" ] || fail "the main window went away"
echo "dialogs stay above the main window"
