#!/usr/bin/env bash
# Figures of the Windows program under Wine, in one run, on the tests'
# headless prefix (Wine's null display driver) with an ALSA null device:
#   1. the anchor: a bare borderless window with one 1 s timer doing nothing
#      (bare_window.exe), over SECONDS;
#   2. the same window with a 10 ms timer; kept on top by a 10 ms timer; and
#      kept on top by a thread that looks every 10 ms, as the program keeps its
#      main window where nothing tells of other windows coming above it (under
#      Wine): the prices of asking;
#   3. moonrake.exe with no client, idle over SECONDS;
#   4. moonrake.exe beside the stand-in client: start to its handle prompt,
#      prompt answered to the login line in the room, then SECONDS idle and
#      SECONDS playing a song from the mp3 panel;
#   5. the same song played by a bare DirectShow graph (bare_graph.exe).
# Each figure is read from outside: the CPU of the process (all its threads,
# so what Wine does for it counts) and its wake-ups (its threads' voluntary
# context switches) a second, and apart, the same of the wineserver meanwhile
# (a foreground server of our own, so that they can be read). It ends with
# the program's idle figures against the anchor and whether they meet their
# goals: at most 1.2 times the anchor's CPU with no client, at most 1.5 times
# beside the stand-in.
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
        echo "measure: no $build/$tool; run scripts/test-windows first" \
            "(and build the targets bare_window win32_session there)" >&2
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

# What a process has used so far, summed over its threads: run time in
# nanoseconds (schedstat, finer than the clock ticks of stat) and voluntary
# context switches, each time a thread went to sleep, that is a wake-up.
usage() {  # PID -> "NANOSECONDS SWITCHES"
    local task ns=0 switches=0 run rest count
    for task in /proc/"$1"/task/*; do
        { read -r run rest <"$task/schedstat"; } 2>/dev/null || continue
        count=$(sed -n 's/^voluntary_ctxt_switches:[[:space:]]*//p' "$task/status" 2>/dev/null)
        ns=$((ns + run))
        switches=$((switches + ${count:-0}))
    done
    echo "$ns $switches"
}
# WHAT NANOSECONDS SWITCHES: one line of figures over the measured time.
share() {
    awk -v what="$1" -v ns="$2" -v n="$3" -v s="$seconds" 'BEGIN {
        printf "    %s: %.3f s CPU, %.3f%% of one core, %.1f wake-ups a second\n",
            what, ns / 1e9, 100 * ns / 1e9 / s, n / s }'
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

# Each figure by name: the process's CPU (ns) and wake-ups, and the
# wineserver's meanwhile.
declare -A cpu wakes server_cpu server_wakes

# Runs a tool under Wine and passes its lines on. Between its "measuring"
# line and its report (a line with "s CPU", or the session's end of a phase),
# it reads the usage of the Linux process running EXE and of the wineserver
# (and of the one running $companion, when set: the client the program
# reads), and records it under the next of NAMES (comma-separated).
companion=""
measured() {
    local exe=$1 limit=$2 pid="" other="" before=(0 0) server_before=(0 0) other_before=(0 0)
    local now server_now other_now name names
    IFS=, read -r -a names <<<"$3"
    shift 3
    while IFS= read -r line; do
        line=${line%$'\r'}
        case $line in
            measuring*)
                pid=$(ours "$exe")
                read -r -a before <<<"$(usage "${pid:-0}")"
                read -r -a server_before <<<"$(usage "$server")"
                if [ -n "$companion" ]; then
                    other=$(ours "$companion")
                    read -r -a other_before <<<"$(usage "${other:-0}")"
                fi
                ;;
            *" s CPU"* | "moonrake.exe idle"*": "* | "moonrake.exe playing: "*)
                read -r -a now <<<"$(usage "${pid:-0}")"
                read -r -a server_now <<<"$(usage "$server")"
                name=${names[0]:-}
                names=("${names[@]:1}")
                echo "    $line"
                if [ -n "$name" ]; then
                    cpu[$name]=$((now[0] - before[0]))
                    wakes[$name]=$((now[1] - before[1]))
                    server_cpu[$name]=$((server_now[0] - server_before[0]))
                    server_wakes[$name]=$((server_now[1] - server_before[1]))
                    share "$exe, from outside" "${cpu[$name]}" "${wakes[$name]}"
                    share "wineserver meanwhile" "${server_cpu[$name]}" "${server_wakes[$name]}"
                fi
                if [ -n "$companion" ]; then
                    read -r -a other_now <<<"$(usage "${other:-0}")"
                    share "$companion meanwhile" $((other_now[0] - other_before[0])) \
                        $((other_now[1] - other_before[1]))
                fi
                ;;
            *ALSA\ lib*) ;; # no sequencer on the null device: harmless
            *) echo "    $line" ;;
        esac
    done < <(timeout "$limit" "$wine" "$@" 2>&1)
}

