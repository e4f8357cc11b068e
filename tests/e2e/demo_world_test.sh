#!/usr/bin/env bash
# The demo world as a user meets it: the question about the missing fullscreen mode, the progress
# titles while the ground and every model load, the model log with the missing model's 0, a first
# view of textured ground, and after F1 the same load again in a new window; Esc ends with 0.
source "$(dirname "$0")/x11_session.bash"
start_display 1024x768
write_demo

expected_titles="Orvalis : Loading Ground
Orvalis : Loading Models (1\\6) : VILLAGE\\Windmill.omd
Orvalis : Loading Models (2\\6) : Village\\House.omd
Orvalis : Loading Models (3\\6) : Village\\Ruins.omd
Orvalis : Loading Models (4\\6) : Mesa\\crystal.omd
Orvalis : Loading Models (5\\6) : Forest\\PINE.omd
Orvalis : Loading Models (6\\6) : Forest\\Boulder.OMD
Orvalis : Displaying"
expected_log="1 1 VILLAGE\\Windmill.omd
1 2 Village\\House.omd
0 3 Village\\Ruins.omd
1 4 Mesa\\crystal.omd
1 5 Forest\\PINE.omd
1 6 Forest\\Boulder.OMD"

# Loading takes a fraction of a second; strace holds each open of the ground and of a model file
# for 0.4 s, like a slow disk, so that every title stays long enough to be read. The paths are the
# ones the viewer opens from its folder, letter case resolved.
data=../GameData/data
slowed=(strace -f -o /dev/null -e trace=openat -e inject=openat:delay_exit=400000
    -P $data/maps/valley.gnd -P $data/model/village/windmill.omd
    -P $data/model/village/house.omd -P $data/model/village/Ruins.omd
    -P $data/model/mesa/crystal.omd -P $data/model/forest/pine.omd
    -P $data/model/forest/boulder.omd)

check_load() {
    local titles
    titles=$(titles_until "Orvalis : Displaying")
    [ "$titles" = "$expected_titles" ] || fail "$1: titles were
$titles"
    [ "$(tr -d '\r' <"$WORK/demo/world/sortie.txt")" = "$expected_log" ] ||
        fail "$1: sortie.txt holds
$(cat "$WORK/demo/world/sortie.txt")"
}

start_viewer "$WORK/demo/world" "${slowed[@]}"
answer_windowed
check_load "first load"
window=$(window_id "Orvalis : Displaying")
[ "$(xdotool getwindowname "$window")" = "Orvalis : Displaying" ] || fail "xdotool reads another title"
geometry=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$geometry" = 640x480 ] || fail "the window is $geometry, not 640x480"

# The first frame turns the camera by the pointer's offset from (320, 240) and puts the pointer
# there: F3 brings the start pose back. Its view: fog above, textured ground below, models between.
press "$window" F3
sleep 1
spread=$(screenshot_spread "$window" "$WORK/world.png")
awk -v s="$spread" 'BEGIN { exit !(s > 0.1) }' || fail "the world view is nearly one colour ($spread)"
ground_colours=$(distinct_colours "$WORK/world.png" 640x80+0+400)
((ground_colours > 500)) || fail "the ground shows $ground_colours colours, not a texture"

# F1: the window is made anew (the question again, on this display) and the world loads again,
# writing the log afresh.
rm "$WORK/demo/world/sortie.txt"
press "$window" F1
answer_windowed
check_load "after F1"
[ "$(window_titles | grep -c '^Orvalis : ')" = 1 ] || fail "the first window is still there after F1"
press "$(window_id "Orvalis : Displaying")" Escape
expect_viewer_exit 0 10
echo "demo world: passed"
