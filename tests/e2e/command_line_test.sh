#!/usr/bin/env bash
# The command line: --version, --help and wrong arguments answer on the terminal without a window, as
# the demo writer's do; without a display the viewer says so and ends with 1. A scene named on it
# opens in a window that carries our icon, without orvalis.arg, and nothing is written into the
# current folder: the model log goes to the user's state folder, or where --log says. A scene with
# no data folder above it says where its files are looked up, in a box when no terminal sees it.
source "$(dirname "$0")/x11_session.bash"
write_demo
world="$WORK/demo/GameData/data/maps/valley.rsw"

# Run with the output in $WORK/out and $WORK/err; prints the exit code.
run() {
    run_within 60 "$@"
}

# The same, ended after $1 seconds (exit code 124) if it has not ended by then.
run_within() {
    local seconds=$1 code=0
    shift
    timeout "$seconds" "$VIEWER" "$@" >"$WORK/out" 2>"$WORK/err" || code=$?
    echo "$code"
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
[ "$(run --version)" = 0 ] && [ "$(<"$WORK/out")" = "orvalis $version" ] ||
    fail "--version printed '$(<"$WORK/out")'"
[ "$(run -v)" = 0 ] && [ "$(<"$WORK/out")" = "orvalis $version" ] || fail "-v printed '$(<"$WORK/out")'"
[ "$(run --help)" = 0 ] && grep -q '^Usage: orvalis \[--windowed\]' "$WORK/out" || fail "--help"
for key in mouse 'W / Up' 'A / Left' F1 F2 F3 Esc; do
    grep -q "^  $key\b" "$WORK/out" || fail "--help does not list the key $key"
done
cp "$WORK/out" "$WORK/help"
[ "$(run -h)" = 0 ] && cmp -s "$WORK/out" "$WORK/help" || fail "-h differs from --help"
# Anything that begins with '-' before "--" is an option, a scene's name too.
cp "$world" "$WORK/-odd.rsw"
for wrong in "--fullscreen $world" "$world --data" "$world $world" "-odd.rsw" "-" \
    "--renderer=fast $world" "$world --renderer"; do
    # shellcheck disable=SC2086
    [ "$(run $wrong)" = 2 ] && grep -q '^orvalis: ' "$WORK/err" && grep -q '^Usage: orvalis' "$WORK/err" ||
        fail "'$wrong' did not give the usage with exit code 2"
done
# The demo writer answers as the viewer does, and writes no folder named after an option.
demo_writer="$BUILD_DIR/orvalis-write-demo"
for asked in -h --help; do
    (cd "$WORK" && "$demo_writer" "$asked" >"$WORK/out" 2>"$WORK/err") &&
        grep -q '^Usage: orvalis-write-demo' "$WORK/out" || fail "orvalis-write-demo $asked"
done
[ "$("$demo_writer" --version)" = "orvalis-write-demo $version" ] || fail "orvalis-write-demo --version"
for wrong in -x "--data $WORK/x" "$WORK/a $WORK/b" ""; do
    code=0
    # shellcheck disable=SC2086
    (cd "$WORK" && "$demo_writer" $wrong >"$WORK/out" 2>"$WORK/err") || code=$?
    [ "$code" = 2 ] && grep -q '^Usage: orvalis-write-demo' "$WORK/err" ||
        fail "orvalis-write-demo '$wrong' ended with $code"
done
[ ! -e "$WORK/-x" ] && [ ! -e "$WORK/--help" ] || fail "orvalis-write-demo wrote a folder named as an option"
(cd "$WORK" && "$demo_writer" -- -dashed >/dev/null) && [ -d "$WORK/-dashed/GameData" ] ||
    fail "orvalis-write-demo -- -dashed"

# No display at all: one line and exit code 1, at once, also in a window; never an unseen window.
# With DISPLAY naming a display that is not there, the same. The start through orvalis.arg keeps its
# exit code 0.
for windowed in --windowed ""; do
    # shellcheck disable=SC2086
    [ "$(unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER && run_within 10 $windowed "$world")" = 1 ] ||
        fail "without a display, '$windowed' did not end with 1"
    [ "$(cat "$WORK/err")" = "orvalis: no display (DISPLAY and WAYLAND_DISPLAY are unset)" ] ||
        fail "without a display, '$windowed' said '$(cat "$WORK/err")'"
done
absent=$((RANDOM + 40000))
while [ -e "/tmp/.X11-unix/X$absent" ]; do absent=$((absent + 1)); done
[ "$(unset WAYLAND_DISPLAY SDL_VIDEODRIVER && DISPLAY=":$absent" run_within 10 --windowed "$world")" = 1 ] ||
    fail "with no display at :$absent the viewer did not end with 1"
[ "$(cat "$WORK/err")" = "orvalis: no display (DISPLAY=:$absent cannot be opened)" ] ||
    fail "with no display at :$absent it said '$(cat "$WORK/err")'"
code=0
(cd "$WORK/demo/world" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$VIEWER" >/dev/null 2>&1) ||
    code=$?
[ "$code" = 0 ] || fail "the start through orvalis.arg without a display ended with $code"

# A scene that is not there: one line, exit code 1, no window (there is no display to open one on).
[ "$(DISPLAY= run "$WORK/nowhere.rsw")" = 1 ] || fail "a missing scene did not end with 1"
[ "$(cat "$WORK/err")" = "orvalis: $WORK/nowhere.rsw: no such file" ] ||
    fail "a missing scene said '$(cat "$WORK/err")'"
# A FIFO named as the scene is refused at once: nothing waits for a writer.
mkfifo "$WORK/pipe.rsw"
[ "$(DISPLAY= run_within 10 "$WORK/pipe.rsw")" = 1 ] || fail "a FIFO scene did not end with 1"
[ "$(cat "$WORK/err")" = "orvalis: $WORK/pipe.rsw: not a file" ] ||
    fail "a FIFO scene said '$(cat "$WORK/err")'"

start_display 1024x768
mkdir "$WORK/empty"
export XDG_STATE_HOME="$WORK/state"
# On this display without a 640 x 480 mode --windowed asks no question.
start_viewer_with "$WORK/empty" --windowed "$world"
window=$(wait_window "Orvalis : Displaying" 30)
[ -z "$(window_id "Brannock GL")" ] || fail "asked about fullscreen with --windowed"
# The window's icon, as the desktop reads it, is our SVG drawn at 64 x 64: width, height, then one
# ARGB value per pixel.
xprop -id "$window" -notype -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/^_NET_WM_ICON = //' |
    tr -d ' ' | tr ',' '\n' >"$WORK/icon-window"
rsvg-convert -w 64 -h 64 -o "$WORK/icon.png" "$(dirname "$0")/../../packaging/orvalis.svg"
{
    printf '64\n64\n'
    convert "$WORK/icon.png" -depth 8 rgba:- | od -An -v -tu1 -w4 |
        awk '{ printf "%.0f\n", $4 * 16777216 + $1 * 65536 + $2 * 256 + $3 }'
} >"$WORK/icon-svg"
cmp -s "$WORK/icon-window" "$WORK/icon-svg" ||
    fail "the window's icon is not our SVG: $(head -c 80 "$WORK/icon-window" | tr '\n' ' ')"
press "$window" Escape
expect_viewer_exit 0 10
[ -z "$(ls -A "$WORK/empty")" ] || fail "the current folder holds $(ls -A "$WORK/empty")"
log="$XDG_STATE_HOME/orvalis/sortie.txt"
[ "$(wc -l <"$log")" = 6 ] && grep -qxF '0 3 Village\Ruins.omd' "$log" ||
    fail "the model log in the state folder holds '$(cat "$log" 2>/dev/null)'"

# --log and --data: the ground's own folder has no data folder, so without --data the textures would
# be looked for in the wrong place.
rm "$log"
cp "$WORK/demo/GameData/data/maps/valley.rsw" "$WORK/empty/copy.rsw"
start_viewer_with "$WORK" --windowed --data "$WORK/demo/GameData" --log "$WORK/models.txt" \
    "$WORK/empty/copy.rsw"
window=$(wait_window "Orvalis : Displaying" 30)
press "$window" Escape
expect_viewer_exit 0 10
[ "$(wc -l <"$WORK/models.txt")" = 6 ] || fail "--log: the log holds '$(cat "$WORK/models.txt")'"
[ ! -e "$log" ] || fail "--log: a log was written to the state folder too"
! grep -q ' - ' "$WORK/stderr" || fail "--data: a file was not found: $(grep ' - ' "$WORK/stderr")"

# A scene's kind comes from its ending in any letter case: Valley.Gnd shows the ground, as valley.gnd
# does. Both start with the pointer at the same place, so the first views are alike.
cp "$WORK/demo/GameData/data/maps/valley.gnd" "$WORK/demo/GameData/data/maps/Valley.Gnd"
for name in Valley.Gnd valley.gnd; do
    xdotool mousemove 512 384
    start_viewer_with "$WORK" --windowed "$WORK/demo/GameData/data/maps/$name"
    window=$(wait_window ORVALIS 30)
    sleep 1
    import -window "$window" "$WORK/$name.png" 2>/dev/null
    press "$window" Escape
    expect_viewer_exit 0 10
done
colours=$(distinct_colours "$WORK/Valley.Gnd.png")
((colours > 500)) || fail "Valley.Gnd shows $colours colours, not a textured ground"
expect_alike "$WORK/Valley.Gnd.png" "$WORK/valley.gnd.png" "Valley.Gnd and valley.gnd"

# A ground alone, as a file manager opens it (standard error is no terminal): a box says, before the
# window opens, where its textures are looked up. --verbose tells the data root and each texture
# that is not found.
mkdir "$WORK/lone"
cp "$WORK/demo/GameData/data/maps/valley.gnd" "$WORK/lone/"
start_viewer_with "$WORK" --windowed --verbose "$WORK/lone/valley.gnd"
box=$(wait_window Orvalis)
[ -z "$(window_id ORVALIS)" ] || fail "the viewer's window opened before the box"
press "$box" Return
window=$(wait_window ORVALIS 30)
press "$window" Escape
expect_viewer_exit 0 10
expect_stderr_line "Orvalis: No folder above $WORK/lone/valley.gnd holds a data folder. Textures \
and models are looked up in $WORK/lone/data/texture and $WORK/lone/data/model. To look elsewhere: \
--data ROOT, the folder that holds data."
expect_stderr_line "orvalis: data root: $WORK/lone"
missing=$(grep -c "^orvalis: not found: $WORK/lone/data/texture/" "$WORK/stderr" || true)
textures=$(find "$WORK/demo/GameData/data/texture" -path '*errain*' -type f | wc -l)
[ "$missing" = "$textures" ] || fail "--verbose told $missing missing textures, not $textures"
echo "command line: passed"
