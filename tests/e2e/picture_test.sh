#!/usr/bin/env bash
# Pictures of a scene. --output draws one without a display, at the start pose or a given one, and
# answers bad arguments with 2 and a scene it cannot read or a picture it cannot write with 1. F12 in the running
# viewer saves the frame on screen in the user's pictures folder, named by the time, and the title
# says where for a moment before it goes back.
source "$(dirname "$0")/x11_session.bash"
write_demo
world="$WORK/demo/GameData/data/maps/valley.rsw"
export XDG_STATE_HOME="$WORK/state"

# Runs the viewer without a display; prints the exit code.
run() {
    local code=0
    DISPLAY= timeout 60 "$VIEWER" "$@" >"$WORK/out" 2>"$WORK/err" || code=$?
    echo "$code"
}

size_of() {
    identify -format '%wx%h' "$1"
}

# How far apart two pictures of one size are: the root mean square of the difference, 0 to 1.
distance() {
    local difference
    difference=$(compare -metric RMSE "$1" "$2" null: 2>&1 || true)
    sed 's/.*(\(.*\))/\1/' <<<"$difference"
}

[ "$(run --output "$WORK/start.png" "$world")" = 0 ] || fail "--output: $(cat "$WORK/err")"
[ "$(size_of "$WORK/start.png")" = 640x480 ] || fail "the picture is $(size_of "$WORK/start.png")"
spread=$(convert "$WORK/start.png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
awk -v s="$spread" 'BEGIN { exit !(s > 0.1) }' || fail "the picture is nearly one colour ($spread)"

[ "$(run --output="$WORK/above.png" --size 320x200 --eye 0,400,-300 --look-at 0,0,300 "$world")" = 0 ] ||
    fail "--size and a pose: $(cat "$WORK/err")"
[ "$(size_of "$WORK/above.png")" = 320x200 ] || fail "--size 320x200 gave $(size_of "$WORK/above.png")"
convert "$WORK/start.png" -resize 320x200! "$WORK/start-small.png"
difference=$(distance "$WORK/start-small.png" "$WORK/above.png")
awk -v d="$difference" 'BEGIN { exit !(d > 0.05) }' ||
    fail "the picture from above looks like the start pose's ($difference)"

[ "$(run --output "$WORK/x.png" "$WORK/nowhere.rsw")" = 1 ] || fail "a missing scene did not give 1"
printf 'not a world' >"$WORK/damaged.rsw"
[ "$(run --output "$WORK/x.png" "$WORK/damaged.rsw")" = 1 ] && [ ! -e "$WORK/x.png" ] &&
    grep -q "damaged.rsw" "$WORK/err" || fail "a damaged scene: $(cat "$WORK/err")"
[ "$(run --output "$WORK/no/folder/x.png" "$world")" = 1 ] &&
    grep -qxF "orvalis: $WORK/no/folder/x.png: cannot be written" "$WORK/err" ||
    fail "an unwritable picture: $(cat "$WORK/err")"
[ "$(run --output "$WORK/x.png" --size 10x10 "$world")" = 2 ] || fail "--size 10x10 did not give 2"
cp "$world" "$WORK/copy.rsw"
[ "$(run --output "$WORK/copy.rsw" "$WORK/copy.rsw")" = 2 ] && cmp -s "$world" "$WORK/copy.rsw" ||
    fail "a picture named as its scene was not refused"

# F12, with nothing but HOME to say where pictures go.
start_display 1024x768
export HOME="$WORK/home"
unset XDG_PICTURES_DIR XDG_CONFIG_HOME
pictures="$HOME/Pictures/Orvalis"
start_viewer_with "$WORK" --windowed "$world"
window=$(wait_window "Orvalis : Displaying" 30)
sleep 1
press "$window" F12
deadline=$((SECONDS + 10))
until title=$(window_titles | grep -m1 '^Screenshot saved: '); do
    ((SECONDS < deadline)) || fail "no screenshot title (titles: $(window_titles | tr '\n' ','))"
    sleep 0.1
done
picture=${title#Screenshot saved: }
[[ $picture =~ ^$pictures/orvalis-[0-9]{4}(-[0-9]{2}){5}\.png$ ]] || fail "saved as '$picture'"
[ "$(size_of "$picture")" = 640x480 ] || fail "the screenshot is $(size_of "$picture")"
import -window "$window" "$WORK/window.png" 2>/dev/null
# The sails and crystals turn between the two: some 4% apart, where a black or upside-down picture
# is 30% or more.
difference=$(distance "$picture" "$WORK/window.png")
awk -v d="$difference" 'BEGIN { exit !(d < 0.1) }' ||
    fail "the screenshot is not what the window shows ($difference)"
# Two more within a second or so: each gets a name of its own.
press "$window" F12
sleep 0.3
press "$window" F12
deadline=$((SECONDS + 10))
while [ "$(ls "$pictures" | wc -l)" -lt 3 ]; do
    ((SECONDS < deadline)) || fail "F12 pressed three times saved $(ls "$pictures")"
    sleep 0.1
done
# The title it had comes back.
wait_window "Orvalis : Displaying" 10 >/dev/null
press "$window" Escape
expect_viewer_exit 0 10

# A pictures folder that cannot be made: the title says so, and the viewer goes on.
touch "$WORK/not-a-folder"
export XDG_PICTURES_DIR="$WORK/not-a-folder"
start_viewer_with "$WORK" --windowed "$world"
window=$(wait_window "Orvalis : Displaying" 30)
press "$window" F12
wait_window "Screenshot not saved: no pictures folder" 10 >/dev/null
wait_window "Orvalis : Displaying" 10 >/dev/null
press "$window" Escape
expect_viewer_exit 0 10
echo "picture: passed"
