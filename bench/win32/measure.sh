#!/usr/bin/env bash
# Figures of the Windows program under Wine, in one run, on the tests'
# headless prefix (Wine's null display driver) with an ALSA null device:
#   1. CPU of a bare borderless window with one 10 ms timer doing nothing
#      (bare_window.exe) over SECONDS;
#   2. moonrake.exe beside the stand-in client: start to its handle prompt,
#      prompt answered to the login line in the room, then its CPU over
#      SECONDS idle and over SECONDS playing a song from the mp3 panel;
#   3. the same song played by a bare DirectShow graph (bare_graph.exe) for
#      SECONDS.
# Each figure is the CPU of the process itself and, apart, of the wineserver
# meanwhile (a foreground server of our own, so its CPU can be read).
# Needs the cross build of scripts/test-windows (build-win/).
#
#   bench/win32/measure.sh [SECONDS [PROGRAM]]
#       SECONDS defaults to 30; PROGRAM (a moonrake.exe to compare) to the
#       one in build-win/app
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build-win"
seconds="${1:-30}"
program="$(realpath "${2:-$build/app/moonrake.exe}")"
work="$build/win32-bench"
mkdir -p "$work/music"
for tool in bench/win32/bare_window.exe tests/win32/win32_session.exe \
    bench/dshow/bare_graph.exe app/moonrake.exe; do
    [ -x "$build/$tool" ] || {
        echo "measure: no $build/$tool; run scripts/test-windows first" >&2
        exit 1
    }
done

# A tone longer than the whole run, so that neither player reaches its end.
song="tone-$((seconds + 10))s.mp3"
buffers=$(((seconds + 10) * 44100 / 1024))
[ -f "$work/music/$song" ] ||
    gst-launch-1.0 -q audiotestsrc num-buffers="$buffers" ! audio/x-raw,rate=44100,channels=2 \
        ! audioconvert ! lamemp3enc ! xingmux ! id3v2mux ! filesink location="$work/music/$song"
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
printf 'pcm.!default { type null }\n' >"$work/.asoundrc"

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export HOME="$work" LC_ALL=C
[ -f "$WINEPREFIX/.headless-wow64" ] || {
    echo "measure: no headless prefix; run scripts/test-windows first" >&2
    exit 1
}

timeout 30 wineserver -k >/dev/null 2>&1 || true
wineserver -f -p &
server=$!
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true' EXIT
sleep 1
# Wine's own services start with the first program; let them settle.
timeout 60 "$wine" "$build/bench/win32/bare_window.exe" 1 >/dev/null 2>&1 || true
sleep 2

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
share() {  # WHAT TICKS: CPU over the measured time
    awk -v what="$1" -v t="$2" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "    %s: %.3f s CPU, %.2f%% of one core\n", what, t / hz, 100 * t / hz / s }'
}

# The newest Linux process running EXE in our prefix (other Wine programs
# may run beside us, in other prefixes).
ours() {
    local candidate found=""
    for candidate in $(pgrep -f "$1" || true); do
        tr '\0' '\n' <"/proc/$candidate/environ" 2>/dev/null |
            grep -qx "WINEPREFIX=$WINEPREFIX" && found=$candidate
    done
    echo "${found:-0}"
}

# Runs a tool under Wine and passes its lines on. Between its "measuring"
# line and its report (a line with "s CPU", or the session's end of a
# phase), it reads the CPU of the Linux
# process running EXE (all its threads; the figure from outside, which also
# counts what Wine does for it) and of the wineserver.
measured() {
    local exe=$1 limit=$2 pid="" process=0 server_before=0
    shift 2
    while IFS= read -r line; do
        line=${line%$'\r'}
        case $line in
            measuring*)
                pid=$(ours "$exe")
                process=$(ticks "${pid:-0}")
                server_before=$(ticks "$server")
                ;;
            *" s CPU"* | "moonrake.exe idle"*": "* | "moonrake.exe playing: "*)
                echo "    $line"
                share "$exe, from outside" $(($(ticks "${pid:-0}") - process))
                share "wineserver meanwhile" $(($(ticks "$server") - server_before))
                ;;
            *ALSA\ lib*) ;;  # no sequencer on the null device: harmless
            *) echo "    $line" ;;
        esac
    done < <(timeout "$limit" "$wine" "$@" 2>&1)
}

echo "bare window with one 10 ms timer:"
measured bare_window.exe $((seconds + 60)) "$build/bench/win32/bare_window.exe" "$seconds"

echo "moonrake.exe with no client signed on:"
measured "$(basename "$program")" $((seconds + 120)) "$build/tests/win32/win32_session.exe" \
    --program="$(windows_path "$program")" --alone --seconds="$seconds"

echo "moonrake.exe beside the stand-in client:"
measured "$(basename "$program")" $((3 * seconds + 120)) "$build/tests/win32/win32_session.exe" \
    --program="$(windows_path "$program")" \
    --folder="$(windows_path "$work/music")" --song="$song" --seconds="$seconds"

echo "the same song on a bare DirectShow graph:"
measured bare_graph.exe $((seconds + 60)) "$build/bench/dshow/bare_graph.exe" \
    "$(windows_path "$work/music/$song")" "$seconds"
