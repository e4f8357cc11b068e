#!/usr/bin/env bash
# The command line: --version, --help and wrong arguments answer on the terminal without a window; a
# scene named on it opens in a window without orvalis.arg, and nothing is written into the current
# folder: the model log goes to the user's state folder, or where --log says.
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
[ "$(run --help)" = 0 ] && grep -q '^Usage: orvalis \[--windowed\]' "$WORK/out" || fail "--help"
for wrong in "--fullscreen $world" "$world --data" "$world $world"; do
    # shellcheck disable=SC2086
    [ "$(run $wrong)" = 2 ] && grep -q '^orvalis: ' "$WORK/err" && grep -q '^Usage: orvalis' "$WORK/err" ||
        fail "'$wrong' did not give the usage with exit code 2"
done
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
echo "command line: passed"
