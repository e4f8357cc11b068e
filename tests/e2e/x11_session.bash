# Shared by the end-to-end tests: a private Xvfb display, the viewer started in a scene folder, and
# the few X11 operations the tests drive it with. Everything started here is stopped by process id.

set -euo pipefail

VIEWER=$(realpath "$1")
BUILD_DIR=$(realpath "$2")
WORK=$(mktemp -d)
XVFB_PID=""
VIEWER_PID=""

cleanup() {
    [ -n "$VIEWER_PID" ] && kill -9 "$VIEWER_PID" 2>/dev/null || true
    # A message box runs in a child of the viewer; it goes with the viewer's process group.
    [ -n "$VIEWER_PID" ] && pkill -9 -P "$VIEWER_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK/stderr" ] && sed 's/^/  viewer: /' "$WORK/stderr" >&2
    exit 1
}

# Starts Xvfb with a screen of the given size (default 1024x768) on a display number that Xvfb itself
# finds free, so that runs started at the same moment never share a display. The server keeps going
# when its last client leaves: a reset would refuse a viewer that connects meanwhile, and would put
# the pointer back in the middle of the screen.
start_display() {
    local size=${1:-1024x768}
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    local tries
    for tries in $(seq 100); do
        if [ -s "$WORK/display" ]; then
            export DISPLAY=":$(<"$WORK/display")"
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    fail "no display could be started"
}

# Starts the viewer in a folder (its current directory, where orvalis.arg is looked for), under the
# command that follows the folder, if any (a tracer that runs it).
start_viewer() {
    local folder=$1
    shift
    (cd "$folder" && exec "$@" "$VIEWER" >"$WORK/stdout" 2>"$WORK/stderr") &
    VIEWER_PID=$!
}

# Starts the viewer in a folder with the arguments that follow.
start_viewer_with() {
    local folder=$1
    shift
    (cd "$folder" && exec "$VIEWER" "$@" >"$WORK/stdout" 2>"$WORK/stderr") &
    VIEWER_PID=$!
}

# The id of the top-level window with exactly this title, if there is one; succeeds either way.
window_id() {
    xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\": (" 'index($0, title) { print $1; exit }'
}

window_titles() {
    xwininfo -root -tree 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\(.*\)": .*/\1/p'
}

# Waits up to $2 seconds (default 20) for a window with the title $1; prints its id.
wait_window() {
    local deadline=$((SECONDS + ${2:-20}))
    local id
    while ((SECONDS < deadline)); do
        id=$(window_id "$1")
        [ -n "$id" ] && echo "$id" && return 0
        kill -0 "$VIEWER_PID" 2>/dev/null || fail "viewer ended while waiting for window '$1'"
        sleep 0.1
    done
    fail "no window '$1' (windows: $(window_titles | tr '\n' ',' ))"
}

# Gives the window the keyboard focus and presses the keys.
press() {
    local id=$1
    shift
    xdotool windowfocus "$id" 2>/dev/null || true
    sleep 0.2
    xdotool key "$@"
}

# Holds a key down for half a second, as a hand does: a movement key moves the camera only in the
# frames drawn while it is down.
hold() {
    xdotool windowfocus "$1" 2>/dev/null || true
    sleep 0.2
    xdotool keydown "$2"
    sleep 0.5
    xdotool keyup "$2"
}

# Waits up to $1 seconds for the viewer to end; prints its exit code. Call it in the shell that
# started the viewer, never in a $(...) subshell: only that shell can wait for the viewer.
wait_viewer_exit() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$VIEWER_PID" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "viewer did not end"
        sleep 0.1
    done
    local code=0
    wait "$VIEWER_PID" || code=$?
    VIEWER_PID=""
    echo "$code"
}

# Waits up to $2 seconds for the viewer to end with exit code $1.
expect_viewer_exit() {
    wait_viewer_exit "$2" >"$WORK/exit-code"
    local code
    code=$(<"$WORK/exit-code")
    [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}

expect_stderr_line() {
    grep -qxF "$1" "$WORK/stderr" || fail "standard error lacks the line '$1'"
}

# Saves a PNG of the window and prints the standard deviation of its grey levels (0 = one colour).
screenshot_spread() {
    import -window "$1" "$2" 2>/dev/null
    convert "$2" -colorspace Gray -format '%[fx:standard_deviation]' info:
}

# Writes the demo scene into $WORK/demo; the viewer runs in its world, ground or model folder.
write_demo() {
    "$BUILD_DIR/orvalis-write-demo" "$WORK/demo" || fail "orvalis-write-demo failed"
}

# Waits for the message box with the caption $1 and answers it with Enter (OK, or Yes).
answer_box() {
    local box
    box=$(wait_window "$1")
    press "$box" Return
}

# On a display without a 640 x 480 mode the viewer asks whether to go on windowed: Enter says Yes.
answer_windowed() {
    answer_box "Brannock GL"
}

# Prints each new title of the viewer's window ("Orvalis : ..." titles) until one equals $1, within
# $2 seconds (default 30).
titles_until() {
    local deadline=$((SECONDS + ${2:-30}))
    local last="" title
    while ((SECONDS < deadline)); do
        title=$(window_titles | grep -m1 '^Orvalis : ' || true)
        if [ -n "$title" ] && [ "$title" != "$last" ]; then
            echo "$title"
            last=$title
            [ "$title" = "$1" ] && return 0
        fi
        kill -0 "$VIEWER_PID" 2>/dev/null || fail "viewer ended while loading"
        sleep 0.05
    done
    fail "no title '$1' (last: '$last')"
}

# Fails with the message $3 unless the pictures $1 and $2 differ by less than 1% (root mean square).
expect_alike() {
    # compare prints "<absolute> (<normalised>)" and fails when the pictures differ at all.
    local difference
    difference=$(compare -metric RMSE "$1" "$2" null: 2>&1 || true)
    difference=$(sed 's/.*(\(.*\))/\1/' <<<"$difference")
    awk -v d="$difference" 'BEGIN { exit !(d < 0.01) }' || fail "$3 (they differ by $difference)"
}

# Number of distinct colours in a picture, or in the part given as an ImageMagick geometry.
distinct_colours() {
    convert "$1" ${2:+-crop "$2"} -format '%k' info:
}
