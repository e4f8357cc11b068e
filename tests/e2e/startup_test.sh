#!/usr/bin/env bash
# The viewer as a user starts it: without an argument file, and on a display that has no 640 x 480
# mode, where it asks to go on windowed, shows its window and ends on Esc.
source "$(dirname "$0")/x11_session.bash"
start_display 1024x768

# No orvalis.arg: one message, no window, exit code 0.
mkdir "$WORK/empty"
start_viewer "$WORK/empty"
answer_box "Error"
expect_viewer_exit 0 10
expect_stderr_line "Error: Can't open orvalis.arg"

# orvalis.arg a FIFO that nothing writes: it is not waited on, and counts as one that is not there.
mkdir "$WORK/pipe"
mkfifo "$WORK/pipe/orvalis.arg"
start_viewer "$WORK/pipe"
answer_box "Error"
expect_viewer_exit 0 10
expect_stderr_line "Error: Can't open orvalis.arg"

# A scene whose file is missing: the fullscreen question, Yes, the window, the scene's error, Esc.
mkdir "$WORK/scene"
printf 'data\r\nmissing.omd\r\n' >"$WORK/scene/orvalis.arg"
start_viewer "$WORK/scene"
answer_windowed
answer_box "Error"
window=$(wait_window "ORVALIS")
sleep 0.5
spread=$(screenshot_spread "$window" "$WORK/empty-scene.png")
awk -v s="$spread" 'BEGIN { exit !(s < 0.01) }' || fail "the empty scene is not plain white ($spread)"
press "$window" Escape
expect_viewer_exit 0 10
# The question reaches standard error as one line, its line break a space.
expect_stderr_line "Brannock GL: The Requested Fullscreen Mode Is Not Supported By Your Video Card. \
Use Windowed Mode Instead?"
expect_stderr_line "Error: Can't open missing.omd"

# A scene that is a FIFO: refused at once, with one line, and the empty scene shown.
mkfifo "$WORK/scene/pipe.gnd"
printf 'data\r\npipe.gnd\r\n' >"$WORK/scene/orvalis.arg"
start_viewer "$WORK/scene"
answer_windowed
answer_box "Error"
window=$(wait_window "ORVALIS")
press "$window" Escape
expect_viewer_exit 0 10
expect_stderr_line "Not a regular file - pipe.gnd"
expect_stderr_line "Error: Can't read pipe.gnd"
echo "startup: passed"
