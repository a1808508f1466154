#!/usr/bin/env bash
# Figures of the whole program:
#   1. CPU of the idle windowed program over SECONDS (default 60) with Timer1
#      ticking, on a virtual X screen with the Qt runtime, and of a bare Qt
#      window with one 10 ms timer doing nothing (bench/app/bare_qt_timer,
#      from the build folder of PROGRAM) over the same time, in the same run;
#   2. time from start to the login line in the room, console front end with
#      the handle prompt answered at once (goal: under 300 ms; median of 7);
#   3. peak resident memory of a console session and of the windowed run
#      (goal: under 60 MB), from /usr/bin/time -v.
#
#   bench/app/measure.sh [-s SECONDS] [PROGRAM]
#
# PROGRAM defaults to build/app/moonrake; build it first (scripts/run or
# scripts/test do). Needs Xvfb and xdotool.

set -euo pipefail

seconds=60
while [[ $# -gt 0 ]]; do
    case $1 in
        -s) seconds=${2:?}; shift 2 ;;
        -h | --help) sed -n '2,14p' "$0" >&2; exit 2 ;;
        *) break ;;
    esac
done
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
program=$(realpath "${1:-$root/build/app/moonrake}")
[[ -x $program ]] || { echo "no program at $program" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid="" app_pid=""
cleanup() {
    if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null || true; fi
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/xdg"
export XDG_RUNTIME_DIR=$work/xdg MOONRAKE_AUDIO_SINK=fake

peak_kb() { awk -F': ' '/Maximum resident set size/ { print $2 }' "$1"; }

# --- 2. start to login line (console) ---
login_ms() {
    local start line
    start=$(date +%s%N)
    # Input stays open a while so that the program is still running when the
    # line arrives; the reader stops at the first room line.
    while IFS= read -r line; do
        if [[ $line == Moonraker:* ]]; then
            echo $(( ($(date +%s%N) - start) / 1000000 ))
            break
        fi
    done < <({ echo bob; sleep 3; } | "$program" --console 2>/dev/null)
}
login_ms >/dev/null  # the first run fills the caches (fonts, GStreamer registry)
times=()
for _ in 1 2 3 4 5 6 7; do times+=("$(login_ms)"); done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(sed -n 4p <<<"$sorted")
echo "start to login line (console): median ${median} ms of: $(tr '\n' ' ' <<<"$sorted")"

# --- 3a. peak memory of a console session ---
printf '%s\n' bob "h bob2" "tr !" "!com example" "!pr secret" "!i lunch" "/wait 120" "!io" \
    "/click Label9" "en" "!mp3" "!minv" "!fulv" "!e" \
    | /usr/bin/time -v -o "$work/console.time" "$program" --console >/dev/null 2>&1
echo "peak memory (console session): $(( $(peak_kb "$work/console.time") / 1024 )) MB"

# --- 1. idle CPU of the windowed program ---
display=":${MOONRAKE_BENCH_DISPLAY:-97}"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

/usr/bin/time -v -o "$work/windowed.time" "$program" >/dev/null 2>&1 &
time_pid=$!
for _ in $(seq 100); do
    app_pid=$(pgrep -P "$time_pid" || true)
    [[ -n $app_pid ]] && break
    sleep 0.05
done
window_named() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [[ -n $id ]] && { echo "$id"; return; }
        sleep 0.1
    done
    echo "no window $1" >&2
    exit 1
}
type_into() {
    xdotool windowfocus --sync "$1"
    xdotool type --delay 10 "$2"
    xdotool key Return
}
type_into "$(window_named '^moonrake ruze ²$')" bob
client=$(window_named '^chat client')
sleep 3  # settle

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() {
    local stat
    stat=$(<"/proc/$1/stat")
    stat=${stat##*) }
    awk '{ print $12 + $13 }' <<<"$stat"
}
before=$(cpu_ticks "$app_pid")
t0=$(date +%s%N)
sleep "$seconds"
after=$(cpu_ticks "$app_pid")
t1=$(date +%s%N)
awk -v ticks=$((after - before)) -v hz="$ticks_per_second" -v ns=$((t1 - t0)) \
    'BEGIN { printf "idle CPU (windowed, Timer1 ticking): %.2f%% of one core over %.1f s\n",
             100 * ticks / hz / (ns / 1e9), ns / 1e9 }'

type_into "$client" e
wait "$time_pid" || true
app_pid=""
echo "peak memory (windowed run): $(( $(peak_kb "$work/windowed.time") / 1024 )) MB"

bare=$(dirname "$program")/../bench/app/bare_qt_timer
if [[ -x $bare ]]; then
    "$bare" >/dev/null 2>&1 &
    app_pid=$!
    sleep 3
    before=$(cpu_ticks "$app_pid")
    t0=$(date +%s%N)
    sleep "$seconds"
    after=$(cpu_ticks "$app_pid")
    t1=$(date +%s%N)
    awk -v ticks=$((after - before)) -v hz="$ticks_per_second" -v ns=$((t1 - t0)) \
        'BEGIN { printf "idle CPU (bare Qt window, one 10 ms timer): %.2f%% of one core over %.1f s\n",
                 100 * ticks / hz / (ns / 1e9), ns / 1e9 }'
    kill "$app_pid" 2>/dev/null || true
    app_pid=""
fi
