#!/usr/bin/env bash
# SIGTERM and SIGINT end the viewer also while a message box waits for the user, box and all;
# without a box SIGTERM closes the window through the main loop, as closing it by hand does. Names
# with control characters reach standard output escaped.
source "$(dirname "$0")/x11_session.bash"
start_display 640x480
write_demo

# The pine with its textures renamed, each name as long as before: the bark's a TGA that is not
# there, with an escape character in its name; the crown's of a type no reader knows, which opens
# a box.
models="$WORK/demo/GameData/data/model/forest"
perl -pe 's/Models\\Bark\.bmp/Models\\Ba\x1bk.tga/; s/MODELS\\Pine\.bmp/MODELS\\Pine.xyz/' \
    "$models/pine.omd" >"$models/hostile.omd"
mkdir "$WORK/scene"
printf '..\\demo\\GameData\r\n..\\demo\\GameData\\data\\model\\forest\\hostile.omd\r\n' \
    >"$WORK/scene/orvalis.arg"

# Waits up to $1 seconds for no window with the title $2 to be left.
expect_no_window() {
    local deadline=$((SECONDS + $1))
    while [ -n "$(window_id "$2")" ]; do
        ((SECONDS < deadline)) || fail "the window '$2' is still there"
        sleep 0.1
    done
}

start_viewer "$WORK/scene"
wait_window "Error" >/dev/null
kill -TERM "$VIEWER_PID"
expect_viewer_exit 143 10
expect_no_window 10 "Error"
expect_stderr_line "Error: Unknown texture type"
grep -qxF 'File not found - ..\demo\GameData\data\texture\Models\Ba\x1bk.tga' "$WORK/stdout" ||
    fail "standard output lacks the escaped name: $(cat -v "$WORK/stdout")"
! grep -q $'\x1b' "$WORK/stdout" "$WORK/stderr" || fail "an escape character reached the output"

# SIGINT as well, which the viewer gets as from a terminal, not ignored as by a background job.
start_viewer "$WORK/scene" env --default-signal=INT
wait_window "Error" >/dev/null
kill -INT "$VIEWER_PID"
expect_viewer_exit 130 10
expect_no_window 10 "Error"

# Without a box open, SIGTERM closes the window and the viewer ends as on Esc.
start_viewer "$WORK/scene"
answer_box "Error"
wait_window "ORVALIS" >/dev/null
kill -TERM "$VIEWER_PID"
expect_viewer_exit 0 10
echo "termination: passed"
