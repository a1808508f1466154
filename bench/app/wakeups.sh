#!/usr/bin/env bash
# How often the windowed program wakes up and what CPU it uses, each held
# against the least that the same job costs, in one run:
#
#   1. idle after start-up (the handle answered, the program settled),
#      against a bare Qt window with one 1-second timer (bare_qt_timer 1000).
#      Goals: at most 5 wake-ups a second over all its threads, and at most
#      1.2 times the bare window's CPU;
#   2. playing an mp3 with the mp3 panel in view, against
#      gst-launch-1.0 playbin of the same song into the same null sink
#      (fakesink sync=true; the program's MOONRAKE_AUDIO_SINK=fake). Goals: at
#      most 0.3% of one core and at most 15 wake-ups a second more.
#
# A wake-up is a voluntary context switch (a thread that slept and was woken),
# summed over every thread of the process, threads that start or end during
# the measurement included; CPU is user plus system time. bench/app/proc_sample
# reads both from /proc over SECONDS (default 30) of each program. Each pair
# is measured ROUNDS times (default 3), the two taking turns, and the goals
# are judged on the medians of the rounds.
#
# The program runs on a virtual X screen (Xvfb, no window manager) and is
# driven as a user drives it, with xdotool: the handle typed at the prompt,
# then "d FOLDER", "mp3" and "p song.mp3" typed into the chat client's window;
# then the keyboard goes elsewhere (the root window) before the measurement.
#
#   bench/app/wakeups.sh [-s SECONDS] [-n ROUNDS] [PROGRAM]
#
# PROGRAM defaults to build/app/moonrake; bare_qt_timer and proc_sample come
# from the same build folder. Needs Xvfb, xdotool and the GStreamer tools.

set -euo pipefail

seconds=30
rounds=3
while [[ $# -gt 0 ]]; do
    case $1 in
        -s) seconds=${2:?}; shift 2 ;;
        -n) rounds=${2:?}; shift 2 ;;
        -h | --help) sed -n '2,30p' "$0" >&2; exit 2 ;;
        *) break ;;
    esac
done
root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
program=$(realpath "${1:-$root/build/app/moonrake}")
build=$(dirname "$(dirname "$program")")
bare=$build/bench/app/bare_qt_timer
sampler=$build/bench/app/proc_sample
for file in "$program" "$bare" "$sampler"; do
    [[ -x $file ]] || { echo "no program at $file (build the tree first)" >&2; exit 1; }
done
for tool in Xvfb xdotool gst-launch-1.0; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid="" pid=""
cleanup() {
    for p in $pid $xvfb_pid; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/xdg"
export XDG_RUNTIME_DIR=$work/xdg MOONRAKE_AUDIO_SINK=fake

# --- the song: long enough for the settling and the measurement ---
songs=$work/songs
mkdir "$songs"
song=$songs/song.mp3
buffers=$(((seconds + 20) * 44100 / 1024)) # 1024 samples a buffer at 44.1 kHz
gst-launch-1.0 -q audiotestsrc num-buffers="$buffers" ! audio/x-raw,rate=44100,channels=2 \
    ! audioconvert ! lamemp3enc ! xingmux ! id3v2mux ! filesink location="$song"

# --- the screen ---
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
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
# True while process $1 holds the song open, that is while it plays it.
holds_song() {
    local fd
    for fd in /proc/"$1"/fd/*; do
        [[ $(readlink "$fd" 2>/dev/null) == "$song" ]] && return 0
    done
    return 1
}

# sample LABEL: measures $pid over $seconds; prints a line and leaves the
# share of one core in $cpu and the wake-ups a second in $wakeups.
cpu="" wakeups=""
sample() {
    local line
    line=$("$sampler" "$pid" "$seconds") || { echo "$1: the process ended" >&2; return 1; }
    cpu=$(sed -n 's/.* cpu=\([^ ]*\).*/\1/p' <<<"$line")
    wakeups=$(sed -n 's/.* wakeups=\([^ ]*\).*/\1/p' <<<"$line")
    awk -v label="$1" -v line="$line" 'BEGIN {
        split(line, f, /[ =]/)
        printf "  %-44s %6.3f%% of one core, %6.1f wake-ups/s (%s threads, %s s)\n",
               label, f[4], f[6], f[10], f[2] }'
}

# The program started and its handle prompt answered; leaves the chat
# client's window in $client.
client=""
start_program() {
    "$program" --trace >"$work/app.out" 2>"$work/app.err" &
    pid=$!
    type_into "$(window_named '^moonrake ruze ²$')" bob
    client=$(window_named '^chat client')
}
# The keyboard leaves the chat client, as when the user clicks elsewhere:
# the simulated client lives in the program's process, and the caret
# blinking in its input box would count as the program's (two wake-ups a
# second) although a real client is a program of its own.
look_away() {
    xdotool windowfocus "$(xdotool search --maxdepth 0 --name '' | head -n 1)"
}
end_program() {
    type_into "$client" "e"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
}
end_other() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
}

