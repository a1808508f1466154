#!/usr/bin/env bash
# CPU of the whole program while a song plays with the mp3 panel in view,
# against the same song played by gst-launch-1.0 alone.
#
#   bench/mp3/measure_playback.sh [-s SECONDS] [-n ROUNDS] [PROGRAM]
#
# The windowed program runs on a virtual X screen (Xvfb) and is driven the
# way a user drives it, with xdotool: the handle typed at the prompt, then
# "d FOLDER", "mp3" and "p song.mp3" typed into the chat client's window. So
# the clock tick, the progress, scroll and status timers of the panel and the
# player all run, on real time. The console front end cannot serve here: its
# clock is virtual, and its timers do not tick while it waits for input.
#
# Then "gst-launch-1.0 playbin uri=file://SONG" plays the same song alone.
# Both use the default audio sink (here it falls back to a null sink that
# keeps real time). Each is measured over SECONDS (default 60) once the song
# plays; the song is encoded with GStreamer to last SECONDS + 15 s. With
# ROUNDS (default 1) the pair is measured that many times, one after the
# other, and the median difference is reported too: on a shared machine a
# single round can be off by a percent either way.
#
# PROGRAM defaults to build/app/moonrake. Needs Xvfb, xdotool and the
# GStreamer tools. Goals: the program costs at most 0.7% of one core and at
# most 110 context switches a second more than gst-launch-1.0.

set -euo pipefail

seconds=60
rounds=1
while [[ $# -gt 0 ]]; do
    case $1 in
        -s) seconds=${2:?}; shift 2 ;;
        -n) rounds=${2:?}; shift 2 ;;
        -h | --help) sed -n '2,24p' "$0" >&2; exit 2 ;;
        *) break ;;
    esac
