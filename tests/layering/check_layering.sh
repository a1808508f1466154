#!/usr/bin/env bash
# The layers under the front ends and the media back ends include no toolkit:
# no Qt, GStreamer or Windows header, and nothing of a front end. The build
# enforces the same by what each library links; this says which line broke it.
#
#   check_layering.sh SOURCE_ROOT
set -euo pipefail
root="$1"
status=0

# check FOLDER PATTERN WHY: no include in FOLDER (recursively) matches PATTERN.
check() {
    local folder="$1" pattern="$2" why="$3" hits
    hits="$(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" \
        "$root/$folder" | grep -v "^$root/platform/win32/" || true)"
    if [ -n "$hits" ]; then
        echo "$folder includes $why:"
        echo "$hits"
        status=1
    fi
}

toolkit='Q[A-Za-z]*[>.]|qt|gst/|glib|windows\.h|dshow\.h|ui/qt/'
for layer in platform aol engine forms ui/console media/PlayerClock.h media/PlayerClock.cpp; do
    check "$layer" "$toolkit" "a toolkit header"
done
# The forms are drawn by the front ends, never the other way round.
for layer in platform aol engine forms; do
    check "$layer" 'ui/|app/|media/' "a layer above it"
done
check media/gst 'Q[A-Za-z]*[>.]|ui/' "a front end"
# A player implements the player interface (engine/MediaPlayer.h) and knows
# nothing else of the layers above the platform.
check media 'engine/([^M]|M[^e])|aol/|forms/|ui/|app/' "more of the engine than the player interface"
# The Win32 front end draws with user32 and gdi32 (and the system's
# tooltip control of comctl32) alone: no other toolkit, no other front end,
# no media back end.
check ui/win32 'Q[A-Za-z]*[>.]|qt|gst/|glib|dshow\.h|ui/qt/|ui/console/|media/' \
    "a header beyond user32, gdi32 and comctl32"

[ "$status" -eq 0 ] && echo "layering: every layer includes only what lies below it"
exit "$status"
