#!/usr/bin/env bash
# Control keys tapped, not held: on the demo world a frame takes longer than a quick key press, so
# the press and its release reach the viewer together. A tap of F1 still makes the window anew,
# and a tap of Esc still ends the viewer with 0.
source "$(dirname "$0")/x11_session.bash"
start_display 640x480
write_demo

start_viewer "$WORK/demo/world"
first=$(wait_window "Orvalis : Displaying")
sleep 1
press "$first" F1
deadline=$((SECONDS + 30))
second=""
while [ -z "$second" ] || [ "$second" = "$first" ]; do
    ((SECONDS < deadline)) || fail "a tap of F1 made no new window"
    kill -0 "$VIEWER_PID" 2>/dev/null || fail "viewer ended after a tap of F1"
    sleep 0.2
    second=$(window_id "Orvalis : Displaying")
done
sleep 1
press "$second" Escape
expect_viewer_exit 0 10
echo "control keys: passed"
