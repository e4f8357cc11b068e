#!/usr/bin/env bash
# The Windows viewer under Wine on the demo world, as a user starts it: on a display without a
# 640 x 480 mode it asks to go on windowed, loads the world with its progress titles and model log,
# shows it, and ends on Esc with 0. Arguments: orvalis.exe and its build folder (with write_demo.exe).
source "$(dirname "$0")/x11_session.bash"
start_display 1024x768

start_windows_viewer() {
    (cd "$1" && exec wine "$VIEWER" >"$WORK/stdout" 2>"$WORK/stderr") &
    VIEWER_PID=$!
}

(cd "$WORK" && wine "$BUILD_DIR/write_demo.exe" demo) || fail "the demo scene could not be written"
start_windows_viewer "$WORK/demo/world"
question=$(wait_window "Brannock GL" 60)
press "$question" Return
window=$(wait_window "Orvalis : Displaying" 120)
sleep 1
spread=$(screenshot_spread "$window" "$WORK/world.png")
awk -v s="$spread" 'BEGIN { exit !(s > 0.05) }' || fail "the world is not drawn ($spread)"
# Esc counts while it is down between two frames, and software GL draws this world slowly: hold it.
press "$window" --delay 1000 Escape
# In this shell, not a subshell: only the shell that started the viewer can wait for it.
wait_viewer_exit 20 >"$WORK/exit-code"
code=$(<"$WORK/exit-code")
[ "$code" = 0 ] || fail "exit code $code after Esc"
# Wine lets go of the display before the display goes.
wineserver -w

# The model log: one line "<loaded> <number> <name>" per distinct model, numbered from 1, in the
# Windows line ends of a text file; the demo leaves one model out on purpose.
log="$WORK/demo/world/sortie.txt"
[ -f "$log" ] || fail "no sortie.txt"
tr -d '\r' <"$log" | awk '
    $1 !~ /^[01]$/ || $2 != NR || NF < 3 { print "bad line " NR ": " $0; bad = 1 }
    $1 == 0 { missing++ }
    END { exit bad || NR < 2 || missing != 1 }' || fail "sortie.txt is not the model log: $(cat "$log")"
grep -q $'\r$' "$log" || fail "sortie.txt lacks the line ends of a Windows text file"
echo "wine: passed"
