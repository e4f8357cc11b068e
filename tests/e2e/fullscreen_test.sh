#!/usr/bin/env bash
# On a display that offers 640 x 480 the viewer opens fullscreen without asking; F1 re-creates the
# window in windowed mode under its second title, and the scene is loaded again.
source "$(dirname "$0")/x11_session.bash"
start_display 640x480

mkdir "$WORK/scene"
printf 'data\nmissing.omd\n' >"$WORK/scene/orvalis.arg"
start_viewer "$WORK/scene"
answer_box "Error"
window=$(wait_window "ORVALIS")
[ -z "$(window_id "Brannock GL")" ] || fail "asked about a mode the display offers"
press "$window" F1
answer_box "Error"
second=$(wait_window "Brannock's OpenGL Framework")
[ -z "$(window_id "ORVALIS")" ] || fail "the first window is still there after F1"
press "$second" Escape
expect_viewer_exit 0 10
[ "$(grep -c "Error: Can't open missing.omd" "$WORK/stderr")" = 2 ] ||
    fail "the scene was not loaded again after F1"
echo "fullscreen: passed"
