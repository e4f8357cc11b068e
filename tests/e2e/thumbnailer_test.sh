#!/usr/bin/env bash
# The thumbnailer as a file manager runs it, with no display: a picture of the demo world, ground
# and model, each at most the asked width and showing the scene; exit status 1 and no picture for a
# scene it cannot read or a picture it cannot write, 2 for wrong arguments; nothing written into
# the current folder, and no model log anywhere.
source "$(dirname "$0")/x11_session.bash"
unset DISPLAY
write_demo
THUMBNAILER="$BUILD_DIR/orvalis-thumbnailer"
data="$WORK/demo/GameData/data"
pictures="$WORK/pictures"
mkdir "$pictures" "$WORK/current" "$WORK/state"
cd "$WORK/current"
export XDG_STATE_HOME="$WORK/state"

# Runs the thumbnailer with the arguments given; its exit status goes to $WORK/status, its
# standard error to $WORK/stderr, where fail shows it.
thumbnail() {
    local status=0
    "$THUMBNAILER" "$@" 2>"$WORK/stderr" || status=$?
    echo "$status" >"$WORK/status"
}

expect_status() {
    [ "$(<"$WORK/status")" = "$1" ] || fail "$2: exit status $(<"$WORK/status"), expected $1"
}

# A PNG $2 pixels wide and three quarters of that high, of which at least a tenth is not white.
expect_picture() {
    local picture=$1 width=$2 format size shown
    [ -f "$picture" ] || fail "no picture $picture"
    read -r format size < <(identify -format '%m %wx%h\n' "$picture")
    [ "$format" = PNG ] || fail "$picture is $format, not PNG"
    [ "$size" = "${width}x$((width * 3 / 4))" ] || fail "$picture is $size, for a width of $width"
    shown=$(convert "$picture" -fill black +opaque white -format '%[fx:1-mean]' info:)
    awk -v s="$shown" 'BEGIN { exit !(s > 0.1) }' || fail "$picture shows almost nothing ($shown)"
}

thumbnail -s 256 "$data/maps/valley.rsw" "$pictures/world.png"
expect_status 0 "the world"
expect_picture "$pictures/world.png" 256
thumbnail "$data/maps/valley.gnd" "$pictures/ground.png"
expect_status 0 "the ground"
expect_picture "$pictures/ground.png" 256
thumbnail -s 100 "$data/model/village/showcase.omd" "$pictures/model.png"
expect_status 0 "the model"
expect_picture "$pictures/model.png" 100
# A picture that is there already is replaced.
thumbnail -s 64 "$data/maps/valley.rsw" "$pictures/world.png"
expect_status 0 "the world again"
expect_picture "$pictures/world.png" 64

# Scenes it cannot read: missing, cut short, a model with no nodes. Each gives a reason.
head -c 300 "$data/maps/valley.gnd" >"$WORK/cut.gnd"
head -c 200 "$data/model/village/showcase.omd" >"$WORK/cut.omd"
# The header, no textures, the end of the node list.
head -c 43 /dev/zero >"$WORK/empty.omd"
for scene in "$WORK/missing.rsw" "$WORK/missing.omd" "$WORK/cut.gnd" "$WORK/cut.omd" \
    "$WORK/empty.omd"; do
    thumbnail "$scene" "$pictures/unread.png"
    expect_status 1 "$scene"
    [ -s "$WORK/stderr" ] || fail "$scene: no reason given"
    [ ! -e "$pictures/unread.png" ] || fail "$scene: a picture was written"
done

# Pictures it cannot write: where a folder is, and in a folder that is not there.
mkdir "$pictures/folder.png"
for picture in "$pictures/folder.png" "$WORK/nowhere/picture.png"; do
    thumbnail "$data/maps/valley.gnd" "$picture"
    expect_status 1 "writing $picture"
    grep -qxF "orvalis-thumbnailer: cannot write $picture" "$WORK/stderr" ||
        fail "writing $picture: no reason given"
done
[ ! -e "$WORK/nowhere" ] || fail "a folder was made for the picture"
[ "$(ls -A "$pictures" | tr '\n' ' ')" = "folder.png ground.png model.png world.png " ] ||
    fail "the pictures' folder holds $(ls -A "$pictures" | tr '\n' ' ')"
[ -z "$(ls -A "$pictures/folder.png")" ] || fail "something was written into folder.png"

# Wrong arguments: the usage, status 2.
for arguments in "" "-s" "$data/maps/valley.gnd" "-s 15 scene.gnd picture.png" \
    "-s 4097 scene.gnd picture.png" "-s 12.5 scene.gnd picture.png" "-s 2x scene.gnd picture.png" \
    "-x scene.gnd picture.png" "scene.gnd picture.png extra"; do
    # shellcheck disable=SC2086 # each set of arguments is split on purpose
    thumbnail $arguments
    expect_status 2 "arguments '$arguments'"
    grep -q '^Usage: orvalis-thumbnailer' "$WORK/stderr" || fail "arguments '$arguments': no usage"
done

[ -z "$(ls -A "$WORK/current")" ] || fail "the current folder holds $(ls -A "$WORK/current")"
[ -z "$(find "$WORK" -iname sortie.txt)" ] || fail "a model log was written"
echo "thumbnailer: passed"