done
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
program=$(realpath "${1:-$root/build/app/moonrake}")
[[ -x $program ]] || { echo "no program at $program" >&2; exit 1; }
for tool in Xvfb xdotool gst-launch-1.0; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid="" app_pid="" gst_pid=""
cleanup() {
    for pid in $app_pid $gst_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/xdg"
export XDG_RUNTIME_DIR=$work/xdg
# Both on the default sink.
unset MOONRAKE_AUDIO_SINK

# --- the song ---
songs=$work/songs
mkdir "$songs"
song=$songs/song.mp3
buffers=$(( (seconds + 15) * 44100 / 1024 ))  # 1024 samples per buffer at 44.1 kHz
gst-launch-1.0 -q audiotestsrc num-buffers="$buffers" ! audio/x-raw,rate=44100,channels=2 \
    ! audioconvert ! lamemp3enc ! xingmux ! id3v2mux ! filesink location="$song"

ticks_per_second=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks. The command name in field 2 may
# hold blanks, so count fields after its closing parenthesis.
cpu_ticks() {
    local stat
    stat=$(<"/proc/$1/stat")
    stat=${stat##*) }
    awk '{ print $12 + $13 }' <<<"$stat"
}

# Context switches of all the process's threads so far: with the CPU share
# they tell whether a cost comes from work or from waking up often.
context_switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null \
        | awk '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'
}

# True while the process holds the song open, that is while it plays it.
holds_song() {
    local fd
    for fd in /proc/"$1"/fd/*; do
        [[ $(readlink "$fd" 2>/dev/null) == "$song" ]] && return 0
    done
    return 1
}

# Measures process $2 over $seconds: prints a line for the reader and leaves
# the share of one core, in percent, in $share.
share="" rate=""
measure() {
    local label=$1 pid=$2 t0 c0 w0 t1 c1 w1
    holds_song "$pid" || { echo "$label: the song is not playing" >&2; return 1; }
    t0=$(date +%s%N)
    c0=$(cpu_ticks "$pid")
    w0=$(context_switches "$pid")
    sleep "$seconds"
    c1=$(cpu_ticks "$pid")
    w1=$(context_switches "$pid")
    t1=$(date +%s%N)
    holds_song "$pid" || { echo "$label: the song ended before the $seconds s were over" >&2; return 1; }
    share=$(awk -v ticks=$((c1 - c0)) -v hz="$ticks_per_second" -v ns=$((t1 - t0)) \
        'BEGIN { printf "%.4f", 100 * ticks / hz / (ns / 1e9) }')
    rate=$(awk -v n=$((w1 - w0)) -v ns=$((t1 - t0)) 'BEGIN { printf "%.1f", n / (ns / 1e9) }')
    awk -v share="$share" -v ns=$((t1 - t0)) -v label="$label" -v switches=$((w1 - w0)) \
        'BEGIN { printf "%s: %.2f%% of one core over %.1f s, %.0f context switches/s\n",
                 label, share, ns / 1e9, switches / (ns / 1e9) }'
}

# --- the program, windowed on a virtual screen ---
Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp >"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
[[ -s $work/display ]] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

window_named() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [[ -n $id ]] && { echo "$id"; return; }
        sleep 0.1
    done
    echo "no window $1" >&2
    return 1
}
type_into() {
    xdotool windowfocus --sync "$1"
    xdotool type --delay 10 "$2"
    xdotool key Return
}
wait_for_trace() {
    for _ in $(seq 100); do
        grep -qxF "[trace] $1" "$work/app.out" && return 0
        sleep 0.1
    done
    echo "the program did not do: $1" >&2
    cat "$work/app.out" "$work/app.err" >&2
    return 1
}

# One round of the program: started, driven to play the song with the panel
# in view, measured, and closed with the exit command; the share is left in
# $share.
measure_program() {
    local client
    "$program" --trace >"$work/app.out" 2>"$work/app.err" &
    app_pid=$!
    type_into "$(window_named '^moonrake ruze ²$')" bob
    client=$(window_named '^chat client')
    type_into "$client" "d $songs"
    type_into "$client" "mp3"
    wait_for_trace "Form1.Width 7350"
    type_into "$client" "p song.mp3"
    wait_for_trace "MediaPlayer1.OpenAndPlay $songs/song.mp3"
    sleep 2  # let the pipeline and the caches settle
    measure "moonrake (panel in view, Timer1/2/3/5 running, song playing)" "$app_pid"
    type_into "$client" "e"
    for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

# One round of the same song played by gst-launch-1.0 alone.
measure_gst_launch() {
    gst-launch-1.0 -q playbin "uri=file://$song" >"$work/gst.out" 2>&1 &
    gst_pid=$!
    sleep 2
    measure "gst-launch-1.0 playbin" "$gst_pid"
    kill "$gst_pid" 2>/dev/null || true
    wait "$gst_pid" 2>/dev/null || true
    gst_pid=""
}

echo "song: $song ($(( buffers * 1024 / 44100 )) s), measured over $seconds s each, default sink"
differences=() switch_differences=()
for round in $(seq "$rounds"); do
    (( rounds > 1 )) && echo "round $round of $rounds"
    measure_program
    program_share=$share program_rate=$rate
    measure_gst_launch
    gst_share=$share
    difference=$(awk -v p="$program_share" -v g="$gst_share" 'BEGIN { printf "%.4f", p - g }')
    differences+=("$difference")
    switches=$(awk -v p="$program_rate" -v g="$rate" 'BEGIN { printf "%.1f", p - g }')
    switch_differences+=("$switches")
    awk -v d="$difference" -v s="$switches" \
        'BEGIN { printf "difference: %.2f%% of one core, %.0f context switches/s\n", d, s }'
done

median_of() {
    printf '%s\n' "$@" | sort -g \
        | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
median=$(median_of "${differences[@]}")
switches=$(median_of "${switch_differences[@]}")
awk -v d="$median" -v s="$switches" -v n="$rounds" 'BEGIN {
    printf "extra cost of the program: %.2f%% of one core (median of %d; goal: at most 0.7%%) %s\n",
           d, n, d <= 0.7 ? "met" : "NOT MET"
    printf "extra context switches: %.0f a second (median of %d; goal: at most 110) %s\n",
           s, n, s <= 110 ? "met" : "NOT MET"
}'
