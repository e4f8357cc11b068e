#!/usr/bin/env bash
# The windowed viewer on the demo ground as a desktop user drives it: a pointer moved by another
# client (xdotool here; VNC servers and some tablet drivers alike) turns the view once and is put
# back at (320, 240), the keypad's 8 flies the camera forward like the Up arrow, and the window can
# be resized, its picture filling the new size.
source "$(dirname "$0")/x11_session.bash"
start_display 1024x768
write_demo

# Saves the picture of the window $1 as $2 once it has settled: two pictures half a second apart
# are the same. A change seen later then comes from what the test did, not from a frame still due.
settled_picture() {
    local previous="$WORK/settling.png"
    import -window "$1" "$previous" 2>/dev/null
    local tries
    for tries in $(seq 10); do
        sleep 0.5
        import -window "$1" "$2" 2>/dev/null
        compare -metric AE "$previous" "$2" null: 2>/dev/null && return 0
        cp "$2" "$previous"
    done
    fail "the picture keeps changing"
}

# The first frame turns the view by the pointer's offset from (320, 240) and puts it there; F3 brings
# the start pose back.
start_viewer "$WORK/demo/ground"
answer_windowed
window=$(wait_window "ORVALIS")
sleep 1
press "$window" F3
settled_picture "$window" "$WORK/start.png"

# The pointer 80 pixels right of (320, 240): the view turns 0.16 radians to the right, once, into
# the pose the screenshot tool draws from the same folder, and the pointer goes back.
xdotool mousemove 400 240
settled_picture "$window" "$WORK/turned.png"
[ "$(xdotool getmouselocation | cut -d' ' -f1-2)" = "x:320 y:240" ] ||
    fail "the pointer is at $(xdotool getmouselocation), not back at (320, 240)"
read -r look_x look_z < <(awk 'BEGIN { printf "%.6f %.6f\n", sin(0.16), 1 - cos(0.16) }')
"$BUILD_DIR/screenshot" "$WORK/demo/ground" "$WORK/turned-headless.png" 0 0 1 "$look_x" 0 "$look_z" ||
    fail "the screenshot tool failed"
expect_alike "$WORK/turned.png" "$WORK/turned-headless.png" "the view did not turn once by 0.16 radians"

# The keypad's 8, NumLock off, moves the camera forward as the Up arrow does.
hold "$window" KP_Up
settled_picture "$window" "$WORK/forward.png"
compare -metric AE "$WORK/turned.png" "$WORK/forward.png" null: 2>/dev/null &&
    fail "holding the keypad's 8 did not move the camera"

# The window manager may resize the window: its size hints do not pin it to 640 x 480. Made larger,
# the picture fills it: its corner beyond 640 x 480 shows the ground, not the clear colour.
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
grep -q "maximum size" <<<"$hints" && fail "the window's size is pinned: $hints"
xdotool windowsize "$window" 800 600
settled_picture "$window" "$WORK/resized.png"
size=$(identify -format '%wx%h' "$WORK/resized.png")
[ "$size" = 800x600 ] || fail "the resized window is $size, not 800x600"
colours=$(distinct_colours "$WORK/resized.png" 160x120+640+480)
((colours > 100)) || fail "the corner beyond 640 x 480 shows $colours colours, not the ground"

press "$window" Escape
expect_viewer_exit 0 10
echo "pointer and window: passed"