bare="$build/bench/win32/bare_window.exe"
echo "the anchor, a bare window with one 1 s timer:"
measured bare_window.exe $((seconds + 60)) anchor "$bare" "$seconds" 1000
echo "a bare window with one 10 ms timer:"
measured bare_window.exe $((seconds + 60)) bare10 "$bare" "$seconds" 10
echo "a bare window kept on top by a 10 ms timer:"
measured bare_window.exe $((seconds + 60)) ontop10 "$bare" "$seconds" 10 --keep-on-top
echo "a bare window with a 1 s timer, kept on top by a thread that looks every 10 ms:"
measured bare_window.exe $((seconds + 60)) looking "$bare" "$seconds" 1000 --looking

echo "moonrake.exe with no client signed on:"
measured "$(basename "$program")" $((seconds + 120)) alone "$build/tests/win32/win32_session.exe" \
    --program="$(windows_path "$program")" --alone --seconds="$seconds"

echo "moonrake.exe beside the stand-in client:"
companion=standin.exe
measured "$(basename "$program")" $((3 * seconds + 120)) beside,playing \
    "$build/tests/win32/win32_session.exe" \
    --program="$(windows_path "$program")" \
    --folder="$(windows_path "$work/music")" --song="$song" --seconds="$seconds"
companion=""

echo "the same song on a bare DirectShow graph:"
measured bare_graph.exe $((seconds + 60)) graph "$build/bench/dshow/bare_graph.exe" \
    "$(windows_path "$work/music/$song")" "$seconds"

# NAME ANCHOR GOAL WHAT: the ratio of two CPU figures, and whether it meets
# its goal (none when GOAL is -).
ratio() {
    awk -v a="${cpu[$1]:-0}" -v b="${cpu[$2]:-0}" -v sa="${server_cpu[$1]:-0}" \
        -v sb="${server_cpu[$2]:-0}" -v wa="${wakes[$1]:-0}" -v wb="${wakes[$2]:-0}" \
        -v goal="$3" -v what="$4" -v s="$seconds" 'BEGIN {
        r = b > 0 ? a / b : 0
        verdict = goal == "-" ? "" : (b > 0 && r <= goal ? ", goal at most " goal "x: met" \
                                                         : ", goal at most " goal "x: missed")
        printf "  %s: %.3f%% against %.3f%% of one core, %.2fx%s\n", what,
            100 * a / 1e9 / s, 100 * b / 1e9 / s, r, verdict
        printf "      wake-ups a second %.1f against %.1f; wineserver %.3f%% against %.3f%% (%.2fx)\n",
            wa / s, wb / s, 100 * sa / 1e9 / s, 100 * sb / 1e9 / s, (sb > 0 ? sa / sb : 0) }'
}
echo
echo "against the anchor (the CPU of each process from outside):"
ratio alone anchor 1.2 "moonrake.exe idle, no client"
ratio beside anchor 1.5 "moonrake.exe idle beside the stand-in"
ratio bare10 anchor - "a bare window with a 10 ms timer"
ratio ontop10 anchor - "a bare window kept on top by a 10 ms timer"
ratio looking anchor - "a bare window kept on top by a thread looking every 10 ms"
