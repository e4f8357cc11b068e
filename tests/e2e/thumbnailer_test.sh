#!/usr/bin/env bash
# The thumbnailer as a file manager runs it, with no display: a picture of the demo world, ground
# and model, each at most the asked width and showing the scene, written into the picture's own
# file; grey shapes for a ground or model alone, without its textures, as GNOME's sandbox shows
# it; exit status 1 and no picture for a scene it cannot read, draw in time or memory, or that
# shows one colour, for a world without its ground, or a picture it cannot write; 2 for wrong
# arguments and for a picture that is not a regular file or is the scene; at most 40 lines on each
# output; nothing written into the current folder, and no model log anywhere.
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

# A picture as expect_picture wants it, whose scene is drawn in greys of many shades.
expect_grey_picture() {
    local picture=$1 width=$2 saturation shades
    expect_picture "$picture" "$width"
    saturation=$(convert "$picture" -colorspace HSL -channel G -separate -format '%[fx:maxima]' info:)
    awk -v s="$saturation" 'BEGIN { exit !(s < 0.02) }' || fail "$picture is not grey ($saturation)"
    shades=$(convert "$picture" -format %k info:)
    ((shades > 16)) || fail "$picture has $shades colours: it is not shaded"
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
# A picture that is there already is written over in place: a thumbnail service that holds it
# open reads the new picture. A scene it cannot draw leaves it as it was.
inode=$(stat -c %i "$pictures/world.png")
thumbnail -s 64 "$data/maps/valley.rsw" "$pictures/world.png"
expect_status 0 "the world again"
expect_picture "$pictures/world.png" 64
[ "$(stat -c %i "$pictures/world.png")" = "$inode" ] || fail "the picture was replaced by another file"
cp "$pictures/world.png" "$WORK/world.copy"
thumbnail "$WORK/missing.rsw" "$pictures/world.png"
expect_status 1 "a missing scene over a picture"
cmp -s "$pictures/world.png" "$WORK/world.copy" || fail "a failed run changed the picture"
rm "$WORK/world.copy"
# The kind of a scene comes from its ending in any letter case.
cp "$data/maps/valley.gnd" "$data/maps/Valley.Gnd"
thumbnail -s 64 "$data/maps/Valley.Gnd" "$pictures/ground.png"
expect_status 0 "Valley.Gnd"
expect_picture "$pictures/ground.png" 64
rm "$data/maps/Valley.Gnd"

# Each scene file alone in an empty folder, its textures, ground and models out of reach: the
# ground and the model are drawn in shaded greys; the world has nothing to stand on and no picture.
mkdir "$WORK/alone"
cp "$data/maps/valley.gnd" "$data/maps/valley.rsw" "$data/model/village/showcase.omd" "$WORK/alone/"
thumbnail "$WORK/alone/valley.gnd" "$pictures/ground.png"
expect_status 0 "a ground alone"
expect_grey_picture "$pictures/ground.png" 256
thumbnail -s 128 "$WORK/alone/showcase.omd" "$pictures/model.png"
expect_status 0 "a model alone"
expect_grey_picture "$pictures/model.png" 128
thumbnail "$WORK/alone/valley.rsw" "$pictures/unread.png"
expect_status 1 "a world alone"
grep -qxF "orvalis-thumbnailer: $WORK/alone/valley.rsw: the world's ground cannot be read" \
    "$WORK/stderr" || fail "a world alone: no reason given"
[ ! -e "$pictures/unread.png" ] || fail "a world alone: a picture was written"

# Scenes it cannot read: missing, cut short, a model with no nodes. Each gives a reason.
head -c 300 "$data/maps/valley.gnd" >"$WORK/cut.gnd"
head -c 200 "$data/model/village/showcase.omd" >"$WORK/cut.omd"
# The header, no textures, the end of the node list.
head -c 43 /dev/zero >"$WORK/empty.omd"
# Not a scene at all.
head -c 4096 /dev/urandom >"$WORK/random.rsw"
for scene in "$WORK/missing.rsw" "$WORK/missing.omd" "$WORK/cut.gnd" "$WORK/cut.omd" \
    "$WORK/empty.omd" "$WORK/random.rsw"; do
    thumbnail "$scene" "$pictures/unread.png"
    expect_status 1 "$scene"
    [ -s "$WORK/stderr" ] || fail "$scene: no reason given"
    [ ! -e "$pictures/unread.png" ] || fail "$scene: a picture was written"
done

# A picture it cannot write: in a folder that is not there.
thumbnail "$data/maps/valley.gnd" "$WORK/nowhere/picture.png"
expect_status 1 "writing into a missing folder"
grep -qxF "orvalis-thumbnailer: cannot write $WORK/nowhere/picture.png" "$WORK/stderr" ||
    fail "writing into a missing folder: no reason given"
[ ! -e "$WORK/nowhere" ] || fail "a folder was made for the picture"

# Pictures it refuses to write: a folder, a device, a pipe, the scene itself and a link to it.
mkdir "$pictures/folder.png"
mkfifo "$WORK/pipe.png"
cp "$data/maps/valley.gnd" "$WORK/scene.gnd"
cp "$WORK/scene.gnd" "$WORK/scene.copy"
ln -s "$WORK/scene.gnd" "$WORK/link.png"
for picture in "$pictures/folder.png" /dev/null "$WORK/pipe.png"; do
    thumbnail "$WORK/scene.gnd" "$picture"
    expect_status 2 "writing $picture"
    grep -qxF "orvalis-thumbnailer: $picture is not a regular file" "$WORK/stderr" ||
        fail "writing $picture: no reason given"
done
[ -c /dev/null ] || fail "/dev/null is no longer a device"
[ -p "$WORK/pipe.png" ] || fail "the pipe was replaced"
for picture in "$WORK/scene.gnd" "$WORK/link.png"; do
    thumbnail "$WORK/scene.gnd" "$picture"
    expect_status 2 "writing over the scene as $picture"
    grep -qxF "orvalis-thumbnailer: $picture is the scene itself" "$WORK/stderr" ||
        fail "writing over the scene as $picture: no reason given"
done
cmp -s "$WORK/scene.gnd" "$WORK/scene.copy" || fail "the scene was overwritten"
[ -L "$WORK/link.png" ] || fail "the link to the scene was replaced"

# Scenes built to wear it out. Each that fails says why in one line and leaves no picture.
"$BUILD_DIR/write_hostile_scenes" "$WORK/hostile" || fail "write_hostile_scenes failed"
hostile="$WORK/hostile/GameData/data"
# Expects exit status 1, the reason $2 on standard error, and no picture.
expect_refused_scene() {
    local what=$1 reason=$2
    expect_status 1 "$what"
    grep -qF "$reason" "$WORK/stderr" || fail "$what: not '$reason'"
    [ ! -e "$pictures/hostile.png" ] || fail "$what: a picture was written"
}
# 20 million triangles: far too many to draw in 10 seconds.
thumbnail "$hostile/maps/crowd.rsw" "$pictures/hostile.png"
expect_refused_scene "a crowded world" ": too many triangles to draw in time"
# A world whose ground and models are all missing: nothing to draw.
thumbnail "$hostile/maps/blank.rsw" "$pictures/hostile.png"
expect_refused_scene "a world that draws nothing" ": the world's ground cannot be read"
# Any scene, given a deadline too short for it.
ORVALIS_THUMBNAILER_DEADLINE_MS=1 thumbnail "$data/maps/valley.rsw" "$pictures/hostile.png"
expect_refused_scene "a 1 ms deadline" \
    "orvalis-thumbnailer: $data/maps/valley.rsw was not drawn within 1 milliseconds"
# A texture of 800 MB once decoded: the run keeps under its data limit, whatever comes of it.
status=0
/usr/bin/time -f %M -o "$WORK/peak" "$THUMBNAILER" "$hostile/maps/huge.gnd" "$pictures/huge.png" \
    2>"$WORK/stderr" || status=$?
((status <= 1)) || fail "a huge texture: exit status $status"
# time says first how the run ended, when it failed.
peak=$(tail -n 1 "$WORK/peak")
((peak < 1024 * 1024)) || fail "a huge texture took $peak KB"
rm -f "$pictures/huge.png"
# 200 placements, one of them with a vertex 5 million units away: the rest is what is framed.
thumbnail "$hostile/maps/stray.rsw" "$pictures/stray.png"
expect_status 0 "a world with a stray vertex"
expect_picture "$pictures/stray.png" 256
rm "$pictures/stray.png"
# A line for each of 60 missing textures on standard output, and for each of 60 damaged models on
# standard error: 40 lines of each, then how many were left out.
expect_capped() {
    local lines=$1 what=$2
    [ "$(wc -l <"$lines")" = 41 ] || fail "$what: $(wc -l <"$lines") lines"
    [ "$(tail -n 1 "$lines")" = "orvalis-thumbnailer: 20 more lines left out" ] ||
        fail "$what: the last line is $(tail -n 1 "$lines")"
}
"$THUMBNAILER" "$hostile/model/textures.omd" "$pictures/capped.png" >"$WORK/stdout" ||
    fail "a model without its textures was not drawn"
expect_capped "$WORK/stdout" "standard output"
"$THUMBNAILER" "$hostile/maps/damaged.rsw" "$pictures/capped.png" 2>"$WORK/capped" ||
    fail "a world with damaged models was not drawn"
expect_capped "$WORK/capped" "standard error"
rm "$pictures/capped.png"
[ "$(ls -A "$pictures" | tr '\n' ' ')" = "folder.png ground.png model.png world.png " ] ||
    fail "the pictures' folder holds $(ls -A "$pictures" | tr '\n' ' ')"
[ -z "$(ls -A "$pictures/folder.png")" ] || fail "something was written into folder.png"

# Wrong arguments: the usage, status 2. A scene or picture that looks like an option is one.
for arguments in "" "-s" "$data/maps/valley.gnd" "-s 15 scene.gnd picture.png" \
    "-s 4097 scene.gnd picture.png" "-s 12.5 scene.gnd picture.png" "-s 2x scene.gnd picture.png" \
    "-x scene.gnd picture.png" "scene.gnd picture.png extra" "-h scene.gnd picture.png" \
    "scene.gnd -picture.png" "-s 64 --help picture.png" "--version --help" "-- scene.gnd"; do
    # shellcheck disable=SC2086 # each set of arguments is split on purpose
    thumbnail $arguments
    expect_status 2 "arguments '$arguments'"
    grep -q '^Usage: orvalis-thumbnailer' "$WORK/stderr" || fail "arguments '$arguments': no usage"
done
# After "--", names that begin with '-' are names.
cp "$data/maps/valley.gnd" ./-scene.gnd
thumbnail -s 64 -- -scene.gnd -picture.png
expect_status 0 "names after --"
expect_picture ./-picture.png 64
rm ./-scene.gnd ./-picture.png
# Help and version on standard output, status 0.
for option in -h --help; do
    "$THUMBNAILER" "$option" >"$WORK/stdout" || fail "$option: exit status $?"
    grep -q '^Usage: orvalis-thumbnailer' "$WORK/stdout" || fail "$option: no usage"
done
"$THUMBNAILER" --version >"$WORK/stdout" || fail "--version: exit status $?"
grep -qxE 'orvalis-thumbnailer [0-9]+\.[0-9]+\.[0-9]+' "$WORK/stdout" ||
    fail "--version: $(<"$WORK/stdout")"

[ -z "$(ls -A "$WORK/current")" ] || fail "the current folder holds $(ls -A "$WORK/current")"
[ -z "$(find "$WORK" -iname sortie.txt)" ] || fail "a model log was written"

# GNOME's thumbnail factory runs it in a bubblewrap sandbox that holds /usr and the scene file
# alone: a ground's or model's textures are not there, and it gets their shapes in greys; a world's
# ground is not there, and it gets a failure. The sandbox finds the thumbnailer under /usr only: a
# private mount puts the build's in /usr/local/bin.
mkdir -p "$WORK/gnome/bin" "$WORK/gnome/share/mime/packages" "$WORK/gnome/share/thumbnailers"
cp "$THUMBNAILER" "$WORK/gnome/bin/"
packaging="$(dirname "$0")/../../packaging"
cp "$packaging/orvalis-mime.xml" "$WORK/gnome/share/mime/packages/orvalis.xml"
cp "$packaging/orvalis.thumbnailer" "$WORK/gnome/share/thumbnailers/"
update-mime-database "$WORK/gnome/share/mime" 2>/dev/null
cat >"$WORK/gnome/factory.py" <<'PYTHON'
import sys
import gi
gi.require_version("GnomeDesktop", "3.0")
from gi.repository import GLib, Gio, GnomeDesktop
factory = GnomeDesktop.DesktopThumbnailFactory.new(GnomeDesktop.DesktopThumbnailSize.NORMAL)
uri = Gio.File.new_for_path(sys.argv[1]).get_uri()
try:
    factory.generate_thumbnail(uri, sys.argv[2], None).savev(sys.argv[3], "png", [], [])
    print("a thumbnail")
except GLib.Error as error:
    print(error.message)
PYTHON
export WORK
export XDG_DATA_DIRS="$WORK/gnome/share:/usr/share" XDG_CACHE_HOME="$WORK/gnome/cache"
# Asks the factory for a thumbnail of the scene $1 of type $2 into the picture $3; what it says
# goes to $WORK/gnome/result.
gnome_thumbnail() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    unshare -m --propagation private sh -c 'mount --bind "$WORK/gnome/bin" /usr/local/bin &&
        /usr/bin/python3 "$WORK/gnome/factory.py" "$@"' sh "$@" >"$WORK/gnome/result" \
        2>"$WORK/stderr" || fail "GNOME's thumbnail factory did not run"
}
gnome_thumbnail "$data/model/village/showcase.omd" application/x-orvalis-model "$WORK/gnome/model.png"
[ "$(<"$WORK/gnome/result")" = "a thumbnail" ] ||
    fail "GNOME's thumbnail factory, a model: $(<"$WORK/gnome/result")"
expect_grey_picture "$WORK/gnome/model.png" 128
gnome_thumbnail "$data/maps/valley.gnd" application/x-orvalis-ground "$WORK/gnome/ground.png"
[ "$(<"$WORK/gnome/result")" = "a thumbnail" ] ||
    fail "GNOME's thumbnail factory, a ground: $(<"$WORK/gnome/result")"
expect_grey_picture "$WORK/gnome/ground.png" 128
gnome_thumbnail "$data/maps/valley.rsw" application/x-orvalis-world "$WORK/gnome/world.png"
[ "$(<"$WORK/gnome/result")" = "Child process exited with code 1" ] ||
    fail "GNOME's thumbnail factory, a world: $(<"$WORK/gnome/result")"
echo "thumbnailer: passed"
