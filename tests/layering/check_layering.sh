#!/usr/bin/env bash
# The layers under the front ends and the media back ends include no toolkit:
# no Qt, GStreamer or Windows header, and nothing of a front end. No front end
# includes the program put together above it (app/), which alone may include
# everything. The build enforces the same by what each library links; this
# says which line broke it.
#
#   check_layering.sh SOURCE_ROOT
set -euo pipefail
root="$1"
status=0

# check FOLDER PATTERN WHY [ALLOWED]: no include in FOLDER (recursively)
# matches PATTERN, but for the headers ALLOWED names.
check() {
    local folder="$1" pattern="$2" why="$3" allowed="${4:-^\$}" hits
    hits="$(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" \
        "$root/$folder" | grep -v "^$root/platform/win32/" | grep -vE "[<\"]($allowed)[>\"]" || true)"
    if [ -n "$hits" ]; then
        echo "$folder includes $why:"
        echo "$hits"
        status=1
    fi
}

toolkit='Q[A-Za-z]*[>.]|qt|gst/|glib|windows\.h|dshow\.h|ui/qt/'
for layer in platform clientsim aol engine forms ui/console media/PlayerClock.h media/PlayerClock.cpp; do
    check "$layer" "$toolkit" "a toolkit header"
done
# Nor do they speak to the X server: only the Qt front end does, over Qt's
# own connection.
for layer in platform clientsim aol engine forms ui/console media; do
    check "$layer" 'xcb/|X11/' "an X header"
done
# The forms are drawn by the front ends, never the other way round.
for layer in platform clientsim aol engine forms; do
    check "$layer" 'ui/|app/|media/' "a layer above it"
done
# The window system knows nothing of the chat client; the simulated client
# knows the client's window tree and nothing of the program that drives it;
# the program reaches the client only through its windows, whichever client
# app/ puts beside it.
check platform 'aol/|clientsim/|engine/|forms/' "a layer above it"
check clientsim 'aol/|engine/|forms/' "the program beyond the client's window tree" \
    'aol/ClientWindows\.h'
for layer in aol engine forms; do
    check "$layer" 'clientsim/' "the simulated client"
done
check media/gst 'Q[A-Za-z]*[>.]|ui/' "a front end"
# The front ends draw the forms and turn the loop; app/ puts the program
# together over them, never the other way round.
check ui 'app/' "the program put together above it"
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
