#!/usr/bin/env bash
# The demo's ground and model scenes, each shown on its own, fullscreen: the ground's first view is
# the one the headless screenshot tool draws of it, and the model stands on the middle of the view,
# its lower half empty. On a 640 x 480 screen the pointer starts where the camera wants it, so the
# first view is the start pose.
source "$(dirname "$0")/x11_session.bash"
start_display 640x480
write_demo

# Shows a scene folder, saves a screenshot of its window as $2 and ends the viewer with Esc.
show_scene() {
    start_viewer "$WORK/demo/$1"
    local window
    window=$(wait_window "ORVALIS")
    sleep 1
    import -window "$window" "$2" 2>/dev/null
    press "$window" Escape
    expect_viewer_exit 0 10
    [ ! -s "$WORK/stdout" ] || fail "$1: the viewer reported $(cat "$WORK/stdout")"
}

show_scene ground "$WORK/ground.png"
colours=$(distinct_colours "$WORK/ground.png" 640x80+0+400)
((colours > 500)) || fail "the ground shows $colours colours, not its textures"
"$BUILD_DIR/screenshot" "$WORK/demo/ground" "$WORK/ground-headless.png" ||
    fail "the screenshot tool failed"
[ "$(identify -format '%wx%h' "$WORK/ground-headless.png")" = 640x480 ] ||
    fail "the screenshot tool's picture is not 640x480"
expect_alike "$WORK/ground.png" "$WORK/ground-headless.png" "the window and the screenshot tool"

show_scene model "$WORK/model.png"
model_colours=$(distinct_colours "$WORK/model.png" 640x240+0+0)
((model_colours > 100)) || fail "the model's half of the view shows $model_colours colours"
below=$(distinct_colours "$WORK/model.png" 640x200+0+280)
[ "$below" = 1 ] || fail "below the model the view shows $below colours, not the background"
echo "demo modes: passed"