idle_program() {
    start_program
    look_away
    sleep 3 # the first paints, caches and the login line are behind it
    sample "moonrake, idle"
    end_program
}
idle_bare() {
    "$bare" 1000 >/dev/null 2>&1 &
    pid=$!
    window_named '^bare timer$' >/dev/null
    sleep 3
    sample "bare Qt window, 1 s timer"
    end_other
}
playing_program() {
    start_program
    type_into "$client" "d $songs"
    type_into "$client" "mp3"
    wait_for_trace "Form1.Width 7350"
    type_into "$client" "p song.mp3"
    wait_for_trace "MediaPlayer1.OpenAndPlay $songs/song.mp3"
    look_away
    sleep 2 # the pipeline is up and the panel drawn
    sample "moonrake, mp3 panel, song playing"
    holds_song "$pid" || { echo "the program's song ended before the measurement did" >&2; exit 1; }
    end_program
}
playing_gst_launch() {
    gst-launch-1.0 -q playbin "uri=file://$song" 'audio-sink="fakesink sync=true"' \
        >"$work/gst.out" 2>&1 &
    pid=$!
    sleep 2
    holds_song "$pid" || { echo "gst-launch-1.0 is not playing the song" >&2; exit 1; }
    sample "gst-launch-1.0 playbin, same sink"
    holds_song "$pid" || { echo "gst-launch-1.0's song ended before the measurement did" >&2; exit 1; }
    end_other
}

median() {
    printf '%s\n' "$@" | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
verdict() { awk -v v="$1" -v goal="$2" 'BEGIN { if (v + 0 <= goal + 0) print "met"; else print "NOT MET" }'; }

echo "over $seconds s each, $rounds rounds, the two programs taking turns; $(nproc) cores," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"

# --- 1. idle ---
idle_cpu=() idle_wakeups=() bare_cpu=() bare_wakeups=()
for round in $(seq "$rounds"); do
    echo "idle, round $round of $rounds"
    if ((round % 2)); then
        idle_program; idle_cpu+=("$cpu") idle_wakeups+=("$wakeups")
        idle_bare; bare_cpu+=("$cpu") bare_wakeups+=("$wakeups")
    else
        idle_bare; bare_cpu+=("$cpu") bare_wakeups+=("$wakeups")
        idle_program; idle_cpu+=("$cpu") idle_wakeups+=("$wakeups")
    fi
done

# --- 2. playing ---
play_cpu=() play_wakeups=() gst_cpu=() gst_wakeups=()
for round in $(seq "$rounds"); do
    echo "playing, round $round of $rounds"
    if ((round % 2)); then
        playing_program; play_cpu+=("$cpu") play_wakeups+=("$wakeups")
        playing_gst_launch; gst_cpu+=("$cpu") gst_wakeups+=("$wakeups")
    else
        playing_gst_launch; gst_cpu+=("$cpu") gst_wakeups+=("$wakeups")
        playing_program; play_cpu+=("$cpu") play_wakeups+=("$wakeups")
    fi
done

# --- the figures against their goals (medians of the rounds) ---
m_idle_cpu=$(median "${idle_cpu[@]}") m_idle_wakeups=$(median "${idle_wakeups[@]}")
m_bare_cpu=$(median "${bare_cpu[@]}") m_bare_wakeups=$(median "${bare_wakeups[@]}")
m_play_cpu=$(median "${play_cpu[@]}") m_play_wakeups=$(median "${play_wakeups[@]}")
m_gst_cpu=$(median "${gst_cpu[@]}") m_gst_wakeups=$(median "${gst_wakeups[@]}")
ratio=$(awk -v p="$m_idle_cpu" -v b="$m_bare_cpu" 'BEGIN { printf "%.2f", (b > 0) ? p / b : 999 }')
cpu_more=$(awk -v p="$m_play_cpu" -v g="$m_gst_cpu" 'BEGIN { printf "%.3f", p - g }')
wakeups_more=$(awk -v p="$m_play_wakeups" -v g="$m_gst_wakeups" 'BEGIN { printf "%.1f", p - g }')

echo "medians of $rounds rounds:"
printf '  idle program:   %.3f%% of one core, %.1f wake-ups/s\n' "$m_idle_cpu" "$m_idle_wakeups"
printf '  bare window:    %.3f%% of one core, %.1f wake-ups/s\n' "$m_bare_cpu" "$m_bare_wakeups"
printf '  playing:        %.3f%% of one core, %.1f wake-ups/s\n' "$m_play_cpu" "$m_play_wakeups"
printf '  gst-launch-1.0: %.3f%% of one core, %.1f wake-ups/s\n' "$m_gst_cpu" "$m_gst_wakeups"
printf 'idle wake-ups: %.1f a second (goal: at most 5) %s\n' "$m_idle_wakeups" \
    "$(verdict "$m_idle_wakeups" 5)"
printf 'idle CPU: %s times the bare window'"'"'s (goal: at most 1.2) %s\n' "$ratio" \
    "$(verdict "$ratio" 1.2)"
printf 'playing, CPU beyond gst-launch-1.0: %s%% of one core (goal: at most 0.3) %s\n' \
    "$cpu_more" "$(verdict "$cpu_more" 0.3)"
printf 'playing, wake-ups beyond gst-launch-1.0: %s a second (goal: at most 15) %s\n' \
    "$wakeups_more" "$(verdict "$wakeups_more" 15)"
