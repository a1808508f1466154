#!/usr/bin/env bash
# CPU used by a process while a song plays.
#
#   cpu_playback.sh [-s SECONDS] [-f SONG] COMMAND [ARG...]
#       Starts COMMAND (each argument "{song}" becomes the song's path), lets
#       it settle for a second, then reports the share of one core it used
#       over SECONDS (default 60) and its peak resident memory. The song must
#       still be playing at the end: the process may not exit early.
#
#   cpu_playback.sh [-s SECONDS] [-f SONG] --compare PLAY_DRIVER
#       Measures PLAY_DRIVER (bench/media/play_driver of a build) and, on the
#       same song and the same null sink (fakesink sync=true), gst-launch-1.0
#       playbin alone, one after the other.
#
# Without -f a tone of SECONDS + 10 s is encoded with GStreamer into a
# temporary folder. The measured command gets MOONRAKE_AUDIO_SINK=fake unless
# the environment already sets it, so no sound card is needed.

set -euo pipefail

usage() {
    sed -n '2,17p' "$0" >&2
    exit 2
}

seconds=60
song=""
while [[ $# -gt 0 ]]; do
    case $1 in
        -s) seconds=${2:?}; shift 2 ;;
        -f) song=${2:?}; shift 2 ;;
        -h | --help) usage ;;
        *) break ;;
    esac
done
[[ $# -ge 1 ]] || usage

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

if [[ -z $song ]]; then
    song=$workdir/tone.mp3
    # 1024 samples per buffer at 44.1 kHz
    buffers=$(( (seconds + 10) * 44100 / 1024 ))
    gst-launch-1.0 -q audiotestsrc num-buffers="$buffers" ! audio/x-raw,rate=44100,channels=2 \
        ! audioconvert ! lamemp3enc ! xingmux ! id3v2mux ! filesink location="$song"
fi
song=$(realpath "$song")
export MOONRAKE_AUDIO_SINK=${MOONRAKE_AUDIO_SINK:-fake}

ticks_per_second=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks. The command name in field 2 may
# hold blanks, so count fields after its closing parenthesis.
cpu_ticks() {
    local stat
    stat=$(<"/proc/$1/stat")
    stat=${stat##*) }
    # fields from 3 on: utime is the 12th of them, stime the 13th
    awk '{ print $12 + $13 }' <<<"$stat"
}

now() { date +%s.%N; }

# Runs one measurement; prints "LABEL: X.XX % of one core, peak RSS N kB".
measure() {
    local label=$1
    shift
    local args=()
    for arg in "$@"; do args+=("${arg//\{song\}/$song}"); done

    "${args[@]}" >"$workdir/out.txt" 2>&1 &
    local pid=$!
    sleep 1
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$label: the command ended during the first second:" >&2
        cat "$workdir/out.txt" >&2
        return 1
    fi
    local t0 c0 t1 c1 peak
    t0=$(now)
    c0=$(cpu_ticks "$pid")
    sleep "$seconds"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$label: the command ended before the $seconds s were over" >&2
        return 1
    fi
    c1=$(cpu_ticks "$pid")
    t1=$(now)
    peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    awk -v label="$label" -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$ticks_per_second" \
        -v peak="$peak" 'BEGIN { printf "%s: %.2f %% of one core over %.1f s, peak RSS %d kB\n",
                                  label, 100 * (c1 - c0) / hz / (t1 - t0), t1 - t0, peak }'
}

if [[ $1 == --compare ]]; then
    driver=${2:?the path of play_driver}
    echo "song: $song ($seconds s measured, sink fakesink sync=true)"
    measure "play_driver (GstMediaPlayer, 10 ms progress reads)" "$driver" "{song}"
    measure "gst-launch-1.0 playbin" gst-launch-1.0 -q playbin "uri=file://{song}" \
        'audio-sink="fakesink sync=true"'
else
    measure "$*" "$@"
fi
